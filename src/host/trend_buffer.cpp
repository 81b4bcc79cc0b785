// The trend ring, the sample taken from the instrument's values, and the reader of recordings.
#include "host/trend_buffer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "device.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "settings/settings.h"
#include "time/clock.h"

TrendBuffer trendHistory(TREND_LIVE_CAPACITY);

namespace {

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

int egtCount() { return settings.egtChannels > 12 ? 12 : settings.egtChannels; }
int chtCount() { return settings.chtChannels > 12 - egtCount() ? 12 - egtCount() : settings.chtChannels; }

float tenthsIf(bool tenths, int32_t value) { return tenths ? value / 10.0f : static_cast<float>(value); }
bool pressureInTenths(uint8_t unit) { return unit != 1; }  // 0.1 bar and 0.1 psi; psi whole

float limitIf(bool on, float value) { return on ? value : kNone; }

}  // namespace

TrendBuffer::TrendBuffer(size_t capacity) : ring(capacity > 0 ? capacity : 1) {}

void TrendBuffer::push(const TrendSample& sample)
{
    ring[head] = sample;
    head = (head + 1) % ring.size();
    if (count < ring.size()) ++count;
    ++pushCount;
}

void TrendBuffer::clear()
{
    head = count = 0;
    ++pushCount;
}

const TrendSample& TrendBuffer::at(size_t i) const
{
    const size_t oldest = (head + ring.size() - count) % ring.size();
    return ring[(oldest + (i < count ? i : count - 1)) % ring.size()];
}

TrendSample takeTrendSample(double seconds)
{
    TrendSample s;
    s.seconds = seconds;
    s.clock = localSeconds;
    for (float& v : s.value) v = kNone;
    s.value[TREND_RPM] = static_cast<float>(rpm);
    s.value[TREND_MAP] = tenthsIf(settings.mapUnit == 1, map);
    for (int i = 0; i < egtCount() + chtCount(); ++i) s.value[TREND_TC_FIRST + i] = tc[i];
    if (analogInputFunction(0) == SENDER_FUNCTION_TEMPERATURE) s.value[TREND_OIL_TEMP] = tempValue[0];
    if (analogInputFunction(1) == SENDER_FUNCTION_PRESSURE)
        s.value[TREND_OIL_PRESSURE] =
            tenthsIf(pressureInTenths(settings.pressureSender[1].pressureUnit), pressureValue[1]);
    if (settings.flow1On) s.value[TREND_FUEL_FLOW] = fuelFlow[0] / 10.0f;
    s.value[TREND_VOLTS] = volts / 10.0f;
    return s;
}

void sampleTrendsAfterTick(double seconds)
{
    // The slow step has just run when the tick count starts again.
    if (slowStepTickCount != 0 || devicePhase != DevicePhase::Running) return;
    trendHistory.push(takeTrendSample(seconds));
}

TrendLimits trendLimits(TrendGroup group)
{
    const Settings& s = settings;
    switch (group) {
    case TGROUP_RPM:
        return {limitIf(s.rpm1LowAlarmOn, s.rpm1LowAlarm), limitIf(s.rpm1HighAlarmOn, s.rpm1HighAlarm),
                limitIf(s.rpm1LowAlarmOn, s.rpm1LowCaution), limitIf(s.rpm1HighAlarmOn, s.rpm1HighCaution)};
    case TGROUP_MAP: {
        const bool t = s.mapUnit == 1;
        return {limitIf(s.mapLowAlarmOn, tenthsIf(t, s.mapLowAlarm)), limitIf(s.mapHighAlarmOn, tenthsIf(t, s.mapHighAlarm)),
                limitIf(s.mapLowAlarmOn, tenthsIf(t, s.mapLowCaution)),
                limitIf(s.mapHighAlarmOn, tenthsIf(t, s.mapHighCaution))};
    }
    case TGROUP_EGT:
        return {kNone, limitIf(s.egtHighAlarmOn, s.egtHighAlarm), kNone, limitIf(s.egtHighAlarmOn, s.egtHighCaution)};
    case TGROUP_CHT:
        return {kNone, limitIf(s.chtHighAlarmOn, s.chtHighAlarm), kNone, limitIf(s.chtHighAlarmOn, s.chtHighCaution)};
    case TGROUP_OIL_TEMP: {
        const TemperatureSenderConfig& c = s.temperatureSender[0];
        return {limitIf(c.lowAlarmOn, c.lowAlarm), limitIf(c.highAlarmOn, c.highAlarm),
                limitIf(c.lowAlarmOn, c.lowCaution), limitIf(c.highAlarmOn, c.highCaution)};
    }
    case TGROUP_OIL_PRESSURE: {
        const PressureSenderConfig& c = s.pressureSender[1];
        const bool t = pressureInTenths(c.pressureUnit);
        return {limitIf(c.lowAlarmOn, tenthsIf(t, c.lowAlarm)), limitIf(c.highAlarmOn, tenthsIf(t, c.highAlarm)),
                limitIf(c.lowAlarmOn, tenthsIf(t, c.lowCaution)), limitIf(c.highAlarmOn, tenthsIf(t, c.highCaution))};
    }
    case TGROUP_VOLTS:
        return {limitIf(s.voltsLowAlarmOn, s.voltsLowAlarm / 10.0f), limitIf(s.voltsHighAlarmOn, s.voltsHighAlarm / 10.0f),
                limitIf(s.voltsLowAlarmOn, s.voltsLowCaution / 10.0f),
                limitIf(s.voltsHighAlarmOn, s.voltsHighCaution / 10.0f)};
    default: return {kNone, kNone, kNone, kNone};
    }
}

std::string trendUnit(TrendGroup group)
{
    const char* temperature = settings.temperatureUnit == 1 ? "F" : "C";
    switch (group) {
    case TGROUP_RPM: return "RPM";
    case TGROUP_MAP: return settings.mapUnit == 1 ? "inHg" : "mb";
    case TGROUP_EGT:
    case TGROUP_CHT:
    case TGROUP_OIL_TEMP: return temperature;
    case TGROUP_OIL_PRESSURE: return settings.pressureSender[1].pressureUnit == 0 ? "bar" : "psi";
    case TGROUP_FUEL_FLOW: return fuelUnitIsGallons() ? "gal/h" : "L/h";
    case TGROUP_VOLTS: return "V";
    default: return "";
    }
}

namespace {

// Which groups cannot show a value below 0: every one but the temperatures, and EGT and CHT
// in Fahrenheit.
enum class Floor : uint8_t { None, Zero, ZeroInFahrenheit };

// The charted series: a group's title names its one series too.
struct GroupInfo {
    const char* title;
    TrendSeries first;  // its series: first .. first + count - 1
    uint8_t count;
    Floor floor;
};

const GroupInfo kGroups[TGROUP_COUNT] = {
    {"RPM", TREND_RPM, 1, Floor::Zero},
    {"MAP", TREND_MAP, 1, Floor::Zero},
    // EGT and CHT split by the channel count when drawn; both groups offer every channel.
    {"EGT", TREND_TC_FIRST, 12, Floor::ZeroInFahrenheit},
    {"CHT", TREND_TC_FIRST, 12, Floor::ZeroInFahrenheit},
    {"Oil temperature", TREND_OIL_TEMP, 1, Floor::None},
    {"Oil pressure", TREND_OIL_PRESSURE, 1, Floor::Zero},
    {"Fuel flow", TREND_FUEL_FLOW, 1, Floor::Zero},
    {"Volts", TREND_VOLTS, 1, Floor::Zero},
};

}  // namespace

const char* trendGroupTitle(TrendGroup group) { return group < TGROUP_COUNT ? kGroups[group].title : ""; }

bool trendSeriesInGroup(TrendSeries series, TrendGroup group)
{
    return group < TGROUP_COUNT && series >= kGroups[group].first && series < kGroups[group].first + kGroups[group].count;
}

bool trendNeverNegative(TrendGroup group, const std::string& unit)
{
    if (group >= TGROUP_COUNT) return false;
    return kGroups[group].floor == Floor::Zero || (kGroups[group].floor == Floor::ZeroInFahrenheit && unit == "F");
}

std::string trendSeriesName(TrendSeries series, int egtChannels)
{
    if (series >= TREND_TC_FIRST && series < TREND_OIL_TEMP) {
        const int channel = series - TREND_TC_FIRST;
        return channel < egtChannels ? "EGT " + std::to_string(channel + 1)
                                     : "CHT " + std::to_string(channel - egtChannels + 1);
    }
    for (const GroupInfo& g : kGroups)
        if (g.first == series && g.count == 1) return g.title;
    return "";
}

namespace {

// Where a header's column lands: a series and its group for the unit, or nothing.
struct Column {
    int series = -1;
    int group = -1;
};

std::vector<std::string> splitCsv(const std::string& line)
{
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, ',')) {
        if (!cell.empty() && cell.back() == '\r') cell.pop_back();
        cells.push_back(cell);
    }
    return cells;
}

std::string unitOf(const std::string& name)
{
    const size_t open = name.find('('), close = name.rfind(')');
    return open != std::string::npos && close != std::string::npos && close > open
               ? name.substr(open + 1, close - open - 1) : "";
}

std::vector<Column> readHeader(const std::vector<std::string>& names, TrendRecording& out)
{
    std::vector<Column> columns(names.size());
    int egts = 0, chts = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& n = names[i];
        Column& c = columns[i];
        auto starts = [&n](const char* prefix) { return n.rfind(prefix, 0) == 0; };
        if (starts("VOLTS")) c = {TREND_VOLTS, TGROUP_VOLTS};
        else if (starts("MAP")) c = {TREND_MAP, TGROUP_MAP};
        else if (starts("RPM")) c = {TREND_RPM, TGROUP_RPM};
        else if (starts("EGT") && egts + chts < 12) c = {TREND_TC_FIRST + egts++, TGROUP_EGT};
        else if (starts("CHT") && egts + chts < 12) c = {TREND_TC_FIRST + egts + chts++, TGROUP_CHT};
        else if (starts("OIL TEMP") && unitOf(n) != "OFF") c = {TREND_OIL_TEMP, TGROUP_OIL_TEMP};
        else if (starts("OIL PRESS") && unitOf(n) != "OFF") c = {TREND_OIL_PRESSURE, TGROUP_OIL_PRESSURE};
        else if (starts("FLOW1")) c = {TREND_FUEL_FLOW, TGROUP_FUEL_FLOW};
        if (c.group >= 0) out.unit[c.group] = c.group == TGROUP_RPM ? "RPM" : unitOf(n);
    }
    out.egtChannels = egts;
    return columns;
}

bool readUtc(const std::string& text, double& seconds)
{
    unsigned y, mo, d, h, mi, s;
    if (std::sscanf(text.c_str(), "%4u-%2u-%2uT%2u:%2u:%2uZ", &y, &mo, &d, &h, &mi, &s) != 6) return false;
    if (y < 1970 || y > 2099 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59) return false;
    DateTime dt;
    dt.year = static_cast<uint16_t>(y);
    dt.month = static_cast<uint8_t>(mo);
    dt.day = static_cast<uint8_t>(d);
    dt.hour = static_cast<uint8_t>(h);
    dt.minute = static_cast<uint8_t>(mi);
    dt.second = static_cast<uint8_t>(s);
    seconds = dateTimeToSeconds(dt);
    return true;
}

}  // namespace

bool readTrendRecording(std::istream& in, TrendRecording& out)
{
    out = TrendRecording{};
    std::vector<Column> columns;
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> cells = splitCsv(line);
        if (cells.empty()) continue;
        if (cells[0] == "UTC") {  // a header; a new one follows a change of the settings
            columns = readHeader(cells, out);
            continue;
        }
        TrendSample s;
        if (columns.empty() || !readUtc(cells[0], s.seconds)) continue;
        s.clock = s.seconds;
        for (float& v : s.value) v = kNone;
        for (size_t i = 1; i < cells.size() && i < columns.size(); ++i) {
            if (columns[i].series < 0 || cells[i].empty()) continue;
            char* end = nullptr;
            const float v = std::strtof(cells[i].c_str(), &end);
            if (end != cells[i].c_str() && std::isfinite(v)) s.value[columns[i].series] = v;
        }
        out.samples.push_back(s);
    }
    return !out.samples.empty();
}

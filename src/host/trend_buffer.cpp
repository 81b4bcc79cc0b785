// The trend ring, the sample taken from the instrument's values, and the reader of recordings.
#include "host/trend_buffer.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
    const char* column;  // its recording column; EGT and CHT: the name before the channel number
};

const GroupInfo kGroups[TGROUP_COUNT] = {
    {"RPM", TREND_RPM, 1, Floor::Zero, "RPM"},
    {"MAP", TREND_MAP, 1, Floor::Zero, "MAP"},
    // EGT and CHT split by the channel count when drawn; both groups offer every channel.
    {"EGT", TREND_TC_FIRST, 12, Floor::ZeroInFahrenheit, "EGT"},
    {"CHT", TREND_TC_FIRST, 12, Floor::ZeroInFahrenheit, "CHT"},
    {"Oil temperature", TREND_OIL_TEMP, 1, Floor::None, "OIL TEMP"},
    {"Oil pressure", TREND_OIL_PRESSURE, 1, Floor::Zero, "OIL PRESS"},
    {"Fuel flow", TREND_FUEL_FLOW, 1, Floor::Zero, "FLOW1"},
    {"Volts", TREND_VOLTS, 1, Floor::Zero, "VOLTS"},
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

std::vector<int> trendColumns(const RecordingSession& session, TrendGroup group)
{
    std::vector<int> out;
    if (group >= TGROUP_COUNT) return out;
    const GroupInfo& g = kGroups[group];
    const std::string_view prefix = g.column;
    for (size_t c = 0; c < session.columns.size(); ++c) {
        const RecordingColumn& column = session.columns[c];
        if (column.hex || column.name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string_view rest = std::string_view(column.name).substr(prefix.size());
        const bool channel = !rest.empty() && rest.size() <= 2 &&
                             std::all_of(rest.begin(), rest.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
        if (g.count > 1 ? !channel : !rest.empty()) continue;
        if (column.unit == "OFF" || column.values.empty()) continue;
        out.push_back(static_cast<int>(c));
    }
    return out;
}

std::string trendRecordingUnit(const RecordingSession& session, TrendGroup group)
{
    if (group == TGROUP_RPM) return "RPM";
    for (int c : trendColumns(session, group))
        if (!session.columns[c].unit.empty()) return session.columns[c].unit;
    return "";
}

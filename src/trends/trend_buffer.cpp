// The trend ring, the sample taken from the instrument's values, and the reader of recordings.
#include "trends/trend_buffer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "device.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "engine/units.h"
#include "settings/settings.h"
#include "time/clock.h"

TrendBuffer trendHistory(TREND_LIVE_CAPACITY);

namespace {

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

int egtCount() { return settings.egtChannels > 12 ? 12 : settings.egtChannels; }
int chtCount() { return settings.chtChannels > 12 - egtCount() ? 12 - egtCount() : settings.chtChannels; }

float limitIf(bool on, float value) { return on ? value : kNone; }

// The unit each group is charted in with the present settings.
ShownUnit groupUnit(TrendGroup group)
{
    switch (group) {
    case TGROUP_RPM: return {MeasureUnit::Rpm, 0};
    case TGROUP_MAP: return mapUnitNow();
    case TGROUP_EGT:
    case TGROUP_CHT:
    case TGROUP_OIL_TEMP: return engineTemperatureUnit();
    case TGROUP_OIL_PRESSURE: return pressureUnitFor(settings.pressureSender[1].pressureUnit);
    case TGROUP_FUEL_FLOW: return fuelFlowUnit();
    default: return {MeasureUnit::Volt, 1};
    }
}

// A value the instrument keeps in the group's fixed point, in whole units.
float inGroupUnit(TrendGroup group, int32_t value) { return static_cast<float>(value / groupUnit(group).scale()); }

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
    s.value[TREND_MAP] = inGroupUnit(TGROUP_MAP, map);
    for (int i = 0; i < egtCount() + chtCount(); ++i) s.value[TREND_TC_FIRST + i] = tc[i];
    if (analogInputFunction(0) == SENDER_FUNCTION_TEMPERATURE) s.value[TREND_OIL_TEMP] = tempValue[0];
    if (analogInputFunction(1) == SENDER_FUNCTION_PRESSURE)
        s.value[TREND_OIL_PRESSURE] = inGroupUnit(TGROUP_OIL_PRESSURE, pressureValue[1]);
    if (settings.flow1On) s.value[TREND_FUEL_FLOW] = inGroupUnit(TGROUP_FUEL_FLOW, fuelFlow[0]);
    s.value[TREND_VOLTS] = inGroupUnit(TGROUP_VOLTS, volts);
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
    const auto limits = [group](bool lowOn, int32_t lowAlarm, int32_t lowCaution, bool highOn, int32_t highAlarm,
                                int32_t highCaution) {
        const auto v = [group](bool on, int32_t value) { return limitIf(on, inGroupUnit(group, value)); };
        return TrendLimits{v(lowOn, lowAlarm), v(highOn, highAlarm), v(lowOn, lowCaution), v(highOn, highCaution)};
    };
    switch (group) {
    case TGROUP_RPM:
        return limits(s.rpm1LowAlarmOn, s.rpm1LowAlarm, s.rpm1LowCaution, s.rpm1HighAlarmOn, s.rpm1HighAlarm,
                      s.rpm1HighCaution);
    case TGROUP_MAP:
        return limits(s.mapLowAlarmOn, s.mapLowAlarm, s.mapLowCaution, s.mapHighAlarmOn, s.mapHighAlarm, s.mapHighCaution);
    case TGROUP_EGT: return limits(false, 0, 0, s.egtHighAlarmOn, s.egtHighAlarm, s.egtHighCaution);
    case TGROUP_CHT: return limits(false, 0, 0, s.chtHighAlarmOn, s.chtHighAlarm, s.chtHighCaution);
    case TGROUP_OIL_TEMP: {
        const TemperatureSenderConfig& c = s.temperatureSender[0];
        return limits(c.lowAlarmOn, c.lowAlarm, c.lowCaution, c.highAlarmOn, c.highAlarm, c.highCaution);
    }
    case TGROUP_OIL_PRESSURE: {
        const PressureSenderConfig& c = s.pressureSender[1];
        return limits(c.lowAlarmOn, c.lowAlarm, c.lowCaution, c.highAlarmOn, c.highAlarm, c.highCaution);
    }
    case TGROUP_VOLTS:
        return limits(s.voltsLowAlarmOn, s.voltsLowAlarm, s.voltsLowCaution, s.voltsHighAlarmOn, s.voltsHighAlarm,
                      s.voltsHighCaution);
    default: return {kNone, kNone, kNone, kNone};
    }
}

TrendLimits trendLimitsIn(TrendGroup group, const std::string& unit)
{
    TrendLimits l = trendLimits(group);
    MeasureUnit to{};
    const bool convertible = unitByName(unit, to);
    for (float* v : {&l.lowAlarm, &l.highAlarm, &l.lowCaution, &l.highCaution}) {
        double out = 0;
        *v = convertible && convertUnit(*v, groupUnit(group).unit, to, out) ? static_cast<float>(out) : kNone;
    }
    return l;
}

std::string trendUnit(TrendGroup group) { return groupUnit(group).info().name; }

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

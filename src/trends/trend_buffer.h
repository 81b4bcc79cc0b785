// The engine values' recent history for the Trends tab: a fixed ring of one sample per slow step,
// the charts' groups, and which columns of a recording each group draws.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "trends/recording.h"

// One value per series, in the unit the instrument shows (V, L/h or gal/h, bar or psi, ...).
enum TrendSeries : uint8_t {
    TREND_RPM,
    TREND_MAP,
    TREND_TC_FIRST,  // the twelve thermocouple channels, EGTs first, then CHTs
    TREND_OIL_TEMP = TREND_TC_FIRST + 12,
    TREND_OIL_PRESSURE,
    TREND_FUEL_FLOW,
    TREND_VOLTS,
    TREND_SERIES_COUNT
};

// The charts: each group shows one or more series against its own limits.
enum TrendGroup : uint8_t {
    TGROUP_RPM, TGROUP_MAP, TGROUP_EGT, TGROUP_CHT, TGROUP_OIL_TEMP, TGROUP_OIL_PRESSURE,
    TGROUP_FUEL_FLOW, TGROUP_VOLTS, TGROUP_COUNT
};

struct TrendSample {
    double seconds = 0;               // time of the sample; any steady origin
    double clock = 0;                 // the instrument's local time then, seconds since 1970
    float value[TREND_SERIES_COUNT];  // NaN where the channel is off or absent
};

// Alarm and caution lines of a group in its display unit; NaN where there is none.
struct TrendLimits {
    float lowAlarm, highAlarm, lowCaution, highCaution;
};

class TrendBuffer {
public:
    explicit TrendBuffer(size_t capacity);
    void push(const TrendSample& sample);  // the oldest sample goes when the ring is full
    void clear();
    size_t size() const { return count; }
    size_t capacity() const { return ring.size(); }
    const TrendSample& at(size_t i) const;  // 0 = oldest
    const TrendSample& newest() const { return at(count - 1); }
    uint64_t pushes() const { return pushCount; }  // grows with every push; readers see news by it

private:
    std::vector<TrendSample> ring;
    size_t head = 0;  // where the next sample goes
    size_t count = 0;
    uint64_t pushCount = 0;
};

// Fifteen minutes of one sample a second.
constexpr size_t TREND_LIVE_CAPACITY = 15 * 60;
// What the window shows live; sampled by the host once per slow step while the instrument runs.
extern TrendBuffer trendHistory;

// The instrument's current values as a sample taken at `seconds`.
TrendSample takeTrendSample(double seconds);
// Called after each host tick: samples once per slow step while the instrument runs.
void sampleTrendsAfterTick(double seconds);
// Limits and unit of a group from the instrument's settings.
TrendLimits trendLimits(TrendGroup group);
std::string trendUnit(TrendGroup group);
// The same limits converted into `unit` (a recording's, by its name: "C", "inHg"); NaN where
// today's unit cannot be converted into it.
TrendLimits trendLimitsIn(TrendGroup group, const std::string& unit);
// Title of a group and which series it draws.
const char* trendGroupTitle(TrendGroup group);
bool trendSeriesInGroup(TrendSeries series, TrendGroup group);
// True when the group's values cannot go below 0 in `unit` (its axis then starts at 0 at most).
bool trendNeverNegative(TrendGroup group, const std::string& unit);
// Name of a series in a legend ("RPM", "EGT 3", "CHT 1", ...) given the instrument's EGT count.
std::string trendSeriesName(TrendSeries series, int egtChannels);

// The columns of a session that a group draws (EGT and CHT: each channel, in order), leaving
// out those the session recorded as OFF or that never held a number; and the group's unit there.
std::vector<int> trendColumns(const RecordingSession& session, TrendGroup group);
std::string trendRecordingUnit(const RecordingSession& session, TrendGroup group);

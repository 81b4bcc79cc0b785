// The trend ring keeps the newest samples in order, and each chart finds in a DATALOG.CSV the
// instrument writes the values the host samples live.
#include <gtest/gtest.h>

#include <cmath>

#include "device.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "trends/axis_ticks.h"
#include "trends/trend_buffer.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/data_recording.h"

namespace {

TrendSample sampleAt(double seconds)
{
    TrendSample s{};
    s.seconds = seconds;
    s.value[TREND_RPM] = static_cast<float>(seconds * 10);
    return s;
}

}  // namespace

TEST(TrendBuffer, KeepsTheNewestSamplesOldestFirst)
{
    struct Case {
        size_t pushed;
        size_t expectedSize;
        double expectedOldest;
    };
    const Case cases[] = {{0, 0, 0}, {1, 1, 0}, {4, 4, 0}, {5, 5, 0}, {6, 5, 1}, {23, 5, 18}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pushed);
        TrendBuffer ring(5);
        for (size_t i = 0; i < c.pushed; ++i) ring.push(sampleAt(static_cast<double>(i)));
        ASSERT_EQ(ring.size(), c.expectedSize);
        EXPECT_EQ(ring.pushes(), c.pushed);
        for (size_t i = 0; i < ring.size(); ++i) {
            EXPECT_EQ(ring.at(i).seconds, c.expectedOldest + static_cast<double>(i));
            EXPECT_EQ(ring.at(i).value[TREND_RPM], static_cast<float>((c.expectedOldest + i) * 10));
        }
    }
}

TEST(TrendBuffer, ClearEmptiesAndReadersSeeIt)
{
    TrendBuffer ring(3);
    ring.push(sampleAt(1));
    ring.clear();
    EXPECT_EQ(ring.size(), 0u);
    EXPECT_EQ(ring.pushes(), 2u);
    ring.push(sampleAt(7));
    EXPECT_EQ(ring.newest().seconds, 7);
    EXPECT_EQ(ring.at(5).seconds, 7);  // beyond the end: the newest, never outside the ring
}

TEST(TrendBuffer, SamplesOncePerSlowStepWhileRunning)
{
    resetDevice();
    trendHistory.clear();
    sampleTrendsAfterTick(1);  // off
    devicePhase = DevicePhase::Running;
    slowStepTickCount = 3;
    sampleTrendsAfterTick(2);  // between slow steps
    EXPECT_EQ(trendHistory.size(), 0u);
    slowStepTickCount = 0;
    sampleTrendsAfterTick(3);
    ASSERT_EQ(trendHistory.size(), 1u);
    EXPECT_EQ(trendHistory.newest().seconds, 3);
    resetDevice();
    trendHistory.clear();
}

TEST(TrendRecording, ReadsBackWhatTheInstrumentWrote)
{
    resetDevice();
    rpm = 2450;
    map = 812;
    volts = 138;
    tc[0] = 1320;
    tc[1] = 1298;
    tc[2] = 356;
    tc[3] = 371;
    tempValue[0] = 92;
    pressureValue[1] = 41;
    fuelFlow[0] = 287;
    rtcDateTime = secondsToDateTime(1'800'000'000);
    char header[1024], line[1024];
    recordingHeader(header, sizeof header);
    recordingLine(line, sizeof line);
    Recording read;
    ASSERT_TRUE(parseRecording(std::string(header) + line + "garbage,1,2\r\n" + line, read));
    ASSERT_EQ(read.time.size(), 2u);
    EXPECT_EQ(read.badLines, 1u);
    EXPECT_EQ(read.time[0], 1'800'000'000);
    // Each group's columns, in order, hold the values the live sample has in its series.
    const int egts = settings.egtChannels;
    const TrendSample live = takeTrendSample(0);
    const RecordingSession& session = read.sessions[0];
    for (int g = 0; g < TGROUP_COUNT; ++g) {
        const TrendGroup group = TrendGroup(g);
        std::vector<int> series;
        for (int s = 0; s < TREND_SERIES_COUNT; ++s) {
            const bool channel = s >= TREND_TC_FIRST && s < TREND_OIL_TEMP;
            const bool egt = channel && s - TREND_TC_FIRST < egts;
            const bool inGroup = group == TGROUP_EGT ? egt : group == TGROUP_CHT ? channel && !egt : trendSeriesInGroup(TrendSeries(s), group);
            if (inGroup && !std::isnan(live.value[s])) series.push_back(s);
        }
        const std::vector<int> columns = trendColumns(session, group);
        ASSERT_EQ(columns.size(), series.size()) << trendGroupTitle(group);
        for (size_t i = 0; i < series.size(); ++i)
            EXPECT_FLOAT_EQ(session.columns[columns[i]].value(0), live.value[series[i]]) << trendSeriesName(TrendSeries(series[i]), egts);
        EXPECT_EQ(trendRecordingUnit(session, group), trendUnit(group)) << g;
    }
    resetDevice();
}

// A recording the instrument wrote (several power-ons, so several header lines).
TEST(TrendRecording, AnInstrumentsRecordingReads)
{
    Recording read;
    ASSERT_TRUE(readRecordingFile(CORVEX_SOURCE_DIR "/tests/data/recording/DATALOG.CSV", read));
    ASSERT_FALSE(read.sessions.empty());
    const RecordingSession& s = read.sessions[0];
    EXPECT_EQ(trendColumns(s, TGROUP_EGT).size(), 2u);  // only four channels
    EXPECT_EQ(trendColumns(s, TGROUP_CHT).size(), 2u);
    EXPECT_EQ(trendRecordingUnit(s, TGROUP_MAP), "inHg");
    EXPECT_FLOAT_EQ(s.columns[trendColumns(s, TGROUP_MAP).at(0)].value(0), 30.4f);
}

// A recording's limit lines are today's limits in the recording's own units, or none.
TEST(TrendRecording, LimitLinesTakeTheRecordingsUnits)
{
    resetDevice();
    settings.temperatureUnit = 1;
    settings.egtHighAlarmOn = 1;
    settings.egtHighAlarm = 1472;  // 800 C
    settings.egtHighCaution = 1400;
    settings.mapUnit = 1;
    settings.mapHighAlarmOn = 1;
    settings.mapHighAlarm = 300;  // 30.0 inHg
    settings.mapHighCaution = 290;
    settings.mapLowAlarmOn = 0;
    const struct {
        TrendGroup group;
        const char* unit;
        float highAlarm, highCaution;  // NaN: no line
    } cases[] = {
        {TGROUP_EGT, "F", 1472, 1400},
        {TGROUP_EGT, "C", 800, 760},
        {TGROUP_EGT, "psi", NAN, NAN},
        {TGROUP_EGT, "", NAN, NAN},
        {TGROUP_MAP, "inHg", 30.0f, 29.0f},
        {TGROUP_MAP, "mb", 1015.9f, 982.1f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(trendGroupTitle(c.group)) + " in " + c.unit);
        const TrendLimits l = trendLimitsIn(c.group, c.unit);
        const auto same = [](float a, float b) { return std::isnan(b) ? std::isnan(a) : std::fabs(a - b) < 0.1f; };
        EXPECT_TRUE(same(l.highAlarm, c.highAlarm)) << l.highAlarm;
        EXPECT_TRUE(same(l.highCaution, c.highCaution)) << l.highCaution;
        EXPECT_TRUE(std::isnan(l.lowAlarm));
    }
    resetDevice();
}

TEST(AxisTicks, RoundStepsFromTheSpanFirstTickAtOrAboveTheMinimum)
{
    constexpr TickScale D = TickScale::Decimal, T = TickScale::Time;
    constexpr double kDay = 86400;
    struct Case {
        double lo, hi;
        int wanted;
        TickScale scale;
        double first, step;
        int count, decimals;
    };
    const Case cases[] = {
        {0, 10, 5, D, 0, 2, 6, 0},               // both ends exact multiples: both ticked
        {0, 10.5, 5, D, 0, 5, 3, 0},             // just over 2 a tick: 5
        {0, 25.05, 5, D, 0, 10, 3, 0},           // just over 5 a tick: 10
        {4715, 5880, 5, D, 5000, 500, 2, 0},     // the first tick a round value above the minimum
        {-1, 1, 4, D, -1, 0.5, 5, 1},            // across zero
        {-7, -3, 4, D, -7, 1, 5, 0},             // wholly negative
        {-0.4, 0.4, 2, D, 0, 0.5, 1, 1},         // no "-0"
        {5, 5, 5, D, 5, 1, 1, 0},                // span 0 on a multiple
        {0.5, 0.5, 5, D, 1, 1, 0, 0},            // span 0 between multiples: no tick
        {3, 1, 5, D, 0, 1, 0, 0},                // reversed: no tick
        {0.1, 0.3, 2, D, 0.1, 0.1, 3, 1},        // multiples that are not exact in binary
        {0, 0.0003, 3, D, 0, 0.0001, 4, 4},      // tiny
        {0, 7e12, 7, D, 0, 1e12, 8, 0},          // huge
        {0, 60, 4, T, 0, 15, 5, 0},              // a minute: quarter minutes
        {0, 300, 4, T, 0, 120, 3, 0},            // five minutes: not 100 s but 2 minutes
        {0, 900, 4, T, 0, 300, 4, 0},
        {0, 8 * 3600, 4, T, 0, 7200, 5, 0},      // two hours a tick
        {0, 9 * 3600, 4, T, 0, 10800, 4, 0},     // just over: three hours
        {0, 20 * kDay, 4, T, 0, 5 * kDay, 5, 0}, // days in 1, 2, 5 steps
        {10, 11.5, 4, T, 10, 1, 2, 0},           // never under a second
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi << " / " << c.wanted);
        const AxisTicks t = roundTicks(c.lo, c.hi, c.wanted, c.scale);
        EXPECT_DOUBLE_EQ(t.step, c.step);
        EXPECT_EQ(t.count, c.count);
        if (c.count > 0) {
            EXPECT_DOUBLE_EQ(t.first, c.first);
            EXPECT_FALSE(std::signbit(t.first) && t.first == 0);
            EXPECT_EQ(t.decimals(), c.decimals);
        }
    }
}

TEST(AxisTicks, TimeLabelsByStepAndSpan)
{
    const double eight = 1'800'000'000;  // 2027-01-15 08:00:00
    const struct {
        double tick, span;
        const char* label;
    } kCases[] = {
        {15, 60, "08:00:15"},                // seconds under a minute a tick
        {30, 120, "08:00:30"},
        {60, 240, "08:01"},                  // a minute a tick: minutes
        {0, 900, "08:00"},
        {0, 2 * 86400, "01-15 08:00"},       // across days
        {0, 20 * 86400, "2027-01-15"},       // a day a tick
    };
    for (const auto& c : kCases)
        EXPECT_EQ(timeTickLabel(eight + c.tick, roundTicks(eight, eight + c.span, 4, TickScale::Time), c.span), c.label) << c.span;
}

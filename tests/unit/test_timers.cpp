// The slow step's counters: Hobbs meter, maintenance timer, TIMER, EGT/CHT scanning, the OAT/CO
// cycle, the pop-up timeout and the variation counter; local time by the UTC offset; power-on.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "device.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "gps/gps.h"
#include "scenario/scenario.h"
#include "scenario/variables.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/flight.h"
#include "time/timers.h"
#include "ui/home.h"

namespace {

void clearTimeState()
{
    resetDevice();
}

class SlowStep : public testing::Test {
protected:
    void SetUp() override
    {
        clearTimeState();
    }
    void TearDown() override
    {
        clearTimeState();
    }

    static void run(int seconds)
    {
        for (int i = 0; i < seconds; ++i) slowStep();
    }
    static void engineRunning()
    {
        remoteUnitOn = 1;
        settings.hobbsMinRpm = 1000;
        rpm = 2400;
    }
};

TEST_F(SlowStep, MetersRunOnlyWithTheRemoteUnitOnAndRpmAtLeastTheMinimum)
{
    struct Case {
        uint8_t remote;
        int32_t rpm;
        uint32_t minimum;
        bool runs;
    } cases[] = {
        {0, 2400, 1000, false},  // "ZEDA On/Off" cleared
        {1, 999, 1000, false},   // one below the minimum
        {1, 1000, 1000, true},   // equal to the minimum runs
        {1, 1001, 1000, true},
        {1, 0, 100, false},
        {1, 99000, 99000, true},
        {1, 98999, 99000, false},
        {0, 0, 100, false},
    };
    for (const Case& c : cases) {
        clearTimeState();
        remoteUnitOn = c.remote;
        rpm = c.rpm;
        settings.hobbsMinRpm = c.minimum;
        maintHours = 5;
        run(3600);
        const std::string where = "remote " + std::to_string(c.remote) + " rpm " + std::to_string(c.rpm) + " min " +
                                  std::to_string(c.minimum);
        EXPECT_EQ(hobbsHours, c.runs ? 1 : 0) << where;
        EXPECT_EQ(hobbsStepCount, 0) << where;
        EXPECT_EQ(maintHours, c.runs ? 4 : 5) << where;
        EXPECT_EQ(maintMinutes, 0) << where;
        EXPECT_EQ(maintStepCount, 0) << where;
    }
}

TEST_F(SlowStep, HobbsGainsAHundredthPer36RunningSecondsAndSaturatesAt10000Hours)
{
    struct Case {
        uint16_t hours;
        uint8_t hundredths;
        int seconds;
        uint16_t wantHours;
        uint8_t wantHundredths;
        uint8_t wantSteps;
    } cases[] = {
        {0, 0, 35, 0, 0, 35},
        {0, 0, 36, 0, 1, 0},
        {0, 0, 72, 0, 2, 0},
        {5, 37, 3600, 6, 37, 0},    // an hour later: one more hour, the same hundredths
        {0, 99, 36, 1, 0, 0},
        {9999, 99, 36, 10000, 0, 0},
        {10000, 99, 36, 10000, 0, 0},  // the hours stay, the hundredths wrap
        {10000, 50, 3600, 10000, 50, 0},
        {123, 47, 3599, 124, 46, 35},
    };
    for (const Case& c : cases) {
        clearTimeState();
        engineRunning();
        hobbsHours = c.hours;
        hobbsHundredths = c.hundredths;
        run(c.seconds);
        const std::string where = std::to_string(c.hours) + "." + std::to_string(c.hundredths) + " + " +
                                  std::to_string(c.seconds) + " s";
        EXPECT_EQ(hobbsHours, c.wantHours) << where;
        EXPECT_EQ(hobbsHundredths, c.wantHundredths) << where;
        EXPECT_EQ(hobbsStepCount, c.wantSteps) << where;
    }
}

TEST_F(SlowStep, MaintenanceLosesAMinutePerRunningMinuteAndStopsAtZero)
{
    struct Case {
        uint16_t hours;
        uint8_t minutes;
        int seconds;
        uint16_t wantHours;
        uint8_t wantMinutes;
    } cases[] = {
        {1, 0, 60, 0, 59},
        {1, 0, 59, 1, 0},
        {0, 1, 60, 0, 0},
        {0, 1, 600, 0, 0},   // stays at 0:00
        {0, 0, 3600, 0, 0},
        {2, 30, 150 * 60, 0, 0},
        {2, 30, 151 * 60, 0, 0},
        {999, 59, 60, 999, 58},
        {10, 0, 61 * 60, 8, 59},
    };
    for (const Case& c : cases) {
        clearTimeState();
        engineRunning();
        maintHours = c.hours;
        maintMinutes = c.minutes;
        run(c.seconds);
        const std::string where = std::to_string(c.hours) + ":" + std::to_string(c.minutes) + " - " +
                                  std::to_string(c.seconds) + " s";
        EXPECT_EQ(maintHours, c.wantHours) << where;
        EXPECT_EQ(maintMinutes, c.wantMinutes) << where;
        EXPECT_EQ(maintenanceExpired(), c.wantHours == 0 && c.wantMinutes == 0) << where;
    }
}

TEST_F(SlowStep, AStoppedEngineStopsOnlyTheMetersNotTheRestOfTheStep)
{
    remoteUnitOn = 1;
    settings.hobbsMinRpm = 1000;
    rpm = 500;
    overlayTimeout = 10;
    oatCoCycle = 6;
    stopwatchSeconds = 0;
    stopwatchUp = 1;
    startStopwatch();
    gpsFixValid = 1;
    run(4);
    EXPECT_EQ(overlayTimeout, 6);
    EXPECT_EQ(oatCoCycle, 2);
    EXPECT_EQ(stopwatchSeconds, 4u);
    EXPECT_EQ(variationStepCount, 4);
    EXPECT_EQ(fuelIntervalDue, 1);  // the fuel's 4-second interval still counts
    EXPECT_EQ(hobbsStepCount, 0);
    EXPECT_EQ(maintStepCount, 0);
}

TEST_F(SlowStep, TheHostTickRunsTheSlowStepOnEveryTenthTick)
{
    engineRunning();
    blinkTickCount = blinkPhase = slowStepTickCount = 0;
    for (int tick = 1; tick <= 360; ++tick) {
        hostTick();
        ASSERT_EQ(hobbsStepCount, tick / 10 % 36) << tick;
    }
    EXPECT_EQ(hobbsHundredths, 1);
    EXPECT_EQ(maintStepCount, 36);
    blinkTickCount = blinkPhase = slowStepTickCount = 0;
}

TEST_F(SlowStep, OverlayTimeoutCountsDownToZeroAndStays)
{
    overlayTimeout = 3;
    const uint8_t want[] = {2, 1, 0, 0, 0};
    for (uint8_t w : want) {
        slowStep();
        EXPECT_EQ(overlayTimeout, w);
    }
}

TEST_F(SlowStep, OatCoCycleStepsFromSixDownToZeroThenBackToSix)
{
    oatCoCycle = 6;
    const uint8_t want[] = {5, 4, 3, 2, 1, 0, 6, 5, 4, 3, 2, 1, 0, 6};
    for (uint8_t w : want) {
        slowStep();
        EXPECT_EQ(oatCoCycle, w);
    }
    oatCoCycle = 0;
    slowStep();
    EXPECT_EQ(oatCoCycle, 6);
}

TEST_F(SlowStep, VariationCounterCountsOnlyWithAFixAndHoldsAtItsTop)
{
    gpsFixValid = 0;
    run(5);
    EXPECT_EQ(variationStepCount, 0);
    gpsFixValid = 1;
    run(5);
    EXPECT_EQ(variationStepCount, 5);
    gpsFixValid = 2;  // only 1 means a fix
    run(5);
    EXPECT_EQ(variationStepCount, 5);
    gpsFixValid = 1;
    variationStepCount = 65534;
    run(3);
    EXPECT_EQ(variationStepCount, 65535);
}

TEST_F(SlowStep, TimerCountsUpOrDownOnlyWhileEnabledAndRunning)
{
    struct Case {
        uint8_t enabled, running, up;
        uint32_t start;
        int seconds;
        uint32_t want;
    } cases[] = {
        {1, 1, 1, 0, 5, 5},
        {1, 1, 1, 35999, 2, 36001},
        {1, 1, 0, 10, 4, 6},
        {1, 1, 0, 3, 5, 0},   // counting down stops at 0
        {1, 1, 0, 0, 3, 0},   // at 0 it stays at 0
        {0, 1, 1, 10, 5, 10}, // not enabled
        {0, 1, 0, 10, 5, 10},
        {1, 0, 1, 10, 5, 10}, // stopped
        {1, 0, 0, 10, 5, 10},
    };
    for (const Case& c : cases) {
        clearTimeState();
        stopwatchEnabled = c.enabled;
        stopwatchRunning = c.running;
        stopwatchUp = c.up;
        stopwatchSeconds = c.start;
        run(c.seconds);
        EXPECT_EQ(stopwatchSeconds, c.want) << "enabled " << int(c.enabled) << " running " << int(c.running)
                                            << " up " << int(c.up) << " from " << c.start;
    }
}

TEST_F(SlowStep, StartingTheTimerEnablesItStopHoldsItResetLoadsThePreset)
{
    stopwatchPreset = 90;
    resetStopwatch();
    EXPECT_EQ(stopwatchSeconds, 90u);
    stopwatchUp = 0;
    run(3);
    EXPECT_EQ(stopwatchSeconds, 90u);  // not started: nothing counts
    startStopwatch();
    EXPECT_EQ(stopwatchRunning, 1);
    EXPECT_EQ(stopwatchEnabled, 1);
    run(30);
    EXPECT_EQ(stopwatchSeconds, 60u);
    stopStopwatch();
    EXPECT_EQ(stopwatchRunning, 0);
    run(10);
    EXPECT_EQ(stopwatchSeconds, 60u);
    startStopwatch();
    stopwatchUp = 1;
    run(5);
    EXPECT_EQ(stopwatchSeconds, 65u);
    resetStopwatch();
    EXPECT_EQ(stopwatchSeconds, 90u);
    EXPECT_EQ(stopwatchRunning, 1);  // a reset does not stop it
}

// The selected channel after each of a run of slow steps.
std::vector<int> egtScan(uint8_t egts, uint8_t timeIndex, uint8_t start, int steps)
{
    settings.egtChannels = egts;
    settings.egtScanMode = 1;
    settings.egtScanTime = timeIndex;
    egtSelected = start;
    egtScanCount = 0;
    std::vector<int> seen;
    for (int i = 0; i < steps; ++i) {
        slowStep();
        seen.push_back(egtSelected);
    }
    return seen;
}

std::vector<int> chtScan(uint8_t egts, uint8_t chts, uint8_t timeIndex, uint8_t start, int steps)
{
    settings.egtChannels = egts;
    settings.chtChannels = chts;
    settings.chtScanMode = 1;
    settings.chtScanTime = timeIndex;
    chtSelected = start;
    chtScanCount = 0;
    std::vector<int> seen;
    for (int i = 0; i < steps; ++i) {
        slowStep();
        seen.push_back(chtSelected);
    }
    return seen;
}

TEST_F(SlowStep, EgtScanStepsOverTheEgtChannelsAtTheChosenPeriod)
{
    settings.chtScanMode = 0;
    struct Case {
        uint8_t egts, timeIndex, start;
        int steps;
        std::vector<int> want;
    } cases[] = {
        {4, 0, 0, 6, {1, 2, 3, 0, 1, 2}},
        {1, 0, 0, 3, {0, 0, 0}},
        {0, 0, 0, 2, {0, 0}},          // no EGT channels: stays on 0
        {4, 0, 9, 2, {0, 1}},          // beyond the channels: back to the first
        {2, 1, 0, 7, {0, 0, 1, 1, 1, 0, 0}},  // every 3 s
        {12, 2, 11, 5, {11, 11, 11, 11, 0}},  // every 5 s, wrapping from the last
    };
    for (const Case& c : cases) {
        EXPECT_EQ(egtScan(c.egts, c.timeIndex, c.start, c.steps), c.want)
            << int(c.egts) << " channels, time " << int(c.timeIndex) << ", from " << int(c.start);
    }
}

TEST_F(SlowStep, ChtScanStepsOverTheChannelsAfterTheEgts)
{
    settings.egtScanMode = 0;
    struct Case {
        uint8_t egts, chts, timeIndex, start;
        int steps;
        std::vector<int> want;
    } cases[] = {
        {4, 3, 0, 4, 5, {5, 6, 4, 5, 6}},
        {4, 3, 0, 0, 4, {5, 6, 4, 5}},  // below the first CHT: moved onto it, then stepped
        {4, 1, 0, 4, 3, {4, 4, 4}},
        {4, 3, 0, 11, 2, {4, 5}},       // beyond the channels: back to the first CHT
        {0, 2, 0, 0, 3, {1, 0, 1}},
        {6, 6, 3, 6, 21, {6, 6, 6, 6, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 8, 8}},  // every 10 s
    };
    for (const Case& c : cases) {
        std::vector<int> want = c.want;
        want.resize(static_cast<size_t>(c.steps));
        EXPECT_EQ(chtScan(c.egts, c.chts, c.timeIndex, c.start, c.steps), want)
            << int(c.egts) << "+" << int(c.chts) << " channels, time " << int(c.timeIndex) << ", from "
            << int(c.start);
    }
}

TEST_F(SlowStep, ScanTimesAreTheSevenPeriodsAndALongerIndexTakesTheLongest)
{
    settings.chtScanMode = 0;
    const int periods[] = {1, 3, 5, 10, 15, 30, 60, 60, 60};
    for (uint8_t index = 0; index < 9; ++index) {
        const std::vector<int> seen = egtScan(2, index, 0, periods[index]);
        for (int i = 0; i + 1 < periods[index]; ++i) ASSERT_EQ(seen[static_cast<size_t>(i)], 0) << int(index);
        EXPECT_EQ(seen.back(), 1) << int(index);
    }
}

TEST_F(SlowStep, AScanTimeShortenedBelowTheCountStepsAtOnce)
{
    settings.chtScanMode = 0;
    egtScan(4, 6, 0, 40);  // 40 s into a 60 s period
    EXPECT_EQ(egtScanCount, 40);
    settings.egtScanTime = 2;  // 5 s
    slowStep();
    EXPECT_EQ(egtSelected, 1);
    EXPECT_EQ(egtScanCount, 0);
}

TEST_F(SlowStep, ScanningWaitsOffTheEnginePageAndInHighestMode)
{
    settings.egtChannels = 4;
    settings.chtChannels = 4;
    settings.egtScanTime = settings.chtScanTime = 0;
    settings.egtScanMode = settings.chtScanMode = 1;
    chtSelected = 4;
    for (uint8_t page = 1; page < 4; ++page) {
        homePage = page;
        run(3);
        EXPECT_EQ(egtSelected, 0);
        EXPECT_EQ(chtSelected, 4);
        EXPECT_EQ(egtScanCount, 0);
    }
    homePage = 0;
    settings.egtScanMode = settings.chtScanMode = 0;
    run(3);
    EXPECT_EQ(egtSelected, 0);
    EXPECT_EQ(chtSelected, 4);
    settings.egtScanMode = 1;
    slowStep();
    EXPECT_EQ(egtSelected, 1);
    EXPECT_EQ(chtSelected, 4);
}

TEST_F(SlowStep, LocalTimeIsUtcShiftedByTheOffset)
{
    struct Case {
        uint32_t utc;
        int16_t offset;
        uint16_t year;
        uint8_t month, day, hour, minute;
    } cases[] = {
        {1709251800, -30, 2024, 2, 29, 23, 40},   // 2024-03-01 00:10 UTC
        {1709251800, 0, 2024, 3, 1, 0, 10},
        {1709249400, 60, 2024, 3, 1, 0, 30},      // 2024-02-29 23:30 UTC, one hour east
        {1735689000, 780, 2025, 1, 1, 12, 50},    // 2024-12-31 23:50 UTC
        {1735689000, -780, 2024, 12, 31, 10, 50},
        {951868800, -1, 2000, 2, 29, 23, 59},
    };
    for (const Case& c : cases) {
        hostUtcSeconds = c.utc;
        settings.utcOffsetMinutes = c.offset;
        refreshClock();
        EXPECT_EQ(utcSeconds, c.utc);
        EXPECT_EQ(localSeconds, c.utc + static_cast<uint32_t>(60 * c.offset));
        EXPECT_EQ(localDateTime.year, c.year) << c.utc << " " << c.offset;
        EXPECT_EQ(localDateTime.month, c.month) << c.utc << " " << c.offset;
        EXPECT_EQ(localDateTime.day, c.day) << c.utc << " " << c.offset;
        EXPECT_EQ(localDateTime.hour, c.hour) << c.utc << " " << c.offset;
        EXPECT_EQ(localDateTime.minute, c.minute) << c.utc << " " << c.offset;
    }
    hostUtcSeconds = 1709251800;
    settings.utcOffsetMinutes = -30;
    refreshClock();
    EXPECT_EQ(rtcDateTime.day, 1);  // the UTC clock is not shifted
    EXPECT_EQ(rtcDateTime.hour, 0);
    EXPECT_EQ(rtcDateTime.minute, 10);
    hostUtcSeconds = 0;
    refreshClock();
}

TEST(CalendarPoints, TheFirstOfMarch2000AndTheSecondBefore)
{
    DateTime march{};
    march.day = 1;
    march.month = 3;
    march.year = 2000;
    EXPECT_EQ(dateTimeToSeconds(march), 951868800u);
    const DateTime before = secondsToDateTime(951868799);
    EXPECT_EQ(before.year, 2000);
    EXPECT_EQ(before.month, 2);
    EXPECT_EQ(before.day, 29);
    EXPECT_EQ(before.hour, 23);
    EXPECT_EQ(before.minute, 59);
    EXPECT_EQ(before.second, 59);
}

class TimersPowerOn : public testing::Test {
protected:
    void SetUp() override { resetDevice(); }
    void TearDown() override
    {
        resetDevice();
        clearTimeState();
    }
};

// The meters and the flight in hand are non-volatile: power-on keeps them, and clears only the
// TIMER's enable and, of a finished flight, the flight time on show.
TEST_F(TimersPowerOn, KeepsTheMetersAndTheFlightInHandAndClearsTheTimerEnable)
{
    hobbsHours = 321;
    hobbsHundredths = 45;
    hobbsStepCount = 17;
    maintHours = 25;
    maintMinutes = 30;
    maintStepCount = 42;
    stopwatchSeconds = 600;
    stopwatchPreset = 900;
    stopwatchUp = 1;
    stopwatchRunning = 1;
    stopwatchEnabled = 1;
    currentFlight.flightTime = {2, 15};
    currentFlight.startTime = 12345;
    flightInProgress = 1;
    devicePowerOn();
    EXPECT_EQ(stopwatchEnabled, 0);
    EXPECT_EQ(variationStepCount, 600);
    EXPECT_EQ(hobbsHours, 321);
    EXPECT_EQ(hobbsHundredths, 45);
    EXPECT_EQ(maintHours, 25);
    EXPECT_EQ(maintMinutes, 30);
    EXPECT_EQ(+currentFlight.flightTime.hours, 2);
    EXPECT_EQ(+currentFlight.flightTime.minutes, 15);
    EXPECT_EQ(hobbsStepCount, 17);
    EXPECT_EQ(maintStepCount, 42);
    EXPECT_EQ(stopwatchSeconds, 600u);
    EXPECT_EQ(stopwatchPreset, 900u);
    EXPECT_EQ(stopwatchUp, 1);
    EXPECT_EQ(stopwatchRunning, 1);
    EXPECT_EQ(flightInProgress, 1);
    EXPECT_EQ(+currentFlight.startTime, 12345u);
    // A running maintenance timer: no notice after the splash.
    devicePressKey(KeySoft1);
    devicePass();
    devicePass();
    EXPECT_EQ(devicePhase, DevicePhase::Running);
}

TEST_F(TimersPowerOn, ClearsTheTimeOfAFinishedFlightAndShowsAnExpiredTimer)
{
    maintHours = 0;
    maintMinutes = 0;
    currentFlight.flightTime = {2, 15};
    flightInProgress = 0;
    devicePowerOn();
    EXPECT_EQ(+currentFlight.flightTime.hours, 0);
    EXPECT_EQ(+currentFlight.flightTime.minutes, 0);
    devicePressKey(KeySoft1);
    devicePass();
    devicePass();
    EXPECT_EQ(devicePhase, DevicePhase::ExpiryNotice);
}

TEST(TimeVariables, EveryTimeValueHasARunnerName)
{
    const char* names[] = {"hobbsHours", "hobbsHundredths", "hobbsStepCount", "maintHours", "maintMinutes",
                           "maintStepCount", "stopwatchSeconds", "stopwatchPreset", "stopwatchUp",
                           "stopwatchRunning", "stopwatchEnabled", "egtScanCount", "chtScanCount",
                           "flightInProgress", "currentFlight.flightTime.hours", "currentFlight.flightTime.minutes",
                           "currentFlight.startTime", "hostUtcSeconds", "overlayTimeout", "oatCoCycle",
                           "egtSelected", "chtSelected", "airspeed", "airspeedValid"};
    for (const char* name : names) EXPECT_NE(findDeviceVariable(name), nullptr) << name;
}

TEST(TimeVariables, PackedFlightFieldsPrintTheirOwnBytes)
{
    currentFlight = {};
    currentFlight.flightTime = {7, 42};
    currentFlight.maintHoursAtStart = 513;
    std::ostringstream out;
    printDeviceVariable(*findDeviceVariable("currentFlight.flightTime.minutes"), out);
    printDeviceVariable(*findDeviceVariable("currentFlight.maintHoursAtStart"), out);
    EXPECT_EQ(out.str(), "currentFlight.flightTime.minutes=42\ncurrentFlight.maintHoursAtStart=513\n");
    currentFlight = {};
}

}  // namespace

// The basic channels and shared helpers: the documented examples and edge cases, channel by channel.
#include <gtest/gtest.h>

#include "device.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "settings/settings.h"

namespace {

class BasicChannels : public testing::Test {
protected:
    void SetUp() override
    {
        resetDevice();
    }
};

TEST(ConversionHelpers, InterpolateRoundsHalfAwayFromZeroOnTheTenths)
{
    struct Case {
        int32_t x1, x2, y1, y2, x, want;
    } cases[] = {
        {0, 100, 0, 1246, 1, 12},    // t = 12.46
        {0, 100, 0, 1251, 1, 13},    // t = 12.51
        {0, 10, 0, -35, 1, -4},      // t = -3.5
        {0, 10, 0, -34, 1, -3},      // t = -3.4
        {0, 10, 0, 100, 20, 200},    // extrapolates beyond x2
        {10, 20, 0, 100, 0, -100},   // and below x1
        {5, 5, 7, 9, 100, 7},        // equal x: no division by zero
        {2048, 4096, 0, 500, 2048, 0},
        {2048, 4096, 0, 500, 4096, 500},
    };
    for (const Case& c : cases)
        EXPECT_EQ(interpolateRounded(c.x1, c.x2, c.y1, c.y2, c.x), c.want)
            << c.x1 << " " << c.x2 << " " << c.y1 << " " << c.y2 << " " << c.x;
}

TEST(ConversionHelpers, DivideByTenAndFahrenheit)
{
    for (const auto& [n, want] : {std::pair{145, 15}, {144, 14}, {-145, -15}, {-144, -14}, {0, 0}, {5, 1}})
        EXPECT_EQ(divideByTenRounded(n), want) << n;
    for (const auto& [c, want] : {std::pair{-40, -40}, {-1, 31}, {100, 212}, {0, 32}, {37, 98}})
        EXPECT_EQ(toFahrenheit(c), want) << c;
}

TEST_F(BasicChannels, VoltsFilterAndScale)
{
    rawVolts = 0;
    processVolts();
    EXPECT_EQ(volts, 6);  // 0.6 V, never 0
    voltsFilter = 2000 * 4;
    rawVolts = 2000;
    processVolts();
    EXPECT_EQ(volts, 145);
    voltsFilter = 4095 * 4;
    rawVolts = 4095;
    processVolts();
    EXPECT_EQ(volts, 291);
    calibration.voltsCalPercent = 150;
    processVolts();
    EXPECT_EQ(volts, 433);
}

TEST_F(BasicChannels, VoltsFilterClimbsTowardsTheInput)
{
    rawVolts = 2000;
    uint16_t last = 0;
    for (int i = 0; i < 40; ++i) {
        processVolts();
        EXPECT_GE(volts, last);
        last = volts;
    }
    EXPECT_EQ(volts, 145);
}

TEST_F(BasicChannels, VoltsAlarmIsStrict)
{
    settings.voltsHighAlarmOn = 1;
    settings.voltsHighAlarm = 145;
    voltsFilter = 2000 * 4;
    rawVolts = 2000;
    processVolts();
    EXPECT_EQ(alarmFlags & ALARM_VOLTS, 0u);  // equal: no alarm
    settings.voltsHighAlarm = 144;
    processVolts();
    EXPECT_NE(alarmFlags & ALARM_VOLTS, 0u);
    settings.voltsHighAlarmOn = 0;
    processVolts();
    EXPECT_EQ(alarmFlags & ALARM_VOLTS, 0u);  // not latched
}

TEST_F(BasicChannels, Oat)
{
    struct Case {
        uint16_t raw;
        int8_t offset;
        uint8_t unit;
        int16_t celsius, shown;
    } cases[] = {{2240, 0, 0, 0, 0}, {2240, 0, 1, 0, 32}, {2240, -20, 0, -20, -20}, {2404, 5, 1, 25, 77},
                 {0, 0, 0, -273, -273}};
    for (const Case& c : cases) {
        rawOat = c.raw;
        calibration.oatOffset = c.offset;
        settings.oatUnit = c.unit;
        processOat();
        EXPECT_EQ(oatCelsius, c.celsius) << c.raw;
        EXPECT_EQ(oat, c.shown) << c.raw;
    }
}

TEST_F(BasicChannels, MapThresholdOffsetsAndUnits)
{
    struct Case {
        int16_t raw;
        int8_t offset;
        uint8_t unit;
        int16_t mb, shown;
    } cases[] = {{167, 0, 0, 0, 0},       {168, 0, 0, 213, 213},   {100, -50, 0, 0, 0},
                 {4095, 0, 0, 2622, 2622}, {218, -50, 0, 213, 213}, {1471, 0, 1, 1012, 298},
                 {0, -50, 0, 0, 0}};
    for (const Case& c : cases) {
        rawMap = c.raw;
        calibration.mapOffset = c.offset;
        settings.mapUnit = c.unit;
        settings.mapFilter = 0;
        processMap();
        EXPECT_EQ(mapMb, c.mb) << c.raw << " " << int(c.offset);
        EXPECT_EQ(map, c.shown) << c.raw << " " << int(c.offset);
    }
}

TEST_F(BasicChannels, MapFiltersSettleOnTheInput)
{
    for (const uint8_t filter : {1, 2}) {
        settings.mapFilter = filter;
        mapFilterAcc = 0;
        rawMap = 1000;
        int16_t first = -1;
        for (int i = 0; i < 60; ++i) {
            processMap();
            if (first < 0) first = mapMb;
        }
        EXPECT_LT(first, (1000 + 180) * 100 / 163) << int(filter);
        EXPECT_NEAR(mapMb, (1000 + 180) * 100 / 163, 1) << int(filter);
    }
}

TEST_F(BasicChannels, MapAlarmOnlyWhileDisplayed)
{
    settings.mapDisplayOn = 1;
    settings.mapFilter = 0;
    settings.mapUnit = 0;
    settings.mapHighAlarmOn = 1;
    settings.mapHighAlarm = 1000;
    rawMap = 4000;
    processMap();
    EXPECT_NE(alarmFlags & ALARM_MAP, 0u);
    settings.mapDisplayOn = 0;
    processMap();
    EXPECT_EQ(alarmFlags & ALARM_MAP, 0u);
}

TEST_F(BasicChannels, RpmPeriodResolutionAndPeak)
{
    struct Case {
        int16_t pulses;
        uint8_t resolution;
        uint16_t period;
        int32_t want;
    } cases[] = {{60, 0, 600, 2597}, {60, 2, 600, 2600}, {60, 0, 30000, 51}, {60, 0, 30001, 0},
                 {60, 0, 1, 99999},
                 // Capped after rounding: no step turns the cap into 100000.
                 {60, 3, 16, 97400}, {60, 3, 15, 99999}, {60, 2, 15, 99999}, {60, 1, 15, 99999},
                 {77, 3, 12, 99999},  // 100010 rounds to 100000
                 {1, 3, 1, 99999},    // the largest factor over the shortest period
                 {1, 0, 31000, 0},   {60, 0, 0, 0}};
    for (const Case& c : cases) {
        settings.rpm1PulsesPerRev = c.pulses;
        settings.rpm1Resolution = c.resolution;
        rpmPeriod = c.period;
        processRpm();
        EXPECT_EQ(rpm, c.want) << c.period;
    }
    settings.rpm1PulsesPerRev = 60;
    EXPECT_EQ(rpmFactor, 1558600u);
}

TEST_F(BasicChannels, RpmResolutionRoundsHalfUp)
{
    settings.rpm1Resolution = 3;
    // rpmFactor / period: choose periods giving 2624 and 2625 exactly.
    settings.rpm1PulsesPerRev = 60;
    updateRpmFactor();
    for (const auto& [period, want] : {std::pair{uint16_t(594), 2600}, {uint16_t(593), 2650}}) {
        rpmPeriod = period;
        processRpm();
        const int32_t raw = static_cast<int32_t>(rpmFactor / period);
        EXPECT_EQ(rpm, (raw + 25) / 50 * 50) << raw;
        EXPECT_EQ(rpm, want) << raw;
    }
}

TEST_F(BasicChannels, RpmPercentPeakKeepsTheHighest)
{
    settings.rpm1DisplayMode = 1;
    settings.rpm1FullScale = 6000;
    settings.rpm1Resolution = 0;
    settings.rpm1PulsesPerRev = 60;
    rpmPeriod = static_cast<uint16_t>(1558600 / 5000 + 1);  // just under 5000 RPM
    processRpm();
    const int32_t first = rpmPercent;
    rpmPeriod = static_cast<uint16_t>(1558600 / 4000);
    processRpm();
    EXPECT_EQ(rpmMax, first);
    EXPECT_EQ(first, 83);
}

TEST_F(BasicChannels, RpmPercentKeepsItsValueWhileStopped)
{
    settings.rpm1FullScale = 6000;
    rpmPeriod = 600;
    processRpm();
    const int32_t percent = rpmPercent;
    rpmPeriod = 30001;
    processRpm();
    EXPECT_EQ(rpm, 0);
    EXPECT_EQ(rpmPercent, percent);
}

TEST_F(BasicChannels, CurrentOffClearsItsAlarm)
{
    settings.currentOn = 1;
    settings.currentSensor.currentSpan = 50;
    settings.currentSensor.highAlarm = 10;
    settings.currentSensor.highAlarmOn = 1;
    calibration.currentZero = 2048;
    rawCurrent = 4096;
    processCurrent();
    EXPECT_EQ(currentTenths, 500);
    EXPECT_EQ(current, 50);
    EXPECT_NE(alarmFlags & ALARM_CURRENT, 0u);
    rawCurrent = 1024;
    processCurrent();
    EXPECT_EQ(current, -25);
    rawCurrent = 4096;
    processCurrent();
    settings.currentOn = 0;
    processCurrent();
    EXPECT_EQ(alarmFlags & ALARM_CURRENT, 0u);
    EXPECT_EQ(current, 50);  // not updated while off
}

TEST_F(BasicChannels, ZeroCurrentCalibrationAtFullScaleDoesNotDivideByZero)
{
    settings.currentOn = 1;
    calibration.currentZero = 4096;
    rawCurrent = 100;
    processCurrent();
    EXPECT_EQ(currentTenths, 0);
}

TEST(Alarms, ClearClearsTheAcknowledgementToo)
{
    alarmFlags = alarmAcked = 0;
    raiseAlarm(ALARM_OAT | ALARM_RPM);
    alarmAcked = ALARM_OAT;
    clearAlarm(ALARM_OAT);
    EXPECT_EQ(alarmFlags, ALARM_RPM);
    EXPECT_EQ(alarmAcked, 0u);
}

}  // namespace

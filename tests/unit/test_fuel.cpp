// Fuel processing: tank senders, layout codes, K-factors, flow rates, fuel booked in real time,
// calculated tanks, range and endurance, with the documented examples and the edge values.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "device.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/inputs.h"
#include "scenario/scenario.h"
#include "script_support.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "ui/screen.h"

extern uint8_t gpsFixValid;
extern uint16_t gpsGroundSpeed;

namespace {

constexpr uint16_t kFactoryCurve[6] = {809, 680, 520, 427, 356, 251};

void setCurve(int tank, const uint16_t (&c)[6])
{
    std::memcpy(tank == 0 ? settings.tank1Calibration : settings.tank2Calibration, c, sizeof c);
}

// Source, low alarm and its switch of one tank; no filter, so a reading gives its level at once.
void setTankAlarm(int tank, uint8_t source, int16_t lowAlarm, uint8_t on)
{
    if (tank == 0) {
        settings.tank1Source = source;
        settings.tank1Filter = 0;
        settings.tank1LowAlarm = lowAlarm;
        settings.tank1LowAlarmOn = on;
    } else {
        settings.tank2Source = source;
        settings.tank2Filter = 0;
        settings.tank2LowAlarm = lowAlarm;
        settings.tank2LowAlarmOn = on;
    }
}

class Fuel : public testing::Test {
protected:
    void SetUp() override
    {
        resetDevice();
    }

    // Layout from the five deciding settings.
    static void arrange(uint8_t f1, uint8_t f2, uint8_t t1, uint8_t t2, uint8_t dual)
    {
        settings.flow1On = f1;
        settings.flow2On = f2;
        settings.tank1Source = t1;
        settings.tank2Source = t2;
        settings.dualFlowMode = dual;
        updateFuelLayout();
    }

    // Power-on as the host starts it, through both notices (a key ends each) to the first pass.
    static void powerOnToTheFirstPass()
    {
        resetDevice();
        devicePowerOn();
        for (int n = 0; n < 3 && devicePhase != DevicePhase::Running; ++n) {
            devicePressKey(KeySoft1);
            devicePass();
        }
        ASSERT_EQ(devicePhase, DevicePhase::Running);
    }

    // One 4-second interval of real time, then one pass to book it.
    static void runInterval()
    {
        for (int i = 0; i < 40; ++i) hostTick();
        processFuelFlow();
    }
};

// ---- Tank senders -----------------------------------------------------------------------------

TEST_F(Fuel, SenderCalibrationExample)
{
    settings.tank1Filter = 0;
    rawFuelLevel[0] = 600;
    processTankSender(0);
    EXPECT_EQ(fuelLevel[0], 13);  // 9 + (450 div 50) x 80 div 160
    EXPECT_EQ(fuelLevelInput[0], 600);
    EXPECT_EQ(fuelLevelOpen[0], 0);
}

TEST_F(Fuel, SenderLevelsAlongFallingAndRisingCurves)
{
    constexpr uint16_t rising[6] = {251, 356, 427, 520, 680, 809};
    struct Case {
        bool falling;
        uint16_t reading;
        uint16_t level;
        uint8_t open;
    } cases[] = {
        // Each calibration reading is an exact fifth of the 45-litre tank.
        {true, 809, 0, 0}, {true, 680, 9, 0}, {true, 520, 18, 0},
        {true, 427, 27, 0}, {true, 356, 36, 0}, {true, 251, 45, 0},
        {true, 900, 0, 0},   // beyond the empty point
        {true, 200, 45, 0},  // beyond the full point
        {true, 745, 4, 0},   // 9 x 64 div 129
        {true, 4000, 0, 0},  // highest reading that is not an open sender
        {true, 4001, 0, 1},  // open sender: flagged, level saturates at empty
        {true, 4096, 0, 1},
        {true, 0, 45, 0},
        {false, 600, 31, 0},  // 27 + 9 x 80 div 160
        {false, 251, 0, 0}, {false, 250, 0, 0}, {false, 809, 45, 0},
        {false, 520, 27, 0},
        {false, 4001, 45, 1},  // with a rising curve the open sender reads full
    };
    settings.tank1Filter = 0;
    for (const Case& c : cases) {
        setCurve(0, c.falling ? kFactoryCurve : rising);
        rawFuelLevel[0] = c.reading;
        processTankSender(0);
        EXPECT_EQ(fuelLevel[0], c.level) << (c.falling ? "falling " : "rising ") << c.reading;
        EXPECT_EQ(fuelLevelOpen[0], c.open) << c.reading;
    }
}

TEST_F(Fuel, DegenerateCurvesAndSizesNeverDivideByZero)
{
    constexpr uint16_t flat[6] = {500, 500, 500, 500, 500, 500};
    constexpr uint16_t steps[6] = {800, 600, 600, 400, 300, 200};
    struct Case {
        const uint16_t* curve;
        int16_t size;
        uint16_t reading;
        uint16_t level;
    } cases[] = {
        {flat, 45, 499, 45}, {flat, 45, 500, 0}, {flat, 45, 501, 0}, {flat, 45, 0, 45},
        {steps, 45, 600, 18},  // on two equal points: the upper fifth
        {steps, 45, 601, 8},   // 9 x 199 div 200
        {steps, 45, 599, 18},  // 18 + 9 x 1 div 200
        {kFactoryCurve, 0, 600, 0}, {kFactoryCurve, 0, 100, 0},
        {kFactoryCurve, -5, 100, 0},  // a negative size from a script holds nothing
        {kFactoryCurve, 999, 600, 298},  // 199 + 199 x 80 div 160
    };
    settings.tank2Source = 0;
    settings.tank2Filter = 0;
    for (const Case& c : cases) {
        uint16_t curve[6];
        std::memcpy(curve, c.curve, sizeof curve);
        setCurve(1, curve);
        settings.tank2Size = c.size;
        rawFuelLevel[1] = c.reading;
        processTankSender(1);
        EXPECT_EQ(fuelLevel[1], c.level) << "size " << c.size << " reading " << c.reading;
    }
}

TEST_F(Fuel, SenderFiltersSmoothFromZeroAndSettle)
{
    // A linear 0..4000 curve on a 50-unit tank: reading 2000 is 25, 1999 is 24.
    constexpr uint16_t linear[6] = {0, 800, 1600, 2400, 3200, 4000};
    struct Case {
        uint8_t filter;
        uint32_t firstAcc, secondAcc, settledAcc;
        uint16_t firstLevel, settledLevel;
    } cases[] = {
        {0, 0, 0, 0, 25, 25},             // NONE: the reading as it is
        {1, 2000, 3000, 3999, 12, 24},    // LOW: (2r + acc) / 2, stops 1 short
        {2, 2000, 3750, 15993, 3, 24},    // MEDIUM: (7 acc + 8r) / 8, truncation stops 7 short
        {3, 2000, 3937, 63969, 0, 24},    // HIGH: (31 acc + 32r) / 32, stops 31 short
        {7, 2000, 3937, 63969, 0, 24},    // any other value filters as HIGH
    };
    setCurve(0, linear);
    settings.tank1Size = 50;
    rawFuelLevel[0] = 2000;
    for (const Case& c : cases) {
        settings.tank1Filter = c.filter;
        fuelLevelFilterAcc[0] = 0;
        processTankSender(0);
        EXPECT_EQ(fuelLevelFilterAcc[0], c.firstAcc) << int(c.filter);
        EXPECT_EQ(fuelLevel[0], c.firstLevel) << int(c.filter);
        processTankSender(0);
        EXPECT_EQ(fuelLevelFilterAcc[0], c.secondAcc) << int(c.filter);
        uint16_t last = fuelLevel[0];
        for (int i = 0; i < 2000; ++i) {
            processTankSender(0);
            EXPECT_GE(fuelLevel[0], last) << "the level only rises towards the reading";
            last = fuelLevel[0];
        }
        EXPECT_EQ(fuelLevelFilterAcc[0], c.settledAcc) << int(c.filter);
        EXPECT_EQ(fuelLevel[0], c.settledLevel) << int(c.filter);
    }
}

TEST_F(Fuel, SenderStepOnlyComputesSenderTanks)
{
    settings.tank1Source = 1;  // CALCULATED
    fuelLevel[0] = 33;
    rawFuelLevel[0] = 4095;
    processTankSender(0);
    EXPECT_EQ(fuelLevelInput[0], 4095);  // the reading is still copied for the calibrate screen
    EXPECT_EQ(fuelLevelOpen[0], 0);      // but an open sender only matters in SENDER mode
    EXPECT_EQ(fuelLevel[0], 33);
    EXPECT_EQ(fuelLevelFilterAcc[0], 0u);
}

TEST_F(Fuel, TankAlarms)
{
    struct Case {
        int tank;
        uint8_t source;
        uint16_t level;  // for SENDER tanks, the level the reading gives
        int16_t lowAlarm;
        uint8_t alarmOn;
        bool due;
    } cases[] = {
        {0, 0, 9, 10, 1, true},     // below the limit
        {0, 0, 13, 13, 1, false},   // equal is not below
        {0, 0, 9, 10, 0, false},    // alarm switched off
        {0, 1, 5, 10, 1, true},     // CALCULATED: judged by the previous pass's level
        {0, 1, 10, 10, 1, false},
        {0, 2, 0, 10, 1, false},    // OFF never alarms
        {1, 0, 9, 10, 1, true},
        {1, 1, 3, 4, 1, true},
        {1, 2, 0, 10, 1, false},
    };
    constexpr uint16_t readingForLevel9 = 680, readingForLevel13 = 600;
    for (const Case& c : cases) {
        const uint32_t bit = c.tank == 0 ? ALARM_TANK1 : ALARM_TANK2;
        const uint32_t other = c.tank == 0 ? ALARM_TANK2 : ALARM_TANK1;
        setTankAlarm(c.tank, c.source, c.lowAlarm, c.alarmOn);
        rawFuelLevel[c.tank] = c.level == 9 ? readingForLevel9 : readingForLevel13;
        fuelLevel[c.tank] = c.level;
        alarmFlags = other | (c.due ? 0 : bit);  // a stale bit must clear, the other stays
        alarmAcked = c.due ? 0 : bit;
        processTankSender(c.tank);
        if (c.source == 0) {
            EXPECT_EQ(fuelLevel[c.tank], c.level);
        }
        EXPECT_EQ((alarmFlags & bit) != 0, c.due) << "tank " << c.tank << " source " << int(c.source);
        EXPECT_EQ(alarmFlags & other, other);
        EXPECT_EQ(alarmAcked & bit, 0u);
    }
}

// ---- Layout codes -----------------------------------------------------------------------------

TEST_F(Fuel, LayoutRules)
{
    struct Case {
        uint8_t f1, f2, t1, t2, dual;
        uint8_t layout;
    } cases[] = {
        // No flow: senders only.
        {0, 0, 0, 0, 0, 4}, {0, 0, 0, 2, 0, 2}, {0, 0, 2, 0, 1, 3},
        {0, 0, 1, 0, 0, 9}, {0, 0, 0, 1, 0, 9}, {0, 0, 2, 2, 0, 9}, {0, 0, 1, 2, 0, 9},
        // Flows without tanks.
        {1, 1, 2, 2, 0, 7}, {1, 1, 2, 2, 1, 8}, {1, 1, 2, 2, 2, 8},
        {1, 0, 2, 2, 1, 5}, {0, 1, 2, 2, 0, 6},
        // Two flows with tanks.
        {1, 1, 0, 0, 0, 10}, {1, 1, 0, 1, 0, 10}, {1, 1, 0, 0, 1, 11}, {1, 1, 1, 0, 2, 11},
        {1, 1, 0, 2, 0, 9}, {1, 1, 0, 2, 1, 12}, {1, 1, 1, 2, 2, 12},
        {1, 1, 2, 0, 0, 9}, {1, 1, 2, 0, 1, 13}, {1, 1, 2, 1, 2, 13},
        // One flow.
        {1, 0, 0, 0, 0, 11}, {0, 1, 0, 0, 2, 11},
        {1, 0, 0, 1, 0, 14}, {1, 0, 1, 0, 1, 14}, {0, 1, 0, 1, 0, 14},
        {1, 0, 0, 2, 0, 0}, {1, 0, 1, 2, 0, 0}, {0, 1, 2, 0, 0, 1}, {0, 1, 2, 1, 0, 1},
        {1, 0, 2, 0, 0, 9}, {0, 1, 0, 2, 0, 9},
        // Two calculated tanks are never supported.
        {1, 1, 1, 1, 0, 9}, {1, 1, 1, 1, 1, 9}, {1, 0, 1, 1, 0, 9}, {0, 1, 1, 1, 0, 9},
    };
    for (const Case& c : cases) {
        fuelLayout = 99;
        arrange(c.f1, c.f2, c.t1, c.t2, c.dual);
        EXPECT_EQ(fuelLayout, c.layout) << "flows " << int(c.f1) << int(c.f2) << " tanks " << int(c.t1)
                                        << int(c.t2) << " mode " << int(c.dual);
    }
}

TEST_F(Fuel, LayoutSideEffects)
{
    struct Case {
        uint8_t f1, f2, t1, t2;
        uint16_t k1, k2;  // K-factors after the layout
        uint8_t resolution;
    } cases[] = {
        {1, 0, 0, 1, 5000, 5000, 1},  // one flow feeds a calculated tank: flow 1's K for both
        {0, 1, 1, 0, 9000, 9000, 1},  // flow 2 active: the reverse copy
        {1, 0, 1, 1, 5000, 5000, 1},  // the copy happens before both-calculated gives 9
        {1, 0, 0, 0, 5000, 9000, 1},  // two senders: K-factors untouched
        {1, 1, 0, 1, 5000, 9000, 1},
        {1, 0, 2, 2, 5000, 9000, 0},  // no tanks: resolution back to whole litres
        {1, 1, 2, 2, 5000, 9000, 0},
        {0, 0, 2, 2, 5000, 9000, 1},  // the no-flow rule comes first and keeps it
    };
    for (const Case& c : cases) {
        settings.flow1KFactor = 5000;
        settings.flow2KFactor = 9000;
        settings.tankLitreResolution = 1;
        arrange(c.f1, c.f2, c.t1, c.t2, 0);
        const uint16_t k1 = settings.flow1KFactor;  // copies: packed fields cannot bind to references
        const uint16_t k2 = settings.flow2KFactor;
        const uint8_t resolution = settings.tankLitreResolution;
        EXPECT_EQ(k1, c.k1) << int(c.f1) << int(c.f2) << int(c.t1) << int(c.t2);
        EXPECT_EQ(k2, c.k2) << int(c.f1) << int(c.f2) << int(c.t1) << int(c.t2);
        EXPECT_EQ(resolution, c.resolution) << int(c.f1) << int(c.f2) << int(c.t1) << int(c.t2);
    }
}

// A recalled settings file derives it too (SettingsTest.ARecalledFuelSetupChangesTheLayoutAtOnce).
TEST_F(Fuel, DefaultsDeriveTheLayout)
{
    EXPECT_EQ(fuelLayout, 0);  // flow 1 with tank 1 sender
    arrange(1, 1, 1, 0, 1);
    ASSERT_EQ(fuelLayout, 11);
    loadDefaultSettings();
    EXPECT_EQ(fuelLayout, 0);
}

// ---- K-factors and flow rates -----------------------------------------------------------------

TEST_F(Fuel, ScaledKFactor)
{
    struct Case {
        uint8_t mode, unit;
        uint32_t k, want;
    } cases[] = {
        {0, 0, 7000, 7000}, {0, 2, 7000, 7000}, {0, 4, 7000, 7000},
        {0, 1, 7000, 26497}, {0, 3, 7000, 26497}, {0, 5, 7000, 26497},
        {1, 0, 7000, 70000}, {1, 1, 7000, 264978},
        {1, 1, 60000, 2271240},  // would overflow 32 bits before the division
        {1, 5, 65535, 2480761},
        {0, 0, 0, 0}, {1, 1, 0, 0},
        {0, 6, 7000, 7000},  // an unknown unit counts as litres
    };
    for (const Case& c : cases) {
        settings.fuelFlowMode = c.mode;
        settings.fuelUnit = c.unit;
        EXPECT_EQ(scaledK(c.k), c.want) << int(c.mode) << " " << int(c.unit) << " " << c.k;
    }
}

TEST_F(Fuel, FlowRateFromPulses)
{
    struct Case {
        uint32_t window;
        uint16_t pulses;
        uint16_t k;
        uint8_t unit;
        uint16_t flow;
    } cases[] = {
        {10000, 20, 7000, 0, 102},   // 20 pulses a second at K 7000: 10.2 L/h
        {10000, 0, 7000, 0, 0},
        {5000, 20, 7000, 0, 205},    // half-second window
        {99999, 20, 7000, 0, 10},    // longest window that still measures
        {100000, 20, 7000, 0, 0},    // too long: no flow
        {0, 20, 7000, 0, 0},         // no window: no flow, no division
        {10000, 20, 0, 0, 0},        // K-factor 0: no flow, no division
        {10000, 20, 7000, 1, 27},    // gallons: 2.7 gal/h
        {10000, 65535, 10, 0, 65535},  // 235926000 clamps to the 16-bit field
        {1, 65535, 1, 0, 65535},     // 64-bit product, clamped
        {10000, 1821, 1000, 0, 65535},  // 65556
        {10000, 1820, 1000, 0, 65520},
    };
    for (const Case& c : cases) {
        flowWindow = c.window;
        settings.flow1KFactor = c.k;
        settings.fuelUnit = c.unit;
        rawFuelFlow[0] = c.pulses;
        processFuelFlow();
        EXPECT_EQ(flowInput[0], c.pulses);
        EXPECT_EQ(fuelFlow[0], c.flow) << c.window << " " << c.pulses << " " << c.k;
    }
}

TEST_F(Fuel, BothFlowsUseTheirOwnKFactor)
{
    settings.flow1KFactor = 7000;
    settings.flow2KFactor = 3500;
    rawFuelFlow[0] = 20;
    rawFuelFlow[1] = 20;
    processFuelFlow();
    EXPECT_EQ(fuelFlow[0], 102);
    EXPECT_EQ(fuelFlow[1], 205);
}

TEST_F(Fuel, InjectorDutyAsFlowInput)
{
    struct Case {
        uint8_t level;
        uint16_t duty;
        uint16_t input, flow;
    } cases[] = {
        {0, 500, 500, 257},  // 36000 x 500 div 70000
        {0, 1000, 1000, 514},
        {1, 200, 800, 411},  // HIGH: the inverse duty
        {1, 1000, 0, 0},
        {0, 1001, 0, 0},     // beyond 1000 per mille: no flow
        {1, 1001, 0, 0},
    };
    settings.fuelFlowMode = 1;
    rawFuelFlow[0] = 999;  // the pulse input is not used in injector mode
    for (const Case& c : cases) {
        settings.injectorLevel = c.level;
        injectorDuty[0] = c.duty;
        processFuelFlow();
        EXPECT_EQ(flowInput[0], c.input) << int(c.level) << " " << c.duty;
        EXPECT_EQ(fuelFlow[0], c.flow) << int(c.level) << " " << c.duty;
    }
}

TEST_F(Fuel, TimingInputsAtPowerOn)
{
    for (uint32_t& t : fuelTimingInputs) t = 7;
    powerOnToTheFirstPass();
    for (uint32_t t : fuelTimingInputs) EXPECT_EQ(t, 10000u);
    EXPECT_EQ(flowWindow, 10000u);
}

// ---- Fuel used in real time -------------------------------------------------------------------

TEST_F(Fuel, OneHourAtTenPointTwoLitresUsesTenPointTwoLitres)
{
    rawFuelFlow[0] = 20;  // 10.2 L/h
    settings.tank1Source = 1;
    updateFuelLayout();
    fuelRemainingPulses[0] = 45 * 7000;  // a full 45-litre tank
    for (int tick = 0; tick < 36000; ++tick) {
        hostTick();
        processFuelFlow();
    }
    // 900 intervals of 7000 x 102 div 9000 = 79 pulses: 10.16 L (truncation of the 4 s quantity).
    EXPECT_EQ(fuelUsedPulses[0], 900u * 79u);
    EXPECT_EQ(fuelUsed[0], 10);
    EXPECT_NEAR(fuelUsedPulses[0] / 7000.0, 10.2, 0.1);
    EXPECT_EQ(fuelRemainingPulses[0], 45 * 7000 - 900 * 79);
    EXPECT_EQ(fuelLevel[0], 35);  // 34.8 L rounded
    EXPECT_EQ(fuelUsedPulses[1], 0u);
}

TEST_F(Fuel, FuelUsedDoesNotDependOnThePassRate)
{
    rawFuelFlow[0] = 20;
    for (int passesPerTick : {1, 3, 100}) {
        clearFuelAccumulators();
        slowStepTickCount = 0;
        for (int tick = 0; tick < 600; ++tick) {  // one minute
            hostTick();
            for (int p = 0; p < passesPerTick; ++p) processFuelFlow();
        }
        EXPECT_EQ(fuelUsedPulses[0], 15u * 79u) << passesPerTick << " passes per tick";
    }
    clearFuelAccumulators();
    for (int p = 0; p < 100000; ++p) processFuelFlow();  // passes without time passing
    EXPECT_EQ(fuelUsedPulses[0], 0u);
}

TEST_F(Fuel, IntervalIsDueEveryFourthSlowStepAndBookedOnce)
{
    rawFuelFlow[0] = 20;
    for (int second = 1; second <= 3; ++second) {
        for (int i = 0; i < 10; ++i) hostTick();
        EXPECT_EQ(fuelSecondCount, second);
        EXPECT_EQ(fuelIntervalDue, 0);
    }
    for (int i = 0; i < 10; ++i) hostTick();
    EXPECT_EQ(fuelSecondCount, 0);
    EXPECT_EQ(fuelIntervalDue, 1);
    processFuelFlow();
    EXPECT_EQ(fuelIntervalDue, 0);
    EXPECT_EQ(fuelUsedPulses[0], 79u);
    processFuelFlow();
    EXPECT_EQ(fuelUsedPulses[0], 79u);

    // Power-on restarts the interval and drops one not yet booked.
    for (int i = 0; i < 60; ++i) hostTick();
    ASSERT_EQ(fuelIntervalDue, 1);
    ASSERT_EQ(fuelSecondCount, 2);
    resetDevice();
    devicePowerOn();
    EXPECT_EQ(fuelUsedPulses[0], 0u);
    EXPECT_EQ(fuelUsed[0], 0);
    EXPECT_EQ(fuelSecondCount, 0);
    EXPECT_EQ(fuelIntervalDue, 0);
}

TEST_F(Fuel, GallonUnitsCountTenTimesThePulses)
{
    settings.fuelUnit = 1;
    rawFuelFlow[0] = 20;  // 2.7 gal/h at K 26497
    runInterval();
    EXPECT_EQ(fuelFlow[0], 27);
    EXPECT_EQ(fuelUsedPulses[0], 790u);  // (26497 x 27 div 9000) x 10
    for (int i = 1; i < 900; ++i) runInterval();
    EXPECT_EQ(fuelUsed[0], 26);  // 0.1 gal: 2.6 gal after one hour at 2.7 gal/h
}

TEST_F(Fuel, CalculatedTanksPerLayout)
{
    // Flow 1 at 20.5 L/h, flow 2 at 10.2 L/h: 159 and 79 pulses per interval at K 7000.
    struct Case {
        uint8_t f1, f2, t1, t2, dual;
        uint8_t layout;
        int32_t change1, change2;
    } cases[] = {
        {1, 0, 1, 2, 0, 0, -159, 0},
        {0, 1, 2, 1, 0, 1, 0, -79},
        {1, 1, 1, 0, 0, 10, -159, 0},         // DUAL: each tank its own flow
        {1, 1, 0, 1, 0, 10, 0, -79},
        {1, 1, 1, 2, 1, 12, -159 + 79, 0},    // DIFFERENTIAL: supply less return
        {1, 1, 1, 2, 2, 12, -159 - 79, 0},    // SUMMATION
        {1, 1, 2, 1, 1, 13, 0, -159 + 79},
        {1, 1, 2, 1, 2, 13, 0, -159 - 79},
        {1, 1, 1, 0, 1, 11, -159 + 79, 0},
        {1, 1, 1, 0, 2, 11, -159 - 79, 0},
        {1, 1, 0, 1, 1, 11, 0, 79 - 159},
        {1, 1, 0, 1, 2, 11, 0, -79 - 159},
        {1, 0, 0, 1, 0, 14, 0, -159},         // one flow feeds both: tank 2 debited by flow 1
        {0, 1, 1, 0, 0, 14, -79, 0},
    };
    for (const Case& c : cases) {
        settings.flow1KFactor = settings.flow2KFactor = 7000;
        arrange(c.f1, c.f2, c.t1, c.t2, c.dual);
        ASSERT_EQ(fuelLayout, c.layout);
        clearFuelAccumulators();
        fuelRemainingPulses[0] = fuelRemainingPulses[1] = 100000;
        rawFuelFlow[0] = 40;
        rawFuelFlow[1] = 20;
        runInterval();
        EXPECT_EQ(fuelRemainingPulses[0] - 100000, c.change1) << "layout " << int(c.layout) << " mode " << int(c.dual);
        EXPECT_EQ(fuelRemainingPulses[1] - 100000, c.change2) << "layout " << int(c.layout) << " mode " << int(c.dual);
    }
}

TEST_F(Fuel, OneFlowForTwoTanksCountsUsedFuelOnBoth)
{
    arrange(1, 0, 0, 1, 0);
    ASSERT_EQ(fuelLayout, 14);
    rawFuelFlow[0] = 20;
    rawFuelFlow[1] = 40;  // not fitted: ignored in favour of flow 1
    runInterval();
    EXPECT_EQ(fuelUsedPulses[0], 79u);
    EXPECT_EQ(fuelUsedPulses[1], 79u);
}

TEST_F(Fuel, CalculatedTankNeverGoesBelowEmpty)
{
    arrange(1, 0, 1, 2, 0);
    fuelRemainingPulses[0] = 100;
    rawFuelFlow[0] = 40;
    runInterval();
    EXPECT_EQ(fuelRemainingPulses[0], 0);
    EXPECT_EQ(fuelLevel[0], 0);
    runInterval();
    EXPECT_EQ(fuelRemainingPulses[0], 0);
}

TEST_F(Fuel, CalculatedTankLevels)
{
    struct Case {
        uint8_t unit, resolution;
        uint16_t k;
        int16_t size;
        int32_t remaining;
        uint16_t level;
    } cases[] = {
        {0, 0, 7000, 45, 45 * 7000, 45},
        {0, 0, 7000, 45, 10 * 7000 + 3500, 11},  // 10.5 L rounds up
        {0, 0, 7000, 45, 10 * 7000 + 3499, 10},
        {0, 0, 7000, 45, 100 * 7000, 45},        // more than the tank holds: the tank size
        {0, 1, 7000, 500, 45 * 7000, 450},       // 0.1 L
        {0, 1, 7000, 500, 7000 * 12 + 350, 121},  // 12.05 L
        {1, 0, 7000, 999, 26497 * 12, 120},      // 0.1 gal
        {0, 0, 0, 45, 45 * 7000, 0},             // K-factor 0
        {0, 0, 7000, 0, 45 * 7000, 0},           // tank size 0
        {0, 0, 7000, -3, 45 * 7000, 0},
        {0, 1, 1, 999, 2147483647, 999},         // huge quotient, capped by the size
    };
    arrange(1, 0, 1, 2, 0);
    for (const Case& c : cases) {
        settings.fuelUnit = c.unit;
        settings.tankLitreResolution = c.resolution;
        settings.flow1KFactor = c.k;
        settings.tank1Size = c.size;
        fuelRemainingPulses[0] = c.remaining;
        processFuelFlow();
        EXPECT_EQ(fuelLevel[0], c.level) << int(c.unit) << " " << int(c.resolution) << " " << c.k << " "
                                         << c.size << " " << c.remaining;
    }
}

TEST_F(Fuel, ZeroKFactorsRunWithoutFlowOrUse)
{
    settings.flow1KFactor = 0;
    settings.flow2KFactor = 0;
    arrange(1, 1, 1, 2, 1);
    rawFuelFlow[0] = rawFuelFlow[1] = 500;
    fuelRemainingPulses[0] = 1000;
    fuelUsedPulses[0] = fuelUsedPulses[1] = 5000;
    runInterval();
    EXPECT_EQ(fuelFlow[0], 0);
    EXPECT_EQ(fuelFlow[1], 0);
    EXPECT_EQ(fuelUsed[0], 0);
    EXPECT_EQ(fuelLevel[0], 0);
    EXPECT_EQ(fuelRemainingPulses[0], 1000);
}

TEST_F(Fuel, AccumulatorsSaturate)
{
    settings.flow1KFactor = 60000;
    flowWindow = 100;       // 10 ms windows:
    rawFuelFlow[0] = 2000;  // 120000 clamps to 65535, 436900 pulses per interval
    fuelUsedPulses[0] = 0xFFFFFF00u;
    runInterval();
    EXPECT_EQ(fuelFlow[0], 65535);
    EXPECT_EQ(fuelUsedPulses[0], 0xFFFFFFFFu);

    arrange(1, 1, 1, 2, 1);  // DIFFERENTIAL: the return can credit more than the tank holds
    settings.flow1KFactor = 60000;
    rawFuelFlow[0] = 0;
    rawFuelFlow[1] = 2000;
    fuelRemainingPulses[0] = 2147483600;
    runInterval();
    EXPECT_EQ(fuelRemainingPulses[0], 2147483647);
}

// ---- Range and endurance ----------------------------------------------------------------------

TEST_F(Fuel, RangeAndEndurance)
{
    struct Case {
        uint8_t layout, f1, f2, t1, t2, dual;
        uint16_t flow0, flow1, level0, level1;
        uint16_t range, endurance;
    } cases[] = {
        {0, 1, 0, 0, 2, 0, 102, 0, 40, 0, 196, 235},   // 50 x 40 x 10 div 102, 40 x 600 div 102
        {0, 1, 0, 0, 2, 0, 0, 0, 40, 0, 65535, 65535},  // no flow
        {0, 1, 0, 0, 2, 0, 102, 0, 0, 0, 0, 0},         // no fuel
        {0, 1, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0},           // neither: the fuel rule first
        {1, 0, 1, 2, 0, 0, 999, 102, 999, 40, 196, 235},
        {10, 1, 1, 0, 0, 0, 102, 102, 40, 40, 196, 235},
        {11, 1, 1, 0, 0, 1, 205, 102, 40, 40, 388, 466},   // DIFFERENTIAL: 103
        {11, 1, 1, 0, 0, 1, 102, 150, 40, 40, 65535, 65535},  // return above supply: no flow
        {11, 1, 1, 0, 0, 2, 51, 51, 40, 40, 392, 470},     // SUMMATION: 102
        {11, 1, 1, 1, 0, 1, 205, 102, 40, 20, 97, 116},    // tank 1 calculated: tank 2 counts
        {11, 1, 1, 0, 1, 1, 205, 102, 40, 20, 194, 233},   // tank 2 calculated: tank 1 counts
        {11, 1, 0, 0, 0, 0, 102, 999, 20, 20, 196, 235},   // one flow, two senders
        {11, 0, 1, 0, 0, 0, 999, 102, 20, 20, 196, 235},
        {12, 1, 1, 1, 2, 2, 51, 51, 40, 99, 196, 235},
        {12, 1, 1, 1, 2, 1, 51, 51, 40, 99, 65535, 65535},
        {13, 1, 1, 2, 1, 1, 153, 51, 99, 40, 196, 235},
        {14, 1, 0, 0, 1, 0, 102, 999, 20, 20, 196, 235},
        {14, 0, 1, 1, 0, 0, 999, 102, 20, 20, 196, 235},
        {5, 1, 0, 2, 2, 0, 102, 0, 40, 40, 0, 0},          // no tank: nothing to estimate
        {9, 1, 1, 1, 1, 0, 102, 102, 40, 40, 0, 0},
        {2, 0, 0, 0, 2, 0, 0, 0, 40, 0, 0, 0},
    };
    settings.cruiseSpeed = 50;
    settings.fuelSpeedSource = 0;
    for (const Case& c : cases) {
        settings.flow1On = c.f1;
        settings.flow2On = c.f2;
        settings.tank1Source = c.t1;
        settings.tank2Source = c.t2;
        settings.dualFlowMode = c.dual;
        fuelLayout = c.layout;
        fuelFlow[0] = c.flow0;
        fuelFlow[1] = c.flow1;
        fuelLevel[0] = c.level0;
        fuelLevel[1] = c.level1;
        updateRangeAndEndurance();
        EXPECT_EQ(fuelRange, c.range) << "layout " << int(c.layout) << " flows " << c.flow0 << "/" << c.flow1;
        EXPECT_EQ(fuelEndurance, c.endurance) << "layout " << int(c.layout) << " flows " << c.flow0 << "/" << c.flow1;
    }
}

TEST_F(Fuel, RangeUnitsSpeedsAndLimits)
{
    struct Case {
        uint8_t unit, resolution, speedSource, gpsFix;
        uint16_t cruise, gpsSpeed, flow, level;
        uint8_t add1;
        uint16_t range, endurance;
    } cases[] = {
        {0, 0, 0, 0, 50, 0, 102, 40, 1, 196, 235},
        {0, 0, 0, 0, 0, 0, 102, 40, 1, 0, 235},        // zero speed: no range, endurance stands
        {0, 0, 0, 0, 50, 0, 102, 40, 0, 0, 0},         // tank not added to range
        {0, 1, 0, 0, 50, 0, 102, 400, 1, 196, 235},    // 0.1 L: v x Q div F, Q x 60 div F
        {1, 0, 0, 0, 100, 0, 27, 120, 1, 444, 266},    // 0.1 gal
        {0, 0, 2, 1, 50, 120, 102, 40, 1, 470, 235},   // GPS ground speed with a fix
        {0, 0, 2, 0, 50, 120, 102, 40, 1, 196, 235},   // no fix: cruise speed
        {0, 0, 1, 1, 50, 120, 102, 40, 1, 196, 235},   // airspeed link: none, cruise speed
        {0, 0, 0, 0, 999, 0, 1, 999, 1, 65534, 65534},  // beyond 16 bits: largest estimate
        {0, 0, 0, 0, 50, 0, 40000, 999, 1, 12, 14},    // a flow above 32767 is still a flow
    };
    arrange(1, 0, 0, 2, 0);
    for (const Case& c : cases) {
        settings.fuelUnit = c.unit;
        settings.tankLitreResolution = c.resolution;
        settings.fuelSpeedSource = c.speedSource;
        settings.cruiseSpeed = c.cruise;
        settings.tank1AddToRange = c.add1;
        gpsFixValid = c.gpsFix;
        gpsGroundSpeed = c.gpsSpeed;
        fuelFlow[0] = c.flow;
        fuelLevel[0] = c.level;
        updateRangeAndEndurance();
        EXPECT_EQ(fuelRange, c.range) << int(c.unit) << " " << int(c.speedSource) << " flow " << c.flow;
        EXPECT_EQ(fuelEndurance, c.endurance) << int(c.unit) << " " << int(c.speedSource) << " flow " << c.flow;
    }
}

TEST_F(Fuel, ZeroFlowThroughTheWholePass)
{
    rawFuelLevel[0] = 600;
    settings.tank1Filter = 0;
    processEngineInputs();
    EXPECT_EQ(fuelFlow[0], 0);
    EXPECT_EQ(fuelLevel[0], 13);
    EXPECT_EQ(fuelRange, 65535);
    EXPECT_EQ(fuelEndurance, 65535);
}

// ---- Runner names -----------------------------------------------------------------------------

TEST_F(Fuel, RunnerPrintsAndSetsTheFuelValues)
{
    resetDevice();
    clearFuelAccumulators();
    const ScriptRun r = runScript(
        "set fuelRemainingPulses[0] 3500\nset injectorDuty[1] 7\nset flowWindow 5000\n"
        "print fuelRemainingPulses[0] injectorDuty flowWindow fuelLayout fuelRange fuelEndurance "
        "fuelFlow fuelLevel fuelLevelOpen fuelLevelInput fuelLevelFilterAcc flowInput fuelUsed "
        "fuelUsedPulses fuelTimingInputs fuelSecondCount fuelIntervalDue");
    ASSERT_TRUE(r.ok) << r.error;
    const std::string& text = r.out;
    for (const char* line : {"fuelRemainingPulses[0]=3500\n", "injectorDuty[1]=7\n", "flowWindow=5000\n",
                             "fuelTimingInputs[0]=5000\n", "fuelLayout=", "fuelRange=", "fuelEndurance=",
                             "fuelFlow[1]=", "fuelLevel[0]=", "fuelLevelOpen[1]=", "fuelLevelInput[0]=",
                             "fuelLevelFilterAcc[1]=", "flowInput[0]=", "fuelUsed[1]=", "fuelUsedPulses[0]=",
                             "fuelTimingInputs[3]=", "fuelSecondCount=", "fuelIntervalDue="})
        EXPECT_NE(text.find(line), std::string::npos) << line << " missing in\n" << text;
    resetFuelTimingInputs();
}

}  // namespace

// The fuel setup screens by key sequences, one row per case: wraps, lines that follow the flows,
// tank sources and units, links and exits, stored and stepped calibration points, the slope check.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/inputs.h"
#include "settings/menus.h"
#include "settings/settings.h"
#include "setup_cases.h"
#include "engine/setup_screens.h"
#include "ui/fuel_setup.h"
#include "ui/home.h"

namespace {

struct FuelCase {
    const char* what;
    ScreenFunction screen;
    std::function<void()> prepare;
    std::string keys;
    std::function<void()> check;
};

// The first points of tank 1's calibration (the record is packed: copied through a buffer).
void calibrate(std::initializer_list<uint16_t> points)
{
    uint16_t p[6];
    std::memcpy(p, settings.tank1Calibration, sizeof p);
    std::copy(points.begin(), points.end(), p);
    std::memcpy(settings.tank1Calibration, p, sizeof p);
}

// The layout the settings now in force give.
uint8_t derivedLayout()
{
    uint8_t seen = fuelLayout;
    updateFuelLayout();
    std::swap(seen, fuelLayout);
    return seen;
}

void fresh()
{
    loadDefaultSettings();
    cursorLine = listTop = editMode = calibrationMode = fuelSetupReturnLine = 0;
    stepMultiplier = 1;
    fuelLevelInput[0] = fuelLevelInput[1] = rawFuelLevel[0] = 0;
    fuelLayout = 99;  // stale until a screen derives it
    pendingKey = KeyNone;
}

// Factory fuel setup: litres, flow 1 on, flow 2 off, tank 1 by sender (size 45, calibration 809,
// 680, 520, 427, 356, 251), tank 2 off. FUEL SETUP then offers UNIT, SPEED, FLOW 1, K-FACTOR 1,
// FLOW 2, MODE, TANK 1 SETUP (6), TANK 2 SETUP, FUEL PRESSURE SETUP.
const auto& s = settings;
const FuelCase kCases[] = {
    {"K-FACTOR at 59990 plus 100 gives 10", fuelSetupScreen, [] { settings.flow1KFactor = 59990; }, "+++33p+",
     [] { EXPECT_EQ(+s.flow1KFactor, 10); fuelSetupScreen(); EXPECT_TRUE(showsStepLabel("X100")); }},
    {"K-FACTOR at 10 minus 1 gives 60000", fuelSetupScreen, [] { settings.flow1KFactor = 10; }, "+++p-",
     [] { EXPECT_EQ(+s.flow1KFactor, 60000); }},
    {"K-FACTOR at 59999 plus 1 gives 60000", fuelSetupScreen, [] { settings.flow1KFactor = 59999; }, "+++p+",
     [] { EXPECT_EQ(+s.flow1KFactor, 60000); }},
    {"K-FACTOR at 11 minus 1 gives 10", fuelSetupScreen, [] { settings.flow1KFactor = 11; }, "+++p-",
     [] { EXPECT_EQ(+s.flow1KFactor, 10); }},
    {"KeySoft3 steps on any line, labelled on K-FACTOR only", fuelSetupScreen, nullptr, "33",
     [] { EXPECT_EQ(stepMultiplier, 100); fuelSetupScreen(); EXPECT_TRUE(showsStepLabel("")); }},
    {"UNIT plus after GAL/KM gives LITRE/SM", fuelSetupScreen, [] { settings.fuelUnit = 5; }, "p+",
     [] { EXPECT_EQ(+s.fuelUnit, 0); }},
    {"flows off: MODE, INJECTOR, FLOW MODE go; seven lines", fuelSetupScreen,
     [] { settings.flow1On = 0, settings.fuelFlowMode = 1; }, "-", [] { EXPECT_EQ(cursorLine, 6); }},
    {"INJECTOR resets DUAL and drops FLOW MODE: eleven lines", fuelSetupScreen,
     [] { settings.flow2On = 1, settings.dualFlowMode = 2; }, "++++++p+p+++++", [] {
         EXPECT_EQ(+s.dualFlowMode, 0);
         EXPECT_EQ(cursorLine, 0);
     }},
    {"TANK 1 SETUP remembers its line for BACK", fuelSetupScreen, nullptr, "++++++p", [] {
         EXPECT_EQ(currentScreen, tank1SetupScreen);
         press(tank1SetupScreen, "2");
         EXPECT_EQ(currentScreen, fuelSetupScreen);
         EXPECT_EQ(cursorLine, 6);
     }},
    {"FUEL PRESSURE SETUP opens and its BACK returns to its line", fuelSetupScreen, nullptr, "-p", [] {
         EXPECT_EQ(currentScreen, fuelPressureSetupScreen);
         press(fuelPressureSetupScreen, "2");
         EXPECT_EQ(currentScreen, fuelSetupScreen);
         EXPECT_EQ(cursorLine, 8);
     }},
    {"FUEL SETUP BACK: EMS SETUP tile 4, layout derived", fuelSetupScreen, nullptr, "2", [] {
         EXPECT_EQ(currentScreen, emsSetupScreen);
         EXPECT_EQ(cursorLine, 4);
         EXPECT_EQ(fuelLayout, derivedLayout());
     }},
    {"TANK SIZE at 990 plus 10 gives 0", tank1SetupScreen, [] { settings.tank1Size = 990; }, "+3p+",
     [] { EXPECT_EQ(+s.tank1Size, 0); }},
    {"TANK SIZE at 5 minus 10 gives 999", tank1SetupScreen, [] { settings.tank1Size = 5; }, "+3p-",
     [] { EXPECT_EQ(+s.tank1Size, 999); }},
    {"TANK SIZE at 989 plus 10 gives 999", tank1SetupScreen, [] { settings.tank1Size = 989; }, "+3p+",
     [] { EXPECT_EQ(+s.tank1Size, 999); }},
    {"TANK SIZE at 10 minus 10 gives 0", tank1SetupScreen, [] { settings.tank1Size = 10; }, "+3p-",
     [] { EXPECT_EQ(+s.tank1Size, 0); }},
    {"LOW ALARM at the size wraps to 0", tank1SetupScreen, [] { settings.tank1LowAlarm = 45; }, "+++p+",
     [] { EXPECT_EQ(+s.tank1LowAlarm, 0); }},
    {"LOW CAUTION minus from 0 gives the size", tank1SetupScreen, [] { settings.tank1LowCaution = 0; }, "++++p-",
     [] { EXPECT_EQ(+s.tank1LowCaution, 45); }},
    {"LOW ALARM above a smaller size steps down", tank1SetupScreen,
     [] { settings.tank1Size = 30, settings.tank1LowAlarm = 40; }, "+++p-", [] { EXPECT_EQ(+s.tank1LowAlarm, 39); }},
    {"SENDER, litres: nine lines", tank1SetupScreen, nullptr, "-", [] { EXPECT_EQ(cursorLine, 8); }},
    {"SENDER, gallons: eight lines", tank1SetupScreen, [] { settings.fuelUnit = 3; }, "-",
     [] { EXPECT_EQ(cursorLine, 7); }},
    {"CALCULATED, gallons: six lines", tank1SetupScreen, [] { settings.tank1Source = 1, settings.fuelUnit = 1; },
     "-", [] { EXPECT_EQ(cursorLine, 5); }},
    {"OFF: the cursor stays on line 0", tank1SetupScreen, [] { settings.tank1Source = 2; }, "+-+",
     [] { EXPECT_EQ(cursorLine, 0); }},
    {"tenths of a litre step X0.1 first", tank1SetupScreen, [] { settings.tankLitreResolution = 1; }, "+",
     [] { tank1SetupScreen(); EXPECT_TRUE(showsStepLabel("X0.1")); }},
    {"KeySoft3 does nothing off the value lines", tank1SetupScreen, nullptr, "3++3",
     [] { EXPECT_EQ(stepMultiplier, 1); }},
    {"CALIBRATE TANK opens in SENDER mode", tank1SetupScreen, [] { calibrationMode = 1; }, "++++++p", [] {
         EXPECT_EQ(currentScreen, tank1CalibrateScreen);
         EXPECT_EQ(calibrationMode, 0);
     }},
    {"TANK SETUP EXIT derives the layout", tank1SetupScreen, nullptr, "p-1", [] { EXPECT_EQ(fuelLayout, 5); }},
    {"tank 2 edits its own fields", tank2SetupScreen, [] { settings.tank2LowAlarm = 0; }, "p+p+++p-", [] {
         EXPECT_EQ(+s.tank2Source, 0);
         EXPECT_EQ(+s.tank2LowAlarm, 45);
         EXPECT_EQ(+s.tank1LowAlarm, 10);
     }},
    {"a tank size of 0 leaves processing and engine page whole", tank1SetupScreen,
     [] { settings.tank1Size = 990, rawFuelLevel[0] = 600; }, "+3p+1", [] {
         for (int pass = 0; pass < 3; ++pass) processEngineInputs(), homeScreen();
         EXPECT_EQ(fuelLevel[0], 0);
     }},
    {"factory calibration passes: BACK to CALIBRATE TANK", tank1CalibrateScreen, nullptr, "2", [] {
         EXPECT_EQ(currentScreen, tank1SetupScreen);
         EXPECT_EQ(cursorLine, 6);
     }},
    {"point 5 at 300 is still below point 4: passes", tank1CalibrateScreen,
     [] { settings.tank1Calibration[5] = 300; }, "1", [] { EXPECT_EQ(currentScreen, homeScreen); }},
    {"point 5 above point 4 fails, the message returns", tank1CalibrateScreen,
     [] { settings.tank1Calibration[5] = 400; }, "1", [] {
         EXPECT_EQ(currentScreen, slopeErrorScreen);
         EXPECT_EQ(fuelLayout, 99);
         press(slopeErrorScreen, "4");
         EXPECT_EQ(currentScreen, tank1CalibrateScreen);
     }},
    {"equal falling points fail", tank1CalibrateScreen, [] { settings.tank1Calibration[2] = 680; }, "2",
     [] { EXPECT_EQ(currentScreen, slopeErrorScreen); }},
    {"equal rising points fail", tank1CalibrateScreen, [] { calibrate({1, 2, 3, 3, 4, 5}); }, "2",
     [] { EXPECT_EQ(currentScreen, slopeErrorScreen); }},
    {"rising points pass EXIT, layout derived", tank1CalibrateScreen, [] { calibrate({1, 2, 3, 4, 5, 6}); }, "1",
     [] { EXPECT_EQ(fuelLayout, derivedLayout()); }},
    {"SENDER: the press stores the live reading", tank1CalibrateScreen, [] { fuelLevelInput[0] = 1234; }, "++p",
     [] { EXPECT_EQ(+s.tank1Calibration[1], 1234); EXPECT_EQ(editMode, 0); }},
    {"SENDER: KeySoft3 does nothing", tank1CalibrateScreen, nullptr, "+3", [] { EXPECT_EQ(stepMultiplier, 1); }},
    {"MANUAL: past 4096 to 0", tank1CalibrateScreen, [] { calibrationMode = 1, calibrate({4090}); }, "+3p+",
     [] { EXPECT_EQ(+s.tank1Calibration[0], 0); }},
    {"MANUAL: below the step to 4096", tank1CalibrateScreen, [] { calibrate({5}); }, "p+p+3p-",
     [] { EXPECT_EQ(+s.tank1Calibration[0], 4096); }},
    {"equal points while calibrating: processing whole", tank1CalibrateScreen,
     [] { fuelLevelInput[0] = rawFuelLevel[0] = 680; }, "+++p", [] {
         processTankSender(0);
         EXPECT_LE(fuelLevel[0], 45);
     }},
    {"tank 2 stores its own reading", tank2CalibrateScreen, [] { fuelLevelInput[1] = 777; }, "+p",
     [] { EXPECT_EQ(+s.tank2Calibration[0], 777); EXPECT_EQ(+s.tank1Calibration[0], 809); }},
};

TEST(FuelSetupCases, KeySequences)
{
    for (const FuelCase& c : kCases) {
        fresh();
        SCOPED_TRACE(c.what);
        currentScreen = c.screen;
        if (c.prepare) c.prepare();
        press(c.screen, c.keys);
        c.check();
    }
    fresh();
    updateFuelLayout();
    currentScreen = homeScreen;
}

}  // namespace

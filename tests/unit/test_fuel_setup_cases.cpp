// The fuel setup screens by key sequences: FUEL SETUP (wraps, lines that follow the flows, the
// injector rule, links), TANK SETUP (sizes and alarms within the tank, line counts by source and
// unit, steps) and TANK CALIBRATE (stored and stepped points, the slope check), one table each.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/inputs.h"
#include "settings/menus.h"
#include "settings/settings.h"
#include "setup_keys.h"
#include "ui/fuel_setup.h"
#include "ui/home.h"
#include "ui/screen.h"

namespace {

struct Case {
    const char* what;
    std::function<void()> prepare;
    std::string keys;
    std::function<void()> check;
};

// The layout the settings now in force give.
uint8_t layoutOfSettings()
{
    const uint8_t seen = fuelLayout;
    updateFuelLayout();
    const uint8_t derived = fuelLayout;
    fuelLayout = seen;
    return derived;
}

class FuelSetupCases : public testing::Test {
protected:
    void SetUp() override
    {
        loadDefaultSettings();
        cursorLine = listTop = editMode = 0;
        stepMultiplier = 1;
        calibrationMode = 0;
        fuelSetupReturnLine = 0;
        slopeReturnScreen = homeScreen;
        fuelLevelInput[0] = fuelLevelInput[1] = 0;
        rawFuelLevel[0] = rawFuelLevel[1] = 0;
        fuelLayout = 99;  // stale until a screen derives it
        pendingKey = KeyNone;
        currentScreen = homeScreen;
    }
    void TearDown() override { SetUp(), updateFuelLayout(); }

    void run(ScreenFunction screen, const Case& c)
    {
        SetUp();
        SCOPED_TRACE(c.what);
        currentScreen = screen;
        if (c.prepare) c.prepare();
        press(screen, c.keys);
        c.check();
    }
};

// Factory fuel setup: litres, flow 1 on, flow 2 off, tank 1 by sender, tank 2 off. FUEL SETUP
// offers UNIT, SPEED, FLOW 1, K-FACTOR 1, FLOW 2, MODE, TANK 1 SETUP (6), TANK 2 SETUP, FUEL
// PRESSURE SETUP.
TEST_F(FuelSetupCases, FuelSetup)
{
    const Case cases[] = {
        {"K-FACTOR at 59990 plus 100 gives 10", [] { settings.flow1KFactor = 59990; }, "+++33p+", [] {
             EXPECT_EQ(+settings.flow1KFactor, 10);
             fuelSetupScreen();
             EXPECT_TRUE(showsStepLabel("X100"));
         }},
        {"K-FACTOR at 10 minus 1 gives 60000", [] { settings.flow1KFactor = 10; }, "+++p-",
         [] { EXPECT_EQ(+settings.flow1KFactor, 60000); }},
        {"KeySoft3 steps on any line, labelled only on K-FACTOR", nullptr, "33", [] {
             EXPECT_EQ(stepMultiplier, 100);
             fuelSetupScreen();
             EXPECT_TRUE(showsStepLabel(""));
             press(fuelSetupScreen, "3");
             EXPECT_EQ(stepMultiplier, 1);
         }},
        {"UNIT plus after GAL/KM gives LITRE/SM", [] { settings.fuelUnit = 5; }, "p+",
         [] { EXPECT_EQ(+settings.fuelUnit, 0); }},
        {"SPEED minus from MANUAL-CRUISE gives GPS", [] { settings.fuelSpeedSource = 0; }, "+p-",
         [] { EXPECT_EQ(+settings.fuelSpeedSource, 2); }},
        {"flows off: MODE, INJECTOR and FLOW MODE go, the cursor wraps over seven lines",
         [] { settings.flow1On = 0, settings.fuelFlowMode = 1; }, "-", [] {
             EXPECT_EQ(cursorLine, 6);
             press(fuelSetupScreen, "+");
             EXPECT_EQ(cursorLine, 0);
         }},
        {"both flow senders offer FLOW MODE, which wraps", [] { settings.flow2On = 1; }, "+++++++p-",
         [] { EXPECT_EQ(+settings.dualFlowMode, 2); }},
        {"INJECTOR resets the flow mode to DUAL and drops FLOW MODE",
         [] { settings.flow2On = 1, settings.dualFlowMode = 2; }, "++++++p+p+++++", [] {
             EXPECT_EQ(+settings.fuelFlowMode, 1);
             EXPECT_EQ(+settings.dualFlowMode, 0);
             EXPECT_EQ(cursorLine, 0);  // eleven lines: INJECTOR instead of FLOW MODE
         }},
        {"TANK 1 SETUP remembers its line for BACK", nullptr, "++++++p", [] {
             EXPECT_EQ(currentScreen, tank1SetupScreen);
             EXPECT_EQ(cursorLine, 0);
             EXPECT_EQ(fuelSetupReturnLine, 6);
             press(tank1SetupScreen, "2");
             EXPECT_EQ(currentScreen, fuelSetupScreen);
             EXPECT_EQ(cursorLine, 6);
         }},
        {"TANK 2 SETUP is the next line", nullptr, "-p", [] {
             EXPECT_EQ(currentScreen, fuelSetupScreen);  // FUEL PRESSURE SETUP (8) is last
             press(fuelSetupScreen, "-p");
             EXPECT_EQ(currentScreen, tank2SetupScreen);
             EXPECT_EQ(fuelSetupReturnLine, 7);
         }},
        {"EXIT derives the layout", [] { settings.flow1On = 0; }, "1", [] {
             EXPECT_EQ(currentScreen, homeScreen);
             EXPECT_EQ(fuelLayout, 2);  // tank 1 by sender, no flow
         }},
        {"BACK returns to EMS SETUP on FUEL SETUP's tile", nullptr, "+p2", [] {
             EXPECT_EQ(currentScreen, emsSetupScreen);
             EXPECT_EQ(cursorLine, EMS_SETUP_FUEL);
             EXPECT_EQ(editMode, 0);
             EXPECT_EQ(fuelLayout, layoutOfSettings());
         }},
    };
    for (const Case& c : cases) run(fuelSetupScreen, c);
}

// TANK 1 SETUP lines with the factory tank 1 (SENDER, litres, size 45): TANK 1, TANK SIZE, LOW
// ALARM on/off, LOW ALARM, LOW CAUTION, ADD TO RANGE, CALIBRATE TANK, TANK FILTER, RESOLUTION.
TEST_F(FuelSetupCases, TankSetup)
{
    const Case cases[] = {
        {"TANK SIZE at 990 plus 10 gives 0", [] { settings.tank1Size = 990; }, "+3p+",
         [] { EXPECT_EQ(+settings.tank1Size, 0); }},
        {"TANK SIZE at 5 minus 10 gives 999", [] { settings.tank1Size = 5; }, "+3p-",
         [] { EXPECT_EQ(+settings.tank1Size, 999); }},
        {"LOW ALARM at the size wraps to 0 on plus", [] { settings.tank1LowAlarm = 45; }, "+++p+",
         [] { EXPECT_EQ(+settings.tank1LowAlarm, 0); }},
        {"LOW ALARM minus from 0 gives the size", [] { settings.tank1LowAlarm = 0; }, "+++p-",
         [] { EXPECT_EQ(+settings.tank1LowAlarm, 45); }},
        {"LOW CAUTION above the size wraps to 0", [] { settings.tank1LowCaution = 40; }, "++++3p+",
         [] { EXPECT_EQ(+settings.tank1LowCaution, 0); }},
        {"SENDER in litres: nine lines", nullptr, "-", [] { EXPECT_EQ(cursorLine, 8); }},
        {"SENDER in gallons: eight lines", [] { settings.fuelUnit = 3; }, "-", [] { EXPECT_EQ(cursorLine, 7); }},
        {"CALCULATED in litres: seven lines", [] { settings.tank1Source = 1; }, "-",
         [] { EXPECT_EQ(cursorLine, 6); }},
        {"CALCULATED in gallons: six lines", [] { settings.tank1Source = 1, settings.fuelUnit = 1; }, "-",
         [] { EXPECT_EQ(cursorLine, 5); }},
        {"OFF: the cursor stays on line 0", [] { settings.tank1Source = 2; }, "+-+",
         [] { EXPECT_EQ(cursorLine, 0); }},
        {"source plus from OFF gives SENDER", [] { settings.tank1Source = 2; }, "p+",
         [] { EXPECT_EQ(+settings.tank1Source, 0); }},
        {"whole litres step X1, X10, X100", nullptr, "+33", [] {
             tank1SetupScreen();
             EXPECT_TRUE(showsStepLabel("X100"));
         }},
        {"tenths of a litre step X0.1 first", [] { settings.tankLitreResolution = 1; }, "+", [] {
             tank1SetupScreen();
             EXPECT_TRUE(showsStepLabel("X0.1"));
         }},
        {"gallons step X0.1, X1, X10", [] { settings.fuelUnit = 5; }, "+++33", [] {
             tank1SetupScreen();
             EXPECT_TRUE(showsStepLabel("X10"));
         }},
        {"KeySoft3 does nothing on the other lines", nullptr, "3++3", [] {
             EXPECT_EQ(stepMultiplier, 1);
             tank1SetupScreen();
             EXPECT_TRUE(showsStepLabel(""));
         }},
        {"CALIBRATE TANK opens in SENDER mode", [] { calibrationMode = 1; }, "++++++p", [] {
             EXPECT_EQ(currentScreen, tank1CalibrateScreen);
             EXPECT_EQ(calibrationMode, 0);
             EXPECT_EQ(cursorLine, 0);
         }},
        {"EXIT derives the layout", nullptr, "p-1", [] {
             EXPECT_EQ(+settings.tank1Source, 2);
             EXPECT_EQ(currentScreen, homeScreen);
             EXPECT_EQ(fuelLayout, 5);  // flow 1 alone
         }},
        {"BACK returns to FUEL SETUP's line", [] { fuelSetupReturnLine = 7; }, "2", [] {
             EXPECT_EQ(currentScreen, fuelSetupScreen);
             EXPECT_EQ(cursorLine, 7);
         }},
        {"a tank size of 0 leaves the processing and the engine page whole",
         [] { settings.tank1Size = 990, rawFuelLevel[0] = 600; }, "+3p+1", [] {
             EXPECT_EQ(+settings.tank1Size, 0);
             for (int pass = 0; pass < 3; ++pass) {
                 processEngineInputs();
                 homeScreen();
             }
             EXPECT_EQ(fuelLevel[0], 0);
         }},
    };
    for (const Case& c : cases) run(tank1SetupScreen, c);
}

TEST_F(FuelSetupCases, Tank2Setup)
{
    const Case cases[] = {
        {"tank 2 edits its own source", nullptr, "p+", [] {
             EXPECT_EQ(+settings.tank2Source, 0);
             EXPECT_EQ(+settings.tank1Source, 0);
         }},
        {"tank 2 limits its alarm by its own size", [] { settings.tank2Source = 0, settings.tank2Size = 30, settings.tank2LowAlarm = 0; },
         "+++p-", [] { EXPECT_EQ(+settings.tank2LowAlarm, 30); }},
        {"CALIBRATE TANK opens tank 2's calibration", [] { settings.tank2Source = 0; }, "---p",
         [] { EXPECT_EQ(currentScreen, tank2CalibrateScreen); }},
    };
    for (const Case& c : cases) run(tank2SetupScreen, c);
}

// Factory calibration 809, 680, 520, 427, 356, 251 (falling).
TEST_F(FuelSetupCases, TankCalibrate)
{
    const Case cases[] = {
        {"the factory calibration passes: BACK to CALIBRATE TANK", nullptr, "2", [] {
             EXPECT_EQ(currentScreen, tank1SetupScreen);
             EXPECT_EQ(cursorLine, 6);
             EXPECT_EQ(fuelLayout, layoutOfSettings());
         }},
        {"point 5 at 300 is still below point 4 (356): falling, passes", [] { settings.tank1Calibration[5] = 300; },
         "2", [] { EXPECT_EQ(currentScreen, tank1SetupScreen); }},
        {"point 5 above point 4 fails with SLOPE ERROR", [] { settings.tank1Calibration[5] = 400; }, "2", [] {
             EXPECT_EQ(currentScreen, slopeErrorScreen);
             EXPECT_EQ(slopeReturnScreen, tank1CalibrateScreen);
             EXPECT_EQ(fuelLayout, 99);
             press(slopeErrorScreen, "4");
             EXPECT_EQ(currentScreen, tank1CalibrateScreen);
         }},
        {"EXIT checks the slope too", [] { settings.tank1Calibration[5] = 400; }, "1",
         [] { EXPECT_EQ(currentScreen, slopeErrorScreen); }},
        {"equal falling points fail", [] { settings.tank1Calibration[2] = 680; }, "1",
         [] { EXPECT_EQ(currentScreen, slopeErrorScreen); }},
        {"equal rising points fail", [] {
             const uint16_t rising[6] = {100, 200, 300, 300, 400, 500};
             std::memcpy(settings.tank1Calibration, rising, sizeof rising);
         }, "1", [] { EXPECT_EQ(currentScreen, slopeErrorScreen); }},
        {"a strictly rising calibration passes EXIT", [] {
             const uint16_t rising[6] = {100, 200, 300, 301, 400, 500};
             std::memcpy(settings.tank1Calibration, rising, sizeof rising);
         }, "1", [] {
             EXPECT_EQ(currentScreen, homeScreen);
             EXPECT_EQ(fuelLayout, layoutOfSettings());
         }},
        {"SENDER: the knob press stores the live reading", [] { fuelLevelInput[0] = 1234; }, "++p", [] {
             EXPECT_EQ(+settings.tank1Calibration[1], 1234);
             EXPECT_EQ(editMode, 0);
         }},
        {"SENDER: no step label, KeySoft3 does nothing", nullptr, "+3", [] {
             EXPECT_EQ(stepMultiplier, 1);
             tank1CalibrateScreen();
             EXPECT_TRUE(showsStepLabel(""));
         }},
        {"MODE toggles in edit mode", nullptr, "p+p", [] { EXPECT_EQ(calibrationMode, 1); }},
        {"MANUAL: past 4096 to 0", [] { calibrationMode = 1, settings.tank1Calibration[0] = 4090; }, "+3p+", [] {
             EXPECT_EQ(+settings.tank1Calibration[0], 0);
             tank1CalibrateScreen();
             EXPECT_TRUE(showsStepLabel("X10"));
         }},
        {"MANUAL: below the step to 4096", [] { calibrationMode = 1, settings.tank1Calibration[0] = 5; }, "+3p-",
         [] { EXPECT_EQ(+settings.tank1Calibration[0], 4096); }},
        {"seven lines, the cursor wraps", nullptr, "-", [] { EXPECT_EQ(cursorLine, 6); }},
        {"equal points while calibrating leave the processing whole",
         [] { fuelLevelInput[0] = 680, rawFuelLevel[0] = 680; }, "+++p", [] {
             EXPECT_EQ(+settings.tank1Calibration[2], 680);
             processTankSender(0);
             EXPECT_LE(fuelLevel[0], 45);
         }},
    };
    for (const Case& c : cases) run(tank1CalibrateScreen, c);
    run(tank2CalibrateScreen, {"tank 2 stores its own reading", [] { fuelLevelInput[1] = 777; }, "+p", [] {
            EXPECT_EQ(+settings.tank2Calibration[0], 777);
            EXPECT_EQ(+settings.tank1Calibration[0], 809);
        }});
}

}  // namespace

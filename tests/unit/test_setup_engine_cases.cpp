// The list engine on the hardest setup screens: MAP SETUP (limits and steps by unit, millibars
// stepping by at least 10), RPM 1 SETUP (the 100% line, steps of ten RPM, the OFF rule) and
// CALIBRATE SENDER (a working curve, lines by point count, wraps that are not plain).
#include "settings/menus.h"
#include "display/text.h"
#include "engine/engine.h"
#include "engine/setup_screens.h"
#include "settings/settings.h"
#include "setup_cases.h"
#include "ui/list_screen.h"
#include "ui/screen.h"

namespace {

class SetupEngineCases : public SetupCases {};

TEST_F(SetupEngineCases, MapSetup)
{
    const Case cases[] = {
        {"millibars: a multiplier of 1 steps by 10 and shows X10",
         [] { settings.mapUnit = 0, settings.mapDisplayMax = 1000; }, "++p+",
         [] {
             EXPECT_EQ(+settings.mapDisplayMax, 1010);
             mapSetupScreen();
             EXPECT_TRUE(showsStepLabel("X10"));
         }},
        {"millibars: KeySoft3 cycles 10, 100, 1000", [] { settings.mapUnit = 0; }, "++3", [] {
             EXPECT_EQ(stepMultiplier, 100);
             press(mapSetupScreen, "3");
             EXPECT_EQ(stepMultiplier, 1000);
             mapSetupScreen();
             EXPECT_TRUE(showsStepLabel("X1000"));
             press(mapSetupScreen, "3");
             EXPECT_EQ(stepMultiplier, 10);
         }},
        {"millibars wrap at 2500", [] { settings.mapUnit = 0, settings.mapDisplayMax = 2500; }, "++p+",
         [] { EXPECT_EQ(+settings.mapDisplayMax, 250); }},
        {"inHg wrap below 73", [] { settings.mapDisplayMin = 73; }, "+++p-",
         [] { EXPECT_EQ(+settings.mapDisplayMin, 738); }},
        {"millibars step onto 2500", [] { settings.mapUnit = 0, settings.mapDisplayMax = 2490; }, "++p+",
         [] { EXPECT_EQ(+settings.mapDisplayMax, 2500); }},
        {"inHg step down onto 73", [] { settings.mapDisplayMin = 74; }, "+++p-",
         [] { EXPECT_EQ(+settings.mapDisplayMin, 73); }},
        {"inHg: a multiplier of 1000 falls back to 1", [] { stepMultiplier = 1000; }, "++p+", [] {
             EXPECT_EQ(+settings.mapDisplayMax, 444);
             mapSetupScreen();
             EXPECT_TRUE(showsStepLabel("X0.1"));
         }},
        {"no step label on an on/off line", [] { cursorLine = 4; }, "", [] {
             mapSetupScreen();
             EXPECT_TRUE(showsStepLabel(""));
         }},
        {"display off offers line 0 alone", [] { settings.mapDisplayOn = 0; }, "+++-",
         [] { EXPECT_EQ(cursorLine, 0); }},
        {"twelve lines, the cursor wraps", nullptr, "-", [] {
             EXPECT_EQ(cursorLine, 11);
             EXPECT_EQ(listTop, 0);
             mapSetupScreen();
             EXPECT_EQ(listTop, 1);
         }},
        {"calibration stops at 50", [] { calibration.mapOffset = 50; }, "-p+",
         [] { EXPECT_EQ(+calibration.mapOffset, 50); }},
        {"the unit toggles without converting", nullptr, "+p+", [] {
             EXPECT_EQ(+settings.mapUnit, 0);
             EXPECT_EQ(+settings.mapDisplayMax, 443);
         }},
        {"to inHg, pressures above 738 become 738, the rest stay",
         [] { settings.mapUnit = 0, settings.mapDisplayMax = 2000, settings.mapDisplayMin = 500; }, "+p+", [] {
             EXPECT_EQ(+settings.mapDisplayMax, 738);
             EXPECT_EQ(+settings.mapDisplayMin, 500);
         }},
    };
    for (const Case& c : cases) run(mapSetupScreen, c);
}

TEST_F(SetupEngineCases, Rpm1Setup)
{
    const Case cases[] = {
        {"RPM mode: line 1 is DISPLAY MAX, stepping by ten", nullptr, "+p+",
         [] { EXPECT_EQ(+settings.rpm1DisplayMax, 6010); }},
        {"X100 steps by 1000 and wraps to 100", [] { settings.rpm1DisplayMax = 98500; }, "+33p+", [] {
             EXPECT_EQ(+settings.rpm1DisplayMax, 100);
             rpm1SetupScreen();
             EXPECT_TRUE(showsStepLabel("X1000"));
         }},
        {"PERCENT mode offers the 100% line", [] { settings.rpm1DisplayMode = 1; }, "+333p+", [] {
             EXPECT_EQ(stepMultiplier, 1000);
             EXPECT_EQ(+settings.rpm1FullScale, 7000);
             rpm1SetupScreen();
             EXPECT_TRUE(showsStepLabel("X1000"));
         }},
        {"the 100% line cycles back to 1 after 1000", [] { settings.rpm1DisplayMode = 1; }, "+3333",
         [] { EXPECT_EQ(stepMultiplier, 1); }},
        {"1000 from the 100% line counts as X10 on a value line",
         [] { settings.rpm1DisplayMode = 1, stepMultiplier = 1000; }, "++p+",
         [] { EXPECT_EQ(+settings.rpm1DisplayMax, 6010); }},
        {"OFF offers line 0 alone", [] { settings.rpm1DisplayMode = 2; }, "++", [] { EXPECT_EQ(cursorLine, 0); }},
        {"OFF only while RPM 2 is off", [] { settings.rpm1DisplayMode = 1, settings.rpm2DisplayMode = 0; }, "p+",
         [] { EXPECT_EQ(+settings.rpm1DisplayMode, 0); }},
        {"minus from RPM skips OFF while RPM 2 shows", [] { settings.rpm2DisplayMode = 1; }, "p-",
         [] { EXPECT_EQ(+settings.rpm1DisplayMode, 1); }},
        {"with RPM 2 off, PERCENT is followed by OFF", [] { settings.rpm1DisplayMode = 1; }, "p+",
         [] { EXPECT_EQ(+settings.rpm1DisplayMode, 2); }},
        {"pulses per revolution in tenths wrap at 5000", [] { settings.rpm1PulsesPerRev = 5000; }, "---p+", [] {
             EXPECT_EQ(+settings.rpm1PulsesPerRev, 1);
             rpm1SetupScreen();
             EXPECT_TRUE(showsStepLabel("X0.1"));
         }},
        {"EXIT derives the RPM factor", [] { settings.rpm1PulsesPerRev = 10; }, "1", [] {
             const uint32_t seen = rpmFactor;
             settings.rpm1PulsesPerRev = 10;
             updateRpmFactor();
             EXPECT_EQ(seen, rpmFactor);
             EXPECT_EQ(currentScreen, homeScreen);
         }},
        {"BACK leaves with the cursor on the screen's place", nullptr, "p2", [] {
             EXPECT_EQ(cursorLine, 0);
             EXPECT_EQ(editMode, 0);
             EXPECT_EQ(currentScreen, emsSetupScreen);
         }},
    };
    for (const Case& c : cases) run(rpm1SetupScreen, c);
}

// Opens CALIBRATE SENDER from a pretend sender screen on channel 1, cursor on its line 6.
void openPressureCurve()
{
    listChannel = 1;
    cursorLine = 6;
    currentScreen = mainMenuScreen;
    openCalibrateSender(false);
}

TEST_F(SetupEngineCases, CalibrateSender)
{
    const Case cases[] = {
        {"opening copies the curve", openPressureCurve, "", [] {
             EXPECT_EQ(+workingCurve.pointCount, 6);
             EXPECT_EQ(+workingCurve.points[5].reading, 433);
             EXPECT_EQ(currentScreen, calibrateSenderScreen);
             EXPECT_EQ(returnScreen, mainMenuScreen);
             EXPECT_EQ(cursorLine, 0);
         }},
        {"POINTS minus from 2 gives 16", [] { openPressureCurve(), workingCurve.pointCount = 2; }, "p-",
         [] { EXPECT_EQ(+workingCurve.pointCount, 16); }},
        {"POINTS plus from 16 gives 2", [] { openPressureCurve(), workingCurve.pointCount = 16; }, "p+",
         [] { EXPECT_EQ(+workingCurve.pointCount, 2); }},
        {"lines follow the point count", openPressureCurve, "-", [] { EXPECT_EQ(cursorLine, 12); }},
        {"a value above 998 becomes 0", [] { openPressureCurve(), workingCurve.points[0].value = 999; }, "+p+",
         [] { EXPECT_EQ(+workingCurve.points[0].value, 0); }},
        {"a value below 1 becomes 999", openPressureCurve, "+p-",
         [] { EXPECT_EQ(+workingCurve.points[0].value, 999); }},
        {"a whole step may pass 999; the next plus starts at 0",
         [] { openPressureCurve(), workingCurve.points[0].value = 995; }, "+3p+", [] {
             EXPECT_EQ(+workingCurve.points[0].value, 1005);
             press(calibrateSenderScreen, "+");
             EXPECT_EQ(+workingCurve.points[0].value, 0);
         }},
        {"a reading above 4094 becomes 0", [] { openPressureCurve(), workingCurve.points[0].reading = 4095; },
         "++p+", [] { EXPECT_EQ(+workingCurve.points[0].reading, 0); }},
        {"a reading below 1 becomes 4095", [] { openPressureCurve(), workingCurve.points[0].reading = 0; }, "++p-",
         [] { EXPECT_EQ(+workingCurve.points[0].reading, 4095); }},
        {"ADC lines cycle 1, 10, 100", openPressureCurve, "++33p+", [] {
             EXPECT_EQ(+workingCurve.points[0].reading, 120);
             calibrateSenderScreen();
             EXPECT_TRUE(showsStepLabel("X100"));
         }},
        {"100 on a value line in bar counts as 1, shown X0.1", openPressureCurve, "++33-p+", [] {
             EXPECT_EQ(+workingCurve.points[0].value, 1);
             calibrateSenderScreen();
             EXPECT_TRUE(showsStepLabel("X0.1"));
         }},
        {"temperature values show X10", [] { listChannel = 0, openCalibrateSender(true); }, "+3", [] {
             calibrateSenderScreen();
             EXPECT_TRUE(showsStepLabel("X10"));
         }},
        {"the window scrolls after row 9", openPressureCurve, "++++++++++", [] {
             calibrateSenderScreen();
             EXPECT_EQ(cursorLine, 10);
             EXPECT_EQ(listTop, 1);
         }},
        {"BACK stores the curve and returns to the line", openPressureCurve, "+p+2", [] {
             EXPECT_EQ(+settings.pressureSender[1].curve.points[0].value, 1);
             EXPECT_EQ(currentScreen, mainMenuScreen);
             EXPECT_EQ(cursorLine, 6);
             EXPECT_EQ(editMode, 0);
         }},
        {"EXIT keeps the old curve", openPressureCurve, "+p+1", [] {
             EXPECT_EQ(+settings.pressureSender[1].curve.points[0].value, 0);
             EXPECT_EQ(currentScreen, homeScreen);
         }},
        {"the fuel pressure sender is its own channel",
         [] { listChannel = OWN_SENSOR_CHANNEL, currentScreen = mainMenuScreen, openCalibrateSender(false); },
         "p+2", [] { EXPECT_EQ(+settings.fuelPressureSender.curve.pointCount, 7); }},
    };
    for (const Case& c : cases) run(calibrateSenderScreen, c);
}

}  // namespace

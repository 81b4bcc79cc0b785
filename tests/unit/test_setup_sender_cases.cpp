// The sender setup screens as key sequences: the four-input screen in each function and maker,
// CURRENT SETUP, FUEL PRESSURE SETUP and ZERO CURRENT SENSOR, and their changes reaching the
// engine page in the next pass.
#include <set>

#include "engine/inputs.h"
#include "engine/senders.h"
#include "engine/setup_screens.h"
#include "settings/menus.h"
#include "setup_cases.h"
#include "ui/home.h"

namespace {

class SenderSetupCases : public SetupCases {
protected:
    void SetUp() override
    {
        SetupCases::SetUp();
        calibration.currentZero = 0;  // power-on keeps the main zero; each case starts without one
    }
};

// The engine page as the next pass draws it.
std::set<Point> enginePage()
{
    processEngineInputs();
    clearScreen();
    drawEnginePage();
    return litPixels();
}

// Every reading through the processing: the pressure stays within its limits.
void sweepOilPressure()
{
    for (int reading = 0; reading <= 4096; reading += 7) {
        rawAnalog[1] = static_cast<uint16_t>(reading);
        processEngineInputs();
        ASSERT_GE(pressureValue[1], 0);
        ASSERT_LE(pressureValue[1], 999);
    }
}

// Cursor on the last line offered.
void expectLastLine(uint8_t line)
{
    press(currentScreen, "-");
    EXPECT_EQ(cursorLine, line);
}

TEST_F(SenderSetupCases, SenderScreen)
{
    const Case cases[] = {
        {"oil temperature switches between OFF and TEMPERATURE", nullptr, "p+", [] {
             EXPECT_EQ(+settings.oilTempFunction, 0);
             press(senderSetupScreen, "-");
             EXPECT_EQ(+settings.oilTempFunction, 2);
         }},
        {"an auxiliary FUNCTION cycles both ways", [] { listChannel = 2; }, "p++", [] {
             EXPECT_EQ(+settings.aux13Function, 0);
             press(senderSetupScreen, "-");
             EXPECT_EQ(+settings.aux13Function, 3);
         }},
        {"OFF offers line 0 alone", [] { listChannel = 3, settings.aux24Function = 0; }, "++-",
         [] { EXPECT_EQ(cursorLine, 0); }},
        {"oil pressure with VDO: no LABEL line", [] { listChannel = 1; }, "", [] { expectLastLine(12); }},
        {"current: eight limits, the zero and the span", [] { listChannel = 3; }, "", [] { expectLastLine(10); }},
        {"0-5V turns VDO into UMA and offers its models", [] { listChannel = 1; }, "+p+p++p+", [] {
             EXPECT_EQ(+settings.pressureSender[1].type, 1);
             EXPECT_EQ(+settings.pressureSender[1].senderSource, 2);
             EXPECT_EQ(+settings.pressureSender[1].umaModel, 1);
             EXPECT_EQ(+settings.pressureSender[1].vdoModel, 2);
         }},
        {"RESISTIVE turns UMA back into VDO",
         [] { listChannel = 1, settings.pressureSender[1].type = 1, settings.pressureSender[1].senderSource = 2; },
         "+p-", [] { EXPECT_EQ(+settings.pressureSender[1].senderSource, 0); }},
        {"SENDER toggles between the maker and USER", [] { listChannel = 1; }, "++p+", [] {
             EXPECT_EQ(+settings.pressureSender[1].senderSource, 1);
             press(senderSetupScreen, "-");
             EXPECT_EQ(+settings.pressureSender[1].senderSource, 0);
         }},
        {"4-20mA: the loop pressures run 0..maximum and wrap",
         [] { listChannel = 1, settings.pressureSender[1].type = 2, settings.pressureSender[1].senderSource = 2; },
         "+++p-", [] {
             EXPECT_EQ(+settings.pressureSender[1].pressureAt4mA, 100);
             press(senderSetupScreen, "+");
             EXPECT_EQ(+settings.pressureSender[1].pressureAt4mA, 0);
         }},
        {"bar: X1.0 steps by 10", [] { listChannel = 1; }, "+++++3p-", [] {
             EXPECT_EQ(+settings.pressureSender[1].displayMax, 90);
             senderSetupScreen();
             EXPECT_TRUE(showsStepLabel("X1.0"));
         }},
        {"a unit change cuts values above the new maximum, and only those",
         [] {
             listChannel = 1;
             PressureSenderConfig& p = settings.pressureSender[1];
             p.pressureUnit = 2, p.displayMax = 500, p.highAlarm = 120, p.lowAlarm = 15, p.pressureAt20mA = 999;
             p.curve.points[5].value = 500;
         },
         "++++p+", [] {
             const PressureSenderConfig& p = settings.pressureSender[1];
             EXPECT_EQ(+p.pressureUnit, 0);
             EXPECT_EQ(+p.displayMax, 100);
             EXPECT_EQ(+p.highAlarm, 100);
             EXPECT_EQ(+p.lowAlarm, 15);
             EXPECT_EQ(+p.pressureAt20mA, 100);
             EXPECT_EQ(+p.curve.points[5].value, 500);  // a user curve is never touched
         }},
        {"temperatures wrap below -40 to 571 in F",
         [] { settings.temperatureUnit = 1, settings.temperatureSender[0].displayMin = -40; }, "++++p-",
         [] { EXPECT_EQ(+settings.temperatureSender[0].displayMin, 571); }},
        {"TEMPERATURE UNIT to F brings a CHT display minimum of 0 up to F's 30",
         [] { settings.temperatureUnit = 0, settings.chtDisplayMin = 0; }, "++p+", [] {
             EXPECT_EQ(+settings.temperatureUnit, 1);
             EXPECT_EQ(+settings.chtDisplayMin, 30);
         }},
        {"the LM335 trim stops at 30",
         [] { settings.temperatureSender[0].sender = 2, settings.temperatureSender[0].lm335Offset = 29; }, "++p++",
         [] { EXPECT_EQ(+settings.temperatureSender[0].lm335Offset, 30); }},
        {"a USER temperature sender opens its curve and BACK stores it",
         [] { listChannel = 2, settings.temperatureSender[2].sender = 3; }, "++p", [] {
             EXPECT_EQ(currentScreen, calibrateSenderScreen);
             EXPECT_EQ(+workingCurveTemperature, 1);
             press(calibrateSenderScreen, "+p+2");
             EXPECT_EQ(currentScreen, senderSetupScreen);
             EXPECT_EQ(cursorLine, 2);
             EXPECT_EQ(+settings.temperatureSender[2].curve.points[0].value, +workingCurve.points[0].value);
         }},
        {"amperes wrap at 100 to -100", [] { listChannel = 3, settings.currentSender[3].displayMax = 100; }, "+p+",
         [] { EXPECT_EQ(+settings.currentSender[3].displayMax, -100); }},
        {"amperes step onto 100 and onto -100", [] { listChannel = 3, settings.currentSender[3].displayMax = 99; },
         "+p+", [] {
             EXPECT_EQ(+settings.currentSender[3].displayMax, 100);
             settings.currentSender[3].displayMax = -99;
             press(senderSetupScreen, "-");
             EXPECT_EQ(+settings.currentSender[3].displayMax, -100);
         }},
        {"BACK returns to the input's tile", [] { listChannel = 2; }, "2", [] {
             EXPECT_EQ(currentScreen, emsSetupScreen);
             EXPECT_EQ(cursorLine, 8);
         }},
        {"a non-monotonic user curve never stops the processing", [] { listChannel = 1; }, "++p+p+p", [] {
             ASSERT_EQ(currentScreen, calibrateSenderScreen);
             // A seventh point (reading 0), then point 1's reading down to 0 as well, and BACK.
             press(calibrateSenderScreen, "p+p++p3--2");
             ASSERT_EQ(currentScreen, senderSetupScreen);
             const SenderCurve& curve = settings.pressureSender[1].curve;
             EXPECT_EQ(+curve.pointCount, 7);
             EXPECT_EQ(curve.points[0].reading, curve.points[6].reading);
             sweepOilPressure();
             settings.pressureSender[1].curve.points[1].reading = 0;  // two neighbours at one reading
             sweepOilPressure();
         }},
    };
    for (const Case& c : cases) run(senderSetupScreen, c);
}

TEST_F(SenderSetupCases, EmsSetupOpensTheSenderScreens)
{
    const Case cases[] = {
        {"item 6 opens oil temperature", [] { cursorLine = 6, listChannel = 3; }, "p", [] {
             EXPECT_EQ(currentScreen, senderSetupScreen);
             EXPECT_EQ(listChannel, 0);
         }},
        {"item 11 opens CURRENT SETUP", [] { cursorLine = 11; }, "p", [] {
             EXPECT_EQ(currentScreen, currentSetupScreen);
             EXPECT_EQ(cursorLine, 0);
         }},
    };
    for (const Case& c : cases) run(emsSetupScreen, c);
}

TEST_F(SenderSetupCases, CurrentSetupAndZero)
{
    const Case cases[] = {
        {"the main sensor's record, not an input's", nullptr, "+p+", [] {
             EXPECT_EQ(+settings.currentSensor.displayMax, 51);
             EXPECT_EQ(+settings.currentSender[0].displayMax, 50);
         }},
        {"BACK returns to tile 11", nullptr, "2", [] {
             EXPECT_EQ(currentScreen, emsSetupScreen);
             EXPECT_EQ(cursorLine, 11);
         }},
        {"NO returns to the ZERO line, nothing stored", [] { rawCurrent = 1234; }, "--p", [] {
             press(zeroCurrentSensorScreen, "p");
             EXPECT_EQ(currentScreen, currentSetupScreen);
             EXPECT_EQ(cursorLine, 9);
             EXPECT_EQ(+calibration.currentZero, 0);
         }},
        {"YES stores the main reading, DONE returns to the ZERO line", [] { rawCurrent = 1234; }, "--p", [] {
             press(zeroCurrentSensorScreen, "+p");
             EXPECT_EQ(+calibration.currentZero, 1234);
             EXPECT_EQ(currentScreen, messageScreen);
             press(messageScreen, "p");
             EXPECT_EQ(currentScreen, currentSetupScreen);
             EXPECT_EQ(cursorLine, 9);
         }},
        {"YES on an input in CURRENT stores that input's reading",
         [] { currentScreen = senderSetupScreen, listChannel = 3, analogInput[3] = 2222; }, "", [] {
             press(senderSetupScreen, "--p");
             press(zeroCurrentSensorScreen, "+p");
             EXPECT_EQ(+calibration.senderZero[3], 2222);
             EXPECT_EQ(+calibration.senderZero[2], 2048);
             EXPECT_EQ(+calibration.currentZero, 0);
             EXPECT_EQ(returnScreen, senderSetupScreen);
         }},
    };
    for (const Case& c : cases) run(currentSetupScreen, c);
}

// Opened from a pretend FUEL SETUP (the main menu) on its line 11.
void openFromFuelSetup() { openFuelPressureSetup(mainMenuScreen, 11); }

TEST_F(SenderSetupCases, FuelPressureSetup)
{
    const Case cases[] = {
        {"BACK returns to the line that opened it", openFromFuelSetup, "p2", [] {
             EXPECT_EQ(currentScreen, mainMenuScreen);
             EXPECT_EQ(cursorLine, 11);
             EXPECT_EQ(editMode, 0);
         }},
        {"psi(0.1) values wrap at 99.9", [] { openFromFuelSetup(), settings.fuelPressureSender.displayMax = 999; },
         "+++++p+", [] {
             EXPECT_EQ(+settings.fuelPressureSender.displayMax, 1);
             EXPECT_EQ(+settings.pressureSender[0].displayMax, 100);
         }},
        {"its USER curve returns here",
         [] { openFromFuelSetup(), settings.fuelPressureSender.senderSource = 1; }, "+++p", [] {
             EXPECT_EQ(currentScreen, calibrateSenderScreen);
             press(calibrateSenderScreen, "2");
             EXPECT_EQ(currentScreen, fuelPressureSetupScreen);
             EXPECT_EQ(cursorLine, 3);
         }},
    };
    for (const Case& c : cases) run(fuelPressureSetupScreen, c);
}

// A change on each screen family shows on the engine page in the next pass.
TEST_F(SenderSetupCases, ChangesReachTheEnginePage)
{
    std::set<Point> before;
    const Case cases[] = {
        {"AUX 1/3 from TEMPERATURE to PRESSURE",
         [&] { listChannel = 2, rawAnalog[2] = 216, before = enginePage(); }, "p-", [&] {
             EXPECT_NE(enginePage(), before);
             EXPECT_EQ(pressureValue[2], 40);  // VDO 10 bar at 216
         }},
        {"CURRENT DISPLAY on", [&] { before = enginePage(); }, "p+", [&] {
             EXPECT_EQ(+settings.currentOn, 1);
             EXPECT_NE(enginePage(), before);
         }},
        {"FUEL PRESSURE DISPLAY off", [&] { openFromFuelSetup(), before = enginePage(); }, "p+", [&] {
             EXPECT_EQ(+settings.fuelPressureOn, 0);
             EXPECT_NE(enginePage(), before);
         }},
    };
    run(senderSetupScreen, cases[0]);
    run(currentSetupScreen, cases[1]);
    run(fuelPressureSetupScreen, cases[2]);
}

}  // namespace

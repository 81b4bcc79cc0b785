// Key sequences on VOLTS, OAT, EGT, CHT and RPM 2 SETUP: wraps at the tenth-volt and unit limits,
// the calibration stops, the shared thermocouple inputs (EGT and CHT counts, NTC probes), the
// shared temperature unit, the free RPM 2 modes, and each screen's BACK position.
#include "engine/inputs.h"
#include "engine/setup_screens.h"
#include "settings/menus.h"
#include "setup_cases.h"
#include "ui/home.h"

namespace {

class SensorSetupCases : public SetupCases {};

void expectBackTo(uint8_t position)
{
    EXPECT_EQ(currentScreen, emsSetupScreen);
    EXPECT_EQ(cursorLine, position);
    EXPECT_EQ(editMode, 0);
}

TEST_F(SensorSetupCases, VoltsSetup)
{
    const Case cases[] = {
        {"HIGH ALARM 29.5 V plus 1.0 V wraps to 8.0 V", [] { settings.voltsHighAlarm = 295; }, "+++3p+", [] {
             EXPECT_EQ(+settings.voltsHighAlarm, 80);
             voltsSetupScreen();
             EXPECT_TRUE(showsStepLabel("X1.0"));
         }},
        {"HIGH ALARM 8.5 V minus 1.0 V wraps to 30.0 V", [] { settings.voltsHighAlarm = 85; }, "+++3p-",
         [] { EXPECT_EQ(+settings.voltsHighAlarm, 300); }},
        {"HIGH ALARM 29.0 V plus 1.0 V gives 30.0 V", [] { settings.voltsHighAlarm = 290; }, "+++3p+",
         [] { EXPECT_EQ(+settings.voltsHighAlarm, 300); }},
        {"HIGH ALARM 9.0 V minus 1.0 V gives 8.0 V", [] { settings.voltsHighAlarm = 90; }, "+++3p-",
         [] { EXPECT_EQ(+settings.voltsHighAlarm, 80); }},
        {"a tenth of a volt by default", nullptr, "p+", [] {
             EXPECT_EQ(+settings.voltsDisplayMax, 201);
             voltsSetupScreen();
             EXPECT_TRUE(showsStepLabel("X0.1"));
         }},
        {"KeySoft3 does nothing on an on/off line", [] { cursorLine = 2; }, "3", [] {
             EXPECT_EQ(stepMultiplier, 1);
             voltsSetupScreen();
             EXPECT_TRUE(showsStepLabel(""));
         }},
        {"the calibration factor stops at 150", [] { calibration.voltsCalPercent = 150; }, "-p++",
         [] { EXPECT_EQ(+calibration.voltsCalPercent, 150); }},
        {"the calibration factor stops at 50", [] { calibration.voltsCalPercent = 51; }, "-p---",
         [] { EXPECT_EQ(+calibration.voltsCalPercent, 50); }},
        {"BACK to position 10", nullptr, "p2", [] { expectBackTo(10); }},
    };
    for (const Case& c : cases) run(voltsSetupScreen, c);
}

TEST_F(SensorSetupCases, OatSetup)
{
    const Case cases[] = {
        {"Fahrenheit limits follow the temperature unit",
         [] { settings.temperatureUnit = 1, settings.oatDisplayMax = 302; }, "+p+",
         [] { EXPECT_EQ(+settings.oatDisplayMax, -58); }},
        {"not the OAT unit", [] { settings.oatUnit = 1, settings.oatDisplayMax = 150; }, "+p+",
         [] { EXPECT_EQ(+settings.oatDisplayMax, -50); }},
        {"the OAT unit toggles without converting", nullptr, "p+", [] {
             EXPECT_EQ(+settings.oatUnit, 1);
             EXPECT_EQ(+settings.oatDisplayMax, 100);
         }},
        {"X10 on the limit lines", nullptr, "++3p-", [] {
             EXPECT_EQ(+settings.oatDisplayMin, 150);
             oatSetupScreen();
             EXPECT_TRUE(showsStepLabel("X10"));
         }},
        {"the offset stops at -20", [] { calibration.oatOffset = -20; }, "-p-",
         [] { EXPECT_EQ(+calibration.oatOffset, -20); }},
        {"BACK to position 12", nullptr, "2", [] { expectBackTo(12); }},
    };
    for (const Case& c : cases) run(oatSetupScreen, c);
}

TEST_F(SensorSetupCases, EgtSetup)
{
    const Case cases[] = {
        {"EGT CHANNELS from 12 plus gives 0", [] { settings.egtChannels = 12, settings.chtChannels = 0; }, "p+",
         [] { EXPECT_EQ(+settings.egtChannels, 0); }},
        {"ten EGTs cut four CHTs to two", [] { settings.egtChannels = 8, settings.chtChannels = 4; }, "p++", [] {
             EXPECT_EQ(+settings.egtChannels, 10);
             EXPECT_EQ(+settings.chtChannels, 2);
         }},
        {"Fahrenheit limits 30..2190", [] { settings.temperatureUnit = 1, settings.egtDisplayMax = 2190; }, "++p+",
         [] { EXPECT_EQ(+settings.egtDisplayMax, 30); }},
        {"KeySoft3 cycles 1, 10, 100", nullptr, "++33p+", [] {
             EXPECT_EQ(+settings.egtDisplayMax, 950);
             egtSetupScreen();
             EXPECT_TRUE(showsStepLabel("X100"));
             press(egtSetupScreen, "3");
             EXPECT_EQ(stepMultiplier, 1);
         }},
        {"back to Celsius brings values above 1200 to 1200 and converts nothing",
         [] {
             settings.temperatureUnit = 1, settings.egtDisplayMax = 1600, settings.chtHighAlarm = 2000;
             settings.oatHighAlarm = 250;
         },
         "+p+", [] {
             EXPECT_EQ(+settings.temperatureUnit, 0);
             EXPECT_EQ(+settings.egtDisplayMax, 1200);
             EXPECT_EQ(+settings.chtHighAlarm, 1200);
             EXPECT_EQ(+settings.oatHighAlarm, 150);
             EXPECT_EQ(+settings.egtDisplayMin, 400);
         }},
        {"HIGHEST offers nine lines", [] { settings.egtScanMode = 0; }, "-", [] { EXPECT_EQ(cursorLine, 8); }},
        {"SCANNING offers the scan time", [] { settings.egtScanMode = 1, settings.egtScanTime = 6; }, "-p+",
         [] {
             EXPECT_EQ(cursorLine, 9);
             EXPECT_EQ(+settings.egtScanTime, 0);
         }},
        {"back to HIGHEST takes the cursor off the scan time", [] { settings.egtScanMode = 1; }, "--p+p", [] {
             EXPECT_EQ(+settings.egtScanMode, 0);
             egtSetupScreen();
             EXPECT_EQ(cursorLine, 8);
         }},
        {"three probes", [] { settings.egtScanMode = 0, settings.egtProbe = 2; }, "--p+", [] {
             EXPECT_EQ(cursorLine, 7);
             EXPECT_EQ(+settings.egtProbe, 0);
         }},
        {"BACK to position 2", nullptr, "2", [] { expectBackTo(2); }},
    };
    for (const Case& c : cases) run(egtSetupScreen, c);
}

TEST_F(SensorSetupCases, ChtSetup)
{
    const Case cases[] = {
        {"CHT CHANNELS stop at what the EGTs leave", [] { settings.egtChannels = 8, settings.chtChannels = 4; },
         "p+", [] { EXPECT_EQ(+settings.chtChannels, 0); }},
        {"and wrap down to it", [] { settings.egtChannels = 9, settings.chtChannels = 0; }, "p-",
         [] { EXPECT_EQ(+settings.chtChannels, 3); }},
        {"NTC limits CHT CHANNELS to 0..2", [] { settings.chtProbe = 3, settings.chtChannels = 2; }, "p+", [] {
             EXPECT_EQ(+settings.chtChannels, 0);
             press(chtSetupScreen, "-");
             EXPECT_EQ(+settings.chtChannels, 2);
         }},
        {"choosing NTC cuts four CHTs to two", [] { settings.chtProbe = 2, settings.chtChannels = 4; }, "---p+",
         [] {
             EXPECT_EQ(+settings.chtProbe, 3);
             EXPECT_EQ(+settings.chtChannels, 2);
         }},
        {"four probes", [] { settings.chtProbe = 3; }, "---p+", [] { EXPECT_EQ(+settings.chtProbe, 0); }},
        {"the unit line is shared with the EGTs", nullptr, "+p-",
         [] { EXPECT_EQ(+settings.temperatureUnit, 1); }},
        {"BACK to position 3", nullptr, "2", [] { expectBackTo(3); }},
    };
    for (const Case& c : cases) run(chtSetupScreen, c);
}

TEST_F(SensorSetupCases, Rpm2Setup)
{
    const Case cases[] = {
        {"OFF offers line 0 alone", nullptr, "++", [] { EXPECT_EQ(cursorLine, 0); }},
        {"the modes cycle freely while RPM 1 shows", [] { settings.rpm2DisplayMode = 1; }, "p+",
         [] { EXPECT_EQ(+settings.rpm2DisplayMode, 2); }},
        {"and from OFF on to RPM", nullptr, "p+", [] { EXPECT_EQ(+settings.rpm2DisplayMode, 0); }},
        {"RPM mode: line 1 is DISPLAY MAX in steps of ten", [] { settings.rpm2DisplayMode = 0; }, "+p+", [] {
             EXPECT_EQ(+settings.rpm2DisplayMax, factorySettings().rpm2DisplayMax + 10);
             rpm2SetupScreen();
             EXPECT_TRUE(showsStepLabel("X10"));
         }},
        {"a new full scale applies to the percentage on leaving",
         [] { settings.rpm2DisplayMode = 1, settings.rpm2FullScale = 6000, rotorRpm = 3000, rotorPercent = 50; },
         "+333p+1", [] {
             EXPECT_EQ(+settings.rpm2FullScale, 7000);
             EXPECT_EQ(rotorPercent, 42);
             EXPECT_EQ(currentScreen, homeScreen);
         }},
        {"BACK to position 1", nullptr, "2", [] { expectBackTo(1); }},
    };
    for (const Case& c : cases) run(rpm2SetupScreen, c);
}

// Ranges the screens allow but that describe no scale (display minimum equal to the maximum, no
// thermocouple channels at all) leave the engine page drawable.
TEST_F(SensorSetupCases, EmptyScalesReachTheEnginePage)
{
    press(voltsSetupScreen, "3p------------p1");  // DISPLAY MAX down to DISPLAY MIN, 8.0 V
    EXPECT_EQ(+settings.voltsDisplayMax, +settings.voltsDisplayMin);
    currentScreen = egtSetupScreen;
    press(egtSetupScreen, "p--p1");
    EXPECT_EQ(+settings.egtChannels, 0);
    EXPECT_EQ(+settings.chtChannels, 2);
    press(chtSetupScreen, "p--p1");
    EXPECT_EQ(+settings.chtChannels, 0);
    homePage = 0;
    for (int pass = 0; pass < 3; ++pass) {
        processEngineInputs();
        homeScreen();
    }
    EXPECT_EQ(currentScreen, homeScreen);
}

}  // namespace

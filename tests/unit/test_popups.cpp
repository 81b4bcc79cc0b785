// Key sequences through the home screen's pop-up menus and pop-ups: backlight steps, TIMER digits
// and counting, menu wrap and timeout, lean and cruise modes, refill entries, FULL, the tank 2
// chain and the totals RESET.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/fuel.h"
#include "engine/min_max_page.h"
#include "engine/thermocouples.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/flight.h"
#include "time/timers.h"
#include "ui/digit_editor.h"
#include "ui/home.h"
#include "ui/popups.h"
#include "ui/screen.h"

namespace {

// One step of a key sequence: keys 1-5 the push buttons, p the knob press, + and - the knob
// turns, s one slow step of the host tick.
void press(char step)
{
    if (step == 's') {
        slowStep();
        return;
    }
    switch (step) {
    case 'p': pendingKey = KeyKnobPress; break;
    case '+': pendingKey = KeyKnobPlus; break;
    case '-': pendingKey = KeyKnobMinus; break;
    default: pendingKey = static_cast<uint8_t>(step - '0'); break;
    }
    homeScreen();
    EXPECT_EQ(pendingKey, KeyNone) << "key " << step << " left pending";
}

void pressAll(const char* steps)
{
    for (const char* s = steps; *s; ++s) press(*s);
}

void showPopup(void (*popup)())
{
    overlayScreen = popup;
    overlayTimeout = 10;
}

class Popups : public testing::Test {
protected:
    void SetUp() override
    {
        loadDefaultSettings();
        updateFuelLayout();
        currentScreen = homeScreen;
        homePage = 0;
        overlayTimeout = 0;
        overlayScreen = nullptr;
        pendingKey = KeyNone;
        cursorLine = 0;
        leanActive = leanDeltaMode = 0;
        flightInProgress = 0;
        stopwatchSeconds = stopwatchPreset = 0;
        stopwatchUp = stopwatchRunning = stopwatchEnabled = 0;
        fuelLevel[0] = fuelLevel[1] = 0;
        fuelRemainingPulses[0] = fuelRemainingPulses[1] = 0;
    }
};

TEST_F(Popups, BacklightStepsBothWays)
{
    struct Case {
        uint8_t from;
        char key;
        std::vector<int> levels;
    } cases[] = {
        {4, '+', {8, 12, 16, 20, 24, 28, 31, 31}},
        {31, '-', {27, 23, 19, 15, 11, 7, 4, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        settings.backlight = c.from;
        showPopup(backlightPopup);
        std::vector<int> seen;
        for (size_t i = 0; i < c.levels.size(); ++i) {
            press(c.key);
            seen.push_back(settings.backlight);
        }
        EXPECT_EQ(seen, c.levels);
        EXPECT_EQ(overlayTimeout, 10);
    }
}

// Each case starts from a fresh instrument on the engine page, runs its setup, then the keys.
struct Sequence {
    const char* name;
    std::function<void()> setup;
    const char* keys;
    std::function<void()> check;
};

TEST_F(Popups, KeySequences)
{
    // A calculated 80.0 L tank holding 45.5 L, counted in tenths of a litre.
    const auto tenthLitreTank = [] {
        settings.tankLitreResolution = 1;
        settings.tank1Source = 1;
        settings.tank1Size = 800;
        fuelLevel[0] = 455;
        openFuelRefill(1);
        showPopup(fuelRefillTank1Popup);
    };
    const Sequence cases[] = {
        {"timer hours 0 minus wraps to 9, minute tens 5 plus wraps to 0",
         [] { stopwatchPreset = 5 * 60 * 10; openTimerPopup(); showPopup(timerPopup); }, "-p+",
         [] { EXPECT_EQ(stopwatchPreset, 9u * 3600); EXPECT_EQ(editDigits[1], 0); }},
        {"timer 9:59:59 is 35999 s", [] { openTimerPopup(); showPopup(timerPopup); }, "-p-p-p-p-",
         [] { EXPECT_EQ(stopwatchPreset, 35999u); EXPECT_EQ(cursorLine, 4); }},
        {"timer digit selection wraps after the last", [] { openTimerPopup(); showPopup(timerPopup); }, "ppppp+",
         [] { EXPECT_EQ(stopwatchPreset, 3600u); }},
        {"timer started counts up on the slow step", [] { openTimerPopup(); showPopup(timerPopup); }, "23sss",
         [] {
             EXPECT_EQ(stopwatchEnabled, 1);
             EXPECT_EQ(stopwatchRunning, 1);
             EXPECT_EQ(stopwatchSeconds, 3u);
         }},
        {"timer reset loads the preset, stop holds it", [] { stopwatchPreset = 90; openTimerPopup(); showPopup(timerPopup); },
         "43ss34", [] { EXPECT_EQ(stopwatchSeconds, 90u); EXPECT_EQ(stopwatchRunning, 0); }},
        {"knob plus on MENU wraps to EXIT", nullptr, "p-+",
         [] { EXPECT_EQ(cursorLine, menuItemCount - 1); EXPECT_EQ(overlayScreen, quickMenuScreen); }},
        {"knob minus on EXIT wraps to MENU", nullptr, "p-", [] { EXPECT_EQ(cursorLine, 0); }},
        {"menu open 9 slow steps after opening", nullptr, "psssssssss", [] { EXPECT_EQ(overlayTimeout, 1); }},
        {"menu closed 10 slow steps after opening", nullptr, "pssssssssss", [] { EXPECT_EQ(overlayTimeout, 0); }},
        {"a cursor move renews the menu's timeout", nullptr, "psssss+sssssssss", [] { EXPECT_EQ(overlayTimeout, 1); }},
        {"EXIT closes the menu", nullptr, "pp", [] { EXPECT_EQ(overlayTimeout, 0); }},
        {"MENU opens the main menu", nullptr, "p-p", [] { EXPECT_EQ(currentScreen, mainMenuScreen); }},
        {"START FLIGHT starts a flight and closes", nullptr, "p+p",
         [] { EXPECT_EQ(flightInProgress, 1); EXPECT_EQ(overlayTimeout, 0); }},
        {"STOP FLIGHT stops it", [] { flightInProgress = 1; }, "p+p", [] { EXPECT_EQ(flightInProgress, 0); }},
        {"page 3 menu: CHECKLISTS leaves the menu for the browser", [] { homePage = 3; }, "p++p",
         [] { EXPECT_EQ(menuItemCount, 5); EXPECT_EQ(overlayTimeout, 0); }},
        {"pages 1 and 2: three items", [] { homePage = 2; }, "p", [] { EXPECT_EQ(menuItemCount, 3); }},
        {"lean mode ends cruise mode", [] { leanDeltaMode = 1; showPopup(leanModePopup); }, "2",
         [] { EXPECT_EQ(leanActive, 1); EXPECT_EQ(leanDeltaMode, 0); EXPECT_EQ(overlayTimeout, 0); }},
        {"cruise mode ends lean mode", [] { leanActive = 1; showPopup(cruiseModePopup); }, "2",
         [] { EXPECT_EQ(leanActive, 0); EXPECT_EQ(leanDeltaMode, 1); EXPECT_EQ(overlayTimeout, 0); }},
        {"lean mode off again", [] { leanActive = 1; showPopup(leanModePopup); }, "2", [] { EXPECT_EQ(leanActive, 0); }},
        {"cruising speed digits", [] { settings.cruiseSpeed = 105; openCruiseSpeedPopup(); showPopup(cruiseSpeedPopup); },
         "p+p-", [] { EXPECT_EQ(+settings.cruiseSpeed, 114); }},
        {"refill limited to the tank size",
         [] { settings.tank1Source = 1; settings.tank1Size = 45; openFuelRefill(1); showPopup(fuelRefillTank1Popup); },
         "+p++1",
         [] {
             EXPECT_EQ(refillLevel[0], 45);
             EXPECT_EQ(fuelRemainingPulses[0], 7000 * 45);
             EXPECT_EQ(overlayTimeout, 0);
         }},
        {"refill EXIT without a change keeps the level (litres)",
         [] { settings.tank1Source = 1; fuelLevel[0] = 37; openFuelRefill(1); showPopup(fuelRefillTank1Popup); }, "1",
         [] { EXPECT_EQ(refillLevel[0], 37); EXPECT_EQ(fuelRemainingPulses[0], 7000 * 37); }},
        {"refill EXIT without a change keeps the level (gallons)",
         [] {
             settings.fuelUnit = 1;
             settings.tank1Source = 1;
             settings.tank1Size = 450;
             fuelLevel[0] = 125;
             openFuelRefill(1);
             showPopup(fuelRefillTank1Popup);
         },
         "1", [] { EXPECT_EQ(fuelRemainingPulses[0], static_cast<int32_t>(scaledK(7000) * 125 / 10)); }},
        {"refill EXIT without a change keeps the level (0.1 L)", tenthLitreTank, "1",
         [] { EXPECT_EQ(fuelRemainingPulses[0], 7000 * 455 / 10); }},
        {"refill FULL fills a 0.1 L tank", tenthLitreTank, "2", [] { EXPECT_EQ(fuelRemainingPulses[0], 7000 * 80); }},
        {"refill of a level above 999 takes its first three digits",
         [] { settings.tank1Source = 1; fuelLevel[0] = 1234; openFuelRefill(1); }, "",
         [] { EXPECT_EQ(refillLevel[0], 123); }},
        {"FULL fills tank 1 and closes",
         [] { settings.tank1Source = 1; settings.tank2Source = 0; openFuelRefill(1); showPopup(fuelRefillTank1Popup); },
         "2", [] { EXPECT_EQ(fuelRemainingPulses[0], 7000 * 45); EXPECT_EQ(overlayTimeout, 0); }},
        {"tank 1 leads on to tank 2 when both are calculated",
         [] {
             settings.tank1Source = settings.tank2Source = 1;
             fuelLevel[1] = 20;
             openFuelRefill(1);
             showPopup(fuelRefillTank1Popup);
         },
         "1",
         [] {
             EXPECT_EQ(overlayScreen, fuelRefillTank2Popup);
             EXPECT_NE(overlayTimeout, 0);
             EXPECT_EQ(refillLevel[1], 20);
             EXPECT_EQ(cursorLine, 0);
         }},
        {"FUEL REFILL item opens the calculated tank",
         [] { settings.tank1Source = 2; settings.tank2Source = 1; settings.flow2On = 1; settings.flow1On = 0; updateFuelLayout(); },
         "p++p", [] { EXPECT_EQ(overlayScreen, fuelRefillTank2Popup); }},
        {"RESET clears the totals and stays open",
         [] { fuelUsedPulses[0] = 70000; fuelUsed[0] = 10; showPopup(fuelTotalsPopup); }, "2",
         [] {
             EXPECT_EQ(fuelUsedPulses[0], 0u);
             EXPECT_EQ(fuelUsed[0], 0);
             EXPECT_EQ(overlayTimeout, 10);
             EXPECT_EQ(overlayScreen, fuelTotalsPopup);
         }},
        {"MIN/MAX item, then EXIT", nullptr, "p---p", [] { EXPECT_EQ(overlayScreen, minMaxPopup); }},
        {"unused keys are cleared without effect", [] { showPopup(backlightPopup); }, "2345",
         [] { EXPECT_EQ(overlayScreen, backlightPopup); EXPECT_EQ(homePage, 0); }},
    };
    for (const Sequence& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.setup) c.setup();
        pressAll(c.keys);
        c.check();
    }
}

// Unrepaired random settings and extreme fuel values: every menu and pop-up takes every key.
TEST_F(Popups, RandomSettingsNeverUpsetThePopups)
{
    void (*const popups[])() = {quickMenuScreen, pageMenuScreen, informationMenuScreen, backlightPopup, timerPopup,
                                leanModePopup, cruiseModePopup, cruiseSpeedPopup, fuelRefillTank1Popup,
                                fuelRefillTank2Popup, fuelTotalsPopup, minMaxPopup};
    std::mt19937 random(4806);
    for (int round = 0; round < 100; ++round) {
        auto* bytes = reinterpret_cast<uint8_t*>(&settings);
        for (size_t i = 0; i < sizeof settings; ++i) bytes[i] = static_cast<uint8_t>(random());
        fuelLayout = static_cast<uint8_t>(random() % 16);
        fuelLevel[0] = fuelLevel[1] = static_cast<uint16_t>(random());
        fuelUsedPulses[0] = fuelUsedPulses[1] = static_cast<uint32_t>(random());
        stopwatchPreset = static_cast<uint32_t>(random());
        cursorLine = static_cast<uint8_t>(random());
        openTimerPopup();
        openFuelRefill(static_cast<int>(random() % 3));
        for (void (*const popup)() : popups)
            for (char key : std::string("+-p12345s")) {
                showPopup(popup);
                press(key);
            }
    }
    currentScreen = homeScreen;
}

}  // namespace

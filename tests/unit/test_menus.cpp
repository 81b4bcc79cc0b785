// The MAIN MENU, EMS SETUP, MISCELLANEOUS SETUP, the registration editor and ADC VALUES: golden
// screens, key sequences through the menus, and saving and recalling the settings file from them.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "card_support.h"
#include "device.h"
#include "display/framebuffer.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "engine/setup_screens.h"
#include "engine/thermocouples.h"
#include "golden_support.h"
#include "scenario/scenario.h"
#include "settings/menus.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "time/data_recording.h"
#include "time/flight_log.h"
#include "time/ecu_co.h"
#include "ui/home.h"
#include "ui/question_screen.h"
#include "ui/screen.h"

namespace fs = std::filesystem;

namespace {

const char* screenName(ScreenFunction s)
{
    const struct { ScreenFunction screen; const char* name; } kNames[] = {
        {homeScreen, "home"}, {mainMenuScreen, "main menu"}, {emsSetupScreen, "EMS setup"},
        {miscSetupScreen, "misc setup"}, {registrationScreen, "registration"}, {adcValuesScreen, "ADC values"},
        {messageScreen, "message"}, {sdCardMessageScreen, "SD card message"},
        {flightLogMenuScreen, "flight log"}, {dataRecordingSetupScreen, "data recording setup"},
    };
    for (const auto& n : kNames)
        if (n.screen == s) return n.name;
    return "another screen";
}

// One pass per key: '+' and '-' turn the knob, 'p' presses it, '1'..'5' the push buttons.
void press(const std::string& keys)
{
    for (const char k : keys) {
        pendingKey = static_cast<uint8_t>(k == '+' ? KeyKnobPlus : k == '-' ? KeyKnobMinus
                                                              : k == 'p'   ? KeyKnobPress
                                                                           : k - '0');
        currentScreen();
        ASSERT_EQ(pendingKey, KeyNone) << "key " << k << " left pending";
    }
}

// A pass without a key, drawing the state the keys left.
void draw() { currentScreen(); }

std::vector<uint8_t> settingsImage()
{
    const auto* p = reinterpret_cast<const uint8_t*>(&settings);
    return {p, p + sizeof settings};
}

class Menus : public testing::Test {
protected:
    fs::path card;

    void SetUp() override
    {
        resetDevice();
        buildTrigTables();
        loadDefaultSettings();
        card = freshCardFolder("menus_card_");
        sdCardPresent = 1;
        ecuLinkPresent = 0;
        listTop = editMode = 0;
        stepMultiplier = 1;
    }
    void TearDown() override
    {
        resetDevice();
        fs::remove_all(card);
    }
    void open(ScreenFunction screen, uint8_t cursor)
    {
        currentScreen = screen;
        cursorLine = cursor;
    }
};

TEST_F(Menus, KeySequences)
{
    const struct Case {
        ScreenFunction start;
        uint8_t cursor;
        const char* registration;  // before the keys; nullptr: the default
        const char* keys;
        ScreenFunction screen;
        uint8_t cursorAfter;
        const char* registrationAfter;  // nullptr: not checked
    } kCases[] = {
        {mainMenuScreen, 0, nullptr, "-", mainMenuScreen, 6, nullptr},
        {mainMenuScreen, 6, nullptr, "+", mainMenuScreen, 0, nullptr},
        {mainMenuScreen, 0, nullptr, "p", flightLogMenuScreen, 0, nullptr},
        {mainMenuScreen, 4, nullptr, "p", dataRecordingSetupScreen, 0, nullptr},
        {mainMenuScreen, 3, nullptr, "2345", mainMenuScreen, 3, nullptr},
        {mainMenuScreen, 1, nullptr, "p", emsSetupScreen, 0, nullptr},
        {mainMenuScreen, 5, nullptr, "p", miscSetupScreen, 0, nullptr},
        {mainMenuScreen, 6, nullptr, "p", adcValuesScreen, 0, nullptr},
        {mainMenuScreen, 4, nullptr, "1", homeScreen, 4, nullptr},
        {emsSetupScreen, 3, nullptr, "5", emsSetupScreen, 8, nullptr},
        {emsSetupScreen, 12, nullptr, "5", emsSetupScreen, 7, nullptr},
        {emsSetupScreen, 7, nullptr, "+", emsSetupScreen, 8, nullptr},
        {emsSetupScreen, 14, nullptr, "+", emsSetupScreen, 0, nullptr},
        {emsSetupScreen, 0, nullptr, "-", emsSetupScreen, 14, nullptr},
        {emsSetupScreen, 9, nullptr, "p", senderSetupScreen, 0, nullptr},
        {emsSetupScreen, 9, nullptr, "2", mainMenuScreen, 1, nullptr},
        {miscSetupScreen, 0, nullptr, "-", miscSetupScreen, 3, nullptr},
        {miscSetupScreen, 3, nullptr, "+", miscSetupScreen, 0, nullptr},
        {miscSetupScreen, 2, nullptr, "2", mainMenuScreen, 5, nullptr},
        {miscSetupScreen, 0, nullptr, "p", registrationScreen, 0, nullptr},
        {adcValuesScreen, 0, nullptr, "+", adcValuesScreen, 1, nullptr},
        {adcValuesScreen, 0, nullptr, "-", adcValuesScreen, 1, nullptr},
        {adcValuesScreen, 1, nullptr, "+", adcValuesScreen, 0, nullptr},
        {adcValuesScreen, 1, nullptr, "2", mainMenuScreen, 6, nullptr},
        {registrationScreen, 0, "~BCDEFGH", "+", registrationScreen, 0, " BCDEFGH"},
        {registrationScreen, 1, "A BCDEFG", "-", registrationScreen, 1, "A~BCDEFG"},
        {registrationScreen, 0, "\xc8" "BCDEFGH", "-", registrationScreen, 0, "~BCDEFGH"},
        {registrationScreen, 0, "\x05" "BCDEFGH", "+", registrationScreen, 0, " BCDEFGH"},
        {registrationScreen, 0, nullptr, "+p+p+p+p+p+p+p+p", miscSetupScreen, 0, "SFH!OP!!"},
        {registrationScreen, 5, nullptr, "+2", miscSetupScreen, 0, "REG NP  "},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(screenName(c.start)) + " at " + std::to_string(c.cursor) + ", keys " + c.keys);
        loadDefaultSettings();
        if (c.registration) std::memcpy(settings.aircraftRegistration, c.registration, 8);
        open(c.start, c.cursor);
        press(c.keys);
        EXPECT_STREQ(screenName(currentScreen), screenName(c.screen));
        EXPECT_EQ(cursorLine, c.cursorAfter);
        if (c.registrationAfter) {
            EXPECT_EQ(std::string(settings.aircraftRegistration, 8), c.registrationAfter);
        }
        EXPECT_EQ(+settings.aircraftRegistration[8], '\0');
    }
}

TEST_F(Menus, ZedaProtocolFlipsOnlyInEditMode)
{
    open(miscSetupScreen, 3);
    press("p+");
    EXPECT_EQ(+settings.zedaProtocol, 1);
    draw();
    EXPECT_TRUE(framebufferMatchesGolden("menus/misc_setup_protocol_edit"));
    press("-");
    EXPECT_EQ(+settings.zedaProtocol, 0);
    press("p+");
    EXPECT_EQ(+settings.zedaProtocol, 0);
    EXPECT_EQ(cursorLine, 0);
}

// Every tile opens its screen, and BACK from that screen comes back to the same tile: seven on
// the MAIN MENU, fifteen on EMS SETUP (the four sender tiles by the input each one selects).
TEST_F(Menus, BackReturnsToTheTileThatOpenedTheScreen)
{
    const struct {
        ScreenFunction menu;
        int tiles;
    } kMenus[] = {{mainMenuScreen, 7}, {emsSetupScreen, 15}};
    for (const auto& [menu, tiles] : kMenus)
        for (int tile = 0; tile < tiles; ++tile) {
            SCOPED_TRACE(std::string(screenName(menu)) + " tile " + std::to_string(tile));
            currentScreen = menu;
            cursorLine = static_cast<uint8_t>(tile);
            editMode = 0;
            press("p");
            EXPECT_NE(currentScreen, menu);
            press("2");
            EXPECT_EQ(currentScreen, menu);
            EXPECT_EQ(cursorLine, tile);
            EXPECT_EQ(editMode, 0);
        }
}

TEST_F(Menus, SaveWithoutCardWritesNothingAndComesBack)
{
    sdCardPresent = 0;
    open(miscSetupScreen, 1);
    press("p");
    EXPECT_STREQ(screenName(currentScreen), "SD card message");
    EXPECT_TRUE(fs::is_empty(card));
    press("1");
    EXPECT_STREQ(screenName(currentScreen), "misc setup");
}

TEST_F(Menus, SaveThenRecallThroughTheMenusRestoresTheRecord)
{
    open(mainMenuScreen, 5);
    press("p+p");  // MISC SETUP, "SAVE SETTINGS TO SD CARD"
    EXPECT_STREQ(screenName(currentScreen), "message");
    const std::vector<uint8_t> saved = settingsImage();
    press("6");
    EXPECT_STREQ(screenName(currentScreen), "misc setup");
    press("-p++2");  // the registration's first character, then back
    ASSERT_NE(settingsImage(), saved);
    press("++p");  // "RECALL SETTINGS FROM SD CARD"
    EXPECT_STREQ(screenName(currentScreen), "message");
    EXPECT_EQ(settingsImage(), saved);
    std::ifstream file(card / SETTINGS_FILE_NAME, std::ios::binary);
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {}), saved);
}

TEST_F(Menus, GoldenScreens)
{
    for (uint8_t i = 0; i < 12; ++i) tcInput[i] = static_cast<int16_t>(600 + 11 * i);
    cjcTemp = 23;
    mapInput = 1300;
    rawVolts = 1980;
    rawCurrent = 2600;
    rpmPeriod = 620;
    rawOat = 2330;
    rawFuelFlow[0] = 110;
    rawFuelFlow[1] = 40;
    rawFuelLevel[0] = 560;
    rawFuelLevel[1] = 470;
    rawFuelPressure = 1500;
    for (uint8_t i = 0; i < 4; ++i) rawAnalog[i] = static_cast<uint16_t>(1900 + 100 * i);
    std::memcpy(settings.aircraftRegistration, "G-A BCD ", 8);

    const struct { ScreenFunction screen; uint8_t cursor; uint8_t ecuLink; const char* golden; } kShots[] = {
        {mainMenuScreen, 5, 0, "menus/main_menu_misc"},
        {emsSetupScreen, 3, 0, "menus/ems_setup_page1_cht"},
        {emsSetupScreen, 13, 0, "menus/ems_setup_page2_co"},
        {emsSetupScreen, 8, 1, "menus/ems_setup_page2_coolant"},
        {miscSetupScreen, 1, 0, "menus/misc_setup_save"},
        {registrationScreen, 3, 0, "menus/registration_space"},
        {adcValuesScreen, 0, 0, "menus/adc_values_page1"},
        {adcValuesScreen, 1, 0, "menus/adc_values_page2"},
    };
    for (const auto& shot : kShots) {
        SCOPED_TRACE(shot.golden);
        ecuLinkPresent = shot.ecuLink;
        open(shot.screen, shot.cursor);
        draw();
        EXPECT_TRUE(framebufferMatchesGolden(shot.golden));
    }
}

// The confirmation helper, with a question of its own.
int answers = 0, yesAnswers = 0;
void answer(bool yes)
{
    ++answers;
    yesAnswers += yes ? 1 : 0;
}
const Question kQuestion = {.menuName = "CURRENT SETUP", .screenName = "ZERO CURRENT SENSOR",
                            .line2 = "ZERO THE CURRENT SENSOR", .answer = answer};
void questionScreen() { runQuestionScreen(kQuestion); }

TEST_F(Menus, QuestionTogglesAndAnswers)
{
    answers = yesAnswers = 0;
    open(questionScreen, 0);
    press("+");
    draw();
    EXPECT_TRUE(framebufferMatchesGolden("menus/question_yes"));
    press("12345-");
    EXPECT_EQ(cursorLine, 0);
    EXPECT_EQ(answers, 0);
    press("p+p");
    EXPECT_EQ(answers, 2);
    EXPECT_EQ(yesAnswers, 1);
}

}  // namespace

// The engine computer page and CO MONITOR SETUP: key sequences from the EMS SETUP tiles, the CO
// type and its effect on the second home page, the reset command's byte order, the status words'
// bit groups and the command as the host shows it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device.h"
#include "key_press.h"
#include "scenario/scenario.h"
#include "settings/menus.h"
#include "settings/settings.h"
#include "time/ecu_co.h"
#include "ui/screen.h"

namespace {

const char* screenName(ScreenFunction s)
{
    const struct { ScreenFunction screen; const char* name; } kNames[] = {
        {homeScreen, "home"}, {emsSetupScreen, "EMS setup"}, {ecuScreen, "engine computer"},
        {coMonitorSetupScreen, "CO monitor setup"}, {messageScreen, "message"},
    };
    for (const auto& n : kNames)
        if (n.screen == s) return n.name;
    return "another screen";
}

TEST(EcuCo, KeySequences)
{
    const struct Case {
        ScreenFunction start;
        uint8_t cursor;
        uint8_t coType;
        const char* keys;
        const char* screen;
        uint8_t cursorAfter;
        uint8_t coTypeAfter;
        uint8_t editModeAfter;
    } kCases[] = {
        {emsSetupScreen, 13, 0, "p", "CO monitor setup", 0, 0, 0},
        {emsSetupScreen, 14, 0, "p", "engine computer", 0, 0, 0},
        {ecuScreen, 0, 0, "2", "EMS setup", 14, 0, 0},
        {ecuScreen, 0, 0, "1", "home", 0, 0, 0},
        {ecuScreen, 0, 0, "+-p345", "engine computer", 0, 0, 0},
        {coMonitorSetupScreen, 0, 0, "2", "EMS setup", 13, 0, 0},
        {coMonitorSetupScreen, 0, 0, "1", "home", 0, 0, 0},
        {coMonitorSetupScreen, 0, 0, "+", "CO monitor setup", 0, 0, 0},  // NONE: the selection stays
        {coMonitorSetupScreen, 0, 0, "p+", "CO monitor setup", 0, 1, 1},
        {coMonitorSetupScreen, 0, 1, "p-p", "CO monitor setup", 0, 0, 0},
        {coMonitorSetupScreen, 0, 1, "+", "CO monitor setup", 1, 1, 0},
        {coMonitorSetupScreen, 0, 1, "++", "CO monitor setup", 0, 1, 0},
        {coMonitorSetupScreen, 0, 1, "-p", "message", 1, 1, 0},
        {coMonitorSetupScreen, 0, 1, "-p3", "CO monitor setup", 1, 1, 0},
        {coMonitorSetupScreen, 1, 0, "", "CO monitor setup", 0, 0, 0},  // a stale row 1 without a detector
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(screenName(c.start)) + " at " + std::to_string(c.cursor) + ", keys " + c.keys);
        loadDefaultSettings();
        settings.coMonitorType = c.coType;
        settings.secondHomePageOn = 1;
        editMode = 0;
        currentScreen = c.start;
        cursorLine = c.cursor;
        press(c.keys);
        if (*c.keys == '\0') currentScreen();
        EXPECT_STREQ(screenName(currentScreen), c.screen);
        EXPECT_EQ(cursorLine, c.cursorAfter);
        EXPECT_EQ(+settings.coMonitorType, c.coTypeAfter);
        EXPECT_EQ(editMode, c.editModeAfter);
        EXPECT_EQ(+settings.secondHomePageOn, c.coTypeAfter == 1 && c.coType == 0 ? 0 : 1);
    }
    currentScreen = homeScreen;
}

TEST(EcuCo, ResetCommandIsStoredLastCharacterFirst)
{
    clearEcuCoData();
    char text[64];
    EXPECT_STREQ(coCommandAsSent(text, sizeof text), "");
    placeCoResetCommand();
    EXPECT_EQ(coCommand[0], '\n');
    EXPECT_EQ(coCommand[1], '\r');
    EXPECT_EQ(coCommand[2], 'S');
    EXPECT_EQ(coCommand[11], '$');
    EXPECT_STREQ(coCommandAsSent(text, sizeof text), "$PCOG452RS<CR><LF>");
    EXPECT_STREQ(coCommandAsSent(text, 6), "$PCOG");
}

TEST(EcuCo, StatusWordsInGroupsOfEight)
{
    const struct { uint32_t word; const char* text; } kCases[] = {
        {1, "00000000 00000000 00000000 00000001"},
        {0x80000000u, "10000000 00000000 00000000 00000000"},
        {0x12345678u, "00010010 00110100 01010110 01111000"},
    };
    for (const auto& c : kCases) {
        char text[36];
        formatStatusBits(c.word, text);
        EXPECT_STREQ(text, c.text);
    }
}

TEST(EcuCo, PowerOnForgetsTheLinkAndTheIdentityButKeepsTheData)
{
    clearEcuCoData();
    ecuLinkPresent = 1;
    ecuEngineStatus = 7;
    std::memcpy(coModel, "CG1", 4);
    devicePowerOn();
    EXPECT_EQ(ecuLinkPresent, 0);
    EXPECT_STREQ(coModel, "---");
    EXPECT_STREQ(coSerialNumber, "------");
    EXPECT_STREQ(coSoftwareVersion, "-.--");
    EXPECT_EQ(ecuEngineStatus, 7u);
    EXPECT_EQ(coUnitFault, 1);
    resetDevice();
}

}  // namespace

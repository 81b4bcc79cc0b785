// The home screen's rules: page availability and stepping, lean and cruise ending on a page
// change, the right-hand widget table, sender slots with NTC CHTs, and the document view.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "device.h"
#include "engine/thermocouples.h"
#include "settings/settings.h"
#include "test_support.h"
#include "ui/engine_page.h"
#include "ui/home.h"
#include "ui/screen.h"

namespace {

class Home : public testing::Test {
protected:
    void SetUp() override
    {
        resetDevice();
    }
    static void press(uint8_t key)
    {
        pendingKey = key;
        homeScreen();
        EXPECT_EQ(pendingKey, KeyNone);
    }
};

TEST_F(Home, SteppingSkipsDisabledPagesBothWays)
{
    struct Case {
        uint8_t secondPage, gps, from, key, want;
    } cases[] = {
        {0, 0, 0, KeySoft5, 3}, {0, 0, 3, KeySoft1, 0}, {0, 0, 0, KeySoft1, 3}, {0, 0, 3, KeySoft5, 0},
        {1, 0, 0, KeySoft5, 1}, {1, 0, 1, KeySoft5, 3}, {0, 1, 0, KeySoft5, 2}, {0, 1, 3, KeySoft1, 2},
        {1, 1, 2, KeySoft1, 1}, {1, 1, 1, KeySoft1, 0},
    };
    for (const Case& c : cases) {
        settings.secondHomePageOn = c.secondPage;
        settings.gpsMode = c.gps;
        homePage = c.from;
        press(c.key);
        EXPECT_EQ(homePage, c.want) << int(c.from) << " key " << int(c.key);
    }
}

TEST_F(Home, LeavingTheEnginePageEndsLeanAndCruiseAndResetsTheSelections)
{
    settings.egtChannels = 4;
    settings.gpsMode = 0;
    settings.secondHomePageOn = 0;
    leanActive = 1;
    egtSelected = 2;
    chtSelected = 7;
    press(KeySoft5);
    EXPECT_EQ(homePage, 3);
    EXPECT_EQ(leanActive, 0);
    EXPECT_EQ(egtSelected, 0);
    EXPECT_EQ(chtSelected, 4);
    leanDeltaMode = 1;
    press(KeySoft5);  // back to page 0: modes stay off, nothing restores them
    EXPECT_EQ(homePage, 0);
    EXPECT_EQ(leanDeltaMode, 1);  // only leaving page 0 ends them
}

TEST_F(Home, AnOpenPopUpDrawsOverThePageAndTheUnusedKeysAreDiscarded)
{
    static int drawn = 0;
    drawn = 0;
    overlayScreen = [] { ++drawn; };
    overlayTimeout = 3;
    for (const uint8_t key : {KeySoft2, KeySoft3, KeySoft4, KeyKnobPlus}) press(key);
    EXPECT_EQ(drawn, 4);
    EXPECT_EQ(homePage, 0);
    overlayTimeout = 0;
    press(KeyNone);
    EXPECT_EQ(drawn, 4);
}

TEST_F(Home, DocumentCursorStaysWithinTheLoadedLines)
{
    homePage = 3;
    infoDisplayMode = 2;
    documentLineCount = 3;
    for (int i = 0; i < 5; ++i) press(KeyKnobPlus);
    EXPECT_EQ(documentCursor, 2);
    for (int i = 0; i < 5; ++i) press(KeyKnobMinus);
    EXPECT_EQ(documentCursor, 0);
    documentLineCount = 0;
    press(KeyKnobPlus);
    EXPECT_EQ(documentCursor, 0);
}

TEST_F(Home, LongDocumentsScrollKeepingTheSelectedLineThirteenth)
{
    homePage = 3;
    infoDisplayMode = 2;
    documentLineCount = 30;
    for (int i = 0; i < 30; ++i) std::snprintf(documentText[i], 60, "LINE %d", i);
    documentCursor = 20;
    homeScreen();
    // The selected line is red on the 13th row (y 240).
    bool redOnLastRow = false;
    for (int x = 0; x < 200; ++x)
        for (int y = 240; y < 260; ++y) redOnLastRow |= pixelAt(x, y) == COLOUR_RED;
    EXPECT_TRUE(redOnLastRow);
}

TEST_F(Home, SenderSlotsWithNtcChtProbes)
{
    struct Case {
        uint8_t f1, f2, f3, f4, chtProbe, chtChannels;
        std::vector<uint8_t> want;
    } cases[] = {
        {2, 1, 1, 3, 0, 2, {0, 1, 2, 3}},
        {0, 1, 0, 3, 0, 2, {1, 3}},
        {2, 1, 1, 3, 3, 2, {0, 1}},
        {2, 1, 1, 3, 3, 1, {0, 1, 3}},
        {0, 0, 0, 0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        settings.oilTempFunction = c.f1, settings.oilPressureFunction = c.f2;
        settings.aux13Function = c.f3, settings.aux24Function = c.f4;
        settings.chtProbe = c.chtProbe, settings.chtChannels = c.chtChannels;
        uint8_t slots[4];
        const int n = shownSenderSlots(slots);
        EXPECT_EQ(std::vector<uint8_t>(slots, slots + n), c.want);
    }
}

TEST_F(Home, RightHandWidgetTable)
{
    using enum RightWidget;
    const uint8_t slots[4] = {0, 1, 2, 3};
    struct Case {
        WidgetColumns columns;
        int n;
        bool amps;
        std::vector<WidgetPlacement> want;
    } cases[] = {
        {WidgetColumns::Wide, 0, false, {{Volts, 0, 80, 93, 130, 10}, {Oat, 0, 275, 93, 130, 10}}},
        {WidgetColumns::Double, 0, true, {{Volts, 0, 258, 65, 97, 8}, {Oat, 0, 378, 65, 97, 8}, {Amps, 0, 258, 117, 97, 8}}},
        {WidgetColumns::Wide, 1, false, {{Volts, 0, 20, 93, 120, 8}, {Oat, 0, 185, 93, 120, 8}, {Slot, 0, 340, 93, 120, 8}}},
        {WidgetColumns::Single, 1, true,
         {{Volts, 0, 165, 65, 120, 8}, {Oat, 0, 325, 65, 120, 8}, {Amps, 0, 165, 117, 130, 8}, {Slot, 0, 325, 117, 120, 8}}},
        {WidgetColumns::Double, 2, true,
         {{Volts, 0, 258, 54, 97, 8}, {Amps, 0, 258, 93, 97, 8}, {Oat, 0, 258, 131, 97, 8}, {Slot, 0, 378, 54, 97, 8},
          {Slot, 1, 378, 93, 97, 8}}},
        {WidgetColumns::Single, 4, true,
         {{Volts, 0, 165, 54, 120, 8}, {Amps, 0, 165, 93, 120, 8}, {Slot, 0, 165, 131, 120, 8},
          {Slot, 1, 325, 54, 120, 8}, {Slot, 2, 325, 93, 120, 8}, {Slot, 3, 325, 131, 120, 8}}},
    };
    for (const Case& c : cases) {
        WidgetPlacement out[8];
        const int count = placeRightWidgets(c.columns, c.n, c.amps, slots, out);
        ASSERT_EQ(count, static_cast<int>(c.want.size())) << c.n << " " << c.amps;
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(out[i].widget, c.want[i].widget) << c.n << " " << c.amps << " #" << i;
            EXPECT_EQ(out[i].slot, c.want[i].slot) << c.n << " " << c.amps << " #" << i;
            EXPECT_EQ(out[i].x, c.want[i].x) << c.n << " " << c.amps << " #" << i;
            EXPECT_EQ(out[i].y, c.want[i].y) << c.n << " " << c.amps << " #" << i;
            EXPECT_EQ(out[i].width, c.want[i].width) << c.n << " " << c.amps << " #" << i;
            EXPECT_EQ(out[i].height, c.want[i].height) << c.n << " " << c.amps << " #" << i;
        }
    }
}

TEST_F(Home, EveryWidgetCountPlacesEveryShownSlotOnce)
{
    const uint8_t slots[4] = {3, 2, 1, 0};
    for (const auto columns : {WidgetColumns::Wide, WidgetColumns::Single, WidgetColumns::Double})
        for (int n = 0; n <= 4; ++n)
            for (const bool amps : {false, true}) {
                WidgetPlacement out[8];
                const int count = placeRightWidgets(columns, n, amps, slots, out);
                int slotCount = 0, oat = 0, ampsCount = 0;
                for (int i = 0; i < count; ++i) {
                    slotCount += out[i].widget == RightWidget::Slot;
                    oat += out[i].widget == RightWidget::Oat;
                    ampsCount += out[i].widget == RightWidget::Amps;
                    EXPECT_LE(out[i].x + out[i].width, 480);
                }
                EXPECT_EQ(slotCount, n);
                EXPECT_EQ(ampsCount, amps ? 1 : 0);
                EXPECT_EQ(oat, n == 4 && amps ? 0 : 1);  // displaced to the corner only then
            }
}

TEST_F(Home, SdCardMessageReturnsOnAnyKey)
{
    returnScreen = mainMenuScreen;
    currentScreen = sdCardMessageScreen;
    sdCardMessageScreen();
    EXPECT_EQ(currentScreen, sdCardMessageScreen);
    EXPECT_EQ(pixelAt(151, 97), COLOUR_RED);
    pendingKey = KeyKnobMinus;
    sdCardMessageScreen();
    EXPECT_EQ(currentScreen, mainMenuScreen);
    EXPECT_EQ(pendingKey, KeyNone);
}

}  // namespace

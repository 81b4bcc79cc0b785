// Golden screens of the screen framework: the message screen, a list-type setup screen in its
// three states, and the shared symbols (pop-up key bar, tile frames, arrows, knob).
#include <gtest/gtest.h>

#include <cstdio>

#include "display/framebuffer.h"
#include "golden_support.h"
#include "ui/list_screen.h"
#include "ui/screen.h"

namespace {

int32_t demo[16] = {145, 300, 1, 150, 140, 120, 1, 110, 100, 5, 0, 2, 7, 1, 0, 3};
const char* const kUnits[] = {"PSI", "BAR"};

void tenths(char* text, size_t size, int32_t v) { std::snprintf(text, size, "%.1fV", v * 0.1); }
void percent(char* text, size_t size, int32_t v) { std::snprintf(text, size, "%d%% 14.2V", static_cast<int>(v)); }

template <int I> int32_t get() { return demo[I]; }
template <int I> void set(int32_t v) { demo[I] = v; }

const ListLine kVoltsLines[] = {
    {.label = "DISPLAY MAX: ", .get = get<0>, .set = set<0>, .min = 80, .max = 300, .format = tenths,
     .steps = &stepsTenthsOneTen},
    {.label = "DISPLAY MIN: ", .get = get<1>, .set = set<1>, .min = 80, .max = 300, .format = tenths,
     .steps = &stepsTenthsOneTen},
    {.label = "HIGH ALARM: ", .kind = LineKind::OnOff, .get = get<2>, .set = set<2>, .max = 1},
    {.label = "HIGH ALARM: ", .get = get<3>, .set = set<3>, .min = 80, .max = 300, .format = tenths,
     .steps = &stepsTenthsOneTen},
    {.label = "HIGH CAUTION: ", .get = get<4>, .set = set<4>, .min = 80, .max = 300, .format = tenths,
     .steps = &stepsTenthsOneTen},
    {.label = "LOW CAUTION: ", .get = get<5>, .set = set<5>, .min = 80, .max = 300, .format = tenths,
     .steps = &stepsTenthsOneTen},
    {.label = "LOW ALARM: ", .kind = LineKind::OnOff, .get = get<6>, .set = set<6>, .max = 1},
    {.label = "LOW ALARM: ", .get = get<7>, .set = set<7>, .min = 80, .max = 300, .format = tenths,
     .steps = &stepsTenthsOneTen},
    {.label = "VOLTS CALIBRATION FACTOR: ", .kind = LineKind::Calibration, .get = get<8>, .set = set<8>,
     .min = 50, .max = 150, .format = percent},
};
const ListScreen kVolts = {.menuName = "EMS SETUP", .screenName = "VOLTS SETUP", .lines = kVoltsLines};

ListLine longLines[16];
char longLabels[16][24];

ListScreen longList()
{
    for (int i = 0; i < 16; ++i) {
        std::snprintf(longLabels[i], sizeof longLabels[i], "SETTING %d: ", i + 1);
        longLines[i] = {.label = longLabels[i], .kind = LineKind::Choice, .min = 0, .max = 1, .choices = kUnits};
        longLines[i].get = [] { return int32_t{0}; };
    }
    return {.menuName = "EMS SETUP", .screenName = "LONG LIST", .lines = longLines};
}

class FrameworkScreens : public testing::Test {
protected:
    void SetUp() override
    {
        buildTrigTables();
        cursorLine = listTop = editMode = 0;
        stepMultiplier = 1;
        pendingKey = KeyNone;
    }
};

TEST_F(FrameworkScreens, MessageScreen)
{
    returnScreen = homeScreen;
    messageScreen();
    EXPECT_TRUE(framebufferMatchesGolden("framework/message_done"));
    messageFailed = 1;
    messageScreen();
    EXPECT_TRUE(framebufferMatchesGolden("framework/message_failed"));
    messageFailed = 0;
}

TEST_F(FrameworkScreens, ListCursorOnALine)
{
    cursorLine = 3;
    runListScreen(kVolts);
    EXPECT_TRUE(framebufferMatchesGolden("framework/list_cursor"));
}

TEST_F(FrameworkScreens, ListEditingAValue)
{
    cursorLine = 4;
    editMode = 1;
    stepMultiplier = 10;
    runListScreen(kVolts);
    EXPECT_TRUE(framebufferMatchesGolden("framework/list_editing"));
}

TEST_F(FrameworkScreens, LongListScrolled)
{
    cursorLine = 14;
    runListScreen(longList());
    EXPECT_EQ(listTop, 4);
    EXPECT_TRUE(framebufferMatchesGolden("framework/list_scrolled"));
}

TEST_F(FrameworkScreens, SymbolsAndBars)
{
    drawPageTitle("MAIN MENU", "SYMBOLS");
    drawTileFrame(1);
    drawTileFrame(6);
    drawLeftArrow(240);
    drawRightArrow();
    drawKnobSymbol();
    EXPECT_TRUE(framebufferMatchesGolden("framework/symbols"));
}

TEST_F(FrameworkScreens, PopupKeyBarOverAPage)
{
    clearScreen();
    fillRect(0, 41, 479, 271, 7);  // stands for a home page under the pop-up
    drawPopupKeyBar("TIMER", "EXIT", "RESET", "START", "UP", "DOWN");
    EXPECT_TRUE(framebufferMatchesGolden("framework/popup_key_bar"));
}

}  // namespace

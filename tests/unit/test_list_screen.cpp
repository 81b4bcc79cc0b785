// The list engine: cursor wrap, edit mode, value kinds and limits, step multipliers and labels,
// lines that come and go, scrolling, and every key consumed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>
#include <utility>
#include <string>

#include "display/framebuffer.h"
#include "display/text.h"
#include "device.h"
#include "test_support.h"
#include "ui/list_screen.h"
#include "ui/screen.h"

namespace {

int32_t alarmOn, choice, volts, count, trim, actions, changes, backs, leaves;
const char* const kChoices[] = {"RED", "GREEN", "BLUE"};

void tenthsVolts(char* text, size_t size, int32_t v) { std::snprintf(text, size, "%d.%dV", v / 10, v % 10); }

const ListLine kLines[] = {
    {.label = "HIGH ALARM: ", .kind = LineKind::OnOff, .get = [] { return alarmOn; },
     .set = [](int32_t v) { alarmOn = v; }, .max = 1},
    {.label = "COLOUR: ", .kind = LineKind::Choice, .get = [] { return choice; },
     .set = [](int32_t v) { choice = v; }, .min = 0, .max = 2, .choices = kChoices},
    {.label = "ALARM LEVEL: ", .kind = LineKind::Number, .get = [] { return volts; },
     .set = [](int32_t v) { volts = v; }, .min = 80, .max = 300, .format = tenthsVolts,
     .steps = &stepsTenthsOneTen, .offered = [] { return alarmOn != 0; },
     .changed = [] { ++changes; }},
    {.label = "COUNT: ", .kind = LineKind::Number, .get = [] { return count; },
     .set = [](int32_t v) { count = v; }, .min = 0, .max = 500, .steps = &stepsOneTenHundred,
     .stopAtLimits = true},
    {.label = "TRIM: ", .kind = LineKind::Calibration, .get = [] { return trim; },
     .set = [](int32_t v) { trim = v; }, .min = 50, .max = 150},
    {.label = "RESET", .kind = LineKind::Action, .action = [] { ++actions; }},
};

const ListScreen kScreen = {
    .menuName = "EMS SETUP",
    .screenName = "TEST SETUP",
    .lines = kLines,
    .back = [] { ++backs; },
    .leave = [] { ++leaves; },
};

class ListEngine : public testing::Test {
protected:
    void SetUp() override
    {
        alarmOn = 1, choice = 0, volts = 145, count = 0, trim = 100;
        actions = changes = backs = leaves = 0;
        cursorLine = listTop = editMode = 0;
        stepMultiplier = 1;
        pendingKey = KeyNone;
        currentScreen = mainMenuScreen;
    }

    static void press(uint8_t key, const ListScreen& screen = kScreen)
    {
        pendingKey = key;
        runListScreen(screen);
        EXPECT_EQ(pendingKey, KeyNone) << "key " << int(key) << " not consumed";
    }
    static void moveTo(int line)
    {
        while (cursorLine != line) press(KeyKnobPlus);
    }
};

TEST_F(ListEngine, CursorWrapsAtBothEnds)
{
    press(KeyKnobMinus);
    EXPECT_EQ(cursorLine, 5);
    press(KeyKnobPlus);
    EXPECT_EQ(cursorLine, 0);
    alarmOn = 0;  // the level line goes away: five lines
    press(KeyKnobMinus);
    EXPECT_EQ(cursorLine, 4);
}

TEST_F(ListEngine, ValueKindsChangeAsTheirRulesSay)
{
    struct Case {
        const char* what;
        int line;
        int32_t* value;
        int32_t start;
        uint8_t key;
        int32_t want;
    } cases[] = {
        {"on/off plus toggles", 0, &alarmOn, 1, KeyKnobPlus, 0},
        {"on/off minus toggles", 0, &alarmOn, 1, KeyKnobMinus, 0},
        {"choice wraps after the last", 1, &choice, 2, KeyKnobPlus, 0},
        {"choice wraps before the first", 1, &choice, 0, KeyKnobMinus, 2},
        {"choice out of range recovers", 1, &choice, 9, KeyKnobPlus, 0},
        {"number wraps to minimum", 2, &volts, 300, KeyKnobPlus, 80},
        {"number wraps to maximum", 2, &volts, 80, KeyKnobMinus, 300},
        {"number steps up", 2, &volts, 145, KeyKnobPlus, 146},
        {"number steps up onto its maximum", 2, &volts, 299, KeyKnobPlus, 300},
        {"number steps down from its maximum", 2, &volts, 300, KeyKnobMinus, 299},
        {"number steps down onto its minimum", 2, &volts, 81, KeyKnobMinus, 80},
        {"number steps up from its minimum", 2, &volts, 80, KeyKnobPlus, 81},
        {"number stops at maximum", 3, &count, 500, KeyKnobPlus, 500},
        {"number stops at minimum", 3, &count, 0, KeyKnobMinus, 0},
        {"calibration stops at maximum", 4, &trim, 150, KeyKnobPlus, 150},
        {"calibration stops at minimum", 4, &trim, 50, KeyKnobMinus, 50},
        {"calibration steps by one", 4, &trim, 100, KeyKnobMinus, 99},
    };
    for (const Case& c : cases) {
        SetUp();
        moveTo(c.line);
        press(KeyKnobPress);
        ASSERT_EQ(editMode, 1) << c.what;
        *c.value = c.start;
        press(c.key);
        EXPECT_EQ(*c.value, c.want) << c.what;
        EXPECT_EQ(cursorLine, c.line) << c.what << ": the cursor must not move while editing";
    }
}

TEST_F(ListEngine, StepMultipliersCycleOnlyOnLinesThatTakeThem)
{
    moveTo(2);
    press(KeySoft3);
    EXPECT_EQ(stepMultiplier, 10);
    press(KeySoft3);
    EXPECT_EQ(stepMultiplier, 1);  // two steps: 1 <-> 10
    moveTo(3);
    press(KeySoft3);
    press(KeySoft3);
    EXPECT_EQ(stepMultiplier, 100);
    press(KeyKnobPress);
    count = 450;
    press(KeyKnobPlus);
    EXPECT_EQ(count, 500);  // stops at the maximum even with a large step
    press(KeyKnobPress);
    press(KeySoft3);
    EXPECT_EQ(stepMultiplier, 1);
    moveTo(4);
    stepMultiplier = 10;
    press(KeySoft3);
    EXPECT_EQ(stepMultiplier, 10);  // calibration lines take no multiplier
    press(KeyKnobPress);
    press(KeyKnobPlus);
    EXPECT_EQ(trim, 101);
}

TEST_F(ListEngine, AMultiplierTheLineDoesNotOfferCountsAsItsFirst)
{
    moveTo(2);
    stepMultiplier = 100;  // left over from another line
    press(KeyKnobPress);
    press(KeyKnobPlus);
    EXPECT_EQ(volts, 146);
    EXPECT_EQ(stepMultiplier, 100) << "only KeySoft3 changes the shared multiplier";
}

TEST_F(ListEngine, ForcedMinimumStep)
{
    static const StepRule tensAndHundreds = {{10, 100}, {"X10", "X100"}};
    ListLine lines[6];
    std::copy(std::begin(kLines), std::end(kLines), lines);
    lines[3].steps = &tensAndHundreds;
    ListScreen screen = kScreen;
    screen.lines = lines;
    cursorLine = 3;
    press(KeyKnobPress, screen);
    press(KeyKnobPlus, screen);
    EXPECT_EQ(count, 10);
    press(KeySoft3, screen);
    EXPECT_EQ(stepMultiplier, 100);
    press(KeySoft3, screen);
    EXPECT_EQ(stepMultiplier, 10);
}

TEST_F(ListEngine, StepLabelFollowsTheCursorLine)
{
    struct Case {
        int line;
        uint16_t step;
        const char* label;
    } cases[] = {{2, 1, "X0.1"}, {2, 10, "X1.0"}, {3, 1, "X1"}, {3, 10, "X10"}, {3, 100, "X100"}, {0, 10, ""}};
    for (const Case& c : cases) {
        cursorLine = static_cast<uint8_t>(c.line);
        stepMultiplier = c.step;
        runListScreen(kScreen);
        const int lit = [] {
            int n = 0;
            for (int y = 254; y < 270; ++y)
                for (int x = 150; x < 222; ++x) n += pixelAt(x, y) != 0;
            return n;
        }();
        clearScreen();
        drawText(186, 254, c.label, 8, AlignCentre, COLOUR_WHITE);
        int want = 0;
        for (int y = 254; y < 270; ++y)
            for (int x = 150; x < 222; ++x) want += pixelAt(x, y) != 0;
        EXPECT_EQ(lit, want) << c.label;
    }
}

TEST_F(ListEngine, ActionLinesRunOnTheKnobPressWithoutEditing)
{
    moveTo(5);
    press(KeyKnobPress);
    EXPECT_EQ(actions, 1);
    EXPECT_EQ(editMode, 0);
}

TEST_F(ListEngine, ChangeHookRunsAfterEachChange)
{
    moveTo(2);
    press(KeyKnobPress);
    press(KeyKnobPlus);
    press(KeyKnobMinus);
    EXPECT_EQ(changes, 2);
}

TEST_F(ListEngine, ExitAndBackLeaveTheScreen)
{
    press(KeyKnobPress);
    press(KeySoft2);
    EXPECT_EQ(backs, 1);
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(editMode, 0);
    press(KeySoft1);
    EXPECT_EQ(currentScreen, homeScreen);
    EXPECT_EQ(leaves, 2);
}

TEST_F(ListEngine, UnusedKeysAreConsumed)
{
    for (const uint8_t key : {KeySoft4, KeySoft5}) {
        press(key);
        EXPECT_EQ(cursorLine, 0);
        EXPECT_EQ(editMode, 0);
    }
    ListScreen noBack = kScreen;
    noBack.back = nullptr;
    press(KeySoft2, noBack);
    EXPECT_EQ(backs, 0);
}

TEST_F(ListEngine, CursorPastALineThatWentAwayIsPulledBack)
{
    moveTo(5);
    alarmOn = 0;
    runListScreen(kScreen);
    EXPECT_EQ(cursorLine, 4);
}

// Twenty numbered lines for the scrolling rules.
ListLine longLines[20];
char longLabels[20][12];

ListScreen longScreen()
{
    for (int i = 0; i < 20; ++i) {
        std::snprintf(longLabels[i], sizeof longLabels[i], "LINE %d: ", i);
        longLines[i] = ListLine{.label = longLabels[i], .kind = LineKind::Calibration, .min = 0, .max = 9};
    }
    return ListScreen{.menuName = "", .screenName = "LONG", .lines = longLines};
}

TEST_F(ListEngine, LongListsScrollKeepingTheCursorOnTheLastRow)
{
    const ListScreen screen = longScreen();
    struct Case {
        int cursor;
        int top;
    } cases[] = {{0, 0}, {10, 0}, {11, 1}, {19, 9}};
    for (const Case& c : cases) {
        cursorLine = static_cast<uint8_t>(c.cursor);
        runListScreen(screen);
        EXPECT_EQ(listTop, c.top) << c.cursor;
    }
    cursorLine = 19;
    press(KeyKnobPlus, screen);
    EXPECT_EQ(cursorLine, 0);
    EXPECT_EQ(listTop, 9);  // recomputed on the next pass
    runListScreen(screen);
    EXPECT_EQ(listTop, 0);
}

TEST(ScrollIndicator, BlockPositionAndHeight)
{
    struct Case {
        int index, count, top, height;
    } cases[] = {{0, 20, 45, 10}, {19, 20, 235, 10}, {0, 9, 45, 22}, {1, 9, 67, 22}, {8, 9, 222, 22}};
    for (const Case& c : cases) {
        clearScreen();
        drawScrollIndicator(c.index, c.count);
        int first = -1, last = -1;
        for (int y = 0; y < SCREEN_HEIGHT; ++y)
            if (pixelAt(466, y)) {
                if (first < 0) first = y;
                last = y;
            }
        EXPECT_EQ(first, c.top) << c.index << "/" << c.count;
        EXPECT_EQ(last - first + 1, c.height) << c.index << "/" << c.count;
        EXPECT_EQ(pixelAt(470, 45), COLOUR_WHITE);
        EXPECT_EQ(pixelAt(470, 245), COLOUR_WHITE);
    }
    clearScreen();
    drawScrollIndicator(0, 0);  // an empty list must not divide by zero
    EXPECT_EQ(pixelAt(466, 45), 0);
}

TEST(MenuRow, ColoursAndVisibleRows)
{
    listTop = 0;
    cursorLine = 2;
    for (const int edit : {0, 1}) {
        editMode = static_cast<uint8_t>(edit);
        clearScreen();
        drawMenuRow(2, "A", "B");
        const int labelEnd = drawText(100, 300, "A", 8, AlignLeft, 0);  // off-screen, only measures
        uint8_t labelColour = 0, valueColour = 0;
        for (int y = 86; y < 102; ++y)
            for (int x = 100; x < 130; ++x)
                if (pixelAt(x, y)) (x < labelEnd ? labelColour : valueColour) = pixelAt(x, y);
        EXPECT_EQ(labelColour, edit ? COLOUR_WHITE : COLOUR_RED);
        EXPECT_EQ(valueColour, COLOUR_RED);
    }
    editMode = 0;
    clearScreen();
    drawMenuRow(11, "HIDDEN", "X");
    drawMenuRow(-1, "HIDDEN", "X");
    EXPECT_EQ(countLit(), 0);
}

TEST(MessageScreen, AnyKeyReturns)
{
    returnScreen = mainMenuScreen;
    currentScreen = messageScreen;
    pendingKey = KeyNone;
    messageScreen();
    EXPECT_EQ(currentScreen, messageScreen);
    pendingKey = KeySoft4;
    messageScreen();
    EXPECT_EQ(currentScreen, mainMenuScreen);
    EXPECT_EQ(pendingKey, KeyNone);
}

}  // namespace

namespace {

void channelLabel(char* text, size_t size, uint8_t item) { std::snprintf(text, size, "INPUT %d/%d: ", listChannel, item); }

const ListLine kChannelLines[] = {
    {.label = "MAX: ", .field = PRESSURE_FIELD(displayMax), .item = 3, .formatLabel = channelLabel},
    {.label = "POINT %d: ", .field = SETTING(tank1Calibration), .item = 4, .numbered = true},
};
const ListScreen kChannelScreen = {.screenName = "CHANNELS", .lines = kChannelLines};

// The first two rows as drawn (left of the scroll indicator), against drawMenuRow of the
// expected texts on a clear screen.
bool rowsShow(const char* label0, const char* value0, const char* label1, const char* value1)
{
    auto rows = [] {
        std::vector<uint8_t> pixels;
        for (int y = 50; y < 86; ++y)
            pixels.insert(pixels.end(), &framebuffer[SCREEN_WIDTH * y], &framebuffer[SCREEN_WIDTH * y + 460]);
        return pixels;
    };
    const std::vector<uint8_t> drawn = rows();
    clearScreen();
    drawMenuRow(0, label0, value0);
    drawMenuRow(1, label1, value1);
    return drawn == rows();
}

TEST(ListEngineFields, LinesBindToSettingsOnTheScreensChannel)
{
    resetDevice();
    cursorLine = 0;
    // The limits follow the channel's own pressure unit: bar on input 2, psi(0.1) on the fuel
    // pressure sender.
    for (const auto& [channel, shown] : {std::pair{uint8_t{2}, "1"}, std::pair{OWN_SENSOR_CHANNEL, "101"}}) {
        SCOPED_TRACE(channel);
        listChannel = channel;
        editMode = 1;
        pendingKey = KeyKnobPlus;
        runListScreen(kChannelScreen);
        runListScreen(kChannelScreen);
        const std::string label = "INPUT " + std::to_string(channel) + "/3: ";
        EXPECT_TRUE(rowsShow(label.c_str(), shown, "POINT 5: ", "356")) << "label, value and numbered label";
    }
    EXPECT_EQ(+settings.pressureSender[2].displayMax, 1) << "10.0 bar + 0.1 wraps to the screen's minimum";
    EXPECT_EQ(+settings.fuelPressureSender.displayMax, 101);
    EXPECT_EQ(+settings.pressureSender[0].displayMax, 100);
    resetDevice();
}

}  // namespace

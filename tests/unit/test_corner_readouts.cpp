// The OAT and CO readouts of the clock panel's corner: captions, values, flashing alarm boxes,
// the crossed-out CO number, and a golden sheet of their states.
#include <gtest/gtest.h>

#include "test_support.h"
#include "widget_test_support.h"

namespace {

class CornerReadouts : public testing::Test {
protected:
    void SetUp() override { resetWidgetState(); }
};

TEST_F(CornerReadouts, OatCaptionValueAndFlashingBox)
{
    const struct {
        uint8_t unit;
        int16_t value;
        uint8_t phase;
        const char* caption;
        const char* text;
        bool box;
    } cases[] = {
        {0, 21, 1, "OAT (\xB0" "C)", "21", false},  {0, 0, 1, "OAT (\xB0" "C)", "0", false},
        {0, 60, 1, "OAT (\xB0" "C)", "60", false},  {0, 61, 1, "OAT (\xB0" "C)", "61", true},
        {0, 61, 0, "OAT (\xB0" "C)", "61", false},  {0, -1, 1, "OAT (\xB0" "C)", "-1", true},
        {0, 151, 1, "OAT (\xB0" "C)", "---", true}, {1, 300, 0, "OAT (\xB0" "F)", "300", false},
        {1, 301, 0, "OAT (\xB0" "F)", "---", false},
    };
    for (const auto& c : cases) {
        resetWidgetState();
        settings.oatUnit = c.unit;
        oat = c.value;
        blinkPhase = c.phase;
        drawOatCornerReadout();
        EXPECT_TRUE(showsText(446, 0, c.caption, 8, AlignCentre, COLOUR_SILVER)) << c.value;
        EXPECT_TRUE(showsText(446, 15, c.text, 9, AlignCentre, COLOUR_WHITE, 6)) << c.value;
        drawText(446, 15, c.text, 9, AlignCentre, COLOUR_WHITE);
        EXPECT_EQ(pixelAt(lastTextStartX - 2, 16) == COLOUR_RED, c.box) << c.value;
        EXPECT_EQ(pixelAt(lastTextEndX, 31) == COLOUR_RED, c.box) << c.value;
        EXPECT_EQ(countColour(400, 15, 479, 15, COLOUR_RED), 0) << "the box starts on row 16";
    }
}

TEST_F(CornerReadouts, CoNumberIsCrossedOutUntilDataIsValid)
{
    coPpm = 35;
    drawCoCornerReadout();
    EXPECT_TRUE(showsText(446, 0, "CO (PPM)", 8, AlignCentre, COLOUR_SILVER));
    drawText(446, 15, "35", 9, AlignCentre, COLOUR_BLACK);  // measures the number
    const int start = lastTextStartX, end = lastTextEndX;
    for (const Point& p : {Point{start, 16}, Point{end - 2, 29}, Point{start, 29}, Point{end - 2, 16}})
        EXPECT_EQ(pixelAt(p.first, p.second), COLOUR_RED) << p.first << "," << p.second;
    EXPECT_EQ(countColour(start - 2, 14, end + 1, 14, COLOUR_RED), 0);

    clearScreen();
    coDataValid = 1;
    drawCoCornerReadout();
    EXPECT_EQ(countColour(380, 0, 479, 40, COLOUR_RED), 0);
    EXPECT_TRUE(showsText(446, 15, "35", 9, AlignCentre, COLOUR_WHITE, 6));
}

TEST_F(CornerReadouts, CoAlarmBoxFlashesWithTheAlarmBit)
{
    coDataValid = 1;
    coPpm = 120;
    const struct {
        uint32_t flags;
        uint8_t phase;
        bool box;
    } cases[] = {{ALARM_CO, 1, true}, {ALARM_CO, 0, false}, {0, 1, false}, {ALARM_OAT, 1, false}};
    for (const auto& c : cases) {
        clearScreen();
        alarmFlags = c.flags;
        blinkPhase = c.phase;
        drawCoCornerReadout();
        drawText(446, 15, "120", 9, AlignCentre, COLOUR_WHITE);
        EXPECT_EQ(pixelAt(lastTextStartX - 2, 16) == COLOUR_RED, c.box);
        EXPECT_EQ(pixelAt(lastTextEndX, 31) == COLOUR_RED, c.box);
        EXPECT_EQ(pixelAt(lastTextEndX, 32), COLOUR_BLACK);
    }
}

TEST_F(CornerReadouts, SheetMatchesGolden)
{
    WidgetSheet sheet(4, 2, 80, 33);
    auto oatCell = [&](int cell, uint8_t unit, int16_t value, uint8_t phase) {
        resetWidgetState();
        settings.oatUnit = unit;
        oat = value;
        blinkPhase = phase;
        drawOatCornerReadout();
        sheet.capture(cell, 406, 0);
    };
    auto coCell = [&](int cell, uint16_t ppm, uint8_t valid, bool alarm, uint8_t phase) {
        resetWidgetState();
        coPpm = ppm;
        coDataValid = valid;
        alarmFlags = alarm ? ALARM_CO : 0;
        blinkPhase = phase;
        drawCoCornerReadout();
        sheet.capture(cell, 406, 0);
    };
    oatCell(0, 0, 21, 1);
    oatCell(1, 0, 72, 0);
    oatCell(2, 0, 72, 1);
    oatCell(3, 1, 320, 1);
    coCell(4, 12, 0, false, 1);
    coCell(5, 12, 1, false, 1);
    coCell(6, 120, 1, true, 1);
    coCell(7, 120, 0, true, 1);
    EXPECT_TRUE(sheet.matchesGolden("widgets/corner_readouts"));
}

}  // namespace

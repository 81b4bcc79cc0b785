// Round gauges and the twin RPM display: needle angles and their clamping, ring segments, the
// notch, RPM readouts in RPM and percent, the small MAP readout, and golden sheets.
#include <gtest/gtest.h>

#include <climits>

#include "param_names.h"
#include "test_support.h"
#include "widget_test_support.h"

namespace {

// A gauge point as the widgets compute it.
int px(int cx, int angle, int r, bool mirrored = false)
{
    const int dx = static_cast<int>(cosDeg(angle) * static_cast<float>(r));
    return mirrored ? cx - dx : cx + dx;
}
int py(int cy, int angle, int r) { return cy + static_cast<int>(sinDeg(angle) * static_cast<float>(r)); }

class RoundGauges : public testing::Test {
protected:
    void SetUp() override
    {
        resetWidgetState();
        // MAP on a scale of one unit per degree: the needle angle is value + 150.
        settings.mapUnit = 0;
        settings.mapDisplayMin = 0;
        settings.mapDisplayMax = 160;
        settings.mapLowAlarm = 20;
        settings.mapLowCaution = 40;
        settings.mapHighCaution = 120;
        settings.mapHighAlarm = 140;
    }
    static void drawMap() { drawMapRoundGauge(100, 120, 76, 143, 115, 105, 119, 143); }
};

struct NeedleCase {
    int16_t displayMax;
    int16_t value;
    int angle;
};

// "Max160Value37"
std::string caseName(const NeedleCase& c) { return "Max" + numberName(c.displayMax) + "Value" + numberName(c.value); }
void PrintTo(const NeedleCase& c, std::ostream* os) { *os << caseName(c); }

class MapNeedle : public RoundGauges, public testing::WithParamInterface<NeedleCase> {};

TEST_P(MapNeedle, PointsAtTheClampedAngleWithANotchThroughTheRing)
{
    const NeedleCase& c = GetParam();
    settings.mapDisplayMax = c.displayMax;
    map = c.value;
    drawMap();
    for (int r : {26, 40, 50}) EXPECT_EQ(pixelAt(px(100, c.angle, r), py(120, c.angle, r)), COLOUR_WHITE) << "r " << r;
    for (int r : {55, 58}) EXPECT_EQ(pixelAt(px(100, c.angle, r), py(120, c.angle, r)), COLOUR_BLACK) << "notch r " << r;
    for (int other : {c.angle - 8, c.angle + 8})
        EXPECT_EQ(pixelAt(px(100, other, 40), py(120, other, 40)), COLOUR_BLACK) << "angle " << other;
}

INSTANTIATE_TEST_SUITE_P(Cases, MapNeedle,
                         testing::Values(NeedleCase{160, 0, 150}, NeedleCase{160, 80, 230}, NeedleCase{160, 160, 310},
                                         NeedleCase{160, 37, 187}, NeedleCase{160, -50, 150},
                                         NeedleCase{160, 500, 310}, NeedleCase{320, 81, 190},
                                         NeedleCase{320, 319, 309}, NeedleCase{0, 0, 150}, NeedleCase{0, 1, 310},
                                         NeedleCase{0, -1, 150}),
                         ByCaseName());

TEST_F(RoundGauges, RingSegmentsFollowTheLimits)
{
    const struct {
        int16_t lowAlarm, lowCaution, highCaution, highAlarm;
        uint8_t at[6];  // colours at 155, 165, 180, 230, 280, 300 degrees
    } cases[] = {
        {20, 40, 120, 140, {COLOUR_RED, COLOUR_RED, COLOUR_YELLOW, COLOUR_GREEN, COLOUR_YELLOW, COLOUR_RED}},
        {-10, 40, 120, 140, {COLOUR_YELLOW, COLOUR_YELLOW, COLOUR_YELLOW, COLOUR_GREEN, COLOUR_YELLOW, COLOUR_RED}},
        {-10, -5, 120, 140, {COLOUR_GREEN, COLOUR_GREEN, COLOUR_GREEN, COLOUR_GREEN, COLOUR_YELLOW, COLOUR_RED}},
        {20, 40, 120, 200, {COLOUR_RED, COLOUR_RED, COLOUR_YELLOW, COLOUR_GREEN, COLOUR_YELLOW, COLOUR_YELLOW}},
        {20, 40, 170, 200, {COLOUR_RED, COLOUR_RED, COLOUR_YELLOW, COLOUR_GREEN, COLOUR_GREEN, COLOUR_GREEN}},
    };
    const int angles[6] = {155, 165, 180, 230, 280, 300};
    for (const auto& c : cases) {
        clearScreen();
        settings.mapLowAlarm = c.lowAlarm;
        settings.mapLowCaution = c.lowCaution;
        settings.mapHighCaution = c.highCaution;
        settings.mapHighAlarm = c.highAlarm;
        map = -100;  // needle parked at 150
        drawMap();
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(pixelAt(px(100, angles[i], 57), py(120, angles[i], 57)), c.at[i])
                << "limits " << c.lowAlarm << "/" << c.lowCaution << "/" << c.highCaution << "/" << c.highAlarm
                << " at " << angles[i];
        EXPECT_EQ(pixelAt(px(100, 318, 57), py(120, 318, 57)), COLOUR_BLACK) << "the ring ends at 310";
        EXPECT_EQ(pixelAt(px(100, 142, 57), py(120, 142, 57)), COLOUR_BLACK) << "the ring starts at 150";
    }
}

TEST_F(RoundGauges, MapTextsAndValueBox)
{
    map = 80;
    drawMap();
    EXPECT_TRUE(showsText(76, 143, "MAP", 8, AlignLeft, COLOUR_SILVER));
    EXPECT_TRUE(showsText(115, 105, "80", 16, AlignCentre, COLOUR_WHITE, 3));
    EXPECT_TRUE(showsText(119, 143, "mb", 8, AlignLeft, COLOUR_SILVER));

    settings.mapUnit = 1;
    settings.mapDisplayMax = 443;
    settings.mapDisplayMin = 266;
    settings.mapHighCaution = 354;
    settings.mapHighAlarm = 413;
    map = 420;
    for (uint8_t phase : {0, 1}) {
        blinkPhase = phase;
        clearScreen();
        drawMap();
        EXPECT_TRUE(showsText(115, 105, "42.0", 16, AlignCentre, COLOUR_WHITE, 3));
        EXPECT_TRUE(showsText(119, 143, "\"Hg", 8, AlignLeft, COLOUR_SILVER));
        // Box rows valueY + 2 .. valueY + 29.
        EXPECT_EQ(countColour(80, 107, 150, 134, COLOUR_RED) > 0, phase == 1);
        EXPECT_EQ(countColour(80, 106, 150, 106, COLOUR_RED), 0);
        EXPECT_EQ(countColour(80, 135, 150, 135, COLOUR_RED), 0);
    }
}

TEST_F(RoundGauges, RpmGaugeDrawsRingAndNeedleOnlyAndFollowsRpmInPercentMode)
{
    settings.rpm1DisplayMode = 1;
    settings.rpm1DisplayMin = 0;
    settings.rpm1DisplayMax = 6400;  // 40 RPM per degree
    rpm = 3200;
    rpmPercent = 20;
    drawRpmRoundGauge(61, 100);
    EXPECT_EQ(pixelAt(px(61, 230, 40), py(100, 230, 40)), COLOUR_WHITE);
    EXPECT_EQ(countColour(0, 0, 479, 271, COLOUR_SILVER), 0) << "no texts";
}

TEST_F(RoundGauges, ExtremeRangesNeitherOverflowNorDivideByZero)
{
    settings.rpm1DisplayMax = INT32_MAX;
    settings.rpm1DisplayMin = INT32_MIN;
    settings.rpm1HighAlarm = INT32_MAX;
    settings.rpm1LowAlarm = INT32_MIN;
    rpm = INT32_MIN;
    drawRpmRoundGauge(61, 100);
    EXPECT_EQ(pixelAt(px(61, 150, 40), py(100, 150, 40)), COLOUR_WHITE);
    clearScreen();
    settings.rpm2DisplayMax = settings.rpm2DisplayMin = 1000;
    rotorRpm = 2000;
    drawTwinRpmDisplay();
    EXPECT_EQ(pixelAt(px(188, 240, 40), py(90, 240, 40)), COLOUR_WHITE);
}

struct ReadoutCase {
    const char* name;
    int channel;
    uint8_t mode;
    int32_t value, percent;
    uint8_t phase;
    const char* text;
    const char* label;
    const char* unitLine;
    uint8_t box;
};

const ReadoutCase kReadoutCases[] = {
    {"RPM 1 in RPM", 1, 0, 2400, 40, 1, "2400", "ENGINE", "RPM", COLOUR_BLACK},
    {"RPM 1 in percent", 1, 1, 2400, 40, 1, "40", "ENGINE", "RPM %", COLOUR_BLACK},
    {"alarm judged on RPM while percent is shown", 1, 1, 5900, 98, 1, "98", "ENGINE", "RPM %", COLOUR_RED},
    {"alarm box flashes", 1, 1, 5900, 98, 0, "98", "ENGINE", "RPM %", COLOUR_BLACK},
    {"percent above 100 is no alarm by itself", 1, 1, 3000, 120, 1, "120", "ENGINE", "RPM %", COLOUR_BLACK},
    {"caution below the low caution", 1, 0, 800, 13, 0, "800", "ENGINE", "RPM", COLOUR_YELLOW},
    {"RPM 2 in RPM", 2, 0, 700, 70, 1, "700", "ROTOR", "RPM", COLOUR_BLACK},
    {"RPM 2 in alarm", 2, 0, 1300, 130, 1, "1300", "ROTOR", "RPM", COLOUR_RED},
    {"RPM 2 in percent", 2, 1, 1150, 115, 0, "115", "ROTOR", "RPM %", COLOUR_YELLOW},
};

class RpmReadout : public RoundGauges, public testing::WithParamInterface<ReadoutCase> {};

TEST_P(RpmReadout, ShowsLabelsValueAndBox)
{
    const ReadoutCase& c = GetParam();
    blinkPhase = c.phase;
    if (c.channel == 1) {
        settings.rpm1DisplayMode = c.mode;
        rpm = c.value;
        rpmPercent = c.percent;
    } else {
        settings.rpm2DisplayMode = c.mode;
        rotorRpm = c.value;
        rotorPercent = c.percent;
    }
    drawRpmReadout(c.channel, 200, 85, 200, 129, AlignCentre);
    EXPECT_TRUE(showsText(200, 116, c.label, 8, AlignCentre, COLOUR_SILVER)) << c.name;
    EXPECT_TRUE(showsText(200, 129, c.unitLine, 8, AlignCentre, COLOUR_SILVER)) << c.name;
    const bool white = c.box != COLOUR_YELLOW;
    if (white) {
        EXPECT_TRUE(showsText(200, 85, c.text, 16, AlignCentre, COLOUR_WHITE)) << c.name;
    }
    drawText(200, 85, c.text, 16, AlignCentre, white ? COLOUR_WHITE : COLOUR_BLACK);  // measure it
    const int start = lastTextStartX, end = lastTextEndX;
    EXPECT_EQ(pixelAt(start - 1, 87), c.box) << c.name << ": the box starts one column left of the text";
    EXPECT_EQ(pixelAt(end, 114), c.box) << c.name;
    EXPECT_EQ(pixelAt(start - 2, 87), COLOUR_BLACK) << c.name;
    EXPECT_EQ(pixelAt(start - 1, 86), COLOUR_BLACK) << c.name;
    EXPECT_EQ(pixelAt(start - 1, 115), COLOUR_BLACK) << c.name;
}

std::string caseName(const ReadoutCase& c) { return ::caseName(c.name); }
void PrintTo(const ReadoutCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Cases, RpmReadout, testing::ValuesIn(kReadoutCases), ByCaseName());

TEST_F(RoundGauges, RpmReadoutAlignsAndIgnoresUnknownChannels)
{
    rpm = 2400;
    drawRpmReadout(1, 200, 85, 150, 129, AlignRight);
    EXPECT_TRUE(showsText(200, 85, "2400", 16, AlignRight, COLOUR_WHITE));
    clearScreen();
    drawRpmReadout(0, 200, 85, 150, 129, AlignRight);
    drawRpmReadout(3, 200, 85, 150, 129, AlignRight);
    EXPECT_EQ(countLit(), 0);
    settings.rpm1Label = 6;
    drawRpmReadout(1, 200, 85, 150, 129, AlignRight);
    EXPECT_TRUE(showsText(150, 116, "REAR", 8, AlignCentre, COLOUR_SILVER));
    clearScreen();
    settings.rpm1Label = 7;  // beyond the table: no label
    drawRpmReadout(1, 200, 85, 150, 129, AlignRight);
    EXPECT_EQ(countColour(0, 116, 479, 128, COLOUR_SILVER), 0);
}

TEST_F(RoundGauges, SmallMapReadout)
{
    settings.mapUnit = 1;
    settings.mapHighCaution = 354;
    settings.mapHighAlarm = 413;
    settings.mapDisplayMax = 443;
    map = 380;
    drawSmallMapReadout(240, 123, 185, 110, 222, 110);
    EXPECT_TRUE(showsText(185, 110, "MAP", 8, AlignLeft, COLOUR_SILVER));
    EXPECT_TRUE(showsText(222, 110, "\"Hg", 8, AlignLeft, COLOUR_SILVER));
    EXPECT_GT(countColour(200, 125, 240, 143, COLOUR_YELLOW), 0) << "caution box over rows 125..143";
    EXPECT_EQ(countColour(200, 124, 240, 124, COLOUR_YELLOW), 0);
    EXPECT_EQ(countColour(200, 144, 240, 144, COLOUR_YELLOW), 0);
}

TEST_F(RoundGauges, TwinDisplayFacesItsArcsAndMirrorsRpm1)
{
    settings.rpm2DisplayMode = 0;
    settings.rpm1DisplayMin = settings.rpm2DisplayMin = 0;
    settings.rpm1DisplayMax = settings.rpm2DisplayMax = 1200;  // 10 RPM per degree
    const struct {
        int32_t value;
        int angle;
    } cases[] = {{0, 120}, {600, 180}, {1200, 240}, {-500, 120}, {5000, 240}, {250, 145}};
    for (const auto& c : cases) {
        clearScreen();
        rpm = c.value;
        rotorRpm = c.value;
        drawTwinRpmDisplay();
        EXPECT_EQ(pixelAt(px(62, c.angle, 40, true), py(90, c.angle, 40)), COLOUR_WHITE) << "RPM 1 " << c.value;
        EXPECT_EQ(pixelAt(px(188, c.angle, 40), py(90, c.angle, 40)), COLOUR_WHITE) << "RPM 2 " << c.value;
        EXPECT_EQ(pixelAt(px(62, c.angle, 57, true), py(90, c.angle, 57)), COLOUR_BLACK) << "notch";
    }
    // The RPM 1 arc lies right of its centre, RPM 2's left of its own.
    EXPECT_GT(countColour(63, 30, 124, 150, COLOUR_GREEN), 0);
    EXPECT_EQ(countColour(0, 30, 61, 150, COLOUR_GREEN), 0);
    EXPECT_GT(countColour(127, 30, 187, 150, COLOUR_GREEN), 0);
    EXPECT_EQ(countColour(189, 30, 260, 150, COLOUR_GREEN), 0);
}

TEST_F(RoundGauges, TwinDisplayRingsByItsOwnLimits)
{
    settings.rpm1DisplayMin = 0;
    settings.rpm1DisplayMax = 1200;
    settings.rpm1LowAlarm = 100;     // 10 degrees
    settings.rpm1LowCaution = 300;   // 30
    settings.rpm1HighCaution = 900;  // 90
    settings.rpm1HighAlarm = 1100;   // 110
    rpm = 600;
    drawTwinRpmDisplay();
    const struct {
        int angle;
        uint8_t colour;
    } cases[] = {{125, COLOUR_RED}, {140, COLOUR_YELLOW}, {170, COLOUR_GREEN}, {220, COLOUR_YELLOW},
                 {235, COLOUR_RED}, {245, COLOUR_BLACK}, {115, COLOUR_BLACK}};
    for (const auto& c : cases) EXPECT_EQ(pixelAt(px(62, c.angle, 57, true), py(90, c.angle, 57)), c.colour) << c.angle;
}

// Sheet 1: MAP gauges at minimum, middle and maximum above RPM gauges with their readouts at the
// same three points, in both blink phases.
void drawRoundSheet()
{
    clearScreen();
    const int16_t maps[3] = {266, 354, 443};
    const int32_t rpms[3] = {0, 3000, 6000};
    for (int i = 0; i < 3; ++i) {
        const int cx = 70 + 160 * i;
        map = maps[i];
        drawMapRoundGauge(cx, 75, cx - 24, 98, cx + 15, 60, cx + 19, 98);
        rpm = rpms[i];
        rpmPercent = rpms[i] / 60;
        settings.rpm1DisplayMode = i == 2 ? 1 : 0;
        drawRpmRoundGauge(cx, 200);
        drawRpmReadout(1, cx + 24, 185, cx + 24, 229, AlignCentre);
    }
}

TEST_F(RoundGauges, SheetMatchesGolden)
{
    WidgetSheet sheet(2, 1, SCREEN_WIDTH, SCREEN_HEIGHT);
    for (uint8_t phase : {0, 1}) {
        resetWidgetState();
        blinkPhase = phase;
        drawRoundSheet();
        sheet.capture(phase, 0, 0);
    }
    EXPECT_TRUE(sheet.matchesGolden("widgets/round_gauges"));
}

// Sheet 2: the twin RPM display with the small MAP readout in its box, as the engine page places
// them: normal; RPM 1 in alarm and RPM 2 in caution in both blink phases; both in percent.
TEST_F(RoundGauges, TwinSheetMatchesGolden)
{
    WidgetSheet sheet(2, 2, 252, 114);
    struct State {
        int32_t rpm1, rpm2;
        uint8_t mode;
        uint8_t phase;
        int16_t map;
    };
    const State states[4] = {{2450, 700, 0, 1, 300}, {5900, 1150, 0, 0, 372}, {5900, 1150, 0, 1, 420},
                             {3000, 450, 1, 1, 266}};
    for (int i = 0; i < 4; ++i) {
        resetWidgetState();
        settings.rpm2DisplayMode = states[i].mode;
        settings.rpm1DisplayMode = states[i].mode;
        blinkPhase = states[i].phase;
        rpm = states[i].rpm1;
        rpmPercent = rpm * 100 / settings.rpm1FullScale;
        rotorRpm = states[i].rpm2;
        rotorPercent = rotorRpm * 100 / settings.rpm2FullScale;
        map = states[i].map;
        drawTwinRpmDisplay();
        drawSmallMapReadout(240, 123, 185, 110, 222, 110);
        drawVLine(110, 144, 181, COLOUR_SILVER);
        drawHLine(181, 251, 110, COLOUR_SILVER);
        drawVLine(32, 144, 251, COLOUR_SILVER);
        sheet.capture(i, 0, 31);
    }
    EXPECT_TRUE(sheet.matchesGolden("widgets/twin_rpm"));
}

}  // namespace

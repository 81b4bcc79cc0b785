// The EGT/CHT bar graph: group geometry for every channel count, bar heights and colours, peak
// markers, highlights, lean and cruise modes, limit lines, the single values, and golden sheets.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <utility>
#include <vector>

#include "param_names.h"
#include "test_support.h"
#include "widget_test_support.h"

namespace {

class BarGraph : public testing::Test {
protected:
    void SetUp() override { resetWidgetState(); }

    // Channel counts, with the scanned channels at the first of each group.
    static void channels(int egt, int cht)
    {
        settings.egtChannels = static_cast<uint8_t>(egt);
        settings.chtChannels = static_cast<uint8_t>(cht);
        egtSelected = 0;
        chtSelected = static_cast<uint8_t>(egt);
    }
    static void temperatures(std::initializer_list<int16_t> values)
    {
        int i = 0;
        for (int16_t v : values) {
            tc[i] = v;
            tcMax[i] = v;
            ++i;
        }
    }
    static void draw()
    {
        if (settings.egtChannels) drawEgtBarGraph();
        if (settings.chtChannels) drawChtBarGraph();
    }
    static int egtBar(int k)
    {
        const BarGroupGeometry g = egtBarGeometry(settings.egtChannels, settings.chtChannels, leanDeltaMode);
        return g.firstX + k * g.pitch;
    }
    static int chtBar(int k)
    {
        const BarGroupGeometry g = chtBarGeometry(settings.egtChannels, settings.chtChannels, leanDeltaMode);
        return g.firstX + k * g.pitch;
    }
    // Height of the bar whose left column is x: rows 230 - h .. 230 in a bar colour (sampled in
    // column x + 6, where the dashed limit lines leave a gap).
    static int barHeight(int x)
    {
        int rows = 0;
        for (int y = 140; y <= 230; ++y) {
            const uint8_t c = pixelAt(x + 6, y);
            rows += c == COLOUR_RED || c == COLOUR_YELLOW || c == COLOUR_GREEN;
        }
        return rows == 0 ? 0 : rows - 1;
    }
};

struct GeometryCase {
    int egt, cht;
    bool cruise;
    int wE;
    BarGroupGeometry egtBars, chtBars;
};

const GeometryCase kGeometryCases[] = {
    {1, 0, false, 245, {239, 5, 244}, {0, 0, 0}},
    {0, 1, false, 0, {0, 0, 0}, {238, 26, 243}},
    {2, 2, false, 122, {56, 5, 61}, {57, 147, 62}},
    {2, 2, true, 122, {56, 10, 60}, {54, 145, 58}},
    {4, 0, false, 244, {57, 5, 62}, {0, 0, 0}},
    {4, 4, false, 122, {26, 6, 31}, {27, 147, 32}},
    {6, 4, false, 147, {21, 5, 26}, {20, 173, 25}},
    {6, 4, true, 147, {21, 10, 25}, {19, 171, 23}},
    {12, 0, false, 244, {17, 5, 22}, {0, 0, 0}},
    {0, 4, true, 0, {0, 0, 0}, {56, 24, 60}},
    // Ten or more CHTs: the group moves left so that its last bar ends on x 279.
    {0, 12, false, 0, {0, 0, 0}, {17, 20, 22}},
    {1, 11, false, 20, {14, 5, 19}, {17, 42, 22}},
    {2, 9, false, 44, {17, 5, 22}, {19, 68, 24}},
};

class BarGraphGeometry : public testing::TestWithParam<GeometryCase> {};

TEST_P(BarGraphGeometry, GroupWidthsBarWidthsAndPositions)
{
    const GeometryCase& c = GetParam();
    EXPECT_EQ(egtGroupWidth(c.egt, c.cht), c.wE);
    const BarGroupGeometry e = egtBarGeometry(c.egt, c.cht, c.cruise), h = chtBarGeometry(c.egt, c.cht, c.cruise);
    EXPECT_EQ(e.width, c.egtBars.width);
    EXPECT_EQ(e.firstX, c.egtBars.firstX);
    EXPECT_EQ(e.pitch, c.egtBars.pitch);
    EXPECT_EQ(h.width, c.chtBars.width);
    EXPECT_EQ(h.firstX, c.chtBars.firstX);
    EXPECT_EQ(h.pitch, c.chtBars.pitch);
}

// "Egt6Cht4Cruise"
std::string caseName(const GeometryCase& c)
{
    return "Egt" + numberName(c.egt) + "Cht" + numberName(c.cht) + (c.cruise ? "Cruise" : "");
}
void PrintTo(const GeometryCase& c, std::ostream* os) { *os << caseName(c); }

INSTANTIATE_TEST_SUITE_P(Cases, BarGraphGeometry, testing::ValuesIn(kGeometryCases), ByCaseName());

TEST(BarGraphGeometryAll, EveryChannelCountFitsTheAreaWithoutOverlap)
{
    for (int egt = 0; egt <= 12; ++egt)
        for (int cht = 0; egt + cht <= 12; ++cht) {
            if (egt + cht == 0) continue;
            for (bool cruise : {false, true}) {
                SCOPED_TRACE(testing::Message() << egt << " EGT, " << cht << " CHT, cruise " << cruise);
                const BarGroupGeometry e = egtBarGeometry(egt, cht, cruise), h = chtBarGeometry(egt, cht, cruise);
                int egtEnd = -1;
                if (egt > 0) {
                    EXPECT_GE(e.width, 10);
                    EXPECT_GE(e.firstX, 0);
                    egtEnd = e.firstX + (egt - 1) * e.pitch + e.width;
                    EXPECT_LE(egtEnd, 279);
                }
                if (cht > 0) {
                    EXPECT_GE(h.width, 10);
                    EXPECT_GT(h.firstX, egtEnd + 3) << "the groups keep apart";
                    EXPECT_LE(h.firstX + (cht - 1) * h.pitch + h.width, 279);
                }
            }
        }
    EXPECT_EQ(egtGroupWidth(0, 0), 0) << "no channels, no division";
}

TEST_F(BarGraph, EverythingStaysInsideTheGraphArea)
{
    for (int egt = 0; egt <= 12; ++egt)
        for (int cht = 0; egt + cht <= 12; ++cht)
            for (int mode = 0; mode < 3; ++mode) {
                resetWidgetState();
                channels(egt, cht);
                leanActive = mode == 1;
                leanDeltaMode = mode == 2;
                settings.egtScanMode = settings.chtScanMode = 0;
                blinkPhase = 0;
                for (int i = 0; i < 12; ++i) {
                    tc[i] = tcMax[i] = 3000;
                    leanDelta[i] = static_cast<int16_t>(i % 2 ? -999 : 999);
                    leanPeakOrder[i] = static_cast<int16_t>(12 - i);
                }
                draw();
                SCOPED_TRACE(testing::Message() << egt << " EGT, " << cht << " CHT, mode " << mode);
                EXPECT_EQ(countLit() > 0, egt + cht > 0);
                int outside = 0;
                for (int y = 0; y < SCREEN_HEIGHT; ++y)
                    for (int x = 0; x < SCREEN_WIDTH; ++x)
                        outside += pixelAt(x, y) != 0 && (x > 279 || y < 145);
                EXPECT_EQ(outside, 0);
            }
}

struct HeightCase {
    bool lean;
    bool egtGroup;
    int16_t value;
    int height;
};

const HeightCase kHeightCases[] = {
    // EGT 400..850: 450 / 77 units per row; CHT 0..150: 150 / 77.
    {false, true, 400, 0},  {false, true, 399, 0},  {false, true, -500, 0}, {false, true, 625, 38},
    {false, true, 849, 76}, {false, true, 850, 77}, {false, true, 2000, 77}, {false, true, INT16_MAX, 77},
    // Lean mode: EGT bars at most 57 high (450 / 57 units per row), the CHT bars unchanged.
    {true, true, 625, 28},  {true, true, 850, 57},  {true, true, 2000, 57}, {true, true, 400, 0},
    {true, false, 150, 77}, {true, false, 75, 38},  {false, false, 75, 38}, {false, false, 500, 77},
};

class BarGraphHeights : public BarGraph, public testing::WithParamInterface<HeightCase> {};

TEST_P(BarGraphHeights, ScaleTheValueAndStopAtTheMaximum)
{
    const HeightCase& c = GetParam();
    channels(1, 1);
    leanActive = c.lean;
    temperatures({c.egtGroup ? c.value : int16_t{0}, c.egtGroup ? int16_t{0} : c.value});
    draw();
    EXPECT_EQ(barHeight(c.egtGroup ? egtBar(0) : chtBar(0)), c.height) << c.value;
}

// "LeanEgt625", "Cht75"
std::string caseName(const HeightCase& c)
{
    return std::string(c.lean ? "Lean" : "") + (c.egtGroup ? "Egt" : "Cht") + numberName(c.value);
}
void PrintTo(const HeightCase& c, std::ostream* os) { *os << caseName(c); }

INSTANTIATE_TEST_SUITE_P(Cases, BarGraphHeights, testing::ValuesIn(kHeightCases), ByCaseName());

TEST_F(BarGraph, BarColoursAndPeakMarkers)
{
    channels(4, 0);
    temperatures({800, 700, 699, 650});
    tcMax[3] = 850;  // peak at the top: marker rows 229 - 77 and 228 - 77
    draw();
    EXPECT_EQ(pixelAt(egtBar(0) + 2, 229), COLOUR_RED) << "at the high alarm";
    EXPECT_EQ(pixelAt(egtBar(1) + 2, 229), COLOUR_YELLOW) << "at the high caution";
    EXPECT_EQ(pixelAt(egtBar(2) + 2, 229), COLOUR_GREEN);
    const int x = egtBar(3), w = egtBarGeometry(4, 0, false).width;
    for (int col = x; col <= x + w; ++col) {
        EXPECT_EQ(pixelAt(col, 151), COLOUR_WHITE) << col;
        EXPECT_EQ(pixelAt(col, 152), COLOUR_WHITE) << col;
    }
    EXPECT_EQ(pixelAt(x + 2, 150), COLOUR_BLACK);
    EXPECT_NE(pixelAt(x + 2, 153), COLOUR_WHITE);
    EXPECT_EQ(pixelAt(x - 1, 151), COLOUR_BLACK);
    EXPECT_EQ(pixelAt(x + w + 1, 151), COLOUR_BLACK);
}

// Magenta or cyan under each channel number.
std::vector<bool> highlighted(int count, const BarGroupGeometry& g, uint8_t colour)
{
    std::vector<bool> result;
    for (int k = 0; k < count; ++k) {
        const int x = g.firstX + k * g.pitch;
        result.push_back(countColour(x - 4, 233, x + g.width + 4, 248, colour) > 0);
    }
    return result;
}

TEST_F(BarGraph, HighestModeHighlightsEveryChannelAtTheHighest)
{
    channels(4, 4);
    settings.egtScanMode = settings.chtScanMode = 0;
    temperatures({600, 680, 680, 550, 120, 95, 120, 80});
    draw();
    EXPECT_EQ(highlighted(4, egtBarGeometry(4, 4, false), COLOUR_MAGENTA),
              (std::vector<bool>{false, true, true, false}));
    EXPECT_EQ(highlighted(4, chtBarGeometry(4, 4, false), COLOUR_CYAN),
              (std::vector<bool>{true, false, true, false}));
    EXPECT_TRUE(showsText(80, 245, "680", 16, AlignCentre, COLOUR_WHITE));
    EXPECT_GT(countColour(190, 250, 250, 271, COLOUR_YELLOW), 0) << "120 is above the CHT caution";
}

TEST_F(BarGraph, ScanningHighlightsTheSelectedChannelAndShowsIt)
{
    const struct {
        const char* name;
        uint8_t egtSel, chtSel;
        std::vector<bool> egtLit, chtLit;
        const char* egtValue;
        const char* chtValue;
    } cases[] = {
        {"first channels", 0, 4, {true, false, false, false}, {true, false, false, false}, "610", "71"},
        {"third EGT, last CHT", 2, 7, {false, false, true, false}, {false, false, false, true}, "630", "74"},
        {"selections outside their groups fall back to the first", 9, 1, {true, false, false, false},
         {true, false, false, false}, "610", "71"},
    };
    for (const auto& c : cases) {
        resetWidgetState();
        channels(4, 4);
        egtSelected = c.egtSel;
        chtSelected = c.chtSel;
        temperatures({610, 620, 630, 640, 71, 72, 73, 74});
        draw();
        EXPECT_EQ(highlighted(4, egtBarGeometry(4, 4, false), COLOUR_MAGENTA), c.egtLit) << c.name;
        EXPECT_EQ(highlighted(4, chtBarGeometry(4, 4, false), COLOUR_CYAN), c.chtLit) << c.name;
        EXPECT_TRUE(showsText(80, 245, c.egtValue, 16, AlignCentre, COLOUR_WHITE)) << c.name;
        EXPECT_TRUE(showsText(220, 245, c.chtValue, 16, AlignCentre, COLOUR_WHITE)) << c.name;
    }
}

TEST_F(BarGraph, ChannelNumbersUnderTheBars)
{
    channels(2, 2);
    settings.egtScanMode = settings.chtScanMode = 1;
    egtSelected = 1;
    chtSelected = 3;
    draw();
    const BarGroupGeometry e = egtBarGeometry(2, 2, false), h = chtBarGeometry(2, 2, false);
    EXPECT_TRUE(showsText(e.firstX + e.width / 2, 233, "1", 8, AlignCentre, COLOUR_SILVER));
    EXPECT_TRUE(showsText(h.firstX + h.width / 2, 233, "1", 8, AlignCentre, COLOUR_SILVER));
    // Highlighted numbers are black on the group colour, the box from start - 2 to end.
    drawText(h.firstX + h.pitch + h.width / 2, 233, "2", 8, AlignCentre, COLOUR_BLACK);
    EXPECT_EQ(pixelAt(lastTextStartX - 2, 233), COLOUR_CYAN);
    EXPECT_EQ(pixelAt(lastTextEndX, 248), COLOUR_CYAN);
    EXPECT_EQ(pixelAt(lastTextStartX - 3, 240), COLOUR_BLACK);
    EXPECT_EQ(pixelAt(lastTextEndX, 249), COLOUR_BLACK);
}

TEST_F(BarGraph, LeanModeDropsEgtNumbersAndShowsDeltasAndPeakOrders)
{
    channels(4, 2);
    settings.egtScanMode = 0;
    chtSelected = 5;
    leanActive = 1;
    temperatures({640, 660, 655, 670, 90, 95});
    leanPeakOrder[1] = 2;
    leanDelta[1] = -12;
    leanPeakOrder[3] = 1;
    leanDelta[3] = -25;
    leanDelta[0] = 7;  // not shown: channel 1 has not passed its peak
    draw();
    const BarGroupGeometry e = egtBarGeometry(4, 2, false);
    auto centre = [&](int k) { return e.firstX + k * e.pitch + e.width / 2; };
    EXPECT_EQ(countColour(0, 233, e.firstX + 3 * e.pitch + e.width, 248, COLOUR_SILVER), 0) << "no EGT numbers";
    EXPECT_EQ(countColour(0, 233, 279, 248, COLOUR_MAGENTA), 0);
    EXPECT_TRUE(showsText(centre(0), 145, "640", 8, AlignCentre, COLOUR_WHITE));
    EXPECT_TRUE(showsText(centre(1), 157, "-12", 8, AlignCentre, COLOUR_WHITE));
    EXPECT_TRUE(showsText(centre(2), 145, "655", 8, AlignCentre, COLOUR_WHITE));
    EXPECT_TRUE(showsText(centre(3), 157, "-25", 8, AlignCentre, COLOUR_WHITE));
    EXPECT_TRUE(showsText(centre(1) + 1, 232, "2", 8, AlignCentre, COLOUR_WHITE));
    EXPECT_TRUE(showsText(centre(3) + 1, 232, "1", 8, AlignCentre, COLOUR_WHITE));
    EXPECT_EQ(countColour(centre(0) - 4, 232, centre(0) + 4, 244, COLOUR_WHITE), 0) << "no order yet";
    const BarGroupGeometry h = chtBarGeometry(4, 2, false);
    EXPECT_TRUE(showsText(h.firstX + h.width / 2, 233, "1", 8, AlignCentre, COLOUR_SILVER)) << "CHT numbers stay";
    EXPECT_TRUE(showsText(90, 245, "670", 16, AlignCentre, COLOUR_WHITE)) << "the single value moves to x 90";
}

TEST_F(BarGraph, LabelsAndSingleValuePositionsByMode)
{
    const struct {
        const char* name;
        int egt, cht;
        uint8_t lean, cruise, phase;
        int egtX, chtX;
        std::vector<std::pair<Point, const char*>> white, magenta, cyan;
    } cases[] = {
        {"normal", 2, 2, 0, 0, 0, 80, 220, {}, {{{0, 258}, "EGT"}}, {{{140, 258}, "CHT"}}},
        {"CHT only", 0, 2, 0, 0, 1, 0, 80, {}, {}, {{{0, 258}, "CHT"}}},
        {"lean, phase 0", 2, 2, 1, 0, 0, 90, 220, {{{0, 246}, "LEAN"}, {{0, 259}, "MODE"}}, {}, {{{140, 258}, "CHT"}}},
        {"lean, phase 1", 2, 2, 1, 0, 1, 90, 220, {}, {{{0, 258}, "EGT"}}, {{{140, 258}, "CHT"}}},
        {"cruise, phase 1", 2, 2, 0, 1, 1, 55, 220, {}, {{{0, 258}, "EGT"}}, {}},
        {"cruise, CHT only", 0, 2, 0, 1, 1, 0, 220, {}, {}, {}},
    };
    for (const auto& c : cases) {
        resetWidgetState();
        channels(c.egt, c.cht);
        settings.egtScanMode = settings.chtScanMode = 0;
        leanActive = c.lean;
        leanDeltaMode = c.cruise;
        blinkPhase = c.phase;
        temperatures({c.egt ? int16_t{650} : int16_t{90}, c.egt ? int16_t{660} : int16_t{91}, 90, 91});
        draw();
        if (c.egt) {
            EXPECT_TRUE(showsText(c.egtX, 245, "660", 16, AlignCentre, COLOUR_WHITE)) << c.name;
        }
        EXPECT_TRUE(showsText(c.chtX, 245, "91", 16, AlignCentre, COLOUR_WHITE)) << c.name;
        for (const auto& [at, text] : c.white) EXPECT_TRUE(showsText(at.first, at.second, text, 8, AlignLeft, COLOUR_WHITE)) << c.name;
        for (const auto& [at, text] : c.magenta) EXPECT_TRUE(showsText(at.first, at.second, text, 8, AlignLeft, COLOUR_MAGENTA)) << c.name;
        for (const auto& [at, text] : c.cyan) EXPECT_TRUE(showsText(at.first, at.second, text, 8, AlignLeft, COLOUR_CYAN)) << c.name;
        if (c.cyan.empty()) {
            EXPECT_EQ(countColour(0, 250, 279, 271, COLOUR_CYAN), 0) << c.name << ": no CHT label";
        }
        if (c.lean && c.phase == 0) {
            EXPECT_EQ(countColour(0, 245, 60, 271, COLOUR_MAGENTA), 0) << c.name;
        }
    }
    resetWidgetState();
    channels(2, 2);
    leanDeltaMode = 1;
    blinkPhase = 0;
    draw();
    EXPECT_TRUE(showsText(135, 245, "CRUISE", 8, AlignCentre, COLOUR_WHITE));
    EXPECT_TRUE(showsText(135, 259, "MODE", 8, AlignCentre, COLOUR_WHITE));
}

TEST_F(BarGraph, SingleValueBoxIsSteady)
{
    const struct {
        int16_t value;
        uint8_t box;
    } cases[] = {{700, COLOUR_BLACK}, {701, COLOUR_YELLOW}, {800, COLOUR_YELLOW}, {801, COLOUR_RED},
                 {1200, COLOUR_RED}};
    for (const auto& c : cases)
        for (uint8_t phase : {0, 1}) {
            resetWidgetState();
            channels(1, 0);
            blinkPhase = phase;
            temperatures({c.value});
            drawEgtBarGraph();
            for (uint8_t colour : {COLOUR_RED, COLOUR_YELLOW})
                EXPECT_EQ(countColour(40, 250, 120, 271, colour) > 0, colour == c.box)
                    << c.value << " phase " << int(phase);
            EXPECT_EQ(countColour(40, 249, 120, 249, COLOUR_RED) + countColour(40, 249, 120, 249, COLOUR_YELLOW), 0)
                << "the box starts on row 250";
        }
}

TEST_F(BarGraph, LimitLinesAreDashedFromFirstToLastBar)
{
    const struct {
        const char* name;
        bool lean;
        int16_t alarm, caution;
        int alarmRow, cautionRow;
    } cases[] = {
        {"normal", false, 800, 710, 162, 177},
        {"lean mode", true, 800, 710, 180, 191},
        {"limit above the range sits at the top", false, 900, 710, 153, 177},
        {"limit below the range lies on the base", false, 800, 300, 162, 230},
    };
    for (const auto& c : cases) {
        resetWidgetState();
        channels(4, 0);
        leanActive = c.lean;
        settings.egtHighAlarm = c.alarm;
        settings.egtHighCaution = c.caution;
        temperatures({400, 400, 400, 400});
        drawEgtBarGraph();
        const BarGroupGeometry e = egtBarGeometry(4, 0, false);
        const int x0 = e.firstX, x1 = e.firstX + 3 * e.pitch + e.width;
        for (const auto& [row, colour] : {std::pair{c.alarmRow, COLOUR_RED}, std::pair{c.cautionRow, COLOUR_YELLOW}}) {
            for (int x = x0; x <= x1; ++x)
                ASSERT_EQ(pixelAt(x, row), (x - x0) % 10 < 5 ? colour : COLOUR_BLACK) << c.name << " x " << x;
            EXPECT_EQ(pixelAt(x0 - 1, row), COLOUR_BLACK) << c.name;
            EXPECT_EQ(pixelAt(x1 + 1, row), COLOUR_BLACK) << c.name;
        }
    }
}

TEST_F(BarGraph, CruiseModeDeviationBars)
{
    const struct {
        uint8_t unit;
        int16_t delta;
        int top, bottom;  // cyan rows; top > bottom: none
    } cases[] = {{0, 20, 199, 202},   {0, -20, 202, 205}, {0, 0, 1, 0},        {0, 6, 1, 0},
                 {0, 7, 201, 202},    {0, 1000, 172, 202}, {0, -1000, 202, 232}, {1, 20, 201, 202},
                 {1, 40, 199, 202},   {1, -400, 202, 232}};
    for (const auto& c : cases) {
        resetWidgetState();
        channels(1, 1);
        settings.temperatureUnit = c.unit;
        leanDeltaMode = 1;
        leanDelta[0] = c.delta;
        draw();
        const BarGroupGeometry e = egtBarGeometry(1, 1, true);
        const int x = e.firstX + 3;
        for (int y = 160; y <= 240; ++y)
            EXPECT_EQ(pixelAt(x, y) == COLOUR_CYAN, y >= c.top && y <= c.bottom)
                << "unit " << int(c.unit) << " delta " << c.delta << " row " << y;
        char text[8];
        std::snprintf(text, sizeof text, "%d", c.delta);
        EXPECT_TRUE(showsText(e.firstX + e.width / 2, 145, text, 8, AlignCentre, COLOUR_WHITE)) << c.delta;
    }
    // The silver baseline: pixels 0..4 of every 10 from x 0 to 274, where no bar covers it.
    resetWidgetState();
    channels(1, 1);
    leanDeltaMode = 1;
    draw();
    for (int x = 0; x <= 279; ++x)
        EXPECT_EQ(pixelAt(x, 202), x <= 274 && x % 10 < 5 ? COLOUR_SILVER : COLOUR_BLACK) << x;
}

TEST_F(BarGraph, CruiseModeHasNoHighlights)
{
    channels(2, 2);
    settings.egtScanMode = 0;
    leanDeltaMode = 1;
    temperatures({700, 700, 90, 90});
    draw();
    EXPECT_EQ(countColour(0, 233, 279, 248, COLOUR_MAGENTA), 0);
    EXPECT_EQ(countColour(0, 233, 279, 248, COLOUR_CYAN), 0);
    EXPECT_TRUE(showsText(55, 245, "700", 16, AlignCentre, COLOUR_WHITE)) << "the highest, at x 55";
}

TEST_F(BarGraph, DegenerateSettingsDrawSafely)
{
    channels(0, 0);
    draw();
    drawEgtBarGraph();
    drawChtBarGraph();
    EXPECT_EQ(countLit(), 0);

    settings.egtChannels = 200;  // only a damaged record holds this; twelve channels are shown
    settings.chtChannels = 200;
    egtSelected = chtSelected = 250;
    drawEgtBarGraph();
    drawChtBarGraph();
    EXPECT_GT(countLit(), 0);

    clearScreen();
    channels(2, 0);
    settings.egtDisplayMax = settings.egtDisplayMin = 500;
    temperatures({600, 400});
    drawEgtBarGraph();
    EXPECT_EQ(barHeight(egtBar(0)), 77);
    EXPECT_EQ(barHeight(egtBar(1)), 0);
}

// The sheet: nine graphs as the engine page shows them (x 0..279, y 140..271).
TEST_F(BarGraph, SheetMatchesGolden)
{
    WidgetSheet sheet(3, 3, 280, 132);
    struct Cell {
        int egt, cht;
        uint8_t egtScan, chtScan, egtSel, chtSel, lean, cruise, phase;
        std::vector<int16_t> temps;
    };
    const Cell cells[9] = {
        {1, 0, 0, 0, 0, 0, 0, 0, 0, {735}},
        {4, 0, 0, 0, 0, 0, 0, 0, 0, {690, 745, 745, 610}},
        {6, 4, 1, 1, 3, 7, 0, 0, 0, {640, 700, 760, 812, 655, 590, 95, 104, 138, 88}},
        {12, 0, 0, 0, 0, 0, 0, 0, 0, {600, 620, 640, 660, 680, 700, 720, 740, 760, 780, 800, 820}},
        {0, 12, 0, 0, 0, 0, 0, 0, 0, {40, 55, 70, 85, 100, 115, 130, 145, 100, 90, 80, 70}},
        {2, 2, 1, 1, 0, 3, 0, 0, 0, {830, 780, 112, 134}},
        {4, 4, 1, 1, 0, 4, 1, 0, 0, {701, 712, 698, 706, 92, 96, 99, 94}},
        {4, 4, 1, 1, 0, 4, 1, 0, 1, {701, 712, 698, 706, 92, 96, 99, 94}},
        {4, 4, 0, 0, 0, 4, 0, 1, 0, {701, 712, 698, 706, 92, 96, 99, 94}},
    };
    for (int i = 0; i < 9; ++i) {
        const Cell& c = cells[i];
        resetWidgetState();
        channels(c.egt, c.cht);
        settings.egtScanMode = c.egtScan;
        settings.chtScanMode = c.chtScan;
        egtSelected = c.egtSel;
        chtSelected = c.chtSel;
        leanActive = c.lean;
        leanDeltaMode = c.cruise;
        blinkPhase = c.phase;
        for (size_t k = 0; k < c.temps.size(); ++k) {
            tc[k] = c.temps[k];
            tcMax[k] = static_cast<int16_t>(c.temps[k] + (k % 3) * 15);
        }
        if (c.lean) {
            const int16_t orders[4] = {2, 0, 3, 1}, deltas[4] = {-14, 0, -9, -31};
            for (int k = 0; k < 4; ++k) leanPeakOrder[k] = orders[k], leanDelta[k] = deltas[k];
        }
        if (c.cruise) {
            const int16_t deltas[8] = {12, -8, 0, 45, -3, 5, 260, -70};
            for (int k = 0; k < 8; ++k) leanDelta[k] = deltas[k];
        }
        draw();
        sheet.capture(i, 0, 140);
    }
    EXPECT_TRUE(sheet.matchesGolden("widgets/bar_graphs"));
}

}  // namespace

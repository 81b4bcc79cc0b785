// The fuel area: every arrangement for every layout code with and without fuel pressure, tank
// contents formats, alarm and caution boxes, the blinking FAIL, CALC, the three-zone tank bar,
// and golden sheets of all of them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "param_names.h"
#include "test_support.h"
#include "widget_test_support.h"

namespace {

// Fuel settings that give each layout code, with the settings' own derivation.
struct FuelSetup {
    uint8_t flow1, flow2, mode, tank1, tank2;
};

constexpr uint8_t SENDER = 0, CALC = 1, OFF = 2;

const FuelSetup kSetups[15] = {
    {1, 0, 0, SENDER, OFF},    // 0
    {0, 1, 0, OFF, SENDER},    // 1
    {0, 0, 0, SENDER, OFF},    // 2
    {0, 0, 0, OFF, SENDER},    // 3
    {0, 0, 0, SENDER, SENDER}, // 4
    {1, 0, 0, OFF, OFF},       // 5
    {0, 1, 0, OFF, OFF},       // 6
    {1, 1, 0, OFF, OFF},       // 7
    {1, 1, 1, OFF, OFF},       // 8
    {1, 1, 0, SENDER, OFF},    // 9
    {1, 1, 0, SENDER, CALC},   // 10
    {1, 1, 2, SENDER, SENDER}, // 11
    {1, 1, 1, CALC, OFF},      // 12
    {1, 1, 2, OFF, SENDER},    // 13
    {1, 0, 0, SENDER, CALC},   // 14
};

void setUpLayout(int layout, bool fuelPressure)
{
    const FuelSetup& s = kSetups[layout];
    settings.flow1On = s.flow1;
    settings.flow2On = s.flow2;
    settings.dualFlowMode = s.mode;
    settings.tank1Source = s.tank1;
    settings.tank2Source = s.tank2;
    settings.fuelPressureOn = fuelPressure;
    updateFuelLayout();
}

// Everyday values: flows of 28.5 and 19.0 L/h, tanks at 32 and 27 of 45 L, 3.5 psi.
void everydayValues()
{
    fuelFlow[0] = 285;
    fuelFlow[1] = 190;
    fuelLevel[0] = 32;
    fuelLevel[1] = 27;
    fuelPressure = 35;
}

class FuelArea : public testing::Test {
protected:
    void SetUp() override
    {
        resetWidgetState();
        everydayValues();
    }
};

TEST_F(FuelArea, SetupsGiveTheirLayoutCodes)
{
    for (int layout = 0; layout < 15; ++layout) {
        setUpLayout(layout, true);
        EXPECT_EQ(fuelLayout, layout);
    }
}

TEST_F(FuelArea, EveryArrangementStaysInsideTheFuelArea)
{
    for (int layout = 0; layout <= 15; ++layout)
        for (bool fp : {false, true})
            for (uint8_t phase : {0, 1}) {
                resetWidgetState();
                everydayValues();
                if (layout < 15) setUpLayout(layout, fp);
                else settings.fuelPressureOn = fp, fuelLayout = 200;  // unknown codes show fuel pressure only
                fuelLevel[0] = 5;
                fuelLevelOpen[1] = 1;
                fuelFlow[1] = 9999;
                fuelPressure = 999;
                blinkPhase = phase;
                drawFuelArea();
                SCOPED_TRACE(testing::Message() << "layout " << layout << " fp " << fp << " phase " << int(phase));
                int outside = 0;
                for (int y = 0; y < SCREEN_HEIGHT; ++y)
                    for (int x = 0; x < SCREEN_WIDTH; ++x) outside += pixelAt(x, y) != 0 && (x < 281 || y < 142);
                EXPECT_EQ(outside, 0);
                EXPECT_EQ(countLit() > 0, layout != 9 && layout != 15 ? true : fp);
            }
}

TEST_F(FuelArea, TankContentsFormats)
{
    const struct {
        uint8_t unit, resolution;
        int32_t level;
        const char* text;
    } cases[] = {{0, 0, 45, "45"},   {0, 1, 455, "45.5"}, {2, 0, 0, "0"},     {4, 1, 0, "0.0"},
                 {1, 0, 123, "12.3"}, {3, 1, 5, "0.5"},   {5, 0, 100, "10.0"}, {1, 1, 999, "99.9"}};
    for (const auto& c : cases) {
        settings.fuelUnit = c.unit;
        settings.tankLitreResolution = c.resolution;
        char text[16];
        formatTankContents(text, sizeof text, c.level);
        EXPECT_STREQ(text, c.text) << "unit " << int(c.unit) << " resolution " << int(c.resolution);
    }
}

TEST_F(FuelArea, FlowTextsAndUnits)
{
    const struct {
        int layout;
        uint8_t unit;
        uint16_t flow1, flow2;
        int x, y;
        uint8_t font, align;
        const char* text;
        int unitX, unitY;
        uint8_t unitAlign;
        const char* unitText;
    } cases[] = {
        {0, 0, 285, 0, 430, 146, 20, AlignRight, "28.5", 440, 161, AlignLeft, "L/hr"},
        {1, 1, 0, 74, 430, 146, 20, AlignRight, "7.4", 440, 161, AlignLeft, "G/hr"},
        {12, 0, 50, 65, 430, 146, 20, AlignRight, "-1.5", 440, 161, AlignLeft, "L/hr"},  // DIFFERENTIAL
        {13, 0, 50, 65, 430, 146, 20, AlignRight, "11.5", 440, 161, AlignLeft, "L/hr"},  // SUMMATION
        {5, 0, 285, 0, 415, 201, 20, AlignRight, "28.5", 450, 219, AlignCentre, "L/hr"},
        {6, 3, 0, 190, 415, 201, 20, AlignRight, "19.0", 450, 219, AlignCentre, "G/hr"},
        {8, 0, 50, 65, 420, 147, 20, AlignRight, "-1.5", 460, 165, AlignCentre, "L/hr"},
        {11, 0, 285, 190, 380, 142, 16, AlignCentre, "47.5", 460, 151, AlignCentre, "L/hr"},
        {14, 0, 285, 0, 380, 142, 16, AlignCentre, "28.5", 460, 151, AlignCentre, "L/hr"},
    };
    for (const auto& c : cases) {
        resetWidgetState();
        setUpLayout(c.layout, true);
        settings.fuelUnit = c.unit;
        fuelFlow[0] = c.flow1;
        fuelFlow[1] = c.flow2;
        drawFuelArea();
        EXPECT_TRUE(showsText(c.x, c.y, c.text, c.font, c.align, COLOUR_WHITE, 4)) << "layout " << c.layout;
        EXPECT_TRUE(showsText(c.unitX, c.unitY, c.unitText, 8, c.unitAlign, COLOUR_SILVER)) << "layout " << c.layout;
    }
}

TEST_F(FuelArea, SeparateFlowsKeepTheirOwnValues)
{
    setUpLayout(10, true);
    drawFuelArea();
    EXPECT_TRUE(showsText(320, 142, "28.5", 16, AlignCentre, COLOUR_WHITE));
    EXPECT_TRUE(showsText(408, 142, "19.0", 16, AlignCentre, COLOUR_WHITE));
    clearScreen();
    setUpLayout(7, false);
    drawFuelArea();
    EXPECT_TRUE(showsText(290, 155, "FUEL FLOW 1", 8, AlignLeft, COLOUR_SILVER));
    EXPECT_TRUE(showsText(420, 170, "28.5", 20, AlignRight, COLOUR_WHITE, 4));
    EXPECT_TRUE(showsText(420, 230, "19.0", 20, AlignRight, COLOUR_WHITE, 4));
    clearScreen();
    setUpLayout(8, false);
    drawFuelArea();
    EXPECT_TRUE(showsText(380, 205, "28.5", 12, AlignLeft, COLOUR_WHITE, 4));
    EXPECT_TRUE(showsText(380, 235, "19.0", 12, AlignLeft, COLOUR_WHITE, 4));
    EXPECT_TRUE(showsText(420, 157, "9.5", 20, AlignRight, COLOUR_WHITE, 4)) << "28.5 - 19.0";
}

// One tank's contents box in an arrangement: the tank, the text position and rows.
struct TankBoxCase {
    const char* name;
    int layout;
    bool fp;
    int tank;
    int textX, textY;
    int top, bottom;
    int margin;
    uint8_t failFont;
    int failX, failY, failTop, failBottom;
};

const TankBoxCase kTankBoxes[] = {
    {"layout 0", 0, true, 0, 420, 187, 189, 216, 2, 12, 420, 192, 194, 212},
    {"layout 1", 1, false, 1, 420, 187, 189, 216, 2, 12, 420, 192, 194, 212},
    {"layout 2", 2, true, 0, 414, 195, 197, 223, 1, 16, 414, 195, 197, 223},
    {"layout 3", 3, false, 1, 414, 195, 197, 223, 1, 16, 414, 195, 197, 223},
    {"layout 4, tank 1", 4, true, 0, 414, 159, 161, 187, 2, 16, 414, 159, 161, 187},
    {"layout 4, tank 2", 4, false, 1, 414, 203, 205, 231, 2, 16, 414, 203, 205, 231},
    {"layout 10, tank 1", 10, true, 0, 414, 168, 170, 196, 2, 16, 414, 168, 170, 196},
    {"layout 10, tank 2", 10, false, 1, 414, 198, 200, 226, 2, 16, 414, 198, 200, 226},
    {"layout 11, tank 1", 11, true, 0, 414, 167, 169, 195, 2, 16, 414, 167, 169, 195},
    {"layout 11, tank 2", 11, true, 1, 414, 194, 196, 222, 2, 16, 414, 194, 197, 222},
    {"layout 14, tank 2", 14, false, 1, 414, 198, 200, 226, 2, 16, 414, 198, 201, 226},
    {"layout 13", 13, true, 1, 420, 187, 189, 216, 2, 12, 420, 192, 194, 212},
};

class TankBoxes : public testing::TestWithParam<TankBoxCase> {
protected:
    void SetUp() override
    {
        resetWidgetState();
        everydayValues();
        setUpLayout(GetParam().layout, GetParam().fp);
        // Both tanks: low alarm 10, low caution 20 (factory).
    }
    // The box colour at its top-left and bottom-right corners, and just outside them.
    static void expectBox(int x0, int x1, int top, int bottom, uint8_t colour, const char* what)
    {
        EXPECT_EQ(pixelAt(x0, top), colour) << what;
        EXPECT_EQ(pixelAt(x1, bottom), colour) << what;
        EXPECT_NE(pixelAt(x0 - 1, top), colour) << what;
        EXPECT_NE(pixelAt(x0, top - 1), colour) << what;
        EXPECT_NE(pixelAt(x1, bottom + 1), colour) << what;
    }
};

TEST_P(TankBoxes, AlarmFlashesCautionStaysAndFailBlinks)
{
    const TankBoxCase& c = GetParam();
    uint16_t& level = fuelLevel[c.tank];
    char text[16];

    level = 8;  // below the low alarm
    std::snprintf(text, sizeof text, "%d", level);
    for (uint8_t phase : {0, 1}) {
        clearScreen();
        blinkPhase = phase;
        drawFuelArea();
        EXPECT_TRUE(showsText(c.textX, c.textY, text, 16, AlignLeft, COLOUR_WHITE)) << c.name;
        drawText(c.textX, c.textY, text, 16, AlignLeft, COLOUR_WHITE);
        if (phase == 1) expectBox(lastTextStartX - c.margin, lastTextEndX, c.top, c.bottom, COLOUR_RED, c.name);
        else EXPECT_NE(pixelAt(lastTextStartX - c.margin, c.top), COLOUR_RED) << c.name;
    }

    level = 15;  // below the low caution: a steady yellow box with black digits
    for (uint8_t phase : {0, 1}) {
        clearScreen();
        blinkPhase = phase;
        drawFuelArea();
        drawText(c.textX, c.textY, "15", 16, AlignLeft, COLOUR_BLACK);
        expectBox(lastTextStartX - c.margin, lastTextEndX, c.top, c.bottom, COLOUR_YELLOW, c.name);
        EXPECT_EQ(countColour(lastTextStartX, c.top, lastTextEndX, c.bottom, COLOUR_WHITE), 0) << c.name;
    }

    level = 20;  // at the low caution: no box
    clearScreen();
    drawFuelArea();
    drawText(c.textX, c.textY, "20", 16, AlignLeft, COLOUR_WHITE);
    EXPECT_EQ(pixelAt(lastTextStartX - c.margin, c.top), COLOUR_BLACK) << c.name;

    fuelLevelOpen[c.tank] = 1;  // open sender: "FAIL" blinks in its red box instead of the contents
    level = 30;
    for (uint8_t phase : {0, 1}) {
        clearScreen();
        blinkPhase = phase;
        drawFuelArea();
        const int x0 = c.failX - c.margin, x1 = c.failX + textAdvance("FAIL", c.failFont);
        if (phase == 1) {
            expectBox(x0, x1, c.failTop, c.failBottom, COLOUR_RED, c.name);
            EXPECT_TRUE(showsText(c.failX, c.failY, "FAIL", c.failFont, AlignLeft, COLOUR_WHITE)) << c.name;
        } else {
            EXPECT_EQ(countColour(x0, c.failY, x1, c.failY + 30, COLOUR_WHITE), 0) << c.name << ": nothing in phase 0";
            EXPECT_EQ(countColour(x0, c.failY, x1, c.failY + 30, COLOUR_RED), 0) << c.name;
        }
    }
}

std::string caseName(const TankBoxCase& c) { return ::caseName(c.name); }
void PrintTo(const TankBoxCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Cases, TankBoxes, testing::ValuesIn(kTankBoxes), ByCaseName());

TEST_F(FuelArea, TankBarThreeZonesAndMarker)
{
    // 45 L over 95 pixels: low alarm 10 at 21, low caution 20 at 42.
    drawTankBar(320, 195, 95, 16, 32, 45, 10, 20);
    const struct {
        int x0, x1;
        uint8_t colour;
    } spans[] = {{320, 340, COLOUR_RED}, {341, 361, COLOUR_YELLOW}, {362, 415, COLOUR_GREEN}};
    const int marker = 320 + 67;  // 32 / (45 / 95) = 67.5
    for (const auto& s : spans)
        for (int x = s.x0; x <= s.x1; ++x)
            if (x < marker - 2 || x > marker + 2) {
                EXPECT_EQ(pixelAt(x, 203), s.colour) << x;
            }
    for (int x = marker - 2; x <= marker + 2; ++x) EXPECT_EQ(pixelAt(x, 192), COLOUR_WHITE) << x;
    EXPECT_EQ(pixelAt(416, 203), COLOUR_BLACK);

    clearScreen();
    drawTankBar(320, 195, 95, 16, 60, 45, 10, 20);  // fuller than the tank: marker 2 past the end
    EXPECT_EQ(pixelAt(419, 192), COLOUR_WHITE);
    EXPECT_EQ(pixelAt(420, 192), COLOUR_BLACK);

    clearScreen();
    drawTankBar(320, 195, 95, 16, 5, 0, 10, 20);  // a tank of size 0: no division, nothing past the bar
    EXPECT_EQ(pixelAt(417, 192), COLOUR_WHITE) << "any contents pin the marker at the right end";
    EXPECT_EQ(countColour(416, 190, 479, 215, COLOUR_RED) + countColour(416, 190, 479, 215, COLOUR_GREEN), 0);
    EXPECT_EQ(countColour(320, 195, 414, 211, COLOUR_RED), 95 * 17) << "red over the whole bar";
}

TEST_F(FuelArea, CalcMarksCalculatedTanksOnTheirBars)
{
    const struct {
        int layout;
        std::vector<int> rows;
    } cases[] = {{12, {195}}, {10, {203}}, {14, {202}}, {0, {}}, {11, {}}};
    for (const auto& c : cases) {
        resetWidgetState();
        everydayValues();
        setUpLayout(c.layout, true);
        drawFuelArea();
        for (int row : c.rows) EXPECT_TRUE(showsText(362, row, "CALC", 8, AlignCentre, COLOUR_SILVER)) << c.layout;
        if (c.rows.empty()) {
            EXPECT_EQ(countColour(340, 160, 385, 222, COLOUR_SILVER), 0) << c.layout;
        }
    }
}

TEST_F(FuelArea, FuelPressureOnlyLayout)
{
    setUpLayout(9, false);
    drawFuelArea();
    EXPECT_EQ(countLit(), 0);
    setUpLayout(9, true);
    drawFuelArea();
    EXPECT_TRUE(showsText(380, 185, "FUEL PRESSURE", 8, AlignCentre, COLOUR_SILVER));
    EXPECT_TRUE(showsText(415, 205, "3.5", 9, AlignLeft, COLOUR_WHITE, 4));
    EXPECT_EQ(countColour(260, 200, 299, 215, COLOUR_SILVER), 0) << "no FP label";
}

TEST_F(FuelArea, LayoutFourThenTankTwoOffShowsTheSingleTank)
{
    setUpLayout(4, false);
    drawFuelArea();
    EXPECT_TRUE(showsText(288, 211, "FL2", 8, AlignLeft, COLOUR_SILVER));
    settings.tank2Source = OFF;
    updateFuelLayout();
    ASSERT_EQ(fuelLayout, 2);
    clearScreen();
    drawFuelArea();
    EXPECT_TRUE(showsText(380, 165, "FUEL LEVEL", 8, AlignCentre, COLOUR_SILVER));
    EXPECT_TRUE(showsText(380, 235, "LITRES", 8, AlignCentre, COLOUR_SILVER));
}

// Sheets: the fuel area (x 280..479, y 140..271) in cells of four by four.
void captureLayouts(bool fp, const std::string& golden)
{
    WidgetSheet sheet(4, 4, 200, 132);
    for (int layout = 0; layout < 16; ++layout) {
        resetWidgetState();
        everydayValues();
        if (layout < 15) {
            setUpLayout(layout, fp);
        } else {  // layout 4 in gallons
            setUpLayout(4, fp);
            settings.fuelUnit = 1;
            settings.tank1Size = settings.tank2Size = 450;
            settings.tank1LowAlarm = settings.tank2LowAlarm = 60;
            settings.tank1LowCaution = settings.tank2LowCaution = 120;
            fuelLevel[0] = 312;
            fuelLevel[1] = 87;
        }
        blinkPhase = 1;
        drawFuelArea();
        sheet.capture(layout, 280, 140);
    }
    EXPECT_TRUE(sheet.matchesGolden(golden));
}

TEST_F(FuelArea, LayoutsWithFuelPressureMatchGolden) { captureLayouts(true, "fuel_area/layouts_fuel_pressure"); }

TEST_F(FuelArea, LayoutsWithoutFuelPressureMatchGolden) { captureLayouts(false, "fuel_area/layouts_no_fuel_pressure"); }

TEST_F(FuelArea, TankStatesMatchGolden)
{
    WidgetSheet sheet(4, 3, 200, 132);
    struct Cell {
        int layout;
        bool fp;
        uint8_t phase;
        uint16_t level1, level2;
        uint8_t open1, open2;
        uint16_t pressure;
    };
    const Cell cells[12] = {
        {0, true, 0, 8, 0, 0, 0, 35},    {0, true, 1, 8, 0, 0, 0, 35},   {0, true, 0, 15, 0, 0, 0, 12},
        {0, true, 0, 30, 0, 1, 0, 35},   {0, true, 1, 30, 0, 1, 0, 90},  {12, false, 1, 41, 0, 0, 0, 35},
        {2, true, 1, 8, 0, 0, 0, 35},    {3, false, 1, 0, 30, 0, 1, 35}, {10, true, 1, 7, 18, 0, 0, 35},
        {11, true, 1, 30, 30, 0, 1, 35}, {14, false, 1, 30, 16, 1, 0, 35}, {4, true, 0, 15, 5, 0, 0, 10},
    };
    for (int i = 0; i < 12; ++i) {
        const Cell& c = cells[i];
        resetWidgetState();
        everydayValues();
        setUpLayout(c.layout, c.fp);
        blinkPhase = c.phase;
        fuelLevel[0] = c.level1;
        fuelLevel[1] = c.level2;
        fuelLevelOpen[0] = c.open1;
        fuelLevelOpen[1] = c.open2;
        fuelPressure = static_cast<int16_t>(c.pressure);
        drawFuelArea();
        sheet.capture(i, 280, 140);
    }
    EXPECT_TRUE(sheet.matchesGolden("fuel_area/tank_states"));
}

}  // namespace

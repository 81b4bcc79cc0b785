// Bar gauge zones and marker, the value box with its blink phases, the bar widgets' texts and
// formats, and a golden sheet of every bar widget in its normal, caution and alarm states.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "param_names.h"
#include "test_support.h"
#include "widget_test_support.h"

namespace {

class BarWidgets : public testing::Test {
protected:
    void SetUp() override { resetWidgetState(); }
};

struct Span {
    int x0, x1;
    uint8_t colour;
};

struct ZoneCase {
    const char* name;
    int32_t displayMin, displayMax;
    int32_t lowAlarm, lowCaution, highCaution, highAlarm;
    std::vector<Span> spans;  // the bar's columns at x = 100, width 100, left to right
    int firstBlank;           // first column right of the zones that stays black
};

const ZoneCase kZoneCases[] = {
    {"ordinary zones, one unit per pixel", 0, 100, 10, 20, 70, 80,
     {{100, 109, COLOUR_RED}, {110, 119, COLOUR_YELLOW}, {120, 169, COLOUR_GREEN}, {170, 179, COLOUR_YELLOW},
      {180, 200, COLOUR_RED}}, 201},
    {"two units per pixel", 0, 200, 20, 40, 140, 160,
     {{100, 109, COLOUR_RED}, {110, 119, COLOUR_YELLOW}, {120, 169, COLOUR_GREEN}, {170, 179, COLOUR_YELLOW},
      {180, 200, COLOUR_RED}}, 201},
    {"one and a half units per pixel truncates", 0, 150, 10, 20, 70, 80,
     {{100, 105, COLOUR_RED}, {106, 112, COLOUR_YELLOW}, {113, 145, COLOUR_GREEN}, {146, 152, COLOUR_YELLOW},
      {153, 200, COLOUR_RED}}, 201},
    {"display range not starting at zero", 80, 180, 100, 110, 140, 150,
     {{100, 119, COLOUR_RED}, {120, 129, COLOUR_YELLOW}, {130, 159, COLOUR_GREEN}, {160, 169, COLOUR_YELLOW},
      {170, 200, COLOUR_RED}}, 201},
    {"low alarm below the range starts with yellow", 0, 100, -20, 20, 70, 80,
     {{100, 119, COLOUR_YELLOW}, {120, 169, COLOUR_GREEN}, {170, 179, COLOUR_YELLOW}, {180, 200, COLOUR_RED}}, 201},
    {"both low limits below the range start with green", 0, 100, -20, -10, 70, 80,
     {{100, 169, COLOUR_GREEN}, {170, 179, COLOUR_YELLOW}, {180, 200, COLOUR_RED}}, 201},
    {"high alarm above the range runs past the right end", 0, 100, 10, 20, 70, 130,
     {{100, 109, COLOUR_RED}, {110, 119, COLOUR_YELLOW}, {120, 169, COLOUR_GREEN}, {170, 230, COLOUR_YELLOW}}, 231},
    {"both high limits above the range", 0, 100, 10, 20, 120, 130,
     {{100, 109, COLOUR_RED}, {110, 119, COLOUR_YELLOW}, {120, 219, COLOUR_GREEN}, {220, 230, COLOUR_YELLOW}}, 231},
    {"zero-width range keeps its zones within the bar", 50, 50, 10, 20, 70, 80,
     {{100, 199, COLOUR_GREEN}, {200, 200, COLOUR_RED}}, 201},
};

class BarGaugeZones : public testing::TestWithParam<ZoneCase> {
protected:
    void SetUp() override { resetWidgetState(); }
};

TEST_P(BarGaugeZones, FillTheBarLeftToRight)
{
    const ZoneCase& c = GetParam();
    // The marker stands on the left end (value far below the range), columns 100..104.
    drawBarGauge({100, 100, 100, 8, INT32_MIN, c.displayMax, c.displayMin, c.lowAlarm, c.lowCaution, c.highCaution,
                  c.highAlarm});
    for (const Span& span : c.spans)
        for (int x = std::max(span.x0, 105); x <= span.x1; ++x)
            for (int y : {100, 104, 108}) ASSERT_EQ(pixelAt(x, y), span.colour) << c.name << " at x " << x << " y " << y;
    EXPECT_EQ(pixelAt(c.firstBlank, 104), COLOUR_BLACK) << c.name;
    EXPECT_EQ(pixelAt(110, 99), COLOUR_BLACK) << c.name << ": the bar starts on row y";
    EXPECT_EQ(pixelAt(110, 109), COLOUR_BLACK) << c.name << ": the bar ends on row y + height";
}

std::string caseName(const ZoneCase& c) { return ::caseName(c.name); }
void PrintTo(const ZoneCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Cases, BarGaugeZones, testing::ValuesIn(kZoneCases), ByCaseName());

struct MarkerCase {
    int32_t displayMin, displayMax, value;
    int centre;  // marker column m; the marker covers m - 2 .. m + 2
};

const MarkerCase kMarkerCases[] = {
    {0, 100, 50, 150},          {0, 100, 0, 102},           {0, 100, 1, 102},   {0, 100, 2, 102},
    {0, 100, 3, 103},           {0, 100, -1000000, 102},    {0, 100, INT32_MIN, 102},
    {0, 100, 100, 200},         {0, 100, 101, 201},         {0, 100, 102, 202}, {0, 100, 103, 202},
    {0, 100, INT32_MAX, 202},   {0, 150, 75, 150},          {80, 180, 130, 150},
    {50, 50, 50, 102},          {50, 50, 49, 102},          {50, 50, 51, 200},  {50, 50, 60, 202},  {100, 0, 50, 150},
};

class BarGaugeMarker : public testing::TestWithParam<MarkerCase> {
protected:
    void SetUp() override { resetWidgetState(); }
};

TEST_P(BarGaugeMarker, StaysBetweenTwoInsideAndTwoPastTheEnds)
{
    const MarkerCase& c = GetParam();
    drawBarGauge({100, 100, 100, 8, c.value, c.displayMax, c.displayMin, c.displayMin, c.displayMin, c.displayMax,
                  c.displayMax});
    for (int x = c.centre - 2; x <= c.centre + 2; ++x) {
        EXPECT_EQ(pixelAt(x, 97), COLOUR_WHITE) << "value " << c.value << " column " << x;
        EXPECT_EQ(pixelAt(x, 111), COLOUR_WHITE) << "value " << c.value << " column " << x;
    }
    EXPECT_NE(pixelAt(c.centre - 3, 97), COLOUR_WHITE) << "value " << c.value;
    EXPECT_NE(pixelAt(c.centre + 3, 97), COLOUR_WHITE) << "value " << c.value;
    EXPECT_EQ(pixelAt(c.centre, 96), COLOUR_BLACK);
    EXPECT_EQ(pixelAt(c.centre, 112), COLOUR_BLACK);
}

// "Range0To100Value50"
std::string caseName(const MarkerCase& c)
{
    return "Range" + numberName(c.displayMin) + "To" + numberName(c.displayMax) + "Value" + numberName(c.value);
}
void PrintTo(const MarkerCase& c, std::ostream* os) { *os << caseName(c); }

INSTANTIATE_TEST_SUITE_P(Cases, BarGaugeMarker, testing::ValuesIn(kMarkerCases), ByCaseName());

TEST_F(BarWidgets, ValueStateComparesStrictlyWithAlarmFirst)
{
    const struct {
        int32_t value;
        ValueState state;
    } cases[] = {{9, ValueState::Alarm},    {10, ValueState::Caution}, {19, ValueState::Caution},
                 {20, ValueState::Normal},  {70, ValueState::Normal},  {71, ValueState::Caution},
                 {80, ValueState::Caution}, {81, ValueState::Alarm},   {INT32_MIN, ValueState::Alarm}};
    for (const auto& c : cases) EXPECT_EQ(valueState(c.value, 10, 20, 70, 80), c.state) << c.value;
}

struct BoxCase {
    const char* name;
    ValueState state;
    uint8_t phase;
    BoxBlink blink;
    int margin;
    uint8_t box;        // colour of the box, black when there is none
    uint8_t ink;        // colour of the text in the end
};

const BoxCase kBoxCases[] = {
    {"normal, phase 0", ValueState::Normal, 0, BoxBlink::Flashing, 2, COLOUR_BLACK, COLOUR_WHITE},
    {"normal, phase 1", ValueState::Normal, 1, BoxBlink::Flashing, 2, COLOUR_BLACK, COLOUR_WHITE},
    {"caution is steady, phase 0", ValueState::Caution, 0, BoxBlink::Flashing, 2, COLOUR_YELLOW, COLOUR_BLACK},
    {"caution is steady, phase 1", ValueState::Caution, 1, BoxBlink::Flashing, 2, COLOUR_YELLOW, COLOUR_BLACK},
    {"alarm flashes: off in phase 0", ValueState::Alarm, 0, BoxBlink::Flashing, 2, COLOUR_BLACK, COLOUR_WHITE},
    {"alarm flashes: on in phase 1", ValueState::Alarm, 1, BoxBlink::Flashing, 2, COLOUR_RED, COLOUR_WHITE},
    {"steady alarm, phase 0", ValueState::Alarm, 0, BoxBlink::Steady, 2, COLOUR_RED, COLOUR_WHITE},
    {"steady alarm, phase 1", ValueState::Alarm, 1, BoxBlink::Steady, 2, COLOUR_RED, COLOUR_WHITE},
    {"one-column margin", ValueState::Alarm, 1, BoxBlink::Flashing, 1, COLOUR_RED, COLOUR_WHITE},
};

class ValueBox : public testing::TestWithParam<BoxCase> {
protected:
    void SetUp() override { resetWidgetState(); }
};

TEST_P(ValueBox, FollowsStateAndBlinkPhase)
{
    const BoxCase& c = GetParam();
    blinkPhase = c.phase;
    drawBoxedValue(240, 100, "88", 9, AlignCentre, 101, 116, c.state, c.margin, c.blink);
    const int start = lastTextStartX, end = lastTextEndX;
    EXPECT_EQ(pixelAt(start - c.margin, 101), c.box) << c.name;
    EXPECT_EQ(pixelAt(end, 116), c.box) << c.name;
    EXPECT_EQ(pixelAt(start - c.margin - 1, 101), COLOUR_BLACK) << c.name;
    EXPECT_EQ(pixelAt(end + 1, 101), COLOUR_BLACK) << c.name;
    EXPECT_EQ(pixelAt(start, 100), COLOUR_BLACK) << c.name << ": the box starts on its top row";
    EXPECT_EQ(pixelAt(start, 117), COLOUR_BLACK) << c.name << ": and ends on its bottom row";
    if (c.ink == COLOUR_WHITE) {
        EXPECT_TRUE(showsText(240, 100, "88", 9, AlignCentre, COLOUR_WHITE)) << c.name;
    } else {
        EXPECT_EQ(countColour(start - 2, 100, end, 118, COLOUR_WHITE), 0) << c.name;
        EXPECT_GT(countColour(start, 101, end - 1, 116, COLOUR_BLACK), 20) << c.name << ": black digits";
    }
}

std::string caseName(const BoxCase& c) { return ::caseName(c.name); }
void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Cases, ValueBox, testing::ValuesIn(kBoxCases), ByCaseName());

TEST_F(BarWidgets, TenthsAreFormattedWithoutFloatingPoint)
{
    const struct {
        int32_t tenths;
        const char* text;
    } cases[] = {{0, "0.0"}, {5, "0.5"}, {-5, "-0.5"}, {123, "12.3"}, {-123, "-12.3"}, {10, "1.0"},
                 {INT32_MAX, "214748364.7"}, {INT32_MIN, "-214748364.8"}};
    for (const auto& c : cases) {
        char text[24];
        formatTenths(text, sizeof text, c.tenths);
        EXPECT_STREQ(text, c.text) << c.tenths;
    }
}

// One bar widget at (100, 100), 120 x 8, and the three texts it must show above the bar.
struct TextCase {
    const char* name;
    std::function<void()> setUp;
    std::function<void()> draw;
    const char* label;
    const char* value;
    int inset;
    const char* unit;
};

void slot(int k, int function) { drawSenderSlotWidget(k, function, 100, 100, 120, 8); }

const TextCase kTextCases[] = {
    {"volts in tenths", [] { volts = 124; }, [] { drawVoltsWidget(100, 100, 120, 8); }, "BAT", "12.4", 15, "V"},
    {"OAT in C", [] { oat = 21; }, [] { drawOatWidget(100, 100, 120, 8); }, "OAT", "21", 17, "\xB0" "C"},
    {"OAT at 150 C is a number", [] { oat = 150; }, [] { drawOatWidget(100, 100, 120, 8); }, "OAT", "150", 17,
     "\xB0" "C"},
    {"OAT above 150 C is an open sensor", [] { oat = 151; }, [] { drawOatWidget(100, 100, 120, 8); }, "OAT", "---",
     17, "\xB0" "C"},
    {"OAT at 300 F is a number", [] { settings.oatUnit = 1; oat = 300; }, [] { drawOatWidget(100, 100, 120, 8); },
     "OAT", "300", 17, "\xB0" "F"},
    {"OAT above 300 F is an open sensor", [] { settings.oatUnit = 1; oat = 301; },
     [] { drawOatWidget(100, 100, 120, 8); }, "OAT", "---", 17, "\xB0" "F"},
    {"AMPS below 10 A in tenths", [] { currentTenths = 99; current = 9; }, [] { drawAmpsWidget(100, 100, 120, 8); },
     "AMPS", "9.9", 17, "A"},
    {"AMPS from 10 A whole", [] { currentTenths = 100; current = 10; }, [] { drawAmpsWidget(100, 100, 120, 8); },
     "AMPS", "10", 17, "A"},
    {"AMPS to -9.9 A in tenths", [] { currentTenths = -99; current = -9; },
     [] { drawAmpsWidget(100, 100, 120, 8); }, "AMPS", "-9.9", 17, "A"},
    {"AMPS from -10 A whole", [] { currentTenths = -100; current = -10; },
     [] { drawAmpsWidget(100, 100, 120, 8); }, "AMPS", "-10", 17, "A"},
    {"AMPS just below zero keeps its sign", [] { currentTenths = -5; current = 0; },
     [] { drawAmpsWidget(100, 100, 120, 8); }, "AMPS", "-0.5", 17, "A"},
    {"pressure slot in bar", [] { pressureValue[1] = 45; }, [] { slot(1, 1); }, "OP", "4.5", 27, "bar"},
    {"pressure slot in psi", [] { settings.pressureSender[2].label = 2; settings.pressureSender[2].pressureUnit = 1;
                                  pressureValue[2] = 45; },
     [] { slot(2, 1); }, "BP", "45", 27, "psi"},
    {"pressure slot in 0.1 psi", [] { settings.pressureSender[3].label = 3; settings.pressureSender[3].pressureUnit = 2;
                                      pressureValue[3] = 45; },
     [] { slot(3, 1); }, "MAP", "4.5", 27, "psi"},
    {"temperature slot", [] { tempValue[0] = 100; }, [] { slot(0, 2); }, "OT", "100", 17, "\xB0" "C"},
    {"temperature slot in F by temperatureUnit", [] { settings.temperatureSender[2].label = 2;
                                                      settings.temperatureUnit = 1; settings.oatUnit = 0;
                                                      settings.temperatureSender[2].displayMax = 300;
                                                      tempValue[2] = 212; },
     [] { slot(2, 2); }, "H20", "212", 17, "\xB0" "F"},
    {"coolant temperature label", [] { settings.temperatureSender[1].label = 1; tempValue[1] = 100; },
     [] { slot(1, 2); }, "CT", "100", 17, "\xB0" "C"},
    {"current slot whole from 10 A", [] { auxCurrentTenths[3] = 123; auxCurrent[3] = 12; }, [] { slot(3, 3); },
     "AMPS", "12", 17, "A"},
    {"current slot in tenths", [] { auxCurrentTenths[3] = 55; auxCurrent[3] = 5; }, [] { slot(3, 3); }, "AMPS",
     "5.5", 17, "A"},
};

class BarWidgetTexts : public testing::TestWithParam<TextCase> {
protected:
    void SetUp() override { resetWidgetState(); }
};

TEST_P(BarWidgetTexts, LabelValueAndUnitAboveTheBar)
{
    const TextCase& c = GetParam();
    c.setUp();
    c.draw();
    // Bar (100, 100) 120 x 8: texts on rows 100 - 8 - 12 and 100 - 8 - 14.
    EXPECT_TRUE(showsText(100, 80, c.label, 8, AlignLeft, COLOUR_SILVER)) << c.name;
    EXPECT_TRUE(showsText(220 - c.inset, 78, c.value, 9, AlignRight, COLOUR_WHITE, 8)) << c.name;
    EXPECT_TRUE(showsText(220, 80, c.unit, 8, AlignRight, COLOUR_SILVER)) << c.name;
    EXPECT_GT(countColour(100, 100, 220, 108, COLOUR_GREEN) + countColour(100, 100, 220, 108, COLOUR_RED), 0)
        << c.name << ": the bar is drawn";
}

std::string caseName(const TextCase& c) { return ::caseName(c.name); }
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Cases, BarWidgetTexts, testing::ValuesIn(kTextCases), ByCaseName());

TEST_F(BarWidgets, ValueBoxOfABarWidgetCoversItsRowsAndFlashes)
{
    volts = 155;  // above the 15.0 V high alarm
    for (uint8_t phase : {0, 1}) {
        blinkPhase = phase;
        clearScreen();
        drawVoltsWidget(100, 100, 120, 8);
        // Rows y - height - 13 .. y - height + 2 = 79 .. 94.
        EXPECT_EQ(countColour(0, 0, 479, 78, COLOUR_RED), 0);
        EXPECT_EQ(countColour(150, 79, 205, 94, COLOUR_RED) > 0, phase == 1) << "phase " << int(phase);
        EXPECT_EQ(countColour(150, 95, 205, 96, COLOUR_RED), 0);
    }
    volts = 105;  // between the low alarm and the low caution: a steady yellow box
    for (uint8_t phase : {0, 1}) {
        blinkPhase = phase;
        clearScreen();
        drawVoltsWidget(100, 100, 120, 8);
        EXPECT_GT(countColour(150, 79, 205, 94, COLOUR_YELLOW), 0) << "phase " << int(phase);
        EXPECT_EQ(countColour(150, 79, 205, 94, COLOUR_WHITE), 0) << "black digits on yellow";
    }
}

TEST_F(BarWidgets, OatHasNoCautionBox)
{
    settings.oatLowAlarm = 0;
    settings.oatHighAlarm = 60;
    for (int16_t value : {0, 1, 59, 60}) {
        oat = value;
        clearScreen();
        drawOatWidget(100, 100, 120, 8);
        EXPECT_EQ(countColour(0, 0, 479, 99, COLOUR_YELLOW), 0) << value;
    }
}

TEST_F(BarWidgets, FuelPressureWidgetPlacesItsTextsBesideTheBar)
{
    fuelPressure = 45;  // 0.1 psi by the factory sender
    drawFuelPressureWidget(320, 227, 80, 8, true);
    EXPECT_TRUE(showsText(288, 223, "FP", 8, AlignLeft, COLOUR_SILVER));
    EXPECT_TRUE(showsText(415, 222, "4.5", 9, AlignLeft, COLOUR_WHITE, 4));
    EXPECT_TRUE(showsText(450, 224, "psi", 8, AlignLeft, COLOUR_SILVER));

    clearScreen();
    settings.fuelPressureSender.pressureUnit = 1;
    fuelPressure = 90;  // above the high alarm of 80
    blinkPhase = 1;
    drawFuelPressureWidget(320, 227, 80, 8, false);
    EXPECT_EQ(countColour(280, 215, 319, 240, COLOUR_SILVER), 0) << "no label";
    EXPECT_TRUE(showsText(415, 222, "90", 9, AlignLeft, COLOUR_WHITE, 4));
    EXPECT_GT(countColour(413, 223, 440, 238, COLOUR_RED), 0) << "box over rows y - 4 .. y + 11";
    EXPECT_EQ(countColour(413, 222, 440, 222, COLOUR_RED), 0);
    EXPECT_EQ(countColour(413, 239, 440, 239, COLOUR_RED), 0);
}

TEST_F(BarWidgets, SenderSlotsDrawNothingOutsideTheirFunctions)
{
    for (int function : {0, 4, 255, -1}) {
        slot(0, function);
        EXPECT_EQ(countLit(), 0) << "function " << function;
    }
    for (int k : {-1, 4, 100}) {
        slot(k, 1);
        EXPECT_EQ(countLit(), 0) << "slot " << k;
    }
}

TEST_F(BarWidgets, LabelsAndUnitsBeyondTheirTablesAreLeftBlank)
{
    settings.pressureSender[0].label = 200;
    settings.pressureSender[0].pressureUnit = 9;
    pressureValue[0] = 45;
    slot(0, 1);
    EXPECT_EQ(countColour(0, 0, 479, 271, COLOUR_SILVER), 0);
    EXPECT_TRUE(showsText(193, 78, "4.5", 9, AlignRight, COLOUR_WHITE, 8));
}

TEST_F(BarWidgets, ZeroWidthRangesAndBarsNeverDivideByZero)
{
    settings.voltsDisplayMax = settings.voltsDisplayMin = 120;
    volts = 130;
    drawVoltsWidget(100, 100, 120, 8);
    EXPECT_EQ(pixelAt(222, 97), COLOUR_WHITE) << "a value above a zero-width range sits at the right end";
    clearScreen();
    drawBarGauge({100, 100, 0, 8, 50, 100, 0, 10, 20, 70, 80});
    EXPECT_EQ(pixelAt(102, 97), COLOUR_WHITE);
    EXPECT_EQ(countColour(103, 97, 479, 111, COLOUR_GREEN), 0);
}

template <typename T> T pick(std::initializer_list<T> values, int index) { return values.begin()[index]; }

// The sheet: every bar widget in normal, caution and alarm state (three columns), in both blink
// phases side by side.
void drawBarSheet()
{
    clearScreen();
    const int xs[3] = {20, 180, 340};
    auto row = [&](int y, const std::function<void(int)>& prepare, const std::function<void(int, int)>& draw) {
        for (int column = 0; column < 3; ++column) {
            prepare(column);
            draw(xs[column], y);
        }
    };
    row(26, [](int c) { volts = pick<uint16_t>({138, 105, 155}, c); },
        [](int x, int y) { drawVoltsWidget(x, y, 120, 8); });
    row(64, [](int c) { oat = pick<int16_t>({21, -5, 170}, c); }, [](int x, int y) { drawOatWidget(x, y, 120, 8); });
    row(102,
        [](int c) {
            currentTenths = pick<int16_t>({123, -355, 452}, c);
            current = static_cast<int16_t>(currentTenths / 10);
        },
        [](int x, int y) { drawAmpsWidget(x, y, 120, 8); });
    row(140, [](int c) { pressureValue[1] = pick<int16_t>({45, 20, 90}, c); },
        [](int x, int y) { drawSenderSlotWidget(1, 1, x, y, 120, 8); });
    row(178,
        [](int c) {
            settings.temperatureSender[0].label = static_cast<uint8_t>(c);
            tempValue[0] = pick<int16_t>({100, 125, 140}, c);
        },
        [](int x, int y) { drawSenderSlotWidget(0, 2, x, y, 120, 8); });
    row(216,
        [](int c) {
            auxCurrentTenths[3] = pick<int16_t>({55, 310, -450}, c);
            auxCurrent[3] = static_cast<int16_t>(auxCurrentTenths[3] / 10);
            settings.pressureSender[2].label = 2;
            settings.pressureSender[2].pressureUnit = 1;
            pressureValue[2] = pick<int16_t>({60, 75, 10}, c);
        },
        [](int x, int y) {
            if (x == 20) drawSenderSlotWidget(3, 3, x, y, 120, 8);
            else drawSenderSlotWidget(2, 1, x, y, 120, 8);
        });
    fuelPressure = 45;
    drawFuelPressureWidget(52, 254, 80, 8, true);
    fuelPressure = 95;
    drawFuelPressureWidget(260, 254, 100, 8, false);
}

TEST_F(BarWidgets, SheetMatchesGolden)
{
    WidgetSheet sheet(2, 1, SCREEN_WIDTH, SCREEN_HEIGHT);
    for (uint8_t phase : {0, 1}) {
        resetWidgetState();
        blinkPhase = phase;
        drawBarSheet();
        sheet.capture(phase, 0, 0);
    }
    EXPECT_TRUE(sheet.matchesGolden("widgets/bar_widgets"));
}

}  // namespace

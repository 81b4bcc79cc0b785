// The clock panel and the time-remaining lines: formats of every value, the blinking colon, the
// expired maintenance box, the speed sources, the unit tables, and goldens of both forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/airspeed.h"
#include "engine/fuel.h"
#include "golden_support.h"
#include "gps/gps.h"
#include "settings/settings.h"
#include "test_support.h"
#include "time/clock.h"
#include "time/flight.h"
#include "time/timers.h"
#include "ui/clock_panel.h"

namespace {

using Screen = std::vector<uint8_t>;

Screen snapshot() { return Screen(framebuffer, framebuffer + FRAMEBUFFER_SIZE); }

// True when exactly `text`, drawn in font 8 at (x, y) with align and colour, fills its box on
// `shown`: every pixel of the text's box agrees, lit or not. The box is the 15 rows of one line
// of the panel (the font's 16th row is shared with the line below). Leaves the Framebuffer cleared.
testing::AssertionResult showsText(const Screen& shown, int x, int y, uint8_t align, const std::string& text,
                                   uint8_t colour)
{
    clearScreen();
    drawText(x, y, text.c_str(), 8, align, colour);
    const int x0 = lastTextStartX;
    const int x1 = lastTextEndX;
    constexpr int height = 15;
    int differing = 0;
    for (int row = y; row < y + height && row < SCREEN_HEIGHT; ++row)
        for (int col = x0; col < x1; ++col)
            if (framebuffer[col + SCREEN_WIDTH * row] != shown[static_cast<size_t>(col + SCREEN_WIDTH * row)])
                ++differing;
    clearScreen();
    if (differing == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << differing << " pixels differ from \"" << text << "\" at (" << x << ", " << y
                                       << ")";
}

void setClock(uint32_t utc, int16_t offsetMinutes)
{
    hostUtcSeconds = utc;
    settings.utcOffsetMinutes = offsetMinutes;
    refreshClock();
}

class ClockPanel : public testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }

    static void reset()
    {
        loadDefaultSettings();
        clearScreen();
        setClock(0, 0);
        blinkPhase = 0;
        currentFlight = {};
        flightInProgress = 0;
        stopwatchSeconds = 0;
        hobbsHours = 0;
        hobbsHundredths = 0;
        maintHours = 0;
        maintMinutes = 0;
        fuelLayout = 0;
        fuelEndurance = 0;
        fuelRange = 0;
        gpsFixValid = 0;
        gpsGroundSpeed = 0;
        airspeed = 0;
        airspeedValid = 0;
        settings.fuelPressureOn = 0;  // lines at rows 235 and 250
    }

    static Screen panel(bool compact)
    {
        clearScreen();
        drawClockPanel(compact);
        return snapshot();
    }
    static Screen lines()
    {
        clearScreen();
        drawTimeRemainingLines();
        return snapshot();
    }
};

struct Columns {
    bool compact;
    int timer, hobbs, maint;
};
constexpr Columns kForms[] = {{true, 194, 277, 361}, {false, 283, 368, 455}};

TEST_F(ClockPanel, TimerShowsHoursMinutesSecondsWithSixteenBitHours)
{
    struct Case {
        uint32_t seconds;
        const char* text;
    } cases[] = {
        {0, "0:00:00"},
        {3725, "1:02:05"},
        {40 * 3600, "40:00:00"},
        {35999, "9:59:59"},
        {59, "0:00:59"},
        {65536u * 3600 + 61, "0:01:01"},
    };
    for (const Columns& form : kForms) {
        for (const Case& c : cases) {
            stopwatchSeconds = c.seconds;
            const Screen shown = panel(form.compact);
            EXPECT_TRUE(showsText(shown, form.timer, 0, AlignCentre, "TIMER", COLOUR_SILVER));
            EXPECT_TRUE(showsText(shown, form.timer, 15, AlignCentre, c.text, COLOUR_WHITE))
                << c.seconds << (form.compact ? " compact" : " wide");
        }
    }
}

TEST_F(ClockPanel, HobbsShowsTenthsOfAnHour)
{
    struct Case {
        uint16_t hours;
        uint8_t hundredths;
        const char* text;
    } cases[] = {
        {123, 47, "123.4"}, {0, 9, "0.0"}, {0, 10, "0.1"}, {5, 99, "5.9"}, {10000, 99, "10000.9"},
    };
    for (const Columns& form : kForms) {
        for (const Case& c : cases) {
            hobbsHours = c.hours;
            hobbsHundredths = c.hundredths;
            const Screen shown = panel(form.compact);
            EXPECT_TRUE(showsText(shown, form.hobbs, 0, AlignCentre, "HOBBS", COLOUR_SILVER));
            EXPECT_TRUE(showsText(shown, form.hobbs, 15, AlignCentre, c.text, COLOUR_WHITE)) << c.text;
        }
    }
}

TEST_F(ClockPanel, MaintenanceShowsWholeHoursAndFlashesRedWhenExpired)
{
    struct Case {
        uint16_t hours;
        uint8_t minutes;
        uint8_t blink;
        const char* text;
        bool redBox;
    } cases[] = {
        {25, 30, 1, "25", false}, {0, 1, 1, "0", false}, {0, 0, 0, "0", false},
        {0, 0, 1, "0", true},     {999, 0, 1, "999", false},
    };
    for (const Columns& form : kForms) {
        for (const Case& c : cases) {
            maintHours = c.hours;
            maintMinutes = c.minutes;
            blinkPhase = c.blink;
            const Screen shown = panel(form.compact);
            const std::string where = std::string(c.text) + (form.compact ? " compact" : " wide") + " blink " +
                                      std::to_string(c.blink);
            EXPECT_TRUE(showsText(shown, form.maint, 0, AlignCentre, "MAINT", COLOUR_SILVER)) << where;
            // The value's own box, to find where its red background belongs.
            drawText(form.maint, 15, c.text, 8, AlignCentre, COLOUR_WHITE);
            const int x0 = lastTextStartX - 2;
            const int x1 = lastTextEndX;
            clearScreen();
            int red = 0;
            for (const uint8_t p : shown) red += p == COLOUR_RED;
            if (!c.redBox) {
                EXPECT_EQ(red, 0) << where;
                EXPECT_TRUE(showsText(shown, form.maint, 15, AlignCentre, c.text, COLOUR_WHITE)) << where;
                continue;
            }
            int whiteInBox = 0;
            for (int y = 16; y <= 29; ++y)
                for (int x = x0; x <= x1; ++x) {
                    const uint8_t p = shown[static_cast<size_t>(x + SCREEN_WIDTH * y)];
                    ASSERT_TRUE(p == COLOUR_RED || p == COLOUR_WHITE) << where << " at " << x << "," << y;
                    whiteInBox += p == COLOUR_WHITE;
                }
            EXPECT_GT(whiteInBox, 0) << "the value is drawn again over the box, " << where;
            EXPECT_EQ(red + whiteInBox, (x1 - x0 + 1) * 14) << "red only in rows 16..29 from start - 2 to end, " << where;
        }
    }
}

TEST_F(ClockPanel, FlightTimeColonBlinksOnlyWhileAFlightIsInProgress)
{
    struct Case {
        uint8_t inProgress, blink, hours, minutes;
        const char* text;
    } cases[] = {
        {0, 0, 1, 5, "1:05"}, {0, 1, 1, 5, "1:05"}, {1, 0, 1, 5, "1:05"},
        {1, 1, 1, 5, "1 05"}, {1, 1, 0, 0, "0 00"}, {0, 0, 12, 59, "12:59"},
    };
    for (const Columns& form : kForms) {
        for (const Case& c : cases) {
            flightInProgress = c.inProgress;
            blinkPhase = c.blink;
            currentFlight.flightTime = {c.hours, c.minutes};
            const Screen shown = panel(form.compact);
            EXPECT_TRUE(showsText(shown, 27, 0, AlignCentre, "FLIGHT", COLOUR_SILVER));
            EXPECT_TRUE(showsText(shown, 27, 15, AlignCentre, c.text, COLOUR_WHITE)) << c.text;
        }
    }
}

TEST_F(ClockPanel, UtcAndLocalTimesInBothForms)
{
    setClock(1709251800, -30);  // 2024-03-01 00:10:00 UTC, 23:40:00 local
    const Screen compact = panel(true);
    EXPECT_TRUE(showsText(compact, 71, 0, AlignLeft, "Z:", COLOUR_SILVER));
    EXPECT_TRUE(showsText(compact, 118, 0, AlignCentre, "00:10:00", COLOUR_WHITE));
    EXPECT_TRUE(showsText(compact, 71, 15, AlignLeft, "L:", COLOUR_SILVER));
    EXPECT_TRUE(showsText(compact, 118, 15, AlignCentre, "23:40:00", COLOUR_WHITE));
    const Screen wide = panel(false);
    EXPECT_TRUE(showsText(wide, 112, 0, AlignCentre, "ZULU", COLOUR_SILVER));
    EXPECT_TRUE(showsText(wide, 112, 15, AlignCentre, "00:10:00", COLOUR_WHITE));
    EXPECT_TRUE(showsText(wide, 198, 0, AlignCentre, "LOCAL", COLOUR_SILVER));
    EXPECT_TRUE(showsText(wide, 198, 15, AlignCentre, "23:40:00", COLOUR_WHITE));
}

TEST_F(ClockPanel, PanelStaysInRowsZeroToThirtyAndTheCompactFormLeavesTheCorner)
{
    setClock(1798761599, 60);
    stopwatchSeconds = 40 * 3600 + 59 * 60 + 59;
    hobbsHours = 10000;
    hobbsHundredths = 99;
    maintHours = 999;
    currentFlight.flightTime = {99, 59};
    for (const bool compact : {true, false}) {
        panel(compact);
        for (const Point& p : litPixels()) {
            ASSERT_LE(p.second, 30) << compact;
            if (compact) {
                ASSERT_LT(p.first, 420) << "the corner readout's place";
            }
        }
    }
    maintHours = 0;
    blinkPhase = 1;
    panel(false);
    for (const Point& p : litPixels()) ASSERT_LE(p.second, 30);
}

TEST_F(ClockPanel, EnduranceAndRangeFormatsAndNoFlow)
{
    struct Case {
        uint16_t endurance, range;
        const char* enduranceText;
        const char* rangeText;
    } cases[] = {
        {65535, 65535, "?:??", "?"},
        {95, 250, "1:35", "250"},
        {0, 0, "0:00", "0"},
        {59, 7, "0:59", "7"},
        {65534, 65534, "1092:14", "65534"},
    };
    fuelLayout = 0;
    settings.fuelUnit = 2;
    for (const Case& c : cases) {
        fuelEndurance = c.endurance;
        fuelRange = c.range;
        const Screen shown = lines();
        EXPECT_TRUE(showsText(shown, 288, 235, AlignLeft, "TIME REMAIN:", COLOUR_SILVER));
        EXPECT_TRUE(showsText(shown, 403, 235, AlignLeft, c.enduranceText, COLOUR_WHITE)) << c.enduranceText;
        // A five-digit range reaches back into the label's box.
        if (c.range < 10000 || c.range == FUEL_NO_FLOW) {
            EXPECT_TRUE(showsText(shown, 390, 250, AlignLeft, "R:", COLOUR_SILVER));
        }
        EXPECT_TRUE(showsText(shown, 450, 250, AlignRight, c.rangeText, COLOUR_WHITE)) << c.rangeText;
        // The unit follows the range two pixels after its end.
        drawText(450, 250, c.rangeText, 8, AlignRight, COLOUR_WHITE);
        const int unitX = lastTextEndX + 2;
        EXPECT_TRUE(showsText(shown, unitX, 250, AlignLeft, "nm", COLOUR_SILVER)) << c.rangeText;
    }
}

TEST_F(ClockPanel, SpeedComesFromTheChosenSourceOrFallsBackToTheCruiseSpeed)
{
    struct Case {
        uint8_t source;
        uint8_t airValid;
        uint16_t air;
        uint8_t fix;
        uint16_t ground;
        const char* text;
        uint8_t colour;
    } cases[] = {
        {0, 1, 140, 1, 120, "110", COLOUR_WHITE},
        {1, 0, 140, 1, 120, "110", COLOUR_WHITE},   // no airspeed link
        {1, 1, 140, 0, 120, "140", COLOUR_CYAN},
        {1, 3, 141, 0, 120, "141", COLOUR_CYAN},    // any non-zero valid flag
        {2, 1, 140, 0, 120, "110", COLOUR_WHITE},   // no GPS fix: the cruise speed
        {2, 0, 140, 1, 120, "120", COLOUR_MAGENTA},
        {2, 0, 140, 2, 120, "110", COLOUR_WHITE},   // only 1 is a fix
        {3, 1, 140, 1, 120, "110", COLOUR_WHITE},   // unknown source
        {2, 0, 0, 1, 0, "0", COLOUR_MAGENTA},
    };
    fuelLayout = 1;
    settings.cruiseSpeed = 110;
    for (const Case& c : cases) {
        settings.fuelSpeedSource = c.source;
        airspeedValid = c.airValid;
        airspeed = c.air;
        gpsFixValid = c.fix;
        gpsGroundSpeed = c.ground;
        const Screen shown = lines();
        EXPECT_TRUE(showsText(shown, 288, 250, AlignLeft, "S:", COLOUR_SILVER));
        EXPECT_TRUE(showsText(shown, 335, 250, AlignRight, c.text, c.colour))
            << "source " << int(c.source) << " want " << c.text;
    }
}

TEST_F(ClockPanel, UnitsFollowTheFuelUnit)
{
    const char* speed[] = {"mph", "mph", "kts", "kts", "km/h", "km/h"};
    const char* distance[] = {"sm", "sm", "nm", "nm", "km", "km"};
    fuelLayout = 10;
    fuelRange = 321;
    for (uint8_t unit = 0; unit < 6; ++unit) {
        settings.fuelUnit = unit;
        const Screen shown = lines();
        EXPECT_TRUE(showsText(shown, 370, 250, AlignRight, speed[unit], COLOUR_SILVER)) << int(unit);
        drawText(450, 250, "321", 8, AlignRight, COLOUR_WHITE);
        const int unitX = lastTextEndX + 2;
        EXPECT_TRUE(showsText(shown, unitX, 250, AlignLeft, distance[unit], COLOUR_SILVER)) << int(unit);
    }
}

TEST_F(ClockPanel, LinesMoveDownWithTheFuelPressureWidget)
{
    fuelLayout = 0;
    fuelEndurance = 95;
    for (const auto& [pressureOn, r1] : {std::pair{uint8_t{1}, 243}, std::pair{uint8_t{0}, 235}}) {
        settings.fuelPressureOn = pressureOn;
        const Screen shown = lines();
        EXPECT_TRUE(showsText(shown, 288, r1, AlignLeft, "TIME REMAIN:", COLOUR_SILVER)) << int(pressureOn);
        EXPECT_TRUE(showsText(shown, 403, r1, AlignLeft, "1:35", COLOUR_WHITE)) << int(pressureOn);
        EXPECT_TRUE(showsText(shown, 288, r1 + 15, AlignLeft, "S:", COLOUR_SILVER)) << int(pressureOn);
    }
}

TEST_F(ClockPanel, LinesOnlyWhereAFlowSenderFeedsAShownTank)
{
    for (uint8_t layout = 0; layout <= 14; ++layout) {
        fuelLayout = layout;
        lines();
        const bool shown = layout <= 1 || layout >= 10;
        EXPECT_EQ(countLit() > 0, shown) << int(layout);
    }
}

// Goldens: a busy panel in both forms and both blink phases, drawn on a cleared Framebuffer.
void busyPanel()
{
    setClock(1709251800 + 3 * 3600 + 25 * 60 + 7, 60);  // 03:35:07 UTC, 04:35:07 local
    flightInProgress = 1;
    currentFlight.flightTime = {1, 47};
    stopwatchSeconds = 3725;
    hobbsHours = 123;
    hobbsHundredths = 47;
    maintHours = 0;
    maintMinutes = 0;
}

TEST_F(ClockPanel, GoldenForms)
{
    busyPanel();
    struct Case {
        bool compact;
        uint8_t blink;
        const char* name;
    } cases[] = {
        {true, 0, "clock_panel/compact_blink0"},
        {true, 1, "clock_panel/compact_blink1"},
        {false, 0, "clock_panel/wide_blink0"},
        {false, 1, "clock_panel/wide_blink1"},
    };
    for (const Case& c : cases) {
        blinkPhase = c.blink;
        panel(c.compact);
        EXPECT_TRUE(framebufferMatchesGolden(c.name));
    }
}

TEST_F(ClockPanel, GoldenTimeRemainingLines)
{
    fuelLayout = 0;
    settings.fuelUnit = 3;
    settings.fuelSpeedSource = 2;
    settings.fuelPressureOn = 0;
    gpsFixValid = 1;
    gpsGroundSpeed = 118;
    fuelEndurance = 95;
    fuelRange = 187;
    lines();
    EXPECT_TRUE(framebufferMatchesGolden("clock_panel/time_remaining"));

    settings.fuelUnit = 4;
    settings.fuelSpeedSource = 0;
    settings.cruiseSpeed = 210;
    settings.fuelPressureOn = 1;
    fuelEndurance = 65535;
    fuelRange = 65535;
    lines();
    EXPECT_TRUE(framebufferMatchesGolden("clock_panel/time_remaining_no_flow"));
}

}  // namespace

// The engine page's clock panel (UTC and local time, flight time, TIMER, Hobbs, maintenance) in
// its compact and wide forms, and the time-remaining, speed and range lines under the fuel area.
#include "ui/clock_panel.h"

#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/airspeed.h"
#include "engine/fuel.h"
#include "gps/gps.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/flight.h"
#include "time/timers.h"

namespace {

constexpr uint8_t FONT = 8;
constexpr int LABEL_ROW = 0;
constexpr int VALUE_ROW = 15;

// Column centres of the four counters, by form.
struct PanelColumns {
    int flight, timer, hobbs, maint;
};
constexpr PanelColumns COMPACT_COLUMNS = {27, 194, 277, 361};
constexpr PanelColumns WIDE_COLUMNS = {27, 283, 368, 455};

// Speed and distance units by fuelUnit (0..5).
constexpr const char* SPEED_UNITS[6] = {"mph", "mph", "kts", "kts", "km/h", "km/h"};
constexpr const char* DISTANCE_UNITS[6] = {"sm", "sm", "nm", "nm", "km", "km"};

const char* unitText(const char* const (&units)[6]) { return settings.fuelUnit < 6 ? units[settings.fuelUnit] : ""; }

void formatClockTime(char* text, size_t size, const DateTime& dt)
{
    std::snprintf(text, size, "%02d:%02d:%02d", dt.hour, dt.minute, dt.second);
}

void drawColumn(int x, const char* label, const char* value)
{
    drawText(x, LABEL_ROW, label, FONT, AlignCentre, COLOUR_SILVER);
    drawText(x, VALUE_ROW, value, FONT, AlignCentre, COLOUR_WHITE);
}

void drawTimes(bool compact)
{
    char utc[16];
    char local[16];
    formatClockTime(utc, sizeof utc, rtcDateTime);
    formatClockTime(local, sizeof local, localDateTime);
    if (compact) {
        drawText(71, LABEL_ROW, "Z:", FONT, AlignLeft, COLOUR_SILVER);
        drawText(118, LABEL_ROW, utc, FONT, AlignCentre, COLOUR_WHITE);
        drawText(71, VALUE_ROW, "L:", FONT, AlignLeft, COLOUR_SILVER);
        drawText(118, VALUE_ROW, local, FONT, AlignCentre, COLOUR_WHITE);
    } else {
        drawColumn(112, "ZULU", utc);
        drawColumn(198, "LOCAL", local);
    }
}

void drawFlightTime(int x)
{
    // The colon blinks while a flight is in progress.
    const char* format = flightInProgress == 1 && blinkPhase == 1 ? "%d %02d" : "%d:%02d";
    char text[16];
    std::snprintf(text, sizeof text, format, currentFlight.flightTime.hours, currentFlight.flightTime.minutes);
    drawColumn(x, "FLIGHT", text);
}

void drawStopwatch(int x)
{
    const uint16_t hours = static_cast<uint16_t>(stopwatchSeconds / 3600);
    char text[24];
    std::snprintf(text, sizeof text, "%1d:%02d:%02d", hours, static_cast<int>(stopwatchSeconds % 3600 / 60),
                  static_cast<int>(stopwatchSeconds % 60));
    drawColumn(x, "TIMER", text);
}

void drawHobbs(int x)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d", hobbsHours, hobbsHundredths / 10);
    drawColumn(x, "HOBBS", text);
}

void drawMaintenance(int x)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", maintHours);
    drawColumn(x, "MAINT", text);
    if (maintenanceExpired() && blinkPhase == 1) {
        fillRect(lastTextStartX - 2, 16, lastTextEndX, 29, COLOUR_RED);
        drawText(x, VALUE_ROW, text, FONT, AlignCentre, COLOUR_WHITE);
    }
}

// The speed the range is worked out for, and its colour: a live source in its own colour, the
// manual cruise speed in white.
void chooseSpeed(unsigned& speed, uint8_t& colour)
{
    speed = settings.cruiseSpeed;
    colour = COLOUR_WHITE;
    if (settings.fuelSpeedSource == 1 && airspeedValid != 0) {
        speed = airspeed;
        colour = COLOUR_CYAN;
    } else if (settings.fuelSpeedSource == 2 && gpsFixValid == 1) {
        speed = gpsGroundSpeed;
        colour = COLOUR_MAGENTA;
    }
}

}  // namespace

void drawClockPanel(bool compact)
{
    const PanelColumns& columns = compact ? COMPACT_COLUMNS : WIDE_COLUMNS;
    drawTimes(compact);
    drawFlightTime(columns.flight);
    drawStopwatch(columns.timer);
    drawHobbs(columns.hobbs);
    drawMaintenance(columns.maint);
}

void drawTimeRemainingLines()
{
    // Only where a flow sender feeds a shown tank.
    if (fuelLayout > 1 && fuelLayout < 10) return;
    const int r1 = settings.fuelPressureOn == 1 ? 243 : 235;
    const int r2 = r1 + 15;
    char text[16];

    drawText(288, r1, "TIME REMAIN:", FONT, AlignLeft, COLOUR_SILVER);
    if (fuelEndurance == FUEL_NO_FLOW) {
        std::snprintf(text, sizeof text, "?:??");
    } else {
        std::snprintf(text, sizeof text, "%u:%02u", fuelEndurance / 60u, fuelEndurance % 60u);
    }
    drawText(403, r1, text, FONT, AlignLeft, COLOUR_WHITE);

    drawText(288, r2, "S:", FONT, AlignLeft, COLOUR_SILVER);
    unsigned speed = 0;
    uint8_t colour = COLOUR_WHITE;
    chooseSpeed(speed, colour);
    std::snprintf(text, sizeof text, "%u", speed);
    drawText(335, r2, text, FONT, AlignRight, colour);
    drawText(370, r2, unitText(SPEED_UNITS), FONT, AlignRight, COLOUR_SILVER);

    drawText(390, r2, "R:", FONT, AlignLeft, COLOUR_SILVER);
    if (fuelRange == FUEL_NO_FLOW) {
        std::snprintf(text, sizeof text, "?");
    } else {
        std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(fuelRange));
    }
    const int end = drawText(450, r2, text, FONT, AlignRight, COLOUR_WHITE);
    drawText(end + 2, r2, unitText(DISTANCE_UNITS), FONT, AlignLeft, COLOUR_SILVER);
}

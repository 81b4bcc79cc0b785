// VIEW FLIGHT LOG: the stored flights, newest first, ten rows under the column headings, scrolled
// with the knob.
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "time/flight_log.h"
#include "ui/screen.h"

namespace {

constexpr int kRows = 10;
constexpr int kFirstRowY = 86;
constexpr int kRowHeight = 16;

void drawHeadings()
{
    drawText(60, 55, "TIME", 8, AlignCentre, COLOUR_SILVER);
    drawText(160, 47, "FLIGHT", 8, AlignCentre, COLOUR_SILVER);
    drawText(160, 62, "TIME", 8, AlignCentre, COLOUR_SILVER);
    drawText(230, 55, "PILOT", 8, AlignCentre, COLOUR_SILVER);
    drawText(300, 47, "HOBBS", 8, AlignCentre, COLOUR_SILVER);
    drawText(300, 62, "TIMER", 8, AlignCentre, COLOUR_SILVER);
    drawText(400, 47, "MAINTENANCE", 8, AlignCentre, COLOUR_SILVER);
    drawText(400, 62, "TIMER", 8, AlignCentre, COLOUR_SILVER);
    drawLine(0, 80, 462, 80, COLOUR_SILVER);
}

void drawFlight(int y, const FlightRecord& f)
{
    char text[24];
    formatFlightStart(text, sizeof text, f.startTime);
    drawText(60, y, text, 8, AlignCentre, COLOUR_WHITE);
    formatHoursMinutes(text, sizeof text, f.flightTime.hours, f.flightTime.minutes);
    drawText(160, y, text, 8, AlignCentre, COLOUR_WHITE);
    std::snprintf(text, sizeof text, "%u", unsigned{f.flightPilotNumber});
    drawText(230, y, text, 8, AlignCentre, COLOUR_WHITE);
    formatHobbs(text, sizeof text, f.hobbsHoursAtStart, f.hobbsHundredthsAtStart);
    drawText(300, y, text, 8, AlignCentre, COLOUR_WHITE);
    formatHoursMinutes(text, sizeof text, f.maintHoursAtStart, f.maintMinutesAtStart);
    drawText(400, y, text, 8, AlignCentre, COLOUR_WHITE);
}

}  // namespace

void flightLogViewScreen()
{
    drawPageTitle("FLIGHT LOG", "VIEW FLIGHT LOG");
    drawHeadings();
    for (int row = 0; row < kRows; ++row)
        if (const FlightRecord* f = newestFlight(static_cast<unsigned>(flightLogViewPos) + row))
            drawFlight(kFirstRowY + kRowHeight * row, *f);
    drawScrollIndicator(flightLogViewPos, FLIGHT_LOG_CAPACITY);
    const uint8_t key = exitBackKey([] { returnToScreen(flightLogMenuScreen, 1); });
    switch (key) {
    case KeyKnobPlus:
        if (flightLogViewPos < FLIGHT_LOG_CAPACITY - 1) ++flightLogViewPos;
        break;
    case KeyKnobMinus:
        if (flightLogViewPos > 0) --flightLogViewPos;
        break;
    default:
        break;
    }
}

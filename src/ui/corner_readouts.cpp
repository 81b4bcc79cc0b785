// The readouts of the clock panel's top-right corner, centred on x 446: OAT, or the CO level of
// the CO monitor (crossed out while no valid data has come from the detector).
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "ui/widget_texts.h"
#include "ui/widgets.h"

uint8_t coDataValid = 0;

namespace {

constexpr int kCornerX = 446;

// The value in white; while alarmed and blinkPhase is 1, on a red box over rows 16..31.
void drawCornerValue(const char* text, bool alarm)
{
    drawText(kCornerX, 15, text, 9, AlignCentre, COLOUR_WHITE);
    if (!alarm || blinkPhase != 1) return;
    fillRect(lastTextStartX - 2, 16, lastTextEndX, 31, COLOUR_RED);
    drawText(kCornerX, 15, text, 9, AlignCentre, COLOUR_WHITE);
}

}  // namespace

void drawOatCornerReadout()
{
    char caption[16];
    std::snprintf(caption, sizeof caption, "OAT (%s)", temperatureUnitText(settings.oatUnit));
    drawText(kCornerX, 0, caption, 8, AlignCentre, COLOUR_SILVER);
    char text[16];
    formatOat(text, sizeof text, oat);
    drawCornerValue(text, oat < settings.oatLowAlarm || oat > settings.oatHighAlarm);
}

void drawCoCornerReadout()
{
    drawText(kCornerX, 0, "CO (PPM)", 8, AlignCentre, COLOUR_SILVER);
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(coPpm));
    drawCornerValue(text, (alarmFlags & ALARM_CO) != 0);
    if (coDataValid != 0) return;
    const int start = lastTextStartX, end = lastTextEndX;
    drawThickLine(start, 16, end - 2, 29, COLOUR_RED);
    drawThickLine(start, 29, end - 2, 16, COLOUR_RED);
}

// "ROTAX 912iS": the engine computer's lane flags, status words, hours, throttle and ambient
// pressure, crossed out unless the remote unit and the engine computer link are both present.
#include <cstdio>

#include "device.h"
#include "display/framebuffer.h"
#include "display/text.h"
#include "settings/menus.h"
#include "time/ecu_co.h"
#include "ui/screen.h"
#include "ui/tile_menu.h"

namespace {

struct StatusLine {
    const char* label;
    const uint32_t* word;
};

const StatusLine kStatusLines[] = {
    {"ENGINE STATUS: ", &ecuEngineStatus},     {"SENSOR STATUS A: ", &ecuSensorStatusA},
    {"SENSOR STATUS B: ", &ecuSensorStatusB},  {"DEVICE STATUS A: ", &ecuDeviceStatusA},
    {"DEVICE STATUS B: ", &ecuDeviceStatusB},
};

void line(int y, const char* text) { drawText(10, y, text, 8, AlignLeft, COLOUR_WHITE); }

}  // namespace

void ecuScreen()
{
    drawPageTitle("EMS SETUP", "ROTAX 912iS");
    char text[96];
    std::snprintf(text, sizeof text, "LANE A DATA: %s", ecuLaneFlags & 1u ? "YES" : "NO");
    line(50, text);
    std::snprintf(text, sizeof text, "LANE B DATA: %s", ecuLaneFlags & 2u ? "YES" : "NO");
    line(68, text);
    int y = 86;
    for (const StatusLine& status : kStatusLines) {
        char bits[36];
        formatStatusBits(*status.word, bits);
        std::snprintf(text, sizeof text, "%s%s", status.label, bits);
        line(y, text);
        y += 18;
    }
    std::snprintf(text, sizeof text, "ENGINE HOURS: %.2f", static_cast<double>(ecuEngineHours));
    line(176, text);
    std::snprintf(text, sizeof text, "ECU HOURS: %.2f", static_cast<double>(ecuHours));
    line(194, text);
    std::snprintf(text, sizeof text, "THROTTLE POSITION: %d%%", static_cast<int>(ecuThrottlePosition));
    line(212, text);
    std::snprintf(text, sizeof text, "ENGINE AMBIENT PRESSURE: %dhPa", static_cast<int>(ecuAmbientPressure));
    line(230, text);
    if (remoteUnitOn != 1 || ecuLinkPresent != 1) {
        drawThickLine(50, 50, 429, 221, COLOUR_RED);
        drawThickLine(50, 221, 429, 50, COLOUR_RED);
    }
    exitBackKey(backToParentMenu);
}

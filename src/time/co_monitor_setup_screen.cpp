// "CO MONITOR SETUP": whether a CO GUARDIAN detector is connected; with one, its reset command,
// health and identity.
#include <cstdio>

#include "device.h"
#include "display/framebuffer.h"
#include "display/text.h"
#include "settings/menus.h"
#include "settings/settings.h"
#include "time/ecu_co.h"
#include "ui/screen.h"
#include "ui/tile_menu.h"

namespace {

void drawDetectorRows()
{
    drawScrollIndicator(cursorLine, 2);
    drawText(100, 68, "RESET CO GUARDIAN", 8, AlignLeft, cursorLine == 1 ? COLOUR_RED : COLOUR_WHITE);
    char text[48];
    std::snprintf(text, sizeof text, "STATUS: %s", coUnitFault == 1 ? "UNIT FAIL" : "UNIT OK");
    drawText(0, 176, text, 8, AlignLeft, COLOUR_WHITE);
    std::snprintf(text, sizeof text, "MODEL: %.*s", static_cast<int>(sizeof coModel), coModel);
    drawText(0, 194, text, 8, AlignLeft, COLOUR_WHITE);
    std::snprintf(text, sizeof text, "SOFTWARE VER: %.*s", static_cast<int>(sizeof coSoftwareVersion), coSoftwareVersion);
    drawText(0, 212, text, 8, AlignLeft, COLOUR_WHITE);
    std::snprintf(text, sizeof text, "SERIAL NUMBER: %.*s", static_cast<int>(sizeof coSerialNumber), coSerialNumber);
    drawText(0, 230, text, 8, AlignLeft, COLOUR_WHITE);
}

void turn()
{
    if (editMode == 1) {
        settings.coMonitorType = settings.coMonitorType == 1 ? 0 : 1;
        if (settings.coMonitorType == 1) settings.secondHomePageOn = 0;
    } else if (settings.coMonitorType == 1) {
        cursorLine = cursorLine == 0 ? 1 : 0;
    }
}

}  // namespace

void coMonitorSetupScreen()
{
    const bool detector = settings.coMonitorType == 1;
    if (!detector || cursorLine > 1) cursorLine = 0;  // only row 0 is offered without a detector
    drawPageTitle("EMS SETUP", "CO MONITOR SETUP");
    drawMenuRow(0, "CO MONITOR: ", detector ? "CO GUARDIAN" : "NONE");
    if (detector) drawDetectorRows();
    else drawScrollIndicator(cursorLine, 1);
    const uint8_t key = exitBackKey(backToParentMenu);
    switch (key) {
    case KeyKnobPress:
        if (cursorLine == 0) {
            editMode = editMode == 1 ? 0 : 1;
        } else {
            returnScreen = coMonitorSetupScreen;
            showMessage(true);
            placeCoResetCommand();
        }
        break;
    case KeyKnobPlus:
    case KeyKnobMinus: turn(); break;
    default: break;
    }
}

// FLIGHT LOG menu: export, view and erase of the log, the pilot number and the flight detection
// settings (the minimum RPM and ground speed only while detection is automatic).
#include "device.h"
#include "display/framebuffer.h"
#include "display/text.h"
#include "settings/settings.h"
#include "time/flight_log.h"
#include "ui/home.h"
#include "ui/list_screen.h"
#include "ui/screen.h"
#include "ui/widget_texts.h"
#include "ui/tile_menu.h"

#include <cstdio>
#include <iterator>

namespace {

void exportLog()
{
    returnScreen = flightLogMenuScreen;
    // A finished export stays on the menu; one that could not write the file says "FAILED".
    if (sdCardPresent) {
        if (!exportFlightLog()) showMessage(false);
    } else {
        openScreen(sdCardMessageScreen);
    }
    cursorLine = 0;
    editMode = 0;
}

void viewLog() { openScreen(flightLogViewScreen); }
void eraseLog() { openScreen(eraseFlightLogScreen); }

bool automatic() { return settings.flightDetectAuto == 1; }

const char* const kDetectModes[] = {"MANUAL", "AUTOMATIC"};

void formatSpeed(char* text, size_t size, int32_t v)
{
    std::snprintf(text, size, "%d%s", static_cast<int>(v), speedUnitText(settings.fuelUnit));
}

// The minimum RPM steps by ten RPM times the multiplier.
const StepRule kRpmSteps = {{1, 10}, {"X10", "X100"}, 10};

const ListLine kLines[] = {
    {.label = "EXPORT FLIGHT LOG TO SD CARD (.CSV FILE)", .kind = LineKind::Action, .action = exportLog},
    {.label = "VIEW FLIGHT LOG", .kind = LineKind::Action, .action = viewLog},
    {.label = "ERASE FLIGHT LOG", .kind = LineKind::Action, .action = eraseLog},
    {.label = "PILOT NUMBER: ", .field = SETTING(pilotNumber)},
    choice("FLIGHT DETECT: ", SETTING(flightDetectAuto), kDetectModes),
    {.label = "FLIGHT DETECT MIN RPM: ", .field = SETTING(flightDetectMinRpm), .steps = &kRpmSteps,
     .offered = automatic},
    {.label = "FLIGHT DETECT MIN GROUND SPEED: ", .field = SETTING(flightDetectMinGroundSpeed),
     .format = formatSpeed, .steps = &stepsOneTen, .offered = automatic},
};

// The multiplier toggles 1 <-> 10 on every row, not only on the two that step by it.
bool handleKey(uint8_t key, const ListLine*)
{
    if (key != KeySoft3) return false;
    stepMultiplier = stepMultiplier == 1 ? 10 : 1;
    return true;
}

const ListScreen kMenu = {.menuName = "", .screenName = "FLIGHT LOG", .lines = kLines, .handleKey = handleKey};

}  // namespace

void flightLogMenuScreen() { runListScreen(kMenu); }

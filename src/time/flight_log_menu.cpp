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

#include <cstdio>

namespace {

enum Row : uint8_t { RowExport, RowView, RowErase, RowPilot, RowDetect, RowMinRpm, RowMinSpeed };

constexpr int32_t kMinRpmLow = 100, kMinRpmHigh = 99000;
constexpr int32_t kMinSpeedLow = 10, kMinSpeedHigh = 250;

void exportLog()
{
    returnScreen = flightLogMenuScreen;
    // A finished export stays on the menu; one that could not write the file says "FAILED".
    if (sdCardPresent) {
        if (!exportFlightLog()) showMessage(false);
    } else {
        currentScreen = sdCardMessageScreen;
    }
    cursorLine = 0;
    editMode = 0;
}

void viewLog()
{
    flightLogViewPos = 0;
    currentScreen = flightLogViewScreen;
}

void eraseLog()
{
    cursorLine = 0;
    currentScreen = eraseFlightLogScreen;
}

bool automatic() { return settings.flightDetectAuto == 1; }

const char* const kDetectModes[] = {"MANUAL", "AUTOMATIC"};

int32_t pilot() { return settings.pilotNumber; }
void setPilot(int32_t v) { settings.pilotNumber = static_cast<uint8_t>(v); }
int32_t detect() { return settings.flightDetectAuto; }
void setDetect(int32_t v) { settings.flightDetectAuto = static_cast<uint8_t>(v); }
int32_t minRpm() { return static_cast<int32_t>(settings.flightDetectMinRpm); }
void setMinRpm(int32_t v) { settings.flightDetectMinRpm = static_cast<uint32_t>(v); }
int32_t minSpeed() { return settings.flightDetectMinGroundSpeed; }
void setMinSpeed(int32_t v) { settings.flightDetectMinGroundSpeed = static_cast<uint16_t>(v); }

void formatSpeed(char* text, size_t size, int32_t v)
{
    std::snprintf(text, size, "%d%s", static_cast<int>(v), speedUnitText(settings.fuelUnit));
}

const ListLine kLines[] = {
    {.label = "EXPORT FLIGHT LOG TO SD CARD (.CSV FILE)", .kind = LineKind::Action, .action = exportLog},
    {.label = "VIEW FLIGHT LOG", .kind = LineKind::Action, .action = viewLog},
    {.label = "ERASE FLIGHT LOG", .kind = LineKind::Action, .action = eraseLog},
    {.label = "PILOT NUMBER: ", .kind = LineKind::Number, .get = pilot, .set = setPilot, .min = 0, .max = 255},
    {.label = "FLIGHT DETECT: ", .kind = LineKind::Choice, .get = detect, .set = setDetect, .min = 0, .max = 1,
     .choices = kDetectModes},
    // Steps of ten RPM times the multiplier, turned by the screen's own keys below.
    {.label = "FLIGHT DETECT MIN RPM: ", .kind = LineKind::Number, .get = minRpm, .set = setMinRpm,
     .min = kMinRpmLow, .max = kMinRpmHigh, .offered = automatic},
    {.label = "FLIGHT DETECT MIN GROUND SPEED: ", .kind = LineKind::Number, .get = minSpeed, .set = setMinSpeed,
     .min = kMinSpeedLow, .max = kMinSpeedHigh, .format = formatSpeed, .offered = automatic},
};

// The multiplier toggles 1 <-> 10 on every row; the two thresholds step by it (the RPM by ten
// times it), wrapping from beyond one limit to the other.
bool handleKey(uint8_t key, const ListLine*)
{
    if (key == KeySoft3) {
        stepMultiplier = stepMultiplier == 1 ? 10 : 1;
        return true;
    }
    if (editMode != 1 || (key != KeyKnobPlus && key != KeyKnobMinus)) return false;
    const int direction = key == KeyKnobPlus ? 1 : -1;
    const int64_t step = stepMultiplier == 1 ? 1 : 10;
    if (cursorLine == RowMinRpm) {
        const int64_t next = static_cast<int64_t>(settings.flightDetectMinRpm) + direction * 10 * step;
        settings.flightDetectMinRpm = static_cast<uint32_t>(next > kMinRpmHigh ? kMinRpmLow
                                                            : next < kMinRpmLow ? kMinRpmHigh : next);
        return true;
    }
    if (cursorLine == RowMinSpeed) {
        const int64_t next = static_cast<int64_t>(settings.flightDetectMinGroundSpeed) + direction * step;
        settings.flightDetectMinGroundSpeed = static_cast<uint16_t>(next > kMinSpeedHigh ? kMinSpeedLow
                                                                    : next < kMinSpeedLow ? kMinSpeedHigh : next);
        return true;
    }
    return false;
}

void drawStep()
{
    const bool one = stepMultiplier == 1;
    if (cursorLine == RowMinRpm) drawText(186, 254, one ? "X10" : "X100", 8, AlignCentre, COLOUR_WHITE);
    if (cursorLine == RowMinSpeed) drawText(186, 254, one ? "X1" : "X10", 8, AlignCentre, COLOUR_WHITE);
}

void back() { openMainMenu(MAIN_MENU_FLIGHT_LOG); }

const ListScreen kMenu = {.menuName = "", .screenName = "FLIGHT LOG", .lines = kLines, .lineCount = 7,
                          .back = back, .handleKey = handleKey, .drawExtra = drawStep};

}  // namespace

void flightLogMenuScreen() { runListScreen(kMenu); }

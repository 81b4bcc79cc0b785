// GPS SETUP as a list: lines beyond "GPS: " only while a GPS is connected, the variation lines
// only for magnetic courses, and the model's variation shown in place of the manual one on AUTO.
#include "gps/gps_setup.h"

#include <iterator>
#include <cstdio>
#include <cstdlib>

#include "display/framebuffer.h"
#include "display/text.h"
#include "gps/gps.h"
#include "gps/gps_page.h"
#include "settings/settings.h"
#include "settings/settings_field.h"
#include "ui/list_screen.h"
#include "ui/screen.h"
#include "ui/tile_menu.h"

#define DEGREE "\xB0"

namespace {

constexpr uint8_t kVariationRow = 6;

const char* const kModes[] = {"OFF", "EXTERNAL"};
const char* const kBaudRates[] = {"1200", "2400", "4800", "9600", "14400", "19200", "28800", "38400", "57600", "115200"};
const char* const kPositionFormats[] = {("d" DEGREE "m.mmm"), ("d" DEGREE "m's.s"), ("d.dddd" DEGREE)};
const char* const kAltitudeUnits[] = {"ft", "m"};
const char* const kCogReferences[] = {"MAGNETIC", "TRUE"};
const char* const kVariationModes[] = {"AUTO", "MANUAL"};

bool gpsOn() { return settings.gpsMode == 1; }
bool magneticCourse() { return gpsOn() && settings.gpsCogReference == 0; }
bool manualVariation() { return magneticCourse() && settings.gpsVariationMode == 1; }
bool autoVariationShown() { return magneticCourse() && settings.gpsVariationMode == 0; }

void formatVariation(char* text, size_t size, int32_t degrees)
{
    std::snprintf(text, size, "%d" DEGREE "%c", std::abs(static_cast<int>(degrees)), degrees < 0 ? 'W' : 'E');
}


const ListLine kLines[] = {
    choice("GPS: ", SETTING(gpsMode), kModes, nullptr),
    choice("GPS BAUD RATE: ", SETTING(gpsBaudRate), kBaudRates, gpsOn),
    choice("POSITION FORMAT: ", SETTING(gpsPositionFormat), kPositionFormats, gpsOn),
    choice("ALTITUDE UNIT: ", SETTING(gpsAltitudeUnit), kAltitudeUnits, gpsOn),
    choice("COG: ", SETTING(gpsCogReference), kCogReferences, gpsOn),
    choice("LOCAL VARIATION: ", SETTING(gpsVariationMode), kVariationModes, magneticCourse),
    {.label = "MANUAL LOCAL VARIATION: ", .field = SETTING(gpsManualVariation),
     .format = formatVariation, .stopAtLimits = true, .offered = manualVariation},
};

// On AUTO the variation row shows the model's value; it is not a line and cannot be selected.
void drawAutoVariation()
{
    if (!autoVariationShown()) return;
    char value[24], text[48];
    formatAutoVariation(autoVariation, value, sizeof value);
    std::snprintf(text, sizeof text, "AUTO LOCAL VARIATION: %s", value);
    drawText(100, 50 + 18 * kVariationRow, text, 8, AlignLeft, COLOUR_WHITE);
}

const ListScreen kScreen = {.menuName = "", .screenName = "GPS SETUP", .lines = kLines,
                            .drawExtra = drawAutoVariation, .cursorStaysOnHiddenLine = true};

}  // namespace

void gpsSetupScreen() { runListScreen(kScreen); }

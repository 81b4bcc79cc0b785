// MAP SETUP: manifold pressure display, unit, scale and alarm limits, filter and calibration.
// Limits and steps follow the unit: millibars step by at least 10. A unit change converts nothing;
// pressures the new unit cannot show are brought to its nearest limit.
#include <iterator>
#include <cstdio>

#include "engine/engine.h"
#include "engine/setup_screens.h"
#include "settings/menus.h"
#include "settings/settings_field.h"
#include "ui/list_screen.h"
#include "ui/screen.h"
#include "ui/tile_menu.h"

namespace {


const StepRule kMillibarSteps = {{10, 100, 1000}, {"X10", "X100", "X1000"}};

bool inHg() { return settings.mapUnit == 1; }

const StepRule* pressureSteps() { return inHg() ? &stepsTenthsOneTenHundred : &kMillibarSteps; }

void formatPressure(char* text, size_t size, int32_t value)
{
    if (inHg()) std::snprintf(text, size, "%.1f\"Hg", value * 0.1);
    else std::snprintf(text, size, "%dmb", static_cast<int>(value));
}

void formatCalibration(char* text, size_t size, int32_t value)
{
    std::snprintf(text, size, "%d (%umB)", static_cast<int>(value), static_cast<unsigned>(static_cast<uint16_t>(mapMb)));
}

bool displayOn() { return settings.mapDisplayOn != 0; }

const char* const kUnits[] = {"mb", "\"Hg"};
const char* const kFilters[] = {"NONE", "FAST", "SLOW"};

constexpr ListLine pressure(const char* label, SettingsField field)
{
    return {.label = label, .field = field, .format = formatPressure,
            .stepRule = pressureSteps, .offered = displayOn};
}

const ListLine kLines[] = {
    onOff("MAP DISPLAY: ", SETTING(mapDisplayOn)),
    {.label = "MAP UNIT: ", .kind = LineKind::Choice, .field = SETTING(mapUnit), .choices = kUnits,
     .offered = displayOn, .changed = sanitiseSettings},
    pressure("DISPLAY MAX: ", SETTING(mapDisplayMax)),
    pressure("DISPLAY MIN: ", SETTING(mapDisplayMin)),
    onOff("HIGH ALARM: ", SETTING(mapHighAlarmOn), displayOn),
    pressure("HIGH ALARM: ", SETTING(mapHighAlarm)),
    pressure("HIGH CAUTION: ", SETTING(mapHighCaution)),
    pressure("LOW CAUTION: ", SETTING(mapLowCaution)),
    onOff("LOW ALARM: ", SETTING(mapLowAlarmOn), displayOn),
    pressure("LOW ALARM: ", SETTING(mapLowAlarm)),
    {.label = "FILTER: ", .kind = LineKind::Choice, .field = SETTING(mapFilter), .choices = kFilters,
     .offered = displayOn},
    {.label = "MAP CALIBRATION FACTOR: ", .kind = LineKind::Calibration,
     .get = [] { return int32_t{calibration.mapOffset}; },
     .set = [](int32_t v) { calibration.mapOffset = static_cast<int8_t>(v); }, .min = -50, .max = 50,
     .format = formatCalibration, .offered = displayOn},
};

const ListScreen kScreen = {.menuName = "EMS SETUP", .screenName = "MAP SETUP", .lines = kLines};

}  // namespace

void mapSetupScreen() { runListScreen(kScreen); }


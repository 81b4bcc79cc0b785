// VOLTS SETUP: supply voltage scale and alarm limits in tenths of a volt, and the gain trim shown
// beside the live voltage so that it can be set against a reference meter.
#include <iterator>
#include <cstdio>

#include "engine/engine.h"
#include "engine/setup_screens.h"
#include "settings/settings_field.h"
#include "ui/list_screen.h"
#include "ui/tile_menu.h"

namespace {


void formatVolts(char* text, size_t size, int32_t v) { std::snprintf(text, size, "%.1fV", v * 0.1); }

void formatCalibration(char* text, size_t size, int32_t v)
{
    std::snprintf(text, size, "%d%% %.1fV", static_cast<int>(v), volts * 0.1);
}

constexpr ListLine voltage(const char* label, SettingsField field)
{
    return {.label = label, .field = field, .format = formatVolts, .steps = &stepsTenthsOneTen};
}

const ListLine kLines[] = {
    voltage("DISPLAY MAX: ", SETTING(voltsDisplayMax)),
    voltage("DISPLAY MIN: ", SETTING(voltsDisplayMin)),
    onOff("HIGH ALARM: ", SETTING(voltsHighAlarmOn)),
    voltage("HIGH ALARM: ", SETTING(voltsHighAlarm)),
    voltage("HIGH CAUTION: ", SETTING(voltsHighCaution)),
    voltage("LOW CAUTION: ", SETTING(voltsLowCaution)),
    onOff("LOW ALARM: ", SETTING(voltsLowAlarmOn)),
    voltage("LOW ALARM: ", SETTING(voltsLowAlarm)),
    {.label = "VOLTS CALIBRATION FACTOR: ", .kind = LineKind::Calibration,
     .get = [] { return int32_t{calibration.voltsCalPercent}; },
     .set = [](int32_t v) { calibration.voltsCalPercent = static_cast<uint8_t>(v); }, .min = 50, .max = 150,
     .format = formatCalibration},
};

const ListScreen kScreen = {.menuName = "EMS SETUP", .screenName = "VOLTS SETUP", .lines = kLines};

}  // namespace

void voltsSetupScreen() { runListScreen(kScreen); }

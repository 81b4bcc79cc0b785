// OAT SETUP: outside air temperature unit, scale and alarm limits, and the offset trim shown
// beside the live reading. The limits follow the engine temperature unit, the suffix the OAT unit.
#include <iterator>
#include <cstdio>

#include "engine/engine.h"
#include "engine/setup_screens.h"
#include "settings/settings_field.h"
#include "ui/list_screen.h"
#include "ui/tile_menu.h"

namespace {


const char* const kUnits[] = {"\xB0" "C", "\xB0" "F"};

void formatTemperature(char* text, size_t size, int32_t v)
{
    std::snprintf(text, size, "%d%s", static_cast<int>(v), kUnits[settings.oatUnit == 1 ? 1 : 0]);
}

void formatCalibration(char* text, size_t size, int32_t v)
{
    std::snprintf(text, size, "%+d %d\xB0" "C", static_cast<int>(v), static_cast<int>(oatCelsius));
}

constexpr ListLine temperature(const char* label, SettingsField field)
{
    return {.label = label, .field = field, .format = formatTemperature,
            .steps = &stepsOneTen};
}

const ListLine kLines[] = {
    {.label = "OAT TEMPERATURE UNIT: ", .kind = LineKind::Choice, .field = SETTING(oatUnit), .choices = kUnits},
    temperature("DISPLAY MAX: ", SETTING(oatDisplayMax)),
    temperature("DISPLAY MIN: ", SETTING(oatDisplayMin)),
    onOff("HIGH ALARM: ", SETTING(oatHighAlarmOn)),
    temperature("HIGH ALARM: ", SETTING(oatHighAlarm)),
    onOff("LOW ALARM: ", SETTING(oatLowAlarmOn)),
    temperature("LOW ALARM: ", SETTING(oatLowAlarm)),
    {.label = "OAT CALIBRATION FACTOR: ", .kind = LineKind::Calibration,
     .get = [] { return int32_t{calibration.oatOffset}; },
     .set = [](int32_t v) { calibration.oatOffset = static_cast<int8_t>(v); }, .min = -20, .max = 20,
     .format = formatCalibration},
};

const ListScreen kScreen = {.menuName = "EMS SETUP", .screenName = "OAT SETUP", .lines = kLines};

}  // namespace

void oatSetupScreen() { runListScreen(kScreen); }

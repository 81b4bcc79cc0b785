// TANK 1 SETUP and TANK 2 SETUP: tank source, size, low alarm and caution, range use, and for a
// tank with a level sender its calibration and filter; the litre resolution with litre units.
#include <array>
#include <cstdio>

#include "engine/fuel.h"
#include "settings/settings_field.h"
#include "ui/fuel_setup.h"
#include "ui/list_screen.h"

namespace {

enum Source : uint8_t { SourceSender = 0, SourceCalculated = 1, SourceOff = 2 };

const char* const kSources[] = {"SENDER", "CALCULATED", "OFF"};
const char* const kNoYes[] = {"NO", "YES"};
const char* const kFilters[] = {"NONE", "LOW", "MEDIUM", "HIGH"};
const char* const kResolutions[] = {"1L", "0.1L"};

uint8_t source(int tank) { return tank == 0 ? settings.tank1Source : settings.tank2Source; }
int32_t size(int tank) { return tank == 0 ? settings.tank1Size : settings.tank2Size; }
bool tenths() { return tankUnitsAreTenths(); }

template <int Tank> bool used() { return source(Tank) == SourceSender || source(Tank) == SourceCalculated; }
template <int Tank> bool bySender() { return source(Tank) == SourceSender; }
template <int Tank> bool resolutionOffered() { return used<Tank>() && !fuelUnitIsGallons(); }

// Low alarm and caution run from 0 to the tank size: past the size to 0, below 0 to the size. A
// value left above a size made smaller steps down from where it is.
template <int Tank> int32_t nextAlarm(int32_t value, int direction, int32_t step)
{
    const int32_t top = size(Tank) > 0 ? size(Tank) : 0;
    if (direction > 0) return value + step > top ? 0 : value + step;
    return value - step < 0 ? top : value - step;
}

// Tank 2 shows gallons without the unit letter.
template <int Tank> void formatContents(char* text, size_t n, int32_t v)
{
    if (fuelUnitIsGallons()) std::snprintf(text, n, Tank == 0 ? "%.1fG" : "%.1f", v / 10.0);
    else if (settings.tankLitreResolution == 1) std::snprintf(text, n, "%.1fL", v / 10.0);
    else std::snprintf(text, n, "%dL", static_cast<int>(v));
}

const StepRule* contentSteps() { return tenths() ? &stepsTenthsOneTenHundred : &stepsOneTenHundred; }

template <int Tank> void openCalibrate() { openScreen(Tank == 0 ? tank1CalibrateScreen : tank2CalibrateScreen); }

template <int Tank> constexpr SettingsField pick(SettingsField tank1, SettingsField tank2)
{
    return Tank == 0 ? tank1 : tank2;
}

// The size wraps within its limits; the alarm levels have their own rule.
template <int Tank> constexpr ListLine contents(const char* label, SettingsField field,
                                                int32_t (*next)(int32_t, int, int32_t))
{
    return {.label = label, .field = field, .format = formatContents<Tank>, .stepRule = contentSteps, .next = next,
            .offered = used<Tank>};
}

// The lines offered are numbered as the instrument counts them: SENDER 0..8, CALCULATED 0..6,
// OFF line 0 alone; the litre resolution line only with litre units.
template <int Tank> constexpr std::array<ListLine, 9> tankLines()
{
    return {{
        choice(Tank == 0 ? "TANK 1: " : "TANK 2: ", pick<Tank>(SETTING(tank1Source), SETTING(tank2Source)),
               kSources),
        contents<Tank>("TANK SIZE: ", pick<Tank>(SETTING(tank1Size), SETTING(tank2Size)), nullptr),
        onOff("LOW ALARM: ", pick<Tank>(SETTING(tank1LowAlarmOn), SETTING(tank2LowAlarmOn)), used<Tank>),
        contents<Tank>("LOW ALARM: ", pick<Tank>(SETTING(tank1LowAlarm), SETTING(tank2LowAlarm)),
                       nextAlarm<Tank>),
        contents<Tank>("LOW CAUTION: ", pick<Tank>(SETTING(tank1LowCaution), SETTING(tank2LowCaution)),
                       nextAlarm<Tank>),
        choice("ADD TO RANGE: ", pick<Tank>(SETTING(tank1AddToRange), SETTING(tank2AddToRange)), kNoYes,
               used<Tank>),
        {.label = "CALIBRATE TANK", .kind = LineKind::Action, .offered = bySender<Tank>,
         .action = openCalibrate<Tank>},
        choice(Tank == 0 ? "TANK FILTER: " : "FILTER: ", pick<Tank>(SETTING(tank1Filter), SETTING(tank2Filter)),
               kFilters, bySender<Tank>),
        choice("TANK LITRE RESOLUTION: ", SETTING(tankLitreResolution), kResolutions, resolutionOffered<Tank>),
    }};
}

const std::array<ListLine, 9> kTank1Lines = tankLines<0>();
const std::array<ListLine, 9> kTank2Lines = tankLines<1>();

const ListScreen kTank1 = {.menuName = "FUEL SETUP", .screenName = "TANK 1 SETUP", .lines = kTank1Lines,
                           .back = backToFuelSetup, .leave = updateFuelLayout};

const ListScreen kTank2 = {.menuName = "FUEL SETUP", .screenName = "TANK 2 SETUP", .lines = kTank2Lines,
                           .back = backToFuelSetup, .leave = updateFuelLayout};

}  // namespace

void tank1SetupScreen() { runListScreen(kTank1); }
void tank2SetupScreen() { runListScreen(kTank2); }

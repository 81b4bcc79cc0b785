// FUEL SETUP: fuel unit, speed source, the two flow senders with their K-factors, the flow mode,
// and the links to the two tank setups and the fuel pressure setup.
#include "ui/fuel_setup.h"

#include <iterator>
#include <cstdio>

#include "engine/fuel.h"
#include "engine/setup_screens.h"
#include "settings/settings_field.h"
#include "ui/list_screen.h"
#include "ui/tile_menu.h"

uint8_t fuelSetupReturnLine = 0;

namespace {

// The fuel pressure setup screen (an engine sensor setup screen on the fuel pressure sender);
// nullptr while it is not part of the instrument: its link then does nothing.
const char* const kUnits[] = {"LITRE/SM", "GAL/SM", "LITRE/NM", "GAL/NM", "LITRE/KM", "GAL/KM"};
const char* const kSpeedSources[] = {"MANUAL-CRUISE SPEED", "WINDORA-AIRSPEED", "GPS-GROUND SPEED"};
const char* const kFlowModes[] = {"FLOW SENDER", "INJECTOR"};
const char* const kInjectorLevels[] = {"LOW", "HIGH"};
const char* const kDualModes[] = {"DUAL", "DIFFERENTIAL", "SUMMATION"};

bool flow1() { return settings.flow1On == 1; }
bool flow2() { return settings.flow2On == 1; }
bool anyFlow() { return flow1() || flow2(); }
bool injectorOffered() { return settings.fuelFlowMode == 1 && anyFlow(); }
bool dualModeOffered() { return flow1() && flow2() && settings.fuelFlowMode == 0; }

// Injectors are never combined.
void flowModeChanged()
{
    if (settings.fuelFlowMode == 1) settings.dualFlowMode = 0;
}

void formatUnsigned(char* text, size_t size, int32_t v) { std::snprintf(text, size, "%u", static_cast<unsigned>(v)); }

// The links remember their line, so that BACK from the screen they open comes back to it.
void openTank(ScreenFunction screen)
{
    fuelSetupReturnLine = cursorLine;
    openScreen(screen);
}

// Opens the fuel pressure setup screen on the fuel pressure sender; nothing while that screen is
// not part of the instrument.
void openFuelPressureLine()
{
    updateFuelLayout();
    fuelSetupReturnLine = cursorLine;
    openFuelPressureSetup(fuelSetupScreen, cursorLine);
}

constexpr ListLine kFactor(const char* label, SettingsField field, bool (*offered)())
{
    return {.label = label, .field = field, .format = formatUnsigned, .steps = &stepsOneTenHundred,
            .offered = offered};
}
constexpr ListLine link(const char* label, void (*action)())
{
    return {.label = label, .kind = LineKind::Action, .action = action};
}

const ListLine kLines[] = {
    choice("UNIT: ", SETTING(fuelUnit), kUnits),
    choice("SPEED: ", SETTING(fuelSpeedSource), kSpeedSources),
    onOff("FLOW 1: ", SETTING(flow1On)),
    kFactor("K-FACTOR 1: ", SETTING(flow1KFactor), flow1),
    onOff("FLOW 2: ", SETTING(flow2On)),
    kFactor("K-FACTOR 2: ", SETTING(flow2KFactor), flow2),
    {.label = "MODE: ", .kind = LineKind::Choice, .field = SETTING(fuelFlowMode), .choices = kFlowModes,
     .offered = anyFlow, .changed = flowModeChanged},
    choice("INJECTOR: ", SETTING(injectorLevel), kInjectorLevels, injectorOffered),
    choice("FLOW MODE: ", SETTING(dualFlowMode), kDualModes, dualModeOffered),
    link("TANK 1 SETUP", [] { openTank(tank1SetupScreen); }),
    link("TANK 2 SETUP", [] { openTank(tank2SetupScreen); }),
    link("FUEL PRESSURE SETUP", openFuelPressureLine),
};

// KeySoft3 steps 1, 10, 100 on any line; the label shows only on the K-factor lines.
bool handleKey(uint8_t key, const ListLine*)
{
    if (key != KeySoft3) return false;
    stepMultiplier = stepMultiplier >= 100 ? 1 : static_cast<uint16_t>(stepMultiplier * 10);
    return true;
}

const ListScreen kScreen = {.menuName = "EMS SETUP", .screenName = "FUEL SETUP", .lines = kLines,
                            .leave = updateFuelLayout, .handleKey = handleKey};

}  // namespace

void fuelSetupScreen() { runListScreen(kScreen); }

void backToFuelSetup()
{
    returnToScreen(fuelSetupScreen, fuelSetupReturnLine);
}

// EGT SETUP: how many of the twelve thermocouple inputs are EGTs, their unit, scale, alarm,
// probe type and which channel the pages show. More EGTs take inputs from the CHTs.
#include "engine/setup_screens.h"
#include "engine/thermocouple_setup_lines.h"
#include "ui/tile_menu.h"

namespace {

constexpr int kInputs = 12;

constexpr thermocouple_setup::Fields kFields = {SETTING(egtDisplayMax), SETTING(egtDisplayMin),
                                                SETTING(egtHighAlarmOn), SETTING(egtHighAlarm),
                                                SETTING(egtHighCaution), SETTING(egtScanMode),
                                                SETTING(egtScanTime)};

// The CHTs follow the EGTs on the same inputs: they lose what the EGTs take.
void channelsChanged()
{
    if (settings.egtChannels + settings.chtChannels > kInputs)
        settings.chtChannels = static_cast<uint8_t>(kInputs - settings.egtChannels);
}

const auto kLines = thermocouple_setup::lines<kFields>(
    {.label = "EGT CHANNELS: ", .field = SETTING(egtChannels), .changed = channelsChanged},
    {.label = "PROBE: ", .kind = LineKind::Choice, .field = SETTING(egtProbe), .choices = thermocouple_setup::probes});

const ListScreen kScreen = {.menuName = "EMS SETUP", .screenName = "EGT SETUP", .lines = kLines};

}  // namespace

void egtSetupScreen() { runListScreen(kScreen); }

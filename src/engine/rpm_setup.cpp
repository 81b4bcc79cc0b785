// RPM 1 SETUP: the engine RPM display, scale, alarms, pulses per revolution, resolution and label.
// Leaving it derives the RPM factor anew.
#include "engine/rpm_setup_lines.h"
#include "engine/setup_screens.h"
#include "settings/settings.h"
#include "ui/tile_menu.h"

namespace {

using namespace rpm_setup;


constexpr Fields kFields = {SETTING(rpm1DisplayMode), SETTING(rpm1FullScale), SETTING(rpm1DisplayMax),
                            SETTING(rpm1DisplayMin), SETTING(rpm1HighAlarmOn), SETTING(rpm1HighAlarm),
                            SETTING(rpm1HighCaution), SETTING(rpm1LowCaution), SETTING(rpm1LowAlarmOn),
                            SETTING(rpm1LowAlarm), SETTING(rpm1PulsesPerRev), SETTING(rpm1Resolution),
                            SETTING(rpm1Label)};

// RPM 1 may be switched off only while RPM 2 is off: otherwise PERCENT is followed by RPM.
int32_t nextMode(int32_t mode, int direction, int32_t)
{
    const bool offAllowed = settings.rpm2DisplayMode == ModeOff;
    if (mode < ModeRpm || mode > ModeOff) return ModeRpm;
    if (direction > 0) return mode == ModeRpm ? ModePercent : mode == ModePercent && offAllowed ? ModeOff : ModeRpm;
    if (mode == ModeRpm) return offAllowed ? ModeOff : ModePercent;
    return mode - 1;
}

const auto kLines = lines<kFields>(nextMode);

const ListScreen kScreen = {.menuName = "EMS SETUP", .screenName = "RPM 1 SETUP", .lines = kLines,
                            .leave = updateRpmFactor};

}  // namespace

void rpm1SetupScreen() { runListScreen(kScreen); }

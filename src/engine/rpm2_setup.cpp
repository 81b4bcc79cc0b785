// RPM 2 SETUP: the second RPM channel's display, scale, alarms, pulses per revolution, resolution
// and label. Its modes cycle freely; leaving it brings the percentage in line with a new full scale.
#include "engine/inputs.h"
#include "engine/rpm_setup_lines.h"
#include "engine/setup_screens.h"
#include "settings/settings.h"
#include "ui/tile_menu.h"

namespace {

using namespace rpm_setup;


constexpr Fields kFields = {SETTING(rpm2DisplayMode), SETTING(rpm2FullScale), SETTING(rpm2DisplayMax),
                            SETTING(rpm2DisplayMin), SETTING(rpm2HighAlarmOn), SETTING(rpm2HighAlarm),
                            SETTING(rpm2HighCaution), SETTING(rpm2LowCaution), SETTING(rpm2LowAlarmOn),
                            SETTING(rpm2LowAlarm), SETTING(rpm2PulsesPerRev), SETTING(rpm2Resolution),
                            SETTING(rpm2Label)};

const auto kLines = lines<kFields>(nullptr);

// The percentage arrives with the second RPM value; a new full scale applies to it at once.
void rescalePercent()
{
    const int64_t fullScale = settings.rpm2FullScale > 0 ? settings.rpm2FullScale : 1;
    rotorPercent = static_cast<int32_t>(int64_t{rotorRpm} * 100 / fullScale);
}

const ListScreen kScreen = {.menuName = "EMS SETUP", .screenName = "RPM 2 SETUP", .lines = kLines,
                            .leave = rescalePercent};

}  // namespace

void rpm2SetupScreen() { runListScreen(kScreen); }

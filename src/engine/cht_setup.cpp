// CHT SETUP: how many thermocouple inputs after the EGTs are CHTs, their unit, scale, alarm, probe
// type (or the temperature senders of AUX 3 and 4) and which channel the pages show.
#include <cstdio>

#include "engine/setup_screens.h"
#include "engine/thermocouple_setup_lines.h"
#include "ui/tile_menu.h"

namespace {

constexpr int kNtcProbe = 3;

constexpr thermocouple_setup::Fields kFields = {SETTING(chtDisplayMax), SETTING(chtDisplayMin),
                                                SETTING(chtHighAlarmOn), SETTING(chtHighAlarm),
                                                SETTING(chtHighCaution), SETTING(chtScanMode),
                                                SETTING(chtScanTime)};

// As many as the inputs the EGTs leave, and no more than the two senders with NTC probes.
constexpr ListLine kChannels = {.label = "CHT CHANNELS: ", .field = SETTING(chtChannels)};

void probeChanged()
{
    const int most = lineLimits(kChannels).max;
    if (settings.chtChannels > most) settings.chtChannels = static_cast<uint8_t>(most);
}

void formatProbe(char* text, size_t size, int32_t v)
{
    const char* name = v == kNtcProbe ? (settings.chtChannels == 1 ? "NTC (AUX 3)" : "NTC (AUX 3/4)")
                       : v >= 0 && v < kNtcProbe ? thermocouple_setup::probes[v]
                                                  : "?";
    std::snprintf(text, size, "%s", name);
}

const auto kLines = thermocouple_setup::lines<kFields>(
    kChannels,
    {.label = "PROBE: ", .kind = LineKind::Choice, .field = SETTING(chtProbe), .format = formatProbe,
     .changed = probeChanged});

const ListScreen kScreen = {.menuName = "EMS SETUP", .screenName = "CHT SETUP", .lines = kLines};

}  // namespace

void chtSetupScreen() { runListScreen(kScreen); }

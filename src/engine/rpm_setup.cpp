// RPM 1 SETUP: display mode (with the 100% line in PERCENT), scale and alarm limits in steps of
// ten RPM, pulses per revolution, resolution and label. Leaving it derives the RPM factor anew.
#include <cstdio>

#include "engine/setup_screens.h"
#include "settings/settings_field.h"
#include "ui/list_screen.h"
#include "ui/screen.h"

namespace {

constexpr uint8_t kMenuPosition = 0;
enum Mode : uint8_t { ModeRpm = 0, ModePercent = 1, ModeOff = 2 };

// The 100% line steps by the multiplier itself, up to 1000; value lines by ten times it.
const StepRule kFullScaleSteps = {{1, 10, 100, 1000}, {"X1", "X10", "X100", "X1000"}};
const StepRule kRpmSteps = {{1, 10, 100}, {"X10", "X100", "X1000"}, 10};
const StepRule kPulseSteps = {{1, 10, 100}, {"X0.1", "X1.0", "X10.0"}};

const char* const kModes[] = {"RPM", "PERCENT", "OFF"};
const char* const kResolutions[] = {"1 RPM", "5 RPM", "10 RPM", "50 RPM"};
const char* const kLabels[] = {"ENGINE", "ROTOR", "PROP", "LEFT", "RIGHT", "FRONT", "REAR"};

// RPM 1 may be switched off only while RPM 2 is off: otherwise PERCENT is followed by RPM.
int32_t nextMode(int32_t mode, int direction, int32_t)
{
    const bool offAllowed = settings.rpm2DisplayMode == ModeOff;
    if (mode < ModeRpm || mode > ModeOff) return ModeRpm;
    if (direction > 0) return mode == ModeRpm ? ModePercent : mode == ModePercent && offAllowed ? ModeOff : ModeRpm;
    if (mode == ModeRpm) return offAllowed ? ModeOff : ModePercent;
    return mode - 1;
}

bool displayOn() { return settings.rpm1DisplayMode != ModeOff; }
bool percentMode() { return settings.rpm1DisplayMode == ModePercent; }

void formatLong(char* text, size_t size, int32_t v) { std::snprintf(text, size, "%ld", static_cast<long>(v)); }
void formatTenths(char* text, size_t size, int32_t v) { std::snprintf(text, size, "%.1f", v * 0.1); }

constexpr ListLine rpmValue(const char* label, SettingsField field, int32_t min)
{
    return {.label = label, .field = field, .min = min, .max = 99000, .format = formatLong, .steps = &kRpmSteps,
            .offered = displayOn};
}
constexpr ListLine onOff(const char* label, SettingsField field)
{
    return {.label = label, .kind = LineKind::OnOff, .field = field, .max = 1, .offered = displayOn};
}

const ListLine kLines[] = {
    {.label = "RPM DISPLAY: ", .kind = LineKind::Choice, .field = SETTING(rpm1DisplayMode), .max = 2,
     .choices = kModes, .next = nextMode},
    {.label = "RPM 100% DISPLAY: ", .field = SETTING(rpm1FullScale), .min = 100, .max = 99000,
     .format = formatLong, .steps = &kFullScaleSteps, .offered = percentMode},
    rpmValue("DISPLAY MAX: ", SETTING(rpm1DisplayMax), 100),
    rpmValue("DISPLAY MIN: ", SETTING(rpm1DisplayMin), 0),
    onOff("HIGH ALARM: ", SETTING(rpm1HighAlarmOn)),
    rpmValue("HIGH ALARM: ", SETTING(rpm1HighAlarm), 100),
    rpmValue("HIGH CAUTION: ", SETTING(rpm1HighCaution), 100),
    rpmValue("LOW CAUTION: ", SETTING(rpm1LowCaution), 0),
    onOff("LOW ALARM: ", SETTING(rpm1LowAlarmOn)),
    rpmValue("LOW ALARM: ", SETTING(rpm1LowAlarm), 0),
    {.label = "PULSES/REV: ", .field = SETTING(rpm1PulsesPerRev), .min = 1, .max = 5000, .format = formatTenths,
     .steps = &kPulseSteps, .offered = displayOn},
    {.label = "RESOLUTION: ", .kind = LineKind::Choice, .field = SETTING(rpm1Resolution), .max = 3,
     .choices = kResolutions, .offered = displayOn},
    {.label = "LABEL: ", .kind = LineKind::Choice, .field = SETTING(rpm1Label), .max = 6, .choices = kLabels,
     .offered = displayOn},
};

const ListScreen kScreen = {
    .menuName = "EMS SETUP",
    .screenName = "RPM 1 SETUP",
    .lines = kLines,
    .lineCount = sizeof kLines / sizeof kLines[0],
    .back = [] { backToEmsSetup(kMenuPosition); },
    .leave = updateRpmFactor,
};

}  // namespace

void rpm1SetupScreen() { runListScreen(kScreen); }

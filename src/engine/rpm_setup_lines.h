// The lines RPM 1 SETUP and RPM 2 SETUP share: display mode (with the 100% line in PERCENT), scale
// and alarm limits in steps of ten RPM, pulses per revolution, resolution and label.
#pragma once
#include <array>
#include <cstdio>

#include "settings/settings_field.h"
#include "ui/list_screen.h"

namespace rpm_setup {

enum Mode : uint8_t { ModeRpm = 0, ModePercent = 1, ModeOff = 2 };

struct Fields {
    SettingsField mode, fullScale, displayMax, displayMin, highAlarmOn, highAlarm, highCaution, lowCaution,
        lowAlarmOn, lowAlarm, pulsesPerRev, resolution, label;
};

// The 100% line steps by the multiplier itself, up to 1000; value lines by ten times it.
inline const StepRule fullScaleSteps = {{1, 10, 100, 1000}, {"X1", "X10", "X100", "X1000"}};
inline const StepRule rpmSteps = {{1, 10, 100}, {"X10", "X100", "X1000"}, 10};
inline const StepRule pulseSteps = {{1, 10, 100}, {"X0.1", "X1.0", "X10.0"}};

inline const char* const modes[] = {"RPM", "PERCENT", "OFF"};
inline const char* const resolutions[] = {"1 RPM", "5 RPM", "10 RPM", "50 RPM"};
inline const char* const labels[] = {"ENGINE", "ROTOR", "PROP", "LEFT", "RIGHT", "FRONT", "REAR"};

inline void formatLong(char* text, size_t size, int32_t v) { std::snprintf(text, size, "%ld", static_cast<long>(v)); }
inline void formatTenths(char* text, size_t size, int32_t v) { std::snprintf(text, size, "%.1f", v * 0.1); }

template <const Fields& F> bool displayOn() { return F.mode.get() != ModeOff; }
template <const Fields& F> bool percentMode() { return F.mode.get() == ModePercent; }

template <const Fields& F> constexpr ListLine rpmValue(const char* label, SettingsField field)
{
    return {.label = label, .field = field, .format = formatLong, .steps = &rpmSteps, .offered = displayOn<F>};
}

// nextMode: the mode after one knob step, or nullptr for a free cycle of the three modes.
template <const Fields& F> constexpr std::array<ListLine, 13> lines(int32_t (*nextMode)(int32_t, int, int32_t))
{
    return {{
        {.label = "RPM DISPLAY: ", .kind = LineKind::Choice, .field = F.mode, .choices = modes, .next = nextMode},
        {.label = "RPM 100% DISPLAY: ", .field = F.fullScale, .format = formatLong, .steps = &fullScaleSteps,
         .offered = percentMode<F>},
        rpmValue<F>("DISPLAY MAX: ", F.displayMax),
        rpmValue<F>("DISPLAY MIN: ", F.displayMin),
        onOff("HIGH ALARM: ", F.highAlarmOn, displayOn<F>),
        rpmValue<F>("HIGH ALARM: ", F.highAlarm),
        rpmValue<F>("HIGH CAUTION: ", F.highCaution),
        rpmValue<F>("LOW CAUTION: ", F.lowCaution),
        onOff("LOW ALARM: ", F.lowAlarmOn, displayOn<F>),
        rpmValue<F>("LOW ALARM: ", F.lowAlarm),
        {.label = "PULSES/REV: ", .field = F.pulsesPerRev, .format = formatTenths, .steps = &pulseSteps,
         .offered = displayOn<F>},
        {.label = "RESOLUTION: ", .kind = LineKind::Choice, .field = F.resolution, .choices = resolutions,
         .offered = displayOn<F>},
        {.label = "LABEL: ", .kind = LineKind::Choice, .field = F.label, .choices = labels,
         .offered = displayOn<F>},
    }};
}

}  // namespace rpm_setup

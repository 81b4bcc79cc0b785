// The lines EGT SETUP and CHT SETUP share: temperature unit, scale and alarm limits, probe, mode
// and scan time. Each screen supplies its own channel-count and probe lines.
#pragma once
#include <array>
#include <cstdio>

#include "settings/settings.h"
#include "settings/settings_field.h"
#include "ui/list_screen.h"

namespace thermocouple_setup {

struct Fields {
    SettingsField displayMax, displayMin, highAlarmOn, highAlarm, highCaution, scanMode, scanTime;
};

inline const char* const units[] = {"\xB0" "C", "\xB0" "F"};
inline const char* const modes[] = {"HIGHEST", "SCANNING"};
inline const char* const scanTimes[] = {"1S", "3S", "5S", "10S", "15S", "30S", "60S"};
inline const char* const probes[] = {"K-TYPE", "J-TYPE", "E-TYPE"};

inline bool fahrenheit() { return settings.temperatureUnit == 1; }

inline void formatTemperature(char* text, size_t size, int32_t v)
{
    std::snprintf(text, size, "%d%s", static_cast<int>(v), units[fahrenheit() ? 1 : 0]);
}

// The unit is shared by every engine temperature: values the new unit cannot show are brought to
// its nearest limit, as loading a settings file would; nothing is converted.
inline void unitChanged() { sanitiseSettings(); }

template <const Fields& F> bool scanning() { return F.scanMode.get() == 1; }

constexpr ListLine temperature(const char* label, SettingsField field)
{
    return {.label = label, .field = field, .format = formatTemperature,
            .steps = &stepsOneTenHundred};
}

// Line 0 counts the channels, line 7 chooses the probe; line 9 is offered in SCANNING mode only.
template <const Fields& F> constexpr std::array<ListLine, 10> lines(const ListLine& channels, const ListLine& probe)
{
    return {{
        channels,
        {.label = "TEMPERATURE UNIT: ", .kind = LineKind::Choice, .field = SETTING(temperatureUnit),
         .choices = units, .changed = unitChanged},
        temperature("DISPLAY MAX: ", F.displayMax),
        temperature("DISPLAY MIN: ", F.displayMin),
        onOff("HIGH ALARM: ", F.highAlarmOn),
        temperature("HIGH ALARM: ", F.highAlarm),
        temperature("HIGH CAUTION: ", F.highCaution),
        probe,
        {.label = "MODE: ", .kind = LineKind::Choice, .field = F.scanMode, .choices = modes},
        {.label = "SCAN TIME: ", .kind = LineKind::Choice, .field = F.scanTime, .choices = scanTimes,
         .offered = scanning<F>},
    }};
}

}  // namespace thermocouple_setup

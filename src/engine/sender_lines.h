// The setup lines of one sender's configuration records on listChannel, in blocks by function
// (pressure, temperature, current), shared by the sender, FUEL PRESSURE and CURRENT setup screens.
#pragma once
#include <algorithm>
#include <array>
#include <cstddef>

#include "settings/settings_field.h"
#include "ui/list_screen.h"

namespace senderlines {

// Whether a block applies on listChannel: an analog input with that function, or the screen's
// own sensor (fuel pressure, main current) on OWN_SENSOR_CHANNEL.
bool pressureShown();
bool temperatureShown();
bool currentShown();

// Pressure block hooks.
bool vdoModelShown();
bool pressureCurveShown();
bool umaModelShown();
bool loopPointsShown();
bool pressureLabelShown();
const StepRule* pressureSteps();
void formatPressureValue(char* text, size_t size, int32_t value);
void formatSource(char* text, size_t size, int32_t value);
int32_t nextSource(int32_t value, int direction, int32_t step);
void typeChanged();
void pressureUnitChanged();
void openPressureCurve();

// Temperature block hooks.
bool lm335Shown();
bool temperatureCurveShown();
bool temperatureLabelShown();
void formatTemperature(char* text, size_t size, int32_t value);
void formatLm335(char* text, size_t size, int32_t value);
void openTemperatureCurve();

// Current block hooks.
void formatAmperes(char* text, size_t size, int32_t value);
void openZeroCurrent();

extern const char* const kTypes[3];
extern const char* const kVdoModels[3];
extern const char* const kUmaModels[6];
extern const char* const kPressureLabels[5];
extern const char* const kPressureUnits[3];
extern const char* const kTemperatureSenders[6];
extern const char* const kTemperatureLabels[4];
extern const char* const kTemperatureUnits[2];

constexpr ListLine action(const char* label, void (*run)(), bool (*offered)())
{
    return {.label = label, .kind = LineKind::Action, .offered = offered, .action = run};
}

// DISPLAY MAX .. LOW ALARM: the eight scale and alarm lines every sender function has.
template <typename MakeValue>
constexpr std::array<ListLine, 8> limitLines(MakeValue value, SettingsField highOn, SettingsField lowOn,
                                             bool (*offered)(), SettingsField max, SettingsField min,
                                             SettingsField high, SettingsField highCaution,
                                             SettingsField lowCaution, SettingsField low)
{
    return {value("DISPLAY MAX: ", max),           value("DISPLAY MIN: ", min),
            onOff("HIGH ALARM: ", highOn, offered), value("HIGH ALARM: ", high),
            value("HIGH CAUTION: ", highCaution),  value("LOW CAUTION: ", lowCaution),
            onOff("LOW ALARM: ", lowOn, offered),  value("LOW ALARM: ", low)};
}

template <size_t... N> constexpr auto joinLines(const std::array<ListLine, N>&... parts)
{
    std::array<ListLine, (N + ...)> all{};
    size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), all.begin() + at), at += N), ...);
    return all;
}

// TYPE, SENDER, the maker's lines, LABEL, PRESSURE UNIT and the eight limit lines.
constexpr std::array<ListLine, 17> pressureLines()
{
    constexpr auto value = [](const char* label, SettingsField field) {
        return ListLine{.label = label, .field = field, .format = formatPressureValue, .stepRule = pressureSteps,
                        .offered = pressureShown};
    };
    constexpr auto loopPoint = [](const char* label, SettingsField field) {
        return ListLine{.label = label, .field = field, .format = formatPressureValue, .stepRule = pressureSteps,
                        .offered = loopPointsShown};
    };
    ListLine type = choice("TYPE: ", PRESSURE_FIELD(type), kTypes, pressureShown);
    type.changed = typeChanged;
    ListLine unit = choice("PRESSURE UNIT: ", PRESSURE_FIELD(pressureUnit), kPressureUnits, pressureShown);
    unit.changed = pressureUnitChanged;
    const std::array<ListLine, 9> head = {
        type,
        {.label = "SENDER: ", .kind = LineKind::Choice, .field = PRESSURE_FIELD(senderSource),
         .format = formatSource, .next = nextSource, .offered = pressureShown},
        choice("MODEL: ", PRESSURE_FIELD(vdoModel), kVdoModels, vdoModelShown),
        action("CALIBRATE SENDER", openPressureCurve, pressureCurveShown),
        choice("MODEL: ", PRESSURE_FIELD(umaModel), kUmaModels, umaModelShown),
        loopPoint("PRESSURE @ 4mA: ", PRESSURE_FIELD(pressureAt4mA)),
        loopPoint("PRESSURE @ 20mA: ", PRESSURE_FIELD(pressureAt20mA)),
        choice("LABEL: ", PRESSURE_FIELD(label), kPressureLabels, pressureLabelShown),
        unit,
    };
    return joinLines(head, limitLines(value, PRESSURE_FIELD(highAlarmOn), PRESSURE_FIELD(lowAlarmOn), pressureShown,
                                      PRESSURE_FIELD(displayMax), PRESSURE_FIELD(displayMin),
                                      PRESSURE_FIELD(highAlarm), PRESSURE_FIELD(highCaution),
                                      PRESSURE_FIELD(lowCaution), PRESSURE_FIELD(lowAlarm)));
}

// SENDER, the LM335 trim or the user curve, LABEL, TEMPERATURE UNIT and the eight limit lines.
constexpr std::array<ListLine, 13> temperatureLines()
{
    constexpr auto value = [](const char* label, SettingsField field) {
        return ListLine{.label = label, .field = field, .format = formatTemperature, .steps = &stepsOneTen,
                        .offered = temperatureShown};
    };
    // The unit is shared with the EGTs, CHTs and OAT: what the new unit cannot show comes to its
    // nearest limit, as on the thermocouple setup screens.
    ListLine unit = choice("TEMPERATURE UNIT: ", SETTING(temperatureUnit), kTemperatureUnits, temperatureShown);
    unit.changed = sanitiseSettings;
    const std::array<ListLine, 5> head = {
        choice("SENDER: ", TEMPERATURE_FIELD(sender), kTemperatureSenders, temperatureShown),
        {.label = "LM335: ", .kind = LineKind::Calibration, .field = TEMPERATURE_FIELD(lm335Offset),
         .format = formatLm335, .offered = lm335Shown},
        action("CALIBRATE SENDER", openTemperatureCurve, temperatureCurveShown),
        choice("LABEL: ", TEMPERATURE_FIELD(label), kTemperatureLabels, temperatureLabelShown),
        unit,
    };
    return joinLines(head, limitLines(value, TEMPERATURE_FIELD(highAlarmOn), TEMPERATURE_FIELD(lowAlarmOn),
                                      temperatureShown, TEMPERATURE_FIELD(displayMax),
                                      TEMPERATURE_FIELD(displayMin), TEMPERATURE_FIELD(highAlarm),
                                      TEMPERATURE_FIELD(highCaution), TEMPERATURE_FIELD(lowCaution),
                                      TEMPERATURE_FIELD(lowAlarm)));
}

// The eight limit lines, ZERO CURRENT SENSOR (always the ninth line after the screen's first)
// and the span.
constexpr std::array<ListLine, 10> currentLines()
{
    constexpr auto value = [](const char* label, SettingsField field) {
        return ListLine{.label = label, .field = field, .format = formatAmperes, .steps = &stepsOneTen,
                        .offered = currentShown};
    };
    const std::array<ListLine, 2> tail = {
        action("ZERO CURRENT SENSOR", openZeroCurrent, currentShown),
        {.label = "CURRENT SPAN CALIBRATION: ", .field = CURRENT_FIELD(currentSpan),
         .format = formatAmperes, .steps = &stepsOneTen, .offered = currentShown},
    };
    return joinLines(limitLines(value, CURRENT_FIELD(highAlarmOn), CURRENT_FIELD(lowAlarmOn), currentShown,
                                CURRENT_FIELD(displayMax), CURRENT_FIELD(displayMin), CURRENT_FIELD(highAlarm),
                                CURRENT_FIELD(highCaution), CURRENT_FIELD(lowCaution), CURRENT_FIELD(lowAlarm)),
                     tail);
}

}  // namespace senderlines

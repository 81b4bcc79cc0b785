// Hooks of the sender setup lines: which lines a sender's function, type and maker offer, value
// texts and steps by unit, the SENDER choice that follows the type, and the unit change rule.
#include "engine/sender_lines.h"

#include <cstdio>

#include "engine/senders.h"
#include "engine/setup_screens.h"
#include "ui/widget_texts.h"

namespace senderlines {

const char* const kTypes[3] = {"RESISTIVE", "0-5V", "4-20mA"};
const char* const kVdoModels[3] = {"2 bar", "5 bar", "10 bar"};
const char* const kUmaModels[6] = {"T1EU07", "T1EU35", "T1EU70", "T1EU70A", "T1EU100", "T1EU150"};
const char* const kPressureLabels[5] = {"OIL", "FUEL", "BOOST", "MAP", "AUX"};
const char* const kPressureUnits[3] = {"bar", "psi", "psi(0.1)"};
const char* const kTemperatureSenders[6] = {"DVK NTC", "VDO 150\xB0" "C", "LM335", "USER", "WESTACH",
                                            "VDO 120\xB0" "C"};
const char* const kTemperatureLabels[4] = {"OIL", "COOLANT", "WATER", "AUX"};
const char* const kTemperatureUnits[2] = {"\xB0" "C", "\xB0" "F"};

namespace {

enum Type : uint8_t { Resistive = 0, Voltage = 1, CurrentLoop = 2 };
enum Source : uint8_t { Vdo = 0, User = 1, Maker = 2 };
enum TemperatureSender : uint8_t { Lm335 = 2, UserCurve = 3 };

bool ownSensor() { return listChannel == OWN_SENSOR_CHANNEL; }
bool inputFunction(uint8_t function) { return listChannel < 4 && analogInputFunction(listChannel) == function; }

PressureSenderConfig& pressure()
{
    return *reinterpret_cast<PressureSenderConfig*>(settingsRecord(FieldRecord::PressureSender, listChannel));
}
TemperatureSenderConfig& temperature()
{
    return *reinterpret_cast<TemperatureSenderConfig*>(settingsRecord(FieldRecord::TemperatureSender, listChannel));
}

uint8_t unit() { return std::min<uint8_t>(pressure().pressureUnit, 2); }
// The choice that stands for the maker of the type: VDO for resistive senders, else UMA or ROTAX.
uint8_t makerOf(uint8_t type) { return type == Resistive ? Vdo : Maker; }

}  // namespace

bool pressureShown() { return ownSensor() || inputFunction(SENDER_FUNCTION_PRESSURE); }
bool temperatureShown() { return inputFunction(SENDER_FUNCTION_TEMPERATURE); }
bool currentShown() { return ownSensor() || inputFunction(SENDER_FUNCTION_CURRENT); }

bool vdoModelShown() { return pressureShown() && pressure().senderSource == Vdo; }
bool pressureCurveShown() { return pressureShown() && pressure().senderSource == User; }
bool umaModelShown() { return pressureShown() && pressure().senderSource == Maker && pressure().type != CurrentLoop; }
bool loopPointsShown() { return pressureShown() && pressure().senderSource == Maker && pressure().type == CurrentLoop; }
bool pressureLabelShown() { return pressureShown() && listChannel != 1 && !ownSensor(); }

const StepRule* pressureSteps() { return unit() == 1 ? &stepsOneTen : &stepsTenthsOneTen; }

void formatPressureValue(char* text, size_t size, int32_t value)
{
    const uint8_t u = unit();
    if (u == 1) std::snprintf(text, size, "%d %s", static_cast<int>(value), pressureUnitText(u));
    else std::snprintf(text, size, "%.1f %s", value * 0.1, pressureUnitText(u));
}

void formatSource(char* text, size_t size, int32_t value)
{
    const char* name = value == Vdo ? "VDO" : value == User ? "USER" : value == Maker ? "UMA" : "?";
    if (value == Maker && pressure().type == CurrentLoop) name = "ROTAX";
    std::snprintf(text, size, "%s", name);
}

// Two choices with every type: its maker and USER.
int32_t nextSource(int32_t value, int, int32_t)
{
    return value == User ? int32_t{makerOf(pressure().type)} : int32_t{User};
}

// A maker choice follows the type: VDO with resistive senders, UMA or ROTAX with the others.
void typeChanged()
{
    PressureSenderConfig& p = pressure();
    if (p.senderSource != User) p.senderSource = makerOf(p.type);
}

// Stored pressures are not converted; those beyond the new unit's largest value are cut to it.
void pressureUnitChanged()
{
    const int32_t top = lineLimits({.field = PRESSURE_FIELD(displayMax)}).max;  // the unit's largest pressure
    for (const SettingsField& field : {PRESSURE_FIELD(pressureAt4mA), PRESSURE_FIELD(pressureAt20mA),
                                       PRESSURE_FIELD(displayMax), PRESSURE_FIELD(displayMin),
                                       PRESSURE_FIELD(lowAlarm), PRESSURE_FIELD(highAlarm),
                                       PRESSURE_FIELD(lowCaution), PRESSURE_FIELD(highCaution)})
        if (field.get(listChannel) > top) field.set(top, listChannel);
}

void openPressureCurve() { openCalibrateSender(false); }

bool lm335Shown() { return temperatureShown() && temperature().sender == Lm335; }
bool temperatureCurveShown() { return temperatureShown() && temperature().sender == UserCurve; }
bool temperatureLabelShown() { return temperatureShown() && listChannel != 0; }

void formatTemperature(char* text, size_t size, int32_t value)
{
    std::snprintf(text, size, "%d%s", static_cast<int>(value), temperatureUnitText(settings.temperatureUnit));
}

void formatLm335(char* text, size_t size, int32_t value)
{
    std::snprintf(text, size, "%+d %d\xB0" "C", static_cast<int>(value), tempCelsius[listChannel % 4]);
}

void openTemperatureCurve() { openCalibrateSender(true); }

void formatAmperes(char* text, size_t size, int32_t value)
{
    std::snprintf(text, size, "%dA", static_cast<int>(value));
}

void openZeroCurrent() { openZeroCurrentSensor(); }

}  // namespace senderlines

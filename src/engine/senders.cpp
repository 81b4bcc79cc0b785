// Sender inputs: the four analog inputs by function, and fuel pressure. Readings become values
// through a calibration curve or a formula, then the display unit; each input updates its alarm.
#include "engine/senders.h"

#include <algorithm>

#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "settings/settings.h"

uint16_t analogInput[4] = {};
int16_t pressureValue[4] = {};
int16_t pressureMax[4] = {};
int16_t tempValue[4] = {};
int16_t tempCelsius[4] = {};
int16_t tempMax[4] = {};
int16_t auxCurrentTenths[4] = {};
int16_t auxCurrent[4] = {};
int16_t auxCurrentMin[4] = {}, auxCurrentMax[4] = {};
int16_t fuelPressure = 0;
int16_t fuelPressureMax = 0;

namespace {

// Readings of 4 mA and 20 mA on a ROTAX current-loop sender; input 2 has its own circuit.
constexpr int32_t kLoop4mA = 556, kLoop20mA = 1780;
constexpr int32_t kLoop4mAInput2 = 664, kLoop20mAInput2 = 1852;

// Pressure display limits, in any unit.
constexpr int32_t kPressureLow = 0, kPressureHigh = 999;
// Temperature display limits: anything below -100 shows as -99.
constexpr int32_t kTemperatureFloor = -100, kTemperatureShownLow = -99, kTemperatureHigh = 999;

int16_t toInt16(int32_t v) { return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX)); }

// Curve values beyond this are far outside every display range; clamping them first keeps the
// unit products below inside 32 bits without changing what is shown.
int64_t boundCurveValue(int32_t v) { return std::clamp<int32_t>(v, -100000, 100000); }

int32_t tenthsRounded(int64_t n) { return divideByTenRounded(static_cast<int32_t>(n)); }

// A VDO curve value (0.1 bar) in pressureUnit.
int32_t convertVdo(int32_t value, uint8_t unit)
{
    const int64_t v = boundCurveValue(value);
    switch (unit) {
    case 1: return tenthsRounded(v * 145 / 10);  // psi
    case 2: return tenthsRounded(v * 145);       // 0.1 psi
    default: return static_cast<int32_t>(v);     // 0.1 bar
    }
}

// A UMA curve value in pressureUnit. The T1EU07 table is read in 0.1 psi, T1EU70A in inHg and
// every other model in psi; bar values are in 0.1 bar, so 14.5 psi make 10 of them.
int32_t convertUma(int32_t value, uint8_t model, uint8_t unit)
{
    const int64_t v = boundCurveValue(value);
    if (model == 3) {  // inHg
        switch (unit) {
        case 1: return tenthsRounded(v * 10000 / 2036);
        case 2: return tenthsRounded(v * 100000 / 2036);
        default: return tenthsRounded(v * 10000 / 2952);
        }
    }
    if (model == 1 || model == 2 || model == 4 || model == 5) {  // psi
        switch (unit) {
        case 1: return static_cast<int32_t>(v);
        case 2: return static_cast<int32_t>(v * 10);
        default: return tenthsRounded(v * 1000 / 145);
        }
    }
    switch (unit) {  // T1EU07, 0.1 psi
    case 1: return tenthsRounded(v);
    case 2: return static_cast<int32_t>(v);
    default: return tenthsRounded(v * 100 / 145);
    }
}

bool outsideLimits(int32_t value, int16_t low, uint8_t lowOn, int16_t high, uint8_t highOn)
{
    return (value < low && lowOn == 1) || (value > high && highOn == 1);
}

// What the PRESSURE function shows for a reading, in the display unit and limits.
std::optional<int32_t> pressureShown(const PressureSenderConfig& p, int32_t x, bool input2)
{
    std::optional<int32_t> result;
    if (p.senderSource == 1) {  // USER: the curve holds display units
        result = lookupSenderCurve(p.curve, x);
    } else if (p.senderSource == 2 && p.type == 2) {  // ROTAX 4-20 mA, pressures entered in display units
        result = input2 ? interpolateRounded(kLoop4mAInput2, kLoop20mAInput2, p.pressureAt4mA, p.pressureAt20mA, x)
                        : interpolateRounded(kLoop4mA, kLoop20mA, p.pressureAt4mA, p.pressureAt20mA, x);
    } else if (p.senderSource == 2) {  // UMA 0-5 V
        result = lookupSenderCurve(umaPressureCurve(p.umaModel), x);
        if (result) result = convertUma(*result, p.umaModel, p.pressureUnit);
    } else {  // VDO resistive
        result = lookupSenderCurve(vdoPressureCurve(p.vdoModel, input2), x);
        if (result) result = convertVdo(*result, p.pressureUnit);
    }
    if (result) result = std::clamp<int32_t>(*result, kPressureLow, kPressureHigh);
    return result;
}

// The PRESSURE function of an analog input or of the fuel-pressure input.
void processPressure(const PressureSenderConfig& p, uint16_t reading, bool input2, int16_t& value, int16_t& peak,
                     uint32_t alarmBit)
{
    const std::optional<int32_t> result = pressureShown(p, reading, input2);
    if (result) value = static_cast<int16_t>(*result);
    if (value > peak) peak = value;
    updateAlarm(alarmBit, outsideLimits(value, p.lowAlarm, p.lowAlarmOn, p.highAlarm, p.highAlarmOn));
}

// A sender temperature (degrees C) as the display shows it.
int32_t temperatureShown(const TemperatureSenderConfig& t, int16_t celsius)
{
    int32_t shown = celsius;
    // A USER curve is calibrated in the display unit already.
    if (t.sender != 3 && settings.temperatureUnit == 1) shown = toFahrenheit(shown);
    if (shown < kTemperatureFloor) shown = kTemperatureShownLow;
    if (shown > kTemperatureHigh) shown = kTemperatureHigh;
    return shown;
}

int16_t auxCurrentTenthsFor(const CurrentSensorConfig& c, int index, int32_t reading)
{
    const int32_t span = static_cast<int32_t>(c.currentSpan) * 10;
    // A zero at 4096 leaves no span: interpolateRounded then gives 0 A rather than dividing by it.
    return toInt16(interpolateRounded(calibration.senderZero[index], 4096, 0, span, reading));
}

void processTemperature(int index, const TemperatureSenderConfig& t)
{
    const std::optional<int32_t> result = temperatureSenderCelsius(t, analogInput[index]);
    // Without a result the shown value stays as it is (already in the display unit).
    if (result) {
        tempCelsius[index] = toInt16(*result);
        tempValue[index] = static_cast<int16_t>(temperatureShown(t, tempCelsius[index]));
    }
    if (tempValue[index] > tempMax[index]) tempMax[index] = tempValue[index];
    updateAlarm(ALARM_AUX1 << index,
                outsideLimits(tempValue[index], t.lowAlarm, t.lowAlarmOn, t.highAlarm, t.highAlarmOn));
}

void processAuxCurrent(int index, const CurrentSensorConfig& c)
{
    auxCurrentTenths[index] = auxCurrentTenthsFor(c, index, analogInput[index]);
    auxCurrent[index] = static_cast<int16_t>(auxCurrentTenths[index] / 10);
    updateAlarm(ALARM_AUX1 << index,
                outsideLimits(auxCurrent[index], c.lowAlarm, c.lowAlarmOn, c.highAlarm, c.highAlarmOn));
    if (auxCurrent[index] < auxCurrentMin[index]) auxCurrentMin[index] = auxCurrent[index];
    if (auxCurrent[index] > auxCurrentMax[index]) auxCurrentMax[index] = auxCurrent[index];
}

}  // namespace

uint8_t analogInputFunction(int index)
{
    switch (index) {
    case 0: return settings.oilTempFunction;
    case 1: return settings.oilPressureFunction;
    case 2: return settings.aux13Function;
    case 3: return settings.aux24Function;
    default: return SENDER_FUNCTION_OFF;
    }
}

std::optional<int32_t> temperatureSenderCelsius(const TemperatureSenderConfig& t, int32_t x)
{
    if (t.sender == 2) return x * 1221 / 10000 - 273 + t.lm335Offset;  // LM335, 10 mV per kelvin
    if (t.sender == 3) return lookupSenderCurve(t.curve, x);
    return lookupSenderCurve(temperatureSenderCurve(t.sender), x);
}

std::optional<int32_t> analogShownForReading(int index, int32_t reading)
{
    if (index < 0 || index > 3) return std::nullopt;
    switch (analogInputFunction(index)) {
    case SENDER_FUNCTION_PRESSURE: return pressureShown(settings.pressureSender[index], reading, index == 1);
    case SENDER_FUNCTION_TEMPERATURE: {
        const TemperatureSenderConfig& t = settings.temperatureSender[index];
        const std::optional<int32_t> celsius = temperatureSenderCelsius(t, reading);
        if (!celsius) return std::nullopt;
        return temperatureShown(t, toInt16(*celsius));
    }
    case SENDER_FUNCTION_CURRENT: return auxCurrentTenthsFor(settings.currentSender[index], index, reading);
    default: return std::nullopt;
    }
}

std::optional<int32_t> fuelPressureShownForReading(int32_t reading)
{
    return pressureShown(settings.fuelPressureSender, reading, false);
}

std::optional<int32_t> lookupSenderCurve(const SenderCurve& curve, int32_t x)
{
    const int n = std::min<int>(curve.pointCount, 16);
    if (n < 2) return std::nullopt;
    int32_t r[16];
    for (int k = 0; k < n; ++k) {
        r[k] = curve.points[k].reading;
        if (k > 0 && r[k] == r[k - 1]) return std::nullopt;  // a vertical step has no line
    }
    const auto segment = [&](int k) {
        return interpolateRounded(r[k], r[k + 1], curve.points[k].value, curve.points[k + 1].value, x);
    };
    if (r[0] >= r[1]) {  // falling
        if (x >= r[0]) return segment(0);
        if (x <= r[n - 1]) return segment(n - 2);
        for (int k = 0; k + 1 < n; ++k)
            if (r[k] >= x && x >= r[k + 1]) return segment(k);
    } else {  // rising
        if (x < r[0]) return segment(0);
        if (x > r[n - 1]) return segment(n - 2);
        for (int k = 0; k + 1 < n; ++k)
            if (r[k] <= x && x <= r[k + 1]) return segment(k);
    }
    return std::nullopt;
}

void processAnalogInput(int index)
{
    if (index < 0 || index > 3) return;
    const uint32_t bit = ALARM_AUX1 << index;
    switch (analogInputFunction(index)) {
    case SENDER_FUNCTION_PRESSURE:
        analogInput[index] = rawAnalog[index];
        processPressure(settings.pressureSender[index], analogInput[index], index == 1, pressureValue[index],
                        pressureMax[index], bit);
        break;
    case SENDER_FUNCTION_TEMPERATURE:
        analogInput[index] = rawAnalog[index];
        processTemperature(index, settings.temperatureSender[index]);
        break;
    case SENDER_FUNCTION_CURRENT:
        analogInput[index] = rawAnalog[index];
        processAuxCurrent(index, settings.currentSender[index]);
        break;
    default:
        clearAlarm(bit);
        break;
    }
}

void processFuelPressure()
{
    processPressure(settings.fuelPressureSender, rawFuelPressure, false, fuelPressure, fuelPressureMax,
                    ALARM_FUEL_PRESSURE);
}

void resetSenderMinMax()
{
    for (int i = 0; i < 4; ++i) {
        pressureMax[i] = pressureValue[i];
        tempMax[i] = tempValue[i];
        auxCurrentMin[i] = auxCurrentMax[i] = auxCurrent[i];
    }
    fuelPressureMax = fuelPressure;
}

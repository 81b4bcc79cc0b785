// Each control's reading through the engine's own conversions and, where a channel smooths its
// input, its filter settled from where it stands: what the display shows once the input holds
// still. Sender channels report what the last pass made of them.
#include "device_readings.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "settings/settings.h"

namespace {

InputReading reading(int32_t value, ShownUnit unit, bool fromPosition = true)
{
    InputReading r;
    r.value = value;
    r.decimals = unit.decimals;
    r.unit = unit.info().symbol;
    r.measure = unit.unit;
    r.fromPosition = fromPosition;
    r.known = true;
    return r;
}

InputReading analogReading(int index)
{
    switch (analogInputFunction(index)) {
    case SENDER_FUNCTION_PRESSURE:
        return reading(pressureValue[index], pressureUnitFor(settings.pressureSender[index].pressureUnit), false);
    case SENDER_FUNCTION_TEMPERATURE: return reading(tempValue[index], engineTemperatureUnit(), false);
    case SENDER_FUNCTION_CURRENT: return reading(auxCurrentTenths[index], {MeasureUnit::Amp, 1}, false);
    default: return {};
    }
}

int32_t inUnit(int32_t celsius, ShownUnit unit) { return unit.unit == MeasureUnit::Fahrenheit ? toFahrenheit(celsius) : celsius; }

}  // namespace

InputReading inputReading(InputControl id, int32_t position)
{
    const auto u16 = static_cast<uint16_t>(position);
    using enum InputControl;
    switch (id) {
    case Oat: return reading(inUnit(oatCelsiusForCounts(u16), oatUnitNow()), oatUnitNow());
    case Map: {
        const int32_t x = position + calibration.mapOffset;
        const int16_t mb = x < 168 ? 0 : mapMbForInput(settledFilter(mapFilterAcc, [&](int32_t& acc) {
            return mapFilterStep(acc, x + 180, settings.mapFilter);
        }));
        return reading(mapInUnit(mb), mapUnitNow());
    }
    case Rpm:
        updateRpmFactor();
        return reading(rpmForPeriod(u16), {MeasureUnit::Rpm, 0});
    case Rotor: return reading(position, {MeasureUnit::Rpm, 0});
    case FuelFlow1:
    case FuelFlow2:
        if (settings.fuelFlowMode == 1) return {};  // injector duty, not pulses
        return reading(fuelFlowForPulses(id == FuelFlow1 ? 0 : 1, u16), fuelFlowUnit());
    case FuelLevel1:
    case FuelLevel2: {
        uint16_t level = 0;
        if (!tankLevelForReading(id == FuelLevel1 ? 0 : 1, u16, level)) return {};
        return reading(level, tankUnit());
    }
    case FuelPressure: {
        if (settings.fuelPressureOn != 1) return {};
        return reading(fuelPressure, pressureUnitFor(settings.fuelPressureSender.pressureUnit), false);
    }
    case Input1: case Input2: case Input3: case Input4:
        return analogReading(static_cast<int>(id) - static_cast<int>(Input1));
    case Volts:
        return reading(voltsForCounts(settledFilter(voltsFilter, [&](uint32_t& acc) { return voltsFilterStep(acc, u16); })),
                       {MeasureUnit::Volt, 1});
    case Current:
        if (settings.currentOn != 1) return {};
        return reading(currentTenthsForCounts(u16), {MeasureUnit::Amp, 1});
    case Cjc: return reading(cjcForCounts(u16), {MeasureUnit::Celsius, 0});
    case CoPpm: return reading(position, {MeasureUnit::Ppm, 0});
    default: {
        const int index = static_cast<int>(id) - static_cast<int>(Tc1);
        const int probe = index < settings.egtChannels ? settings.egtProbe : settings.chtProbe;
        const int32_t celsius = thermocoupleCelsius(static_cast<int16_t>(position), probe);
        return reading(inUnit(celsius, engineTemperatureUnit()), engineTemperatureUnit());
    }
    }
}

std::optional<int32_t> settledValue(InputControl id, int32_t position)
{
    switch (id) {
    case InputControl::Input1: case InputControl::Input2: case InputControl::Input3: case InputControl::Input4:
        return analogShownForReading(static_cast<int>(id) - static_cast<int>(InputControl::Input1), position);
    case InputControl::FuelPressure:
        if (settings.fuelPressureOn != 1) return std::nullopt;
        return fuelPressureShownForReading(position);
    default: {
        const InputReading r = inputReading(id, position);
        if (!r.known) return std::nullopt;
        return r.value;
    }
    }
}

bool inputReadsDownward(InputControl id)
{
    const InputControlInfo& info = inputControls[static_cast<int>(id)];
    if (!inputReading(id, info.start).known) return false;
    std::optional<int32_t> low, high;  // the readings of the lowest and the highest count that have one
    for (int32_t p = info.minimum; p <= info.maximum && !low; ++p) low = settledValue(id, p);
    for (int32_t p = info.maximum; p >= info.minimum && !high; --p) high = settledValue(id, p);
    return low && high && *high < *low;
}

bool inputPositionForReading(InputControl id, int32_t value, int32_t& position)
{
    if (!inputReading(id, inputControls[static_cast<int>(id)].start).known) return false;
    return nearestPosition(id, value, position, [id](int32_t p) { return settledValue(id, p); });
}

void formatInputReading(const InputReading& r, char* text, int size)
{
    if (size <= 0) return;
    text[0] = '\0';
    if (!r.known) return;
    if (r.decimals == 0) {
        std::snprintf(text, static_cast<size_t>(size), "%d %s", static_cast<int>(r.value), r.unit);
        return;
    }
    int32_t scale = 1;
    for (int i = 0; i < r.decimals; ++i) scale *= 10;
    const int64_t magnitude = std::llabs(int64_t{r.value});
    std::snprintf(text, static_cast<size_t>(size), "%s%lld.%0*lld %s", r.value < 0 ? "-" : "",
                  static_cast<long long>(magnitude / scale), static_cast<int>(r.decimals),
                  static_cast<long long>(magnitude % scale), r.unit);
}

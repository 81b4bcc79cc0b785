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

InputReading reading(int32_t value, uint8_t decimals, const char* unit, bool fromPosition = true)
{
    InputReading r;
    r.value = value;
    r.decimals = decimals;
    r.unit = unit;
    r.fromPosition = fromPosition;
    r.known = true;
    return r;
}

const char* temperatureUnit(uint8_t unit) { return unit == 1 ? "°F" : "°C"; }

const char* pressureUnitText(uint8_t unit, uint8_t& decimals)
{
    decimals = unit == 1 ? 0 : 1;
    return unit == 0 ? "bar" : "psi";
}

InputReading analogReading(int index)
{
    switch (analogInputFunction(index)) {
    case SENDER_FUNCTION_PRESSURE: {
        uint8_t decimals = 0;
        const char* unit = pressureUnitText(settings.pressureSender[index].pressureUnit, decimals);
        return reading(pressureValue[index], decimals, unit, false);
    }
    case SENDER_FUNCTION_TEMPERATURE: return reading(tempValue[index], 0, temperatureUnit(settings.temperatureUnit), false);
    case SENDER_FUNCTION_CURRENT: return reading(auxCurrentTenths[index], 1, "A", false);
    default: return {};
    }
}

int32_t inUnit(int32_t celsius, uint8_t unit) { return unit == 1 ? toFahrenheit(celsius) : celsius; }

}  // namespace

InputReading inputReading(InputControl id, int32_t position)
{
    const auto u16 = static_cast<uint16_t>(position);
    using enum InputControl;
    switch (id) {
    case Oat: return reading(inUnit(oatCelsiusForCounts(u16), settings.oatUnit), 0, temperatureUnit(settings.oatUnit));
    case Map: {
        const int32_t x = position + calibration.mapOffset;
        const int16_t mb = x < 168 ? 0 : mapMbForInput(settledFilter(mapFilterAcc, [&](int32_t& acc) {
            return mapFilterStep(acc, x + 180, settings.mapFilter);
        }));
        return settings.mapUnit == 0 ? reading(mb, 0, "mb") : reading(mapInUnit(mb), 1, "inHg");
    }
    case Rpm:
        updateRpmFactor();
        return reading(rpmForPeriod(u16), 0, "RPM");
    case Rotor: return reading(position, 0, "RPM");
    case FuelFlow1:
    case FuelFlow2:
        if (settings.fuelFlowMode == 1) return {};  // injector duty, not pulses
        return reading(fuelFlowForPulses(id == FuelFlow1 ? 0 : 1, u16), 1, fuelUnitIsGallons() ? "gal/h" : "L/h");
    case FuelLevel1:
    case FuelLevel2: {
        uint16_t level = 0;
        if (!tankLevelForReading(id == FuelLevel1 ? 0 : 1, u16, level)) return {};
        return reading(level, 0, fuelUnitIsGallons() ? "gal" : "L");
    }
    case FuelPressure: {
        if (settings.fuelPressureOn != 1) return {};
        uint8_t decimals = 0;
        const char* unit = pressureUnitText(settings.fuelPressureSender.pressureUnit, decimals);
        return reading(fuelPressure, decimals, unit, false);
    }
    case Input1: case Input2: case Input3: case Input4:
        return analogReading(static_cast<int>(id) - static_cast<int>(Input1));
    case Volts:
        return reading(voltsForCounts(settledFilter(voltsFilter, [&](uint32_t& acc) { return voltsFilterStep(acc, u16); })),
                       1, "V");
    case Current:
        if (settings.currentOn != 1) return {};
        return reading(currentTenthsForCounts(u16), 1, "A");
    case Cjc: return reading(cjcForCounts(u16), 0, "°C");
    case CoPpm: return reading(position, 0, "ppm");
    default: {
        const int index = static_cast<int>(id) - static_cast<int>(Tc1);
        const int probe = index < settings.egtChannels ? settings.egtProbe : settings.chtProbe;
        const int32_t celsius = thermocoupleCelsius(static_cast<int16_t>(position), probe);
        return reading(inUnit(celsius, settings.temperatureUnit), 0, temperatureUnit(settings.temperatureUnit));
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

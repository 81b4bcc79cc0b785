// The units table and the units the settings choose.
#include "engine/units.h"

#include "engine/fuel.h"
#include "settings/settings.h"

namespace {

constexpr double kLitresPerGallon = 3.785411784;

}  // namespace

const UnitInfo unitTable[MEASURE_UNIT_COUNT] = {
    {MeasureUnit::Celsius, Quantity::Temperature, "C", "°C", 1.0, 0.0},
    {MeasureUnit::Fahrenheit, Quantity::Temperature, "F", "°F", 5.0 / 9.0, -32.0 * 5.0 / 9.0},
    {MeasureUnit::Millibar, Quantity::Pressure, "mb", "mb", 100.0, 0.0},
    {MeasureUnit::InHg, Quantity::Pressure, "inHg", "inHg", 3386.389, 0.0},
    {MeasureUnit::Bar, Quantity::Pressure, "bar", "bar", 100000.0, 0.0},
    {MeasureUnit::Psi, Quantity::Pressure, "psi", "psi", 6894.757, 0.0},
    {MeasureUnit::Rpm, Quantity::Speed, "RPM", "RPM", 1.0, 0.0},
    {MeasureUnit::Volt, Quantity::Voltage, "V", "V", 1.0, 0.0},
    {MeasureUnit::Amp, Quantity::Current, "A", "A", 1.0, 0.0},
    {MeasureUnit::LitrePerHour, Quantity::Flow, "L/h", "L/h", 1.0, 0.0},
    {MeasureUnit::GallonPerHour, Quantity::Flow, "gal/h", "gal/h", kLitresPerGallon, 0.0},
    {MeasureUnit::Litre, Quantity::Volume, "L", "L", 1.0, 0.0},
    {MeasureUnit::Gallon, Quantity::Volume, "gal", "gal", kLitresPerGallon, 0.0},
    {MeasureUnit::Ppm, Quantity::Concentration, "ppm", "ppm", 1.0, 0.0},
};

bool convertUnit(double value, MeasureUnit from, MeasureUnit to, double& out)
{
    const UnitInfo& a = unitInfo(from);
    const UnitInfo& b = unitInfo(to);
    if (a.quantity != b.quantity) return false;
    out = from == to ? value : (value * a.factor + a.offset - b.offset) / b.factor;
    return true;
}

bool unitByName(std::string_view text, MeasureUnit& unit)
{
    for (const UnitInfo& u : unitTable)
        if (text == u.name || text == u.symbol) {
            unit = u.unit;
            return true;
        }
    return false;
}

ShownUnit engineTemperatureUnit()
{
    return {settings.temperatureUnit == 1 ? MeasureUnit::Fahrenheit : MeasureUnit::Celsius, 0};
}

ShownUnit oatUnitNow() { return {settings.oatUnit == 1 ? MeasureUnit::Fahrenheit : MeasureUnit::Celsius, 0}; }

ShownUnit mapUnitNow() { return settings.mapUnit == 1 ? ShownUnit{MeasureUnit::InHg, 1} : ShownUnit{MeasureUnit::Millibar, 0}; }

ShownUnit pressureUnitFor(uint8_t pressureUnit)
{
    if (pressureUnit == 0) return {MeasureUnit::Bar, 1};
    return {MeasureUnit::Psi, static_cast<uint8_t>(pressureUnit == 1 ? 0 : 1)};
}

ShownUnit fuelFlowUnit() { return {fuelUnitIsGallons() ? MeasureUnit::GallonPerHour : MeasureUnit::LitrePerHour, 1}; }

ShownUnit tankUnit()
{
    return {fuelUnitIsGallons() ? MeasureUnit::Gallon : MeasureUnit::Litre, static_cast<uint8_t>(tankUnitsAreTenths() ? 1 : 0)};
}

ShownUnit fuelUsedUnit()
{
    return fuelUnitIsGallons() ? ShownUnit{MeasureUnit::Gallon, 1} : ShownUnit{MeasureUnit::Litre, 0};
}

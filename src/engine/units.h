// The quantities the instrument measures and the units it shows them in: one table of each unit's
// names, its fixed point and its conversion. The recording's header, the trends, the readings
// beside the input bars and the conversion of outside values all take their units from here.
#pragma once
#include <cstdint>
#include <string_view>

enum class Quantity : uint8_t { Temperature, Pressure, Speed, Voltage, Current, Flow, Volume, Concentration };

enum class MeasureUnit : uint8_t {
    Celsius, Fahrenheit, Millibar, InHg, Bar, Psi, Rpm, Volt, Amp, LitrePerHour, GallonPerHour, Litre, Gallon, Ppm,
};
constexpr int MEASURE_UNIT_COUNT = 14;

struct UnitInfo {
    MeasureUnit unit;
    Quantity quantity;
    const char* name;    // in a recording's header and on a chart: "C", "inHg", "gal/h"
    const char* symbol;  // beside a reading: "°C", "inHg" (UTF-8)
    // The unit as the quantity's base (°C, Pa, RPM, V, A, L/h, L, ppm): base = value * factor + offset.
    double factor;
    double offset;
};

extern const UnitInfo unitTable[MEASURE_UNIT_COUNT];
inline const UnitInfo& unitInfo(MeasureUnit unit) { return unitTable[static_cast<int>(unit)]; }

// value in `from` expressed in `to`; false, leaving out alone, when the two measure different
// quantities.
bool convertUnit(double value, MeasureUnit from, MeasureUnit to, double& out);
// The unit by its name or its symbol ("C", "°C", "gal/h"); false for none.
bool unitByName(std::string_view text, MeasureUnit& unit);

// A unit as the instrument keeps its values: fixed point with `decimals` digits after the point.
struct ShownUnit {
    MeasureUnit unit;
    uint8_t decimals;
    const UnitInfo& info() const { return unitInfo(unit); }
    double scale() const { return decimals == 0 ? 1.0 : decimals == 1 ? 10.0 : 100.0; }  // fixed point per unit
};

// The units the present settings show each kind of value in.
ShownUnit engineTemperatureUnit();                // EGT, CHT and the temperature senders, whole degrees
ShownUnit oatUnitNow();
ShownUnit mapUnitNow();                           // mb, or 0.1 inHg
ShownUnit pressureUnitFor(uint8_t pressureUnit);  // a sender's setting: 0 0.1 bar, 1 psi, 2 0.1 psi
ShownUnit fuelFlowUnit();                         // 0.1 L/h or 0.1 gal/h
ShownUnit tankUnit();                             // 0.1 gal; L or 0.1 L by the tank resolution
ShownUnit fuelUsedUnit();                         // 0.1 gal or whole L

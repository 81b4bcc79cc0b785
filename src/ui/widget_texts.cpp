// The widgets' text tables and shared number formats.
#include "ui/widget_texts.h"

#include <cstdio>

#include "settings/settings.h"
#include "ui/widgets.h"

namespace {

template <size_t N> const char* entry(const char* const (&table)[N], uint8_t index)
{
    return index < N ? table[index] : "";
}

const char* const kTemperatureUnits[] = {"\xB0" "C", "\xB0" "F"};
const char* const kMapUnits[] = {"mb", "\"Hg"};
const char* const kPressureLabels[] = {"OP", "FP", "BP", "MAP", "AUX"};
const char* const kTemperatureLabels[] = {"OT", "CT", "H20", "AUX"};
const char* const kPressureUnits[] = {"bar", "psi", "psi"};
const char* const kRpmLabels[] = {"ENGINE", "ROTOR", "PROP", "LEFT", "RIGHT", "FRONT", "REAR"};
const char* const kSpeedUnits[] = {"mph", "mph", "kts", "kts", "km/h", "km/h"};

}  // namespace

const char* temperatureUnitText(uint8_t unit) { return entry(kTemperatureUnits, unit); }
const char* mapUnitText(uint8_t unit) { return entry(kMapUnits, unit); }
const char* pressureLabelText(uint8_t label) { return entry(kPressureLabels, label); }
const char* temperatureLabelText(uint8_t label) { return entry(kTemperatureLabels, label); }
const char* pressureUnitText(uint8_t unit) { return entry(kPressureUnits, unit); }
const char* rpmLabelText(uint8_t label) { return entry(kRpmLabels, label); }
const char* speedUnitText(uint8_t fuelUnit) { return entry(kSpeedUnits, fuelUnit); }

void formatPressure(char* text, size_t size, int32_t value, uint8_t pressureUnit)
{
    if (pressureUnit == 1) std::snprintf(text, size, "%d", static_cast<int>(value));
    else formatTenths(text, size, value);
}

void formatOat(char* text, size_t size, int32_t value)
{
    const int32_t open = settings.oatUnit == 1 ? 300 : 150;
    if (value > open) std::snprintf(text, size, "---");
    else std::snprintf(text, size, "%d", static_cast<int>(value));
}

void formatMap(char* text, size_t size, int32_t value)
{
    if (settings.mapUnit == 1) formatTenths(text, size, value);
    else std::snprintf(text, size, "%d", static_cast<int>(value));
}

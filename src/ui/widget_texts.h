// The widgets' text tables (units, sender and RPM labels) and the number formats they share.
#pragma once
#include <cstddef>
#include <cstdint>

// Each table returns "" for an index beyond its entries.
const char* temperatureUnitText(uint8_t unit);  // "\xB0C", "\xB0F"
const char* mapUnitText(uint8_t unit);          // "mb", "\"Hg"
const char* pressureLabelText(uint8_t label);   // "OP", "FP", "BP", "MAP", "AUX"
const char* temperatureLabelText(uint8_t label);// "OT", "CT", "H20", "AUX"
const char* pressureUnitText(uint8_t unit);     // "bar", "psi", "psi"
const char* rpmLabelText(uint8_t label);        // "ENGINE" .. "REAR"
const char* speedUnitText(uint8_t fuelUnit);    // "mph", "mph", "kts", "kts", "km/h", "km/h"

// "%d" with unit 1 (psi), else tenths.
void formatPressure(char* text, size_t size, int32_t value, uint8_t pressureUnit);
// "%d" of the OAT, or "---" above 150 C / 300 F (an open sensor), by oatUnit.
void formatOat(char* text, size_t size, int32_t value);
// "%d" in mb, tenths in inHg, by mapUnit.
void formatMap(char* text, size_t size, int32_t value);

// Sender inputs: the four analog inputs (PRESSURE, TEMPERATURE or CURRENT by function), fuel
// pressure, and the calibration-curve look-up shared with the setup screens.
#pragma once
#include <cstdint>
#include <optional>

#include "settings/settings.h"

extern uint16_t analogInput[4];        // reading used by the input's active function
extern int16_t pressureValue[4];       // 0.1 bar, psi or 0.1 psi per pressureUnit
extern int16_t pressureMax[4];
extern int16_t tempValue[4];           // degrees C, or F with temperatureUnit = 1
extern int16_t tempCelsius[4];
extern int16_t tempMax[4];
extern int16_t auxCurrentTenths[4];    // 0.1 A
extern int16_t auxCurrent[4];          // A
extern int16_t auxCurrentMin[4], auxCurrentMax[4];
extern int16_t fuelPressure;           // unit of fuelPressureSender.pressureUnit
extern int16_t fuelPressureMax;

// Functions of an analog input.
constexpr uint8_t SENDER_FUNCTION_OFF = 0;
constexpr uint8_t SENDER_FUNCTION_PRESSURE = 1;
constexpr uint8_t SENDER_FUNCTION_TEMPERATURE = 2;
constexpr uint8_t SENDER_FUNCTION_CURRENT = 3;

// The function setting of analog input 0..3 (oil temperature, oil pressure, AUX 1/3, AUX 2/4).
uint8_t analogInputFunction(int index);

// The value of a calibration curve at reading x: the segment that brackets x, or the first or
// last segment extended beyond the ends. No result for a curve without a line to draw: fewer
// than two points, or two neighbouring points at the same reading. The caller then keeps its
// previous value.
std::optional<int32_t> lookupSenderCurve(const SenderCurve& curve, int32_t x);

// What a pass settles at for a reading, with the present settings (the display unit and limits),
// without touching the channel's state: an analog input 0..3 by its function, and fuel pressure.
// No result where the pass keeps its previous value (a curve without a line, the input off).
std::optional<int32_t> analogShownForReading(int index, int32_t reading);
std::optional<int32_t> fuelPressureShownForReading(int32_t reading);
// A temperature sender's own temperature for a reading (degrees C, before unit and limits).
std::optional<int32_t> temperatureSenderCelsius(const TemperatureSenderConfig& sender, int32_t reading);

// Built-in curves (value, reading), see sender_curves.cpp.
extern const SenderCurve curveDvkNtc;        // degrees C
extern const SenderCurve curveVdo150;        // degrees C
extern const SenderCurve curveWestach;       // degrees C
extern const SenderCurve curveVdo120;        // degrees C
extern const SenderCurve curveVdo2Bar;       // 0.1 bar
extern const SenderCurve curveVdo2BarInput2;
extern const SenderCurve curveVdo5Bar;
extern const SenderCurve curveVdo5BarInput2;
extern const SenderCurve curveVdo10Bar;
extern const SenderCurve curveVdo10BarInput2;
extern const SenderCurve curveT1eu07;        // 0.1 psi as T1EU07, psi as T1EU70 (one table)
extern const SenderCurve curveT1eu35;        // psi
extern const SenderCurve curveT1eu70a;       // inHg
extern const SenderCurve curveT1eu100;       // psi
extern const SenderCurve curveT1eu150;       // psi

// The built-in curve of a temperature sender setting (LM335 and USER have none: VDO 150 C, as
// for any unknown setting).
const SenderCurve& temperatureSenderCurve(uint8_t sender);
// The VDO resistive pressure curve of vdoModel; input 2 has its own sender circuit.
const SenderCurve& vdoPressureCurve(uint8_t vdoModel, bool input2);
// The UMA 0-5 V pressure curve of umaModel.
const SenderCurve& umaPressureCurve(uint8_t umaModel);

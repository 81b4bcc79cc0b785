// Sender inputs: the four analog inputs (PRESSURE, TEMPERATURE or CURRENT by function), fuel
// pressure, and the calibration-curve look-up shared with the setup screens.
#pragma once
#include <cstdint>

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

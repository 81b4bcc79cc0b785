// Sender inputs: the four analog inputs by function, and fuel pressure.
#include "engine/senders.h"

#include "engine/engine.h"

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

void processAnalogInput(int) {}
void processFuelPressure() {}
void resetSenderMinMax() {}

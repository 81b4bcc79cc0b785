// Storage of the raw engine inputs (zero until the host first moves a control).
#include "engine/inputs.h"

uint16_t rawVolts = 0;
uint16_t rawCurrent = 0;
uint16_t rawOat = 0;
int16_t rawMap = 0;
uint16_t rpmPeriod = 0;
int32_t rotorRpm = 0;
int32_t rotorPercent = 0;
uint16_t coPpm = 0;
int16_t tcInput[12] = {};
uint16_t rawCjc = 0;
uint16_t rawFuelFlow[2] = {};
uint16_t rawFuelLevel[2] = {};
uint16_t rawFuelPressure = 0;
uint16_t rawAnalog[4] = {};

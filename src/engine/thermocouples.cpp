// Thermocouple channels: cold junction, the twelve EGT/CHT channels and their peaks.
#include "engine/engine.h"

void processColdJunction() {}
void processThermocouple(int) {}
void resetThermocoupleMinMax() {}

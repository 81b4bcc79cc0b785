// Sender inputs: the four analog inputs by function, and fuel pressure.
#include "engine/engine.h"

void processAnalogInput(int) {}
void processFuelPressure() {}
void resetSenderMinMax() {}

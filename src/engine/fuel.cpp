// Fuel: tank senders, flow, calculated tanks, totals, range and endurance.
#include "engine/engine.h"

void processTankSender(int) {}
void processFuelFlow() {}

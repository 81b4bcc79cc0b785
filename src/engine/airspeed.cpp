// The airspeed data link's values (never received in the simulator).
#include "engine/airspeed.h"

uint16_t airspeed = 0;
uint8_t airspeedValid = 0;

// The airspeed data link's values. The simulator receives no airspeed link, so nothing sets
// them: airspeedValid stays 0 and every reader falls back to the manual cruise speed.
#pragma once
#include <cstdint>

extern uint16_t airspeed;      // in the speed unit of the fuel unit setting
extern uint8_t airspeedValid;  // non-zero while the link delivers

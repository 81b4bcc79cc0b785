// The flight in hand: the current flight record and the in-progress flag.
#include "time/flight.h"

FlightRecord currentFlight = {};
uint8_t flightInProgress = 0;

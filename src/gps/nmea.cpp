// NMEA receiver and sentence handlers.
#include "gps/nmea.h"

uint8_t gpsDataReceived = 0;

void nmeaReceiveByte(uint8_t) {}
void runPendingGpsHandlers() {}

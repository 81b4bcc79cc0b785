// NMEA receiver and sentence handlers.
#include "gps/nmea.h"

uint8_t gpsDataReceived = 0;

bool nmeaReceiveByte(uint8_t) { return false; }
const char* nmeaAcceptedSentence() { return ""; }
void runPendingGpsHandlers() {}

// The NMEA receiver: bytes from the serial reader thread are framed, checksummed and parked per
// sentence type; the main loop runs the handlers of parked sentences once per pass.
#pragma once
#include <cstdint>

// Reader thread: one received byte.
void nmeaReceiveByte(uint8_t byte);
// Main loop: the handlers of the parked RMC, GGA, GSA and GSV sentences, in that order.
void runPendingGpsHandlers();

extern uint8_t gpsDataReceived;  // 1 once any sentence was accepted

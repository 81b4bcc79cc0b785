// The NMEA receiver: bytes from the serial reader thread are framed, checksummed and parked per
// sentence type; the main loop runs the handlers of parked sentences once per pass.
#pragma once
#include <cstdint>

// Reader thread: one received byte. Returns true when this byte completed a sentence that the
// receiver accepted; nmeaAcceptedSentence() then holds its text (after "$", up to "*") until the
// next byte is received, for the host's communications window.
bool nmeaReceiveByte(uint8_t byte);
const char* nmeaAcceptedSentence();
// Main loop: the handlers of the parked RMC, GGA, GSA and GSV sentences, in that order.
void runPendingGpsHandlers();

extern uint8_t gpsDataReceived;  // 1 once any sentence was accepted

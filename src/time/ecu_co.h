// Devices outside the instrument: the engine computer (ECU) with its two lanes and the CO
// detector. A data link fills their values; the instrument shows them on the engine computer page
// and CO MONITOR SETUP, and puts the detector's reset command in coCommand.
#pragma once
#include <cstddef>
#include <cstdint>

// Engine computer data (0 when the program starts; power-on keeps them).
extern uint16_t ecuLaneFlags;        // bit 0: lane A data received, bit 1: lane B
extern uint32_t ecuEngineStatus;
extern float ecuEngineHours;
extern float ecuHours;
extern uint32_t ecuSensorStatusA;
extern uint32_t ecuSensorStatusB;
extern uint32_t ecuDeviceStatusA;
extern uint32_t ecuDeviceStatusB;
extern int32_t ecuThrottlePosition;  // percent
extern int32_t ecuAmbientPressure;   // hPa
// 1 while an engine computer is connected through the remote unit; the AUX 1/3 input then carries
// its coolant temperature. Power-on clears it.
extern uint8_t ecuLinkPresent;

// The CO detector's identity texts, dashes until it reports (power-on).
extern char coModel[4];
extern char coSerialNumber[7];
extern char coSoftwareVersion[5];
// The command for the detector, stored last character first: byte 11 is sent first.
constexpr size_t CO_COMMAND_SIZE = 12;
extern uint8_t coCommand[CO_COMMAND_SIZE];

// The values as the program starts: engine computer data 0, no link, no command, dashes.
void clearEcuCoData();
// Power-on: identity texts back to dashes, the engine computer link absent.
void resetEcuCoAtPowerOn();
// Places "$PCOG452RS" CR LF in coCommand, last character first.
void placeCoResetCommand();
// The command in sending order (byte 11 first), control characters written as <CR>, <LF> or
// <XX>; an empty buffer gives "". Returns text.
const char* coCommandAsSent(char* text, size_t size);
// The 32 bits of a status word, most significant first, a space after every eighth.
void formatStatusBits(uint32_t bits, char (&text)[36]);

// The EMS SETUP tiles that open the two pages, for their "BACK" keys.

void ecuScreen();             // "ROTAX 912iS": the engine computer's status data
void coMonitorSetupScreen();  // "CO MONITOR SETUP"

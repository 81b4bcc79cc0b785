// Raw engine inputs: what the instrument's converters and timers would deliver. In the simulator
// only the host writes them (its input panel), the engine processing only reads them.
#pragma once
#include <cstdint>

extern uint16_t rawVolts;           // 0..4096 ADC counts
extern uint16_t rawCurrent;         // 0..4096
extern uint16_t rawOat;             // 0..4096, 10 mV per kelvin on a 5 V converter
extern int16_t rawMap;              // 0..4096
extern uint16_t rpmPeriod;          // 1..31000 timer counts between two RPM pulses
extern int32_t rotorRpm;            // second RPM channel, already in RPM
extern int32_t rotorPercent;        // rotorRpm x 100 / rpm2FullScale, from the host
extern uint16_t coPpm;              // CO detector reading
extern int16_t tcInput[12];         // thermocouple hot-junction temperatures, degrees C
extern uint16_t rawCjc;             // cold-junction sensor, 0..4096
extern uint16_t rawFuelFlow[2];     // pulses per measuring window
extern uint16_t rawFuelLevel[2];    // tank senders, 0..4096
extern uint16_t rawFuelPressure;    // 0..4096
extern uint16_t rawAnalog[4];       // analog inputs 1..4, 0..4096

// Fuel: flow inputs and rates, tank senders and calculated tanks, fuel used, range, endurance
// and the layout code that condenses the arrangement of flows and tanks.
#pragma once
#include <cstdint>

// Injector duty of the two injector channels, per mille (0..1000). The host does not supply
// them, so they read 0 unless something sets them.
extern uint16_t injectorDuty[2];

// The fuel-flow timing inputs, 0.1 ms. Element 0 is the measuring window of the flow pulses
// (flowWindow below); the other three belong to timing hardware the simulator does not model
// and only carry their power-on value.
extern uint32_t fuelTimingInputs[4];
extern uint32_t& flowWindow;  // measuring window, 10000 = one second

// Values; index 0 is flow/tank 1, index 1 flow/tank 2.
extern uint16_t flowInput[2];            // pulses (or injector duty) used for the flow
extern uint16_t fuelFlow[2];             // 0.1 L/h, or 0.1 gal/h in gallon units
extern uint16_t fuelLevelInput[2];       // copy of the tank sender reading
extern uint32_t fuelLevelFilterAcc[2];   // sender smoothing accumulators
extern uint8_t fuelLevelOpen[2];         // 1 while the sender reads above 4000 (open sender)
extern uint16_t fuelLevel[2];            // tank contents in tank units
extern int32_t fuelRemainingPulses[2];   // contents of a calculated tank, K-scaled pulses
extern uint32_t fuelUsedPulses[2];       // fuel used since power-on, K-scaled pulses (x10 in gallons)
extern int32_t fuelUsed[2];              // L, or 0.1 gal
extern uint8_t fuelLayout;               // arrangement code 0..14
extern uint16_t fuelRange;               // distance unit of fuelUnit; 65535 = no flow
extern uint16_t fuelEndurance;           // minutes; 65535 = no flow

// Fuel used is accounted in 4-second intervals of real time: the slow step counts the seconds
// and marks an interval due every fourth; the next pass books it.
constexpr uint8_t FUEL_INTERVAL_SECONDS = 4;
extern uint8_t fuelSecondCount;  // seconds into the current interval, 0..3
extern uint8_t fuelIntervalDue;  // 1 from the end of an interval until a pass has booked it

// 65535 in fuelRange and fuelEndurance means no flow; computed values stop one below it.
constexpr uint16_t FUEL_NO_FLOW = 65535;

// True for the gallon units (fuelUnit 1, 3, 5).
bool fuelUnitIsGallons();
// True when tank contents and sizes count tenths (of a gallon, or of a litre at 0.1 L
// resolution); false for whole litres.
bool tankUnitsAreTenths();

// Pulses per litre (or gallon) as the processing counts them: K x 10 for injectors, converted to
// gallons for the gallon units. 0 when the K-factor is 0.
uint32_t scaledK(uint32_t kFactor);

// Derives fuelLayout from the fuel settings (and, with one flow feeding two tanks of which one
// is calculated, copies the active flow's K-factor to the other flow).
void updateFuelLayout();

// A flow channel's rate for this many pulses per measuring window, 0.1 L/h or 0.1 gal/h.
uint16_t fuelFlowForPulses(int channel, uint16_t pulses);
// A sender tank's level, tank units, once the sender reading has held still for a while (through
// the tank's filter from where it stands); false for a tank without a sender (calculated or off).
bool tankLevelForReading(int tank, uint16_t reading, uint16_t& level);

// Range and endurance on the fuel that counts towards range, from the present flows and levels.
void updateRangeAndEndurance();

// Power-on: fuel remaining and fuel used back to 0, and the 4-second interval restarted.
void clearFuelAccumulators();
// Power-on: the four fuel-flow timing inputs to 10000 (a one-second measuring window).
void resetFuelTimingInputs();

// Once per slow step (one second): counts towards the next 4-second fuel interval.
void fuelSlowStep();

// The two steps of a pass (also declared with the other steps in engine.h).
void processTankSender(int tank);  // step 6, tank 0 then tank 1
void processFuelFlow();            // step 8

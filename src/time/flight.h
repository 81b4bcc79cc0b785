// The flight in hand: whether a flight is in progress and the current flight record, whose
// flight time the engine page's clock panel shows.
#pragma once
#include <cstdint>

struct FlightTime {
    uint8_t hours;
    uint8_t minutes;
};

#pragma pack(push, 1)
struct FlightRecord {
    uint32_t startTime;             // localSeconds when the flight was started
    FlightTime flightTime;          // shown as "%d:%02d" on the engine page
    uint16_t hobbsHoursAtStart;
    uint8_t hobbsHundredthsAtStart;
    uint16_t maintHoursAtStart;
    uint8_t maintMinutesAtStart;
    uint8_t flightPilotNumber;
};
#pragma pack(pop)
static_assert(sizeof(FlightRecord) == 13);

extern FlightRecord currentFlight;
extern uint8_t flightInProgress;  // 1 from "START FLIGHT" to "STOP FLIGHT"; the flight-time colon blinks

// "START FLIGHT": a snapshot of the clock, the meters and the pilot number, flight time 0:00.
void startFlight();
// "STOP FLIGHT": the flight time stays on show until the next start.
void stopFlight();

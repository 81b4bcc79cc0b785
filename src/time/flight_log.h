// The flight log: the finished flights kept in the instrument's memory, the screens that show,
// erase and export them, and the flight time and automatic flight detection run by the slow step.
#pragma once
#include <cstddef>
#include <cstdint>

#include "time/flight.h"

constexpr uint16_t FLIGHT_LOG_CAPACITY = 200;
// Slow steps the start condition must hold before an automatic flight starts, and the stop
// condition before it stops.
constexpr uint8_t FLIGHT_DETECT_START_STEPS = 10;
constexpr uint8_t FLIGHT_DETECT_STOP_STEPS = 60;

extern FlightRecord flightLog[FLIGHT_LOG_CAPACITY];  // oldest first
extern uint16_t flightLogCount;
extern uint16_t flightLogViewPos;    // first row of the VIEW screen, 0..199, newest flight at 0
extern uint32_t flightSeconds;       // seconds of the flight in hand; flightTime shows them
extern uint8_t flightDetectStartCount;  // slow steps the start condition has held
extern uint8_t flightDetectStopCount;   // slow steps the stop condition has held

// Appends a finished flight; a full log drops its oldest flight.
void appendFlightLog(const FlightRecord& flight);
// "ERASE FLIGHT LOG": no stored flights, flight time 0:00.
void eraseFlightLog();
// Stored flight `index`, 0 = newest; nullptr beyond the log.
const FlightRecord* newestFlight(unsigned index);

// Power-on: the flight in hand keeps its time; a finished flight's time on show is cleared, and
// automatic detection starts counting afresh.
void resetFlightAtPowerOn();
// One slow step: the flight time of the flight in hand and, while flight detection is
// AUTOMATIC, the start and stop rule.
void flightSlowStep();

// Writes FLIGHTS.CSV on the card through a temporary file; false (and the old file kept) when
// the card could not take it.
bool exportFlightLog();

// Texts of a flight as the VIEW screen and the export show them.
void formatFlightStart(char* text, size_t size, uint32_t startTime);  // "DD/MM HH:MM"
void formatHoursMinutes(char* text, size_t size, unsigned hours, unsigned minutes);  // "H:MM"
void formatHobbs(char* text, size_t size, unsigned hours, unsigned hundredths);      // hours with one decimal

// The screens.
void flightLogMenuScreen();
void flightLogViewScreen();
void eraseFlightLogScreen();

// The FLIGHT LOG tile of the MAIN MENU, for the menu's "BACK".

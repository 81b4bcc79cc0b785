// The engine-hours meters and the pilot's TIMER: Hobbs meter, maintenance timer, stopwatch, and
// the EGT/CHT scan counters, all advanced by the host tick's slow step (once a second).
#pragma once
#include <cstdint>

// Hobbs meter: engine hours with two decimals; gains 0.01 h per 36 running seconds.
extern uint16_t hobbsHours;       // 0..10000, stays at 10000
extern uint8_t hobbsHundredths;   // 0..99
extern uint8_t hobbsStepCount;    // running seconds toward the next hundredth, 0..35

// Maintenance timer: time left until service; loses a minute per 60 running seconds.
extern uint16_t maintHours;       // 0..999
extern uint8_t maintMinutes;      // 0..59
extern uint8_t maintStepCount;    // running seconds toward the next minute, 0..59

// The pilot's TIMER (the quick menu's TIMER pop-up edits and drives it).
extern uint32_t stopwatchSeconds;  // shown as TIMER on the engine page
extern uint32_t stopwatchPreset;   // what RESET loads, edited digit by digit in the pop-up
extern uint8_t stopwatchUp;        // 1 counts up, 0 counts down to 0
extern uint8_t stopwatchRunning;
extern uint8_t stopwatchEnabled;   // counting needs this and stopwatchRunning; cleared at power-on

// Seconds since the scanning EGT/CHT graph last moved to its next channel.
extern uint8_t egtScanCount;
extern uint8_t chtScanCount;

// The scan periods that egtScanTime and chtScanTime select, in seconds.
constexpr uint8_t SCAN_TIME_COUNT = 7;
extern const uint8_t scanTimeSeconds[SCAN_TIME_COUNT];

bool maintenanceExpired();

// The TIMER's start, stop and reset. Starting also enables counting.
void startStopwatch();
void stopStopwatch();
void resetStopwatch();  // back to the preset

// Slow-step parts, in the order the slow step runs them.
void scanStep();             // EGT and CHT channel scanning (the caller checks the engine page)
void stopwatchStep();
void engineHoursStep();      // Hobbs and maintenance, when the engine runs
bool engineRunningForHobbs();

// Power-on: the TIMER's counting disabled; the Hobbs meter and the maintenance timer (kept in the
// non-volatile memory), the step counters and the other TIMER values stay.
void resetTimersAtPowerOn();

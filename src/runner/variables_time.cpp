// Named variables of the instrument's time: Hobbs meter, maintenance timer, the pilot's TIMER,
// the scan counters, the flight in hand, the airspeed link and the counters the slow step runs.
#include <cstddef>

#include "engine/airspeed.h"
#include "runner/variable_table.h"
#include "time/clock.h"
#include "time/data_recording.h"
#include "time/flight.h"
#include "time/flight_log.h"
#include "time/memory.h"
#include "time/timers.h"
#include "time/timers_setup.h"

namespace {

// The flight record is packed: its fields are reached by offset, not by reference.
DeviceVariable flightField(const char* name, size_t offset, VariableType type)
{
    return {name, reinterpret_cast<uint8_t*>(&currentFlight) + offset, type, 1, true};
}

// One field of every stored flight, as an array over the log.
DeviceVariable logField(const char* name, size_t offset, VariableType type)
{
    return {name, reinterpret_cast<uint8_t*>(&flightLog[0]) + offset, type, FLIGHT_LOG_CAPACITY, true,
            static_cast<int>(sizeof(FlightRecord))};
}

}  // namespace

void addTimeVariables(std::vector<DeviceVariable>& v)
{
    v.insert(v.end(), {
        scalar("hostUtcSeconds", hostUtcSeconds),
        scalar("clockOffsetSeconds", clockOffsetSeconds),
        scalar("newHobbsCode", newHobbsCode),
        scalar("dateEntry.year", dateEntry.year),
        scalar("dateEntry.month", dateEntry.month),
        scalar("dateEntry.day", dateEntry.day),
        scalar("dateEntry.hour", dateEntry.hour),
        scalar("dateEntry.minute", dateEntry.minute),
        scalar("dateEntry.second", dateEntry.second),
        scalar("hobbsHours", hobbsHours),
        scalar("hobbsHundredths", hobbsHundredths),
        scalar("hobbsStepCount", hobbsStepCount),
        scalar("maintHours", maintHours),
        scalar("maintMinutes", maintMinutes),
        scalar("maintStepCount", maintStepCount),
        scalar("stopwatchSeconds", stopwatchSeconds),
        scalar("stopwatchPreset", stopwatchPreset),
        scalar("stopwatchUp", stopwatchUp),
        scalar("stopwatchRunning", stopwatchRunning),
        scalar("stopwatchEnabled", stopwatchEnabled),
        scalar("egtScanCount", egtScanCount),
        scalar("chtScanCount", chtScanCount),
        scalar("flightInProgress", flightInProgress),
        flightField("currentFlight.startTime", offsetof(FlightRecord, startTime), VariableType::U32),
        flightField("currentFlight.flightTime.hours", offsetof(FlightRecord, flightTime) + offsetof(FlightTime, hours),
                    VariableType::U8),
        flightField("currentFlight.flightTime.minutes",
                    offsetof(FlightRecord, flightTime) + offsetof(FlightTime, minutes), VariableType::U8),
        flightField("currentFlight.hobbsHoursAtStart", offsetof(FlightRecord, hobbsHoursAtStart), VariableType::U16),
        flightField("currentFlight.hobbsHundredthsAtStart", offsetof(FlightRecord, hobbsHundredthsAtStart),
                    VariableType::U8),
        flightField("currentFlight.maintHoursAtStart", offsetof(FlightRecord, maintHoursAtStart), VariableType::U16),
        flightField("currentFlight.maintMinutesAtStart", offsetof(FlightRecord, maintMinutesAtStart),
                    VariableType::U8),
        flightField("currentFlight.flightPilotNumber", offsetof(FlightRecord, flightPilotNumber), VariableType::U8),
        scalar("flightSeconds", flightSeconds),
        scalar("flightLogCount", flightLogCount),
        scalar("flightLogViewPos", flightLogViewPos),
        scalar("flightDetectStartCount", flightDetectStartCount),
        scalar("flightDetectStopCount", flightDetectStopCount),
        logField("flightLog.startTime", offsetof(FlightRecord, startTime), VariableType::U32),
        logField("flightLog.flightTime.hours", offsetof(FlightRecord, flightTime) + offsetof(FlightTime, hours),
                 VariableType::U8),
        logField("flightLog.flightTime.minutes",
                 offsetof(FlightRecord, flightTime) + offsetof(FlightTime, minutes), VariableType::U8),
        logField("flightLog.hobbsHoursAtStart", offsetof(FlightRecord, hobbsHoursAtStart), VariableType::U16),
        logField("flightLog.hobbsHundredthsAtStart", offsetof(FlightRecord, hobbsHundredthsAtStart),
                 VariableType::U8),
        logField("flightLog.maintHoursAtStart", offsetof(FlightRecord, maintHoursAtStart), VariableType::U16),
        logField("flightLog.maintMinutesAtStart", offsetof(FlightRecord, maintMinutesAtStart), VariableType::U8),
        logField("flightLog.flightPilotNumber", offsetof(FlightRecord, flightPilotNumber), VariableType::U8),
        scalar("memoryChangeCount", memoryChangeCount),
        scalar("freeSpaceCount", freeSpaceCount),
        scalar("recordingPaused", recordingPaused),
        scalar("recordedLines", recordedLines),
        scalar("airspeed", airspeed),
        scalar("airspeedValid", airspeedValid),
    });
}

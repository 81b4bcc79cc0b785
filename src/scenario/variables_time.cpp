// Named variables of the instrument's time: Hobbs meter, maintenance timer, the pilot's TIMER,
// the scan counters, the flight in hand, the airspeed link and the counters the slow step runs.
#include <cstddef>
#include <deque>
#include <string>

#include "engine/airspeed.h"
#include "scenario/variable_table.h"
#include "time/clock.h"
#include "time/data_recording.h"
#include "time/flight.h"
#include "time/flight_log.h"
#include "time/memory.h"
#include "time/timers.h"
#include "time/timers_setup.h"

namespace {

// The flight record is packed: its fields are reached by offset, not by reference.
struct FlightField {
    const char* name;
    size_t offset;
    VariableType type;
};
constexpr size_t kFlightTime = offsetof(FlightRecord, flightTime);
constexpr FlightField kFlightFields[] = {
    {"startTime", offsetof(FlightRecord, startTime), VariableType::U32},
    {"flightTime.hours", kFlightTime + offsetof(FlightTime, hours), VariableType::U8},
    {"flightTime.minutes", kFlightTime + offsetof(FlightTime, minutes), VariableType::U8},
    {"hobbsHoursAtStart", offsetof(FlightRecord, hobbsHoursAtStart), VariableType::U16},
    {"hobbsHundredthsAtStart", offsetof(FlightRecord, hobbsHundredthsAtStart), VariableType::U8},
    {"maintHoursAtStart", offsetof(FlightRecord, maintHoursAtStart), VariableType::U16},
    {"maintMinutesAtStart", offsetof(FlightRecord, maintMinutesAtStart), VariableType::U8},
    {"flightPilotNumber", offsetof(FlightRecord, flightPilotNumber), VariableType::U8},
};

// Every field of the records from first on: one record, or as arrays over the log.
void addFlightFields(std::vector<DeviceVariable>& v, const char* prefix, FlightRecord* first, int count)
{
    static std::deque<std::string> names;  // the table is built once and kept for the program
    for (const FlightField& field : kFlightFields) {
        names.push_back(std::string(prefix) + field.name);
        v.push_back({names.back().c_str(), reinterpret_cast<uint8_t*>(first) + field.offset, field.type, count, true,
                     static_cast<int>(sizeof(FlightRecord))});
    }
}

}  // namespace

void addTimeVariables(std::vector<DeviceVariable>& v)
{
    v.insert(v.end(), {
        VAR(hostUtcSeconds), VAR(clockOffsetSeconds), VAR(newHobbsCode), VAR(dateEntry.year),
        VAR(dateEntry.month), VAR(dateEntry.day), VAR(dateEntry.hour), VAR(dateEntry.minute),
        VAR(dateEntry.second), VAR(hobbsHours), VAR(hobbsHundredths), VAR(hobbsStepCount), VAR(maintHours),
        VAR(maintMinutes), VAR(maintStepCount), VAR(stopwatchSeconds), VAR(stopwatchPreset), VAR(stopwatchUp),
        VAR(stopwatchRunning), VAR(stopwatchEnabled), VAR(egtScanCount), VAR(chtScanCount),
        VAR(flightInProgress),
    });
    addFlightFields(v, "currentFlight.", &currentFlight, 1);
    v.insert(v.end(), {
        VAR(flightSeconds), VAR(flightLogCount), VAR(flightLogViewPos), VAR(flightDetectStartCount),
        VAR(flightDetectStopCount),
    });
    addFlightFields(v, "flightLog.", &flightLog[0], FLIGHT_LOG_CAPACITY);
    v.insert(v.end(), {
        VAR(memoryChangeCount), VAR(freeSpaceCount), VAR(recordingPaused), VAR(recordedLines), VAR(airspeed),
        VAR(airspeedValid),
    });
}

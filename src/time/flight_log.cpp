// The flight log store, the flight time, automatic flight detection and the CSV export.
#include "time/flight_log.h"

#include <cstdio>
#include <cstring>

#include "device.h"
#include "engine/engine.h"
#include "gps/gps.h"
#include "storage/storage.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/memory.h"

FlightRecord flightLog[FLIGHT_LOG_CAPACITY] = {};
uint16_t flightLogCount = 0;
uint16_t flightLogViewPos = 0;
uint32_t flightSeconds = 0;
uint8_t flightDetectStartCount = 0;
uint8_t flightDetectStopCount = 0;

void appendFlightLog(const FlightRecord& flight)
{
    if (flightLogCount > FLIGHT_LOG_CAPACITY) flightLogCount = FLIGHT_LOG_CAPACITY;
    if (flightLogCount == FLIGHT_LOG_CAPACITY) {
        std::memmove(&flightLog[0], &flightLog[1], sizeof(FlightRecord) * (FLIGHT_LOG_CAPACITY - 1));
        --flightLogCount;
    }
    flightLog[flightLogCount++] = flight;
    noteMemoryChange();
}

void eraseFlightLog()
{
    flightLogCount = 0;
    flightSeconds = 0;
    currentFlight.flightTime = {0, 0};
    noteMemoryChange();
}

const FlightRecord* newestFlight(unsigned index)
{
    const unsigned count = flightLogCount < FLIGHT_LOG_CAPACITY ? flightLogCount : FLIGHT_LOG_CAPACITY;
    return index < count ? &flightLog[count - 1 - index] : nullptr;
}

namespace {

// Both conditions of the rule: the engine turning fast enough, and moving over the ground.
bool engineForFlight() { return static_cast<int64_t>(rpm) >= static_cast<int64_t>(settings.flightDetectMinRpm); }
bool movingForFlight() { return gpsFixValid == 1 && gpsGroundSpeed >= settings.flightDetectMinGroundSpeed; }

void detectFlight()
{
    if (settings.flightDetectAuto != 1) {
        flightDetectStartCount = flightDetectStopCount = 0;
        return;
    }
    if (!flightInProgress) {
        flightDetectStopCount = 0;
        flightDetectStartCount = engineForFlight() && movingForFlight() ? flightDetectStartCount + 1 : 0;
        if (flightDetectStartCount >= FLIGHT_DETECT_START_STEPS) {
            flightDetectStartCount = 0;
            startFlight();
        }
    } else {
        flightDetectStartCount = 0;
        flightDetectStopCount = movingForFlight() ? 0 : flightDetectStopCount + 1;
        if (flightDetectStopCount >= FLIGHT_DETECT_STOP_STEPS) stopFlight();
    }
}

}  // namespace

void resetFlightAtPowerOn()
{
    if (!flightInProgress) {
        currentFlight.flightTime = {0, 0};
        flightSeconds = 0;
    }
    flightDetectStartCount = flightDetectStopCount = 0;
}

void flightSlowStep()
{
    // An instrument that is off counts nothing and detects nothing.
    if (devicePhase != DevicePhase::Running) return;
    if (flightInProgress) {
        if (flightSeconds < UINT32_MAX) ++flightSeconds;
        const uint32_t hours = flightSeconds / 3600;
        currentFlight.flightTime = {static_cast<uint8_t>(hours > 255 ? 255 : hours),
                                    static_cast<uint8_t>(flightSeconds / 60 % 60)};
    }
    detectFlight();
}

void formatFlightStart(char* text, size_t size, uint32_t startTime)
{
    const DateTime t = secondsToDateTime(startTime);
    std::snprintf(text, size, "%02u/%02u %02u:%02u", unsigned{t.day}, unsigned{t.month}, unsigned{t.hour},
                  unsigned{t.minute});
}

void formatHoursMinutes(char* text, size_t size, unsigned hours, unsigned minutes)
{
    std::snprintf(text, size, "%u:%02u", hours, minutes);
}

void formatHobbs(char* text, size_t size, unsigned hours, unsigned hundredths)
{
    // One decimal, rounded half up in whole numbers (no binary fraction decides a digit).
    const unsigned tenths = (hours * 100u + hundredths + 5u) / 10u;
    std::snprintf(text, size, "%u.%u", tenths / 10u, tenths % 10u);
}

namespace {

// One CSV line of a stored flight: local start time (ISO 8601), flight time and maintenance
// timer in minutes, Hobbs meter in hours.
int flightCsvLine(char* line, size_t size, const FlightRecord& f)
{
    const DateTime t = secondsToDateTime(f.startTime);
    char hobbs[16];
    formatHobbs(hobbs, sizeof hobbs, f.hobbsHoursAtStart, f.hobbsHundredthsAtStart);
    return std::snprintf(line, size, "%04u-%02u-%02uT%02u:%02u:%02u,%u,%u,%s,%u\r\n", unsigned{t.year},
                         unsigned{t.month}, unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute},
                         unsigned{t.second}, f.flightTime.hours * 60u + f.flightTime.minutes,
                         unsigned{f.flightPilotNumber}, hobbs,
                         f.maintHoursAtStart * 60u + f.maintMinutesAtStart);
}

}  // namespace

bool exportFlightLog()
{
    char path[1100], temporary[1100];
    if (!sdCardPath("FLIGHTS.CSV", path, sizeof path) || !sdCardPath("FLIGHTS.CSV.TMP", temporary, sizeof temporary))
        return false;
    return replaceFile(
        path, temporary,
        [](std::FILE* file, const void*) {
            bool ok = std::fputs("START (LOCAL TIME),FLIGHT TIME (MIN),PILOT,HOBBS AT START (H),"
                                 "MAINTENANCE AT START (MIN)\r\n", file) >= 0;
            char line[128];
            for (unsigned i = flightLogCount < FLIGHT_LOG_CAPACITY ? flightLogCount : FLIGHT_LOG_CAPACITY; ok && i-- > 0;) {
                // Oldest first, as a spreadsheet reads down the page.
                const int n = flightCsvLine(line, sizeof line, *newestFlight(i));
                ok = n > 0 && std::fwrite(line, 1, static_cast<size_t>(n), file) == static_cast<size_t>(n);
            }
            return ok;
        },
        nullptr);
}

// The flight in hand: the current flight record and the in-progress flag, started and stopped
// from the quick menu or by automatic flight detection.
#include "time/flight.h"

#include "settings/settings.h"
#include "time/clock.h"
#include "time/flight_log.h"
#include "time/memory.h"
#include "time/timers.h"

FlightRecord currentFlight = {};
uint8_t flightInProgress = 0;

void startFlight()
{
    flightInProgress = 1;
    flightSeconds = 0;
    currentFlight.startTime = localSeconds;
    currentFlight.flightTime = {0, 0};
    currentFlight.hobbsHoursAtStart = hobbsHours;
    currentFlight.hobbsHundredthsAtStart = hobbsHundredths;
    currentFlight.maintHoursAtStart = maintHours;
    currentFlight.maintMinutesAtStart = maintMinutes;
    currentFlight.flightPilotNumber = settings.pilotNumber;
    noteMemoryChange();
}

// The finished flight goes into the log with its flight time.
void stopFlight()
{
    if (flightInProgress) appendFlightLog(currentFlight);
    flightInProgress = 0;
    flightDetectStopCount = 0;
    noteMemoryChange();
}

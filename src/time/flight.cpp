// The flight in hand: the current flight record and the in-progress flag, started and stopped
// from the quick menu.
#include "time/flight.h"

#include "settings/settings.h"
#include "time/clock.h"
#include "time/timers.h"

FlightRecord currentFlight = {};
uint8_t flightInProgress = 0;

void startFlight()
{
    flightInProgress = 1;
    currentFlight.startTime = localSeconds;
    currentFlight.flightTime = {0, 0};
    currentFlight.hobbsHoursAtStart = hobbsHours;
    currentFlight.hobbsHundredthsAtStart = hobbsHundredths;
    currentFlight.maintHoursAtStart = maintHours;
    currentFlight.maintMinutesAtStart = maintMinutes;
    currentFlight.flightPilotNumber = settings.pilotNumber;
}

void stopFlight() { flightInProgress = 0; }

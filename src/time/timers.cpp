// Hobbs meter, maintenance timer, the pilot's TIMER and the EGT/CHT scan stepping: the parts of
// the once-a-second slow step that count engine time, the stopwatch and the scanned channel.
#include "time/timers.h"

#include "device.h"
#include "engine/engine.h"
#include "settings/settings.h"
#include "ui/home.h"

uint16_t hobbsHours = 0;
uint8_t hobbsHundredths = 0;
uint8_t hobbsStepCount = 0;

uint16_t maintHours = 0;
uint8_t maintMinutes = 0;
uint8_t maintStepCount = 0;

uint32_t stopwatchSeconds = 0;
uint32_t stopwatchPreset = 0;
uint8_t stopwatchUp = 0;
uint8_t stopwatchRunning = 0;
uint8_t stopwatchEnabled = 0;

uint8_t egtScanCount = 0;
uint8_t chtScanCount = 0;

const uint8_t scanTimeSeconds[SCAN_TIME_COUNT] = {1, 3, 5, 10, 15, 30, 60};

namespace {

constexpr uint16_t HOBBS_HOURS_LIMIT = 10000;

// A scan-time index beyond the list takes its longest period.
uint8_t scanPeriod(uint8_t index) { return scanTimeSeconds[index < SCAN_TIME_COUNT ? index : SCAN_TIME_COUNT - 1]; }

// Counts one second; true (and the counter back to 0) once the period has been reached. A period
// shortened below the count ends at once rather than after the counter wraps.
bool scanDue(uint8_t& count, uint8_t index)
{
    if (count < 255) ++count;
    if (count < scanPeriod(index)) return false;
    count = 0;
    return true;
}

}  // namespace

bool maintenanceExpired() { return maintHours == 0 && maintMinutes == 0; }

void startStopwatch()
{
    stopwatchRunning = 1;
    stopwatchEnabled = 1;
}

void stopStopwatch() { stopwatchRunning = 0; }

void resetStopwatch() { stopwatchSeconds = stopwatchPreset; }

void scanStep()
{
    const int egts = settings.egtChannels;
    const int chts = settings.chtChannels;
    if (settings.egtScanMode == 1 && scanDue(egtScanCount, settings.egtScanTime)) {
        egtSelected = egtSelected >= egts - 1 ? 0 : static_cast<uint8_t>(egtSelected + 1);
    }
    if (settings.chtScanMode == 1 && scanDue(chtScanCount, settings.chtScanTime)) {
        // CHT channels follow the EGT channels in the channel list.
        if (chtSelected < egts) chtSelected = static_cast<uint8_t>(egts);
        chtSelected = chtSelected < egts + chts - 1 ? static_cast<uint8_t>(chtSelected + 1) : static_cast<uint8_t>(egts);
    }
}

void stopwatchStep()
{
    if (stopwatchEnabled != 1 || stopwatchRunning != 1) return;
    if (stopwatchUp == 1) {
        ++stopwatchSeconds;
    } else if (stopwatchSeconds > 0) {
        --stopwatchSeconds;
    }
}

bool engineRunningForHobbs()
{
    // Unsigned comparison: the threshold is an unsigned setting.
    return remoteUnitOn == 1 && static_cast<uint32_t>(rpm) >= settings.hobbsMinRpm;
}

void engineHoursStep()
{
    if (!engineRunningForHobbs()) return;
    if (++hobbsStepCount > 35) {
        hobbsStepCount = 0;
        if (++hobbsHundredths > 99) {
            hobbsHundredths = 0;
            if (hobbsHours < HOBBS_HOURS_LIMIT) ++hobbsHours;
        }
    }
    if (++maintStepCount > 59) {
        maintStepCount = 0;
        if (!maintenanceExpired()) {
            if (maintMinutes > 0) {
                --maintMinutes;
            } else {
                --maintHours;
                maintMinutes = 59;
            }
        }
    }
}

void resetTimersAtPowerOn()
{
    // The Hobbs meter and the maintenance timer live in the non-volatile memory: power-on keeps
    // them as they were.
    stopwatchEnabled = 0;
}

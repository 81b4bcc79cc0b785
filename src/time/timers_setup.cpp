// TIMERS SETUP: the Hobbs minimum RPM, UTC offset and clock source edited in place, and the rows
// that open the Hobbs time (behind the Hobbs code), the code change, the maintenance timer and
// the UTC date and time.
#include <iterator>
#include <cstdio>
#include <cstdlib>

#include "settings/settings.h"
#include "settings/settings_field.h"
#include "time/clock.h"
#include "time/timers.h"
#include "time/timers_setup.h"
#include "ui/digit_editor.h"
#include "ui/list_screen.h"
#include "ui/screen.h"
#include "ui/tile_menu.h"

uint16_t newHobbsCode = 0;
DateEntry dateEntry = {};

namespace {

constexpr int32_t kOffsetStep = 30;
constexpr int32_t kOffsetLimit = 780;

// Ten RPM per knob step, a hundred with the second multiplier.
const StepRule kMinRpmSteps = {{1, 10}, {"X10", "X100"}, 10};

const char* const kRtcSources[] = {"INTERNAL RTC", "GPS"};

// Half-hour steps up to +13:00 and down to -13:00; a value off the half-hour grid (from a
// recalled file) moves only while a whole step still fits.
int32_t nextOffset(int32_t value, int direction, int32_t)
{
    if (direction > 0) return value <= kOffsetLimit - kOffsetStep ? value + kOffsetStep : value;
    return value >= -(kOffsetLimit - kOffsetStep) ? value - kOffsetStep : value;
}

void formatOffset(char* text, size_t size, int32_t minutes)
{
    const int magnitude = std::abs(static_cast<int>(minutes));
    std::snprintf(text, size, "%c%02d:%02d", minutes >= 0 ? '+' : '-', magnitude / 60, magnitude % 60);
}

// The Hobbs time itself only without a code; the screens load their digits on the way in.
void openHobbsTime() { openScreen(settings.hobbsCode != 0 ? enterHobbsCodeScreen : hobbsTimeScreen); }
void openChangeCode() { openScreen(enterCurrentCodeScreen); }
void openMaintenanceTimer() { openScreen(maintenanceTimerScreen); }
void openUtcDateTime() { openScreen(utcDateTimeScreen); }

bool internalClock() { return settings.rtcSourceGps == 0; }

constexpr ListLine action(const char* label, void (*run)(), bool (*offered)() = nullptr)
{
    return {.label = label, .kind = LineKind::Action, .offered = offered, .action = run};
}

const ListLine kLines[] = {
    {.label = "HOBBS MINIMUM RPM: ", .field = SETTING(hobbsMinRpm), .steps = &kMinRpmSteps},
    action("SET HOBBS TIME", openHobbsTime),
    action("CHANGE HOBBS CODE", openChangeCode),
    action("SET MAINTENANCE TIMER", openMaintenanceTimer),
    {.label = "UTC OFFSET: ", .field = SETTING(utcOffsetMinutes), .format = formatOffset, .next = nextOffset},
    choice("RTC SOURCE: ", SETTING(rtcSourceGps), kRtcSources),
    action("SET UTC DATE & TIME", openUtcDateTime, internalClock),
};

const ListScreen kScreen = {.menuName = "", .screenName = "TIMERS SETUP", .lines = kLines};

}  // namespace

void timersSetupScreen() { runListScreen(kScreen); }

void openTimersSetup(uint8_t row) { returnToScreen(timersSetupScreen, row); }

void loadHobbsDigits()
{
    // The editor holds four hour digits: a meter held at 10000 hours shows 9999.9.
    const bool full = hobbsHours > 9999;
    char text[8];
    std::snprintf(text, sizeof text, "%04u%01u", static_cast<unsigned>(full ? 9999 : hobbsHours),
                  static_cast<unsigned>(full ? 9 : hobbsHundredths % 100 / 10));
    loadEditDigits(text, 5);
}

void loadMaintenanceDigits()
{
    char text[8];
    std::snprintf(text, sizeof text, "%03u", static_cast<unsigned>(maintHours > 999 ? 999 : maintHours));
    loadEditDigits(text, 3);
}

void loadDateEntry()
{
    dateEntry = {rtcDateTime.year, rtcDateTime.month, rtcDateTime.day,
                 rtcDateTime.hour, rtcDateTime.minute, rtcDateTime.second};
}

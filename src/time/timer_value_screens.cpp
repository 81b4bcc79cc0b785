// HOBBS TIME and MAINTENANCE TIMER: a timer set digit by digit with the knob. The Hobbs meter takes
// hours and tenths and its count toward the next hundredth starts again; the maintenance timer
// takes the hours left until service and its minutes and count start again.
#include "display/framebuffer.h"
#include "display/text.h"
#include "time/digit_entry.h"
#include "time/timers.h"
#include "time/timers_setup.h"
#include "ui/digit_editor.h"
#include "ui/screen.h"

namespace {

constexpr DigitEntry valueEntry(const char* screenName, const char* prompt2, uint8_t count, const int16_t (&x)[5],
                                void (*drawExtra)(), void (*complete)(), uint8_t backRow)
{
    return {.menuName = "TIMERS SETUP", .screenName = screenName, .prompt1 = "USE THE ROTARY CONTROL",
            .prompt2 = prompt2, .count = count, .x = {x[0], x[1], x[2], x[3], x[4]}, .align = AlignLeft,
            .drawExtra = drawExtra, .complete = complete, .backRow = backRow};
}

void hobbsTimeEntered()
{
    hobbsHours = static_cast<uint16_t>(editDigitsValue(4));
    hobbsHundredths = static_cast<uint8_t>(editDigits[4] % 10 * 10);
    hobbsStepCount = 0;
    openTimersSetup(TIMERS_ROW_HOBBS_TIME);
}

void maintenanceEntered()
{
    maintHours = static_cast<uint16_t>(editDigitsValue(3));
    maintMinutes = 0;
    maintStepCount = 0;
    openTimersSetup(TIMERS_ROW_MAINTENANCE);
}

const DigitEntry kHobbsTime =
    valueEntry("HOBBS TIME", "TO ADJUST THE HOBBS TIME", 5, {185, 205, 225, 245, 276},
               [] { drawText(265, 160, ".", 20, AlignLeft, COLOUR_WHITE); }, hobbsTimeEntered, TIMERS_ROW_HOBBS_TIME);
const DigitEntry kMaintenance =
    valueEntry("MAINTENANCE TIMER", "TO ADJUST THE MAINTENANCE TIMER", 3, {170, 190, 210, 0, 0},
               [] { drawText(250, 174, "HOURS", 10, AlignLeft, COLOUR_WHITE); }, maintenanceEntered,
               TIMERS_ROW_MAINTENANCE);

}  // namespace

void hobbsTimeScreen() { runDigitEntry(kHobbsTime); }
void maintenanceTimerScreen() { runDigitEntry(kMaintenance); }

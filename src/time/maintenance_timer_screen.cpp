// MAINTENANCE TIMER: the hours left until service, set digit by digit; the minutes and the count
// toward the next minute start again.
#include "display/framebuffer.h"
#include "display/text.h"
#include "time/digit_entry.h"
#include "time/timers.h"
#include "time/timers_setup.h"
#include "ui/digit_editor.h"
#include "ui/screen.h"

namespace {

void drawUnit() { drawText(250, 174, "HOURS", 10, AlignLeft, COLOUR_WHITE); }

void complete()
{
    maintHours = static_cast<uint16_t>(editDigitsValue(3));
    maintMinutes = 0;
    maintStepCount = 0;
    openTimersSetup(TIMERS_ROW_MAINTENANCE);
}

const DigitEntry kEntry = {
    .menuName = "TIMERS SETUP",
    .screenName = "MAINTENANCE TIMER",
    .prompt1 = "USE THE ROTARY CONTROL",
    .prompt2 = "TO ADJUST THE MAINTENANCE TIMER",
    .count = 3,
    .x = {170, 190, 210, 0, 0},
    .align = AlignLeft,
    .drawExtra = drawUnit,
    .complete = complete,
    .backRow = TIMERS_ROW_MAINTENANCE,
};

}  // namespace

void maintenanceTimerScreen() { runDigitEntry(kEntry); }

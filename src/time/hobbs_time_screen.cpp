// HOBBS TIME: the Hobbs meter set digit by digit to hours and tenths; the count toward the next
// hundredth starts again.
#include "display/framebuffer.h"
#include "display/text.h"
#include "time/digit_entry.h"
#include "time/timers.h"
#include "time/timers_setup.h"
#include "ui/digit_editor.h"
#include "ui/screen.h"

namespace {

void drawPoint() { drawText(265, 160, ".", 20, AlignLeft, COLOUR_WHITE); }

void complete()
{
    hobbsHours = static_cast<uint16_t>(editDigitsValue(4));
    hobbsHundredths = static_cast<uint8_t>(editDigits[4] % 10 * 10);
    hobbsStepCount = 0;
    openTimersSetup(TIMERS_ROW_HOBBS_TIME);
}

const DigitEntry kEntry = {
    .menuName = "TIMERS SETUP",
    .screenName = "HOBBS TIME",
    .prompt1 = "USE THE ROTARY CONTROL",
    .prompt2 = "TO ADJUST THE HOBBS TIME",
    .count = 5,
    .x = {185, 205, 225, 245, 276},
    .align = AlignLeft,
    .drawExtra = drawPoint,
    .complete = complete,
    .backRow = TIMERS_ROW_HOBBS_TIME,
};

}  // namespace

void hobbsTimeScreen() { runDigitEntry(kEntry); }

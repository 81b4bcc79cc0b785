// Drawing and keys shared by the digit entry screens of TIMERS SETUP.
#include "time/digit_entry.h"

#include "display/framebuffer.h"
#include "display/text.h"
#include "time/timers_setup.h"
#include "ui/digit_editor.h"
#include "ui/screen.h"

void clearCodeDigits() { loadEditDigits("0000", 4); }

void runDigitEntry(const DigitEntry& entry)
{
    const uint8_t count = entry.count >= 1 && entry.count <= 5 ? entry.count : 1;
    // A cursor left beyond the digits (set from outside) starts again at the first.
    if (cursorLine >= count) cursorLine = 0;

    drawPageTitle(entry.menuName, entry.screenName);
    drawText(240, 96, entry.prompt1, 10, AlignCentre, COLOUR_WHITE);
    if (entry.prompt2) drawText(240, 114, entry.prompt2, 10, AlignCentre, COLOUR_WHITE);
    for (uint8_t i = 0; i < count; ++i) {
        const char digit[2] = {static_cast<char>('0' + editDigits[i] % 10), '\0'};
        drawText(entry.x[i], 160, digit, 20, entry.align, i == cursorLine ? COLOUR_RED : COLOUR_WHITE);
    }
    if (entry.drawExtra) entry.drawExtra();
    const uint8_t key = exitBackKey(nullptr);
    switch (key) {
    case KeySoft2:
        openTimersSetup(entry.backRow);
        break;
    case KeyKnobPress:
        if (cursorLine + 1 >= count) {
            if (entry.complete) entry.complete();
        } else {
            editDigitsByKey(DigitEditor{count, nullptr}, key);
        }
        break;
    case KeyKnobPlus:
    case KeyKnobMinus:
        editDigitsByKey(DigitEditor{count, nullptr}, key);
        break;
    default:
        break;
    }
}

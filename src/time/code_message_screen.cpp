// The Hobbs code message: "CODE" / "CHANGED" after a confirmed new code, else "INCORRECT" /
// "CODE"; any key returns to TIMERS SETUP on CHANGE HOBBS CODE.
#include "display/framebuffer.h"
#include "display/icons.h"
#include "display/image.h"
#include "display/text.h"
#include "time/timers_setup.h"
#include "ui/screen.h"

void codeMessageScreen()
{
    const bool changed = newHobbsCode == 1;
    drawPageTitle("", "MESSAGE");
    drawImage(70, 115, iconExclamation);
    drawText(250, 105, changed ? "CODE" : "INCORRECT", 20, AlignCentre, COLOUR_WHITE);
    drawText(250, 145, changed ? "CHANGED" : "CODE", 20, AlignCentre, COLOUR_WHITE);

    const uint8_t key = takeKey();
    if (key != KeyNone) openTimersSetup(TIMERS_ROW_HOBBS_CODE);
}

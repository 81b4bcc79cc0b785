// The aircraft registration editor: eight characters, each turned through the printable codes
// 32..126 with the knob, the knob press moving on to the next.
#include "display/framebuffer.h"
#include "display/text.h"
#include "settings/menus.h"
#include "settings/settings.h"
#include "ui/screen.h"

namespace {

constexpr int kLength = 8;  // the ninth byte, the terminator, is never touched

// The printable codes 32..126 in a ring. A code outside them (only a recalled file brings one)
// comes back into the ring with the first turn either way.
char nextCode(char c)
{
    const uint8_t code = static_cast<uint8_t>(c);
    return code < 32 || code > 125 ? ' ' : static_cast<char>(code + 1);
}
char previousCode(char c)
{
    const uint8_t code = static_cast<uint8_t>(c);
    return code <= 32 || code > 127 ? '~' : static_cast<char>(code - 1);
}

void backToMisc() { returnToScreen(miscSetupScreen, 0); }

}  // namespace

void registrationScreen()
{
    if (cursorLine >= kLength) cursorLine = 0;
    char* registration = settings.aircraftRegistration;

    drawPageTitle("MISCELLANEOUS", "AIRCRAFT REGISTRATION");
    drawText(240, 96, "USE THE ROTARY CONTROL", 10, AlignCentre, COLOUR_WHITE);
    drawText(240, 114, "TO SET THE AIRCRAFT REGISTRATION", 10, AlignCentre, COLOUR_WHITE);
    for (int i = 0; i < kLength; ++i) {
        const uint8_t colour = i == cursorLine ? COLOUR_RED : COLOUR_WHITE;
        if (registration[i] == ' ') {
            drawHLine(120 + 34 * i, 140 + 34 * i, 200, colour);
        } else {
            const char character[2] = {registration[i], '\0'};
            drawText(130 + 34 * i, 160, character, 20, AlignCentre, colour);
        }
    }
    const uint8_t key = exitBackKey(backToMisc);
    switch (key) {
    case KeyKnobPlus:
        registration[cursorLine] = nextCode(registration[cursorLine]);
        break;
    case KeyKnobMinus:
        registration[cursorLine] = previousCode(registration[cursorLine]);
        break;
    case KeyKnobPress:
        if (cursorLine + 1 >= kLength) backToMisc();
        else ++cursorLine;
        break;
    default:
        break;
    }
}

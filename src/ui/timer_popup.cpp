// The TIMER pop-up: the preset as H:MM:SS edited digit by digit, count direction, start and stop,
// and RESET to the preset.
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "time/timers.h"
#include "ui/digit_editor.h"
#include "ui/home.h"
#include "ui/popup_menu.h"
#include "ui/popups.h"
#include "ui/screen.h"

namespace {

// Hours, minute tens and units, second tens and units.
constexpr uint8_t kTimerMaxima[5] = {9, 5, 9, 5, 9};
constexpr DigitEditor kTimerDigits = {5, kTimerMaxima};

uint32_t presetFromDigits()
{
    return editDigits[0] * 3600u + editDigits[1] * 600u + editDigits[2] * 60u + editDigits[3] * 10u + editDigits[4];
}

}  // namespace

void openTimerPopup()
{
    char text[16];  // the first five characters: one hour digit, then minutes and seconds
    const uint32_t preset = stopwatchPreset;
    std::snprintf(text, sizeof text, "%1u%02u%02u", static_cast<unsigned>(preset / 3600),
                  static_cast<unsigned>(preset / 60 % 60), static_cast<unsigned>(preset % 60));
    loadEditDigits(text, 5);
    overlayScreen = timerPopup;
}

void timerPopup()
{
    keepPopupOpen();
    drawPopupKeyBar("TIMER", "EXIT", stopwatchUp == 1 ? "UP" : "DOWN", stopwatchRunning == 1 ? "START" : "STOP",
                    "RESET", "");
    drawPopupBox(150, 80, 330, 190, "USE THE ROTARY", "CONTROL TO ADJUST", "THE TIMER");
    drawEditDigit(180, 150, 0, AlignLeft);
    drawText(197, 150, ":", 16, AlignLeft, COLOUR_WHITE);
    drawEditDigit(210, 150, 1, AlignLeft);
    drawEditDigit(230, 150, 2, AlignLeft);
    drawText(247, 150, ":", 16, AlignLeft, COLOUR_WHITE);
    drawEditDigit(260, 150, 3, AlignLeft);
    drawEditDigit(280, 150, 4, AlignLeft);

    const uint8_t key = takeKey();
    switch (key) {
    case KeySoft1: closePopup(); break;
    case KeySoft2: stopwatchUp = stopwatchUp == 1 ? 0 : 1; break;
    case KeySoft3:
        // Starting also enables counting, so the TIMER runs once started.
        if (stopwatchRunning == 1) stopStopwatch();
        else startStopwatch();
        break;
    case KeySoft4: resetStopwatch(); break;
    default:
        if (editDigitsByKey(kTimerDigits, key) == DigitKey::Changed) stopwatchPreset = presetFromDigits();
        break;
    }
}

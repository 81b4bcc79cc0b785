// The lean mode and cruise mode pop-ups: one key turns the mode on or off (each start ends the
// other mode) and closes the pop-up.
#include "engine/thermocouples.h"
#include "ui/home.h"
#include "ui/popup_menu.h"
#include "ui/popups.h"
#include "ui/screen.h"

namespace {

void modePopup(const char* title, bool on, void (*toggle)())
{
    keepPopupOpen();
    drawPopupKeyBar(title, "EXIT", on ? "OFF" : "ON", "", "", "");
    const uint8_t key = takeKey();
    switch (key) {
    case KeySoft1:
    case KeyKnobPress: closePopup(); break;
    case KeySoft2:
        toggle();
        closePopup();
        break;
    default: break;
    }
}

void toggleLean()
{
    if (leanActive == 1) {
        leanDeltaMode = 0;
        stopLeanAssist();
    } else {
        startLeanAssist();  // ends cruise mode
    }
}

void toggleCruise()
{
    if (leanDeltaMode == 1) {
        leanActive = 0;
        stopLeanDeltaMode();
    } else {
        startLeanDeltaMode();  // ends lean mode
    }
}

}  // namespace

void leanModePopup() { modePopup("LEAN MODE", leanActive == 1, toggleLean); }

void cruiseModePopup() { modePopup("CRUISE MODE", leanDeltaMode == 1, toggleCruise); }

// ENTER HOBBS CODE: the code in force opens the Hobbs time; anything else (the master code too)
// ends on "INCORRECT" / "CODE".
#include "settings/settings.h"
#include "display/text.h"
#include "time/digit_entry.h"
#include "time/timers_setup.h"
#include "ui/digit_editor.h"
#include "ui/screen.h"

namespace {

void complete()
{
    if (editDigitsValue(4) == settings.hobbsCode) {
        editMode = 0;
        loadHobbsDigits();
        currentScreen = hobbsTimeScreen;
    } else {
        newHobbsCode = 0;
        currentScreen = codeMessageScreen;
    }
}

const DigitEntry kEntry = {
    .menuName = "TIMERS SETUP",
    .screenName = "HOBBS CODE",
    .prompt1 = "ENTER HOBBS CODE",
    .prompt2 = nullptr,
    .count = 4,
    .x = {CODE_DIGITS_X[0], CODE_DIGITS_X[1], CODE_DIGITS_X[2], CODE_DIGITS_X[3], 0},
    .align = AlignCentre,
    .drawExtra = nullptr,
    .complete = complete,
    .backRow = TIMERS_ROW_HOBBS_TIME,
};

}  // namespace

void enterHobbsCodeScreen() { runDigitEntry(kEntry); }

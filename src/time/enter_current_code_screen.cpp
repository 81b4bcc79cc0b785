// ENTER CURRENT HOBBS CODE: the first step of changing the code; the code in force or the master
// code leads on to the new code.
#include "settings/settings.h"
#include "display/text.h"
#include "time/digit_entry.h"
#include "time/timers_setup.h"
#include "ui/digit_editor.h"
#include "ui/screen.h"

namespace {

void complete()
{
    const int32_t code = editDigitsValue(4);
    if (code == settings.hobbsCode || code == HOBBS_MASTER_CODE) {
        clearCodeDigits();
        currentScreen = enterNewCodeScreen;
    } else {
        newHobbsCode = 0;
        currentScreen = codeMessageScreen;
    }
}

const DigitEntry kEntry = {
    .menuName = "TIMER SETUPS",
    .screenName = "HOBBS CODE",
    .prompt1 = "ENTER CURRENT HOBBS CODE",
    .prompt2 = nullptr,
    .count = 4,
    .x = {CODE_DIGITS_X[0], CODE_DIGITS_X[1], CODE_DIGITS_X[2], CODE_DIGITS_X[3], 0},
    .align = AlignCentre,
    .drawExtra = nullptr,
    .complete = complete,
    .backRow = TIMERS_ROW_HOBBS_CODE,
};

}  // namespace

void enterCurrentCodeScreen() { runDigitEntry(kEntry); }

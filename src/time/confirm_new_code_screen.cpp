// CONFIRM NEW CODE: the new code entered a second time puts it in force; a different entry keeps
// the old code. Either way the code message follows.
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
    if (code == newHobbsCode) {
        settings.hobbsCode = static_cast<uint16_t>(code);
        newHobbsCode = 1;
    } else {
        newHobbsCode = 0;
    }
    currentScreen = codeMessageScreen;
}

const DigitEntry kEntry = {
    .menuName = "TIMERS SETUP",
    .screenName = "HOBBS CODE",
    .prompt1 = "CONFIRM NEW CODE",
    .prompt2 = nullptr,
    .count = 4,
    .x = {CODE_DIGITS_X[0], CODE_DIGITS_X[1], CODE_DIGITS_X[2], CODE_DIGITS_X[3], 0},
    .align = AlignCentre,
    .drawExtra = nullptr,
    .complete = complete,
    .backRow = TIMERS_ROW_HOBBS_CODE,
};

}  // namespace

void confirmNewCodeScreen() { runDigitEntry(kEntry); }

// ENTER NEW CODE: the code to come, kept until it is confirmed (0000 removes the code).
#include "display/text.h"
#include "time/digit_entry.h"
#include "time/timers_setup.h"
#include "ui/digit_editor.h"
#include "ui/screen.h"

namespace {

void complete()
{
    newHobbsCode = static_cast<uint16_t>(editDigitsValue(4));
    clearCodeDigits();
    currentScreen = confirmNewCodeScreen;
}

const DigitEntry kEntry = {
    .menuName = "TIMERS SETUP",
    .screenName = "HOBBS CODE",
    .prompt1 = "ENTER NEW CODE",
    .prompt2 = nullptr,
    .count = 4,
    .x = {CODE_DIGITS_X[0], CODE_DIGITS_X[1], CODE_DIGITS_X[2], CODE_DIGITS_X[3], 0},
    .align = AlignCentre,
    .drawExtra = nullptr,
    .complete = complete,
    .backRow = TIMERS_ROW_HOBBS_CODE,
};

}  // namespace

void enterNewCodeScreen() { runDigitEntry(kEntry); }

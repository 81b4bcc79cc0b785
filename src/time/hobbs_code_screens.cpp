// The four-digit code screens of TIMERS SETUP: ENTER HOBBS CODE (the code in force opens the Hobbs
// time), ENTER CURRENT HOBBS CODE (the code or the master code leads on to a new one), ENTER NEW
// CODE and CONFIRM NEW CODE. Each is a prompt and what its last digit does.
#include "display/text.h"
#include "settings/settings.h"
#include "time/digit_entry.h"
#include "time/timers_setup.h"
#include "ui/digit_editor.h"
#include "ui/screen.h"

namespace {

constexpr DigitEntry codeEntry(const char* menuName, const char* prompt, void (*complete)(), uint8_t backRow)
{
    return {.menuName = menuName,
            .screenName = "HOBBS CODE",
            .prompt1 = prompt,
            .prompt2 = nullptr,
            .count = 4,
            .x = {CODE_DIGITS_X[0], CODE_DIGITS_X[1], CODE_DIGITS_X[2], CODE_DIGITS_X[3], 0},
            .align = AlignCentre,
            .drawExtra = nullptr,
            .complete = complete,
            .backRow = backRow};
}

// Anything but the code in force (the master code too) ends on "INCORRECT" / "CODE".
void hobbsCodeEntered()
{
    if (editDigitsValue(4) == settings.hobbsCode) {
        openScreen(hobbsTimeScreen);
    } else {
        newHobbsCode = 0;
        openScreen(codeMessageScreen);
    }
}

void currentCodeEntered()
{
    const int32_t code = editDigitsValue(4);
    if (code == settings.hobbsCode || code == HOBBS_MASTER_CODE) {
        openScreen(enterNewCodeScreen);
    } else {
        newHobbsCode = 0;
        openScreen(codeMessageScreen);
    }
}

// The code to come is kept until it is confirmed (0000 removes the code).
void newCodeEntered()
{
    newHobbsCode = static_cast<uint16_t>(editDigitsValue(4));
    openScreen(confirmNewCodeScreen);
}

// The same code a second time puts it in force; a different one keeps the old code.
void newCodeConfirmed()
{
    const int32_t code = editDigitsValue(4);
    if (code == newHobbsCode) {
        settings.hobbsCode = static_cast<uint16_t>(code);
        newHobbsCode = 1;
    } else {
        newHobbsCode = 0;
    }
    openScreen(codeMessageScreen);
}

const DigitEntry kHobbsCode = codeEntry("TIMERS SETUP", "ENTER HOBBS CODE", hobbsCodeEntered, TIMERS_ROW_HOBBS_TIME);
const DigitEntry kCurrentCode =
    codeEntry("TIMER SETUPS", "ENTER CURRENT HOBBS CODE", currentCodeEntered, TIMERS_ROW_HOBBS_CODE);
const DigitEntry kNewCode = codeEntry("TIMERS SETUP", "ENTER NEW CODE", newCodeEntered, TIMERS_ROW_HOBBS_CODE);
const DigitEntry kConfirmCode = codeEntry("TIMERS SETUP", "CONFIRM NEW CODE", newCodeConfirmed, TIMERS_ROW_HOBBS_CODE);

}  // namespace

void enterHobbsCodeScreen() { runDigitEntry(kHobbsCode); }
void enterCurrentCodeScreen() { runDigitEntry(kCurrentCode); }
void enterNewCodeScreen() { runDigitEntry(kNewCode); }
void confirmNewCodeScreen() { runDigitEntry(kConfirmCode); }

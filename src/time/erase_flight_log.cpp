// ERASE FLIGHT LOG: the NO / YES confirmation; YES empties the log and ends on "DONE".
#include "time/flight_log.h"
#include "ui/question_screen.h"
#include "ui/screen.h"

namespace {

void answer(bool yes)
{
    if (yes) {
        eraseFlightLog();
        returnScreen = flightLogMenuScreen;
        showMessage(true);
    } else {
        returnToScreen(flightLogMenuScreen);
    }
    cursorLine = 2;  // "ERASE FLIGHT LOG"
}

const Question kErase = {.menuName = "FLIGHT LOG", .screenName = "ERASE FLIGHT LOG",
                         .line2 = "ERASE THE FLIGHT LOG", .answer = answer};

}  // namespace

void eraseFlightLogScreen() { runQuestionScreen(kErase); }

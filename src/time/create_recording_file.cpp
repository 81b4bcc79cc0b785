// CREATE REC FILE: the NO / YES confirmation before a fresh recording file replaces the old one.
#include "device.h"
#include "time/data_recording.h"
#include "ui/home.h"
#include "ui/question_screen.h"
#include "ui/screen.h"

namespace {

// NO goes back at once; YES makes the file and ends on "DONE", or "FAILED" when the file could not be
// made (or on "INSERT" / "SD CARD" without a card).
void answer(bool yes)
{
    cursorLine = 0;
    returnScreen = dataRecordingSetupScreen;
    if (!yes) {
        returnToScreen(dataRecordingSetupScreen);
    } else if (!sdCardPresent) {
        openScreen(sdCardMessageScreen);
    } else {
        showMessage(createRecordingFile());
    }
}

const Question kCreate = {.menuName = "DATA RECORDING SETUP", .screenName = "CREATE REC FILE",
                          .line1 = "EXISTING RECORDING FILE", .line2 = "WILL BE ERASED, CONTINUE",
                          .answer = answer};

}  // namespace

void createRecordingFileScreen() { runQuestionScreen(kCreate); }

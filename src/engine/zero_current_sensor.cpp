// ZERO CURRENT SENSOR: asks before taking the present reading as the zero of the current sensor
// on listChannel (an analog input, or the main sensor on OWN_SENSOR_CHANNEL).
#include "engine/engine.h"
#include "engine/inputs.h"
#include "engine/senders.h"
#include "engine/setup_screens.h"
#include "settings/settings_field.h"
#include "ui/list_screen.h"
#include "ui/question_screen.h"
#include "ui/screen.h"

namespace {

// The "ZERO CURRENT SENSOR" line of both screens that open the question.
constexpr uint8_t kZeroLine = 9;

void answer(bool yes)
{
    if (!yes) {
        returnToScreen(returnScreen, kZeroLine);
        return;
    }
    cursorLine = kZeroLine;
    if (listChannel == OWN_SENSOR_CHANNEL) calibration.currentZero = rawCurrent;
    else calibration.senderZero[listChannel % 4] = analogInput[listChannel % 4];
    showMessage(true);  // "DONE", then back to returnScreen
}

const Question kQuestion = {
    .menuName = "CURRENT SETUP",
    .screenName = "ZERO CURRENT SENSOR",
    .line2 = "ZERO THE CURRENT SENSOR",
    .answer = answer,
};

}  // namespace

void openZeroCurrentSensor() { openScreen(zeroCurrentSensorScreen); }

void zeroCurrentSensorScreen() { runQuestionScreen(kQuestion); }

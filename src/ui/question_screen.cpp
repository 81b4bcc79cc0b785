// Drawing and keys of the "NO" / "YES" confirmation screens.
#include "ui/question_screen.h"

#include "display/framebuffer.h"
#include "display/icons.h"
#include "display/text.h"
#include "ui/screen.h"

void runQuestionScreen(const Question& question)
{
    const bool yes = cursorLine == 1;
    drawPageTitle(question.menuName, question.screenName);
    drawImage(45, 95, iconQuestion);
    drawText(260, 100, question.line1, 10, AlignCentre, COLOUR_WHITE);
    drawText(260, 120, question.line2, 10, AlignCentre, COLOUR_WHITE);
    drawText(170, 200, "NO", 10, AlignCentre, yes ? COLOUR_WHITE : COLOUR_RED);
    drawText(310, 200, "YES", 10, AlignCentre, yes ? COLOUR_RED : COLOUR_WHITE);

    const uint8_t key = takeKey();
    if (key == KeyKnobPlus || key == KeyKnobMinus) {
        cursorLine = yes ? 0 : 1;
    } else if (key == KeyKnobPress && question.answer) {
        question.answer(yes);
    }
}

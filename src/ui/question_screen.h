// The "NO" / "YES" confirmations ("ARE YOU SURE YOU WANT TO ..."): a question mark, two lines of
// question, and the answer chosen with the knob.
#pragma once

struct Question {
    const char* menuName = "";    // first title line
    const char* screenName = "";  // second title line
    const char* line1 = "ARE YOU SURE YOU WANT TO";
    const char* line2 = "";
    // Run by the knob press with the answer chosen; it decides the next screen and the cursor.
    void (*answer)(bool yes) = nullptr;
};

// One pass of a question screen. cursorLine holds the answer (0 "NO", 1 "YES"), either turn of the
// knob toggles it, the knob press runs the question's answer; there are no soft keys and every
// other key is discarded.
void runQuestionScreen(const Question& question);

// The digit entry screens of TIMERS SETUP (Hobbs code, Hobbs time, maintenance timer): a prompt,
// the digits of editDigits in the large font, the knob stepping the selected digit.
#pragma once
#include <cstdint>

struct DigitEntry {
    const char* menuName;
    const char* screenName;
    const char* prompt1;           // at (240, 96)
    const char* prompt2;           // at (240, 114); nullptr: none
    uint8_t count;                 // digits, 1..5
    int16_t x[5];                  // where each digit is drawn
    uint8_t align;                 // of the digits at their x
    void (*drawExtra)();           // separators and units; nullptr: none
    void (*complete)();            // the knob press on the last digit
    uint8_t backRow;               // TIMERS SETUP row that BACK returns to
};

// The four-digit code screens share their layout.
constexpr int16_t CODE_DIGITS_X[5] = {210, 230, 250, 270, 0};

// One pass: draw, then act on the pending key and consume it.
void runDigitEntry(const DigitEntry& entry);

// editDigits = 0000 with the cursor on the first digit.
void clearCodeDigits();

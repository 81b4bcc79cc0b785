// The digit editor of the pop-ups that take a number digit by digit (TIMER, cruising speed, tank
// refill): the digits live in editDigits, cursorLine selects one, the knob press selects the next
// and the knob turns step the selected digit, wrapping at its own maximum.
#pragma once
#include <cstddef>
#include <cstdint>

extern uint8_t editDigits[5];

struct DigitEditor {
    uint8_t count;           // digits in use, 1..5
    const uint8_t* maxima;   // per digit; nullptr: 9 for every digit
};

// Loads the first count characters of an already formatted number (for example "%03u") as
// digits; anything that is not a digit, or a text too short, gives 0. The cursor goes to the
// first digit.
void loadEditDigits(const char* text, uint8_t count);

// What a key did to the digits.
enum class DigitKey : uint8_t { Ignored, Selected, Changed };

// Knob press: the next digit (after the last, the first). Knob plus and minus: the selected digit
// up or down by one, from its maximum to 0 and back. Other keys are left to the pop-up.
DigitKey editDigitsByKey(const DigitEditor& editor, uint8_t key);

// editDigits[0..count-1] read as a decimal number.
int32_t editDigitsValue(uint8_t count);

// One digit in font 16 at (x, y) with the given alignment, red when it is the selected one.
void drawEditDigit(int x, int y, uint8_t index, uint8_t align);

// Digit-by-digit number entry shared by the pop-ups.
#include "ui/digit_editor.h"

#include "display/framebuffer.h"
#include "display/text.h"
#include "ui/screen.h"

uint8_t editDigits[5] = {};

namespace {

constexpr uint8_t kMaxDigits = sizeof editDigits;

uint8_t usedCount(const DigitEditor& editor)
{
    if (editor.count == 0) return 1;
    return editor.count > kMaxDigits ? kMaxDigits : editor.count;
}

uint8_t maximumOf(const DigitEditor& editor, uint8_t index)
{
    const uint8_t m = editor.maxima ? editor.maxima[index] : 9;
    return m > 9 ? 9 : m;
}

}  // namespace

void loadEditDigits(const char* text, uint8_t count)
{
    bool ended = false;
    for (uint8_t i = 0; i < kMaxDigits; ++i) {
        const char c = ended || i >= count ? '\0' : text[i];
        if (c == '\0') ended = true;
        editDigits[i] = c >= '0' && c <= '9' ? static_cast<uint8_t>(c - '0') : 0;
    }
    cursorLine = 0;
}

DigitKey editDigitsByKey(const DigitEditor& editor, uint8_t key)
{
    const uint8_t count = usedCount(editor);
    // A cursor left beyond the digits (set from outside) starts again at the first.
    if (cursorLine >= count) cursorLine = 0;
    uint8_t& digit = editDigits[cursorLine];
    const uint8_t maximum = maximumOf(editor, cursorLine);
    switch (key) {
    case KeyKnobPress:
        cursorLine = cursorLine + 1 >= count ? 0 : static_cast<uint8_t>(cursorLine + 1);
        return DigitKey::Selected;
    case KeyKnobPlus:
        digit = digit >= maximum ? 0 : static_cast<uint8_t>(digit + 1);
        return DigitKey::Changed;
    case KeyKnobMinus:
        digit = digit == 0 || digit > maximum ? maximum : static_cast<uint8_t>(digit - 1);
        return DigitKey::Changed;
    default:
        return DigitKey::Ignored;
    }
}

int32_t editDigitsValue(uint8_t count)
{
    int32_t value = 0;
    for (uint8_t i = 0; i < count && i < kMaxDigits; ++i) value = value * 10 + editDigits[i] % 10;
    return value;
}

void drawEditDigit(int x, int y, uint8_t index, uint8_t align)
{
    if (index >= kMaxDigits) return;
    const char text[2] = {static_cast<char>('0' + editDigits[index] % 10), '\0'};
    drawText(x, y, text, 16, align, index == cursorLine ? COLOUR_RED : COLOUR_WHITE);
}

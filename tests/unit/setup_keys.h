// Key sequences on setup screens, written as letters, and the step label check shared by the
// setup screen case tables.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "display/text.h"
#include "test_support.h"
#include "ui/screen.h"

// Keys as letters: 1..5 soft keys, p knob press, + and - knob turns. Each key runs one pass of
// the screen and must be consumed.
inline void press(ScreenFunction screen, const std::string& keys)
{
    for (const char k : keys) {
        SCOPED_TRACE(std::string("key ") + k);
        pendingKey = static_cast<uint8_t>(k == 'p' ? KeyKnobPress : k == '+' ? KeyKnobPlus : k == '-' ? KeyKnobMinus : k - '0');
        screen();
        ASSERT_EQ(pendingKey, KeyNone);
    }
}

// Lit pixels of the step label area equal those of label drawn alone.
inline bool showsStepLabel(const char* label)
{
    auto lit = [] {
        int n = 0;
        for (int y = 254; y < 270; ++y)
            for (int x = 149; x < 222; ++x) n += pixelAt(x, y) != 0;
        return n;
    };
    const int shown = lit();
    clearScreen();
    drawText(186, 254, label, 8, AlignCentre, COLOUR_WHITE);
    return shown == lit();
}

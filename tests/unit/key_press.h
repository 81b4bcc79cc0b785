// The key-sequence helper of the screen tests: one pass of the current screen per key, which must
// consume it.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "ui/screen.h"

// '+' and '-' turn the knob, 'p' presses it, '1'..'5' the push buttons.
inline void press(const std::string& keys)
{
    for (const char k : keys) {
        SCOPED_TRACE(std::string("key ") + k);
        pendingKey = static_cast<uint8_t>(k == '+' ? KeyKnobPlus : k == '-' ? KeyKnobMinus
                                                              : k == 'p'   ? KeyKnobPress
                                                                           : k - '0');
        currentScreen();
        ASSERT_EQ(pendingKey, KeyNone);
    }
}

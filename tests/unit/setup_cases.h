// The table runner of the setup-screen key-sequence tests: keys as letters through one press()
// helper, and cases of (what, prepare, keys, check) run from a fresh instrument each.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/engine.h"
#include "settings/settings.h"
#include "test_support.h"
#include "ui/list_screen.h"
#include "ui/screen.h"

// Keys as letters: 1..5 soft keys, p knob press, + and - knob turns.
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

struct Case {
    const char* what;
    std::function<void()> prepare;
    std::string keys;
    std::function<void()> check;
};

class SetupCases : public testing::Test {
protected:
    void SetUp() override
    {
        loadDefaultSettings();
        resetCalibration();
        cursorLine = listTop = editMode = 0;
        stepMultiplier = 1;
        listChannel = 0;
        pendingKey = KeyNone;
        currentScreen = homeScreen;
    }
    void TearDown() override { SetUp(); }

    void run(ScreenFunction screen, const Case& c)
    {
        SetUp();
        SCOPED_TRACE(c.what);
        currentScreen = screen;
        if (c.prepare) c.prepare();
        press(screen, c.keys);
        c.check();
    }
};

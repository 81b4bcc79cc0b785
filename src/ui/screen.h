// The screen model: the current screen function, the pending key and its codes.
#pragma once
#include <cstdint>

using ScreenFunction = void (*)();

enum KeyCode : uint8_t {
    KeyNone = 0,
    KeySoft1 = 1,  // push buttons under the display, left to right
    KeySoft2 = 2,
    KeySoft3 = 3,
    KeySoft4 = 4,
    KeySoft5 = 5,
    KeyKnobPress = 6,
    KeyKnobPlus = 7,   // knob turned clockwise
    KeyKnobMinus = 8,  // knob turned anticlockwise
};

extern ScreenFunction currentScreen;
extern ScreenFunction returnScreen;
extern uint8_t pendingKey;

// The home screen hosts the home pages; it is the screen after program start.
void homeScreen();

// Every screen and pop-up function by name, so that a script or a test can say where the
// instrument is ("currentScreen=mainMenuScreen", "overlayScreen=none") and iterate them all, and
// what openScreen does on the way into each.
#pragma once
#include <cstddef>

#include "ui/screen.h"

// The list-editing state openScreen resets on the way in (ui/screen.h).
enum EntryReset : uint8_t {
    ResetCursor = 1,    // cursorLine = 0
    ResetListTop = 2,   // listTop = 0
    ResetStep = 4,      // stepMultiplier = 1
    ResetEdit = 8,      // editMode = 0
    ResetAll = 15,      // a screen opened from a menu
    ResetNothing = 0,   // a message over the screen it returns to, which keeps its place
};

struct RegisteredScreen {
    const char* name;
    ScreenFunction function;
    bool overlay;  // a pop-up drawn over the home page through overlayScreen, not a screen of its own
    uint8_t resets = ResetAll;  // EntryReset flags
    // The screen's own entry, run by openScreen before the switch (currentScreen is still the
    // screen being left) and the resets.
    void (*enter)() = nullptr;
};

// The table, in no particular order; count receives its length.
const RegisteredScreen* registeredScreens(size_t& count);
// The entry of a screen function, nullptr for one not registered.
const RegisteredScreen* registeredScreen(ScreenFunction function);

// The name of a screen function: "none" for nullptr, nullptr for a function not registered.
const char* screenName(ScreenFunction function);
// The function of a name ("none" gives nullptr); false if the name is not registered.
bool findScreen(const char* name, ScreenFunction& function);

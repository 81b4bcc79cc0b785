// Every screen and pop-up function by name, so that a script or a test can say where the
// instrument is ("currentScreen=mainMenuScreen", "overlayScreen=none") and iterate them all.
#pragma once
#include <cstddef>

#include "ui/screen.h"

struct RegisteredScreen {
    const char* name;
    ScreenFunction function;
    bool overlay;  // a pop-up drawn over the home page through overlayScreen, not a screen of its own
};

// The table, in no particular order; count receives its length.
const RegisteredScreen* registeredScreens(size_t& count);

// The name of a screen function: "none" for nullptr, nullptr for a function not registered.
const char* screenName(ScreenFunction function);
// The function of a name ("none" gives nullptr); false if the name is not registered.
bool findScreen(const char* name, ScreenFunction& function);

// Screen state shared by every screen.
#include "ui/screen.h"

ScreenFunction currentScreen = homeScreen;
ScreenFunction returnScreen = homeScreen;
uint8_t pendingKey = KeyNone;

// Screen state shared by every screen.
#include "ui/screen.h"

ScreenFunction currentScreen = homeScreen;
ScreenFunction returnScreen = homeScreen;
uint8_t messageFailed = 0;
uint8_t pendingKey = KeyNone;
uint8_t cursorLine = 0;
uint8_t listTop = 0;
uint8_t editMode = 0;
uint8_t knobMovesCursor = 0;
uint16_t stepMultiplier = 1;

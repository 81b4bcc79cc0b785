// The home screen: draws the selected home page, hosts pop-ups and consumes the pending key.
#include "display/framebuffer.h"
#include "ui/screen.h"

uint8_t homePage = 0;
ScreenFunction overlayScreen = nullptr;
uint8_t overlayTimeout = 0;

void homeScreen()
{
    clearScreen();
    if (overlayTimeout != 0 && overlayScreen) overlayScreen();
    pendingKey = KeyNone;
}

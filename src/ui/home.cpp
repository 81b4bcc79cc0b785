// The home screen: draws the selected home page, hosts pop-ups and consumes the pending key.
#include "ui/home.h"

#include "display/framebuffer.h"

uint8_t homePage = 0;
ScreenFunction overlayScreen = nullptr;
uint8_t overlayTimeout = 0;
uint8_t menuItemCount = 0;
uint8_t oatCoCycle = 0;
uint8_t egtSelected = 0;
uint8_t chtSelected = 0;
uint8_t infoDisplayMode = 0;
char documentText[30][60] = {};
uint8_t documentLineCount = 0;
uint8_t documentCursor = 0;

void homeScreen()
{
    clearScreen();
    if (overlayTimeout != 0 && overlayScreen) overlayScreen();
    pendingKey = KeyNone;
}

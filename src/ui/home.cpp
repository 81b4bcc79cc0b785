// The home screen: draws the selected home page and consumes the pending key.
#include "display/framebuffer.h"
#include "ui/screen.h"

void homeScreen()
{
    clearScreen();
    pendingKey = KeyNone;
}

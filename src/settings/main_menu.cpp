// The MAIN MENU screen. Its tiles arrive with the setup screens they open; until then it shows
// its title and soft keys and "EXIT" leads home.
#include "ui/screen.h"

void mainMenuScreen()
{
    drawPageTitle("", "MAIN MENU");
    drawSoftKeyBar(SoftKeysExit);
    if (pendingKey == KeySoft1) goHome();
    pendingKey = KeyNone;
}

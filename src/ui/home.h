// The home screen: the four home pages, page stepping, pop-up hosting, the engine page layout,
// the information display page and the SD card message screen.
#pragma once
#include <cstdint>

#include "ui/screen.h"

extern uint8_t homePage;             // 0 engine, 1 second page, 2 GPS, 3 information display
extern ScreenFunction overlayScreen; // pop-up drawn over the home page while overlayTimeout > 0
extern uint8_t overlayTimeout;       // slow steps left before the pop-up closes
extern uint8_t menuItemCount;        // items of the pop-up menu being opened
extern uint8_t oatCoCycle;           // 6..0: the clock panel's corner shows OAT at 3..6, CO at 0..2
extern uint8_t egtSelected;          // the channel the EGT graph shows as its single value (scanning)
extern uint8_t chtSelected;          // likewise for the CHT graph (a channel index from egtChannels on)

// Information display page: what it shows, and the loaded text document.
extern uint8_t infoDisplayMode;      // 0 title text, 1 picture, 2 text document
extern char documentText[30][60];
extern uint8_t documentLineCount;
extern uint8_t documentCursor;

bool homePageAvailable(uint8_t page);
void drawEnginePage();
void drawSecondPage();
void drawInformationPage();
// "INSERT" / "SD CARD"; any key returns to returnScreen.
void sdCardMessageScreen();
// The card messages' shape: a red box between left and right with two lines; any key returns to
// returnScreen.
void cardMessageScreen(int left, int right, const char* line1, const char* line2);

// The home screen: draws the page selected by homePage, lets the alarm pop-up or an open pop-up
// draw over it and take the keys, and steps between the available pages. Also the information
// display page and the SD card message screen.
#include "ui/home.h"

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/thermocouples.h"
#include "gps/gps_page.h"
#include "settings/settings.h"
#include "ui/alarm_popup.h"
#include "ui/popups.h"

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

namespace {

constexpr uint8_t kPageCount = 4;

// Backwards or forwards from homePage to the first page that is available.
void findAvailablePage(int direction)
{
    for (int k = 0; k < kPageCount; ++k) {
        const int page = (homePage + direction * k + kPageCount) % kPageCount;
        if (homePageAvailable(static_cast<uint8_t>(page))) {
            homePage = static_cast<uint8_t>(page);
            return;
        }
    }
}

void stepPage(int direction)
{
    if (direction < 0) homePage = homePage == 0 ? 3 : static_cast<uint8_t>(homePage - 1);
    else homePage = homePage >= 3 ? 0 : static_cast<uint8_t>(homePage + 1);
    findAvailablePage(direction);
    if (homePage != 0) {
        leanActive = 0;
        leanDeltaMode = 0;
    }
    egtSelected = 0;
    chtSelected = settings.egtChannels;
}

void drawSelectedPage()
{
    switch (homePage) {
    case 0: drawEnginePage(); break;
    case 1: drawSecondPage(); break;
    case 2: drawGpsPage(); break;
    case 3: drawInformationPage(); break;
    default: break;
    }
}

void drawDocument()
{
    clearScreen();
    const int first = documentCursor > 12 ? documentCursor - 12 : 0;
    for (int line = first; line < 30; ++line) {
        const int y = (line - first) * 20;
        if (y > 240) break;
        const uint8_t colour = line == documentCursor ? COLOUR_RED : COLOUR_WHITE;
        int x = 0;
        char glyph[2] = {0, 0};
        for (int column = 0; column < 60 && x < 460; ++column) {
            glyph[0] = documentText[line][column];
            if (glyph[0] == '\0') break;
            drawText(x, y, glyph, 10, AlignLeft, colour);
            x += lastTextEndX - lastTextStartX;
        }
    }
}

}  // namespace

bool homePageAvailable(uint8_t page)
{
    switch (page) {
    case 0:
    case 3: return true;
    case 1: return settings.secondHomePageOn != 0;
    case 2: return settings.gpsMode != 0;
    default: return false;
    }
}

void homeScreen()
{
    drawSelectedPage();
    // An announced alarm comes first; the pilot's menu or pop-up waits underneath, not drawn.
    if (alarmPopupShown()) alarmPopup();
    else if (overlayTimeout != 0 && overlayScreen) overlayScreen();
    else if (homePage == 3) knobMovesCursor = 1;  // the document's lines
    switch (pendingKey) {
    case KeySoft1: stepPage(-1); break;
    case KeySoft5: stepPage(+1); break;
    case KeyKnobPlus:
        if (homePage == 3 && documentLineCount > 0 && documentCursor < documentLineCount - 1) ++documentCursor;
        break;
    case KeyKnobMinus:
        if (homePage == 3 && documentCursor > 0) --documentCursor;
        break;
    case KeyKnobPress: openHomePageMenu(); break;
    default: break;
    }
    pendingKey = KeyNone;
}

void drawSecondPage() { clearScreen(); }

void drawInformationPage()
{
    switch (infoDisplayMode) {
    case 1: copyBackground(); break;
    case 2: drawDocument(); break;
    default:
        clearScreen();
        drawText(240, 90, "INFORMATION", 20, AlignCentre, COLOUR_WHITE);
        drawText(240, 140, "DISPLAY", 20, AlignCentre, COLOUR_WHITE);
        break;
    }
}

void cardMessageScreen(int left, int right, const char* line1, const char* line2)
{
    clearScreen();
    drawRect(left, 96, right, 176, COLOUR_WHITE);
    fillRect(left + 1, 97, right - 1, 175, COLOUR_RED);
    drawText(240, 104, line1, 16, AlignCentre, COLOUR_WHITE);
    drawText(240, 138, line2, 16, AlignCentre, COLOUR_WHITE);
    if (pendingKey != KeyNone) {
        returnToScreen(returnScreen);
        pendingKey = KeyNone;
    }
}

void sdCardMessageScreen() { cardMessageScreen(150, 330, "INSERT", "SD CARD"); }

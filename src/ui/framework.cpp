// Screen switches and the drawing shared by every menu and setup screen: title, soft-key bars,
// menu rows, scroll indicator, knob and arrow symbols, icon-tile frames, the message screen.
#include "display/framebuffer.h"
#include "display/icons.h"
#include "display/text.h"
#include "ui/home.h"
#include "ui/screen.h"
#include "ui/screen_registry.h"

void goHome()
{
    currentScreen = homeScreen;
    overlayTimeout = 0;
    editMode = 0;
    listTop = 0;
}

void openMainMenu(uint8_t item)
{
    cursorLine = item;
    currentScreen = mainMenuScreen;
    stepMultiplier = 1;
    editMode = 0;
}

void openScreen(ScreenFunction screen)
{
    const RegisteredScreen* entry = registeredScreen(screen);
    const uint8_t resets = entry ? entry->resets : uint8_t{ResetAll};
    if (entry && entry->enter) entry->enter();
    currentScreen = screen;
    if (resets & ResetCursor) cursorLine = 0;
    if (resets & ResetListTop) listTop = 0;
    if (resets & ResetStep) stepMultiplier = 1;
    if (resets & ResetEdit) editMode = 0;
}

void returnToScreen(ScreenFunction screen, uint8_t line)
{
    editMode = 0;
    cursorLine = line;
    currentScreen = screen;
}

void returnToScreen(ScreenFunction screen) { currentScreen = screen; }

void drawPageTitle(const char* line1, const char* line2)
{
    clearScreen();
    drawText(5, 2, "C", 20, AlignLeft, COLOUR_RED);
    drawText(30, 2, "orvex", 20, AlignLeft, COLOUR_WHITE);
    drawText(478, 0, line1, 10, AlignRight, COLOUR_RED);
    drawText(478, 20, line2, 10, AlignRight, COLOUR_WHITE);
    drawHLine(0, 479, 40, COLOUR_WHITE);
}

void drawSoftKeyBar(uint8_t flags)
{
    drawHLine(0, 479, 250, COLOUR_WHITE);
    for (const int x : {74, 148, 222, 296, 371}) drawVLine(250, 271, x, COLOUR_WHITE);
    drawText(36, 254, "EXIT", 8, AlignCentre, COLOUR_WHITE);
    drawKnobSymbol();
    if (flags & 1) drawText(112, 254, "BACK", 8, AlignCentre, COLOUR_WHITE);
}

uint8_t exitBackKey(void (*back)())
{
    drawSoftKeyBar(SoftKeysExitBack);
    const uint8_t key = takeKey();
    if (key == KeySoft1) goHome();
    if (key == KeySoft2 && back) back();
    return key;
}

void drawPopupKeyBar(const char* caption, const char* label1, const char* label2, const char* label3,
                     const char* label4, const char* label5)
{
    fillRect(0, 250, 370, 271, COLOUR_BLACK);
    drawHLine(0, 370, 250, COLOUR_WHITE);
    drawVLine(250, 271, 371, COLOUR_WHITE);
    fillRect(0, 230, 148, 249, COLOUR_BLACK);
    drawHLine(0, 148, 229, COLOUR_WHITE);
    drawVLine(250, 271, 74, COLOUR_WHITE);
    drawVLine(230, 271, 148, COLOUR_WHITE);
    drawVLine(250, 271, 222, COLOUR_WHITE);
    drawVLine(250, 271, 296, COLOUR_WHITE);
    drawText(74, 231, caption, 8, AlignCentre, COLOUR_RED);
    const char* labels[] = {label1, label2, label3, label4, label5};
    const int centres[] = {37, 112, 186, 260, 334};
    for (int i = 0; i < 5; ++i) drawText(centres[i], 254, labels[i], 8, AlignCentre, COLOUR_WHITE);
}

void drawMenuRow(int row, const char* label, const char* value)
{
    if (row < 0 || row > 10) return;
    const int y = 50 + 18 * row;
    const bool selected = row + listTop == cursorLine;
    drawText(100, y, label, 8, AlignLeft, selected && editMode != 1 ? COLOUR_RED : COLOUR_WHITE);
    drawText(lastTextEndX, y, value, 8, AlignLeft, selected ? COLOUR_RED : COLOUR_WHITE);
}

void drawScrollIndicator(int index, int count)
{
    drawVLine(45, 245, 470, COLOUR_WHITE);
    if (count <= 0) return;  // nothing to scroll through
    const int s = 2000 / count;
    const int top = (s * index + 450) / 10;
    const int height = s / 10;
    // A block of one row (lists of 101 to 200 positions) is a line: fillRect draws no single row.
    if (height == 1) drawHLine(465, 475, top, COLOUR_WHITE);
    else if (height > 1) fillRect(465, top, 475, top + height - 1, COLOUR_WHITE);
}

void drawKnobSymbol()
{
    drawArcDots(428, 274, 20, 220, 320, COLOUR_WHITE);
    // Left arrowhead.
    drawLine(408, 259, 418, 264, COLOUR_WHITE);
    drawLine(408, 259, 410, 268, COLOUR_WHITE);
    drawLine(418, 264, 410, 268, COLOUR_WHITE);
    putPixel(409, 260, COLOUR_WHITE);
    putPixel(409, 261, COLOUR_WHITE);
    drawVLine(261, 267, 410, COLOUR_WHITE);
    drawVLine(261, 266, 411, COLOUR_WHITE);
    drawVLine(262, 266, 412, COLOUR_WHITE);
    for (int x = 413; x <= 415; ++x) drawVLine(263, 265, x, COLOUR_WHITE);
    putPixel(416, 264, COLOUR_WHITE);
    // Right arrowhead.
    drawLine(438, 264, 448, 259, COLOUR_WHITE);
    drawLine(438, 264, 446, 268, COLOUR_WHITE);
    drawLine(448, 259, 446, 268, COLOUR_WHITE);
    for (int x = 442; x <= 443; ++x) drawVLine(263, 265, x, COLOUR_WHITE);
    for (int x = 444; x <= 445; ++x) drawVLine(262, 266, x, COLOUR_WHITE);
    drawVLine(261, 265, 446, COLOUR_WHITE);
    putPixel(447, 261, COLOUR_WHITE);
    putPixel(440, 264, COLOUR_WHITE);
    putPixel(441, 264, COLOUR_WHITE);
}

void drawRightArrow()
{
    fillRect(315, 258, 345, 264, COLOUR_WHITE);
    for (int i = 0; i <= 7; ++i) drawVLine(253 + i, 269 - i, 346 + i, COLOUR_WHITE);
    putPixel(354, 261, COLOUR_WHITE);
}

void drawLeftArrow(int x)
{
    fillRect(x + 9, 258, x + 39, 264, COLOUR_WHITE);
    for (int i = 0; i <= 7; ++i) drawVLine(253 + i, 269 - i, x + 8 - i, COLOUR_WHITE);
    putPixel(x, 261, COLOUR_WHITE);
}

void drawTileFrame(uint8_t tile)
{
    if (tile > 7) return;
    const int c = tile < 4 ? tile : tile - 4;
    const int r = tile < 4 ? 0 : 100;
    const int X = 128 * c;
    for (const int y : {r + 48, r + 49, r + 139, r + 140}) {
        drawHLine(X + 2, X + 14, y, COLOUR_RED);
        drawHLine(X + 82, X + 94, y, COLOUR_RED);
    }
    for (const int x : {X + 2, X + 3, X + 93, X + 94}) {
        drawVLine(r + 50, r + 60, x, COLOUR_RED);
        drawVLine(r + 128, r + 138, x, COLOUR_RED);
    }
}

void messageScreen()
{
    drawPageTitle("", "MESSAGE");
    drawImage(145, 115, iconExclamation);
    drawText(285, 120, messageFailed ? "FAILED" : "DONE", 20, AlignCentre, COLOUR_WHITE);
    if (pendingKey != KeyNone) {
        returnToScreen(returnScreen);
        pendingKey = KeyNone;
        messageFailed = 0;
    }
}

void showMessage(bool done)
{
    messageFailed = done ? 0 : 1;
    openScreen(messageScreen);
}

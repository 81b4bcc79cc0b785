// "NO FILES" / "ON SD CARD": the document browser found no folder or no matching file.
#include "display/framebuffer.h"
#include "display/text.h"
#include "time/documents.h"
#include "ui/screen.h"

void noFilesScreen()
{
    clearScreen();
    drawRect(140, 96, 340, 176, COLOUR_WHITE);
    fillRect(141, 97, 339, 175, COLOUR_RED);
    drawText(240, 104, "NO FILES", 16, AlignCentre, COLOUR_WHITE);
    drawText(240, 138, "ON SD CARD", 16, AlignCentre, COLOUR_WHITE);
    if (pendingKey != KeyNone) {
        currentScreen = returnScreen;
        pendingKey = KeyNone;
    }
}

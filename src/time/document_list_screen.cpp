// The SD card document list over the information display page: eleven names at a time, the
// selection moving down the rows and then scrolling the window, "EXIT" and the knob to open.
#include <cstdio>

#include "display/text.h"
#include "display/framebuffer.h"
#include "time/documents.h"
#include "ui/home.h"
#include "ui/screen.h"

namespace {

constexpr uint8_t kListTimeout = 10;  // renewed every pass: the list stays while it is shown
constexpr uint8_t kLastRow = DOCUMENT_WINDOW_ROWS - 1;

void step(int direction)
{
    if (direction > 0) {
        if (documentSelected + 1 >= documentFileCount) return;
        ++documentSelected;
        fillDocumentWindow(documentSelected);
        if (cursorLine < kLastRow) ++cursorLine;
    } else {
        if (documentSelected == 0) return;
        --documentSelected;
        fillDocumentWindow(documentSelected);
        if (documentSelected < kLastRow && cursorLine > 0) --cursorLine;
    }
}

}  // namespace

void documentListScreen()
{
    drawPageTitle("", browseChecklists != 0 ? "CHECKLISTS" : "INFO PAGES");
    drawScrollIndicator(documentSelected, documentFileCount);
    for (int i = 0; i < DOCUMENT_WINDOW_ROWS; ++i) {
        if (documentNames[i][0] == '\0') continue;
        char name[DOCUMENT_NAME_SIZE];
        std::snprintf(name, sizeof name, "%.*s", DOCUMENT_NAME_SIZE - 1, documentNames[i]);
        drawText(150, 50 + 18 * i, name, 8, AlignLeft, i == cursorLine ? COLOUR_RED : COLOUR_WHITE);
    }
    overlayTimeout = kListTimeout;
    drawSoftKeyBar(SoftKeysExit);

    const uint8_t key = takeKey();
    switch (key) {
    case KeySoft1: overlayTimeout = 0; break;
    case KeyKnobPlus: step(+1); break;
    case KeyKnobMinus: step(-1); break;
    case KeyKnobPress: openDocumentInSlot(cursorLine); break;
    default: break;
    }
}

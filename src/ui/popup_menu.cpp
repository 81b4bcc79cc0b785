// Drawing, cursor movement and item actions of the pop-up menus over the home pages.
#include "ui/popup_menu.h"

#include "display/framebuffer.h"
#include "display/text.h"
#include "ui/home.h"
#include "ui/screen.h"

namespace {

constexpr uint8_t kMenuTimeout = 10;  // slow steps
constexpr int kRowHeight = 18;

bool offered(const PopupMenuItem& item) { return !item.shown || item.shown(); }

const char* labelOf(const PopupMenuItem& item) { return item.dynamicLabel ? item.dynamicLabel() : item.label; }

}  // namespace

uint8_t popupMenuShownCount(const PopupMenu& menu)
{
    uint8_t count = 0;
    for (uint8_t i = 0; i < menu.itemCount; ++i)
        if (offered(menu.items[i])) ++count;
    return count;
}

void openPopupMenu(const PopupMenu& menu, void (*screen)())
{
    menuItemCount = popupMenuShownCount(menu);
    cursorLine = menuItemCount > 0 ? static_cast<uint8_t>(menuItemCount - 1) : 0;
    overlayScreen = screen;
    overlayTimeout = kMenuTimeout;
}

void runPopupMenu(const PopupMenu& menu)
{
    // The offered items are counted every pass, so an item that comes or goes while the menu is
    // open (a flight started elsewhere) never leaves the cursor outside the box.
    const uint8_t n = popupMenuShownCount(menu);
    knobMovesCursor = 1;
    menuItemCount = n;
    if (n == 0) {
        closePopup();
        pendingKey = KeyNone;
        return;
    }
    if (cursorLine >= n) cursorLine = static_cast<uint8_t>(n - 1);

    fillRect(351, 258 - kRowHeight * n, 478, 270, COLOUR_BLACK);
    drawRect(350, 257 - kRowHeight * n, 479, 271, COLOUR_WHITE);
    const PopupMenuItem* selected = nullptr;
    uint8_t k = 0;
    for (uint8_t i = 0; i < menu.itemCount; ++i) {
        const PopupMenuItem& item = menu.items[i];
        if (!offered(item)) continue;
        if (k == cursorLine) selected = &item;
        drawText(360, 247 - kRowHeight * k, labelOf(item), 8, AlignLeft, k == cursorLine ? COLOUR_RED : COLOUR_WHITE);
        ++k;
    }

    const uint8_t key = takeKey();
    switch (key) {
    case KeyKnobPress:
        if (selected && selected->action) selected->action();
        break;
    case KeyKnobPlus:
        overlayTimeout = kMenuTimeout;
        cursorLine = cursorLine == 0 ? static_cast<uint8_t>(n - 1) : static_cast<uint8_t>(cursorLine - 1);
        break;
    case KeyKnobMinus:
        overlayTimeout = kMenuTimeout;
        cursorLine = cursorLine + 1 >= n ? 0 : static_cast<uint8_t>(cursorLine + 1);
        break;
    default:
        break;
    }
}

void closePopup() { overlayTimeout = 0; }

void openMenuScreen() { openScreen(mainMenuScreen); }

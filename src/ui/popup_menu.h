// The pop-up menus over the home pages: a menu is a const table of items, each with its label, the
// condition under which it is offered and the action of the knob press; drawn bottom-up in a box
// in the lower right corner that grows with the number of items offered.
#pragma once
#include <cstdint>

struct PopupMenuItem {
    const char* label = "";
    const char* (*dynamicLabel)() = nullptr;  // instead of label, for items whose text follows a state
    bool (*shown)() = nullptr;                // nullptr: always offered
    void (*action)() = nullptr;               // knob press on the item
};

struct PopupMenu {
    const PopupMenuItem* items;
    uint8_t itemCount;
};

// Items offered right now.
uint8_t popupMenuShownCount(const PopupMenu& menu);

// Makes the menu the pop-up of the home page: item count, cursor on the last item ("EXIT") and
// the timeout of 10 slow steps.
void openPopupMenu(const PopupMenu& menu, void (*screen)());

// One pass of an open menu: draws the box and the offered items (the first at the bottom), runs
// the selected item's action on the knob press, moves the cursor on knob turns (renewing the
// timeout, wrapping at both ends) and consumes the key.
void runPopupMenu(const PopupMenu& menu);

// Actions shared by the menus.
void closePopup();       // the pop-up closes (overlayTimeout 0)
void openMenuScreen();   // the MAIN MENU replaces the home screen

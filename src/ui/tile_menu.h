// Icon-tile menus (MAIN MENU, EMS SETUP): pages of up to eight tiles in a 4 x 2 grid, each tile
// a picture, two label lines and the screen its knob press opens, all described as data.
#pragma once
#include <cstdint>
#include <span>

#include "display/image.h"
#include "ui/screen.h"

struct MenuTile {
    const char* label1 = "";
    const char* label2 = "";
    const Icon* icon = nullptr;    // drawn at the tile's icon position
    void (*picture)() = nullptr;   // or a drawn picture (absolute coordinates)
    // The screen the knob press opens; nullptr: the press does nothing.
    ScreenFunction opens = nullptr;
    void (*prepare)() = nullptr;   // run just before opening (e.g. choosing a channel)
    // Other labels while this holds (e.g. an input that changes its meaning).
    bool (*alternative)() = nullptr;
    const char* alternative1 = "";
    const char* alternative2 = "";
};

struct TileMenu {
    const char* title = "";       // second title line
    std::span<const MenuTile> tiles;  // up to sixteen: two pages
    void (*back)() = nullptr;     // KeySoft2 ("BACK"); nullptr: no "BACK" key
};

// One pass of a tile menu: the page holding cursorLine, its tiles, the frame on the selected one,
// the page arrow when there are two pages, the soft keys; then acts on the pending key and
// consumes it.
void runTileMenu(const TileMenu& menu);

// The tile that opens screen: its index, or -1. Tiles that open the same screen (one per input)
// are told apart by the listChannel their screen shows.
int tileOpening(const TileMenu& menu, ScreenFunction screen);

// "BACK" from a screen a tile of the MAIN MENU or of EMS SETUP opens: that menu, with the tile
// of the screen now showing selected and editing ended. The menus' tile tables are the one
// record of where each screen sits.
void backToParentMenu();

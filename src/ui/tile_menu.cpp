// Drawing and keys of the icon-tile menus: the tile grid, page switching and opening a tile.
#include "ui/tile_menu.h"

#include "display/framebuffer.h"
#include "display/text.h"
#include "ui/list_screen.h"

namespace {

constexpr uint8_t kTilesPerPage = 8;

void drawTile(const MenuTile& tile, int position)
{
    const int column = position % 4, row = position / 4;
    if (tile.icon) drawImage(23 + 128 * column, 54 + 99 * row, *tile.icon);
    if (tile.picture) tile.picture();
    const bool other = tile.alternative && tile.alternative();
    const int x = 48 + 128 * column;
    drawText(x, 107 + 98 * row, other ? tile.alternative1 : tile.label1, 8, AlignCentre, COLOUR_WHITE);
    drawText(x, 122 + 98 * row, other ? tile.alternative2 : tile.label2, 8, AlignCentre, COLOUR_WHITE);
}

void openTile(const MenuTile& tile)
{
    if (!tile.opens) return;  // its screen is not part of the instrument yet
    if (tile.prepare) tile.prepare();
    openScreen(tile.opens);
}

}  // namespace

void runTileMenu(const TileMenu& menu)
{
    if (menu.tiles.empty()) {
        drawPageTitle("", menu.title);
        drawSoftKeyBar(menu.back ? SoftKeysExitBack : SoftKeysExit);
        if (pendingKey == KeySoft1) goHome();
        pendingKey = KeyNone;
        return;
    }
    const int tileCount = static_cast<int>(menu.tiles.size());
    const uint8_t last = static_cast<uint8_t>(tileCount - 1);
    if (cursorLine > last) cursorLine = last;  // a stale cursor from another screen
    const bool twoPages = tileCount > kTilesPerPage;
    knobMovesCursor = 1;

    drawPageTitle("", menu.title);
    const int first = cursorLine / kTilesPerPage * kTilesPerPage;
    for (int i = first; i < tileCount && i < first + kTilesPerPage; ++i) drawTile(menu.tiles[i], i - first);
    drawTileFrame(static_cast<uint8_t>(cursorLine - first));
    if (twoPages) {
        if (first == 0) drawRightArrow();
        else drawLeftArrow(314);
    }
    drawSoftKeyBar(menu.back ? SoftKeysExitBack : SoftKeysExit);

    const uint8_t key = takeKey();
    switch (key) {
    case KeySoft1:
        goHome();
        break;
    case KeySoft2:
        if (menu.back) menu.back();
        break;
    case KeySoft5:
        // To the other page: from page 2 onto its neighbour at the end of page 1, from page 1
        // onto the first tile of page 2.
        if (twoPages) cursorLine = cursorLine >= kTilesPerPage ? kTilesPerPage - 1 : kTilesPerPage;
        break;
    case KeyKnobPress:
        openTile(menu.tiles[cursorLine]);
        break;
    case KeyKnobPlus:
        cursorLine = cursorLine >= last ? 0 : static_cast<uint8_t>(cursorLine + 1);
        break;
    case KeyKnobMinus:
        cursorLine = cursorLine == 0 ? last : static_cast<uint8_t>(cursorLine - 1);
        break;
    default:
        break;
    }
}

int tileOpening(const TileMenu& menu, ScreenFunction screen)
{
    int first = -1, count = 0;
    for (int i = 0; i < static_cast<int>(menu.tiles.size()); ++i) {
        if (menu.tiles[i].opens != screen) continue;
        if (first < 0) first = i;
        ++count;
    }
    if (count > 1 && listChannel < count) return first + listChannel;
    return first;
}

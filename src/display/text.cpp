// drawText over the font blocks generated into data/fonts/fonts.inc.
#include "display/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "display/framebuffer.h"

int16_t lastTextStartX = 0;
int16_t lastTextEndX = 0;

namespace {
#include "fonts/fonts.inc"

inline unsigned read16(const uint8_t* p) { return p[0] | (p[1] << 8); }

struct Glyph {
    const uint8_t* bits = nullptr;
    int width = 0;
};

Glyph glyphOf(const uint8_t* block, uint8_t code)
{
    const unsigned first = read16(block + 2), last = read16(block + 4);
    if (code < first || code > last) return {};
    const uint8_t* entry = block + 8 + 4 * (code - first);
    const uint32_t offset = (uint32_t{entry[0]} << 16) | entry[2] | (uint32_t{entry[3]} << 8);
    return {block + offset, entry[1]};
}

// Every code's advance in one font: its width and the blank column, 0 for a code outside it.
using Advances = std::array<uint16_t, 256>;

Advances advancesOf(const uint8_t* block)
{
    Advances a{};
    for (unsigned code = 0; code < 256; ++code) {
        const Glyph g = glyphOf(block, static_cast<uint8_t>(code));
        if (g.bits) a[code] = static_cast<uint16_t>(g.width + 1);
    }
    return a;
}

const Advances& advanceTable(const uint8_t* block);

uint16_t advanceOf(const uint8_t* block, const char* text)
{
    const Advances& advances = advanceTable(block);
    uint16_t total = 0;
    for (const char* c = text; *c; ++c) total = static_cast<uint16_t>(total + advances[static_cast<uint8_t>(*c)]);
    return total;
}

// For each glyph byte, the mask of the eight pixels it sets, leftmost pixel in the lowest
// address (on a little-endian machine the lowest byte).
constexpr std::array<uint64_t, 256> makeByteMasks()
{
    std::array<uint64_t, 256> masks{};
    for (unsigned v = 0; v < 256; ++v)
        for (unsigned bit = 0; bit < 8; ++bit)
            if (v & (0x80u >> bit)) masks[v] |= uint64_t{0xFF} << (8 * bit);
    return masks;
}
constexpr std::array<uint64_t, 256> kByteMasks = makeByteMasks();

// Eight pixels at once where the glyph byte lies wholly on the screen, else bit by bit.
inline void drawGlyphByte(uint8_t* line, int px0, unsigned bits, uint64_t fill, uint8_t colour)
{
    if (px0 >= 0 && px0 + 8 <= SCREEN_WIDTH) {
        const uint64_t mask = kByteMasks[bits];
        uint64_t pixels;
        std::memcpy(&pixels, line + px0, sizeof pixels);
        pixels = (pixels & ~mask) | (fill & mask);
        std::memcpy(line + px0, &pixels, sizeof pixels);
        return;
    }
    while (bits != 0) {  // only the set bits, leftmost first
        const int bit = std::countl_zero(static_cast<uint8_t>(bits));
        bits &= ~(0x80u >> bit);
        const auto px = static_cast<uint16_t>(px0 + bit);
        if (px < SCREEN_WIDTH) line[px] = colour;
    }
}

// A glyph's rows that lie on the screen (y within the 16-bit range, so no row wraps round).
void drawGlyphRows(const Glyph& g, int rowBytes, int height, int x0, int y, uint8_t colour)
{
    const uint64_t fill = 0x0101010101010101ull * colour;
    const int first = y < 0 ? -y : 0;
    const int end = std::min(height, SCREEN_HEIGHT - y);
    const uint8_t* row = g.bits + first * rowBytes;
    uint8_t* line = framebuffer + SCREEN_WIDTH * (y + first);
    if (x0 >= 0 && x0 + 8 * rowBytes <= SCREEN_WIDTH) {
        // Every byte of the glyph on the screen: eight pixels a store.
        line += x0;
        for (int j = first; j < end; ++j, row += rowBytes, line += SCREEN_WIDTH)
            for (int byte = 0; byte < rowBytes; ++byte) {
                if (row[byte] == 0) continue;
                const uint64_t mask = kByteMasks[row[byte]];
                uint64_t pixels;
                std::memcpy(&pixels, line + 8 * byte, sizeof pixels);
                pixels = (pixels & ~mask) | (fill & mask);
                std::memcpy(line + 8 * byte, &pixels, sizeof pixels);
            }
        return;
    }
    for (int j = first; j < end; ++j, row += rowBytes, line += SCREEN_WIDTH)
        for (int byte = 0; byte < rowBytes; ++byte)
            if (row[byte] != 0) drawGlyphByte(line, x0 + 8 * byte, row[byte], fill, colour);
}

// Any glyph: rows off the screen are skipped whole; columns are clipped one by one.
void drawGlyphClipped(const Glyph& g, int rowBytes, int height, int x0, int y, uint8_t colour)
{
    const uint8_t* row = g.bits;
    for (int j = 0; j < height; ++j, row += rowBytes) {
        const auto py = static_cast<uint16_t>(y + j);
        if (py >= SCREEN_HEIGHT) continue;
        uint8_t* line = framebuffer + SCREEN_WIDTH * py;
        for (int byte = 0; byte < rowBytes; ++byte) {
            // Only the set bits, leftmost first.
            for (unsigned bits = row[byte]; bits != 0;) {
                const int bit = std::countl_zero(static_cast<uint8_t>(bits));
                bits &= ~(0x80u >> bit);
                const auto px = static_cast<uint16_t>(x0 + 8 * byte + bit);
                if (px < SCREEN_WIDTH) line[px] = colour;
            }
        }
    }
}

}  // namespace

const uint8_t* fontBlock(uint8_t fontId)
{
    switch (fontId) {
    case 8: return fontBlock8;
    case 9: return fontBlock9;
    case 10: return fontBlock10;
    case 12: return fontBlock12;
    case 16: return fontBlock16;
    case 20: return fontBlock20;
    default: return nullptr;
    }
}

namespace {

const Advances& advanceTable(const uint8_t* block)
{
    static const Advances tables[] = {advancesOf(fontBlock(8)),  advancesOf(fontBlock(9)),  advancesOf(fontBlock(10)),
                                      advancesOf(fontBlock(12)), advancesOf(fontBlock(16)), advancesOf(fontBlock(20))};
    static const uint8_t* const blocks[] = {fontBlock(8),  fontBlock(9),  fontBlock(10),
                                            fontBlock(12), fontBlock(16), fontBlock(20)};
    for (size_t i = 0; i + 1 < std::size(blocks); ++i)
        if (blocks[i] == block) return tables[i];
    return tables[std::size(blocks) - 1];
}

}  // namespace

int glyphWidth(uint8_t fontId, uint8_t code)
{
    const uint8_t* block = fontBlock(fontId);
    return block ? glyphOf(block, code).width : 0;
}

int textAdvance(const char* text, uint8_t fontId)
{
    const uint8_t* block = fontBlock(fontId);
    return block && text ? advanceOf(block, text) : 0;
}

int drawText(int x, int y, const char* text, uint8_t fontId, uint8_t align, uint8_t colour)
{
    const uint8_t* block = fontBlock(fontId);
    if (!block) block = fontBlock(8);  // unknown ids fall back to the label font
    const int height = block[7];
    if (!text) text = "";
    // Left-aligned text needs no measuring first.
    const uint16_t total = align == AlignLeft ? 0 : advanceOf(block, text);
    int16_t x0;
    if (align == AlignLeft) x0 = static_cast<int16_t>(x);
    else if (align == AlignRight) x0 = static_cast<int16_t>(x - total);
    else x0 = static_cast<int16_t>(x - (total >> 1));
    lastTextStartX = x0;
    if (!displayDrawing) {  // measured only
        lastTextEndX = static_cast<int16_t>(x0 + (align == AlignLeft ? advanceOf(block, text) : total));
        return lastTextEndX;
    }
    for (const char* c = text; *c; ++c) {
        const Glyph g = glyphOf(block, static_cast<uint8_t>(*c));
        if (!g.bits) continue;  // a code outside the font is skipped
        const int rowBytes = (g.width + 7) / 8;
        if (y > -30000 && y < 30000)
            drawGlyphRows(g, rowBytes, height, x0, y, colour);
        else
            drawGlyphClipped(g, rowBytes, height, x0, y, colour);
        x0 = static_cast<int16_t>(x0 + g.width + 1);
    }
    lastTextEndX = x0;
    return x0;
}

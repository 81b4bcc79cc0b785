// drawText over the font blocks generated into data/fonts/fonts.inc.
#include "display/text.h"

#include <bit>

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

uint16_t advanceOf(const uint8_t* block, const char* text)
{
    uint16_t total = 0;
    for (const char* c = text; *c; ++c) {
        const Glyph g = glyphOf(block, static_cast<uint8_t>(*c));
        if (g.bits) total = static_cast<uint16_t>(total + g.width + 1);
    }
    return total;
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
    const uint16_t total = advanceOf(block, text);
    int16_t x0;
    if (align == AlignLeft) x0 = static_cast<int16_t>(x);
    else if (align == AlignRight) x0 = static_cast<int16_t>(x - total);
    else x0 = static_cast<int16_t>(x - (total >> 1));
    lastTextStartX = x0;
    for (const char* c = text; *c; ++c) {
        const Glyph g = glyphOf(block, static_cast<uint8_t>(*c));
        if (!g.bits) continue;  // a code outside the font is skipped
        const int rowBytes = (g.width + 7) / 8;
        const uint8_t* row = g.bits;
        // Glyph rows off the screen are skipped whole; columns are clipped one by one.
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
        x0 = static_cast<int16_t>(x0 + g.width + 1);
    }
    lastTextEndX = x0;
    return x0;
}

// The six bitmap fonts in data/fonts/fonts.inc: the fixed widths the screen layouts depend on, the
// block layout the text drawing reads, and glyph sanity (blank where blank, ink where ink, padding
// clear, digits and capitals on one baseline).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "display/text.h"
#include "test_support.h"

namespace {
#include "fonts/fonts.inc"

struct FontCase {
    uint8_t id;
    const uint8_t* data;  // the committed block, to know its size
    size_t size;
    int rows;
    int firstCode, lastCode;
    std::vector<int> widths;  // codes 32..127
};

const FontCase kFonts[] = {
    {8, fontBlock8, sizeof fontBlock8, 16, 0, 255,
     {4, 4, 6, 7, 8, 10, 10, 3, 4, 4, 5, 8, 4, 4, 4, 4, 8, 7, 8, 8, 8, 8, 8, 8, 8, 8, 4, 4,
      8, 8, 8, 8, 14, 9, 10, 10, 10, 9, 9, 10, 9, 4, 8, 10, 9, 11, 10, 10, 8, 11, 10, 9, 8, 9,
      9, 13, 9, 8, 9, 4, 4, 4, 8, 8, 4, 9, 8, 7, 9, 9, 6, 8, 9, 4, 4, 7, 4, 11, 9, 8, 8, 9,
      7, 8, 5, 8, 7, 11, 8, 7, 7, 5, 3, 5, 8, 10}},
    {9, fontBlock9, sizeof fontBlock9, 19, 32, 127,
     {4, 4, 8, 9, 9, 16, 12, 4, 5, 5, 6, 9, 4, 5, 4, 4, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 6, 6,
      9, 9, 9, 10, 16, 11, 12, 12, 12, 11, 10, 12, 12, 4, 9, 12, 10, 13, 12, 12, 11, 12, 12, 11,
      10, 12, 11, 15, 11, 10, 9, 5, 4, 5, 9, 9, 5, 9, 10, 9, 10, 9, 5, 10, 10, 4, 4, 9, 4, 14,
      10, 10, 10, 10, 6, 9, 5, 10, 9, 13, 9, 9, 9, 6, 4, 6, 9, 12}},
    {10, fontBlock10, sizeof fontBlock10, 21, 0, 255,
     {5, 5, 9, 11, 11, 17, 14, 5, 6, 6, 7, 11, 5, 6, 5, 5, 11, 11, 11, 11, 11, 11, 11, 11, 11,
      11, 7, 7, 11, 11, 11, 12, 19, 13, 14, 14, 14, 13, 12, 15, 13, 5, 11, 14, 12, 17, 13, 15,
      13, 15, 13, 13, 13, 13, 13, 17, 13, 13, 11, 6, 5, 6, 11, 11, 6, 11, 12, 11, 12, 11, 6, 12,
      12, 5, 5, 11, 5, 17, 12, 12, 12, 12, 8, 11, 6, 12, 11, 15, 11, 11, 10, 7, 4, 7, 11, 14}},
    {12, fontBlock12, sizeof fontBlock12, 24, 32, 127,
     {6, 7, 10, 12, 12, 17, 15, 5, 7, 7, 8, 12, 6, 7, 6, 6, 12, 12, 12, 12, 12, 12, 12, 12, 12,
      12, 7, 7, 12, 12, 12, 13, 20, 15, 15, 15, 15, 14, 13, 16, 14, 5, 12, 15, 13, 17, 14, 16,
      14, 16, 15, 14, 13, 14, 13, 21, 14, 13, 12, 7, 6, 7, 12, 12, 7, 12, 13, 12, 13, 12, 7, 13,
      13, 5, 5, 12, 5, 19, 13, 13, 13, 13, 8, 12, 7, 13, 13, 15, 12, 11, 11, 8, 6, 8, 12, 16}},
    {16, fontBlock16, sizeof fontBlock16, 33, 32, 127,
     {8, 8, 13, 16, 16, 25, 20, 7, 9, 9, 11, 16, 8, 9, 8, 8, 16, 16, 16, 16, 16, 16, 16, 16, 16,
      16, 10, 10, 16, 16, 16, 17, 27, 19, 19, 20, 20, 19, 17, 22, 20, 8, 15, 20, 17, 25, 20, 21,
      18, 21, 20, 19, 18, 20, 19, 27, 19, 18, 17, 9, 8, 9, 16, 16, 9, 16, 17, 16, 17, 16, 9, 17,
      17, 8, 8, 16, 8, 26, 17, 17, 17, 17, 11, 15, 9, 17, 15, 23, 16, 16, 14, 11, 7, 11, 16, 21}},
    {20, fontBlock20, sizeof fontBlock20, 41, 32, 127,
     {10, 11, 17, 19, 19, 31, 25, 8, 12, 12, 14, 20, 10, 12, 10, 10, 19, 19, 19, 19, 19, 19, 19,
      19, 19, 19, 11, 11, 20, 20, 20, 21, 34, 23, 24, 25, 25, 23, 21, 27, 25, 9, 19, 25, 21, 29,
      25, 26, 23, 27, 25, 23, 21, 25, 23, 33, 23, 23, 21, 12, 10, 12, 20, 19, 12, 19, 21, 19, 21,
      19, 12, 21, 20, 9, 10, 19, 9, 31, 20, 21, 21, 21, 14, 19, 12, 20, 19, 29, 19, 20, 18, 14,
      10, 14, 20, 26}},
};

unsigned read16(const uint8_t* p) { return p[0] | (p[1] << 8); }

// One glyph as the block describes it.
struct Glyph {
    size_t offset;
    int width;
    const uint8_t* bits;
    int rowBytes() const { return (width + 7) / 8; }
    size_t size(int rows) const { return static_cast<size_t>(rowBytes()) * rows; }
};

Glyph glyphOf(const FontCase& f, int code)
{
    const uint8_t* e = f.data + 8 + 4 * (code - f.firstCode);
    const size_t offset = (size_t{e[0]} << 16) | e[2] | (size_t{e[3]} << 8);
    return {offset, e[1], f.data + offset};
}

bool pixel(const Glyph& g, int x, int y)
{
    return (g.bits[y * g.rowBytes() + x / 8] & (0x80 >> (x % 8))) != 0;
}

int inkCount(const FontCase& f, int code)
{
    const Glyph g = glyphOf(f, code);
    int n = 0;
    for (int y = 0; y < f.rows; ++y)
        for (int x = 0; x < g.width; ++x) n += pixel(g, x, y);
    return n;
}

// First and last row with ink.
std::pair<int, int> inkRows(const FontCase& f, int code)
{
    const Glyph g = glyphOf(f, code);
    int top = -1, bottom = -1;
    for (int y = 0; y < f.rows; ++y)
        for (int x = 0; x < g.width; ++x)
            if (pixel(g, x, y)) {
                if (top < 0) top = y;
                bottom = y;
            }
    return {top, bottom};
}

TEST(Fonts, TextDrawingServesTheCommittedBlocks)
{
    for (const FontCase& f : kFonts) {
        ASSERT_NE(fontBlock(f.id), nullptr) << int(f.id);
        EXPECT_EQ(std::memcmp(fontBlock(f.id), f.data, f.size), 0) << "font " << int(f.id);
    }
    EXPECT_EQ(fontBlock(11), nullptr);
}

TEST(Fonts, HeaderNamesTheCodeRangeAndRows)
{
    for (const FontCase& f : kFonts) {
        SCOPED_TRACE("font " + std::to_string(f.id));
        EXPECT_EQ(read16(f.data), 0u);
        EXPECT_EQ(read16(f.data + 2), unsigned(f.firstCode));
        EXPECT_EQ(read16(f.data + 4), unsigned(f.lastCode));
        EXPECT_EQ(f.data[6], 0);
        EXPECT_EQ(f.data[7], f.rows);
    }
}

TEST(Fonts, WidthsOfCodes32To127AreTheFixedOnes)
{
    for (const FontCase& f : kFonts)
        for (int code = 32; code <= 127; ++code)
            EXPECT_EQ(glyphWidth(f.id, static_cast<uint8_t>(code)), f.widths[static_cast<size_t>(code - 32)])
                << "font " << int(f.id) << " code " << code;
}

TEST(Fonts, SymbolCodesAndTheDegreeSignHaveTheirFixedWidths)
{
    for (int code = 0; code < 32; ++code) {
        EXPECT_EQ(glyphWidth(8, static_cast<uint8_t>(code)), 10) << code;
        EXPECT_EQ(glyphWidth(10, static_cast<uint8_t>(code)), 14) << code;
    }
    EXPECT_EQ(glyphWidth(8, 176), 5);
    EXPECT_EQ(glyphWidth(10, 176), 8);
    for (uint8_t id : {9, 12, 16, 20}) {
        EXPECT_EQ(glyphWidth(id, 176), 0) << int(id);  // beyond these fonts' last code
        EXPECT_EQ(glyphWidth(id, 31), 0) << int(id);
    }
}

TEST(Fonts, EveryCodeAbove127HasAUsableWidth)
{
    for (const FontCase& f : kFonts) {
        if (f.lastCode < 255) continue;
        for (int code = 128; code <= 255; ++code) {
            const int w = glyphWidth(f.id, static_cast<uint8_t>(code));
            EXPECT_GE(w, 2) << "font " << int(f.id) << " code " << code;
            EXPECT_LE(w, 2 * glyphWidth(f.id, 'W')) << "font " << int(f.id) << " code " << code;
        }
        // Accented letters line up with their plain letters.
        EXPECT_EQ(glyphWidth(f.id, 196), glyphWidth(f.id, 'A'));
        EXPECT_EQ(glyphWidth(f.id, 233), glyphWidth(f.id, 'e'));
        EXPECT_EQ(glyphWidth(f.id, 220), glyphWidth(f.id, 'U'));
        EXPECT_EQ(glyphWidth(f.id, 128), glyphWidth(f.id, '0'));  // euro, like the digits
    }
}

TEST(Fonts, GlyphsFollowOneAnotherInCodeOrderAndFillTheBlock)
{
    for (const FontCase& f : kFonts) {
        SCOPED_TRACE("font " + std::to_string(f.id));
        size_t expected = 8 + 4 * static_cast<size_t>(f.lastCode - f.firstCode + 1);
        for (int code = f.firstCode; code <= f.lastCode; ++code) {
            const Glyph g = glyphOf(f, code);
            ASSERT_EQ(g.offset, expected) << "code " << code;
            ASSERT_LE(g.offset + g.size(f.rows), f.size) << "code " << code;
            expected += g.size(f.rows);
        }
        EXPECT_EQ(expected, f.size);
    }
}

TEST(Fonts, BitsBeyondTheWidthAreClear)
{
    for (const FontCase& f : kFonts)
        for (int code = f.firstCode; code <= f.lastCode; ++code) {
            const Glyph g = glyphOf(f, code);
            if (g.width % 8 == 0) continue;
            const uint8_t unused = static_cast<uint8_t>(0xFF >> (g.width % 8));
            for (int y = 0; y < f.rows; ++y)
                EXPECT_EQ(g.bits[y * g.rowBytes() + g.rowBytes() - 1] & unused, 0)
                    << "font " << int(f.id) << " code " << code << " row " << y;
        }
}

TEST(Fonts, BlankCodesAreBlankAndAllOthersHaveInk)
{
    const std::vector<int> blank = {0, 9, 10, 13, 28, 29, 30, 31, 32, 129, 141, 143, 144, 157, 160};
    for (const FontCase& f : kFonts)
        for (int code = f.firstCode; code <= f.lastCode; ++code) {
            if (std::find(blank.begin(), blank.end(), code) != blank.end())
                EXPECT_EQ(inkCount(f, code), 0) << "font " << int(f.id) << " code " << code;
            else
                EXPECT_GT(inkCount(f, code), 0) << "font " << int(f.id) << " code " << code;
        }
}

TEST(Fonts, DigitsAndCapitalsShareOneBaselineAndHeightThatFillTheRows)
{
    for (const FontCase& f : kFonts) {
        SCOPED_TRACE("font " + std::to_string(f.id));
        const auto [top, bottom] = inkRows(f, 'H');
        for (int code : std::string("0123456789EHIKLMNTXZ")) EXPECT_EQ(inkRows(f, code), inkRows(f, 'H')) << char(code);
        const int capHeight = bottom - top + 1;
        EXPECT_GE(capHeight * 100, 60 * f.rows);
        EXPECT_LE(capHeight * 100, 70 * f.rows);
        // Descenders stay inside the rows, with the lower-case letters on the same baseline.
        EXPECT_EQ(inkRows(f, 'x').second, bottom);
        EXPECT_GT(inkRows(f, 'g').second, bottom);
        EXPECT_LT(inkRows(f, 'g').second, f.rows);
    }
}

TEST(Fonts, TextAdvancesByEachWidthPlusOneBlankColumn)
{
    clearScreen();
    EXPECT_EQ(textAdvance("2450", 8), 4 * (8 + 1));
    EXPECT_EQ(textAdvance("EXIT", 8), 9 + 9 + 4 + 8 + 4);
    EXPECT_EQ(textAdvance("2450", 20), 4 * (19 + 1));
    // Drawn glyphs land exactly where the block puts their bits.
    const FontCase& f = kFonts[0];
    const int end = drawText(100, 50, "14.2", 8, AlignLeft, COLOUR_WHITE);
    EXPECT_EQ(end, 100 + textAdvance("14.2", 8));
    std::set<Point> want;
    int x = 100;
    for (char c : std::string("14.2")) {
        const Glyph g = glyphOf(f, c);
        for (int y = 0; y < f.rows; ++y)
            for (int i = 0; i < g.width; ++i)
                if (pixel(g, i, y)) want.insert({x + i, 50 + y});
        x += g.width + 1;
    }
    EXPECT_EQ(litPixels(), want);
}

}  // namespace

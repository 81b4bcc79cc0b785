// fontgen: renders an outline font with FreeType into the six bitmap text fonts of the display
// (ids 8, 9, 10, 12, 16 and 20) and writes them as C++ byte arrays to one include file.
//
//   corvex-fontgen FONT_FILE OUTPUT_FILE [--report]
//
// The output depends only on the font file and the FreeType version, never on the time or the
// output path, so running it twice gives byte-identical files.
//
// Block layout (little-endian): u16 0, u16 firstCode, u16 lastCode, u8 0, u8 glyphHeight, then one
// 4-byte entry per code (offset bits 16-23, width, offset bits 0-7, offset bits 8-15; offsets from
// the block start), then the glyph bitmaps: glyphHeight rows of ceil(width/8) bytes, MSB leftmost.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "storage/storage.h"

namespace {

// ---------------------------------------------------------------------------------------------
// The six fonts. Widths of codes 32..127 are fixed by the screen layouts; the pixel size and the
// baseline are chosen so capitals and digits fill 62-67% of the rows and descenders fit, the
// stem width so the weight looks alike from the smallest font to the largest.

struct FontParams {
    int id;
    int rows;
    int firstCode;
    int lastCode;
    std::array<uint8_t, 96> asciiWidths;  // codes 32..127
    int controlWidth;                     // codes 0..31 (fonts with lastCode 255)
    int degreeWidth;                      // code 176 (fonts with lastCode 255)
    double emPx;                          // em size in pixels
    int baseline;                         // rows above the baseline
    int stem;                             // width of the vertical stems in pixels
    int margin;                           // columns a glyph leaves blank inside its width
    double maxStretch;                    // widest horizontal scale used to fill a width
};

const FontParams kFonts[] = {
    {8, 16, 0, 255,
     {4, 4, 6, 7, 8, 10, 10, 3, 4, 4, 5, 8, 4, 4, 4, 4, 8, 7, 8, 8, 8, 8, 8, 8, 8, 8, 4, 4,
      8, 8, 8, 8, 14, 9, 10, 10, 10, 9, 9, 10, 9, 4, 8, 10, 9, 11, 10, 10, 8, 11, 10, 9, 8, 9,
      9, 13, 9, 8, 9, 4, 4, 4, 8, 8, 4, 9, 8, 7, 9, 9, 6, 8, 9, 4, 4, 7, 4, 11, 9, 8, 8, 9,
      7, 8, 5, 8, 7, 11, 8, 7, 7, 5, 3, 5, 8, 10},
     10, 5, 13.5, 13, 3, 0, 1.25},
    {9, 19, 32, 127,
     {4, 4, 8, 9, 9, 16, 12, 4, 5, 5, 6, 9, 4, 5, 4, 4, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 6, 6,
      9, 9, 9, 10, 16, 11, 12, 12, 12, 11, 10, 12, 12, 4, 9, 12, 10, 13, 12, 12, 11, 12, 12, 11,
      10, 12, 11, 15, 11, 10, 9, 5, 4, 5, 9, 9, 5, 9, 10, 9, 10, 9, 5, 10, 10, 4, 4, 9, 4, 14,
      10, 10, 10, 10, 6, 9, 5, 10, 9, 13, 9, 9, 9, 6, 4, 6, 9, 12},
     0, 0, 16.5, 14, 3, 0, 1.25},
    {10, 21, 0, 255,
     {5, 5, 9, 11, 11, 17, 14, 5, 6, 6, 7, 11, 5, 6, 5, 5, 11, 11, 11, 11, 11, 11, 11, 11, 11,
      11, 7, 7, 11, 11, 11, 12, 19, 13, 14, 14, 14, 13, 12, 15, 13, 5, 11, 14, 12, 17, 13, 15,
      13, 15, 13, 13, 13, 13, 13, 17, 13, 13, 11, 6, 5, 6, 11, 11, 6, 11, 12, 11, 12, 11, 6, 12,
      12, 5, 5, 11, 5, 17, 12, 12, 12, 12, 8, 11, 6, 12, 11, 15, 11, 11, 10, 7, 4, 7, 11, 14},
     14, 8, 19.0, 17, 4, 0, 1.25},
    {12, 24, 32, 127,
     {6, 7, 10, 12, 12, 17, 15, 5, 7, 7, 8, 12, 6, 7, 6, 6, 12, 12, 12, 12, 12, 12, 12, 12, 12,
      12, 7, 7, 12, 12, 12, 13, 20, 15, 15, 15, 15, 14, 13, 16, 14, 5, 12, 15, 13, 17, 14, 16,
      14, 16, 15, 14, 13, 14, 13, 21, 14, 13, 12, 7, 6, 7, 12, 12, 7, 12, 13, 12, 13, 12, 7, 13,
      13, 5, 5, 12, 5, 19, 13, 13, 13, 13, 8, 12, 7, 13, 13, 15, 12, 11, 11, 8, 6, 8, 12, 16},
     0, 0, 21.0, 18, 4, 1, 1.25},
    {16, 33, 32, 127,
     {8, 8, 13, 16, 16, 25, 20, 7, 9, 9, 11, 16, 8, 9, 8, 8, 16, 16, 16, 16, 16, 16, 16, 16, 16,
      16, 10, 10, 16, 16, 16, 17, 27, 19, 19, 20, 20, 19, 17, 22, 20, 8, 15, 20, 17, 25, 20, 21,
      18, 21, 20, 19, 18, 20, 19, 27, 19, 18, 17, 9, 8, 9, 16, 16, 9, 16, 17, 16, 17, 16, 9, 17,
      17, 8, 8, 16, 8, 26, 17, 17, 17, 17, 11, 15, 9, 17, 15, 23, 16, 16, 14, 11, 7, 11, 16, 21},
     0, 0, 29.0, 25, 5, 1, 1.25},
    {20, 41, 32, 127,
     {10, 11, 17, 19, 19, 31, 25, 8, 12, 12, 14, 20, 10, 12, 10, 10, 19, 19, 19, 19, 19, 19, 19,
      19, 19, 19, 11, 11, 20, 20, 20, 21, 34, 23, 24, 25, 25, 23, 21, 27, 25, 9, 19, 25, 21, 29,
      25, 26, 23, 27, 25, 23, 21, 25, 23, 33, 23, 23, 21, 12, 10, 12, 20, 19, 12, 19, 21, 19, 21,
      19, 12, 21, 20, 9, 10, 19, 9, 31, 20, 21, 21, 21, 14, 19, 12, 20, 19, 29, 19, 20, 18, 14,
      10, 14, 20, 26},
     0, 0, 36.0, 31, 6, 2, 1.25},
};

// ---------------------------------------------------------------------------------------------
// What each code shows.

enum class Kind { Blank, Outline, Accented, Box, NotDef };

// Line-drawing pieces: which arms leave the centre.
enum Arm : unsigned { ArmLeft = 1, ArmRight = 2, ArmUp = 4, ArmDown = 8 };

struct CodeInfo {
    Kind kind = Kind::Blank;
    uint32_t unicode = 0;  // Outline; Accented: the letter under the accent
    unsigned arms = 0;     // Box
    char base = 0;         // Accented: the ASCII letter whose glyph and width it takes
    uint32_t accent = 0;   // Accented: the spacing accent put above (or, a cedilla, below)
};

// Windows-1252, codes 128..159 (0 = undefined).
const uint16_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

// The accented letters of Windows-1252 192..255: base letter and accent ('.' = none; accents g
// grave, a acute, c circumflex, t tilde, d diaeresis, r ring, C cedilla).
const char kLatin1Base[] = "AAAAAA.CEEEEIIII.NOOOOO..UUUUY..aaaaaa.ceeeeiiii.nooooo..uuuuy.y";
const char kLatin1Accent[] = "gactdr.Cgacdgacd.tgactd..gacda..gactdr.Cgacdgacd.tgactd..gacda.d";
static_assert(sizeof kLatin1Base == 65 && sizeof kLatin1Accent == 65);

uint32_t accentCodePoint(char a)
{
    switch (a) {
    case 'g': return 0x0060;
    case 'a': return 0x00B4;
    case 'c': return 0x02C6;
    case 't': return 0x02DC;
    case 'd': return 0x00A8;
    case 'r': return 0x02DA;
    case 'C': return 0x00B8;
    case 'v': return 0x02C7;
    default: return 0;
    }
}

CodeInfo accented(char base, char accent)
{
    // The accented i drop the dot: they are built on the dotless i.
    const uint32_t letter = base == 'i' ? 0x0131 : static_cast<uint32_t>(base);
    return {Kind::Accented, letter, 0, base, accentCodePoint(accent)};
}

// Codes above 127 as wide as an ASCII sign: currency signs like the digits, so amounts line up,
// arithmetic signs like the plus sign, and a few letters like their ASCII look-alike.
char widthLike(int code)
{
    switch (code) {
    case 128: case 162: case 163: case 164: case 165: return '0';  // euro, cent, pound, currency, yen
    case 172: case 177: case 215: case 247: return '+';            // not, plus-minus, times, divide
    case 160: return ' ';                                          // no-break space
    case 173: return '-';                                          // soft hyphen
    case 130: return ',';                                          // low single quote
    case 181: return 'u';                                          // micro
    case 216: return 'O';
    case 248: return 'o';
    default: return 0;
    }
}

// Letters and digits, ASCII and Windows-1252.
bool isLetter(int code)
{
    if (code < 128) return std::isalnum(code) != 0;
    if (code >= 192) return code != 215 && code != 247;  // not the multiplication and division signs
    switch (code) {
    case 131: case 138: case 140: case 142: case 154: case 156: case 158: case 159:
    case 170: case 181: case 186:
        return true;
    default:
        return false;
    }
}

CodeInfo codeInfo(int code)
{
    CodeInfo info;
    if (code < 32) {
        // Symbols: line-drawing corners and crossings, a bullet, triangles, arrows, a tick, a
        // filled square. 0, 9, 10, 13 and 28..31 stay blank.
        switch (code) {
        case 1: info = {Kind::Box, 0, ArmRight | ArmDown, 0, 0}; break;           // corner, top left
        case 2: info = {Kind::Box, 0, ArmLeft | ArmDown, 0, 0}; break;            // corner, top right
        case 3: info = {Kind::Box, 0, ArmRight | ArmUp, 0, 0}; break;             // corner, bottom left
        case 4: info = {Kind::Box, 0, ArmLeft | ArmUp, 0, 0}; break;              // corner, bottom right
        case 5: info = {Kind::Box, 0, ArmLeft | ArmRight, 0, 0}; break;           // horizontal line
        case 6: info = {Kind::Box, 0, ArmUp | ArmDown, 0, 0}; break;              // vertical line
        case 7: info = {Kind::Box, 0, ArmLeft | ArmRight | ArmUp | ArmDown, 0, 0}; break;  // crossing
        case 8: info = {Kind::Box, 0, ArmRight | ArmUp | ArmDown, 0, 0}; break;   // tee, opens right
        case 11: info = {Kind::Box, 0, ArmLeft | ArmUp | ArmDown, 0, 0}; break;   // tee, opens left
        case 12: info = {Kind::Box, 0, ArmLeft | ArmRight | ArmDown, 0, 0}; break;  // tee, opens down
        case 14: info = {Kind::Box, 0, ArmLeft | ArmRight | ArmUp, 0, 0}; break;    // tee, opens up
        case 15: info = {Kind::Outline, 0x2022, 0, 0, 0}; break;  // bullet
        case 16: info = {Kind::Outline, 0x25B6, 0, 0, 0}; break;  // triangle pointing right
        case 17: info = {Kind::Outline, 0x25C0, 0, 0, 0}; break;  // triangle pointing left
        case 18: info = {Kind::Outline, 0x25B2, 0, 0, 0}; break;  // triangle pointing up
        case 19: info = {Kind::Outline, 0x25BC, 0, 0, 0}; break;  // triangle pointing down
        case 20: info = {Kind::Outline, 0x2192, 0, 0, 0}; break;  // arrow right
        case 21: info = {Kind::Outline, 0x2190, 0, 0, 0}; break;  // arrow left
        case 22: info = {Kind::Outline, 0x2191, 0, 0, 0}; break;  // arrow up
        case 23: info = {Kind::Outline, 0x2193, 0, 0, 0}; break;  // arrow down
        case 24: info = {Kind::Outline, 0x2195, 0, 0, 0}; break;  // arrow up and down
        case 25: info = {Kind::Outline, 0x2194, 0, 0, 0}; break;  // arrow left and right
        case 26: info = {Kind::Outline, 0x2713, 0, 0, 0}; break;  // tick
        case 27: info = {Kind::Outline, 0x25A0, 0, 0, 0}; break;  // filled square
        default: break;
        }
        return info;
    }
    if (code == 32 || code == 160) return info;  // space, no-break space
    if (code == 127) return {Kind::NotDef, 0, 0, 0, 0};
    if (code < 127) return {Kind::Outline, static_cast<uint32_t>(code), 0, 0, 0};
    if (code < 160) {
        const uint16_t u = kCp1252High[code - 128];
        if (!u) return info;
        switch (code) {
        case 138: return accented('S', 'v');
        case 142: return accented('Z', 'v');
        case 154: return accented('s', 'v');
        case 158: return accented('z', 'v');
        case 159: return accented('Y', 'd');
        default: return {Kind::Outline, u, 0, 0, 0};
        }
    }
    if (code == 173) return {Kind::Outline, '-', 0, 0, 0};  // soft hyphen shows as a hyphen
    if (code >= 192 && kLatin1Base[code - 192] != '.')
        return accented(kLatin1Base[code - 192], kLatin1Accent[code - 192]);
    return {Kind::Outline, static_cast<uint32_t>(code), 0, 0, 0};
}

// ---------------------------------------------------------------------------------------------
// Rendering.
//
// Glyphs are loaded with light hinting, which snaps heights (baseline, x-height, cap height) and
// horizontal bars to whole pixels but leaves the horizontal direction unhinted. That lets a glyph
// be scaled horizontally to its fixed width without the hinter changing its shape, and lets the
// vertical stems be emboldened by an exact fraction of a pixel so that every stem of the font
// comes out the same whole number of pixels. The glyph is then shifted by the fraction of a pixel
// that leaves the fewest part-covered pixels and thresholded at 50% coverage.

// A rendered glyph cut to its ink: w x h pixels, left = x of the first column from the pen
// position, top = rows of the first row above the baseline.
struct Ink {
    int w = 0, h = 0, left = 0, top = 0;
    int advance = 0;  // advance in whole pixels
    std::vector<uint8_t> px;
    bool at(int x, int y) const { return px[static_cast<size_t>(y) * w + x] != 0; }
    void eraseRow(int y)
    {
        px.erase(px.begin() + static_cast<ptrdiff_t>(y) * w, px.begin() + static_cast<ptrdiff_t>(y + 1) * w);
        --h;
    }
};

class Renderer {
public:
    explicit Renderer(const char* path)
    {
        if (FT_Init_FreeType(&library_)) fail("cannot start FreeType");
        if (FT_New_Face(library_, path, 0, &face_)) fail(std::string("cannot open font ") + path);
    }
    ~Renderer()
    {
        if (face_) FT_Done_Face(face_);
        if (library_) FT_Done_FreeType(library_);
    }
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    FT_Face face() const { return face_; }

    // Width of a glyph's outline in ems (unscaled, unhinted).
    double outlineWidthEm(uint32_t unicode) const
    {
        if (FT_Load_Char(face_, unicode, FT_LOAD_NO_SCALE)) fail("cannot load U+" + hex(unicode));
        FT_BBox box;
        FT_Outline_Get_CBox(&face_->glyph->outline, &box);
        return double(box.xMax - box.xMin) / face_->units_per_EM;
    }

    // Renders a glyph (by code point, or the font's missing-glyph box when unicode is 0) at an
    // em of xPx by yPx pixels, its vertical stems made `bolder` pixels wider (narrower when
    // negative). Of the eight horizontal phases the one with the fewest part-covered pixels wins.
    // A glyph that is symmetric left to right is centred on a pixel edge or a pixel centre and
    // each pixel given the mean coverage of itself and its mirror image, so it stays symmetric.
    Ink render(uint32_t unicode, double xPx, double yPx, double bolder) const
    {
        const FT_UInt index = glyphIndex(unicode);
        const bool symmetric = isSymmetric(index);
        if (FT_Set_Char_Size(face_, std::lround(xPx * 64), std::lround(yPx * 64), 72, 72))
            fail("cannot set the size");
        Ink best;
        long bestFuzz = -1;
        for (int phase = 0; phase < 64; phase += symmetric ? 32 : 8) {
            if (FT_Load_Glyph(face_, index, FT_LOAD_TARGET_LIGHT)) fail("cannot load U+" + hex(unicode));
            const FT_GlyphSlot slot = face_->glyph;
            if (bolder != 0) FT_Outline_EmboldenXY(&slot->outline, std::lround(64 * bolder), 0);
            FT_BBox box;
            FT_Outline_Get_CBox(&slot->outline, &box);
            const long centre = (box.xMin + box.xMax) >> 1;  // 1/64 px, rounded down
            // Shift by the phase, or for a symmetric glyph so its centre lands on the phase (a
            // pixel edge or a pixel centre).
            const long shift = symmetric ? ((phase - centre) % 64 + 64) % 64 : phase;
            FT_Outline_Translate(&slot->outline, shift, 0);
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL)) fail("cannot render U+" + hex(unicode));
            // Twice the mirror axis in bitmap columns: column x pairs with axis2 - 1 - x.
            const long axis2 = symmetric ? (centre + shift) / 32 - 2L * slot->bitmap_left : -1;
            long fuzz = 0;
            Ink ink = threshold(slot, axis2, fuzz);
            if (bestFuzz < 0 || fuzz < bestFuzz) {
                bestFuzz = fuzz;
                best = trim(ink);
            }
        }
        return best;
    }

    [[noreturn]] static void fail(const std::string& message)
    {
        std::cerr << "fontgen: " << message << "\n";
        std::exit(1);
    }

    static std::string hex(uint32_t u)
    {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(u));
        return buf;
    }

private:
    FT_UInt glyphIndex(uint32_t unicode) const
    {
        const FT_UInt index = unicode ? FT_Get_Char_Index(face_, unicode) : 0;
        if (unicode && !index) fail("the font has no glyph for U+" + hex(unicode));
        return index;
    }

    // The rendered coverage cut at 50%, averaged with the mirror image about axis2 / 2 when
    // axis2 is not negative; adds up how far the coverage is from all-or-nothing in fuzz.
    static Ink threshold(const FT_GlyphSlot slot, long axis2, long& fuzz)
    {
        const FT_Bitmap& bm = slot->bitmap;
        Ink ink;
        ink.w = static_cast<int>(bm.width);
        ink.h = static_cast<int>(bm.rows);
        ink.left = slot->bitmap_left;
        ink.top = slot->bitmap_top;
        ink.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        ink.px.assign(static_cast<size_t>(ink.w) * ink.h, 0);
        auto coverage = [&](long x, int y) {
            return x < 0 || x >= ink.w ? 0 : bm.buffer[static_cast<ptrdiff_t>(y) * bm.pitch + x];
        };
        for (int y = 0; y < ink.h; ++y)
            for (int x = 0; x < ink.w; ++x) {
                const int v = axis2 < 0 ? coverage(x, y) : (coverage(x, y) + coverage(axis2 - 1 - x, y) + 1) / 2;
                fuzz += std::min(v, 255 - v);
                ink.px[static_cast<size_t>(y) * ink.w + x] = v >= 128;
            }
        // A pixel without any neighbour is a stray dot where an edge just reached half a pixel.
        std::vector<uint8_t> kept = ink.px;
        for (int y = 0; y < ink.h; ++y)
            for (int x = 0; x < ink.w; ++x) {
                if (!ink.at(x, y)) continue;
                bool alone = true;
                for (int j = std::max(0, y - 1); j <= std::min(ink.h - 1, y + 1); ++j)
                    for (int i = std::max(0, x - 1); i <= std::min(ink.w - 1, x + 1); ++i)
                        if ((i != x || j != y) && ink.at(i, j)) alone = false;
                if (alone) kept[static_cast<size_t>(y) * ink.w + x] = 0;
            }
        ink.px = std::move(kept);
        return ink;
    }

    // Pixels that differ from their mirror image.
    static int asymmetry(const Ink& ink)
    {
        int n = 0;
        for (int y = 0; y < ink.h; ++y)
            for (int x = 0; x < ink.w / 2; ++x) n += ink.at(x, y) != ink.at(ink.w - 1 - x, y);
        return n;
    }

    // Whether a glyph's outline is (nearly) the same mirrored, judged from a large rendering.
    // Changes the size: call before setting it.
    bool isSymmetric(FT_UInt index) const
    {
        const auto known = symmetric_.find(index);
        if (known != symmetric_.end()) return known->second;
        if (FT_Set_Pixel_Sizes(face_, 0, 200)) fail("cannot set the size");
        if (FT_Load_Glyph(face_, index, FT_LOAD_NO_HINTING | FT_LOAD_RENDER)) fail("cannot load a glyph");
        long fuzz = 0;
        const Ink big = trim(threshold(face_->glyph, -1, fuzz));
        int ink = 0;
        for (uint8_t p : big.px) ink += p;
        const bool result = ink > 0 && asymmetry(big) <= ink / 25;  // n and u are 6% off
        symmetric_[index] = result;
        return result;
    }

    // Cuts empty rows and columns off all four sides.
    static Ink trim(const Ink& in)
    {
        int x0 = in.w, x1 = -1, y0 = in.h, y1 = -1;
        for (int y = 0; y < in.h; ++y)
            for (int x = 0; x < in.w; ++x)
                if (in.at(x, y)) {
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x);
                    y0 = std::min(y0, y);
                    y1 = std::max(y1, y);
                }
        Ink out;
        out.advance = in.advance;
        out.left = in.left;
        if (x1 < 0) return out;
        out.w = x1 - x0 + 1;
        out.h = y1 - y0 + 1;
        out.left = in.left + x0;
        out.top = in.top - y0;
        out.px.resize(static_cast<size_t>(out.w) * out.h);
        for (int y = 0; y < out.h; ++y)
            for (int x = 0; x < out.w; ++x) out.px[static_cast<size_t>(y) * out.w + x] = in.at(x0 + x, y0 + y);
        return out;
    }

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    mutable std::map<FT_UInt, bool> symmetric_;
};

// A finished glyph: width x rows pixels.
struct Cell {
    int width = 0;
    std::vector<uint8_t> px;  // rows * width
};

// A horizontal scale (relative to the font's) and the emboldening that keeps the stem weight.
struct Fit {
    double scale = 1.0;
    double bolder = 0;
};

class FontBuilder {
public:
    FontBuilder(const Renderer& r, const FontParams& params, std::ostream* report)
        : r_(r), params_(params), report_(report), xPx_(params.emPx), yPx_(params.emPx),
          stemPx_(r.outlineWidthEm('l') * xPx_)
    {
        // How much tighter the fixed widths are than the outline font's advances (letters and
        // digits), to size the codes above 127 alike.
        double fixed = 0, natural = 0;
        for (int c = '0'; c <= 'z'; ++c)
            if (std::isalnum(c)) {
                fixed += asciiWidth(c) + 1;
                natural += render(static_cast<uint32_t>(c), fitFor(1.0)).advance;
            }
        tightness_ = fixed / natural;
        // One scale for all digits so they look alike.
        for (int c = '0'; c <= '9'; ++c)
            digitScale_ = std::min(digitScale_, fitWidth(static_cast<uint32_t>(c), asciiWidth(c), true).scale);
    }

    std::vector<Cell> build()
    {
        std::vector<Cell> cells;
        for (int code = params_.firstCode; code <= params_.lastCode; ++code) cells.push_back(glyph(code));
        if (report_) {
            const Ink h = render('H', fitFor(1.0)), x = render('x', fitFor(1.0));
            *report_ << "font " << params_.id << ": outline stem " << stemPx_ << " px, drawn " << params_.stem
                     << " px; cap height " << h.h << ", x-height " << x.h << "; digits at "
                     << std::lround(100 * digitScale_) << "%; ink from " << inkTop_ << " rows above to "
                     << inkBottom_ << " below the baseline (room " << params_.baseline << " / "
                     << params_.rows - params_.baseline << ")\n";
        }
        return cells;
    }

private:
    int asciiWidth(int code) const { return params_.asciiWidths[static_cast<size_t>(code - 32)]; }

    // Letters and digits keep their stem weight at any horizontal scale; other signs only get
    // the font's weight change and thin out when squeezed (a squeezed # or % would clog up).
    Fit fitFor(double scale, bool letter = true) const
    {
        return {scale, params_.stem - stemPx_ * (letter ? scale : 1.0)};
    }

    // Accents are drawn a little heavier than the outline, but not as heavy as the stems, which
    // would clog them up.
    Fit accentFit(double scale) const { return {scale, 0.3}; }

    // An accent as ink, squeezed to the cell if need be. The diaeresis is made of two dots like
    // the dot on the i, a pixel less apart than a dot is wide (closer if the cell is narrow).
    Ink accentInk(uint32_t accent, int cellWidth) const
    {
        if (accent != 0x00A8) {
            Ink ink = render(accent, accentFit(1.0));
            for (double s = 0.99; ink.w > cellWidth; s *= 0.99) ink = render(accent, accentFit(s));
            return ink;
        }
        const Ink i = render('i', fitFor(1.0));
        int dotRows = 0;
        while (dotRows < i.h && std::any_of(i.px.begin() + dotRows * i.w, i.px.begin() + (dotRows + 1) * i.w,
                                            [](uint8_t p) { return p != 0; }))
            ++dotRows;
        Ink dot;
        dot.h = dotRows;
        dot.w = i.w;
        dot.px.assign(i.px.begin(), i.px.begin() + dotRows * i.w);
        const int gap = std::clamp(cellWidth - 2 * dot.w, 1, std::max(1, dot.w - 1));
        Ink ink;
        ink.w = 2 * dot.w + gap;
        ink.h = dot.h;
        ink.px.assign(static_cast<size_t>(ink.w) * ink.h, 0);
        for (int y = 0; y < dot.h; ++y)
            for (int x = 0; x < dot.w; ++x)
                if (dot.at(x, y)) {
                    ink.px[static_cast<size_t>(y) * ink.w + x] = 1;
                    ink.px[static_cast<size_t>(y) * ink.w + x + dot.w + gap] = 1;
                }
        return ink;
    }

    Ink render(uint32_t unicode, const Fit& f, double yScale = 1.0) const
    {
        return r_.render(unicode, xPx_ * f.scale, yPx_ * yScale, f.bolder);
    }

    // The widest horizontal scale at which the glyph's ink fits the width less the font's inner
    // margin (or the whole width for a glyph narrower than that anyway, such as I or a full
    // stop). Letters and digits may be stretched up to the font's limit to fill their width;
    // other signs keep their proportions.
    Fit fitWidth(uint32_t unicode, int width, bool letter) const
    {
        const int natural = render(unicode, fitFor(1.0, letter)).w;
        const int target = std::max(width - params_.margin, std::min(width, natural));
        for (double s = letter ? params_.maxStretch : 1.0; s > 0.4; s *= 0.99)
            if (render(unicode, fitFor(s, letter)).w <= target) return fitFor(s, letter);
        Renderer::fail("cannot fit U+" + Renderer::hex(unicode) + " into " + std::to_string(target) + " px");
    }

    // The width a code gets: fixed for 0..127 and the degree sign, else derived.
    int widthOf(int code, const CodeInfo& info) const
    {
        if (code < 32) return params_.controlWidth;
        if (code < 128) return asciiWidth(code);
        if (code == 176) return params_.degreeWidth;
        if (const char like = widthLike(code)) return asciiWidth(like);
        switch (info.kind) {
        case Kind::Blank: return asciiWidth(' ');
        case Kind::Accented:  // as wide as the base letter, or the accent if that is wider
            return std::max(asciiWidth(info.base), accentInk(info.accent, asciiWidth(info.base)).w);
        default: {
            // The outline's advance, as much tighter as the fixed widths are, less the blank
            // column the text drawing adds.
            const Ink ink = render(info.unicode, fitFor(1.0, isLetter(code)));
            return std::max(ink.w, static_cast<int>(std::lround(ink.advance * tightness_)) - 1);
        }
        }
    }

    Cell glyph(int code)
    {
        const CodeInfo info = codeInfo(code);
        Cell cell = blank(widthOf(code, info));
        switch (info.kind) {
        case Kind::Blank: break;
        case Kind::Box: drawBox(cell, info.arms); break;
        case Kind::Outline: place(cell, code, info.unicode); break;
        case Kind::NotDef: place(cell, code, 0); break;
        case Kind::Accented: compose(cell, code, info); break;
        }
        return cell;
    }

    Cell blank(int width) const
    {
        Cell cell;
        cell.width = width;
        cell.px.assign(static_cast<size_t>(width) * params_.rows, 0);
        return cell;
    }

    // Renders a code point into the cell, scaled horizontally to fill it, with the spare columns
    // shared out like the outline's own side bearings.
    void place(Cell& cell, int code, uint32_t unicode)
    {
        const bool digit = code >= '0' && code <= '9';
        const Fit fit = digit ? fitFor(digitScale_) : fitWidth(unicode, cell.width, isLetter(code));
        if (report_ && std::fabs(fit.scale - 1) > 0.001)
            *report_ << "  font " << params_.id << " code " << code << ": horizontal scale "
                     << std::lround(100 * fit.scale) << "%\n";
        const Ink ink = fitRows(render(unicode, fit), code, unicode, fit);
        const Ink plain = render(unicode, {fit.scale, 0});
        const int spare = cell.width - ink.w;
        const int lsb = std::max(0, plain.left), rsb = std::max(0, plain.advance - plain.left - plain.w);
        int x0 = lsb + rsb > 0 ? static_cast<int>(std::lround(double(spare) * lsb / (lsb + rsb))) : spare / 2;
        x0 = std::clamp(x0, 0, std::max(0, spare));
        stamp(cell, ink, x0, params_.baseline - ink.top);
    }

    // An accented letter: the base letter's own glyph with the accent centred over it, one
    // blank row above (a cedilla: right under it).
    void compose(Cell& cell, int code, const CodeInfo& info)
    {
        Cell base = blank(asciiWidth(info.base));
        place(base, info.base, info.unicode);
        const int dx = (cell.width - base.width) / 2;
        int top = params_.rows, left = cell.width, right = -1;
        for (int y = 0; y < params_.rows; ++y)
            for (int x = 0; x < base.width; ++x)
                if (base.px[static_cast<size_t>(y) * base.width + x]) {
                    set(cell, dx + x, y);
                    top = std::min(top, y);
                    left = std::min(left, dx + x);
                    right = std::max(right, dx + x);
                }
        Ink accent = accentInk(info.accent, cell.width);
        const int x0 = (left + right + 1 - accent.w) / 2;
        if (info.accent == 0x00B8) {  // cedilla
            stamp(cell, accent, x0, params_.baseline);
            return;
        }
        // While the accent would leave the top, drop its rows most like their neighbours; a
        // one-row accent that still does not fit closes the blank row.
        int y0 = top - 1 - accent.h;
        while (y0 < 0 && accent.h > 1) {
            int best = 0, bestDiff = accent.w + 1;
            for (int j = 0; j + 1 < accent.h; ++j) {
                int diff = 0;
                for (int i = 0; i < accent.w; ++i) diff += accent.at(i, j) != accent.at(i, j + 1);
                if (diff < bestDiff) best = j, bestDiff = diff;
            }
            accent.eraseRow(best);
            ++y0;
        }
        if (y0 < 0) y0 = 0;
        if (report_ && y0 + accent.h >= top)
            *report_ << "  font " << params_.id << " code " << code << ": accent touches the letter\n";
        stamp(cell, accent, x0, y0);
    }

    void stamp(Cell& cell, const Ink& ink, int x0, int y0) const
    {
        for (int j = 0; j < ink.h; ++j)
            for (int i = 0; i < ink.w; ++i)
                if (ink.at(i, j)) set(cell, x0 + i, y0 + j);
    }

    // Renders a glyph shorter if it would leave the rows.
    Ink fitRows(Ink ink, int code, uint32_t unicode, const Fit& fit) const
    {
        inkTop_ = std::max(inkTop_, ink.top);
        inkBottom_ = std::max(inkBottom_, ink.h - ink.top);
        double shrink = 1.0;
        while (ink.top > params_.baseline || ink.h - ink.top > params_.rows - params_.baseline) {
            shrink *= 0.98;
            ink = render(unicode, fit, shrink);
        }
        if (report_ && shrink != 1.0)
            *report_ << "  font " << params_.id << " code " << code << ": height " << std::lround(100 * shrink) << "%\n";
        return ink;
    }

    void set(Cell& cell, int x, int y) const
    {
        if (x < 0 || x >= cell.width || y < 0 || y >= params_.rows) return;
        cell.px[static_cast<size_t>(y) * cell.width + x] = 1;
    }

    // Line-drawing pieces as heavy as the font's stems and bars, meeting at the cell centre.
    void drawBox(Cell& cell, unsigned arms) const
    {
        const int tv = params_.stem, th = std::max(1, render('-', fitFor(1.0)).h);
        const int cx = (cell.width - tv) / 2, cy = (params_.rows - th) / 2;
        auto fill = [&](int x0, int y0, int x1, int y1) {
            for (int yy = y0; yy < y1; ++yy)
                for (int xx = x0; xx < x1; ++xx) set(cell, xx, yy);
        };
        if (arms & ArmLeft) fill(0, cy, cx + tv, cy + th);
        if (arms & ArmRight) fill(cx, cy, cell.width, cy + th);
        if (arms & ArmUp) fill(cx, 0, cx + tv, cy + th);
        if (arms & ArmDown) fill(cx, cy, cx + tv, params_.rows);
    }

    const Renderer& r_;
    const FontParams& params_;
    std::ostream* report_;
    const double xPx_, yPx_, stemPx_;
    double tightness_ = 1, digitScale_ = 10;
    mutable int inkTop_ = 0, inkBottom_ = 0;  // the most any glyph reaches above and below the baseline
};

// ---------------------------------------------------------------------------------------------
// Encoding and output.

std::vector<uint8_t> encodeBlock(const FontParams& params, const std::vector<Cell>& cells)
{
    std::vector<uint8_t> block(8 + 4 * cells.size(), 0);
    block[2] = static_cast<uint8_t>(params.firstCode & 0xFF);
    block[3] = static_cast<uint8_t>(params.firstCode >> 8);
    block[4] = static_cast<uint8_t>(params.lastCode & 0xFF);
    block[5] = static_cast<uint8_t>(params.lastCode >> 8);
    block[7] = static_cast<uint8_t>(params.rows);
    for (size_t i = 0; i < cells.size(); ++i) {
        const Cell& c = cells[i];
        const size_t offset = block.size();
        if (offset > 0xFFFFFF || c.width > 255) Renderer::fail("font block too large");
        uint8_t* e = &block[8 + 4 * i];
        e[0] = static_cast<uint8_t>(offset >> 16);
        e[1] = static_cast<uint8_t>(c.width);
        e[2] = static_cast<uint8_t>(offset & 0xFF);
        e[3] = static_cast<uint8_t>((offset >> 8) & 0xFF);
        const int rowBytes = (c.width + 7) / 8;
        for (int y = 0; y < params.rows; ++y)
            for (int b = 0; b < rowBytes; ++b) {
                uint8_t byte = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    const int x = 8 * b + bit;
                    if (x < c.width && c.px[static_cast<size_t>(y) * c.width + x]) byte |= 0x80 >> bit;
                }
                block.push_back(byte);
            }
    }
    return block;
}

std::string nameOf(int code)
{
    if (code >= 33 && code <= 126 && code != '\\') return std::string("'") + char(code) + "'";
    if (code == '\\') return "backslash";
    if (code == 32) return "space";
    if (code == 127) return "DEL (box)";
    const CodeInfo info = codeInfo(code);
    if (info.kind == Kind::Box) return "line drawing";
    if (info.kind == Kind::Outline) return "U+" + Renderer::hex(info.unicode);
    return "blank";
}

void writeBytes(std::ostream& out, const uint8_t* p, size_t n)
{
    static const char* digits = "0123456789ABCDEF";
    for (size_t i = 0; i < n; i += 16) {
        out << "   ";
        for (size_t k = i; k < std::min(n, i + 16); ++k)
            out << " 0x" << digits[p[k] >> 4] << digits[p[k] & 15] << ',';
        out << '\n';
    }
}

void writeBlock(std::ostream& out, const FontParams& params, const std::vector<Cell>& cells,
                const std::vector<uint8_t>& block)
{
    out << "\n// Font " << params.id << ": " << params.rows << " rows, codes " << params.firstCode << ".."
        << params.lastCode << ", " << block.size() << " bytes.\n";
    out << "const uint8_t fontBlock" << params.id << "[] = {\n";
    out << "    // header: zero, firstCode, lastCode, unused, glyphHeight\n";
    writeBytes(out, block.data(), 8);
    out << "    // glyph entries: offset bits 16-23, width, offset bits 0-7, offset bits 8-15\n";
    writeBytes(out, block.data() + 8, 4 * cells.size());
    size_t offset = 8 + 4 * cells.size();
    for (size_t i = 0; i < cells.size(); ++i) {
        const int code = params.firstCode + static_cast<int>(i);
        const size_t size = static_cast<size_t>((cells[i].width + 7) / 8) * params.rows;
        out << "    // " << code << " " << nameOf(code) << ", width " << cells[i].width << "\n";
        writeBytes(out, block.data() + offset, size);
        offset += size;
    }
    out << "};\n";
}

std::string sfntName(FT_Face face, FT_UShort nameId)
{
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName n;
        if (FT_Get_Sfnt_Name(face, i, &n) || n.name_id != nameId) continue;
        std::string s;
        if (n.platform_id == TT_PLATFORM_MACINTOSH) {
            s.assign(reinterpret_cast<const char*>(n.string), n.string_len);
        } else if (n.platform_id == TT_PLATFORM_MICROSOFT) {
            for (FT_UInt k = 0; k + 1 < n.string_len; k += 2)
                if (!n.string[k] && n.string[k + 1] >= 32 && n.string[k + 1] < 127)
                    s += static_cast<char>(n.string[k + 1]);
        }
        if (!s.empty()) return s;
    }
    return "unknown";
}

std::string baseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "--report") != 0)) {
        std::cerr << "usage: corvex-fontgen FONT_FILE OUTPUT_FILE [--report]\n";
        return 2;
    }
    const std::string fontPath = argv[1];
    std::ostream* report = argc == 4 ? &std::cerr : nullptr;
    Renderer renderer(fontPath.c_str());

    std::ostringstream out;
    out << "// Bitmap fonts of the display text (ids 8, 9, 10, 12, 16, 20). Generated; do not edit.\n"
        << "// Command (from the repository root): build/tools/fontgen/corvex-fontgen " << fontPath
        << " data/fonts/fonts.inc\n"
        << "// Source font: " << baseName(fontPath) << " (" << sfntName(renderer.face(), TT_NAME_ID_FULL_NAME)
        << ", " << sfntName(renderer.face(), TT_NAME_ID_VERSION_STRING)
        << "), Debian package fonts-dejavu-core.\n"
        << "// Licence: DejaVu fonts licence, free (Bitstream Vera fonts licence; DejaVu changes are in\n"
        << "// the public domain), see /usr/share/doc/fonts-dejavu-core/copyright.\n"
        << "// Rendered with FreeType (light hinting, stems evened to whole pixels, 50% threshold), each\n"
        << "// glyph scaled horizontally to its fixed width.\n"
        << "// Block: u16 0, u16 firstCode, u16 lastCode, u8 0, u8 glyphHeight, 4-byte entries (offset\n"
        << "// bits 16-23, width, offset bits 0-7, offset bits 8-15), then rows of ceil(width/8) bytes,\n"
        << "// most significant bit leftmost. Codes 128..255 follow Windows-1252.\n";
    for (const FontParams& params : kFonts) {
        FontBuilder builder(renderer, params, report);
        const std::vector<Cell> cells = builder.build();
        writeBlock(out, params, cells, encodeBlock(params, cells));
    }

    const std::string text = out.str();
    if (!replaceFile(argv[2], nullptr, text.data(), text.size())) {
        std::cerr << "fontgen: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}

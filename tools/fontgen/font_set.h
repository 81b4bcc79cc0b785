// corvex-fontgen's font set: the six fonts' sizes and metrics, and the character set (which
// codes are outline glyphs, accented letters, box drawing or blank).
#pragma once
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

namespace fontgen {

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

inline const FontParams kFonts[] = {
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
inline const uint16_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

// The accented letters of Windows-1252 192..255: base letter and accent ('.' = none; accents g
// grave, a acute, c circumflex, t tilde, d diaeresis, r ring, C cedilla).
inline const char kLatin1Base[] = "AAAAAA.CEEEEIIII.NOOOOO..UUUUY..aaaaaa.ceeeeiiii.nooooo..uuuuy.y";
inline const char kLatin1Accent[] = "gactdr.Cgacdgacd.tgactd..gacda..gactdr.Cgacdgacd.tgactd..gacda.d";
static_assert(sizeof kLatin1Base == 65 && sizeof kLatin1Accent == 65);

inline uint32_t accentCodePoint(char a)
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

inline CodeInfo accented(char base, char accent)
{
    // The accented i drop the dot: they are built on the dotless i.
    const uint32_t letter = base == 'i' ? 0x0131 : static_cast<uint32_t>(base);
    return {Kind::Accented, letter, 0, base, accentCodePoint(accent)};
}

// Codes above 127 as wide as an ASCII sign: currency signs like the digits, so amounts line up,
// arithmetic signs like the plus sign, and a few letters like their ASCII look-alike.
inline char widthLike(int code)
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
inline bool isLetter(int code)
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

inline CodeInfo codeInfo(int code)
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

}  // namespace fontgen

// Text drawing with the six built-in proportional bitmap fonts (ids 8, 9, 10, 12, 16, 20).
#pragma once
#include <cstdint>

enum TextAlign : uint8_t { AlignCentre = 0, AlignLeft = 1, AlignRight = 2 };

// Where the last drawText began (after alignment) and the x just after its last spacing column.
extern int16_t lastTextStartX;
extern int16_t lastTextEndX;

// A font block: header (zero, firstCode, lastCode, unused, glyphHeight), 4-byte glyph entries,
// then the glyph bitmaps. Returns nullptr for an id that is not one of the six.
const uint8_t* fontBlock(uint8_t fontId);

// Width in pixels of one glyph (0 for a code outside the font), and of a whole string including
// the blank column after every glyph.
int glyphWidth(uint8_t fontId, uint8_t code);
int textAdvance(const char* text, uint8_t fontId);

// Draws text with its top row at y, anchored at x by align (anything but 1 or 2 centres).
// Only set glyph bits are drawn. Returns lastTextEndX.
int drawText(int x, int y, const char* text, uint8_t fontId, uint8_t align, uint8_t colour);

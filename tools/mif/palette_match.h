// Mapping RGB pictures onto the instrument's fixed 256-colour palette, plainly or with
// Floyd-Steinberg dithering.
#pragma once
#include <cstdint>
#include <vector>

// The palette index nearest to an RGB colour by distance in CIE L*a*b* (closer to how the eye
// judges colour differences than plain RGB distance). Ties go to the lower index.
uint8_t nearestPaletteIndex(int red, int green, int blue);

// One index per pixel for a row-major RGB picture (3 bytes per pixel).
std::vector<uint8_t> matchToPalette(const std::vector<uint8_t>& rgb, int width, int height, bool dither);

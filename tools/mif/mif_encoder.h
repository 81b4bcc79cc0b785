// The MIF encoder shared by the picture converter and the icon generator: palette-index pixels
// to the instrument's run-length encoded picture format.
#pragma once
#include <cstdint>
#include <vector>

// Longest run or literal stretch one code can hold.
constexpr int MIF_MAX_CODE_PIXELS = 127;

// The whole MIF image: the 4-byte little-endian header (width, height) and the pixel codes, row
// by row. Each row gets the shortest code sequence; no code crosses the end of a row.
// Width and height must be 1..65535 and pixels must hold width * height indices.
std::vector<uint8_t> encodeMif(const uint8_t* pixels, int width, int height);

// Appends the shortest code sequence for one row of pixels.
void encodeMifRow(const uint8_t* row, int width, std::vector<uint8_t>& out);

// The fixed 256-colour palette: basic set, 14 x 5 x 3 colour cube, grey ramp, pale tints, roles.
#include "display/framebuffer.h"

namespace {

constexpr std::array<uint32_t, 256> makePalette()
{
    std::array<uint32_t, 256> p{};
    constexpr uint32_t basic[16] = {0x000000, 0xA52A2A, 0x008000, 0x504000, 0x000080, 0x500080,
                                    0x008080, 0x555555, 0xAAAAAA, 0xFF0000, 0x00FF00, 0xFFFF00,
                                    0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    constexpr uint32_t red[14] = {0x00, 0x14, 0x28, 0x3C, 0x50, 0x64, 0x78,
                                  0x8C, 0xA0, 0xB4, 0xC8, 0xDC, 0xF0, 0xFF};
    constexpr uint32_t green[5] = {0x00, 0x40, 0x80, 0xC0, 0xFF};
    constexpr uint32_t blue[3] = {0x00, 0x80, 0xFF};
    // The cube's first index (15) is left to the basic set's white.
    for (int r = 0; r < 14; ++r)
        for (int g = 0; g < 5; ++g)
            for (int b = 0; b < 3; ++b) {
                const int index = 15 + 15 * r + 3 * g + b;
                if (index >= 16 && index <= 223) p[index] = (red[r] << 16) | (green[g] << 8) | blue[b];
            }
    for (int i = 0; i < 16; ++i) p[i] = basic[i];
    for (int i = 0; i < 14; ++i) {
        const uint32_t level = 0x20 + 0x10 * i;
        p[224 + i] = (level << 16) | (level << 8) | level;
    }
    constexpr uint32_t tail[18] = {0xC89696, 0xD3A5A5, 0xD9B3B3, 0xE5C2C2, 0xEFD5D5, 0xF7E7E7,
                                   0xF5FAFA, 0xFCFDFD, 0x0000FF, 0xFF0000, 0xFF00FF, 0xFFFF00,
                                   0xC0C0C0, 0x00FFFF, 0x00FF00, 0x8B4513, 0x008000, 0x004F4E};
    for (int i = 0; i < 18; ++i) p[238 + i] = tail[i];
    return p;
}

}  // namespace

extern constexpr std::array<uint32_t, 256> palette = makePalette();
static_assert(palette[16] == 0x000080);   // cube red 0, green 0, blue 80
static_assert(palette[223] == 0xFFFF80);  // the cube's last entry before the grey ramp
static_assert(palette[237] == 0xF0F0F0);
static_assert(palette[255] == 0x004F4E);

// Helpers shared by the unit tests: framebuffer inspection and a fresh instrument.
#pragma once
#include <cstring>
#include <set>
#include <utility>

#include "display/framebuffer.h"

using Point = std::pair<int, int>;

inline uint8_t pixelAt(int x, int y) { return framebuffer[x + SCREEN_WIDTH * y]; }

// Every pixel that is not 0, as a set of points.
inline std::set<Point> litPixels()
{
    std::set<Point> lit;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            if (pixelAt(x, y)) lit.insert({x, y});
    return lit;
}

inline int countLit() { return static_cast<int>(litPixels().size()); }

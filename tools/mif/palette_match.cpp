// Nearest palette colour by distance in CIE L*a*b* (D65), and Floyd-Steinberg error diffusion
// over it in RGB.
#include "palette_match.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "display/framebuffer.h"

namespace {

struct Lab {
    double l, a, b;
};

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double labCurve(double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; }

Lab toLab(int red, int green, int blue)
{
    const double r = linear(red), g = linear(green), b = linear(blue);
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    const double fx = labCurve(x), fy = labCurve(y), fz = labCurve(z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

const std::array<Lab, 256>& paletteLab()
{
    static const std::array<Lab, 256> table = [] {
        std::array<Lab, 256> t{};
        for (int i = 0; i < 256; ++i) t[i] = toLab((palette[i] >> 16) & 0xFF, (palette[i] >> 8) & 0xFF, palette[i] & 0xFF);
        return t;
    }();
    return table;
}

}  // namespace

uint8_t nearestPaletteIndex(int red, int green, int blue)
{
    const Lab want = toLab(red, green, blue);
    const auto& table = paletteLab();
    double best = 0;
    int bestIndex = -1;
    for (int i = 0; i < 256; ++i) {
        const double dl = want.l - table[i].l, da = want.a - table[i].a, db = want.b - table[i].b;
        const double distance = dl * dl + da * da + db * db;
        if (bestIndex < 0 || distance < best) best = distance, bestIndex = i;
    }
    return static_cast<uint8_t>(bestIndex);
}

std::vector<uint8_t> matchToPalette(const std::vector<uint8_t>& rgb, int width, int height, bool dither)
{
    std::vector<uint8_t> indices(static_cast<size_t>(width) * height);
    if (!dither) {
        for (size_t i = 0; i < indices.size(); ++i)
            indices[i] = nearestPaletteIndex(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        return indices;
    }
    // Error carried to this row and the next, in 1/16 units, with a spare pixel at each end.
    const size_t stride = static_cast<size_t>(width + 2) * 3;
    std::vector<int> current(stride, 0), next(stride, 0);
    for (int y = 0; y < height; ++y) {
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < width; ++x) {
            const size_t pixel = static_cast<size_t>(y) * width + x;
            int wanted[3];
            for (int c = 0; c < 3; ++c)
                wanted[c] = std::clamp(rgb[3 * pixel + c] + current[(x + 1) * 3 + c] / 16, 0, 255);
            const uint8_t index = nearestPaletteIndex(wanted[0], wanted[1], wanted[2]);
            indices[pixel] = index;
            const int got[3] = {static_cast<int>((palette[index] >> 16) & 0xFF),
                                static_cast<int>((palette[index] >> 8) & 0xFF), static_cast<int>(palette[index] & 0xFF)};
            for (int c = 0; c < 3; ++c) {
                const int error = wanted[c] - got[c];
                current[(x + 2) * 3 + c] += error * 7;
                next[x * 3 + c] += error * 3;
                next[(x + 1) * 3 + c] += error * 5;
                next[(x + 2) * 3 + c] += error * 1;
            }
        }
        std::swap(current, next);
    }
    return indices;
}

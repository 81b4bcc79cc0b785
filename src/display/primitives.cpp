// Pixel, span, rectangle, line, circle and arc primitives over the Framebuffer, all clipped.
#include "display/framebuffer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

uint8_t framebuffer[FRAMEBUFFER_SIZE];
uint8_t backgroundBuffer[FRAMEBUFFER_SIZE];
bool displayDrawing = true;

namespace {

float sinPositive[361], cosPositive[361], sinNegative[361], cosNegative[361];

// Device coordinates are 16-bit: a caller's value is taken modulo 2^16 and read as signed.
inline int to16(int v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }

// Angles are never outside -360..360 in the device's own drawing; anything else is folded in.
inline int foldAngle(int a) { return (a >= -360 && a <= 360) ? a : a % 360; }

template <typename Plot>
void stepLine(int x0, int y0, int x1, int y1, Plot plot)
{
    x0 = to16(x0), y0 = to16(y0), x1 = to16(x1), y1 = to16(y1);
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int sx = x0 > x1 ? -1 : 1, sy = y0 > y1 ? -1 : 1;
    int x = x0, y = y0;
    if (dx >= dy) {
        int err = 2 * dy - dx;
        for (int i = 0; i <= dx; ++i) {
            plot(x, y);
            if (err > 0) { x += sx; y += sy; err += 2 * dy - 2 * dx; }
            else { x += sx; err += 2 * dy; }
        }
    } else {
        int err = 2 * dx - dy;
        for (int i = 0; i <= dy; ++i) {
            plot(x, y);
            if (err > 0) { x += sx; y += sy; err += 2 * dx - 2 * dy; }
            else { y += sy; err += 2 * dx; }
        }
    }
}

inline void plotPlus(int x, int y, uint8_t colour)
{
    putPixel(x, y, colour);
    putPixel(x - 1, y, colour);
    putPixel(x + 1, y, colour);
    putPixel(x, y - 1, colour);
    putPixel(x, y + 1, colour);
}

void arcBand(int cx, int cy, int width, int r, int a0, int a1, uint8_t colour, int xSign)
{
    if (!displayDrawing) return;
    a0 = foldAngle(a0), a1 = foldAngle(a1);
    for (int a = a0; a < a1; ++a) {
        const float c = cosDeg(a), s = sinDeg(a);
        const int ox = cx + xSign * static_cast<int>(c * r), oy = cy + static_cast<int>(s * r);
        const int ix = cx + xSign * static_cast<int>(c * (r - width));
        const int iy = cy + static_cast<int>(s * (r - width));
        drawThickLine(ox, oy, ix, iy, colour);
        putPixel(ox, oy, colour);
    }
}

}  // namespace

void buildTrigTables()
{
    for (int a = 0; a <= 360; ++a) {
        const double rad = a * std::numbers::pi / 180.0;
        sinPositive[a] = static_cast<float>(std::sin(rad));
        cosPositive[a] = static_cast<float>(std::cos(rad));
        sinNegative[a] = static_cast<float>(std::sin(-rad));
        cosNegative[a] = static_cast<float>(std::cos(-rad));
    }
}

float sinDeg(int angle)
{
    angle = foldAngle(angle);
    return angle >= 0 ? sinPositive[angle] : sinNegative[-angle];
}

float cosDeg(int angle)
{
    angle = foldAngle(angle);
    return angle >= 0 ? cosPositive[angle] : cosNegative[-angle];
}

void drawLine(int x0, int y0, int x1, int y1, uint8_t colour)
{
    if (!displayDrawing) return;
    stepLine(x0, y0, x1, y1, [colour](int x, int y) { putPixel(x, y, colour); });
}

void drawThickLine(int x0, int y0, int x1, int y1, uint8_t colour)
{
    if (!displayDrawing) return;
    // A line whose brush stays on the screen at both ends (and so everywhere between) is drawn
    // without clipping; any other pixel by pixel.
    const int ax = to16(x0), ay = to16(y0), bx = to16(x1), by = to16(y1);
    const bool inside = std::min(ax, bx) >= 1 && std::max(ax, bx) <= SCREEN_WIDTH - 2 && std::min(ay, by) >= 1 &&
                        std::max(ay, by) <= SCREEN_HEIGHT - 2;
    if (!inside) {
        stepLine(x0, y0, x1, y1, [colour](int x, int y) { plotPlus(x, y, colour); });
        return;
    }
    // Consecutive steps move one pixel along the major axis and at most one across, so each
    // step's cross of the brush is covered by its neighbours' bars but at the two ends: a bar of
    // three across the line a step, and the brush's tips beyond both ends.
    if (std::abs(bx - ax) >= std::abs(by - ay)) {
        stepLine(ax, ay, bx, by, [colour](int x, int y) {
            uint8_t* p = framebuffer + x + SCREEN_WIDTH * y;
            p[-SCREEN_WIDTH] = p[0] = p[SCREEN_WIDTH] = colour;
        });
        const int s = ax > bx ? -1 : 1;
        framebuffer[ax - s + SCREEN_WIDTH * ay] = colour;
        framebuffer[bx + s + SCREEN_WIDTH * by] = colour;
    } else {
        stepLine(ax, ay, bx, by, [colour](int x, int y) {
            uint8_t* p = framebuffer + x + SCREEN_WIDTH * y;
            p[-1] = p[0] = p[1] = colour;
        });
        const int s = ay > by ? -1 : 1;
        framebuffer[ax + SCREEN_WIDTH * (ay - s)] = colour;
        framebuffer[bx + SCREEN_WIDTH * (by + s)] = colour;
    }
}

void drawHLine(int x0, int x1, int y, uint8_t colour)
{
    if (!displayDrawing) return;
    x0 = to16(x0), x1 = to16(x1), y = to16(y);
    if (x0 > x1 || y < 0 || y >= SCREEN_HEIGHT) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, SCREEN_WIDTH - 1);
    if (x0 > x1) return;
    std::memset(framebuffer + y * SCREEN_WIDTH + x0, colour, static_cast<size_t>(x1 - x0 + 1));
}

void drawVLine(int y0, int y1, int x, uint8_t colour)
{
    if (!displayDrawing) return;
    y0 = to16(y0), y1 = to16(y1), x = to16(x);
    if (y0 > y1 || x < 0 || x >= SCREEN_WIDTH) return;
    y0 = std::max(y0, 0);
    y1 = std::min(y1, SCREEN_HEIGHT - 1);
    for (int y = y0; y <= y1; ++y) framebuffer[y * SCREEN_WIDTH + x] = colour;
}

void drawRect(int x0, int y0, int x1, int y1, uint8_t colour)
{
    if (to16(y0) == to16(y1)) return;
    drawVLine(y0, y1, x0, colour);
    drawHLine(x0, x1, y0, colour);
    drawVLine(y0, y1, x1, colour);
    drawHLine(x0, x1, y1, colour);
}

void fillRect(int x0, int y0, int x1, int y1, uint8_t colour)
{
    if (!displayDrawing) return;
    y0 = to16(y0), y1 = to16(y1), x0 = to16(x0), x1 = to16(x1);
    if (y0 == y1 || x0 > x1) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, SCREEN_WIDTH - 1);
    y0 = std::max(y0, 0);
    y1 = std::min(y1, SCREEN_HEIGHT - 1);
    if (x0 > x1 || y0 > y1) return;
    const auto width = static_cast<size_t>(x1 - x0 + 1);
    // Whole rows are one span.
    if (width == SCREEN_WIDTH) {
        std::memset(framebuffer + y0 * SCREEN_WIDTH, colour, width * static_cast<size_t>(y1 - y0 + 1));
        return;
    }
    // Narrow spans (bars, boxes) are many short rows: eight bytes a store beats a call a row.
    if (width < 8) {
        for (uint8_t* row = framebuffer + y0 * SCREEN_WIDTH + x0; y0 <= y1; ++y0, row += SCREEN_WIDTH)
            for (size_t i = 0; i < width; ++i) row[i] = colour;
        return;
    }
    const uint64_t pattern = 0x0101010101010101ull * colour;
    for (uint8_t* row = framebuffer + y0 * SCREEN_WIDTH + x0; y0 <= y1; ++y0, row += SCREEN_WIDTH) {
        size_t i = 0;
        for (; i + 8 <= width; i += 8) std::memcpy(row + i, &pattern, 8);
        if (i < width) std::memcpy(row + width - 8, &pattern, 8);  // the tail, overlapping
    }
}

void drawCircle(int cx, int cy, int r, uint8_t colour)
{
    if (!displayDrawing) return;
    auto symmetric = [&](int x, int y) {
        if (x == 0) {
            putPixel(cx, cy + y, colour);
            putPixel(cx, cy - y, colour);
            putPixel(cx + y, cy, colour);
            putPixel(cx - y, cy, colour);
        } else if (x == y) {
            putPixel(cx + x, cy + y, colour);
            putPixel(cx - x, cy + y, colour);
            putPixel(cx + x, cy - y, colour);
            putPixel(cx - x, cy - y, colour);
        } else if (x < y) {
            putPixel(cx + x, cy + y, colour);
            putPixel(cx - x, cy + y, colour);
            putPixel(cx + x, cy - y, colour);
            putPixel(cx - x, cy - y, colour);
            putPixel(cx + y, cy + x, colour);
            putPixel(cx - y, cy + x, colour);
            putPixel(cx + y, cy - x, colour);
            putPixel(cx - y, cy - x, colour);
        }
    };
    r = to16(r);
    if (r < 0) return;
    int x = 0, y = r, p = (5 - 4 * r) / 4;
    symmetric(x, y);
    while (x < y) {
        ++x;
        if (p < 0) p += 2 * x + 1;
        else { --y; p += 2 * (x - y) + 1; }
        symmetric(x, y);
    }
}

void drawArcDots(int cx, int cy, int r, int a0, int a1, uint8_t colour)
{
    if (!displayDrawing) return;
    a0 = foldAngle(a0), a1 = foldAngle(a1);
    for (int a = a0; a < a1; ++a)
        putPixel(cx + static_cast<int>(cosDeg(a) * r), cy + static_cast<int>(sinDeg(a) * r), colour);
}

void drawArcBand(int cx, int cy, int width, int r, int a0, int a1, uint8_t colour)
{
    arcBand(cx, cy, width, r, a0, a1, colour, +1);
}

void drawArcBandMirrored(int cx, int cy, int width, int r, int a0, int a1, uint8_t colour)
{
    arcBand(cx, cy, width, r, a0, a1, colour, -1);
}

void clearScreen()
{
    if (displayDrawing) std::memset(framebuffer, 0, sizeof framebuffer);
}

void clearBackground() { std::memset(backgroundBuffer, 0, sizeof backgroundBuffer); }

void copyBackground()
{
    if (displayDrawing) std::memcpy(framebuffer, backgroundBuffer, sizeof framebuffer);
}

void putBackgroundPixel(int x, int y, uint8_t colour)
{
    const auto ux = static_cast<uint16_t>(x), uy = static_cast<uint16_t>(y);
    if (ux < SCREEN_WIDTH && uy < SCREEN_HEIGHT) backgroundBuffer[ux + SCREEN_WIDTH * uy] = colour;
}

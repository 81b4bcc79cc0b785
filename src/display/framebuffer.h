// The instrument's display memory: the indexed Framebuffer, the BackgroundBuffer for decoded
// pictures, the fixed Palette, the whole-degree sine/cosine tables and the drawing primitives.
#pragma once
#include <array>
#include <cstdint>

constexpr int SCREEN_WIDTH = 480;
constexpr int SCREEN_HEIGHT = 272;
constexpr int FRAMEBUFFER_SIZE = SCREEN_WIDTH * SCREEN_HEIGHT;  // 130560 bytes

// Colour roles used throughout the screens.
constexpr uint8_t COLOUR_BLACK = 0;
constexpr uint8_t COLOUR_WHITE = 15;
constexpr uint8_t COLOUR_RED = 247;
constexpr uint8_t COLOUR_MAGENTA = 248;
constexpr uint8_t COLOUR_YELLOW = 249;
constexpr uint8_t COLOUR_SILVER = 250;
constexpr uint8_t COLOUR_CYAN = 251;
constexpr uint8_t COLOUR_LIME = 252;
constexpr uint8_t COLOUR_GREEN = 254;

// Pixel (x, y) is at framebuffer[x + 480 * y]; x to the right, y downwards.
extern uint8_t framebuffer[FRAMEBUFFER_SIZE];
extern uint8_t backgroundBuffer[FRAMEBUFFER_SIZE];

// 0x00RRGGBB per palette index, fixed at build time.
extern const std::array<uint32_t, 256> palette;

// Trigonometric tables; built at power-on, angles in whole degrees -360..360, clockwise on screen.
void buildTrigTables();
float sinDeg(int angle);
float cosDeg(int angle);

// Whether the primitives below (and drawText, drawImage) write the Framebuffer. Cleared only for
// a pass whose frame no one will look at: such a pass runs all of its logic, text is still
// measured, but no pixel changes. The BackgroundBuffer is state, written either way.
extern bool displayDrawing;

// Primitives. Coordinates are 16-bit device values: a negative coordinate is off-screen.
// Everything clips to the screen; nothing is ever written outside the buffer or wraps a row.
inline void putPixel(int x, int y, uint8_t colour)
{
    const auto ux = static_cast<uint16_t>(x), uy = static_cast<uint16_t>(y);
    if (ux < SCREEN_WIDTH && uy < SCREEN_HEIGHT && displayDrawing) framebuffer[ux + SCREEN_WIDTH * uy] = colour;
}
void drawLine(int x0, int y0, int x1, int y1, uint8_t colour);
void drawThickLine(int x0, int y0, int x1, int y1, uint8_t colour);
void drawHLine(int x0, int x1, int y, uint8_t colour);
void drawVLine(int y0, int y1, int x, uint8_t colour);
void drawRect(int x0, int y0, int x1, int y1, uint8_t colour);
void fillRect(int x0, int y0, int x1, int y1, uint8_t colour);
void drawCircle(int cx, int cy, int r, uint8_t colour);
void drawArcDots(int cx, int cy, int r, int a0, int a1, uint8_t colour);
void drawArcBand(int cx, int cy, int width, int r, int a0, int a1, uint8_t colour);
void drawArcBandMirrored(int cx, int cy, int width, int r, int a0, int a1, uint8_t colour);
void clearScreen();
void clearBackground();
void copyBackground();
void putBackgroundPixel(int x, int y, uint8_t colour);

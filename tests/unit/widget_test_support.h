// Helpers for the widget tests: a known starting state, a check that a text is drawn where
// expected, and sheets that put several framebuffer regions side by side as one golden image.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "device.h"
#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/inputs.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "golden_support.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "ui/home.h"
#include "ui/widgets.h"

// A freshly started program (factory settings, a clear screen, every value the widgets read at
// zero) with the trigonometric tables built.
inline void resetWidgetState()
{
    resetDevice();
    buildTrigTables();
    chtSelected = settings.egtChannels;
}

// True when the pixels of `colour` around where drawText(x, y, text, ...) would draw are exactly
// that text's pixels, over the rows its glyphs use and one more above and below; margin extra
// columns either side must hold none of that colour.
inline testing::AssertionResult showsText(int x, int y, const char* text, uint8_t fontId, uint8_t align,
                                          uint8_t colour, int margin = 0)
{
    std::vector<uint8_t> saved(framebuffer, framebuffer + FRAMEBUFFER_SIZE);
    clearScreen();
    drawText(x, y, text, fontId, align, colour);
    const int x0 = std::max(0, lastTextStartX - margin), x1 = std::min(SCREEN_WIDTH - 1, lastTextEndX + margin);
    const int height = fontBlock(fontId)[7];
    std::vector<uint8_t> expected(framebuffer, framebuffer + FRAMEBUFFER_SIZE);
    std::memcpy(framebuffer, saved.data(), FRAMEBUFFER_SIZE);
    // Rows the text's glyphs occupy, one more either side (neighbouring texts may share the rest).
    int top = y + height, bottom = y - 1;
    for (int row = std::max(0, y); row < std::min(SCREEN_HEIGHT, y + height); ++row)
        for (int col = x0; col <= x1; ++col)
            if (expected[static_cast<size_t>(col + SCREEN_WIDTH * row)] == colour) {
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
    int wrong = 0;
    for (int row = std::max({0, y, top - 1}); row <= std::min({SCREEN_HEIGHT - 1, y + height - 1, bottom + 1}); ++row)
        for (int col = x0; col <= x1; ++col) {
            const size_t i = static_cast<size_t>(col + SCREEN_WIDTH * row);
            wrong += (expected[i] == colour) != (saved[i] == colour);
        }
    if (wrong == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << wrong << " pixels differ from \"" << text << "\" at (" << x << ", " << y
                                       << ")";
}

// Pixels of one colour inside a rectangle (inclusive).
inline int countColour(int x0, int y0, int x1, int y1, uint8_t colour)
{
    int n = 0;
    for (int y = std::max(0, y0); y <= std::min(SCREEN_HEIGHT - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(SCREEN_WIDTH - 1, x1); ++x)
            n += framebuffer[x + SCREEN_WIDTH * y] == colour;
    return n;
}

// Cells of equal size in a grid with one-pixel dark grey rules, each a copy of a framebuffer region.
class WidgetSheet {
public:
    WidgetSheet(int columns, int rows, int cellWidth, int cellHeight)
        : columns_(columns), cellWidth_(cellWidth), cellHeight_(cellHeight), width_(columns * (cellWidth + 1) + 1),
          height_(rows * (cellHeight + 1) + 1), pixels_(static_cast<size_t>(width_ * height_), kRule)
    {
        for (int cell = 0; cell < columns * rows; ++cell) fill(cell, COLOUR_BLACK);
    }

    // Copies the framebuffer region with its top-left corner at (x0, y0) into the cell.
    void capture(int cell, int x0, int y0)
    {
        for (int y = 0; y < cellHeight_; ++y)
            for (int x = 0; x < cellWidth_; ++x) {
                const int sx = x0 + x, sy = y0 + y;
                const bool inside = sx >= 0 && sx < SCREEN_WIDTH && sy >= 0 && sy < SCREEN_HEIGHT;
                at(cell, x, y) = inside ? framebuffer[sx + SCREEN_WIDTH * sy] : COLOUR_BLACK;
            }
    }

    testing::AssertionResult matchesGolden(const std::string& goldenName) const
    {
        const std::filesystem::path actual = std::filesystem::path(CORVEX_BINARY_DIR) / "golden-out" / (goldenName + ".png");
        std::filesystem::create_directories(actual.parent_path());
        if (!writeIndexedPng(actual.string(), pixels_.data(), width_, height_))
            return testing::AssertionFailure() << "cannot write " << actual;
        return matchesGoldenFile(actual.string(), goldenName);
    }

private:
    static constexpr uint8_t kRule = 7;  // dark grey

    uint8_t& at(int cell, int x, int y)
    {
        const int cx = 1 + (cell % columns_) * (cellWidth_ + 1), cy = 1 + (cell / columns_) * (cellHeight_ + 1);
        return pixels_[static_cast<size_t>((cy + y) * width_ + cx + x)];
    }
    void fill(int cell, uint8_t colour)
    {
        for (int y = 0; y < cellHeight_; ++y)
            for (int x = 0; x < cellWidth_; ++x) at(cell, x, y) = colour;
    }

    int columns_, cellWidth_, cellHeight_, width_, height_;
    std::vector<uint8_t> pixels_;
};

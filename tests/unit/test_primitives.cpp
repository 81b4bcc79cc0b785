// Drawing primitives: exact pixels for the documented cases and clipping at every edge.
#include <gtest/gtest.h>

#include <vector>

#include "display/framebuffer.h"
#include "test_support.h"

namespace {

class Primitives : public testing::Test {
protected:
    void SetUp() override
    {
        buildTrigTables();
        clearScreen();
    }
};

TEST_F(Primitives, PutPixelIgnoresEverythingOffScreen)
{
    for (const auto& p : {Point{480, 0}, Point{0, 272}, Point{-1, 0}, Point{0, -1}, Point{-32768, 5},
                          Point{65535, 5}, Point{1000, 1000}})
        putPixel(p.first, p.second, 15);
    EXPECT_EQ(countLit(), 0);
    putPixel(479, 271, 15);
    putPixel(0, 0, 15);
    EXPECT_EQ(litPixels(), (std::set<Point>{{0, 0}, {479, 271}}));
}

TEST_F(Primitives, LinesFollowTheDocumentedSteps)
{
    struct Case {
        int x0, y0, x1, y1;
        std::set<Point> want;
    } cases[] = {
        {10, 10, 10, 10, {{10, 10}}},
        {0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {3, 1, 0, 0, {{3, 1}, {2, 1}, {1, 0}, {0, 0}}},
        {5, 5, 5, 8, {{5, 5}, {5, 6}, {5, 7}, {5, 8}}},
        {0, 0, 1, 3, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
    };
    for (const Case& c : cases) {
        clearScreen();
        drawLine(c.x0, c.y0, c.x1, c.y1, 15);
        EXPECT_EQ(litPixels(), c.want) << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
    }
}

TEST_F(Primitives, ThickLineIsAPlusBrushPerStepAndClips)
{
    drawThickLine(10, 10, 10, 10, 15);
    EXPECT_EQ(litPixels(), (std::set<Point>{{10, 10}, {9, 10}, {11, 10}, {10, 9}, {10, 11}}));
    clearScreen();
    drawThickLine(0, 0, 0, 0, 15);
    EXPECT_EQ(litPixels(), (std::set<Point>{{0, 0}, {1, 0}, {0, 1}}));
}

TEST_F(Primitives, LinesCrossingTheScreenEdgesKeepOnlyVisiblePixels)
{
    drawLine(-20, 5, 500, 5, 15);
    EXPECT_EQ(countLit(), 480);
    clearScreen();
    drawLine(470, 260, 490, 280, 15);
    EXPECT_EQ(litPixels(), (std::set<Point>{{470, 260}, {471, 261}, {472, 262}, {473, 263}, {474, 264},
                                            {475, 265}, {476, 266}, {477, 267}, {478, 268}, {479, 269}}));
}

TEST_F(Primitives, SpansAndRectanglesNeverWrapOrEscapeTheBuffer)
{
    struct Case {
        const char* what;
        void (*draw)();
        int lit;
    } cases[] = {
        {"hline past right edge", [] { drawHLine(470, 600, 10, 15); }, 10},
        {"hline past left edge", [] { drawHLine(-50, 4, 10, 15); }, 5},
        {"hline on row -1", [] { drawHLine(0, 479, -1, 15); }, 0},
        {"hline on row 272", [] { drawHLine(0, 479, 272, 15); }, 0},
        {"hline x0 > x1", [] { drawHLine(10, 9, 10, 15); }, 0},
        {"vline past bottom", [] { drawVLine(260, 400, 3, 15); }, 12},
        {"vline past top", [] { drawVLine(-100, 2, 3, 15); }, 3},
        {"vline at x 480", [] { drawVLine(0, 271, 480, 15); }, 0},
        {"vline y0 > y1", [] { drawVLine(5, 4, 3, 15); }, 0},
        {"fillRect y0 = y1", [] { fillRect(10, 20, 100, 20, 15); }, 0},
        {"drawRect y0 = y1", [] { drawRect(10, 20, 100, 20, 15); }, 0},
        {"fillRect over all edges", [] { fillRect(-10, -10, 1000, 1000, 15); }, FRAMEBUFFER_SIZE},
        {"fillRect bottom-right corner", [] { fillRect(475, 268, 490, 290, 15); }, 5 * 4},
        {"drawRect 3 x 3", [] { drawRect(1, 1, 3, 3, 15); }, 8},
        {"drawRect past the right edge", [] { drawRect(470, 10, 500, 20, 15); }, 10 + 10 + 9},
    };
    for (const Case& c : cases) {
        clearScreen();
        c.draw();
        EXPECT_EQ(countLit(), c.lit) << c.what;
    }
}

TEST_F(Primitives, SpanAtTheRightEdgeDoesNotTouchTheNextRow)
{
    drawHLine(475, 479 + 50, 10, 15);
    EXPECT_EQ(pixelAt(0, 11), 0);
    EXPECT_EQ(pixelAt(479, 10), 15);
}

TEST_F(Primitives, CirclesOfRadiusZeroAndOne)
{
    drawCircle(100, 100, 0, 15);
    EXPECT_EQ(litPixels(), (std::set<Point>{{100, 100}}));
    clearScreen();
    drawCircle(100, 100, 1, 15);
    EXPECT_EQ(litPixels(), (std::set<Point>{{100, 101}, {100, 99}, {101, 100}, {99, 100}}));
}

TEST_F(Primitives, CircleIsSymmetricAndClipsAtTheCorner)
{
    drawCircle(100, 100, 20, 15);
    const auto lit = litPixels();
    for (const auto& [x, y] : lit) {
        EXPECT_TRUE(lit.count({200 - x, y})) << x << "," << y;
        EXPECT_TRUE(lit.count({y, x})) << x << "," << y;
    }
    clearScreen();
    drawCircle(0, 0, 10, 15);
    for (const auto& [x, y] : litPixels()) EXPECT_TRUE(x >= 0 && y >= 0);
}

TEST_F(Primitives, ArcDotsStopBeforeTheEndAngle)
{
    drawArcDots(240, 136, 50, 0, 90, 15);
    const auto lit = litPixels();
    EXPECT_TRUE(lit.count({290, 136}));   // 0 degrees: right
    EXPECT_FALSE(lit.count({240, 186}));  // 90 degrees (down) is not drawn
    EXPECT_TRUE(lit.count({240 + static_cast<int>(cosDeg(89) * 50), 136 + static_cast<int>(sinDeg(89) * 50)}));
    clearScreen();
    drawArcDots(240, 136, 50, 90, 90, 15);
    drawArcDots(240, 136, 50, 100, 90, 15);
    EXPECT_EQ(countLit(), 0);
}

TEST_F(Primitives, TrigTablesPickTheTableBySign)
{
    EXPECT_FLOAT_EQ(sinDeg(90), 1.0f);
    EXPECT_FLOAT_EQ(sinDeg(-90), -1.0f);
    EXPECT_FLOAT_EQ(cosDeg(-180), -1.0f);
    EXPECT_FLOAT_EQ(cosDeg(360), 1.0f);
    EXPECT_NEAR(sinDeg(30), 0.5f, 1e-7);
    EXPECT_NEAR(sinDeg(-30), -0.5f, 1e-7);
    // Out-of-range angles are folded rather than read past the tables.
    EXPECT_NEAR(sinDeg(450), 1.0f, 1e-6);
    EXPECT_NEAR(cosDeg(-720), 1.0f, 1e-6);
}

TEST_F(Primitives, ArcBandFillsARingSegmentAndItsMirror)
{
    drawArcBand(240, 136, 10, 60, -45, 45, 254);
    const auto right = litPixels();
    EXPECT_TRUE(right.count({300, 136}));
    EXPECT_TRUE(right.count({295, 136}));
    EXPECT_TRUE(right.count({290, 136}));
    EXPECT_FALSE(right.count({285, 136}));
    clearScreen();
    drawArcBandMirrored(240, 136, 10, 60, -45, 45, 254);
    for (const auto& [x, y] : litPixels()) EXPECT_TRUE(right.count({480 - x, y})) << x << "," << y;
    EXPECT_EQ(countLit(), static_cast<int>(right.size()));
}

TEST_F(Primitives, BackgroundCopiesWholeAndBackgroundPixelsClip)
{
    clearBackground();
    putBackgroundPixel(5, 6, 9);
    putBackgroundPixel(480, 0, 9);
    putBackgroundPixel(-1, 0, 9);
    fillRect(0, 0, 479, 271, 15);
    copyBackground();
    EXPECT_EQ(litPixels(), (std::set<Point>{{5, 6}}));
    EXPECT_EQ(pixelAt(5, 6), 9);
}

TEST(Palette, RolesAndRanges)
{
    struct {
        int index;
        uint32_t rgb;
    } cases[] = {{0, 0x000000}, {9, 0xFF0000},   {15, 0xFFFFFF},  {16, 0x000080}, {17, 0x0000FF},
                 {18, 0x004000}, {30, 0x140000}, {210, 0xFF0000}, {222, 0xFFFF00}, {224, 0x202020},
                 {237, 0xF0F0F0}, {238, 0xC89696}, {245, 0xFCFDFD}, {247, 0xFF0000}, {250, 0xC0C0C0},
                 {253, 0x8B4513}, {254, 0x008000}, {255, 0x004F4E}};
    for (const auto& c : cases) EXPECT_EQ(palette[c.index], c.rgb) << c.index;
}

}  // namespace

// The runner's animated GIFs, decoded with giflib: every frame is the display at its time, frames
// that did not change are merged, and a stretch on the engine page stays small.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "display/framebuffer.h"
#include "images/png_io.h"
#include "script_support.h"

namespace {

struct Frame {
    std::vector<uint8_t> shown;  // the whole display after this frame is drawn
    int startCs = 0;
    int delayCs = 0;
};

constexpr int kMaxDelayCs = 65535;  // a GIF delay is a 16-bit count of 1/100 s

// Composites every frame as a viewer does (each drawn over the one before).
std::vector<Frame> decodeGif(const std::string& path, int& totalCs)
{
    std::vector<Frame> frames;
    int code = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
    if (!gif || DGifSlurp(gif) != GIF_OK) return frames;
    EXPECT_TRUE(gif->SWidth == SCREEN_WIDTH && gif->SHeight == SCREEN_HEIGHT && gif->SColorMap->ColorCount == 256);
    const ExtensionBlock& loop = gif->SavedImages[0].ExtensionBlocks[0];
    EXPECT_TRUE(loop.Function == APPLICATION_EXT_FUNC_CODE && std::memcmp(loop.Bytes, "NETSCAPE2.0", 11) == 0);
    std::vector<uint8_t> canvas(FRAMEBUFFER_SIZE);
    totalCs = 0;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        const std::vector<uint8_t> before = canvas;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x)
                canvas[(d.Top + y) * SCREEN_WIDTH + d.Left + x] = image.RasterBits[y * d.Width + x];
        // Only what changed: each edge of the stored rectangle holds a changed pixel.
        const auto changed = [&](int x, int y) { return canvas[y * SCREEN_WIDTH + x] != before[y * SCREEN_WIDTH + x]; };
        bool top = false, bottom = false, left = false, right = false;
        for (int x = d.Left; x < d.Left + d.Width; ++x) top |= changed(x, d.Top), bottom |= changed(x, d.Top + d.Height - 1);
        for (int y = d.Top; y < d.Top + d.Height; ++y) left |= changed(d.Left, y), right |= changed(d.Left + d.Width - 1, y);
        // A frame that lasts longer than one delay holds goes on as one unchanged pixel.
        const bool goesOn = i > 0 && frames.back().delayCs == kMaxDelayCs && d.Width == 1 && d.Height == 1;
        EXPECT_TRUE(i == 0 || goesOn || (top && bottom && left && right)) << "frame " << i << " is not its changed rectangle";
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, i, &control);
        frames.push_back({canvas, totalCs, control.DelayTime});
        totalCs += control.DelayTime;
    }
    DGifCloseFile(gif, &code);
    return frames;
}

TEST(Gif, EveryFrameIsTheDisplayAtItsTimeAndTheDelaysKeepTime)
{
    for (const int fps : {10, 3}) {
        SCOPED_TRACE(fps);
        // Screenshots at whole seconds, where samples fall at either rate.
        const ScriptRun r = runScript("gif anim.gif " + std::to_string(fps) +
                                      "\npower on\nwait 1\nscreenshot t1000.png\nwait 1\nscreenshot t2000.png\n"
                                      "key 1\npass 1\nkey 1\npass 1\nwait 2\nscreenshot t4000.png\n"
                                      "key press\nwait 1\nscreenshot t5000.png\ngif stop\nwait 1");
        ASSERT_TRUE(r.ok) << r.error;
        int totalCs = 0;
        const std::vector<Frame> frames = decodeGif(testing::TempDir() + "anim.gif", totalCs);
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(totalCs, 500);
        EXPECT_LT(frames.size(), size_t(5 * fps)) << "unchanged samples merged";
        for (const int ms : {1000, 2000, 4000, 5000}) {
            IndexedImage shot;
            std::string error;
            ASSERT_TRUE(readIndexedPng(testing::TempDir() + "t" + std::to_string(ms) + ".png", shot, error)) << error;
            size_t at = 0;
            while (at + 1 < frames.size() && frames[at + 1].startCs <= ms / 10) ++at;
            EXPECT_EQ(frames[at].shown, shot.pixels) << "at " << ms << " ms";
        }
    }
    EXPECT_TRUE(runScript("gif a.gif 50\ngif stop\ngif b.gif 1").ok);
}

TEST(Gif, AFrameLongerThanOneDelayHoldsGoesOnInFrames)
{
    const struct {
        const char* seconds;
        size_t frames;
    } cases[] = {{"655.35", 1}, {"655.36", 2}, {"1400", 3}};
    for (const auto& c : cases) {
        const ScriptRun r = runScript(std::string("gif long.gif 1\nwait ") + c.seconds + "\ngif stop");
        ASSERT_TRUE(r.ok) << r.error;
        int totalCs = 0;
        EXPECT_EQ(decodeGif(testing::TempDir() + "long.gif", totalCs).size(), c.frames) << c.seconds;
        EXPECT_EQ(totalCs, std::lround(std::stod(c.seconds) * 100)) << c.seconds;
    }
}

TEST(Gif, TwentySecondsOfTheEnginePageStaySmall)
{
    const ScriptRun r = runScript("include data/presets/cruise.scn\ngif engine.gif\npower on\nwait 2\nkey 1\npass 1\n"
                                  "key 1\npass 1\nwait 18\nprint currentScreen",
                                  CORVEX_SOURCE_DIR);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.out, "currentScreen=homeScreen\n");
    const auto size = std::filesystem::file_size(testing::TempDir() + "engine.gif");
    std::printf("20 s on the engine page: %ju bytes\n", static_cast<uintmax_t>(size));
    EXPECT_LT(size, 300'000u);
}

}  // namespace

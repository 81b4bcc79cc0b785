// MIF pictures: both decoders on edge cases, damaged data and 128-byte block seams; the built-in
// icons against their sources and a golden sheet; the shipped splash; the corvex-mif converter.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "device.h"
#include "display/framebuffer.h"
#include "display/icons.h"
#include "display/image.h"
#include "images/png_io.h"
#include "scenario/scenario.h"
#include "settings/sdcard.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;
using Pixels = std::map<std::pair<int, int>, int>;  // (x, y) -> colour, the non-zero pixels

const fs::path kSource = CORVEX_SOURCE_DIR;
const fs::path kWork = fs::path(CORVEX_BINARY_DIR) / "image-test";

Bytes mif(int width, int height, const Bytes& codes)
{
    Bytes out = {uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8)};
    out.insert(out.end(), codes.begin(), codes.end());
    return out;
}

void writeBytes(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A folder of the running test's own, so that tests run in parallel never share files.
fs::path testDir()
{
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    const fs::path dir = kWork / (std::string(info->test_suite_name()) + "." + info->name());
    fs::create_directories(dir);
    return dir;
}

std::string writeFile(const std::string& name, const Bytes& bytes)
{
    writeBytes(testDir() / name, bytes);
    return (testDir() / name).string();
}

Bytes readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Pixels litIn(const uint8_t* buffer)
{
    Pixels lit;
    for (int i = 0; i < FRAMEBUFFER_SIZE; ++i)
        if (buffer[i]) lit[{i % SCREEN_WIDTH, i / SCREEN_WIDTH}] = buffer[i];
    return lit;
}

// Draws a block with drawImage from a heap copy of exactly its size, so that reading past it is caught
// under the address sanitizer.
ImageStatus drawBlock(int x, int y, const Bytes& block)
{
    const std::vector<uint8_t> exact(block);
    return drawImage(x, y, Icon{exact.data(), static_cast<uint16_t>(exact.size())});
}

// Empty when the codes cover every row exactly (no code crosses a row end) and end with the last row.
std::string checkCodes(const uint8_t* data, size_t size, int width, int height)
{
    size_t p = 4;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width;) {
            if (p >= size) return "ends in row " + std::to_string(row);
            const int code = data[p++], count = code & 0x7F;
            p += (code & 0x80) ? 1 : count;
            column += count;
            if (column > width) return "code crosses the end of row " + std::to_string(row);
        }
    return p == size ? "" : std::to_string(size - p) + " bytes after the last row";
}

std::string statusName(ImageStatus s)
{
    const char* names[] = {"Complete", "NotFound", "BadHeader", "Truncated"};
    return names[static_cast<int>(s)];
}

// ---- Decoders ----------------------------------------------------------------------------------

struct DecodeCase {
    const char* name;
    int x, y;
    Bytes data;
    Pixels want;
    ImageStatus status;
};

const std::vector<DecodeCase>& decodeCases()
{
    static const std::vector<DecodeCase> cases = {
        {"one white pixel", 10, 20, mif(1, 1, {0x81, 0x0F}), {{{10, 20}, 15}}, ImageStatus::Complete},
        {"empty run and empty literal neither draw nor end a row", 0, 0,
         mif(2, 1, {0x80, 0x05, 0x00, 0x81, 0x0F, 0x00, 0x01, 0x09}), {{{0, 0}, 15}, {{1, 0}, 9}},
         ImageStatus::Complete},
        {"run past the width is cut, the next code starts the next row", 0, 0, mif(3, 2, {0x85, 0x0F, 0x83, 0x09}),
         {{{0, 0}, 15}, {{1, 0}, 15}, {{2, 0}, 15}, {{0, 1}, 9}, {{1, 1}, 9}, {{2, 1}, 9}}, ImageStatus::Complete},
        {"literals past the width are consumed and dropped", 0, 0, mif(2, 2, {0x04, 1, 2, 3, 4, 0x82, 5}),
         {{{0, 0}, 1}, {{1, 0}, 2}, {{0, 1}, 5}, {{1, 1}, 5}}, ImageStatus::Complete},
        {"clipped at the right and bottom edges without wrapping", 478, 270,
         mif(3, 3, {0x83, 7, 0x83, 8, 0x83, 9}), {{{478, 270}, 7}, {{479, 270}, 7}, {{478, 271}, 8}, {{479, 271}, 8}},
         ImageStatus::Complete},
        {"clipped at the left and top edges", -1, -1, mif(3, 2, {0x03, 1, 2, 3, 0x03, 4, 5, 6}),
         {{{0, 0}, 5}, {{1, 0}, 6}}, ImageStatus::Complete},
        {"entirely off-screen draws nothing", 480, 0, mif(2, 1, {0x82, 7}), {}, ImageStatus::Complete},
        {"data ending inside a row stops there", 0, 0, mif(2, 2, {0x82, 7}), {{{0, 0}, 7}, {{1, 0}, 7}},
         ImageStatus::Truncated},
        {"data ending inside a literal stretch", 0, 0, mif(3, 1, {0x03, 4}), {{{0, 0}, 4}}, ImageStatus::Truncated},
        {"data ending between a run and its colour", 0, 0, mif(3, 1, {0x83}), {}, ImageStatus::Truncated},
        {"only empty codes terminate", 0, 0, mif(10, 10, Bytes(300, 0x00)), {}, ImageStatus::Truncated},
        {"header only", 0, 0, mif(4, 4, {}), {}, ImageStatus::Truncated},
    };
    return cases;
}

TEST(MifDecoders, EdgeCasesAgreeInFileAndBlock)
{
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        clearBackground();
        const ImageStatus fileStatus = loadImageFile(c.x, c.y, writeFile("case.mif", c.data).c_str());
        EXPECT_EQ(statusName(fileStatus), statusName(c.status));
        EXPECT_EQ(litIn(backgroundBuffer), c.want);

        clearScreen();
        EXPECT_EQ(statusName(drawBlock(c.x, c.y, c.data)), statusName(c.status));
        EXPECT_EQ(litIn(framebuffer), c.want);
    }
}

TEST(MifDecoders, FileHeadersOutOfRangeLeaveTheBufferAlone)
{
    const struct {
        const char* name;
        Bytes data;
        ImageStatus status;
    } cases[] = {
        {"width 0", mif(0, 5, {0x81, 15}), ImageStatus::BadHeader},
        {"height 0", mif(5, 0, {0x81, 15}), ImageStatus::BadHeader},
        {"width 481", mif(481, 1, {0x81, 15}), ImageStatus::BadHeader},
        {"height 273", mif(1, 273, {0x81, 15}), ImageStatus::BadHeader},
        {"huge header", mif(0xFFFF, 0xFFFF, Bytes(64, 0x81)), ImageStatus::BadHeader},
        {"shorter than a header", {0x01, 0x00, 0x01}, ImageStatus::BadHeader},
        {"empty file", {}, ImageStatus::BadHeader},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::fill_n(backgroundBuffer, FRAMEBUFFER_SIZE, uint8_t{0x33});
        EXPECT_EQ(statusName(loadImageFile(0, 0, writeFile("header.mif", c.data).c_str())), statusName(c.status));
        EXPECT_EQ(std::count(backgroundBuffer, backgroundBuffer + FRAMEBUFFER_SIZE, 0x33), FRAMEBUFFER_SIZE);
    }
    EXPECT_EQ(statusName(loadImageFile(0, 0, (testDir() / "no-such-file.mif").c_str())), "NotFound");
    EXPECT_EQ(std::count(backgroundBuffer, backgroundBuffer + FRAMEBUFFER_SIZE, 0x33), FRAMEBUFFER_SIZE);
}

TEST(MifDecoders, BuiltInBlocksTakeTheHeaderAsItIsButNeverReadPastTheirEnd)
{
    clearScreen();
    // 65535 x 65535: the first row's codes are drawn, then the block runs out.
    EXPECT_EQ(statusName(drawBlock(0, 0, mif(0xFFFF, 0xFFFF, {0x82, 7, 0x01, 8}))), "Truncated");
    EXPECT_EQ(litIn(framebuffer), (Pixels{{{0, 0}, 7}, {{1, 0}, 7}, {{2, 0}, 8}}));
    EXPECT_EQ(statusName(drawBlock(0, 0, {0x01, 0x00, 0x01})), "BadHeader");
    EXPECT_EQ(statusName(drawImage(0, 0, Icon{nullptr, 0})), "BadHeader");
}

// A run or a literal stretch whose bytes straddle a 128-byte read: the seam must not show.
TEST(MifDecoders, CodesAcrossTheReadBlockSeam)
{
    for (int offset : {0, 1, 122, 123, 124, 125, 126, 127, 128, 129, 254, 255, 256}) {
        for (bool run : {true, false}) {
            SCOPED_TRACE("code at byte " + std::to_string(offset) + (run ? " (run)" : " (literal)"));
            Bytes codes(offset, 0x00);  // empty literal codes as filler
            const Bytes tail = run ? Bytes{0x85, 0x21} : Bytes{0x05, 0x21, 0x22, 0x23, 0x24, 0x25};
            codes.insert(codes.end(), tail.begin(), tail.end());
            clearBackground();
            EXPECT_EQ(statusName(loadImageFile(0, 0, writeFile("seam.mif", mif(5, 1, codes)).c_str())), "Complete");
            Pixels want;
            for (int x = 0; x < 5; ++x) want[{x, 0}] = run ? 0x21 : 0x21 + x;
            EXPECT_EQ(litIn(backgroundBuffer), want);
        }
    }
}

TEST(MifDecoders, FullScreenPictureFillsTheBufferExactly)
{
    // Even rows as runs of 4, odd rows as literal stretches of 120, so that both kinds of code meet
    // the read blocks' seams many times over.
    auto colour = [](int x, int y) { return uint8_t((x / 4 + 3 * y) % 255 + 1); };
    Bytes codes;
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH;) {
            if (y % 2 == 0) {
                codes.insert(codes.end(), {0x84, colour(x, y)});
                x += 4;
            } else {
                codes.push_back(120);
                for (int i = 0; i < 120; ++i, ++x) codes.push_back(colour(x, y));
            }
        }
    }
    clearBackground();
    ASSERT_EQ(statusName(loadImageFile(0, 0, writeFile("full.mif", mif(480, 272, codes)).c_str())), "Complete");
    int wrong = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) wrong += backgroundBuffer[x + SCREEN_WIDTH * y] != colour(x, y);
    EXPECT_EQ(wrong, 0);
}

// ---- Built-in icons ----------------------------------------------------------------------------

struct IconInfo {
    const Icon* icon;
    const char* source;
    int width, height;
    std::set<int> colours;  // the only palette indices it may use
};

const std::vector<IconInfo>& icons()
{
    static const std::vector<IconInfo> list = {
        {&iconExclamation, "exclamation", 50, 50, {0, 9, 15}},
        {&iconQuestion, "question", 50, 50, {0, 9, 15}},
        {&iconRpm, "rpm", 50, 50, {0, 11, 15}},
        {&iconFuel, "fuel", 50, 50, {0, 12, 15}},
        {&iconManifold, "manifold", 50, 42, {0, 11, 15}},
        {&iconSender, "sender", 50, 50, {0, 9, 10, 11, 15}},
        {&iconBattery, "battery", 50, 50, {0, 3, 15}},
        {&iconThermometer, "thermometer", 50, 50, {0, 9, 15}},
        {&iconFlightLog, "flight_log", 50, 50, {0, 8, 9, 11, 12, 13, 14, 15}},
        {&iconEngine, "engine", 50, 50, {0, 3, 9, 15}},
        {&iconGps, "gps", 50, 50, {0, 7, 12, 13, 15, 108}},
        {&iconTimer, "timer", 50, 50, {0, 8, 11, 15}},
        {&iconSdCard, "sd_card", 50, 50, {0, 12, 15}},
        {&iconAdc, "adc", 50, 50, {0, 9, 10, 11}},
    };
    return list;
}

// The pixel source of an icon (data/icons/NAME.txt): "colour CHAR INDEX" lines, then "pixels" and the rows.
std::vector<int> sourcePixels(const std::string& name, int& width, int& height)
{
    std::ifstream in(kSource / "data" / "icons" / (name + ".txt"));
    std::map<char, int> colours;
    std::vector<int> pixels;
    std::string line, key;
    bool rows = false;
    width = height = 0;
    while (std::getline(in, line)) {
        if (rows) {
            if (line.empty()) continue;
            for (char c : line) pixels.push_back(colours.count(c) ? colours[c] : -1);
            width = static_cast<int>(line.size());
            ++height;
            continue;
        }
        std::istringstream words(line);
        words >> key;
        if (key == "colour") {
            char c;
            int index;
            words >> c >> index;
            colours[c] = index;
        }
        rows = key == "pixels";
    }
    return pixels;
}

TEST(BuiltInIcons, DrawExactlyTheirSourcesInTheirColours)
{
    for (const IconInfo& info : icons()) {
        SCOPED_TRACE(info.source);
        int width, height;
        const std::vector<int> want = sourcePixels(info.source, width, height);
        ASSERT_EQ(width, info.width);
        ASSERT_EQ(height, info.height);
        EXPECT_EQ(checkCodes(info.icon->data, info.icon->size, width, height), "");

        std::fill_n(framebuffer, FRAMEBUFFER_SIZE, uint8_t{0x33});
        EXPECT_EQ(statusName(drawImage(3, 2, *info.icon)), "Complete");
        std::set<int> used;
        int wrong = 0, outside = 0;
        for (int y = 0; y < SCREEN_HEIGHT; ++y)
            for (int x = 0; x < SCREEN_WIDTH; ++x) {
                const int got = framebuffer[x + SCREEN_WIDTH * y];
                const bool inIcon = x >= 3 && x < 3 + width && y >= 2 && y < 2 + height;
                if (!inIcon) {
                    outside += got != 0x33;
                    continue;
                }
                wrong += got != want[(y - 2) * width + (x - 3)];
                used.insert(got);
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(outside, 0);
        for (int c : used) EXPECT_TRUE(info.colours.count(c)) << "colour " << c << " is not one of the icon's";
        EXPECT_GE(used.size(), info.colours.size() - 1) << "the picture leaves out its colours";
    }
}

TEST(BuiltInIcons, ClippedAtEveryEdgeWithoutWrapping)
{
    clearScreen();
    drawImage(100, 100, iconGps);
    const std::vector<uint8_t> reference(framebuffer, framebuffer + FRAMEBUFFER_SIZE);
    for (const auto& [x, y] : {std::pair{-25, 100}, {455, 100}, {100, -30}, {100, 247}, {-49, -49}, {479, 271},
                               {480, 0}, {0, 272}, {-50, 10}}) {
        SCOPED_TRACE("at " + std::to_string(x) + ", " + std::to_string(y));
        clearScreen();
        drawImage(x, y, iconGps);
        int wrong = 0;
        for (int sy = 0; sy < SCREEN_HEIGHT; ++sy)
            for (int sx = 0; sx < SCREEN_WIDTH; ++sx) {
                const int ix = sx - x, iy = sy - y;
                const bool inIcon = ix >= 0 && ix < 50 && iy >= 0 && iy < 50;
                const uint8_t want = inIcon ? reference[(100 + ix) + SCREEN_WIDTH * (100 + iy)] : 0;
                wrong += framebuffer[sx + SCREEN_WIDTH * sy] != want;
            }
        EXPECT_EQ(wrong, 0);
    }
}

// All fourteen in a 7 x 2 grid, compared with tests/golden/icons/icon_sheet.png index for index
// (CORVEX_UPDATE_GOLDEN=1 rewrites it).
TEST(BuiltInIcons, SheetMatchesGolden)
{
    clearScreen();
    for (size_t i = 0; i < icons().size(); ++i)
        drawImage(8 + 67 * static_cast<int>(i % 7), 60 + 90 * static_cast<int>(i / 7), *icons()[i].icon);
    const fs::path golden = kSource / "tests" / "golden" / "icons" / "icon_sheet.png";
    const fs::path actual = fs::path(CORVEX_BINARY_DIR) / "golden-out" / "icons" / "icon_sheet.png";
    fs::create_directories(actual.parent_path());
    ASSERT_TRUE(writeIndexedPng(actual.string(), framebuffer, SCREEN_WIDTH, SCREEN_HEIGHT));
    if (std::getenv("CORVEX_UPDATE_GOLDEN")) {
        fs::create_directories(golden.parent_path());
        fs::copy_file(actual, golden, fs::copy_options::overwrite_existing);
        return;
    }
    IndexedImage want;
    std::string error;
    ASSERT_TRUE(readIndexedPng(golden.string(), want, error)) << error << " (set CORVEX_UPDATE_GOLDEN=1 to create it)";
    ASSERT_EQ(want.pixels.size(), size_t{FRAMEBUFFER_SIZE});
    int differing = 0;
    for (int i = 0; i < FRAMEBUFFER_SIZE; ++i) differing += want.pixels[i] != framebuffer[i];
    EXPECT_EQ(differing, 0) << golden << ": " << differing << " pixels differ; actual picture in " << actual;
}

// ---- The shipped card and power-on -------------------------------------------------------------

TEST(SampleCard, SplashIsAFullScreenPictureWithDarkTextRows)
{
    const Bytes splash = readFile(kSource / "SDCARD" / "SPLASH.MIF");
    ASSERT_GE(splash.size(), 4u);
    EXPECT_EQ(splash[0] | splash[1] << 8, 480);
    EXPECT_EQ(splash[2] | splash[3] << 8, 272);
    EXPECT_EQ(checkCodes(splash.data(), splash.size(), 480, 272), "");
    clearBackground();
    ASSERT_EQ(statusName(loadImageFile(0, 0, (kSource / "SDCARD" / "SPLASH.MIF").c_str())), "Complete");
    // The instrument writes the registration, serial number and version in white over the bottom rows.
    const int bottom = 35 * SCREEN_WIDTH;
    EXPECT_EQ(std::count(backgroundBuffer + FRAMEBUFFER_SIZE - bottom, backgroundBuffer + FRAMEBUFFER_SIZE, 0), bottom);
    EXPECT_GT(std::count(backgroundBuffer, backgroundBuffer + FRAMEBUFFER_SIZE, COLOUR_WHITE), 1000);
}

TEST(SampleCard, PowerOnDecodesTheCardsSplashOrLeavesBlack)
{
    const fs::path card = testDir() / "card";
    fs::create_directories(card);
    writeBytes(card / "SPLASH.MIF", mif(2, 1, {0x82, 0x0B}));
    resetDevice();
    setSdCardFolder(card.c_str());
    std::fill_n(backgroundBuffer, FRAMEBUFFER_SIZE, uint8_t{0x33});
    devicePowerOn();
    EXPECT_EQ(litIn(backgroundBuffer), (Pixels{{{0, 0}, 11}, {{1, 0}, 11}}));

    resetDevice();
    setSdCardFolder((testDir() / "no-card").c_str());
    std::fill_n(backgroundBuffer, FRAMEBUFFER_SIZE, uint8_t{0x33});
    devicePowerOn();
    EXPECT_EQ(litIn(backgroundBuffer), Pixels{});
    resetDevice();
}

// ---- corvex-mif --------------------------------------------------------------------------------

const fs::path kConverter = fs::path(CORVEX_BINARY_DIR).parent_path() / "tools" / "mif" / "corvex-mif";

struct ToolRun {
    int code;
    std::string output;
};

ToolRun convert(const std::string& args)
{
    const std::string command = "'" + kConverter.string() + "' " + args + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, "cannot run " + command};
    ToolRun run{0, ""};
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string q(const fs::path& path) { return "'" + path.string() + "'"; }

class Converter : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(kConverter)) << kConverter << " is not built";
        dir = testDir() / "files";
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    IndexedImage roundTrip(const fs::path& input, const std::string& options = "")
    {
        IndexedImage back;
        const ToolRun toMif = convert(options + " " + q(input) + " " + q(dir / "pic.mif"));
        EXPECT_EQ(toMif.code, 0) << toMif.output;
        const ToolRun toPng = convert(q(dir / "pic.mif") + " " + q(dir / "back.png"));
        EXPECT_EQ(toPng.code, 0) << toPng.output;
        std::string error;
        EXPECT_TRUE(readIndexedPng((dir / "back.png").string(), back, error)) << error;
        return back;
    }
    fs::path dir;
};

TEST_F(Converter, InstrumentPalettePngKeepsEveryIndex)
{
    // Runs, pairs and lone pixels over all 256 indices, odd sizes.
    const int width = 97, height = 53;
    std::vector<uint8_t> pixels(width * height);
    for (int i = 0; i < width * height; ++i) pixels[i] = uint8_t((i / (1 + (i / width) % 5)) % 256);
    ASSERT_TRUE(writeIndexedPng((dir / "in.png").string(), pixels.data(), width, height));
    const IndexedImage back = roundTrip(dir / "in.png");
    EXPECT_EQ(back.width, width);
    EXPECT_EQ(back.height, height);
    EXPECT_EQ(back.pixels, pixels);
    const Bytes encoded = readFile(dir / "pic.mif");
    EXPECT_EQ(checkCodes(encoded.data(), encoded.size(), width, height), "");
    EXPECT_LT(encoded.size(), pixels.size() + height * 4) << "runs should pay for the literal codes";
}

TEST_F(Converter, PaletteColouredRgbPngComesBackExact)
{
    const int width = 64, height = 40;
    std::vector<uint8_t> rgb;
    for (int i = 0; i < width * height; ++i) {
        const uint32_t c = palette[(i / 3) % 256];
        rgb.insert(rgb.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    }
    ASSERT_TRUE(writeRgbPng((dir / "rgb.png").string(), rgb, width, height));
    for (const char* options : {"", "--dither"}) {
        SCOPED_TRACE(options);
        const IndexedImage back = roundTrip(dir / "rgb.png", options);
        ASSERT_EQ(back.pixels.size(), size_t(width * height));
        int wrong = 0;
        for (int i = 0; i < width * height; ++i)
            wrong += palette[back.pixels[i]] != (uint32_t(rgb[3 * i]) << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2]);
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(Converter, DitheringKeepsTheAverageColour)
{
    const int width = 64, height = 64;
    const uint8_t want[3] = {0x61, 0x2E, 0x93};  // between palette colours
    std::vector<uint8_t> rgb;
    for (int i = 0; i < width * height; ++i) rgb.insert(rgb.end(), want, want + 3);
    ASSERT_TRUE(writeRgbPng((dir / "flat.png").string(), rgb, width, height));

    const IndexedImage plain = roundTrip(dir / "flat.png");
    EXPECT_EQ(std::set<uint8_t>(plain.pixels.begin(), plain.pixels.end()).size(), 1u);
    const IndexedImage dithered = roundTrip(dir / "flat.png", "--dither");
    EXPECT_GT(std::set<uint8_t>(dithered.pixels.begin(), dithered.pixels.end()).size(), 1u);
    for (int c = 0; c < 3; ++c) {
        double sum = 0;
        for (uint8_t index : dithered.pixels) sum += (palette[index] >> (16 - 8 * c)) & 0xFF;
        EXPECT_NEAR(sum / dithered.pixels.size(), want[c], 4.0) << "channel " << c;
    }
}

TEST_F(Converter, JpegBlocksTakeTheirNearestColours)
{
    const IndexedImage back = roundTrip(kSource / "tests" / "unit" / "image_data" / "colour_blocks.jpg");
    ASSERT_EQ(back.width, 64);
    ASSERT_EQ(back.height, 48);
    auto at = [&](int x, int y) { return int(back.pixels[y * 64 + x]); };
    EXPECT_EQ(at(12, 10), 9);   // red
    EXPECT_EQ(at(50, 10), 15);  // white
    EXPECT_EQ(at(12, 36), 12);  // blue
    EXPECT_EQ(at(50, 36), 0);   // black
}

TEST_F(Converter, FailuresSayWhyAndLeaveNothingBehind)
{
    std::ofstream(dir / "text.png") << "not a picture";
    std::ofstream(dir / "text.jpg") << "not a picture";
    const std::vector<uint8_t> row(481, 9);
    writeIndexedPng((dir / "wide.png").string(), row.data(), 481, 1);
    writeIndexedPng((dir / "tall.png").string(), row.data(), 1, 273);
    writeIndexedPng((dir / "ok.png").string(), row.data(), 40, 12);
    const Bytes ok = readFile(dir / "ok.png");
    writeBytes(dir / "cut.png", Bytes(ok.begin(), ok.end() - 20));
    writeBytes(dir / "bad.mif", mif(0, 3, {0x81, 1}));
    writeBytes(dir / "short.mif", mif(4, 2, {0x84, 1}));

    const struct {
        std::string input, output;
        int code;
        const char* says;
    } cases[] = {
        {"missing.png", "out.mif", 1, "cannot open"},
        {"text.png", "out.mif", 1, "not a PNG picture"},
        {"text.jpg", "out.mif", 1, "not a readable JPEG picture"},
        {"wide.png", "out.mif", 1, "481 x 1 pixels"},
        {"tall.png", "out.mif", 1, "1 x 273 pixels"},
        {(kSource / "data" / "panel" / "front_panel.jpg").string(), "out.mif", 1, "the display takes at most 480 x 272"},
        {"cut.png", "out.mif", 1, "damaged PNG picture"},
        {"bad.mif", "out.png", 1, "not a MIF picture"},
        {"short.mif", "out.png", 1, "ends before its last row"},
        {"missing.mif", "out.png", 1, "cannot open"},
        {"ok.png", "out.png", 2, "cannot convert"},
        {"ok.png", "no-such-folder/out.mif", 1, "cannot write"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input + " -> " + c.output);
        const fs::path input = fs::path(c.input).is_absolute() ? fs::path(c.input) : dir / c.input;
        const auto before = std::distance(fs::directory_iterator(dir), fs::directory_iterator());
        const ToolRun run = convert(q(input) + " " + q(dir / c.output));
        EXPECT_EQ(run.code, c.code) << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
        EXPECT_FALSE(fs::exists(dir / c.output));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), before)
            << "something was left in the output folder";
    }

    // A failed conversion leaves an older output as it was.
    std::ofstream(dir / "old.mif") << "older picture";
    EXPECT_EQ(convert(q(dir / "wide.png") + " " + q(dir / "old.mif")).code, 1);
    const Bytes old = readFile(dir / "old.mif");
    EXPECT_EQ(std::string(old.begin(), old.end()), "older picture");
}

}  // namespace

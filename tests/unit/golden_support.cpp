// Golden comparison with actual and diff images on failure, and the explicit update switch.
#include "golden_support.h"

#include <cstdlib>
#include <filesystem>

#include "display/framebuffer.h"

namespace fs = std::filesystem;

namespace {

const fs::path kGoldens = fs::path(CORVEX_SOURCE_DIR) / "tests" / "golden";
const fs::path kActual = fs::path(CORVEX_BINARY_DIR) / "golden-out";

// Matching pixels in a dim copy of the golden, differing pixels in full red.
void writeDiff(const IndexedImage& golden, const IndexedImage& actual, const fs::path& path)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(golden.width) * golden.height * 3);
    for (size_t i = 0; i < golden.pixels.size(); ++i) {
        const uint32_t c = palette[golden.pixels[i]];
        const bool same = golden.pixels[i] == actual.pixels[i];
        rgb[3 * i] = same ? static_cast<uint8_t>(((c >> 16) & 0xFF) / 4) : 255;
        rgb[3 * i + 1] = same ? static_cast<uint8_t>(((c >> 8) & 0xFF) / 4) : 0;
        rgb[3 * i + 2] = same ? static_cast<uint8_t>((c & 0xFF) / 4) : 0;
    }
    writeRgbPng(path.string(), rgb, golden.width, golden.height);
}

}  // namespace

testing::AssertionResult matchesGoldenFile(const std::string& actualPng, const std::string& goldenName)
{
    const fs::path golden = kGoldens / (goldenName + ".png");
    if (std::getenv("CORVEX_UPDATE_GOLDEN")) {
        fs::create_directories(golden.parent_path());
        fs::copy_file(actualPng, golden, fs::copy_options::overwrite_existing);
        return testing::AssertionSuccess() << "updated " << golden;
    }
    IndexedImage want, got;
    std::string error;
    if (!readIndexedPng(golden.string(), want, error))
        return testing::AssertionFailure() << error << " (CORVEX_UPDATE_GOLDEN=1 creates it)";
    if (!readIndexedPng(actualPng, got, error)) return testing::AssertionFailure() << error;
    if (want.width != got.width || want.height != got.height)
        return testing::AssertionFailure() << golden << ": size " << got.width << "x" << got.height << ", want "
                                           << want.width << "x" << want.height;
    size_t mismatches = 0;
    for (size_t i = 0; i < want.pixels.size(); ++i) mismatches += want.pixels[i] != got.pixels[i];
    if (mismatches == 0) return testing::AssertionSuccess();
    const fs::path diff = fs::path(actualPng).replace_extension(".diff.png");
    writeDiff(want, got, diff);
    return testing::AssertionFailure() << golden << ": " << mismatches << " pixels differ; actual " << actualPng
                                       << ", diff " << diff;
}

testing::AssertionResult framebufferMatchesGolden(const std::string& goldenName)
{
    const fs::path actual = kActual / (goldenName + ".png");
    fs::create_directories(actual.parent_path());
    if (!writeIndexedPng(actual.string(), framebuffer, SCREEN_WIDTH, SCREEN_HEIGHT))
        return testing::AssertionFailure() << "cannot write " << actual;
    return matchesGoldenFile(actual.string(), goldenName);
}

// Golden screens: every scenario in tests/scenarios is run and each screenshot it takes must match
// tests/golden/<scenario>/<file> index for index. CORVEX_UPDATE_GOLDEN=1 rewrites the goldens.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>

#include "display/framebuffer.h"
#include "runner/png_io.h"
#include "runner/scenario.h"

namespace fs = std::filesystem;

namespace {

const fs::path kScenarios = fs::path(CORVEX_SOURCE_DIR) / "tests" / "scenarios";
const fs::path kGoldens = fs::path(CORVEX_SOURCE_DIR) / "tests" / "golden";
const fs::path kActual = fs::path(CORVEX_BINARY_DIR) / "golden-out";

std::vector<std::string> scenarioNames()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kScenarios))
        if (entry.is_regular_file() && entry.path().extension() == ".scn") names.push_back(entry.path().stem());
    std::sort(names.begin(), names.end());
    return names;
}

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

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, ScreensMatch)
{
    const std::string name = GetParam();
    const fs::path out = kActual / name;
    fs::remove_all(out);
    fs::create_directories(out);
    resetDeviceForScenario();
    std::ifstream script(kScenarios / (name + ".scn"));
    ASSERT_TRUE(script) << name;
    ScenarioOptions options;
    options.outputDir = out;
    options.scriptDir = kScenarios;
    std::ostringstream printed;
    std::string error;
    ASSERT_TRUE(runScenario(script, options, printed, error)) << error;

    const bool update = std::getenv("CORVEX_UPDATE_GOLDEN") != nullptr;
    int compared = 0;
    for (const auto& shot : fs::directory_iterator(out)) {
        if (shot.path().extension() != ".png" || shot.path().stem().string().ends_with(".diff")) continue;
        const fs::path golden = kGoldens / name / shot.path().filename();
        if (update) {
            fs::create_directories(golden.parent_path());
            fs::copy_file(shot.path(), golden, fs::copy_options::overwrite_existing);
            continue;
        }
        ++compared;
        IndexedImage want, got;
        std::string readError;
        ASSERT_TRUE(readIndexedPng(golden.string(), want, readError))
            << readError << " (set CORVEX_UPDATE_GOLDEN=1 to create it)";
        ASSERT_TRUE(readIndexedPng(shot.path().string(), got, readError)) << readError;
        ASSERT_EQ(want.width, got.width);
        ASSERT_EQ(want.height, got.height);
        const auto mismatches = std::inner_product(want.pixels.begin(), want.pixels.end(), got.pixels.begin(),
                                                   size_t{0}, std::plus<>(), std::not_equal_to<>());
        if (mismatches != 0) {
            const fs::path diff = out / (shot.path().stem().string() + ".diff.png");
            writeDiff(want, got, diff);
            ADD_FAILURE() << golden << ": " << mismatches << " pixels differ; actual " << shot.path()
                          << ", diff " << diff;
        }
    }
    if (!update) {
        EXPECT_GT(compared, 0) << name << " took no screenshot";
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Golden, testing::ValuesIn(scenarioNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace

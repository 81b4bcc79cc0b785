// Golden screens: every scenario in tests/scenarios is run and each screenshot it takes must match
// tests/golden/<scenario>/<file> index for index.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>

#include "display/framebuffer.h"
#include "golden_support.h"

namespace fs = std::filesystem;

namespace {

const fs::path kScenarios = fs::path(CORVEX_SOURCE_DIR) / "tests" / "scenarios";
const fs::path kActual = fs::path(CORVEX_BINARY_DIR) / "golden-out";

std::vector<std::string> scenarioNames()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kScenarios))
        if (entry.is_regular_file() && entry.path().extension() == ".scn") names.push_back(entry.path().stem());
    std::sort(names.begin(), names.end());
    return names;
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, ScreensMatch)
{
    const std::string name = GetParam();
    const fs::path out = kActual / name;
    fs::remove_all(out);
    fs::create_directories(out);
    // Each scenario runs in a fresh runner process, as from a freshly started program: nothing
    // left by an earlier scenario (filters, peaks, counters) can change its screens.
    const fs::path script = kScenarios / (name + ".scn");
    const std::string command = "cd '" + out.string() + "' && '" + CORVEX_RUNNER + "' --output . '" +
                                script.string() + "' > printed.txt 2> error.txt";
    const int status = std::system(command.c_str());
    std::ifstream error(out / "error.txt");
    ASSERT_EQ(status, 0) << name << ": " << std::string(std::istreambuf_iterator<char>(error), {});

    int compared = 0;
    for (const auto& shot : fs::directory_iterator(out)) {
        if (shot.path().extension() != ".png" || shot.path().stem().string().ends_with(".diff")) continue;
        ++compared;
        EXPECT_TRUE(matchesGoldenFile(shot.path().string(), name + "/" + shot.path().stem().string()));
    }
    EXPECT_GT(compared, 0) << name << " took no screenshot";
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Golden, testing::ValuesIn(scenarioNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace

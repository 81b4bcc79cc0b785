// Golden screens: every scenario in tests/scenarios is run and each screenshot it takes must match
// tests/golden/<scenario>/<file> index for index.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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

// The runner's output folder, its options and the frames of its seen passes (--seen-frames, a
// file the runner writes whole at its end).
std::string runnerFrames(const fs::path& out, const std::string& options, const fs::path& script, int& status)
{
    fs::create_directories(out);
    const std::string command = "cd '" + out.string() + "' && '" + CORVEX_RUNNER + "' --output . " + options +
                                " --seen-frames seen-frames.bin '" + script.string() + "' > printed.txt 2> error.txt";
    status = std::system(command.c_str());
    std::ifstream file(out / "seen-frames.bin", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Drawing only the seen passes leaves, at every one of them, the same frame byte for byte as
// drawing every pass.
testing::AssertionResult sameSeenFrames(const std::string& seenOnly, const std::string& everyPass)
{
    if (seenOnly.size() != everyPass.size() || seenOnly.size() % FRAMEBUFFER_SIZE != 0)
        return testing::AssertionFailure() << "seen frames: " << seenOnly.size() << " bytes drawing only those, "
                                           << everyPass.size() << " drawing every pass";
    for (size_t at = 0; at < seenOnly.size(); at += FRAMEBUFFER_SIZE)
        if (seenOnly.compare(at, FRAMEBUFFER_SIZE, everyPass, at, FRAMEBUFFER_SIZE) != 0)
            return testing::AssertionFailure() << "seen pass " << at / FRAMEBUFFER_SIZE << " of "
                                               << seenOnly.size() / FRAMEBUFFER_SIZE << " differs";
    if (seenOnly.empty()) return testing::AssertionFailure() << "no seen pass";
    return testing::AssertionSuccess();
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, ScreensMatch)
{
    const std::string name = GetParam();
    const fs::path out = kActual / name;
    fs::remove_all(out);
    // Each scenario runs in a fresh runner process, as from a freshly started program: nothing
    // left by an earlier scenario (filters, peaks, counters) can change its screens. It runs
    // twice: drawing only the passes whose frame is looked at, then drawing every pass.
    const fs::path script = kScenarios / (name + ".scn");
    int status = 0;
    const std::string seenOnly = runnerFrames(out, "", script, status);
    std::ifstream error(out / "error.txt");
    ASSERT_EQ(status, 0) << name << ": " << std::string(std::istreambuf_iterator<char>(error), {});
    const std::string everyPass = runnerFrames(out / "every-pass", "--draw-every-pass", script, status);
    ASSERT_EQ(status, 0) << name << " drawing every pass";
    EXPECT_TRUE(sameSeenFrames(seenOnly, everyPass)) << name;

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

// The window's presets from power-on, both ways, with every home page they make.
TEST(SeenPasses, PresetsDrawTheSameFramesEitherWay)
{
    const fs::path presets = fs::path(CORVEX_SOURCE_DIR) / "data" / "presets";
    int count = 0;
    for (const auto& entry : fs::directory_iterator(presets)) {
        if (entry.path().extension() != ".scn") continue;
        ++count;
        const fs::path out = kActual / "presets" / entry.path().stem();
        fs::remove_all(out);
        fs::create_directories(out);
        const fs::path script = out / "preset.scn";
        std::ofstream(script) << "power on\nwait 1\nkey 1\nwait 0.2\nkey 1\nwait 0.2\ninclude " << entry.path().string()
                              << "\nwait 3\nkey 2\nwait 0.5\nkey 2\nwait 0.5\nkey 2\nwait 0.5\npass 7\n";
        int status = 0;
        const std::string seenOnly = runnerFrames(out, "", script, status);
        ASSERT_EQ(status, 0) << entry.path();
        const std::string everyPass = runnerFrames(out / "every-pass", "--draw-every-pass", script, status);
        ASSERT_EQ(status, 0) << entry.path();
        EXPECT_TRUE(sameSeenFrames(seenOnly, everyPass)) << entry.path();
    }
    EXPECT_GT(count, 5);
}

}  // namespace

// The monkey in the test command: a short seeded walk (CORVEX_MONKEY_PASSES, default two
// simulated minutes; CORVEX_MONKEY_SEED picks the walk) with every pass checked.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "../monkey/monkey_walk.h"
#include "device.h"

namespace {

uint64_t fromEnvironment(const char* name, uint64_t fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

TEST(Monkey, RandomWalkKeepsEveryInvariant)
{
    const auto seed = static_cast<uint32_t>(fromEnvironment("CORVEX_MONKEY_SEED", 20261207));
    const uint64_t passes = fromEnvironment("CORVEX_MONKEY_PASSES", 120000);
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "monkey";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "card");
    const MonkeyResult r = runMonkey(seed, passes, dir / "card", dir);
    EXPECT_TRUE(r.ok) << "seed " << r.seed << " after " << r.passes << " passes: " << r.failure
                      << "\nreplay (written to " << (dir / ("monkey-" + std::to_string(seed) + ".scn")).string()
                      << "):\n" << r.script;
    EXPECT_EQ(r.passes, passes);
    RecordProperty("screens_visited", static_cast<int>(r.screensVisited));
    resetDevice();
    std::filesystem::remove_all(dir);
}

}  // namespace

// corvex-monkey: the long monkey run (an hour of passes by default) outside the test command.
// Usage: corvex-monkey [SEED [PASSES [CARD_FOLDER]]]; prints passes, screens visited and seed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "monkey_walk.h"

int main(int argc, char** argv)
{
    const uint32_t seed = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 1;
    const uint64_t passes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 3600000;
    const std::filesystem::path card =
        argc > 3 ? std::filesystem::path(argv[3]) : std::filesystem::temp_directory_path() / "corvex-monkey-card";
    std::filesystem::create_directories(card);
    const auto start = std::chrono::steady_clock::now();
    const MonkeyResult r = runMonkey(seed, passes, card, std::filesystem::current_path());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("seed %u: %llu passes, %llu events, %zu of %zu screens visited, %.1f s: %s\n", r.seed,
                static_cast<unsigned long long>(r.passes), static_cast<unsigned long long>(r.events),
                r.screensVisited, r.screensTotal, seconds, r.ok ? "ok" : r.failure.c_str());
    if (!r.ok) std::cout << r.script;
    return r.ok ? 0 : 1;
}

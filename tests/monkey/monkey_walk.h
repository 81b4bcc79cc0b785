// The monkey: a seeded random walk of keys, scroll bars, check boxes, power cycles, clock jumps
// and NMEA bytes through every screen, with the instrument's invariants checked after each pass.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

struct MonkeyResult {
    uint32_t seed = 0;
    uint64_t passes = 0;          // passes run (all phases, the instrument on)
    uint64_t events = 0;          // inputs applied
    size_t screensVisited = 0;    // registered screens seen as currentScreen or overlayScreen
    size_t screensTotal = 0;
    bool ok = true;
    std::string failure;          // the broken invariant
    std::string script;           // the last events as a runner script, when a check failed
};

// Runs `passes` passes from a fresh program with the card at `card`. On a failure the script is
// also written to outDir/monkey-SEED.scn, with the NMEA fragments it names beside it.
MonkeyResult runMonkey(uint32_t seed, uint64_t passes, const std::filesystem::path& card,
                       const std::filesystem::path& outDir);

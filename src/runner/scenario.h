// Scenario scripts: drive the instrument without a window, one command a line, deterministically.
#pragma once
#include <cstdint>
#include <filesystem>
#include <istream>
#include <ostream>
#include <string>

struct ScenarioOptions {
    std::filesystem::path scriptDir = ".";  // where the script's relative paths are found
    std::filesystem::path outputDir;        // if set, where relative screenshot paths go instead
    std::filesystem::path scriptPath;       // the script itself, when it is a file (refuses including it)
    std::ostream* notes = nullptr;          // what the user is told besides the output (stderr if null)
};

// The simulated host: the time the window would see, and the PC clock it would read.
struct SimulatedHost {
    uint64_t elapsedMs = 0;         // simulated time since the run began
    uint32_t clockBaseSeconds = 0;  // PC clock (UTC seconds) at clockBaseMs
    uint64_t clockBaseMs = 0;
    uint32_t msSinceTick = 0;

    SimulatedHost();
    uint32_t utcNow() const;
    void advanceMs(uint64_t ms, bool runPasses);  // ticks every 100 ms, one pass per ms
};

// Runs a whole script. On a bad line returns false with "line N: ..." in error.
bool runScenario(std::istream& script, const ScenarioOptions& options, std::ostream& out, std::string& error);

// The display's pixels as one hash (what "expect screen HASH" compares).
std::string screenHashText();

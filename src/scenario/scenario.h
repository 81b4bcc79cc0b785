// Scenario scripts: drive the instrument without a window, one command a line, deterministically.
#pragma once
#include <cstdint>
#include <filesystem>
#include <istream>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

struct ScenarioOptions {
    std::filesystem::path scriptDir = ".";  // where the script's relative paths are found
    std::filesystem::path outputDir;        // if set, where relative screenshot paths go instead
    std::filesystem::path scriptPath;       // the script itself, when it is a file (refuses including it)
    std::ostream* notes = nullptr;          // what the user is told besides the output (stderr if null)
    std::FILE* seenFrames = nullptr;       // if set, gets the Framebuffer's bytes after every seen pass
};

// The simulated host: the time the window would see, and the PC clock it would read.
struct SimulatedHost {
    uint64_t elapsedMs = 0;         // simulated time since the run began
    uint32_t clockBaseSeconds = 0;  // PC clock (UTC seconds) at clockBaseMs
    uint64_t clockBaseMs = 0;
    uint32_t msSinceTick = 0;

    SimulatedHost();
    uint32_t utcNow() const;
    // Ticks every 100 ms, one pass per ms. Only the last pass and those before a GIF frame are
    // seen (drawn): the display is looked at only between commands and for a GIF frame.
    void advanceMs(uint64_t ms, bool runPasses);
};

// Runs a whole script. On a bad line returns false with "line N: ..." in error.
bool runScenario(std::istream& script, const ScenarioOptions& options, std::ostream& out, std::string& error);

// What a scenario cannot start with but a recording must keep, as "set NAME VALUE" lines.
// The settings fields that differ from the factory record; a power-on loads the factory record,
// so these lines go after it.
std::vector<std::string> settingsSetLines();
// The memory values and the current sensor's zero (both kept by a power cycle, zero at a run's
// start) that are not zero, and the screen when it is not the home screen.
std::vector<std::string> keptStateSetLines();
// "set NAME VALUE" as a script runs it (NAME or NAME[i]); false with the reason.
bool setScenarioVariable(const std::string& name, const std::string& value, std::string& error);

// The display's pixels as one hash (what "expect screen HASH" compares).
std::string screenHashText();

// Runs a scenario script in-process from a fresh instrument and collects what it printed.
#pragma once
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "device.h"
#include "scenario/scenario.h"

struct ScriptRun {
    bool ok = false;
    std::string out;
    std::string error;
    std::string notes;  // what the runner tells the user on stderr
};

inline ScriptRun runScript(const std::string& script, const std::string& scriptDir = ".")
{
    resetDevice();
    std::istringstream in(script);
    std::ostringstream out;
    ScriptRun r;
    ScenarioOptions options;
    std::ostringstream notes;
    options.notes = &notes;
    options.outputDir = testing::TempDir();
    options.scriptDir = scriptDir;
    r.ok = runScenario(in, options, out, r.error);
    r.out = out.str();
    r.notes = notes.str();
    return r;
}

// The runner's include (shared preambles, cycles refused) and expect (a scenario as a test).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "scenario/scenario.h"
#include "script_support.h"
#include "settings/settings.h"

namespace {

std::filesystem::path scriptDir()
{
    const auto dir = std::filesystem::path(testing::TempDir()) / "include_expect";
    std::filesystem::create_directories(dir);
    return dir;
}

void writeScript(const std::string& name, const std::string& text)
{
    std::ofstream(scriptDir() / name) << text;
}

TEST(RunnerExpect, PassesOnTheValueAndNamesTheLineOtherwise)
{
    struct Case {
        const char* script;
        const char* error;  // "" when the run passes
    } cases[] = {
        {"set oatLowAlarmOn 1\nexpect oatLowAlarmOn 1", ""},
        {"set oatLowAlarmOn 1\n\nexpect oatLowAlarmOn 0", "line 3: expected oatLowAlarmOn=0, got 1"},
        {"set aircraftRegistration \"G-ABCD  \"\nexpect aircraftRegistration \"G-ABCD  \"", ""},
        {"set aircraftRegistration \"G-AB#C\"  # a comment\nexpect aircraftRegistration \"G-AB#C\"", ""},
        {"set aircraftRegistration \"G-AB#C\"\nexpect aircraftRegistration \"G-AB\"#C", "line 2: expected aircraftRegistration=G-AB, got G-AB#C"},
        {"set tank1Calibration[2] 7\nexpect tank1Calibration[2] 7", ""},
        {"expect tank1Calibration 7", "line 1: tank1Calibration is an array: expect tank1Calibration[i]"},
        {"expect noSuchThing 1", "line 1: unknown variable: noSuchThing"},
        {"expect oatLowAlarmOn", "line 1: usage: expect NAME VALUE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const ScriptRun r = runScript(c.script);
        EXPECT_EQ(r.ok, c.error[0] == '\0');
        EXPECT_EQ(r.error, c.error);
    }
    // The window's recorder writes the settings so: every printable character reads back.
    std::strcpy(settings.aircraftRegistration, "G\"#B C# ");
    std::string lines;
    for (const std::string& line : settingsSetLines()) lines += line + "\n";
    const ScriptRun r = runScript(lines + "expect aircraftRegistration \"G\"#B C# \"");
    EXPECT_TRUE(r.ok) << lines << r.error;
}

TEST(RunnerInclude, RunsTheSharedPreambleRelativeToTheIncludingScript)
{
    std::filesystem::create_directories(scriptDir() / "common");
    writeScript("common/preamble.scn", "clock 2026-03-01T12:00:00Z\nset oatLowAlarmOn 1\nscreenshot shot.png\n");
    const ScriptRun r = runScript("include common/preamble.scn\nexpect oatLowAlarmOn 1\n", scriptDir().string());
    EXPECT_TRUE(r.ok) << r.error;
    // Without a harness's output folder, a screenshot lands beside the script that names it.
    std::istringstream script("include common/preamble.scn\n");
    std::ostringstream out;
    std::string error;
    resetDevice();
    ScenarioOptions options;
    options.scriptDir = scriptDir();
    ASSERT_TRUE(runScenario(script, options, out, error)) << error;
    EXPECT_TRUE(std::filesystem::exists(scriptDir() / "common" / "shot.png"));
}

TEST(RunnerInclude, RefusesCyclesMissingFilesAndNamesTheInnerLine)
{
    writeScript("a.scn", "include b.scn\n");
    writeScript("b.scn", "\ninclude a.scn\n");
    writeScript("self.scn", "include self.scn\n");
    writeScript("fails.scn", "set oatLowAlarmOn 1\nexpect oatLowAlarmOn 0\n");
    const std::string dir = scriptDir().string();
    std::filesystem::remove(scriptDir() / "pipe.scn");
    ASSERT_EQ(mkfifo((scriptDir() / "pipe.scn").c_str(), 0600), 0);  // refused, never waited on
    struct Case {
        const char* script;
        const char* errorStart;
        const char* errorEnd;
    } cases[] = {
        {"include a.scn", "line 1: in ", "b.scn, line 2: include cycle: " },
        {"include self.scn", "line 1: in ", "self.scn, line 1: include cycle: "},
        {"pass 1\ninclude nothing.scn", "line 2: cannot read ", "nothing.scn"},
        {"include", "line 1: usage: include FILE", ""},
        {"include pipe.scn", "line 1: cannot read ", "pipe.scn"},
        {"nmea pipe.scn", "line 1: cannot read ", "pipe.scn"},
        {"include fails.scn", "line 1: in ", "fails.scn, line 2: expected oatLowAlarmOn=0, got 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const ScriptRun r = runScript(c.script, dir);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error.rfind(c.errorStart, 0), 0u) << r.error;
        EXPECT_NE(r.error.find(c.errorEnd), std::string::npos) << r.error;
    }
}

TEST(RunnerInclude, TheTopScriptCannotIncludeItself)
{
    writeScript("top.scn", "include top.scn\n");
    resetDevice();
    std::ifstream in(scriptDir() / "top.scn");
    std::ostringstream out;
    ScenarioOptions options;
    options.scriptDir = scriptDir();
    options.scriptPath = scriptDir() / "top.scn";
    std::string error;
    EXPECT_FALSE(runScenario(in, options, out, error));
    EXPECT_NE(error.find("line 1: include cycle: "), std::string::npos) << error;
}

}  // namespace

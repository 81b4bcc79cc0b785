// The window's presets run as scenarios: each brings the instrument to its state with the alarms
// it is meant to show and no others.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/alarms.h"
#include "script_support.h"

namespace {

std::string presetText(const std::string& name)
{
    std::ifstream in(std::string(CORVEX_SOURCE_DIR) + "/data/presets/" + name + ".scn");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Presets, EachReachesItsStateWithItsAlarmsOnly)
{
    const struct {
        const char* name;
        uint32_t alarms;
        const char* printed;
    } presets[] = {
        {"engine_off", ALARM_AUX2 | ALARM_FUEL_PRESSURE, "rpm=0\n"},
        {"idle", 0, "rpm=1600\n"},
        {"take_off", 0, "rpm=5507\n"},
        {"cruise", 0, "rpm=4795\n"},
        {"low_oil_pressure", ALARM_AUX2, "rpm=4795\n"},
        {"high_cht", ALARM_EGT_CHT, "rpm=4795\n"},
        {"fuel_low", ALARM_TANK1, "rpm=4795\n"},
    };
    for (const auto& p : presets) {
        SCOPED_TRACE(p.name);
        const std::string text = presetText(p.name);
        ASSERT_FALSE(text.empty());
        // Only input and check lines, so the window can apply them to its controls.
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            const std::string code = line.substr(0, line.find('#'));
            if (code.find_first_not_of(" \t\r") == std::string::npos) continue;
            EXPECT_TRUE(code.rfind("input ", 0) == 0 || code.rfind("check ", 0) == 0) << line;
        }
        const ScriptRun run = runScript("power on\nkey 1\npass 1\nkey 1\npass 1\n" + text + "pass 3000\nprint rpm\n");
        ASSERT_TRUE(run.ok) << run.error;
        EXPECT_EQ(run.out, p.printed);
        EXPECT_EQ(alarmFlags, p.alarms);
    }
}

}  // namespace

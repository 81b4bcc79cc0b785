// The window's presets run as scenarios: each brings the instrument to its state with the alarms
// it is meant to show and no others.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "device_inputs.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "script_support.h"
#include "settings/settings.h"
#include "ui/widgets.h"

namespace {

std::string presetText(const std::string& name)
{
    std::ifstream in(std::string(CORVEX_SOURCE_DIR) + "/data/presets/" + name + ".scn");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The channels the engine page marks in caution or alarm, by name.
std::string channelsOutOfNormal()
{
    std::string out;
    const auto check = [&](const char* name, int32_t value, int32_t lowAlarm, int32_t lowCaution, int32_t highCaution,
                           int32_t highAlarm) {
        if (valueState(value, lowAlarm, lowCaution, highCaution, highAlarm) != ValueState::Normal) out += std::string(name) + " ";
    };
    const Settings& s = settings;
    check("volts", volts, s.voltsLowAlarm, s.voltsLowCaution, s.voltsHighCaution, s.voltsHighAlarm);
    check("OAT", oat, s.oatLowAlarm, s.oatLowAlarm, s.oatHighAlarm, s.oatHighAlarm);
    check("MAP", map, s.mapLowAlarm, s.mapLowCaution, s.mapHighCaution, s.mapHighAlarm);
    check("RPM", rpm, s.rpm1LowAlarm, s.rpm1LowCaution, s.rpm1HighCaution, s.rpm1HighAlarm);
    for (int i = 0; i < s.egtChannels + s.chtChannels && i < 12; ++i) {
        const bool egt = i < s.egtChannels;
        check(egt ? "EGT" : "CHT", tc[i], INT32_MIN, INT32_MIN, egt ? s.egtHighCaution : s.chtHighCaution,
              egt ? s.egtHighAlarm : s.chtHighAlarm);
    }
    for (int i = 0; i < 4; ++i) {
        const auto c = [&](const auto& k, int32_t v) { check("sender", v, k.lowAlarm, k.lowCaution, k.highCaution, k.highAlarm); };
        switch (analogInputFunction(i)) {
        case SENDER_FUNCTION_TEMPERATURE: c(s.temperatureSender[i], tempValue[i]); break;
        case SENDER_FUNCTION_PRESSURE: c(s.pressureSender[i], pressureValue[i]); break;
        case SENDER_FUNCTION_CURRENT: c(s.currentSender[i], auxCurrent[i]); break;
        default: break;
        }
    }
    const auto& f = s.fuelPressureSender;
    if (s.fuelPressureOn == 1) check("fuel pressure", fuelPressure, f.lowAlarm, f.lowCaution, f.highCaution, f.highAlarm);
    return out;
}

TEST(Presets, EachReachesItsStateWithItsAlarmsOnly)
{
    const struct {
        const char* name;
        uint32_t alarms;
        const char* printed;
        bool calm = false;  // no channel in caution either (the state the program starts in)
    } presets[] = {
        {"engine_off", ALARM_AUX2 | ALARM_FUEL_PRESSURE, "rpm=0\n"},
        {"idle", 0, "rpm=1600\n", true},
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
        // Every bar, so a preset leaves nothing of the state before it.
        for (const InputControlInfo& info : inputControls)
            EXPECT_NE(text.find(std::string("\ninput ") + info.caption + " "), std::string::npos) << info.caption;
        const ScriptRun run = runScript("power on\nkey 1\npass 1\nkey 1\npass 1\n" + text + "pass 3000\nprint rpm\n");
        ASSERT_TRUE(run.ok) << run.error;
        EXPECT_EQ(run.out, p.printed);
        EXPECT_EQ(alarmFlags, p.alarms);
        if (p.calm) {
            EXPECT_EQ(channelsOutOfNormal(), "");
        }
    }
}

}  // namespace

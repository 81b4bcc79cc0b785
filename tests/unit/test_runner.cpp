// The scenario runner's command language: errors name their line, time advances as the window's.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

#include "card_support.h"
#include "device.h"
#include "scenario/scenario.h"
#include "script_support.h"
#include "scenario/variables.h"
#include "time/clock.h"
#include "ui/screen.h"

namespace {

ScriptRun run(const std::string& script) { return runScript(script); }

TEST(Runner, BadLinesStopTheRunAndNameTheLine)
{
    struct Case {
        const char* script;
        const char* error;
    } cases[] = {
        {"frobnicate", "line 1: unknown command: frobnicate"},
        {"# comment\n\npower sideways", "line 3: usage: power on|off"},
        {"pass", "line 1: usage: pass N"},
        {"pass -3", "line 1: bad pass count: -3"},
        {"pass 2x", "line 1: bad pass count: 2x"},
        {"tick many", "line 1: bad tick count: many"},
        {"wait -1", "line 1: bad seconds: -1"},
        {"key soft6", "line 1: unknown key: soft6"},
        {"key 9", "line 1: unknown key: 9"},
        {"clock 2026-13-01T00:00:00Z", "line 1: bad clock (want YYYY-MM-DDTHH:MM:SSZ): 2026-13-01T00:00:00Z"},
        {"clock 2026-01-01 00:00:00", "line 1: usage: clock YYYY-MM-DDTHH:MM:SSZ"},
        {"clock 2026-02-31T10:00:00Z", "line 1: bad clock (want YYYY-MM-DDTHH:MM:SSZ): 2026-02-31T10:00:00Z"},
        {"clock 2023-02-29T10:00:00Z", "line 1: bad clock (want YYYY-MM-DDTHH:MM:SSZ): 2023-02-29T10:00:00Z"},
        {"clock 2026-01-01T10:00:00Z\nset aircraftRegistration \"G-AB#C", "line 2: missing closing quote: \"G-AB"},
        {"print", "line 1: usage: print NAME ..."},
        {"print pendingKey noSuchThing", "line 1: unknown variable: noSuchThing"},
        {"screenshot", "line 1: usage: screenshot FILE.png"},
        {"gif", "line 1: usage: gif FILE.gif [FPS] | gif stop"},
        {"gif a.gif 0", "line 1: bad frame rate (want 1..50): 0"},
        {"gif a.gif 51", "line 1: bad frame rate (want 1..50): 51"},
        {"gif stop", "line 1: no GIF is being written"},
        {"gif /proc/no/such/dir/x.gif", "line 1: cannot write /proc/no/such/dir/x.gif: No such file or directory"},
        {"gif /dev/full", "line 1: cannot write /dev/full: No such device"},  // a device is never replaced
    };
    for (const Case& c : cases) {
        const ScriptRun r = run(c.script);
        EXPECT_FALSE(r.ok) << c.script;
        EXPECT_EQ(r.error, c.error) << c.script;
    }
    // The card fills while an animation is written: the line that ends it fails, or the run at its
    // end, and no part of the file is left.
    const std::string gif = (std::filesystem::path(testing::TempDir()) / "full.gif").string();
    for (const auto& [script, error] : {std::pair<std::string, std::string>{"\ngif stop", "line 5: "}, {"", "at the end: "}}) {
        writeBudget = 2000;
        const ScriptRun r = run("gif " + gif + "\npower on\nwait 1\n" + script);
        writeBudget = -1;
        EXPECT_EQ(r.error, error + "cannot write " + gif + ": No space left on device");
        EXPECT_FALSE(std::filesystem::exists(gif));
        EXPECT_FALSE(std::filesystem::exists(gif + ".tmp"));
    }
}

TEST(Runner, KeysByNameAndCode)
{
    const char* names[] = {"soft1", "soft2", "soft3", "soft4", "soft5", "press", "plus", "minus"};
    for (int code = 1; code <= 8; ++code) {
        ScriptRun r = run(std::string("key ") + names[code - 1] + "\nprint pendingKey");
        EXPECT_EQ(r.out, "pendingKey=" + std::to_string(code) + "\n");
        r = run("key " + std::to_string(code) + "\nkey 1\nprint pendingKey");
        EXPECT_EQ(r.out, "pendingKey=" + std::to_string(code) + "\n");
    }
}

TEST(Runner, WaitRunsPassesAndTicksAtTheWindowsRates)
{
    const ScriptRun r = run("power on\nwait 1.5\nprint noticePassCount slowStepTickCount blinkTickCount");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.out, "noticePassCount=1500\nslowStepTickCount=5\nblinkTickCount=4\n");
    run("power on\nwait 5.001");
    EXPECT_EQ(devicePhase, DevicePhase::Running);
}

TEST(Runner, TicksWithoutPasses)
{
    const ScriptRun r = run("power on\ntick 25\nprint noticePassCount slowStepTickCount");
    EXPECT_EQ(r.out, "noticePassCount=0\nslowStepTickCount=5\n");
}

TEST(Runner, ClockAdvancesWithSimulatedTime)
{
    const ScriptRun r = run("clock 2024-02-29T23:59:58Z\npower on\nkey 1\npass 1\nkey 1\npass 1\n"
                      "wait 2\nprint rtcDateTime.year rtcDateTime.month rtcDateTime.day rtcDateTime.hour "
                      "rtcDateTime.minute rtcDateTime.second");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.out, "rtcDateTime.year=2024\nrtcDateTime.month=3\nrtcDateTime.day=1\nrtcDateTime.hour=0\n"
                     "rtcDateTime.minute=0\nrtcDateTime.second=0\n");
}

TEST(Runner, PassesWhileOffDoNothing)
{
    const ScriptRun r = run("pass 5\nprint noticePassCount pendingKey");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.out, "noticePassCount=0\npendingKey=0\n");
}

TEST(Runner, ScreenshotToAnUnwritablePlaceIsALineError)
{
    const ScriptRun r = run("\nscreenshot /proc/no/such/dir/x.png");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.rfind("line 2: cannot write", 0), 0u) << r.error;
}

}  // namespace

namespace {

TEST(RunnerInputs, ScrollBarsByCaptionAsMovingThemWould)
{
    const ScriptRun r = run("input Fuel Flow1: 65535\ninput TC1 -200\ninput Rotor: 2550\ninput CJC: 2240\n"
                            "check ZEDA On/Off 0\nprint rawFuelFlow tcInput rotorRpm rotorPercent rawCjc");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_NE(r.out.find("rawFuelFlow[0]=65535\n"), std::string::npos);
    EXPECT_NE(r.out.find("tcInput[0]=-200\n"), std::string::npos);
    EXPECT_NE(r.out.find("rotorRpm=2550\n"), std::string::npos);
    EXPECT_NE(r.out.find("rawCjc=2240\n"), std::string::npos);
    EXPECT_FALSE(hostControls.zedaOn);
}

TEST(RunnerInputs, BadInputLines)
{
    struct Case {
        const char* script;
        const char* error;
    } cases[] = {
        {"input TC1 1201", "line 1: 1201 is outside TC1 -200..1200"},
        {"input RPM: 0", "line 1: 0 is outside RPM: 1..31000"},
        {"input Fuel Flow3: 5", "line 1: no scroll bar captioned Fuel Flow3:"},
        {"input MAP: ten", "line 1: bad value: ten"},
        {"input MAP:", "line 1: usage: input CAPTION VALUE"},
        {"check Alarm 2", "line 1: check takes 0 or 1, not 2"},
        {"check SD Card 1", "line 1: no check box captioned SD Card"},
    };
    for (const Case& c : cases) {
        const ScriptRun r = run(c.script);
        EXPECT_FALSE(r.ok) << c.script;
        EXPECT_EQ(r.error, c.error) << c.script;
    }
}

TEST(RunnerInputs, OatAndRpmBarsAreReadAtPowerOnAndTheEngineRuns)
{
    const ScriptRun r = run("input OAT: 2240\ninput RPM: 600\ninput Volts: 2000\npower on\nkey 1\npass 1\nkey 1\n"
                            "pass 1\nwait 0.2\nprint rawOat rpmPeriod rpm oat volts");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.out, "rawOat=2240\nrpmPeriod=600\nrpm=2597\noat=0\nvolts=145\n");
}

TEST(RunnerInputs, CoAlarmFollowsItsCheckBoxWithinOnePass)
{
    const ScriptRun r = run("power on\nkey 1\npass 1\nkey 1\npass 1\ncheck Alarm 1\npass 1\nprint alarmFlags\n"
                            "check Alarm 0\npass 1\nprint alarmFlags");
    ASSERT_TRUE(r.ok) << r.error;
    unsigned raised = 0, cleared = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "alarmFlags=%u\nalarmFlags=%u", &raised, &cleared), 2) << r.out;
    EXPECT_EQ(raised & 0x2000u, 0x2000u);
    EXPECT_EQ(cleared & 0x2000u, 0u);
}

}  // namespace

namespace {

TEST(RunnerVariables, EveryNameIsUniqueAndPrintable)
{
    std::set<std::string> names;
    for (const DeviceVariable& v : allDeviceVariables()) {
        EXPECT_TRUE(names.insert(v.name).second) << "named twice: " << v.name;
        std::ostringstream out;
        printDeviceVariable(v, out);
        EXPECT_EQ(out.str().rfind(v.name, 0), 0u) << v.name;
    }
    EXPECT_GT(names.size(), 300u);
}

TEST(RunnerVariables, SetReachesOneElementOfEveryArray)
{
    // Every printed array takes set NAME[i] on its first and last element.
    for (const DeviceVariable& v : allDeviceVariables()) {
        if (v.type == VariableType::Text || v.count < 2 || !v.writable) continue;
        SCOPED_TRACE(v.name);
        const std::string name = v.name;
        const std::string last = std::to_string(v.count - 1);
        std::ostringstream before;
        printDeviceVariable(v, before);
        const ScriptRun r = run("set " + name + "[0] 7\nset " + name + "[" + last + "] 1\nprint " + name);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_NE(r.out.find(name + "[0]=7\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(name + "[" + last + "]=1\n"), std::string::npos) << r.out;
        // Put the device back as it was for the tests that follow.
        std::istringstream restore(before.str());
        for (std::string line; std::getline(restore, line);) {
            const size_t open = line.find('['), equals = line.find('=');
            std::string reason;
            DeviceVariable element;
            ASSERT_TRUE(deviceVariableElement(v, std::stoll(line.substr(open + 1)), element, reason)) << reason;
            ASSERT_TRUE(setDeviceVariable(element, line.substr(equals + 1), reason)) << reason;
        }
    }
}

TEST(RunnerVariables, SetOfAnElementByExample)
{
    struct Case {
        const char* script;
        const char* out;
        const char* error;
    } cases[] = {
        {"set senderZero[2] 2048\nprint senderZero", "senderZero[2]=2048\n", ""},
        {"set leanPeak[0] 700\nprint leanPeak", "leanPeak[0]=700\n", ""},
        {"set senderZero[1] 70000", "", "line 1: 70000 is out of range for senderZero"},
        {"set senderZero[4] 1", "", "line 1: index 4 is outside senderZero[0..3]"},
        {"set senderZero[-1] 1", "", "line 1: index -1 is outside senderZero[0..3]"},
        {"set senderZero[] 1", "", "line 1: bad element (want NAME[INDEX]): senderZero[]"},
        {"set senderZero[1 1", "", "line 1: bad element (want NAME[INDEX]): senderZero[1"},
        {"set senderZero[ 1", "", "line 1: bad element (want NAME[INDEX]): senderZero["},
        {"set senderZero[x] 1", "", "line 1: bad element (want NAME[INDEX]): senderZero[x]"},
        {"set senderZero[1]x 1", "", "line 1: bad element (want NAME[INDEX]): senderZero[1]x"},
        {"set volts[0] 1", "", "line 1: volts is not an array"},
        {"set noSuchArray[0] 1", "", "line 1: unknown variable: noSuchArray"},
        {"set senderZero 1", "", "line 1: senderZero is an array"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const ScriptRun r = run(c.script);
        EXPECT_EQ(r.ok, *c.error == '\0');
        EXPECT_EQ(r.error, c.error);
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    }
    resetDevice();
}

}  // namespace

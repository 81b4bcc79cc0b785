// The scenario runner's command language: errors name their line, time advances as the window's.
#include <gtest/gtest.h>

#include <sstream>

#include "device.h"
#include "runner/scenario.h"
#include "time/clock.h"
#include "ui/screen.h"

namespace {

struct ScriptRun {
    bool ok;
    std::string out;
    std::string error;
};

ScriptRun run(const std::string& script)
{
    resetDeviceForScenario();
    std::istringstream in(script);
    std::ostringstream out;
    ScriptRun r;
    ScenarioOptions options;
    options.outputDir = testing::TempDir();
    r.ok = runScenario(in, options, out, r.error);
    r.out = out.str();
    return r;
}

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
        {"print", "line 1: usage: print NAME ..."},
        {"print pendingKey noSuchThing", "line 1: unknown variable: noSuchThing"},
        {"screenshot", "line 1: usage: screenshot FILE.png"},
    };
    for (const Case& c : cases) {
        const ScriptRun r = run(c.script);
        EXPECT_FALSE(r.ok) << c.script;
        EXPECT_EQ(r.error, c.error) << c.script;
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

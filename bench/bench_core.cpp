// The cost of the instrument's own work per main-loop pass and of its heaviest primitives.
#include <benchmark/benchmark.h>

#include <sstream>

#include "device.h"
#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/inputs.h"
#include "scenario/scenario.h"
#include "settings/settings.h"
#include "ui/home.h"
#include "ui/popups.h"
#include "ui/screen.h"

namespace {

void startRunning()
{
    devicePowerOn();
    for (int i = 0; i < 2; ++i) {
        devicePressKey(KeyKnobPress);
        devicePass();
    }
}

void BM_MainLoopPass(benchmark::State& state)
{
    startRunning();
    for (auto _ : state) {
        devicePass();
        benchmark::DoNotOptimize(framebuffer[0]);
    }
}
BENCHMARK(BM_MainLoopPass);

void BM_SplashNoticePass(benchmark::State& state)
{
    devicePowerOn();
    for (auto _ : state) {
        devicePhase = DevicePhase::SplashNotice;
        noticePassCount = 0;
        devicePass();
    }
}
BENCHMARK(BM_SplashNoticePass);

// Every channel configured and fed: 12 thermocouples, four analog inputs (pressure, temperature
// and current), fuel pressure, the main current sensor, two flows and two tanks (one by sender,
// one calculated), RPM 2 beside MAP, and a CO monitor.
void configureEveryChannel()
{
    startRunning();
    settings.egtChannels = 6;
    settings.chtChannels = 6;
    settings.oilTempFunction = 2;
    settings.oilPressureFunction = 1;
    settings.aux13Function = 3;
    settings.aux24Function = 2;
    settings.fuelPressureOn = 1;
    settings.currentOn = 1;
    settings.flow1On = settings.flow2On = 1;
    settings.dualFlowMode = 0;
    settings.tank1Source = 0;
    settings.tank2Source = 1;
    settings.rpm2DisplayMode = 0;
    settings.mapDisplayOn = 1;
    settings.coMonitorType = 1;
    updateFuelLayout();
    for (int i = 0; i < 12; ++i) tcInput[i] = static_cast<int16_t>(i < 6 ? 620 + 9 * i : 95 + 3 * i);
    for (int i = 0; i < 4; ++i) rawAnalog[i] = static_cast<uint16_t>(1500 + 300 * i);
    rawFuelFlow[0] = 120, rawFuelFlow[1] = 40, rawFuelLevel[0] = 560, rawFuelLevel[1] = 470, rawFuelPressure = 1500;
    rawVolts = 1980, rawOat = 2330, rawMap = 1300, rpmPeriod = 620, rotorRpm = 5200, rawCurrent = 2600, rawCjc = 2240;
}

void BM_ProcessEngineInputsAllChannels(benchmark::State& state)
{
    configureEveryChannel();
    for (auto _ : state) {
        processEngineInputs();
        benchmark::DoNotOptimize(alarmFlags);
    }
}
BENCHMARK(BM_ProcessEngineInputsAllChannels);

// One whole pass on the busiest engine page: all of the above drawn.
void BM_BusiestEnginePagePass(benchmark::State& state)
{
    configureEveryChannel();
    for (auto _ : state) {
        devicePass();
        benchmark::DoNotOptimize(framebuffer[0]);
    }
}
BENCHMARK(BM_BusiestEnginePagePass);

// The busiest engine page with the quick menu open over it (every optional item shown).
void BM_QuickMenuOverBusiestPagePass(benchmark::State& state)
{
    configureEveryChannel();
    devicePressKey(KeyKnobPress);
    devicePass();
    for (auto _ : state) {
        overlayTimeout = 10;  // the menu stays open however long the measurement runs
        devicePass();
        benchmark::DoNotOptimize(framebuffer[0]);
    }
    state.counters["menuItems"] = menuItemCount;
    if (overlayScreen != quickMenuScreen) state.SkipWithError("the quick menu did not open");
}
BENCHMARK(BM_QuickMenuOverBusiestPagePass);

// The same page as no one sees it: its logic and measuring, no pixel written.
void BM_BusiestEnginePageUnseenPass(benchmark::State& state)
{
    configureEveryChannel();
    for (auto _ : state) {
        devicePass(PassView::Unseen);
        benchmark::DoNotOptimize(framebuffer[0]);
    }
}
BENCHMARK(BM_BusiestEnginePageUnseenPass);

// One simulated second of the runner on the engine page at cruise (the window's Cruise preset):
// 1000 passes and 10 ticks, the last pass drawn as after a "wait 1"; with argument 1 every pass
// is drawn (--draw-every-pass).
void BM_RunnerCruiseSecond(benchmark::State& state)
{
    resetDevice();
    deviceDrawEveryPass = state.range(0) != 0;
    std::istringstream script("power on\nkey 1\npass 1\nkey 1\npass 1\ninclude " CORVEX_SOURCE_DIR
                              "/data/presets/cruise.scn\nwait 5\n");
    std::ostringstream out;
    std::string error;
    if (!runScenario(script, ScenarioOptions{}, out, error)) state.SkipWithError(error.c_str());
    SimulatedHost host;
    for (auto _ : state) {
        host.advanceMs(1000, true);
        benchmark::DoNotOptimize(framebuffer[0]);
    }
    deviceDrawEveryPass = false;
}
BENCHMARK(BM_RunnerCruiseSecond)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CopyBackground(benchmark::State& state)
{
    for (auto _ : state) {
        copyBackground();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyBackground);

void BM_ClearScreen(benchmark::State& state)
{
    for (auto _ : state) {
        clearScreen();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearScreen);

void BM_DrawTextFont8Line(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(drawText(0, 100, "OIL PRESS 45 PSI  EGT 1350  CHT 380", 8, AlignLeft, 15));
    }
}
BENCHMARK(BM_DrawTextFont8Line);

void BM_FillRectFullScreen(benchmark::State& state)
{
    for (auto _ : state) {
        fillRect(0, 0, 479, 271, 247);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillRectFullScreen);

void BM_ArcBand90Degrees(benchmark::State& state)
{
    buildTrigTables();
    for (auto _ : state) {
        drawArcBand(240, 136, 8, 60, 135, 225, 254);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ArcBand90Degrees);

}  // namespace

// The cost of the instrument's own work per main-loop pass and of its heaviest primitives.
#include <benchmark/benchmark.h>

#include "device.h"
#include "display/framebuffer.h"
#include "display/text.h"
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

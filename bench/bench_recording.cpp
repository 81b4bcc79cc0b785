// A 100-hour DATALOG.CSV (360,000 lines, written by the instrument's own line writer) read into
// columns, and reduced for an 800-pixel chart over the whole of its longest session and over ten
// minutes of it. Counters give the heap the parse peaks at and the columns keep, beside the text.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <string>

#include "device.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "trends/recording.h"
#include "settings/settings.h"
#include "storage/storage.h"
#include "time/clock.h"
#include "time/data_recording.h"

// Live and peak heap bytes of the whole program, to measure what a parse holds at its worst.
namespace {
std::atomic<size_t> heapLive{0}, heapPeak{0};
}

void* operator new(size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    const size_t now = heapLive += malloc_usable_size(p);
    size_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {}
    return p;
}
// The replacement pair hands malloc's blocks out and back; GCC cannot see that they match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept
{
    if (!p) return;
    heapLive -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

constexpr int kHours[] = {2, 1, 97};  // three power-ons; the last session is the long one

// The instrument's header and lines over 100 hours, the values moving as in flight, with one
// short RPM spike an hour.
const std::string& hundredHourFile()
{
    static const std::string text = [] {
        devicePowerOn();
        settings.egtChannels = 6;
        settings.chtChannels = 6;
        settings.oilTempFunction = 2;
        settings.oilPressureFunction = 1;
        std::string out;
        out.reserve(40u << 20);
        char line[1024];
        uint32_t t = dateTimeToSeconds(DateTime{0, 0, 8, 1, 3, 2026});
        for (int hours : kHours) {
            recordingHeader(line, sizeof line);
            out += line;
            for (int i = 0; i < hours * 3600; ++i, ++t) {
                rtcDateTime = secondsToDateTime(t);
                const double phase = i / 600.0;
                volts = static_cast<uint16_t>(138 + 2 * std::sin(phase));
                oat = static_cast<int16_t>(12 - i / 1800 % 10);
                map = static_cast<int16_t>(240 + 20 * std::sin(phase / 3));
                rpm = static_cast<int32_t>(2400 + 150 * std::sin(phase) + (i % 3600 == 1800 ? 900 : 0));
                for (int c = 0; c < 12; ++c)
                    tc[c] = static_cast<int16_t>((c < 6 ? 700 : 180) + 15 * std::sin(phase + c) + i % 7);
                pressureValue[1] = static_cast<int16_t>(42 + i % 5);
                tempValue[0] = static_cast<int16_t>(88 + i % 3);
                fuelFlow[0] = static_cast<uint16_t>(310 + i % 11);
                fuelLevel[0] = static_cast<uint16_t>(std::max(0, 150 - i / 3600 * 10));
                fuelUsed[0] = i / 120;
                alarmFlags = i % 3600 < 20 ? 0x200u : 0u;
                recordingLine(line, sizeof line);
                out += line;
            }
            t += 3600;  // on the ground between flights
        }
        return out;
    }();
    return text;
}

const Recording& parsedFile()
{
    static const Recording rec = [] {
        Recording r;
        parseRecording(hundredHourFile(), r);
        return r;
    }();
    return rec;
}

void BM_ParseHundredHours(benchmark::State& state)
{
    const std::string& text = hundredHourFile();
    size_t peak = 0, kept = 0, lines = 0;
    for (auto _ : state) {
        Recording rec;
        const size_t before = heapLive.load();
        heapPeak = before;
        parseRecording(text, rec);
        peak = heapPeak.load() - before;
        kept = rec.bytesUsed();
        lines = rec.time.size();
        benchmark::DoNotOptimize(rec.time.data());
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["file_MB"] = text.size() / 1e6;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["columns_MB"] = kept / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseHundredHours)->Unit(benchmark::kMillisecond);

// Every series of the longest session for 800 pixels; range(0) = span in seconds, 0 = all of it.
void BM_ReduceEverySeries(benchmark::State& state)
{
    const Recording& rec = parsedFile();
    const RecordingSession& s = rec.sessions.back();
    const double t0 = static_cast<double>(s.start) + s.duration / 2.0;
    const double span = state.range(0) > 0 ? static_cast<double>(state.range(0)) : static_cast<double>(s.duration);
    const double from = state.range(0) > 0 ? t0 : static_cast<double>(s.start);
    std::vector<RecordingPoint> points;
    points.reserve(1600);
    size_t total = 0;
    for (auto _ : state) {
        total = 0;
        for (size_t c = 0; c < s.columns.size(); ++c) {
            points.clear();
            reduceRecording(rec, s, c, from, from + span, 800, points);
            total += points.size();
        }
        benchmark::DoNotOptimize(points.data());
    }
    state.counters["series"] = static_cast<double>(s.columns.size());
    state.counters["points"] = static_cast<double>(total);
    state.counters["session_lines"] = static_cast<double>(s.last - s.first + 1);
}
BENCHMARK(BM_ReduceEverySeries)->Arg(0)->Arg(600)->Unit(benchmark::kMicrosecond);

}  // namespace

// `corvex-bench-recording --write FILE` writes the 100-hour file, to open it in the window.
int main(int argc, char** argv)
{
    if (argc == 3 && std::string_view(argv[1]) == "--write") {
        const std::string& text = hundredHourFile();
        return replaceFile(argv[2], nullptr, text.data(), text.size()) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Recordings read into columns: sessions split at each kind of break, bad lines counted, spikes kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>

#include "trends/recording.h"

namespace {

std::string header(const char* egtUnit = "C")
{
    return std::string("UTC,VOLTS (V),RPM,EGT1 (") + egtUnit + "),EGT2 (" + egtUnit + "),ALARMS (HEX)\r\n";
}

// A line `s` seconds after 10:00:00.
std::string line(int s, int rpm = 2400, int egt = 700)
{
    char text[128];
    std::snprintf(text, sizeof text, "2026-03-01T%02d:%02d:%02dZ,14.1,%d,%d,%d,00000200\r\n", 10 + s / 3600,
                  s / 60 % 60, s % 60, rpm, egt, egt - 20);
    return text;
}

TEST(Recording, SessionsAndBadLines)
{
    const struct {
        const char* name;
        std::string text;
        size_t sessions, lines, bad;
    } kCases[] = {
        {"one session", header() + line(0) + line(1), 1, 2, 0},
        {"time runs backwards", header() + line(10) + line(9), 2, 2, 0},
        {"exactly five minutes apart", header() + line(0) + line(300), 1, 2, 0},
        {"five minutes and a second", header() + line(0) + line(301), 2, 2, 0},
        {"header repeats", header() + line(0) + header("F") + line(1), 2, 2, 0},
        {"bad lines", header() + line(0) + "2026-03-01T10:00:01Z,14.1,24\r\n" +
             "2026-03-01T10:00:02Z,14.1,2400,7O0,680,00000000\r\n" + "2026-02-30T10:00:03Z,14.1,2400,700,680,0\r\n" +
             "2026-03-01T10:00:04Z,14.1,2400,700,680,0,9\r\n" + line(5), 1, 2, 4},
        {"a line before any header", line(0) + header() + line(1) + "2026-03-01T10:00:0", 1, 1, 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Recording rec;
        ASSERT_TRUE(parseRecording(c.text, rec));
        EXPECT_EQ(rec.sessions.size(), c.sessions);
        EXPECT_EQ(rec.time.size(), c.lines);
        EXPECT_EQ(rec.badLines, c.bad);
        EXPECT_EQ(rec.sessions.back().last, c.lines - 1);
    }
}

TEST(Recording, SessionFiguresAndUnits)
{
    Recording rec;
    ASSERT_TRUE(parseRecording(header() + line(0, 2300, 690) + line(5, 2500, 720) + header("F") + line(6, 2450, 1300), rec));
    ASSERT_EQ(rec.sessions.size(), 2u);
    const RecordingSession& s = rec.sessions[0];
    EXPECT_EQ(s.duration, 5);
    EXPECT_EQ(s.peakRpm, 2500);
    EXPECT_EQ(s.peakEgt, 720);
    EXPECT_EQ(s.unit[rec.column("EGT2")], "C");
    EXPECT_EQ(rec.sessions[1].unit[rec.column("EGT2")], "F");
    EXPECT_EQ(rec.columns[rec.column("ALARMS")].words[2], 0x200u);
}

TEST(Recording, ReductionKeepsASpike)
{
    std::string text = header();
    for (int s = 0; s < 5000; ++s) text += line(s, s == 1234 ? 3300 : 2400 + s % 2);
    std::atomic<bool> cancel{true};
    Recording rec;
    EXPECT_FALSE(parseRecording(text, rec, {nullptr, &cancel}));  // looked at after 4096 lines
    EXPECT_EQ(rec.time.size(), 4095u);                            // the header and 4095 samples
    double done = 0;
    ASSERT_TRUE(parseRecording(text, rec, {[&done](double f) { done = f; }, nullptr}));
    EXPECT_EQ(done, 1.0);
    std::vector<RecordingPoint> points;
    const double t0 = static_cast<double>(rec.time.front());
    reduceRecording(rec, rec.sessions[0], rec.column("RPM"), t0, t0 + 3599, 100, points);
    EXPECT_EQ(points.size(), 200u);
    EXPECT_EQ(std::max_element(points.begin(), points.end(), [](auto a, auto b) { return a.value < b.value; })->value, 3300);
}

}  // namespace

// Recordings read into columns: sessions split at each kind of break, bad lines counted, spikes kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "trends/recording.h"
#include "time/data_recording.h"

namespace {

std::string header(const char* egtUnit = "C")
{
    return std::string("UTC,VOLTS (V),RPM,EGT1 (") + egtUnit + "),EGT2 (" + egtUnit + "),ALARMS (HEX)\r\n";
}

// A header of `cells` cells and a line for it.
std::string wide(int cells, bool header)
{
    std::string text = header ? "UTC" : "2026-03-01T09:00:00Z";
    for (int i = 1; i < cells; ++i) text += header ? ",C" + std::to_string(i) : ",1";
    return text + "\r\n";
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
        {"two lines at the same second", header() + line(0) + line(0), 1, 2, 0},
        {"five minutes and a second", header() + line(0) + line(301), 2, 2, 0},
        {"header repeats", header() + line(0) + header("F") + line(1), 2, 2, 0},
        {"bad lines", header() + line(0) + "2026-03-01T10:00:01Z,14.1,24\r\n" +
             "2026-03-01T10:00:02Z,14.1,2400,7O0,680,00000000\r\n" + "2026-02-30T10:00:03Z,14.1,2400,700,680,0\r\n" +
             "2026-03-01T10:00:04Z,14.1,2400,700,680,0,9\r\n" + line(5), 1, 2, 4},
        {"a line before any header", line(0) + header() + line(1) + "2026-03-01T10:00:0", 1, 1, 2},
        {"a byte-order mark before the header", "\xEF\xBB\xBF" + header() + line(0), 1, 1, 0},
        {"one not at the start", header() + "\xEF\xBB\xBF" + header() + line(0), 1, 1, 1},
        {"the widest header the instrument writes", wide(kRecordingWidestHeader, true) + wide(kRecordingWidestHeader, false), 1, 1, 0},
        {"a header wider", wide(kRecordingWidestHeader + 1, true) + wide(kRecordingWidestHeader + 1, false), 0, 0, 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Recording rec;
        ASSERT_TRUE(parseRecording(c.text, rec));
        EXPECT_EQ(rec.sessions.size(), c.sessions);
        EXPECT_EQ(rec.time.size(), c.lines);
        EXPECT_EQ(rec.badLines, c.bad);
        if (c.sessions > 0) {
            EXPECT_EQ(rec.sessions.back().last, c.lines - 1);
        }
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
    EXPECT_EQ(s.columns[s.column("EGT2")].unit, "C");
    EXPECT_EQ(rec.sessions[1].columns[rec.sessions[1].column("EGT2")].unit, "F");
    EXPECT_EQ(rec.sessions[1].value(rec.sessions[1].column("ALARMS"), 2), 0x200);
}

// A session keeps its own header's columns: a wide header once costs nothing in the lines after.
TEST(Recording, MemoryFollowsTheFile)
{
    std::string text = wide(kRecordingWidestHeader, true) + wide(kRecordingWidestHeader, false) + header();
    for (int s = 0; s < 20000; ++s) text += line(s);
    Recording rec;
    ASSERT_TRUE(parseRecording(text, rec));
    ASSERT_EQ(rec.sessions.size(), 2u);
    EXPECT_EQ(rec.sessions[1].columns.size(), 5u);
    EXPECT_LT(rec.bytesUsed(), rec.sourceBytes);
}

// A session copied out of its file: only while the file is the one read, its bytes unchanged.
TEST(Recording, ASessionIsCopiedOnlyFromTheFileRead)
{
    const std::string path = testing::TempDir() + "recording_copy.csv", other = path + ".other";
    const std::string first = header() + line(0), second = header("F") + line(1000) + "cut\r\n" + line(1001);
    const auto put = [](const std::string& to, const std::string& text) { std::ofstream(to, std::ios::binary) << text; };
    const struct {
        const char* name;
        std::function<void()> change;
        bool written;
        const char* why;
    } kCases[] = {
        {"unchanged", [] {}, true, ""},
        {"grown since", [&] { std::ofstream(path, std::ios::app) << line(1002); }, true, ""},
        {"a byte changed", [&] { put(path, first + header("F") + line(1000) + "cuT\r\n" + line(1001)); }, false,
         "recording_copy.csv has changed since it was opened."},
        {"cut short", [&] { put(path, first + second.substr(0, second.size() - 1)); }, false,
         "recording_copy.csv has changed since it was opened."},
        {"another file in its place", [&] { put(other, first + second), std::rename(other.c_str(), path.c_str()); }, false,
         "recording_copy.csv is no longer the file that was opened."},
        {"gone", [&] { std::remove(path.c_str()); }, false, "recording_copy.csv cannot be read: No such file or directory."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        put(path, first + second);
        Recording rec;
        ASSERT_TRUE(readRecordingFile(path, rec));
        ASSERT_EQ(rec.sessions.size(), 2u);
        c.change();
        std::string copied, why;
        const bool ok = copyRecordingSession(path, rec, rec.sessions[1], [&copied](std::string_view piece) {
            copied.append(piece);
            return true;
        }, why);
        EXPECT_EQ(ok, c.written);
        EXPECT_EQ(why, c.why);
        if (ok) {
            EXPECT_EQ(copied, second);
        }
    }
    std::remove(path.c_str());
}

TEST(Recording, ReductionKeepsASpike)
{
    std::string text = header();
    for (int s = 0; s < 5000; ++s) text += line(s, s == 1234 ? 3300 : s == 1240 ? 1000 : 2400 + s % 2);
    std::atomic<bool> cancel{true};
    Recording rec;
    EXPECT_FALSE(parseRecording(text, rec, {nullptr, &cancel}));  // looked at after 4096 lines
    EXPECT_EQ(rec.time.size(), 4095u);                            // the header and 4095 samples
    double done = 0;
    ASSERT_TRUE(parseRecording(text, rec, {[&done](double f) { done = f; }, nullptr}));
    EXPECT_EQ(done, 1.0);
    std::vector<RecordingPoint> points;
    const double t0 = static_cast<double>(rec.time.front());
    reduceRecording(rec, rec.sessions[0], rec.sessions[0].column("RPM"), t0, t0 + 3599, 100, points);
    EXPECT_EQ(points.size(), 200u);
    const auto highest = std::max_element(points.begin(), points.end(), [](auto a, auto b) { return a.value < b.value; });
    ASSERT_EQ(highest->value, 3300);
    // Its pixel column falls to 1000 after the spike: the highest is drawn first, in time order.
    EXPECT_EQ(highest[1].value, 1000);
    EXPECT_LT(highest[0].time, highest[1].time);
}

}  // namespace

// libFuzzer target for the recording reader (src/trends/recording.cpp): any text read into columns,
// whole and in three pieces, then every column reduced for a chart over a span of one session.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "trends/recording.h"
#include "time/data_recording.h"

namespace {

template <typename T>
bool sameBits(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

// Sessions cover every line once, in order; inside one, time never runs back nor jumps too far.
// A session's header and lines, copied out of the text, read back as that session alone.
void checkSessions(const Recording& rec, std::string_view text)
{
    size_t next = 0;
    uint64_t after = 0;
    for (const RecordingSession& s : rec.sessions) {
        require(s.headerBegin < s.headerEnd && s.headerEnd <= s.begin && after <= s.begin && s.begin < s.end &&
                s.end <= text.size() && text.substr(s.headerBegin, 3) == "UTC");
        after = s.end;
        Recording copy;
        require(parseRecording(std::string(text.substr(s.headerBegin, s.headerEnd - s.headerBegin)).append(
                                   text.substr(s.begin, s.end - s.begin)), copy));
        require(copy.sessions.size() == 1 && copy.time.size() == s.last - s.first + 1 &&
                std::equal(copy.time.begin(), copy.time.end(), rec.time.begin() + static_cast<ptrdiff_t>(s.first)));
        require(s.first == next && s.first <= s.last && s.last < rec.time.size());
        require(s.start == rec.time[s.first] && s.duration == rec.time[s.last] - s.start);
        require(s.columns.size() == copy.sessions[0].columns.size() && s.columns.size() < kRecordingWidestHeader);
        require(copy.sessions[0].headerSum == s.headerSum && copy.sessions[0].sum == s.sum);
        for (size_t i = s.first + 1; i <= s.last; ++i)
            require(rec.time[i] >= rec.time[i - 1] && rec.time[i] - rec.time[i - 1] <= kRecordingSessionGap);
        // Each column holds the session's lines, no more.
        for (const RecordingColumn& c : s.columns) {
            require(c.values.empty() || c.values.size() == s.last - s.first + 1);
            require(c.words.empty() || c.words.size() == s.last - s.first + 1);
            require(c.hex ? c.values.empty() : c.words.empty());
        }
        next = s.last + 1;
    }
    require(next == rec.time.size());
}

// At most two points per pixel column, inside the span and the session, in time order: the
// column's lowest and highest sample.
void checkReduction(const Recording& rec, const RecordingSession& s, size_t column, double t0, double t1, int width)
{
    std::vector<RecordingPoint> points;
    reduceRecording(rec, s, column, t0, t1, width, points);
    const double scale = t1 > t0 ? width / (t1 - t0) : 0.0;
    auto pixelOf = [&](int64_t t) { return std::min(width - 1, static_cast<int>((static_cast<double>(t) - t0) * scale)); };
    std::vector<float> low(width, NAN), high(width, NAN);
    std::vector<int> count(width, 0);
    for (size_t i = s.first; i <= s.last; ++i) {
        const float v = s.value(column, i);
        if (std::isnan(v) || rec.time[i] < t0 || rec.time[i] > t1) continue;
        const int px = pixelOf(rec.time[i]);
        low[px] = std::isnan(low[px]) ? v : std::min(low[px], v);
        high[px] = std::isnan(high[px]) ? v : std::max(high[px], v);
    }
    for (size_t p = 0; p < points.size(); ++p) {
        const RecordingPoint& point = points[p];
        require(point.time >= t0 && point.time <= t1 && point.time >= s.start && point.time <= s.start + s.duration);
        require(p == 0 || point.time >= points[p - 1].time);
        const int px = pixelOf(point.time);
        require(++count[px] <= 2);
        require(low[px] <= high[px] && (point.value == low[px] || point.value == high[px]));
        if (count[px] == 2) {
            const float other = points[p - 1].value;
            require(std::min(other, point.value) == low[px] && std::max(other, point.value) == high[px]);
        }
    }
    for (int px = 0; px < width; ++px) require((count[px] > 0) == !std::isnan(low[px]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Recording whole;
    require(parseRecording(text, whole));
    checkSessions(whole, text);

    // The same text in three pieces reads the same.
    RecordingParser parser(size);
    const size_t a = size / 3, b = size - size / 5;
    require(parser.feed(text.substr(0, a)) && parser.feed(text.substr(a, b - a)) && parser.feed(text.substr(b)));
    const Recording pieces = parser.finish();
    require(sameBits(whole.time, pieces.time) && whole.badLines == pieces.badLines);
    require(whole.sessions.size() == pieces.sessions.size());
    for (size_t i = 0; i < whole.sessions.size(); ++i) {
        const RecordingSession &w = whole.sessions[i], &p = pieces.sessions[i];
        require(w.begin == p.begin && w.end == p.end && w.headerBegin == p.headerBegin && w.sum == p.sum &&
                w.headerSum == p.headerSum && w.columns.size() == p.columns.size());
        for (size_t c = 0; c < w.columns.size(); ++c)
            require(sameBits(w.columns[c].values, p.columns[c].values) && sameBits(w.columns[c].words, p.columns[c].words));
    }

    // A span and width picked from the input's size: part of one session, or past its ends.
    if (whole.sessions.empty()) return 0;
    const RecordingSession& s = whole.sessions[size % whole.sessions.size()];
    const double t0 = static_cast<double>(s.start) + static_cast<double>(s.duration) * (static_cast<int>(size % 5) - 1) / 4.0;
    const double t1 = t0 + static_cast<double>(s.duration) * static_cast<double>(size % 3) / 2.0 + static_cast<double>(size % 2);
    const int width = 1 + static_cast<int>(size % 61);
    for (size_t c = 0; c < s.columns.size(); ++c) checkReduction(whole, s, c, t0, t1, width);
    return 0;
}

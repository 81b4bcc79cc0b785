// A DATALOG.CSV read once into compact columns: one time column, one float column per recorded
// quantity, the file split into sessions, and the min/max reduction the charts draw from.
// Plain C++: the window, the runner, the benchmarks and the fuzzers all link it.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One quantity of the file, named as its header names it without the unit ("RPM", "EGT3",
// "OIL PRESS"). Values are NaN where a line left the cell empty or its header had no such column.
// A column whose unit is HEX (the alarm bits) keeps exact words instead, 0 where empty.
struct RecordingColumn {
    std::string name;
    bool hex = false;
    std::vector<float> values;    // empty when the file never gave the column a number
    std::vector<uint32_t> words;  // hex columns only; empty when never given
    float value(size_t line) const;
};

// A stretch of lines recorded without a break: never a header between them, time never running
// backwards and never jumping by more than kRecordingSessionGap seconds.
struct RecordingSession {
    int64_t start = 0;     // seconds since 1970 of the first line
    int64_t duration = 0;  // seconds from the first line to the last
    size_t first = 0;      // line indices into the columns, both included
    size_t last = 0;
    float peakRpm = 0;     // NaN when the session has no RPM value
    float peakEgt = 0;     // highest of every EGT channel; NaN when none
    std::vector<std::string> unit;  // per column, as this session's header named it; "" if absent
    // Where the session lies in the file, in bytes: its header line, and its first line up to
    // the end of its last (any skipped lines between them included). A copy of the two is the
    // session as a file of its own.
    uint64_t headerBegin = 0, headerEnd = 0, begin = 0, end = 0;
};

constexpr int64_t kRecordingSessionGap = 5 * 60;

struct Recording {
    std::vector<int64_t> time;  // seconds since 1970 of every parsed line
    std::vector<RecordingColumn> columns;
    std::vector<RecordingSession> sessions;
    size_t badLines = 0;  // lines skipped: cut short, wrong cell count, bad time or number
    uint64_t sourceBytes = 0;  // the size of the text parsed
    int column(std::string_view name) const;  // index by name, -1 when absent
    size_t bytesUsed() const;                 // memory held by the columns
};

// Progress (fraction of the text done, 0..1) and a cancel flag, both looked at every few thousand
// lines so the parse can run on a worker thread.
struct RecordingParseControl {
    std::function<void(double)> progress;
    const std::atomic<bool>* cancel = nullptr;
};

// Parses text fed in pieces of any size (a line may straddle two pieces).
class RecordingParser {
public:
    // expectedBytes: the whole text's size, for progress and for sizing the columns once.
    explicit RecordingParser(size_t expectedBytes = 0, RecordingParseControl control = {});
    // False once cancelled; the text fed so far stays parsed.
    bool feed(std::string_view text);
    // The last unterminated line, the sessions' figures, the columns trimmed. Leaves the parser empty.
    Recording finish();

private:
    void line(std::string_view text, uint64_t offset);
    void header(std::string_view text);
    bool data(std::string_view text, uint64_t offset, uint64_t length);
    int columnFor(std::string_view name, bool hex);
    void closeSession();

    RecordingParseControl control;
    size_t expected = 0, done = 0, reserved = 0, linesSinceCheck = 0;
    bool cancelled = false, newSession = true, headerSeen = false;
    std::string carry;
    uint64_t carryOffset = 0, headerBegin = 0, headerEnd = 0;
    Recording out;
    std::vector<int> cellColumn;          // per cell of the current header: a column, or -1
    std::vector<std::string> cellUnit;
    std::vector<float> scratchValue;      // one line's cells before they are kept
    std::vector<uint32_t> scratchWord;
    std::vector<uint8_t> scratchSet;
};

// Whole text at once; false when cancelled (out then holds what was parsed before).
bool parseRecording(std::string_view text, Recording& out, const RecordingParseControl& control = {});
// A file read in pieces, so only the columns stay in memory; false when unreadable or cancelled.
bool readRecordingFile(const std::string& path, Recording& out, const RecordingParseControl& control = {});

// One drawn point of a reduced series.
struct RecordingPoint {
    double time;  // seconds since 1970
    float value;
};

// The samples lo..hi-1 (times in order, from timeAt(i)) within [t0, t1] reduced for a chart
// `width` pixels wide: each pixel column's lowest and highest sample, in time order (one point
// when they are the same sample), so no spike is lost. NaN values are left out. Appends to out.
template <typename TimeAt, typename ValueAt>
void reduceSamples(size_t lo, size_t hi, const TimeAt& timeAt, const ValueAt& valueAt, double t0, double t1,
                   int width, std::vector<RecordingPoint>& out)
{
    const double scale = t1 > t0 ? width / (t1 - t0) : 0.0;
    int pixel = -1;
    size_t low = 0, high = 0;
    float lowValue = 0, highValue = 0;
    auto flush = [&] {
        if (pixel < 0) return;
        const bool lowFirst = low <= high;
        out.push_back({static_cast<double>(timeAt(lowFirst ? low : high)), lowFirst ? lowValue : highValue});
        if (low != high)
            out.push_back({static_cast<double>(timeAt(lowFirst ? high : low)), lowFirst ? highValue : lowValue});
    };
    for (size_t i = lo; i < hi; ++i) {
        const float v = valueAt(i);
        if (v != v) continue;
        const double t = static_cast<double>(timeAt(i));
        if (t < t0 || t > t1) continue;
        int px = static_cast<int>((t - t0) * scale);
        if (px >= width) px = width - 1;
        if (px != pixel) {
            flush();
            pixel = px;
            low = high = i;
            lowValue = highValue = v;
        } else if (v < lowValue) {
            low = i, lowValue = v;
        } else if (v > highValue) {
            high = i, highValue = v;
        }
    }
    flush();
}

// The index of the session's last line at or before t; SIZE_MAX when t is before its first.
size_t recordingLineAt(const Recording& rec, const RecordingSession& session, double t);

// The column's samples of the session within [t0, t1] (seconds since 1970), reduced as above.
void reduceRecording(const Recording& rec, const RecordingSession& session, size_t column, double t0,
                     double t1, int width, std::vector<RecordingPoint>& out);

// A DATALOG.CSV read once into compact columns: one time column, and per session one float column
// per quantity its header names, the file split into sessions, and the min/max reduction the
// charts draw from.
// Plain C++: the window, the runner, the benchmarks and the fuzzers all link it.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One quantity of a session, named as its header names it without the unit ("RPM", "EGT3",
// "OIL PRESS"), in the unit the header gives it ("" when none). One value per line of the session,
// NaN where a line left the cell empty. A column whose unit is HEX (the alarm bits) keeps exact
// words instead, 0 where empty.
struct RecordingColumn {
    std::string name;
    std::string unit;
    bool hex = false;
    std::vector<float> values;    // empty when the session never gave the column a number
    std::vector<uint32_t> words;  // hex columns only; empty when never given
    float value(size_t index) const;  // index: the line's place in the session, 0 for its first
};

// A stretch of lines recorded without a break: never a header between them, time never running
// backwards and never jumping by more than kRecordingSessionGap seconds. It keeps the columns of
// its own header only, so a column named once costs nothing in the sessions that do not name it.
struct RecordingSession {
    int64_t start = 0;     // seconds since 1970 of the first line
    int64_t duration = 0;  // seconds from the first line to the last
    size_t first = 0;      // line indices into Recording::time, both included
    size_t last = 0;
    float peakRpm = 0;     // NaN when the session has no RPM value
    float peakEgt = 0;     // highest of every EGT channel; NaN when none
    std::vector<RecordingColumn> columns;  // as its header names them; a name given twice is kept once
    // Where the session lies in the file, in bytes: its header line, and its first line up to
    // the end of its last (any skipped lines between them included). A copy of the two is the
    // session as a file of its own. The sums tell whether those bytes are still the ones read.
    uint64_t headerBegin = 0, headerEnd = 0, begin = 0, end = 0;
    uint64_t headerSum = 0, sum = 0;
    int column(std::string_view name) const;        // index by name, -1 when absent
    float value(size_t column, size_t line) const;  // line: an index into Recording::time; NaN outside
};

constexpr int64_t kRecordingSessionGap = 5 * 60;

struct Recording {
    std::vector<int64_t> time;  // seconds since 1970 of every parsed line
    std::vector<RecordingSession> sessions;
    size_t badLines = 0;  // lines skipped: cut short, wrong cell count, bad time or number, too wide a header
    uint64_t sourceBytes = 0;  // the size of the text parsed
    uint64_t device = 0, inode = 0;  // the file read (readRecordingFile); 0 for text
    size_t bytesUsed() const;        // memory held by the columns
};

// A checksum of bytes, the same however they are cut into pieces.
class RecordingSum {
public:
    void add(std::string_view bytes);
    uint64_t value() const;  // of the bytes added so far

private:
    uint64_t state = 0x9E3779B97F4A7C15u, length = 0, pending = 0;
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
    void line(std::string_view text, uint64_t offset, bool terminated);
    bool header(std::string_view text);
    bool data(std::string_view text, uint64_t offset, uint64_t length);
    void closeSession();

    RecordingParseControl control;
    size_t expected = 0, done = 0, reserved = 0, linesSinceCheck = 0;
    bool cancelled = false, newSession = true, headerSeen = false;
    std::string carry;
    uint64_t carryOffset = 0, headerBegin = 0, headerEnd = 0, headerSum = 0;
    size_t columnsReserved = 0;           // lines each column of the open session has room for
    size_t reservations = 0;              // sessions given room for the rest of the text
    Recording out;
    std::vector<RecordingColumn> headerColumns;  // the current header's, without values
    std::vector<int> cellColumn;          // per cell of the current header: a column, or -1
    RecordingSum run;                     // the bytes from the open session's first line on
    std::vector<float> scratchValue;      // one line's cells before they are kept
    std::vector<uint32_t> scratchWord;
    std::vector<uint8_t> scratchSet;
};

// Whole text at once; false when cancelled (out then holds what was parsed before).
bool parseRecording(std::string_view text, Recording& out, const RecordingParseControl& control = {});
// A file read in pieces, so only the columns stay in memory; false when unreadable or cancelled.
bool readRecordingFile(const std::string& path, Recording& out, const RecordingParseControl& control = {});

// The session copied out of the file at `path` it was read from, header and lines, handed to
// `write` in pieces; false when the file is no longer the one read (another file at the path, or
// the session's bytes changed: the working card's file keeps growing, which is no change) or
// cannot be read, with the reason in `why`, or when `write` failed (`why` then empty). What was
// written before a false is to be thrown away.
bool copyRecordingSession(const std::string& path, const Recording& rec, const RecordingSession& session,
                          const std::function<bool(std::string_view)>& write, std::string& why);

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

// The session's column's samples within [t0, t1] (seconds since 1970), reduced as above.
void reduceRecording(const Recording& rec, const RecordingSession& session, size_t column, double t0,
                     double t1, int width, std::vector<RecordingPoint>& out);

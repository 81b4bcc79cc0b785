// The recording reader: lines to columns without an object per sample, sessions, and the min/max
// reduction per pixel column.
#include "trends/recording.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();
constexpr size_t kCheckEvery = 4096;  // lines between looks at the cancel flag and progress

bool digit(char c) { return c >= '0' && c <= '9'; }

// Days from 1970-01-01 to a proleptic Gregorian date.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = y / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

unsigned daysInMonth(unsigned y, unsigned m)
{
    static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

// "YYYY-MM-DDTHH:MM:SSZ" as the instrument writes it.
bool parseTime(std::string_view s, int64_t& t)
{
    static const char kShape[] = "0000-00-00T00:00:00Z";
    if (s.size() != sizeof kShape - 1) return false;
    for (size_t i = 0; i < s.size(); ++i)
        if (kShape[i] == '0' ? !digit(s[i]) : s[i] != kShape[i]) return false;
    auto num = [&s](size_t at, size_t n) {
        unsigned v = 0;
        for (size_t i = at; i < at + n; ++i) v = v * 10 + static_cast<unsigned>(s[i] - '0');
        return v;
    };
    const unsigned y = num(0, 4), mo = num(5, 2), d = num(8, 2), h = num(11, 2), mi = num(14, 2), se = num(17, 2);
    if (y < 1970 || y > 2099 || mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, mo) || h > 23 || mi > 59 || se > 59)
        return false;
    t = daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + se;
    return true;
}

// A decimal number; short ones (the instrument's own) without the general conversion.
bool parseNumber(std::string_view s, float& v)
{
    static const float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f};
    size_t i = s[0] == '-' ? 1 : 0;
    uint32_t mantissa = 0;
    int digits = 0, fraction = 0;
    bool dot = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (digit(c) && mantissa <= 1677720) {  // stays below 2^24: exact in a float
            mantissa = mantissa * 10 + static_cast<uint32_t>(c - '0');
            ++digits;
            fraction += dot;
        } else if (c == '.' && !dot) {
            dot = true;
        } else {
            break;
        }
    }
    if (i == s.size() && digits > 0 && fraction < 10) {
        // One correctly rounded division of two exact floats: the float nearest the decimal.
        const float magnitude = static_cast<float>(mantissa) / kPow10[fraction];
        v = s[0] == '-' ? -magnitude : magnitude;
        return true;
    }
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), v);
    return error == std::errc() && end == s.data() + s.size() && std::isfinite(v);
}

bool parseHex(std::string_view s, uint32_t& w)
{
    if (s.size() > 8) return false;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), w, 16);
    return error == std::errc() && end == s.data() + s.size();
}

// The name and unit of a header cell: "EGT1 (C)" is "EGT1" in "C".
void splitName(std::string_view cell, std::string_view& name, std::string_view& unit)
{
    const size_t open = cell.find('(');
    const size_t close = cell.rfind(')');
    unit = open != std::string_view::npos && close != std::string_view::npos && close > open
               ? cell.substr(open + 1, close - open - 1) : std::string_view();
    name = cell.substr(0, open);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
}

template <typename T>
void keep(std::vector<T>& column, size_t lines, size_t reserve, bool set, T value, T none)
{
    if (column.empty()) {
        if (!set) return;
        column.reserve(std::max(reserve, lines + 1));
        column.assign(lines, none);
    }
    column.push_back(set ? value : none);
}

}  // namespace

float RecordingColumn::value(size_t line) const
{
    if (hex) return line < words.size() ? static_cast<float>(words[line]) : kNone;
    return line < values.size() ? values[line] : kNone;
}

int Recording::column(std::string_view name) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name) return static_cast<int>(i);
    return -1;
}

size_t Recording::bytesUsed() const
{
    size_t bytes = time.capacity() * sizeof(int64_t);
    for (const RecordingColumn& c : columns)
        bytes += c.values.capacity() * sizeof(float) + c.words.capacity() * sizeof(uint32_t);
    return bytes;
}

RecordingParser::RecordingParser(size_t expectedBytes, RecordingParseControl control)
    : control(std::move(control)), expected(expectedBytes)
{
}

bool RecordingParser::feed(std::string_view text)
{
    if (cancelled) return false;
    size_t at = 0;
    if (!carry.empty()) {
        const size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            carry.append(text);
            done += text.size();
            return true;
        }
        carry.append(text.substr(0, end));
        line(carry, carryOffset);
        carry.clear();
        at = end + 1;
    }
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            carry.assign(text.substr(at));
            carryOffset = done + at;
            break;
        }
        line(text.substr(at, end - at), done + at);
        at = end + 1;
        if (++linesSinceCheck >= kCheckEvery) {
            linesSinceCheck = 0;
            if (control.cancel && control.cancel->load(std::memory_order_relaxed)) {
                cancelled = true;
                return false;
            }
            if (control.progress && expected > 0)
                control.progress(std::min(1.0, static_cast<double>(done + at) / static_cast<double>(expected)));
        }
    }
    done += text.size();
    return true;
}

// A line at `offset` in the text, without its line feed (which the text may not have at its end).
void RecordingParser::line(std::string_view text, uint64_t offset)
{
    const uint64_t length = text.size() + 1;  // the last line's missing feed is taken off at the finish
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (text.empty()) return;
    if (text.substr(0, 4) == "UTC," || text == "UTC") {
        header(text);
        headerBegin = offset;
        headerEnd = offset + length;
    } else if (!data(text, offset, length)) {
        ++out.badLines;
    }
}

int RecordingParser::columnFor(std::string_view name, bool hex)
{
    for (size_t i = 0; i < out.columns.size(); ++i)
        if (out.columns[i].name == name && out.columns[i].hex == hex) return static_cast<int>(i);
    out.columns.push_back(RecordingColumn{std::string(name), hex, {}, {}});
    scratchValue.push_back(kNone);
    scratchWord.push_back(0);
    scratchSet.push_back(0);
    return static_cast<int>(out.columns.size() - 1);
}

void RecordingParser::header(std::string_view text)
{
    cellColumn.clear();
    cellUnit.clear();
    size_t at = 4;  // past "UTC,"
    while (at <= text.size() && text.size() > 3) {
        const size_t end = std::min(text.find(',', at), text.size());
        std::string_view name, unit;
        splitName(text.substr(at, end - at), name, unit);
        int c = columnFor(name, unit == "HEX");
        if (std::find(cellColumn.begin(), cellColumn.end(), c) != cellColumn.end()) c = -1;  // named twice
        cellColumn.push_back(c);
        cellUnit.emplace_back(unit);
        at = end + 1;
    }
    headerSeen = true;
    newSession = true;
}

bool RecordingParser::data(std::string_view text, uint64_t offset, uint64_t length)
{
    if (!headerSeen) return false;
    const size_t timeEnd = std::min(text.find(','), text.size());
    int64_t t = 0;
    if (!parseTime(text.substr(0, timeEnd), t)) return false;
    // Every cell is read before any is kept: a bad cell drops the whole line.
    size_t cell = 0, at = timeEnd + 1;
    bool ok = true;
    while (ok && at <= text.size() && timeEnd < text.size()) {
        const size_t end = std::min(text.find(',', at), text.size());
        if (cell >= cellColumn.size()) {
            ok = false;
            break;
        }
        const int c = cellColumn[cell];
        const std::string_view s = text.substr(at, end - at);
        if (c >= 0 && !s.empty()) {
            ok = out.columns[c].hex ? parseHex(s, scratchWord[c]) : parseNumber(s, scratchValue[c]);
            scratchSet[c] = 1;
        }
        ++cell;
        at = end + 1;
    }
    if (!ok || cell != cellColumn.size()) {
        std::fill(scratchSet.begin(), scratchSet.end(), 0);
        return false;
    }

    const size_t lines = out.time.size();
    if (!newSession && (t < out.time.back() || t - out.time.back() > kRecordingSessionGap)) newSession = true;
    if (newSession) {
        closeSession();
        RecordingSession s;
        s.first = lines;
        s.start = t;
        s.headerBegin = headerBegin;
        s.headerEnd = headerEnd;
        s.begin = offset;
        s.unit.resize(out.columns.size());
        for (size_t i = 0; i < cellColumn.size(); ++i)
            if (cellColumn[i] >= 0) s.unit[cellColumn[i]] = cellUnit[i];
        out.sessions.push_back(std::move(s));
        newSession = false;
    }
    out.sessions.back().end = offset + length;
    if (reserved == 0 && expected > 0) reserved = expected / (text.size() + 2) * 11 / 10 + 16;
    if (out.time.empty()) out.time.reserve(reserved);
    out.time.push_back(t);
    for (size_t c = 0; c < out.columns.size(); ++c) {
        RecordingColumn& column = out.columns[c];
        if (column.hex) keep<uint32_t>(column.words, lines, reserved, scratchSet[c], scratchWord[c], 0);
        else keep<float>(column.values, lines, reserved, scratchSet[c], scratchValue[c], kNone);
        scratchSet[c] = 0;
    }
    return true;
}

void RecordingParser::closeSession()
{
    if (out.sessions.empty()) return;
    RecordingSession& s = out.sessions.back();
    s.last = out.time.size() - 1;
    s.duration = out.time[s.last] - s.start;
}

Recording RecordingParser::finish()
{
    if (!carry.empty() && !cancelled) line(carry, carryOffset);
    closeSession();
    out.sourceBytes = done;
    const int rpm = out.column("RPM");
    for (RecordingSession& s : out.sessions) {
        s.unit.resize(out.columns.size());
        s.end = std::min(s.end, out.sourceBytes);
        s.headerEnd = std::min(s.headerEnd, out.sourceBytes);
        auto peak = [&](size_t c) {
            float best = kNone;
            for (size_t i = s.first; i <= s.last; ++i) {
                const float v = out.columns[c].value(i);
                if (v > best || (std::isnan(best) && !std::isnan(v))) best = v;
            }
            return best;
        };
        s.peakRpm = rpm >= 0 ? peak(static_cast<size_t>(rpm)) : kNone;
        s.peakEgt = kNone;
        for (size_t c = 0; c < out.columns.size(); ++c) {
            if (out.columns[c].name.rfind("EGT", 0) != 0 || out.columns[c].hex) continue;
            const float p = peak(c);
            if (p > s.peakEgt || std::isnan(s.peakEgt)) s.peakEgt = p;
        }
    }
    out.time.shrink_to_fit();
    for (RecordingColumn& c : out.columns) {
        c.values.shrink_to_fit();
        c.words.shrink_to_fit();
    }
    Recording result = std::move(out);
    *this = RecordingParser(expected, std::move(control));
    return result;
}

bool parseRecording(std::string_view text, Recording& out, const RecordingParseControl& control)
{
    RecordingParser parser(text.size(), control);
    const bool ok = parser.feed(text);
    out = parser.finish();
    if (ok && control.progress) control.progress(1.0);
    return ok;
}

bool readRecordingFile(const std::string& path, Recording& out, const RecordingParseControl& control)
{
    out = Recording{};
    // Without waiting: a pipe or device at the path is refused, not read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    RecordingParser parser(static_cast<size_t>(st.st_size), control);
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        if (!parser.feed(std::string_view(buffer.data(), static_cast<size_t>(n)))) {
            ok = false;
            break;
        }
    }
    ::close(fd);
    out = parser.finish();
    if (ok && control.progress) control.progress(1.0);
    return ok;
}

size_t recordingLineAt(const Recording& rec, const RecordingSession& session, double t)
{
    if (session.first > session.last || session.last >= rec.time.size() || !(t >= static_cast<double>(rec.time[session.first])))
        return SIZE_MAX;
    const auto first = rec.time.begin() + static_cast<ptrdiff_t>(session.first);
    const auto last = rec.time.begin() + static_cast<ptrdiff_t>(session.last) + 1;
    const int64_t at = t >= static_cast<double>(rec.time[session.last]) ? rec.time[session.last] : static_cast<int64_t>(std::floor(t));
    return static_cast<size_t>(std::upper_bound(first, last, at) - rec.time.begin()) - 1;
}

void reduceRecording(const Recording& rec, const RecordingSession& session, size_t column, double t0,
                     double t1, int width, std::vector<RecordingPoint>& out)
{
    if (width <= 0 || column >= rec.columns.size() || session.first > session.last || session.last >= rec.time.size())
        return;
    // The span clipped to the session, so the times below stay in range of the integers.
    const double start = static_cast<double>(rec.time[session.first]);
    const double end = static_cast<double>(rec.time[session.last]);
    if (!std::isfinite(t0) || !std::isfinite(t1) || t0 > t1 || t1 < start || t0 > end) return;
    const int64_t from = static_cast<int64_t>(std::ceil(std::max(t0, start)));
    const int64_t to = static_cast<int64_t>(std::floor(std::min(t1, end)));
    const auto first = rec.time.begin() + static_cast<ptrdiff_t>(session.first);
    const auto last = rec.time.begin() + static_cast<ptrdiff_t>(session.last) + 1;
    const size_t lo = static_cast<size_t>(std::lower_bound(first, last, from) - rec.time.begin());
    const size_t hi = static_cast<size_t>(std::upper_bound(first, last, to) - rec.time.begin());
    const RecordingColumn& c = rec.columns[column];
    const int64_t* time = rec.time.data();
    const auto timeAt = [time](size_t i) { return time[i]; };
    if (!c.hex && !c.values.empty()) {
        const float* v = c.values.data();
        reduceSamples(lo, hi, timeAt, [v](size_t i) { return v[i]; }, t0, t1, width, out);
    } else if (c.hex && !c.words.empty()) {
        reduceSamples(lo, hi, timeAt, [&c](size_t i) { return c.value(i); }, t0, t1, width, out);
    }
}

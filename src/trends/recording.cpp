// The recording reader: lines to columns without an object per sample, sessions, and the min/max
// reduction per pixel column.
#include "trends/recording.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/storage.h"

#include "time/clock.h"
#include "time/data_recording.h"

namespace {

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();
constexpr size_t kCheckEvery = 4096;  // lines between looks at the cancel flag and progress

bool digit(char c) { return c >= '0' && c <= '9'; }

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

uint64_t mix(uint64_t h, uint64_t word)
{
    h = (h ^ word) * 0xBF58476D1CE4E5B9u;
    return h ^ (h >> 31);
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";  // spreadsheets start their text files with it

}  // namespace

void RecordingSum::add(std::string_view bytes)
{
    size_t i = 0;
    for (; i < bytes.size() && length % 8 != 0; ++i, ++length) {
        pending |= uint64_t{static_cast<uint8_t>(bytes[i])} << (8 * (length % 8));
        if (length % 8 == 7) state = mix(state, pending), pending = 0;
    }
    for (; i + 8 <= bytes.size(); i += 8, length += 8) {
        uint64_t word = 0;
        for (size_t k = 0; k < 8; ++k) word |= uint64_t{static_cast<uint8_t>(bytes[i + k])} << (8 * k);
        state = mix(state, word);
    }
    for (; i < bytes.size(); ++i, ++length) pending |= uint64_t{static_cast<uint8_t>(bytes[i])} << (8 * (length % 8));
}

uint64_t RecordingSum::value() const { return mix(mix(state, pending), length); }

float RecordingColumn::value(size_t index) const
{
    if (hex) return index < words.size() ? static_cast<float>(words[index]) : kNone;
    return index < values.size() ? values[index] : kNone;
}

int RecordingSession::column(std::string_view name) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name) return static_cast<int>(i);
    return -1;
}

float RecordingSession::value(size_t column, size_t line) const
{
    return column < columns.size() && line >= first && line <= last ? columns[column].value(line - first) : kNone;
}

size_t Recording::bytesUsed() const
{
    size_t bytes = time.capacity() * sizeof(int64_t);
    for (const RecordingSession& s : sessions)
        for (const RecordingColumn& c : s.columns)
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
        line(carry, carryOffset, true);
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
        line(text.substr(at, end - at), done + at, true);
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

// A line at `offset` in the text, without its line feed (which the last line may not have).
void RecordingParser::line(std::string_view raw, uint64_t offset, bool terminated)
{
    if (offset == 0 && raw.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        raw.remove_prefix(kByteOrderMark.size());
        offset = kByteOrderMark.size();
    }
    const uint64_t length = raw.size() + terminated;
    std::string_view text = raw;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    const size_t sessions = out.sessions.size();
    bool kept = false;
    if (text.substr(0, 4) == "UTC," || text == "UTC") {
        RecordingSum sum;
        sum.add(raw);
        sum.add(terminated ? "\n" : "");
        headerSum = sum.value();
        headerBegin = offset;
        headerEnd = offset + length;
        if (!header(text)) ++out.badLines;
    } else if (!text.empty()) {
        kept = data(text, offset, length);
        if (!kept) ++out.badLines;
    }
    // The session's sum covers every byte from its first line to the end of its last.
    if (out.sessions.size() != sessions) run = RecordingSum();
    run.add(raw);
    run.add(terminated ? "\n" : "");
    if (kept) out.sessions.back().sum = run.value();
}

// False for a header wider than any the instrument writes: the lines under it cannot be read.
bool RecordingParser::header(std::string_view text)
{
    headerSeen = false;
    newSession = true;
    headerColumns.clear();
    cellColumn.clear();
    if (static_cast<size_t>(std::count(text.begin(), text.end(), ',')) + 1 > kRecordingWidestHeader) return false;
    size_t at = 4;  // past "UTC,"
    while (at <= text.size() && text.size() > 3) {
        const size_t end = std::min(text.find(',', at), text.size());
        std::string_view name, unit;
        splitName(text.substr(at, end - at), name, unit);
        const bool hex = unit == "HEX";
        const bool twice = std::any_of(headerColumns.begin(), headerColumns.end(),
                                       [&](const RecordingColumn& c) { return c.name == name && c.hex == hex; });
        cellColumn.push_back(twice ? -1 : static_cast<int>(headerColumns.size()));
        if (!twice) headerColumns.push_back(RecordingColumn{std::string(name), std::string(unit), hex, {}, {}});
        at = end + 1;
    }
    scratchValue.assign(headerColumns.size(), kNone);
    scratchWord.assign(headerColumns.size(), 0);
    scratchSet.assign(headerColumns.size(), 0);
    headerSeen = true;
    return true;
}

bool RecordingParser::data(std::string_view text, uint64_t offset, uint64_t length)
{
    if (!headerSeen) return false;
    const size_t timeEnd = std::min(text.find(','), text.size());
    uint32_t seconds = 0;
    if (!parseUtcText(text.substr(0, timeEnd), seconds)) return false;
    const int64_t t = seconds;
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
            ok = headerColumns[c].hex ? parseHex(s, scratchWord[c]) : parseNumber(s, scratchValue[c]);
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
        // Room for the rest of the text (at the length of the lines so far), once per kCheckEvery
        // lines read at most: many short sessions do not each take and give back that room.
        closeSession();
        const bool room = expected > offset && reservations <= lines / kCheckEvery;
        const double lineBytes = lines > 0 ? static_cast<double>(offset) / static_cast<double>(lines) : static_cast<double>(text.size() + 2);
        columnsReserved = room ? static_cast<size_t>(static_cast<double>(expected - offset) / lineBytes * 1.1) + 16 : 0;
        reservations += room;
        RecordingSession s;
        s.first = lines;
        s.start = t;
        s.headerBegin = headerBegin;
        s.headerEnd = headerEnd;
        s.headerSum = headerSum;
        s.begin = offset;
        s.columns = headerColumns;
        out.sessions.push_back(std::move(s));
        newSession = false;
    }
    RecordingSession& session = out.sessions.back();
    session.end = offset + length;
    session.last = lines;
    if (reserved == 0 && expected > 0) reserved = expected / (text.size() + 2) * 11 / 10 + 16;
    if (out.time.empty()) out.time.reserve(reserved);
    out.time.push_back(t);
    for (size_t c = 0; c < session.columns.size(); ++c) {
        RecordingColumn& column = session.columns[c];
        const size_t before = lines - session.first;
        if (column.hex) keep<uint32_t>(column.words, before, columnsReserved, scratchSet[c], scratchWord[c], 0);
        else keep<float>(column.values, before, columnsReserved, scratchSet[c], scratchValue[c], kNone);
        scratchSet[c] = 0;
    }
    return true;
}

// The session's figures, its columns trimmed to its lines.
void RecordingParser::closeSession()
{
    if (out.sessions.empty()) return;
    RecordingSession& s = out.sessions.back();
    s.duration = out.time[s.last] - s.start;
    auto peak = [&s](const RecordingColumn& c) {
        float best = kNone;
        for (size_t i = 0; i <= s.last - s.first; ++i) {
            const float v = c.value(i);
            if (v > best || (std::isnan(best) && !std::isnan(v))) best = v;
        }
        return best;
    };
    const int rpm = s.column("RPM");
    s.peakRpm = rpm >= 0 ? peak(s.columns[static_cast<size_t>(rpm)]) : kNone;
    s.peakEgt = kNone;
    for (RecordingColumn& c : s.columns) {
        c.values.shrink_to_fit();
        c.words.shrink_to_fit();
        if (c.name.rfind("EGT", 0) != 0 || c.hex) continue;
        const float p = peak(c);
        if (p > s.peakEgt || std::isnan(s.peakEgt)) s.peakEgt = p;
    }
}

Recording RecordingParser::finish()
{
    if (!carry.empty() && !cancelled) line(carry, carryOffset, false);
    closeSession();
    out.sourceBytes = done;
    out.time.shrink_to_fit();
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
    std::FILE* file = openPlainFile(path.c_str());
    if (!file) return false;
    struct stat st {};
    if (::fstat(fileno(file), &st) != 0) {
        std::fclose(file);
        return false;
    }
    const uint64_t device = static_cast<uint64_t>(st.st_dev), inode = static_cast<uint64_t>(st.st_ino);
    RecordingParser parser(static_cast<size_t>(st.st_size), control);
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    for (size_t n; ok && (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;)
        ok = parser.feed(std::string_view(buffer.data(), n));
    ok = ok && !std::ferror(file);
    std::fclose(file);
    out = parser.finish();
    out.device = device;
    out.inode = inode;
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
    if (width <= 0 || column >= session.columns.size() || session.first > session.last || session.last >= rec.time.size())
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
    const RecordingColumn& c = session.columns[column];
    const int64_t* time = rec.time.data();
    const auto timeAt = [time](size_t i) { return time[i]; };
    const size_t at = session.first;
    if (!c.hex && !c.values.empty()) {
        const float* v = c.values.data();
        reduceSamples(lo, hi, timeAt, [v, at](size_t i) { return v[i - at]; }, t0, t1, width, out);
    } else if (c.hex && !c.words.empty()) {
        reduceSamples(lo, hi, timeAt, [&c, at](size_t i) { return c.value(i - at); }, t0, t1, width, out);
    }
}

bool copyRecordingSession(const std::string& path, const Recording& rec, const RecordingSession& session,
                          const std::function<bool(std::string_view)>& write, std::string& why)
{
    const std::string name = path.substr(path.find_last_of('/') + 1);
    const std::string changed = name + " has changed since it was opened.";
    why.clear();
    std::FILE* file = openPlainFile(path.c_str());
    if (!file) {
        why = name + " cannot be read: " + std::strerror(errno) + ".";
        return false;
    }
    const int fd = fileno(file);
    struct stat st {};
    const bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_dev) == rec.device &&
                      static_cast<uint64_t>(st.st_ino) == rec.inode;
    std::vector<char> buffer(1 << 20);
    // The bytes from..to copied, and their sum compared with the one read.
    const auto copy = [&](uint64_t from, uint64_t to, uint64_t sum) {
        RecordingSum copied;
        while (from < to) {
            const ssize_t n = ::pread(fd, buffer.data(), std::min<uint64_t>(to - from, buffer.size()), static_cast<off_t>(from));
            if (n <= 0) {
                why = n < 0 ? name + " cannot be read: " + std::strerror(errno) + "." : changed;
                return false;
            }
            const std::string_view piece(buffer.data(), static_cast<size_t>(n));
            copied.add(piece);
            if (!write(piece)) return false;
            from += static_cast<uint64_t>(n);
        }
        if (copied.value() != sum) why = changed;
        return why.empty();
    };
    bool ok = false;
    if (!same) why = name + " is no longer the file that was opened.";
    else if (static_cast<uint64_t>(st.st_size) < session.end) why = changed;
    else ok = copy(session.headerBegin, session.headerEnd, session.headerSum) && copy(session.begin, session.end, session.sum);
    std::fclose(file);
    return ok;
}

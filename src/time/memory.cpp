// The non-volatile memory image: little-endian fields behind a magic, a version and a length,
// closed by a CRC-32, so that a truncated, damaged or foreign file is recognised and ignored.
#include "time/memory.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "storage/storage.h"
#include "time/clock.h"
#include "time/flight.h"
#include "time/flight_log.h"
#include "time/timers.h"

uint32_t memoryChangeCount = 0;

void noteMemoryChange() { ++memoryChangeCount; }

namespace {

constexpr char kMagic[4] = {'C', 'V', 'X', 'M'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = 4 + 2 + 4;
constexpr size_t kRecordSize = 13;
constexpr size_t kPayloadSize = 2 + 1 + 1 + 2 + 1 + 1 + 8 + 1 + 4 + kRecordSize + 2 + kRecordSize * FLIGHT_LOG_CAPACITY;
constexpr size_t kImageSize = kHeaderSize + kPayloadSize + 4;

struct Writer {
    uint8_t* p;
    void put(uint64_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i) *p++ = static_cast<uint8_t>(v >> (8 * i));
    }
    void record(const FlightRecord& f)
    {
        put(f.startTime, 4);
        put(f.flightTime.hours, 1);
        put(f.flightTime.minutes, 1);
        put(f.hobbsHoursAtStart, 2);
        put(f.hobbsHundredthsAtStart, 1);
        put(f.maintHoursAtStart, 2);
        put(f.maintMinutesAtStart, 1);
        put(f.flightPilotNumber, 1);
    }
};

struct Reader {
    const uint8_t* p;
    uint64_t get(int bytes)
    {
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(*p++) << (8 * i);
        return v;
    }
    FlightRecord record()
    {
        FlightRecord f{};
        f.startTime = static_cast<uint32_t>(get(4));
        f.flightTime.hours = static_cast<uint8_t>(get(1));
        f.flightTime.minutes = static_cast<uint8_t>(get(1));
        f.hobbsHoursAtStart = static_cast<uint16_t>(get(2));
        f.hobbsHundredthsAtStart = static_cast<uint8_t>(get(1));
        f.maintHoursAtStart = static_cast<uint16_t>(get(2));
        f.maintMinutesAtStart = static_cast<uint8_t>(get(1));
        f.flightPilotNumber = static_cast<uint8_t>(get(1));
        return f;
    }
};

bool recordInRange(const FlightRecord& f)
{
    return f.flightTime.minutes <= 59 && f.hobbsHundredthsAtStart <= 99 && f.maintMinutesAtStart <= 59;
}

// Everything the memory keeps, taken out of the image before any of it is used.
struct Contents {
    uint16_t hobbsHours;
    uint8_t hobbsHundredths, hobbsStepCount;
    uint16_t maintHours;
    uint8_t maintMinutes, maintStepCount;
    int64_t clockOffset;
    uint8_t inProgress;
    uint32_t seconds;
    FlightRecord current;
    uint16_t count;
    std::array<FlightRecord, FLIGHT_LOG_CAPACITY> log;
};

}  // namespace

size_t memoryImageSize() { return kImageSize; }

size_t saveMemoryImage(uint8_t* out, size_t size)
{
    if (!out || size < kImageSize) return 0;
    Writer w{out};
    for (char c : kMagic) w.put(static_cast<uint8_t>(c), 1);
    w.put(kVersion, 2);
    w.put(kPayloadSize, 4);
    w.put(hobbsHours, 2);
    w.put(hobbsHundredths, 1);
    w.put(hobbsStepCount, 1);
    w.put(maintHours, 2);
    w.put(maintMinutes, 1);
    w.put(maintStepCount, 1);
    w.put(static_cast<uint64_t>(static_cast<int64_t>(clockOffsetSeconds)), 8);
    w.put(flightInProgress, 1);
    w.put(flightSeconds, 4);
    w.record(currentFlight);
    const uint16_t count = flightLogCount < FLIGHT_LOG_CAPACITY ? flightLogCount : FLIGHT_LOG_CAPACITY;
    w.put(count, 2);
    for (const FlightRecord& f : flightLog) w.record(f);
    w.put(memoryCrc32(out, kImageSize - 4), 4);
    return kImageSize;
}

bool loadMemoryImage(const uint8_t* data, size_t size, std::string& reason)
{
    if (!data || size < kHeaderSize || std::memcmp(data, kMagic, 4) != 0) {
        reason = "not a memory file of this instrument";
        return false;
    }
    Reader r{data + 4};
    const uint64_t version = r.get(2), length = r.get(4);
    if (version != kVersion || length != kPayloadSize) {
        reason = "memory file of another version (" + std::to_string(version) + ")";
        return false;
    }
    if (size != kImageSize) {
        reason = "memory file of " + std::to_string(size) + " bytes, expected " + std::to_string(kImageSize);
        return false;
    }
    if (Reader{data + kImageSize - 4}.get(4) != memoryCrc32(data, kImageSize - 4)) {
        reason = "memory file damaged (checksum)";
        return false;
    }
    Contents c{};
    c.hobbsHours = static_cast<uint16_t>(r.get(2));
    c.hobbsHundredths = static_cast<uint8_t>(r.get(1));
    c.hobbsStepCount = static_cast<uint8_t>(r.get(1));
    c.maintHours = static_cast<uint16_t>(r.get(2));
    c.maintMinutes = static_cast<uint8_t>(r.get(1));
    c.maintStepCount = static_cast<uint8_t>(r.get(1));
    c.clockOffset = static_cast<int64_t>(r.get(8));
    c.inProgress = static_cast<uint8_t>(r.get(1));
    c.seconds = static_cast<uint32_t>(r.get(4));
    c.current = r.record();
    c.count = static_cast<uint16_t>(r.get(2));
    bool ok = c.hobbsHours <= 10000 && c.hobbsHundredths <= 99 && c.hobbsStepCount <= 35 && c.maintHours <= 9999 &&
              c.maintMinutes <= 59 && c.maintStepCount <= 59 && c.inProgress <= 1 &&
              c.count <= FLIGHT_LOG_CAPACITY && recordInRange(c.current) && c.clockOffset >= -int64_t{UINT32_MAX} &&
              c.clockOffset <= int64_t{UINT32_MAX};
    for (FlightRecord& f : c.log) {
        f = r.record();
        ok = ok && recordInRange(f);
    }
    if (!ok) {
        reason = "memory file holds values out of range";
        return false;
    }
    hobbsHours = c.hobbsHours;
    hobbsHundredths = c.hobbsHundredths;
    hobbsStepCount = c.hobbsStepCount;
    maintHours = c.maintHours;
    maintMinutes = c.maintMinutes;
    maintStepCount = c.maintStepCount;
    clockOffsetSeconds = c.clockOffset;
    flightInProgress = c.inProgress;
    flightSeconds = c.seconds;
    currentFlight = c.current;
    flightLogCount = c.count;
    std::copy(c.log.begin(), c.log.end(), flightLog);
    reason.clear();
    return true;
}

void clearMemory()
{
    hobbsHours = 0;
    hobbsHundredths = 0;
    hobbsStepCount = 0;
    maintHours = 0;
    maintMinutes = 0;
    maintStepCount = 0;
    clockOffsetSeconds = 0;
    flightInProgress = 0;
    flightSeconds = 0;
    currentFlight = {};
    flightLogCount = 0;
    std::fill(std::begin(flightLog), std::end(flightLog), FlightRecord{});
}

bool loadMemoryFile(const char* path, std::string& reason)
{
    reason.clear();
    std::FILE* file = openPlainFile(path);  // a pipe or folder of the name is refused, never waited on
    if (!file) {
        // Missing is a first start; anything else is a file that is there but cannot be read.
        if (errno != ENOENT) reason = std::string("cannot open it: ") + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> data;
    uint8_t chunk[4096];
    size_t n = 0;
    // A file far beyond the image's size is foreign; read no more than enough to tell.
    while (data.size() <= kImageSize && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    const bool readError = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (readError) {
        reason = std::string("cannot read it: ") + std::strerror(error);
        return false;
    }
    return loadMemoryImage(data.data(), data.size(), reason);
}

MemoryFileOpening openMemoryFile(const char* path, const char* stamp)
{
    MemoryFileOpening opening;
    opening.loaded = loadMemoryFile(path, opening.problem);
    if (opening.loaded) return opening;
    // A file not loaded starts a fresh memory, whatever an earlier file left.
    clearMemory();
    if (opening.problem.empty()) return opening;
    // Kept beside itself under a name no other file has, before anything may be saved.
    std::string kept;
    if (moveAside(path, std::string(path) + ".bad-" + stamp, kept)) {
        opening.keptAs = kept;
        opening.message = std::string("The memory file ") + path + " was not used (" + opening.problem +
                          "); it is kept as " + kept + ". The meters and the flight log start from zero.";
    } else {
        opening.writable = false;
        opening.message = std::string("The memory file ") + path + " was not used (" + opening.problem +
                          ") and could not be moved aside (" + std::strerror(errno) +
                          "), so it will not be written. The meters and the flight log start from zero.";
    }
    return opening;
}

bool saveMemoryFile(const char* path, std::string& reason)
{
    std::vector<uint8_t> image(kImageSize);
    saveMemoryImage(image.data(), image.size());
    const std::string temporary = std::string(path) + ".tmp";
    if (!replaceFile(path, temporary.c_str(), image.data(), image.size())) {
        reason = std::string("cannot write ") + path + ": " + std::strerror(errno);
        return false;
    }
    reason.clear();
    return true;
}

uint32_t memoryCrc32(const uint8_t* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

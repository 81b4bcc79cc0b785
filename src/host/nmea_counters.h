// What became of the bytes fed to the NMEA receiver: sentences accepted, and sentences lost with
// the reason, so a wrong line ending or speed shows at once on the GPS tab.
#pragma once
#include <QString>
#include <cstdint>

struct NmeaCounters {
    uint64_t bytes = 0;
    uint64_t accepted = 0;
    uint64_t badChecksum = 0;
    uint64_t tooLong = 0;      // more than the receiver frames between "$" and "*"
    uint64_t badLineEnd = 0;   // the checksum not followed by CR LF
    // Network sources only: bare LF line ends the host gave a CR before the receiver saw them,
    // and gpsd's own reports left out.
    uint64_t repairedLineEnds = 0;
    uint64_t gpsdReports = 0;
    uint64_t rejected() const { return badChecksum + tooLong + badLineEnd; }
    NmeaCounters& operator+=(const NmeaCounters& more);
    bool operator==(const NmeaCounters&) const = default;
};

// Feeds one byte to the receiver and counts its outcome from the receiver's framing state before
// and after it. Returns whether the byte completed an accepted sentence.
bool feedNmeaByte(uint8_t byte, NmeaCounters& counters);
// "1234 bytes, 20 sentences accepted, 3 rejected (2 bad checksum, 1 bad line end)", then
// "; 20 line ends repaired" and "; 4 gpsd reports skipped" when there were any.
QString nmeaCountersText(const NmeaCounters& counters);

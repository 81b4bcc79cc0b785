// Helpers for the NMEA tests: sentences with their checksums, feeding bytes, a fresh receiver and
// a byte image of every value a sentence may change.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "device.h"
#include "gps/gps.h"
#include "gps/nmea.h"
#include "settings/settings.h"
#include "time/clock.h"

// "$" body "*" checksum CR LF; the checksum digits in the given printf format.
inline std::string nmeaLine(const std::string& body, const char* format = "%02X")
{
    unsigned sum = 0;
    for (unsigned char c : body) sum ^= c;
    char digits[8];
    std::snprintf(digits, sizeof digits, format, sum);
    return "$" + body + "*" + digits + "\r\n";
}

// Feeds every byte; returns how many sentences were accepted.
inline int feedNmea(const std::string& bytes)
{
    int accepted = 0;
    for (unsigned char c : bytes) accepted += nmeaReceiveByte(c) ? 1 : 0;
    return accepted;
}

// One sentence through the receiver, then the handlers as the next pass runs them.
inline void handleSentence(const std::string& body)
{
    feedNmea(nmeaLine(body));
    runPendingGpsHandlers();
}

// A freshly started program as far as the GPS is concerned, with factory settings.
inline void freshGps()
{
    resetDevice();
}

// Every GPS value and the clock, byte by byte, to show that a dropped sentence changed nothing.
inline std::vector<uint8_t> gpsSnapshot()
{
    std::vector<uint8_t> out;
    auto add = [&out](const auto& v) {
        const auto* p = reinterpret_cast<const uint8_t*>(&v);
        out.insert(out.end(), p, p + sizeof v);
    };
    add(gpsFixValid), add(gpsFixType), add(gpsLatitude), add(gpsLongitude), add(gpsGroundSpeed);
    add(gpsSpeedMax), add(gpsTrack), add(gpsMagneticTrack), add(gpsAltitudeMetres), add(gpsAltitudeFeet);
    add(gpsSatellitesUsed), add(gpsUsedPrn), add(gpsPdop), add(gpsHdop), add(gpsVdop);
    add(gpsSatellitesInView), add(gpsSatellites);
    for (const DateTime* dt : {&rtcDateTime, &localDateTime})
        add(dt->second), add(dt->minute), add(dt->hour), add(dt->day), add(dt->month), add(dt->year);
    add(utcSeconds), add(localSeconds);
    return out;
}

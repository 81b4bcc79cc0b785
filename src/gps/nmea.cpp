// The NMEA receiver (framing, checksum, one parked sentence per wanted type) and the handlers that
// turn parked RMC, GGA, GSA and GSV sentences into the GPS values and, on request, the clock.
#include "gps/nmea.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "decimal_text.h"
#include "gps/gps.h"
#include "settings/settings.h"
#include "time/clock.h"

uint8_t nmeaState = 0;
uint16_t nmeaLength = 0;
char nmeaBody[NMEA_MAX_BODY + 1] = {};
char nmeaChecksumText[3] = {};

char rmcSentence[NMEA_SLOT_SIZE] = {};
char ggaSentence[NMEA_SLOT_SIZE] = {};
char gsaSentence[NMEA_SLOT_SIZE] = {};
char gsvSentence[NMEA_SLOT_SIZE] = {};
uint8_t rmcPending = 0, ggaPending = 0, gsaPending = 0, gsvPending = 0;

uint8_t gpsDataReceived = 0;
uint8_t gpsSentenceAge = GPS_AGE_IDLE;

static_assert(__atomic_always_lock_free(sizeof(uint8_t), 0));

namespace {

// ---- Receiver ----------------------------------------------------------------------------------

struct SentenceSlot {
    const char* address;
    char* text;
    uint8_t* pending;
};
const SentenceSlot kSlots[] = {
    {"GPRMC", rmcSentence, &rmcPending},
    {"GPGGA", ggaSentence, &ggaPending},
    {"GPGSA", gsaSentence, &gsaPending},
    {"GPGSV", gsvSentence, &gsvPending},
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The checksum characters as a hexadecimal number: leading blanks and tabs skipped, reading up to
// the first character that is not a hexadecimal digit.
unsigned checksumFromText()
{
    const char* p = nmeaChecksumText;
    while (*p == ' ' || *p == '\t') ++p;
    unsigned value = 0;
    for (int digit; (digit = hexDigit(*p)) >= 0; ++p) value = value * 16 + static_cast<unsigned>(digit);
    return value;
}

// Parks the accepted body in its type's slot, unless that slot still waits for its handler (then
// this sentence is dropped, so the first of several between two passes is the one processed).
void parkSentence()
{
    if (nmeaLength >= NMEA_SLOT_SIZE) return;
    for (const SentenceSlot& slot : kSlots) {
        if (std::strncmp(nmeaBody, slot.address, 5) != 0) continue;
        if (loadSharedFlag(*slot.pending) != 0) return;
        std::memcpy(slot.text, nmeaBody, nmeaLength + 1u);
        storeSharedFlag(*slot.pending, 1);
        return;
    }
}

// The line feed after the checksum: a body whose XOR matches its checksum is accepted.
bool checkSentence()
{
    unsigned sum = 0;
    for (uint16_t i = 0; i < nmeaLength; ++i) sum ^= static_cast<uint8_t>(nmeaBody[i]);
    if (sum != checksumFromText()) return false;
    nmeaBody[nmeaLength] = '\0';
    if (loadSharedFlag(gpsDataReceived) == 0) storeSharedFlag(gpsDataReceived, 1);
    parkSentence();
    return true;
}

// ---- Fields of a parked sentence ---------------------------------------------------------------

// Enough for every field a handler reads (GSV: address and 19 fields); later fields are ignored.
constexpr int kMaxFields = 24;

struct Field {
    const char* begin;
    const char* end;
    size_t size() const { return static_cast<size_t>(end - begin); }
    char first() const { return begin < end ? *begin : '\0'; }
};

struct Fields {
    Field field[kMaxFields];
    int count = 0;
};

// Splits a slot's text at its commas. Nothing past the terminator (or the slot) is read.
void splitFields(const char* text, Fields& out)
{
    const char* const end = text + strnlen(text, NMEA_SLOT_SIZE);
    const char* p = text;
    out.count = 0;
    while (out.count < kMaxFields) {
        const char* q = p;
        while (q < end && *q != ',') ++q;
        out.field[out.count++] = {p, q};
        if (q == end) break;
        p = q + 1;
    }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The number at the start of a field, as a decimal text-to-number conversion reads it: leading
// blanks, a sign, digits with an optional fraction and exponent, up to the first character that
// cannot belong to the number; no digits read as 0. False only for a number beyond a double.
bool fieldNumber(const Field& f, double& value)
{
    const char* p = f.begin;
    while (p < f.end && (*p == ' ' || *p == '\t')) ++p;
    bool negative = false;
    if (p < f.end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* const digitsBegin = p;
    bool digits = false;
    for (; p < f.end && isDigit(*p); ++p) digits = true;
    if (p < f.end && *p == '.')
        for (++p; p < f.end && isDigit(*p); ++p) digits = true;
    if (!digits) {
        value = 0;
        return true;
    }
    if (p < f.end && (*p == 'e' || *p == 'E')) {
        const char* e = p + 1;
        if (e < f.end && (*e == '+' || *e == '-')) ++e;
        if (e < f.end && isDigit(*e))
            for (p = e; p < f.end && isDigit(*p); ++p) {}
    }
    double v = 0;
    if (!decimalFromText(digitsBegin, p, v)) return false;
    value = negative ? -v : v;
    return true;
}

// trunc(number) into an integer value, false when it does not fit T.
template <typename T> bool fieldWhole(const Field& f, T& out)
{
    double v = 0;
    if (!fieldNumber(f, v)) return false;
    const double t = std::trunc(v);
    if (!(t >= static_cast<double>(std::numeric_limits<T>::min()) &&
          t <= static_cast<double>(std::numeric_limits<T>::max())))
        return false;
    out = static_cast<T>(t);
    return true;
}

bool toFloat(double v, float& out)
{
    if (!(std::fabs(v) <= static_cast<double>(FLT_MAX))) return false;
    out = static_cast<float>(v);
    return true;
}

bool fieldFloat(const Field& f, float& out)
{
    double v = 0;
    return fieldNumber(f, v) && toFloat(v, out);
}

// ddmm.mmmm (or dddmm.mmmm) with its hemisphere letter, as degrees.
bool fieldDegrees(const Field& value, const Field& hemisphere, char negativeLetter, float& out)
{
    double x = 0;
    if (!fieldNumber(value, x)) return false;
    if (hemisphere.first() == negativeLetter) x = -x;
    const double d = std::trunc(x / 100);
    return toFloat(d + (x - 100 * d) / 60, out);
}

// The two digits at text[0..1], or -1 when either is not a digit.
int twoDigits(const char* text)
{
    if (!isDigit(text[0]) || !isDigit(text[1])) return -1;
    return (text[0] - '0') * 10 + (text[1] - '0');
}

// A field that opens with an address of exactly five characters.
bool hasAddress(const Fields& f) { return f.count > 0 && f.field[0].size() == 5; }

// RMC and GGA: a time field shorter than two characters means no time, and the sentence is ignored.
bool hasTime(const Fields& f) { return f.count > 1 && f.field[1].size() >= 2; }

// The variation that turns a true course into a magnetic one, whole degrees, east positive.
int variationDegrees()
{
    if (gpsFixValid == 1 && settings.gpsVariationMode == 0) {
        const float v = autoVariation;
        return std::isfinite(v) ? static_cast<int>(std::fmod(std::trunc(v), 360.0f)) : 0;
    }
    return settings.gpsManualVariation;
}

}  // namespace

// ---- Receiver ----------------------------------------------------------------------------------

bool nmeaReceiveByte(uint8_t byte)
{
    const char c = static_cast<char>(byte);
    switch (nmeaState) {
    case 0:
        if (c == '$') {
            nmeaLength = 0;
            nmeaState = 1;
        }
        return false;
    case 1:
        if (c == '*')
            nmeaState = 2;
        else if (nmeaLength >= NMEA_MAX_BODY)
            nmeaState = 0;
        else
            nmeaBody[nmeaLength++] = c;
        return false;
    case 2:
        nmeaChecksumText[0] = c;
        nmeaState = 3;
        return false;
    case 3:
        nmeaChecksumText[1] = c;
        nmeaState = 4;
        return false;
    case 4:
        nmeaState = c == '\r' ? 5 : 0;
        return false;
    case 5:
        nmeaState = 0;
        return c == '\n' && checkSentence();
    default:
        nmeaState = 0;
        return false;
    }
}

const char* nmeaAcceptedSentence() { return nmeaBody; }

// ---- Handlers ----------------------------------------------------------------------------------

// time, status, latitude, N/S, longitude, E/W, speed (knots), course, date, variation, E/W
void handleRmc()
{
    Fields f;
    splitFields(rmcSentence, f);
    if (!hasTime(f) || !hasAddress(f) || f.count < 10) return;

    const uint8_t fixValid = f.field[2].first() == 'A' ? 1 : 0;
    float latitude = 0, longitude = 0, knots = 0;
    if (!fieldDegrees(f.field[3], f.field[4], 'S', latitude)) return;
    if (!fieldDegrees(f.field[5], f.field[6], 'W', longitude)) return;
    if (!fieldFloat(f.field[7], knots)) return;
    float speed = knots;
    if (settings.fuelUnit <= 1)
        speed = knots * 1.15077945f;
    else if (settings.fuelUnit >= 4)
        speed = knots * 1.852f;
    speed = std::trunc(speed);
    if (!(speed >= 0 && speed <= 65535)) return;
    int16_t track = 0;
    if (!fieldWhole(f.field[8], track) || track < 0 || track > 360) return;
    if (track == 360) track = 0;

    gpsFixValid = fixValid;
    // A receiver without a position leaves its fields empty (read as 0 N 0 E).
    gpsPositionValid = f.field[3].size() != 0 && f.field[5].size() != 0 ? 1 : 0;
    gpsLatitude = latitude;
    gpsLongitude = longitude;
    gpsGroundSpeed = static_cast<uint16_t>(speed);
    if (gpsGroundSpeed > gpsSpeedMax) gpsSpeedMax = gpsGroundSpeed;
    gpsTrack = track;
    gpsMagneticTrack = static_cast<int16_t>(((track - variationDegrees()) % 360 + 360) % 360);
    gpsSentenceAge = 0;

    if (settings.rtcSourceGps != 1) return;
    // hhmmss[.ss] and ddmmyy; a time or date that is not a valid one is not applied.
    const Field& time = f.field[1];
    const Field& date = f.field[9];
    const int hour = time.size() >= 6 ? twoDigits(time.begin) : -1;
    const int minute = time.size() >= 6 ? twoDigits(time.begin + 2) : -1;
    const int second = time.size() >= 6 ? twoDigits(time.begin + 4) : -1;
    const bool timeOk = hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
    const int day = date.size() == 6 ? twoDigits(date.begin) : -1;
    const int month = date.size() == 6 ? twoDigits(date.begin + 2) : -1;
    const int year = date.size() == 6 ? twoDigits(date.begin + 4) : -1;
    const bool dateOk = day >= 1 && day <= 31 && month >= 1 && month <= 12 && year >= 0;
    if (!timeOk && !dateOk) return;
    if (timeOk) {
        rtcDateTime.hour = static_cast<uint8_t>(hour);
        rtcDateTime.minute = static_cast<uint8_t>(minute);
        rtcDateTime.second = static_cast<uint8_t>(second);
    }
    if (dateOk) {
        rtcDateTime.day = static_cast<uint8_t>(day);
        rtcDateTime.month = static_cast<uint8_t>(month);
        rtcDateTime.year = static_cast<uint16_t>(2000 + year);
    }
    // The clock keeps the offset this time implies, so it runs on from it until the next sentence
    // instead of falling back to the host's clock.
    setClockTo(dateTimeToSeconds(rtcDateTime));
}

// time, latitude, N/S, longitude, E/W, quality, satellites, HDOP, altitude, ...
void handleGga()
{
    Fields f;
    splitFields(ggaSentence, f);
    if (!hasTime(f) || !hasAddress(f) || f.count < 10) return;
    uint8_t satellites = 0;
    if (!fieldWhole(f.field[7], satellites)) return;
    double metres = 0;
    if (!fieldNumber(f.field[9], metres)) return;
    const double m = std::trunc(metres);
    const double ft = std::trunc(metres * 3.28083989501);
    constexpr double lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
    if (!(m >= lo && m <= hi && ft >= lo && ft <= hi)) return;

    gpsSatellitesUsed = satellites;
    gpsAltitudeMetres = static_cast<int32_t>(m);
    gpsAltitudeFeet = static_cast<int32_t>(ft);
    gpsSentenceAge = 0;
}

// mode, fix type, 12 PRNs of the satellites used, PDOP, HDOP, VDOP
void handleGsa()
{
    Fields f;
    splitFields(gsaSentence, f);
    if (!hasAddress(f) || f.count < 18) return;
    if (f.field[1].size() != 1 || f.field[2].size() != 1 || !isDigit(f.field[2].first())) return;
    uint8_t prn[12] = {};
    for (int k = 0; k < 12; ++k)
        if (f.field[3 + k].size() != 0 && !fieldWhole(f.field[3 + k], prn[k])) return;
    float pdop = 0, hdop = 0, vdop = 0;
    if (!fieldFloat(f.field[15], pdop) || !fieldFloat(f.field[16], hdop) || !fieldFloat(f.field[17], vdop)) return;

    const uint8_t fixType = static_cast<uint8_t>(f.field[2].first() - '0');
    gpsFixType = fixType == 1 ? 0 : fixType;
    gpsFixValid = gpsFixType > 1 ? 1 : 0;
    std::memset(gpsUsedPrn, 0, sizeof gpsUsedPrn);
    std::memcpy(gpsUsedPrn, prn, sizeof prn);
    gpsPdop = pdop;
    gpsHdop = hdop;
    gpsVdop = vdop;
}

// message count, message number, satellites in view, then up to four of PRN, elevation, azimuth, SNR
void handleGsv()
{
    constexpr int kTable = sizeof gpsSatellites / sizeof gpsSatellites[0];
    Fields f;
    splitFields(gsvSentence, f);
    if (!hasAddress(f) || f.count < 4) return;
    if (f.field[1].size() != 1 || !isDigit(f.field[1].first())) return;
    if (f.field[2].size() != 1 || !isDigit(f.field[2].first())) return;
    const int message = f.field[2].first() - '0';
    if (message < 1 || message > kTable / 4) return;
    uint8_t inView = 0;
    if (!fieldWhole(f.field[3], inView)) return;
    const int base = (message - 1) * 4;
    const int count = inView < 4 * message ? inView - base : 4;
    SatelliteInfo entries[4] = {};
    for (int j = 0; j < count; ++j) {
        const int at = 4 + 4 * j;
        if (at + 3 >= f.count) return;
        if (!fieldWhole(f.field[at], entries[j].prn) || !fieldWhole(f.field[at + 1], entries[j].elevation) ||
            !fieldWhole(f.field[at + 2], entries[j].azimuth) || !fieldWhole(f.field[at + 3], entries[j].snr))
            return;
        // Above the zenith or past north is no position in the sky (and no place on the sky view).
        if (entries[j].elevation > 90 || entries[j].azimuth > 359) return;
    }

    gpsSatellitesInView = inView;
    for (int i = inView; i < kTable; ++i) gpsSatellites[i] = SatelliteInfo{};
    for (int j = 0; j < count; ++j) gpsSatellites[base + j] = entries[j];
}

void runPendingGpsHandlers()
{
    if (loadSharedFlag(rmcPending) != 0) {
        handleRmc();
        storeSharedFlag(rmcPending, 0);
    }
    if (loadSharedFlag(ggaPending) != 0) {
        handleGga();
        storeSharedFlag(ggaPending, 0);
    }
    if (loadSharedFlag(gsaPending) != 0) {
        handleGsa();
        storeSharedFlag(gsaPending, 0);
    }
    if (loadSharedFlag(gsvPending) != 0) {
        handleGsv();
        storeSharedFlag(gsvPending, 0);
    }
}

void resetNmeaReceiver()
{
    nmeaState = 0;
    nmeaLength = 0;
    std::memset(nmeaBody, 0, sizeof nmeaBody);
    std::memset(nmeaChecksumText, 0, sizeof nmeaChecksumText);
    for (const SentenceSlot& slot : kSlots) {
        std::memset(slot.text, 0, NMEA_SLOT_SIZE);
        storeSharedFlag(*slot.pending, 0);
    }
    gpsDataReceived = 0;
}

void gpsSlowStep()
{
    if (gpsSentenceAge == GPS_AGE_IDLE || ++gpsSentenceAge <= GPS_FIX_TIMEOUT_SECONDS) return;
    gpsSentenceAge = GPS_AGE_IDLE;
    gpsFixValid = gpsPositionValid = 0;
    gpsFixType = 0;
}

void resetGpsValues()
{
    gpsSentenceAge = GPS_AGE_IDLE;
    gpsFixValid = gpsPositionValid = 0;
    gpsFixType = 0;
    gpsLatitude = gpsLongitude = 0;
    gpsGroundSpeed = gpsSpeedMax = 0;
    gpsTrack = gpsMagneticTrack = 0;
    gpsAltitudeMetres = gpsAltitudeFeet = 0;
    gpsSatellitesUsed = 0;
    std::memset(gpsUsedPrn, 0, sizeof gpsUsedPrn);
    gpsPdop = gpsHdop = gpsVdop = 0;
    gpsSatellitesInView = 0;
    for (SatelliteInfo& s : gpsSatellites) s = SatelliteInfo{};
    autoVariation = 0;
}

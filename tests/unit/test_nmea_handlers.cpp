// The RMC, GGA, GSA and GSV handlers: position, speed by unit, courses and variation, GPS time,
// altitude, fix type and satellites; malformed sentences are dropped without changing anything.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "nmea_test_support.h"

namespace {

std::string rmc(const std::string& time, const std::string& status, const std::string& lat, const std::string& ns,
                const std::string& lon, const std::string& ew, const std::string& speed, const std::string& course,
                const std::string& date)
{
    return "GPRMC," + time + "," + status + "," + lat + "," + ns + "," + lon + "," + ew + "," + speed + "," + course +
           "," + date + ",003.1,W";
}

std::string rmcSpeedCourse(const std::string& status, const std::string& speed, const std::string& course)
{
    return rmc("123519", status, "4807.038", "N", "01131.000", "E", speed, course, "230394");
}

std::string rmcClock(const std::string& time, const std::string& date)
{
    return rmc(time, "A", "4807.038", "N", "01131.000", "E", "0.0", "0.0", date);
}

std::string gga(const std::string& satellites, const std::string& altitude)
{
    return "GPGGA,123519,4807.038,N,01131.000,E,1," + satellites + ",0.9," + altitude + ",M,46.9,M,,";
}

DateTime at(uint16_t year, uint8_t month, uint8_t day, uint8_t hour, uint8_t minute, uint8_t second)
{
    DateTime dt;
    dt.year = year, dt.month = month, dt.day = day, dt.hour = hour, dt.minute = minute, dt.second = second;
    return dt;
}

void expectDateTime(const DateTime& actual, const DateTime& expected, const std::string& what)
{
    EXPECT_EQ(actual.year, expected.year) << what;
    EXPECT_EQ(actual.month, expected.month) << what;
    EXPECT_EQ(actual.day, expected.day) << what;
    EXPECT_EQ(actual.hour, expected.hour) << what;
    EXPECT_EQ(actual.minute, expected.minute) << what;
    EXPECT_EQ(actual.second, expected.second) << what;
}

TEST(NmeaRmc, PositionWithHemispheres)
{
    struct Case {
        const char *lat, *ns, *lon, *ew;
        float latitude, longitude;
    } cases[] = {
        {"4807.038", "S", "01131.000", "E", -48.1173f, 11.5166667f},
        {"4807.038", "N", "01131.000", "W", 48.1173f, -11.5166667f},
        {"0000.000", "N", "00000.000", "E", 0.0f, 0.0f},
        {"8959.999", "N", "17959.999", "W", 89.9999833f, -179.9999833f},
        {"4404.1237919", "N", "12118.8472507", "W", 44.0687299f, -121.3141208f},
        {"3644.759484", "S", "17444.072904", "E", -36.7459914f, 174.7345484f},
        {"0030.000", "S", "00030.000", "W", -0.5f, -0.5f},   // under one degree
        {"4807.038", "", "01131.000", "", 48.1173f, 11.5166667f},  // no hemisphere: north, east
        {"", "S", "", "W", 0.0f, 0.0f},          // no position: none arrived
        {"4807.038", "N", "", "E", 48.1173f, 0.0f},
    };
    for (const Case& c : cases) {
        freshGps();
        handleSentence(rmc("123519", "A", c.lat, c.ns, c.lon, c.ew, "0.0", "0.0", "230394"));
        EXPECT_FLOAT_EQ(gpsLatitude, c.latitude) << c.lat << c.ns;
        EXPECT_FLOAT_EQ(gpsLongitude, c.longitude) << c.lon << c.ew;
        EXPECT_EQ(gpsPositionValid, c.lat[0] != '\0' && c.lon[0] != '\0') << c.lat << c.lon;
    }
}

TEST(NmeaRmc, StatusSetsTheFix)
{
    const struct {
        const char* status;
        uint8_t fix;
    } cases[] = {{"A", 1}, {"V", 0}, {"", 0}, {"a", 0}, {"AV", 1}};
    for (const auto& c : cases) {
        freshGps();
        gpsFixValid = 1 - c.fix;
        handleSentence(rmcSpeedCourse(c.status, "0.0", "0.0"));
        EXPECT_EQ(gpsFixValid, c.fix) << c.status;
    }
}

// A receiver that falls silent loses its fix after five quiet seconds, not four and not never;
// any RMC or GGA starts the count again, and a fix set by hand has no receiver to lose.
TEST(NmeaRmc, ASilentReceiverLosesItsFix)
{
    const struct {
        const char* name;
        const char* script;  // 'r' an RMC with a fix, 'g' a GGA, 's' a slow step
        uint8_t fix;
    } cases[] = {
        {"four quiet seconds keep it", "rssss", 1},
        {"five keep it", "rsssss", 1},
        {"six lose it", "rssssss", 0},
        {"a GGA keeps it alive", "rsssgsssss", 1},
        {"but not for ever", "rsssgssssss", 0},
        {"an RMC brings it back", "rssssssssssr", 1},
        {"and it is lost again", "rssssssssssrssssss", 0},
        {"a fix without a receiver stays", "ssssssssss", 1},
    };
    for (const auto& c : cases) {
        freshGps();
        gpsFixValid = 1;
        gpsFixType = 3;
        for (const char* k = c.script; *k; ++k) {
            if (*k == 'r') handleSentence(rmcSpeedCourse("A", "100.0", "90.0"));
            if (*k == 'g') handleSentence(gga("08", "545.4"));
            if (*k == 's') slowStep();
        }
        EXPECT_EQ(gpsFixValid, c.fix) << c.name;
        if (c.fix == 0) {
            EXPECT_EQ(gpsFixType, 0) << c.name;
            EXPECT_EQ(gpsPositionValid, 0) << c.name;
        }
    }
}

TEST(NmeaRmc, GroundSpeedInTheUnitOfTheFuelSetting)
{
    const struct {
        uint8_t fuelUnit;
        const char* knots;
        uint16_t speed;
    } cases[] = {
        {0, "100.0", 115}, {1, "100.0", 115}, {2, "100.0", 100}, {3, "100.0", 100}, {4, "100.0", 185},
        {5, "100.0", 185}, {0, "022.4", 25},  {2, "022.4", 22},  {4, "022.4", 41},  {0, "0.5", 0},
        {2, "100.9", 100}, {4, "", 0},        {0, "abc", 0},     {2, "-0.5", 0},    {2, "65535.9", 65535},
        {4, "35386.0", 65534},
    };
    for (const auto& c : cases) {
        freshGps();
        settings.fuelUnit = c.fuelUnit;
        handleSentence(rmcSpeedCourse("A", c.knots, "0.0"));
        EXPECT_EQ(gpsGroundSpeed, c.speed) << "unit " << int(c.fuelUnit) << " knots " << c.knots;
        EXPECT_EQ(gpsSpeedMax, c.speed) << "unit " << int(c.fuelUnit) << " knots " << c.knots;
    }
}

TEST(NmeaRmc, SpeedMaximumKeepsThePeak)
{
    freshGps();
    const struct {
        const char* knots;
        uint16_t speed, max;
    } steps[] = {{"100.0", 115, 115}, {"50.0", 57, 115}, {"120.0", 138, 138}, {"0.0", 0, 138}};
    for (const auto& s : steps) {
        handleSentence(rmcSpeedCourse("A", s.knots, "0.0"));
        EXPECT_EQ(gpsGroundSpeed, s.speed) << s.knots;
        EXPECT_EQ(gpsSpeedMax, s.max) << s.knots;
    }
}

TEST(NmeaRmc, TrueAndMagneticTrack)
{
    const struct {
        const char* course;
        const char* status;
        uint8_t variationMode;  // 0 AUTO, 1 MANUAL
        int16_t manual;
        float autoVariation;
        int16_t track, magnetic;
    } cases[] = {
        {"360.0", "A", 1, 0, 0, 0, 0},
        {"5", "A", 1, 10, 0, 5, 355},
        {"355", "A", 1, -10, 0, 355, 5},
        {"359.9", "A", 1, 0, 0, 359, 359},
        {"0.0", "A", 1, 180, 0, 0, 180},
        {"0.0", "A", 1, -180, 0, 0, 180},
        {"90", "A", 1, 90, 0, 90, 0},
        {"", "A", 1, 0, 0, 0, 0},
        {"100", "A", 0, 5, 10.7f, 100, 90},    // AUTO with a fix: whole degrees of the model
        {"100", "A", 0, 5, -3.9f, 100, 103},
        {"100", "V", 0, 5, 10.7f, 100, 95},    // AUTO without a fix: the manual value
        {"100", "A", 1, -20, 10.7f, 100, 120}, // MANUAL: the model is ignored
        {"360.9", "A", 1, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        freshGps();
        settings.gpsVariationMode = c.variationMode;
        settings.gpsManualVariation = c.manual;
        autoVariation = c.autoVariation;
        handleSentence(rmcSpeedCourse(c.status, "0.0", c.course));
        EXPECT_EQ(gpsTrack, c.track) << c.course << " " << c.manual;
        EXPECT_EQ(gpsMagneticTrack, c.magnetic) << c.course << " " << c.manual << " " << c.autoVariation;
    }
}

TEST(NmeaRmc, GpsTimeSetsTheClockWhenItIsTheSource)
{
    freshGps();
    settings.utcOffsetMinutes = -30;
    rtcDateTime = at(2026, 1, 1, 0, 0, 0);
    handleSentence(rmcClock("001000.00", "010324"));
    expectDateTime(rtcDateTime, at(2026, 1, 1, 0, 0, 0), "internal RTC: untouched");

    settings.rtcSourceGps = 1;
    handleSentence(rmcClock("001000.00", "010324"));
    expectDateTime(rtcDateTime, at(2024, 3, 1, 0, 10, 0), "GPS");
    EXPECT_EQ(utcSeconds, 1709251800u);
    expectDateTime(localDateTime, at(2024, 2, 29, 23, 40, 0), "local, 30 minutes west");

    settings.utcOffsetMinutes = 60;
    handleSentence(rmcClock("233000", "311299"));
    expectDateTime(rtcDateTime, at(2099, 12, 31, 23, 30, 0), "GPS");
    expectDateTime(localDateTime, at(2100, 1, 1, 0, 30, 0), "local, an hour east");
}

TEST(NmeaRmc, OnlyAValidTimeOrDateIsApplied)
{
    const uint32_t before = 1767225600;  // 2026-01-01 00:00:00
    const struct {
        const char *time, *date;
        DateTime expected;
        uint32_t seconds;
    } cases[] = {
        {"123519", "230394", at(2094, 3, 23, 12, 35, 19), 3920186119u},
        {"123519.972", "230394", at(2094, 3, 23, 12, 35, 19), 3920186119u},
        {"123519", "", at(2026, 1, 1, 12, 35, 19), before + 45319},
        {"123519", "2303", at(2026, 1, 1, 12, 35, 19), before + 45319},
        {"123519", "23039", at(2026, 1, 1, 12, 35, 19), before + 45319},
        {"123519", "2303944", at(2026, 1, 1, 12, 35, 19), before + 45319},
        {"123519", "23o394", at(2026, 1, 1, 12, 35, 19), before + 45319},
        {"123519", "000126", at(2026, 1, 1, 12, 35, 19), before + 45319},
        {"123519", "321226", at(2026, 1, 1, 12, 35, 19), before + 45319},
        {"123519", "011326", at(2026, 1, 1, 12, 35, 19), before + 45319},
        {"123519", "010026", at(2026, 1, 1, 12, 35, 19), before + 45319},
        {"12", "230394", at(2094, 3, 23, 0, 0, 0), 3920140800u},
        {"1235", "230394", at(2094, 3, 23, 0, 0, 0), 3920140800u},
        {"12a519", "230394", at(2094, 3, 23, 0, 0, 0), 3920140800u},
        {"240000", "230394", at(2094, 3, 23, 0, 0, 0), 3920140800u},
        {"126000", "230394", at(2094, 3, 23, 0, 0, 0), 3920140800u},
        {"123560", "230394", at(2094, 3, 23, 0, 0, 0), 3920140800u},
        {"12", "", at(2026, 1, 1, 0, 0, 0), 42},  // neither: the clock is not touched at all
    };
    for (const auto& c : cases) {
        freshGps();
        settings.rtcSourceGps = 1;
        rtcDateTime = at(2026, 1, 1, 0, 0, 0);
        utcSeconds = 42;
        handleSentence(rmcClock(c.time, c.date));
        const std::string what = std::string(c.time) + " " + c.date;
        expectDateTime(rtcDateTime, c.expected, what);
        EXPECT_EQ(utcSeconds, c.seconds) << what;
        EXPECT_EQ(gpsFixValid, 1) << what << ": the rest of the sentence is used";
    }
}

TEST(NmeaRmcGga, AnEmptyTimeFieldIgnoresTheSentence)
{
    const char* bodies[] = {
        "GPRMC,,V,,,,,,,,,,N",
        "GPRMC,,A,4807.038,S,01131.000,E,100.0,360.0,230394,003.1,W",
        "GPRMC,1,A,4807.038,S,01131.000,E,100.0,360.0,230394,003.1,W",
        "GPGGA,,,,,,0,,,,,,,,",
        "GPGGA,,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "GPGGA,1,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
    };
    for (const char* body : bodies) {
        freshGps();
        settings.rtcSourceGps = 1;
        handleSentence(rmcSpeedCourse("A", "10.0", "45.0"));
        handleSentence(gga("07", "100.0"));
        const auto before = gpsSnapshot();
        handleSentence(body);
        EXPECT_EQ(gpsSnapshot(), before) << body;
    }
}

TEST(NmeaGga, SatellitesAndAltitude)
{
    const struct {
        const char *satellites, *altitude;
        uint8_t used;
        int32_t metres, feet;
    } cases[] = {
        {"08", "545.4", 8, 545, 1789},
        {"12", "-20.7", 12, -20, -67},
        {"", "", 0, 0, 0},
        {"xx", "12abc", 0, 12, 39},
        {"12.9", "1e3", 12, 1000, 3280},
        {"+3", "+5.5", 3, 5, 18},
        {" 4", " 7", 4, 7, 22},
        {"255", "-0.9", 255, 0, -2},
        {"00", "1132.559", 0, 1132, 3715},
        {"05", "654553015", 5, 654553015, 2147483645},
    };
    for (const auto& c : cases) {
        freshGps();
        handleSentence(gga(c.satellites, c.altitude));
        EXPECT_EQ(gpsSatellitesUsed, c.used) << c.satellites;
        EXPECT_EQ(gpsAltitudeMetres, c.metres) << c.altitude;
        EXPECT_EQ(gpsAltitudeFeet, c.feet) << c.altitude;
    }
}

TEST(NmeaGsa, FixTypeUsedSatellitesAndDilution)
{
    const struct {
        const char* body;
        uint8_t fixType, fixValid;
        uint8_t prn[12];
        float pdop, hdop, vdop;
    } cases[] = {
        {"GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1", 3, 1, {4, 5, 0, 9, 12, 0, 0, 24}, 2.5f, 1.3f, 2.1f},
        {"GPGSA,A,1,,,,,,,,,,,,,0.0,0.0,0.0", 0, 0, {}, 0, 0, 0},
        {"GPGSA,A,1,,,,,,,,,,,,,,,,", 0, 0, {}, 0, 0, 0},
        {"GPGSA,M,2,01,02,03,04,05,06,07,08,09,10,11,12,1.0,2.0,3.0", 2, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         1.0f, 2.0f, 3.0f},
        {"GPGSA,A,2,03,06,07,11,19,22,28,30,,,,,1.3,1.0,0.8,1", 2, 1, {3, 6, 7, 11, 19, 22, 28, 30}, 1.3f, 1.0f, 0.8f},
        {"GPGSA,A,0,01,,,,,,,,,,,,9.9,9.9,9.9", 0, 0, {1}, 9.9f, 9.9f, 9.9f},
        {"GPGSA,A,3,xx,193,,,,,,,,,,,1.5x,,", 3, 1, {0, 193}, 1.5f, 0, 0},
    };
    for (const auto& c : cases) {
        freshGps();
        gpsFixValid = 1 - c.fixValid;
        gpsFixType = 9;
        std::memset(gpsUsedPrn, 0xEE, sizeof gpsUsedPrn);
        handleSentence(c.body);
        EXPECT_EQ(gpsFixType, c.fixType) << c.body;
        EXPECT_EQ(gpsFixValid, c.fixValid) << c.body;
        for (int k = 0; k < 16; ++k) EXPECT_EQ(gpsUsedPrn[k], k < 12 ? c.prn[k] : 0) << c.body << " entry " << k;
        EXPECT_FLOAT_EQ(gpsPdop, c.pdop) << c.body;
        EXPECT_FLOAT_EQ(gpsHdop, c.hdop) << c.body;
        EXPECT_FLOAT_EQ(gpsVdop, c.vdop) << c.body;
    }
}

// Expected satellite entries: PRN, elevation, azimuth, SNR; 0xEE marks an entry left as it was.
struct Sat {
    int prn, elevation, azimuth, snr;
};
constexpr Sat kOld{0xEE, 0xEE, 0xEEEE, 0xEE};
constexpr Sat kNone{0, 0, 0, 0};

void fillSatellitesWithOldValues()
{
    for (SatelliteInfo& s : gpsSatellites) s = {0xEE, 0xEE, 0xEEEE, 0xEE, 0};
}

void expectSatellites(const Sat (&expected)[16], const std::string& what)
{
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(gpsSatellites[i].prn, expected[i].prn) << what << " entry " << i;
        EXPECT_EQ(gpsSatellites[i].elevation, expected[i].elevation) << what << " entry " << i;
        EXPECT_EQ(gpsSatellites[i].azimuth, expected[i].azimuth) << what << " entry " << i;
        EXPECT_EQ(gpsSatellites[i].snr, expected[i].snr) << what << " entry " << i;
    }
}

TEST(NmeaGsv, ElevenSatellitesInThreeMessages)
{
    freshGps();
    fillSatellitesWithOldValues();
    const Sat s1{1, 10, 100, 31}, s2{2, 20, 200, 32}, s3{3, 30, 300, 33}, s4{4, 40, 40, 34};
    const Sat s5{5, 50, 50, 35}, s6{6, 60, 60, 36}, s7{7, 70, 70, 37}, s8{8, 80, 80, 38};
    const Sat s9{9, 5, 359, 39}, s10{10, 0, 0, 0}, s11{11, 90, 180, 41};
    const struct {
        const char* body;
        Sat expected[16];
    } steps[] = {
        {"GPGSV,3,1,11,01,10,100,31,02,20,200,32,03,30,300,33,04,40,040,34",
         {s1, s2, s3, s4, kOld, kOld, kOld, kOld, kOld, kOld, kOld, kNone, kNone, kNone, kNone, kNone}},
        {"GPGSV,3,2,11,05,50,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
         {s1, s2, s3, s4, s5, s6, s7, s8, kOld, kOld, kOld, kNone, kNone, kNone, kNone, kNone}},
        {"GPGSV,3,3,11,09,05,359,39,10,00,000,,11,90,180,41",
         {s1, s2, s3, s4, s5, s6, s7, s8, s9, s10, s11, kNone, kNone, kNone, kNone, kNone}},
    };
    for (const auto& step : steps) {
        gpsSatellites[12] = {0xEE, 0xEE, 0xEEEE, 0xEE, 0};  // cleared again by every message
        handleSentence(step.body);
        EXPECT_EQ(gpsSatellitesInView, 11);
        expectSatellites(step.expected, step.body);
    }
}

TEST(NmeaGsv, MessagesAtTheEdgesOfTheTable)
{
    const Sat q24{24, 0, 0, 0}, q33{33, 0, 0, 34}, q44{44, 0, 0, 40}, q46{46, 0, 0, 50};
    const Sat p13{13, 1, 2, 3}, p14{14, 4, 5, 6}, p15{15, 7, 8, 9}, p16{16, 10, 11, 12};
    const struct {
        const char* body;
        uint8_t inView;
        Sat expected[16];
    } cases[] = {
        // Signal id after the last group; empty elevation and azimuth.
        {"GPGSV,4,4,16,24,,,,33,,,34,44,,,40,46,,,50,1", 16,
         {kOld, kOld, kOld, kOld, kOld, kOld, kOld, kOld, kOld, kOld, kOld, kOld, q24, q33, q44, q46}},
        // More in view than the table holds: the fourth message fills its end, nothing is cleared.
        {"GPGSV,5,4,19,13,1,2,3,14,4,5,6,15,7,8,9,16,10,11,12", 19,
         {kOld, kOld, kOld, kOld, kOld, kOld, kOld, kOld, kOld, kOld, kOld, kOld, p13, p14, p15, p16}},
        // A message past the satellites in view fills nothing but still clears.
        {"GPGSV,3,3,05", 5, {kOld, kOld, kOld, kOld, kOld, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
                             kNone, kNone, kNone}},
        {"GPGSV,1,1,00", 0, {kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
                             kNone, kNone, kNone, kNone}},
        {"GPGSV,1,1,01,193,00,293,", 1, {{193, 0, 293, 0}, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
                                         kNone, kNone, kNone, kNone, kNone, kNone, kNone}},
    };
    for (const auto& c : cases) {
        freshGps();
        fillSatellitesWithOldValues();
        handleSentence(c.body);
        EXPECT_EQ(gpsSatellitesInView, c.inView) << c.body;
        expectSatellites(c.expected, c.body);
    }
}

// A good fix first, then the sentence under test: dropped ones must leave every value as it was.
void establishFix()
{
    freshGps();
    settings.rtcSourceGps = 1;
    handleSentence(rmc("123519", "A", "4807.038", "S", "01131.000", "E", "100.0", "84.4", "230394"));
    handleSentence(gga("08", "545.4"));
    handleSentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
    handleSentence("GPGSV,3,1,11,01,10,100,31,02,20,200,32,03,30,300,33,04,40,040,34");
}

TEST(NmeaHandlers, MalformedSentencesAreDroppedWhole)
{
    const char* bodies[] = {
        // RMC: fields missing, address too long, numbers that fit nothing
        "GPRMC,123600,A,4807.038,S,01131.000,E,100.0,360.0",
        "GPRMC,123600,A",
        "GPRMCX,123600,A,4807.038,S,01131.000,E,100.0,360.0,230394,003.1,W",
        "GPRMC,123600,A,4807.038,S,01131.000,E,99999999,360.0,230394,003.1,W",
        "GPRMC,123600,A,4807.038,S,01131.000,E,-5.0,360.0,230394,003.1,W",
        "GPRMC,123600,A,4807.038,S,01131.000,E,1e39,360.0,230394,003.1,W",
        "GPRMC,123600,A,4807.038,S,01131.000,E,100.0,361,230394,003.1,W",
        "GPRMC,123600,A,4807.038,S,01131.000,E,100.0,-1,230394,003.1,W",
        "GPRMC,123600,A,4807.038,S,01131.000,E,100.0,1e9,230394,003.1,W",
        "GPRMC,123600,A,4807.038,S,01131.000,E,100.0,99999999999999999999999,230394,003.1,W",
        "GPRMC,123600,A,1e400,S,01131.000,E,100.0,84.4,230394,003.1,W",
        "GPRMC,123600,A,4807.038,S,9e40,E,100.0,84.4,230394,003.1,W",
        // GGA
        "GPGGA,123600,4807.038,N,01131.000,E,1,256,0.9,545.4,M,46.9,M,,",
        "GPGGA,123600,4807.038,N,01131.000,E,1,-1,0.9,545.4,M,46.9,M,,",
        "GPGGA,123600,4807.038,N,01131.000,E,1,1e3,0.9,545.4,M,46.9,M,,",
        "GPGGA,123600,4807.038,N,01131.000,E,1,08,0.9,3000000000,M,46.9,M,,",
        "GPGGA,123600,4807.038,N,01131.000,E,1,08,0.9,700000000,M,46.9,M,,",
        "GPGGA,123600,4807.038,N,01131.000,E,1,08,0.9,-700000000,M,46.9,M,,",
        "GPGGA,123600,4807.038,N,01131.000,E,1,08,0.9,1e999,M,46.9,M,,",
        "GPGGA,123600,4807.038,N,01131.000,E,1,08,0.9",
        "GPGGAA,123600,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        // GSA
        "GPGSA,AM,1,04,05,,09,12,,,24,,,,,2.5,1.3,2.1",
        "GPGSA,,1,04,05,,09,12,,,24,,,,,2.5,1.3,2.1",
        "GPGSA,A,,04,05,,09,12,,,24,,,,,2.5,1.3,2.1",
        "GPGSA,A,x,04,05,,09,12,,,24,,,,,2.5,1.3,2.1",
        "GPGSA,A,11,04,05,,09,12,,,24,,,,,2.5,1.3,2.1",
        "GPGSA,A,1,256,05,,09,12,,,24,,,,,2.5,1.3,2.1",
        "GPGSA,A,1,-1,05,,09,12,,,24,,,,,2.5,1.3,2.1",
        "GPGSA,A,1,04,05,,09,12,,,24,,,,,2.5,1.3,1e39",
        "GPGSA,A,1,04,05,,09,12,,,24,,,,,2.5,1.3",
        "GPGSA",
        // GSV
        "GPGSV,3,0,11,05,50,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,5,5,17,51,,,34,1",
        "GPGSV,9,9,40,51,,,34",
        "GPGSV,3,x,11,05,50,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,3,,11,05,50,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,3,12,11,05,50,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,10,2,40,05,50,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,x,2,11,05,50,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,3,2,300,05,50,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,3,2,-1,05,50,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,3,2,11,05,50,70000,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,3,2,11,05,256,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,3,2,11,05,50,050,-1,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,3,2,11,05,91,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,3,2,11,05,50,050,35,06,60,360,36,07,70,070,37,08,80,080,38",
        "GPGSV,3,2,11,256,50,050,35,06,60,060,36,07,70,070,37,08,80,080,38",
        "GPGSV,3,2,11,05,50,050,35,06,60,060,36,07,70,070,37",
        "GPGSV,3,3,11,09,05,359,39,10,00,000,,11,90,180",
        "GPGSV,3,1,11",
        "GPGSV",
        // Other talkers are accepted but not used
        "GNRMC,123600,A,5000.000,N,01131.000,E,10.0,10.0,230394,,",
        "GNGGA,123600,5000.000,N,01131.000,E,1,12,0.9,100.0,M,46.9,M,,",
        "BDGSA,A,2,01,02,,,,,,,,,,,1.0,1.0,1.0",
        "GLGSV,1,1,01,65,40,083,46",
        "GAGSV,1,1,01,05,40,083,46",
    };
    for (const char* body : bodies) {
        establishFix();
        const auto before = gpsSnapshot();
        EXPECT_EQ(feedNmea(nmeaLine(body)), 1) << body;
        runPendingGpsHandlers();
        EXPECT_EQ(gpsSnapshot(), before) << body;
    }
}

}  // namespace

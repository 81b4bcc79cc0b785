// GPS page: position, course, sun-time and variation texts, every information row as drawn, the
// sky view's placement and colours, the signal bars, the red cross, and golden pages.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/framebuffer.h"
#include "display/text.h"
#include "golden_support.h"
#include "gps/gps.h"
#include "gps/gps_page.h"
#include "gps/nmea.h"
#include "settings/settings.h"
#include "test_support.h"
#include "time/clock.h"
#include "time/sun.h"

namespace {

void clearGps() { resetGpsValues(); }

class GpsPage : public testing::Test {
protected:
    void SetUp() override
    {
        loadDefaultSettings();
        buildTrigTables();
        clearGps();
        savedReceived = gpsDataReceived;
        savedDate = rtcDateTime;
        gpsDataReceived = 1;
        rtcDateTime = DateTime{};
    }
    void TearDown() override
    {
        clearGps();
        gpsDataReceived = savedReceived;
        rtcDateTime = savedDate;
        loadDefaultSettings();
        clearScreen();
    }
    uint8_t savedReceived = 0;
    DateTime savedDate;
};

std::string latitudeText(float v)
{
    char t[32];
    formatLatitude(v, t, sizeof t);
    return t;
}

std::string longitudeText(float v)
{
    char t[32];
    formatLongitude(v, t, sizeof t);
    return t;
}

std::string courseText()
{
    char t[32];
    formatCourse(t, sizeof t);
    return t;
}

// ---- Texts ------------------------------------------------------------------------------------

TEST_F(GpsPage, PositionsInTheThreeFormats)
{
    struct Case { float value; bool latitude; uint8_t format; const char* text; } cases[] = {
        {48.5f, true, 0, "N48\xB0" "30.000"},
        {48.5f, true, 1, "N48\xB0" "30'00.00"},
        {48.5f, true, 2, "N48.50000\xB0"},
        {-48.1173f, true, 0, "S48\xB0" "07.038"},
        {-48.1173f, true, 1, "S48\xB0" "07'02.27"},  // single precision: 48.1172981
        {-48.1173f, true, 2, "S48.11730\xB0"},
        {5.25f, true, 0, "N05\xB0" "15.000"},
        {5.25f, true, 2, "N05.25000\xB0"},
        {0.0f, true, 0, "N00\xB0" "00.000"},
        {-0.5f, true, 1, "S00\xB0" "30'00.00"},
        {90.0f, true, 2, "N90.00000\xB0"},
        {-11.5f, false, 0, "W011\xB0" "30.000"},
        {-11.5f, false, 1, "W011\xB0" "30'00.00"},
        {-11.5f, false, 2, "W011.50000\xB0"},
        {151.2093f, false, 0, "E151\xB0" "12.558"},
        {151.2093f, false, 1, "E151\xB0" "12'33.50"},  // single precision: 151.2093048
        {0.0f, false, 2, "E000.00000\xB0"},
        {-179.99f, false, 0, "W179\xB0" "59.400"},
        {8.0125f, false, 1, "E008\xB0" "00'45.00"},
        // Minutes or seconds a hair below the whole carry instead of showing 60.
        {48.999997f, true, 0, "N49\xB0" "00.000"},
        {48.99999f, true, 0, "N48\xB0" "59.999"},
        {-121.9999924f, false, 0, "W122\xB0" "00.000"},
        {-121.9999924f, false, 1, "W121\xB0" "59'59.97"},
        {5.9999995f, true, 1, "N06\xB0" "00'00.00"},
    };
    for (const Case& c : cases) {
        settings.gpsPositionFormat = c.format;
        EXPECT_EQ(c.latitude ? latitudeText(c.value) : longitudeText(c.value), c.text)
            << c.value << " format " << int(c.format);
    }
}

TEST_F(GpsPage, CourseTrueOrMagnetic)
{
    struct Case { uint8_t reference, fix; int16_t track, magnetic; const char* text; } cases[] = {
        {1, 1, 123, 110, "123\xB0T"},
        {0, 1, 123, 110, "110\xB0M"},
        {0, 1, 5, 355, "355\xB0M"},
        {1, 1, 0, 350, "0\xB0T"},
        {1, 0, 123, 110, "---\xB0T"},
        {0, 0, 123, 110, "---\xB0M"},
    };
    for (const Case& c : cases) {
        settings.gpsCogReference = c.reference;
        gpsFixValid = c.fix;
        gpsTrack = c.track;
        gpsMagneticTrack = c.magnetic;
        EXPECT_EQ(courseText(), c.text);
    }
}

TEST(GpsPageTexts, SunHoursFoldIntoTheDay)
{
    struct Case { float hours; const char* text; } cases[] = {
        {6.75f, "06:45"}, {25.25f, "01:15"}, {-0.5f, "23:30"}, {-1.5f, "22:30"}, {0.0f, "00:00"},
        {24.0f, "00:00"}, {18.1f, "18:06"}, {23.99f, "23:59"}, {-3.25f, "20:45"}, {12.5f, "12:30"},
        {-1e-7f, "23:59"},  // just before midnight never shows a 60th minute
    };
    for (const Case& c : cases) {
        char t[16];
        formatSunHours(c.hours, t, sizeof t);
        EXPECT_STREQ(t, c.text) << c.hours;
    }
}

TEST(GpsPageTexts, AutomaticVariationInDegreesAndMinutes)
{
    struct Case { float variation; const char* text; } cases[] = {
        {0.0f, "0\xB0" "0E"}, {2.5f, "2\xB0" "30E"}, {-0.75f, "0\xB0" "45W"}, {-17.25f, "17\xB0" "15W"},
        {12.618f, "12\xB0" "37E"}, {10.9999f, "11\xB0" "0E"}, {-179.5f, "179\xB0" "30W"},
    };
    for (const Case& c : cases) {
        char t[24];
        formatAutoVariation(c.variation, t, sizeof t);
        EXPECT_STREQ(t, c.text) << c.variation;
    }
}

// ---- Information rows as drawn -----------------------------------------------------------------

// The pixels of one information row: the panel's width (left of the sky view), the font's height.
std::vector<uint8_t> rowBand(int y)
{
    const int height = fontBlock(8)[7];  // the glyph height in the font block's header
    std::vector<uint8_t> band;
    for (int row = y; row < y + height; ++row)
        for (int x = 0; x < 270; ++x) band.push_back(pixelAt(x, row));
    return band;
}

// The page's row at y looks exactly like this label in silver at x 0 and this value in white at x 157.
testing::AssertionResult rowShows(int y, const char* label, const std::string& value)
{
    drawGpsPage();
    const std::vector<uint8_t> actual = rowBand(y);
    clearScreen();
    drawText(0, y, label, 8, AlignLeft, COLOUR_SILVER);
    drawText(157, y, value.c_str(), 8, AlignLeft, COLOUR_WHITE);
    if (actual == rowBand(y)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "row " << y << " does not show '" << label << "' '" << value << "'";
}

TEST_F(GpsPage, StatusRow)
{
    struct Case { uint8_t fixType; const char* text; } cases[] = {
        {3, "3D FIX"}, {2, "2D FIX"}, {0, "ACQUIRING"}, {1, "ACQUIRING"}};
    for (const Case& c : cases) {
        gpsFixType = c.fixType;
        EXPECT_TRUE(rowShows(25, "STATUS:", c.text));
    }
}

TEST_F(GpsPage, DateAndTimeRows)
{
    struct Case { uint16_t year; uint8_t month, day; const char* text; } cases[] = {
        {2025, 9, 13, "13 SEPT 2025"}, {2024, 10, 1, "1 OCT  2024"}, {2026, 6, 30, "30 JUNE 2026"},
        {2026, 7, 4, "4 JULY 2026"}, {2099, 12, 31, "31 DEC 2099"}, {2024, 2, 29, "29 FEB 2024"},
    };
    for (const Case& c : cases) {
        rtcDateTime.year = c.year;
        rtcDateTime.month = c.month;
        rtcDateTime.day = c.day;
        EXPECT_TRUE(rowShows(45, "ZULU DATE:", c.text));
    }
    rtcDateTime.hour = 7;
    rtcDateTime.minute = 5;
    rtcDateTime.second = 9;
    EXPECT_TRUE(rowShows(65, "ZULU TIME:", "07:05:09"));
}

TEST_F(GpsPage, PositionRowsFollowTheFormatSetting)
{
    gpsLatitude = -33.9461f;
    gpsLongitude = 151.1772f;
    const char* latitudes[] = {"S33\xB0" "56.766", "S33\xB0" "56'45.95", "S33.94610\xB0"};
    const char* longitudes[] = {"E151\xB0" "10.632", "E151\xB0" "10'37.92", "E151.17720\xB0"};
    for (uint8_t format = 0; format < 3; ++format) {
        settings.gpsPositionFormat = format;
        EXPECT_TRUE(rowShows(85, "LATITUDE:", latitudes[format]));
        EXPECT_TRUE(rowShows(105, "LONGITUDE:", longitudes[format]));
    }
}

TEST_F(GpsPage, AltitudeRowNeedsA3DFix)
{
    gpsAltitudeMetres = 1372;
    gpsAltitudeFeet = 4501;
    struct Case { uint8_t fixType, unit; const char* text; } cases[] = {
        {3, 0, "4501 ft"}, {3, 1, "1372 m"}, {2, 0, "----- ft"}, {2, 1, "----- m"}, {0, 1, "----- m"}};
    for (const Case& c : cases) {
        gpsFixType = c.fixType;
        settings.gpsAltitudeUnit = c.unit;
        EXPECT_TRUE(rowShows(125, "GPS ALTITUDE:", c.text));
    }
    gpsFixType = 3;
    settings.gpsAltitudeUnit = 0;
    gpsAltitudeFeet = -120;
    EXPECT_TRUE(rowShows(125, "GPS ALTITUDE:", "-120 ft"));
}

TEST_F(GpsPage, SpeedRowInTheFuelUnitsSpeed)
{
    gpsGroundSpeed = 115;
    const char* units[] = {"mph", "mph", "kts", "kts", "km/h", "km/h"};
    for (uint8_t unit = 0; unit < 6; ++unit) {
        settings.fuelUnit = unit;
        gpsFixValid = 1;
        EXPECT_TRUE(rowShows(145, "SOG:", std::string("115 ") + units[unit]));
        gpsFixValid = 0;
        EXPECT_TRUE(rowShows(145, "SOG:", std::string("--- ") + units[unit]));
    }
}

TEST_F(GpsPage, CourseSatelliteAndDopRows)
{
    gpsFixValid = 1;
    gpsTrack = 274;
    gpsMagneticTrack = 259;
    settings.gpsCogReference = 0;
    EXPECT_TRUE(rowShows(165, "COG:", "259\xB0M"));
    gpsSatellitesUsed = 7;
    gpsSatellitesInView = 11;
    EXPECT_TRUE(rowShows(185, "SV USED/TRACKED:", "7/11"));
    gpsPdop = 2.1f;
    gpsHdop = 1.0f;
    gpsVdop = 1.84f;
    EXPECT_TRUE(rowShows(205, "PDOP/HDOP/VDOP:", "2.1/1.0/1.8"));
    gpsPdop = gpsHdop = gpsVdop = 0;
    EXPECT_TRUE(rowShows(205, "PDOP/HDOP/VDOP:", "0.0/0.0/0.0"));
}

TEST_F(GpsPage, SunRowWithAndWithoutAFix)
{
    rtcDateTime.year = 2025;
    rtcDateTime.month = 1;
    rtcDateTime.day = 1;
    EXPECT_TRUE(rowShows(225, "SUNRISE/SUNSET:", "--:--/--:--"));

    gpsFixValid = 1;
    char rise[16], set[16];
    computeSunEvent(1);
    formatSunHours(sunEventHours, rise, sizeof rise);
    computeSunEvent(0);
    formatSunHours(sunEventHours, set, sizeof set);
    EXPECT_STREQ(rise, "05:59");  // 5.997 h
    EXPECT_STREQ(set, "18:07");   // 18.122 h
    EXPECT_TRUE(rowShows(225, "SUNRISE/SUNSET:", std::string(rise) + "/" + set));

    // The page leaves the sunset in sunEventHours.
    const float sunset = sunEventHours;
    sunEventHours = 0;
    drawGpsPage();
    EXPECT_EQ(sunEventHours, sunset);

    // The offset moves the shown time.
    settings.utcOffsetMinutes = -90;
    computeSunEvent(1);
    formatSunHours(sunEventHours, rise, sizeof rise);
    EXPECT_STREQ(rise, "04:29");

    // Polar night: neither event, and the page says so.
    settings.utcOffsetMinutes = 0;
    gpsLatitude = 75.0f;
    EXPECT_TRUE(rowShows(225, "SUNRISE/SUNSET:", "--:--/--:--"));
}

TEST_F(GpsPage, VariationRowAutomaticOrManual)
{
    autoVariation = -3.55f;
    settings.gpsManualVariation = 7;
    settings.gpsVariationMode = 0;
    gpsFixValid = 1;
    EXPECT_TRUE(rowShows(245, "MAG VAR (AUTO):", "3\xB0" "33W"));
    autoVariation = 12.25f;
    EXPECT_TRUE(rowShows(245, "MAG VAR (AUTO):", "12\xB0" "15E"));
    // Without a fix the automatic value is not trusted: the manual one shows.
    gpsFixValid = 0;
    EXPECT_TRUE(rowShows(245, "MAG VAR (MAN):", "7\xB0 E"));
    settings.gpsVariationMode = 1;
    gpsFixValid = 1;
    settings.gpsManualVariation = -5;
    EXPECT_TRUE(rowShows(245, "MAG VAR (MAN):", "5\xB0 W"));
    settings.gpsManualVariation = 0;
    EXPECT_TRUE(rowShows(245, "MAG VAR (MAN):", "0\xB0 E"));
}

// ---- Sky view ----------------------------------------------------------------------------------

void setSatellite(int i, uint8_t prn, uint8_t elevation, uint16_t azimuth, uint8_t snr)
{
    gpsSatellites[i] = SatelliteInfo{prn, elevation, azimuth, snr, 0};
}

// The sky view with the satellites in the table equals the empty sky view plus these labels.
struct Label { int x, y; const char* text; uint8_t colour; };
testing::AssertionResult skyShowsExactly(std::initializer_list<Label> labels)
{
    clearScreen();
    drawSkyView();
    const std::vector<uint8_t> actual(framebuffer, framebuffer + FRAMEBUFFER_SIZE);
    const uint8_t inView = gpsSatellitesInView;
    gpsSatellitesInView = 0;
    clearScreen();
    drawSkyView();
    gpsSatellitesInView = inView;
    for (const Label& l : labels) drawText(l.x, l.y, l.text, 8, AlignCentre, l.colour);
    const std::vector<uint8_t> expected(framebuffer, framebuffer + FRAMEBUFFER_SIZE);
    if (actual == expected) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the sky view differs from the expected labels";
}

TEST_F(GpsPage, SkyViewPlacesSatellitesNorthUp)
{
    gpsUsedPrn[0] = 12;
    struct Case { uint8_t prn, elevation; uint16_t azimuth; Label label; } cases[] = {
        {12, 90, 0, {376, 79, "12", COLOUR_LIME}},     // overhead: the centre
        {12, 0, 90, {436, 79, "12", COLOUR_LIME}},     // east horizon: on the outer circle
        {7, 0, 180, {376, 139, "7", COLOUR_RED}},      // south horizon
        {7, 0, 270, {316, 79, "7", COLOUR_RED}},       // west horizon
        {7, 0, 0, {376, 19, "7", COLOUR_RED}},         // north horizon
        {7, 45, 45, {397, 57, "7", COLOUR_RED}},       // north-east at 45 degrees
        {31, 30, 315, {347, 50, "31", COLOUR_RED}},    // north-west at 30 degrees
    };
    for (const Case& c : cases) {
        clearGps();
        gpsUsedPrn[0] = 12;
        gpsSatellitesInView = 1;
        setSatellite(0, c.prn, c.elevation, c.azimuth, 30);
        EXPECT_TRUE(skyShowsExactly({c.label})) << int(c.prn) << " el " << int(c.elevation) << " az " << c.azimuth;
    }
}

TEST_F(GpsPage, SkyViewSkipsEmptyHiddenAndFaultyEntries)
{
    gpsSatellitesInView = 3;
    setSatellite(0, 0, 45, 100, 20);    // PRN 0: not a satellite
    setSatellite(1, 9, 200, 90, 20);    // elevation from a faulty sentence: outside the box
    setSatellite(2, 4, 90, 0, 20);
    setSatellite(3, 5, 60, 200, 20);    // beyond the satellites in view
    EXPECT_TRUE(skyShowsExactly({{376, 79, "4", COLOUR_RED}}));

    // At most twelve entries are looked at, whatever the count says.
    clearGps();
    gpsSatellitesInView = 16;
    for (int i = 0; i < 16; ++i) setSatellite(i, static_cast<uint8_t>(i + 1), 0, 0, 10);
    setSatellite(11, 12, 90, 0, 10);
    setSatellite(12, 13, 90, 0, 10);
    // Entries 0..10 all sit on the north horizon over one another; entry 11 at the centre.
    clearScreen();
    drawSkyView();
    const std::vector<uint8_t> withTwelve(framebuffer, framebuffer + FRAMEBUFFER_SIZE);
    gpsSatellitesInView = 12;
    clearScreen();
    drawSkyView();
    EXPECT_EQ(std::vector<uint8_t>(framebuffer, framebuffer + FRAMEBUFFER_SIZE), withTwelve);
}

TEST_F(GpsPage, SatellitesUsedAreLimeOthersRed)
{
    gpsUsedPrn[3] = 21;
    gpsUsedPrn[11] = 30;
    gpsUsedPrn[12] = 5;  // past the twelve entries of the fix list
    gpsSatellitesInView = 3;
    setSatellite(0, 21, 90, 0, 40);
    setSatellite(1, 30, 0, 90, 40);
    setSatellite(2, 5, 0, 270, 40);
    EXPECT_TRUE(skyShowsExactly({{376, 79, "21", COLOUR_LIME}, {436, 79, "30", COLOUR_LIME}, {316, 79, "5", COLOUR_RED}}));
}

// ---- Signal bars -------------------------------------------------------------------------------

// Height of the bar whose left edge is x, from the colour at its left column.
int barHeight(int x, uint8_t colour)
{
    int h = 0;
    while (243 - h - 1 >= 0 && pixelAt(x, 243 - h - 1) == colour) ++h;
    return pixelAt(x, 243) == colour ? h : -1;
}

TEST_F(GpsPage, BarsAreScaledToTheStrongestSignal)
{
    gpsUsedPrn[0] = 3;
    gpsSatellitesInView = 4;
    setSatellite(0, 3, 50, 10, 45);   // strongest: full = 50, 45 * 78 / 50 = 70
    setSatellite(1, 8, 20, 100, 20);  // 20 * 78 / 50 = 31
    setSatellite(2, 11, 10, 200, 1);  // 1 * 78 / 50 = 1
    setSatellite(3, 14, 5, 300, 0);   // no bar
    clearScreen();
    drawSignalBars();
    EXPECT_EQ(barHeight(274, COLOUR_LIME), 70);
    EXPECT_EQ(barHeight(274 + 17, COLOUR_RED), 31);
    EXPECT_EQ(barHeight(274 + 34, COLOUR_RED), 1);
    EXPECT_EQ(pixelAt(274 + 51, 243), COLOUR_SILVER);  // baseline untouched where there is no bar
    // Bars are twelve pixels wide, with five between them.
    EXPECT_EQ(pixelAt(274 + 11, 200), COLOUR_LIME);
    EXPECT_EQ(pixelAt(274 + 12, 200), COLOUR_BLACK);
    EXPECT_EQ(pixelAt(274 + 16, 240), COLOUR_BLACK);
    EXPECT_EQ(pixelAt(274 + 17, 240), COLOUR_RED);
}

TEST_F(GpsPage, FullScaleLooksAtTheFirstTwelveEntriesWhateverIsInView)
{
    gpsSatellitesInView = 1;
    setSatellite(0, 3, 50, 10, 45);
    setSatellite(5, 9, 50, 10, 90);   // not in view, but raises the scale: full = 95
    setSatellite(12, 9, 50, 10, 99);  // beyond the twelve: ignored
    clearScreen();
    drawSignalBars();
    EXPECT_EQ(barHeight(274, COLOUR_RED), 45 * 78 / 95);
    EXPECT_EQ(pixelAt(274 + 5 * 17, 200), COLOUR_BLACK);
}

TEST_F(GpsPage, PrnLabelsAlternateBetweenTwoLines)
{
    gpsSatellitesInView = 2;
    setSatellite(0, 7, 50, 10, 30);
    setSatellite(1, 0, 0, 0, 0);  // PRN 0 entries still get their (empty) bar and label
    clearScreen();
    drawSignalBars();
    const std::vector<uint8_t> actual(framebuffer, framebuffer + FRAMEBUFFER_SIZE);
    gpsSatellitesInView = 0;
    clearScreen();
    drawSignalBars();
    fillRect(274, 243 - 30 * 78 / 35, 285, 243, COLOUR_RED);
    drawText(278, 246, "7", 8, AlignCentre, COLOUR_WHITE);
    drawText(295, 259, "0", 8, AlignCentre, COLOUR_WHITE);
    EXPECT_EQ(std::vector<uint8_t>(framebuffer, framebuffer + FRAMEBUFFER_SIZE), actual);
}

TEST_F(GpsPage, NoBarsOrLabelsWithoutSatellites)
{
    clearScreen();
    drawSignalBars();
    for (int y = 175; y < SCREEN_HEIGHT; ++y)
        for (int x = 270; x < SCREEN_WIDTH; ++x)
            if (y != 243) {
                EXPECT_EQ(pixelAt(x, y), COLOUR_BLACK) << x << "," << y;
            }
}

// ---- Red cross ---------------------------------------------------------------------------------

TEST_F(GpsPage, CrossedOutUntilTheFirstSentence)
{
    gpsDataReceived = 0;
    drawGpsPage();
    for (Point p : {Point{50, 50}, Point{429, 221}, Point{50, 221}, Point{429, 50}, Point{240, 136}})
        EXPECT_EQ(pixelAt(p.first, p.second), COLOUR_RED) << p.first << "," << p.second;
    gpsDataReceived = 1;
    drawGpsPage();
    for (Point p : {Point{50, 50}, Point{429, 221}, Point{50, 221}, Point{429, 50}, Point{240, 136}})
        EXPECT_NE(pixelAt(p.first, p.second), COLOUR_RED) << p.first << "," << p.second;
}

TEST_F(GpsPage, ThePageDrawsEverythingFromScratch)
{
    fillRect(0, 0, 479, 271, COLOUR_YELLOW);
    drawGpsPage();
    const std::vector<uint8_t> first(framebuffer, framebuffer + FRAMEBUFFER_SIZE);
    clearScreen();
    drawGpsPage();
    EXPECT_EQ(std::vector<uint8_t>(framebuffer, framebuffer + FRAMEBUFFER_SIZE), first);
}

// ---- Goldens -----------------------------------------------------------------------------------

// A climb-out west of Seattle: 3D fix, eleven satellites in view, seven of them in the fix.
void realisticFix()
{
    rtcDateTime.year = 2025;
    rtcDateTime.month = 9;
    rtcDateTime.day = 14;
    rtcDateTime.hour = 17;
    rtcDateTime.minute = 42;
    rtcDateTime.second = 7;
    gpsFixValid = 1;
    gpsFixType = 3;
    gpsLatitude = 47.4502f;
    gpsLongitude = -122.3088f;
    gpsAltitudeMetres = 1372;
    gpsAltitudeFeet = 4501;
    gpsGroundSpeed = 136;
    gpsTrack = 274;
    gpsPdop = 1.8f;
    gpsHdop = 0.9f;
    gpsVdop = 1.5f;
    computeMagneticVariation();
    gpsMagneticTrack = static_cast<int16_t>(gpsTrack - static_cast<int>(autoVariation));
    const uint8_t used[] = {2, 5, 12, 15, 20, 25, 29};
    std::memcpy(gpsUsedPrn, used, sizeof used);
    gpsSatellitesUsed = 7;
    const SatelliteInfo sky[] = {
        {2, 67, 312, 47, 0}, {5, 41, 58, 44, 0},  {12, 23, 276, 39, 0}, {13, 8, 130, 0, 0},
        {15, 54, 170, 46, 0}, {18, 12, 21, 22, 0}, {20, 34, 95, 42, 0}, {24, 5, 243, 17, 0},
        {25, 29, 205, 40, 0}, {26, 3, 331, 0, 0},  {29, 76, 118, 48, 0},
    };
    std::memcpy(gpsSatellites, sky, sizeof sky);
    gpsSatellitesInView = 11;
}

TEST_F(GpsPage, GoldenBeforeAnySentence)
{
    gpsDataReceived = 0;
    rtcDateTime = secondsToDateTime(1757871727);  // the PC clock: 2025-09-14 17:42:07 UTC
    drawGpsPage();
    EXPECT_TRUE(framebufferMatchesGolden("gps_page/no_data"));
}

TEST_F(GpsPage, GoldenWithAFixInEachPositionFormat)
{
    realisticFix();
    const char* names[] = {"gps_page/fix_format0", "gps_page/fix_format1", "gps_page/fix_format2"};
    for (uint8_t format = 0; format < 3; ++format) {
        settings.gpsPositionFormat = format;
        drawGpsPage();
        EXPECT_TRUE(framebufferMatchesGolden(names[format])) << names[format];
    }
}

}  // namespace

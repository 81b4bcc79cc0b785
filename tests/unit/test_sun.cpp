// Sun times against an independent solar-position calculation and the documented points; the
// magnetic variation against a separate double-precision synthesis of the model file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "gps/gps.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/sun.h"

namespace {

std::string sourcePath(const char* relative) { return std::string(CORVEX_SOURCE_DIR) + "/" + relative; }

std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

constexpr double kRad = std::numbers::pi / 180.0;

void setDate(int year, int month, int day)
{
    rtcDateTime.year = static_cast<uint16_t>(year);
    rtcDateTime.month = static_cast<uint8_t>(month);
    rtcDateTime.day = static_cast<uint8_t>(day);
}

class SunTest : public testing::Test {
protected:
    void SetUp() override
    {
        loadDefaultSettings();
        settings.utcOffsetMinutes = 0;
        savedDate = rtcDateTime;
    }
    void TearDown() override
    {
        rtcDateTime = savedDate;
        gpsLatitude = gpsLongitude = 0;
        gpsAltitudeMetres = 0;
        autoVariation = 0;
        loadDefaultSettings();
    }
    // Sunrise (1) or sunset (0) at a place and date, in local hours as the instrument keeps them.
    static float event(uint8_t rising, float lat, float lon, int year, int month, int day)
    {
        gpsLatitude = lat;
        gpsLongitude = lon;
        setDate(year, month, day);
        computeSunEvent(rising);
        return sunEventHours;
    }
    DateTime savedDate;
};

// ---- Day fraction ---------------------------------------------------------------------------

TEST(YearFraction, DaysBeforeEachDayOverACommonYear)
{
    struct Case { uint8_t month, day; int daysBefore; } cases[] = {
        {1, 1, 0}, {1, 31, 30}, {2, 1, 31}, {2, 28, 58},
        {2, 29, 59},   // no leap-year correction: the same as 1 March
        {3, 1, 59}, {6, 15, 165}, {9, 13, 255}, {10, 1, 273}, {12, 31, 364},
        {0, 10, 9}, {13, 10, 9},  // a month outside 1..12 adds nothing
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(yearFraction(c.month, c.day), c.daysBefore / 365.0f) << int(c.month) << "/" << int(c.day);
}

// ---- Sunrise and sunset -------------------------------------------------------------------

// An independent solar calculation (mean elements with the equation of time, declination at
// local noon), in UTC hours; the zenith is the same 90 degrees 50 minutes.
double referenceSunUtc(bool rising, double lat, double lon, int year, int month, int day)
{
    // Julian day at noon UTC of the date.
    const int a = (14 - month) / 12, y = year + 4800 - a, m = month + 12 * a - 3;
    const double jdn = day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
    const double jd = jdn - lon / 360.0;  // near local noon
    const double t = (jd - 2451545.0) / 36525.0;
    const double l0 = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
    const double ma = 357.52911 + t * (35999.05029 - 0.0001537 * t);
    const double e = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double c = std::sin(ma * kRad) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                     std::sin(2 * ma * kRad) * (0.019993 - 0.000101 * t) + std::sin(3 * ma * kRad) * 0.000289;
    const double omega = 125.04 - 1934.136 * t;
    const double lambda = l0 + c - 0.00569 - 0.00478 * std::sin(omega * kRad);
    const double eps0 = 23.0 + (26.0 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60.0) / 60.0;
    const double eps = eps0 + 0.00256 * std::cos(omega * kRad);
    const double decl = std::asin(std::sin(eps * kRad) * std::sin(lambda * kRad));
    const double yy = std::tan(eps * kRad / 2) * std::tan(eps * kRad / 2);
    const double eqTimeMin =
        4.0 / kRad *
        (yy * std::sin(2 * l0 * kRad) - 2 * e * std::sin(ma * kRad) +
         4 * e * yy * std::sin(ma * kRad) * std::cos(2 * l0 * kRad) - 0.5 * yy * yy * std::sin(4 * l0 * kRad) -
         1.25 * e * e * std::sin(2 * ma * kRad));
    const double cosHa = std::cos((90.0 + 50.0 / 60.0) * kRad) / (std::cos(lat * kRad) * std::cos(decl)) -
                         std::tan(lat * kRad) * std::tan(decl);
    const double ha = std::acos(cosHa) / kRad;
    const double noonMin = 720.0 - 4.0 * lon - eqTimeMin;
    const double minutes = rising ? noonMin - 4.0 * ha : noonMin + 4.0 * ha;
    return std::fmod(minutes / 60.0 + 48.0, 24.0);
}

// Distance between two hours of the day, across midnight.
double hoursApart(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 24.0);
    return std::min(d, 24.0 - d);
}

TEST_F(SunTest, AgreesWithAnIndependentSolarCalculation)
{
    struct Place { const char* name; float lat, lon; int year, month, day; } places[] = {
        {"equator, prime meridian", 0.0f, 0.0f, 2024, 1, 1},
        {"London midsummer", 51.4775f, -0.4614f, 2024, 6, 21},
        {"London midwinter", 51.4775f, -0.4614f, 2024, 12, 21},
        {"Denver spring", 39.8561f, -104.6737f, 2025, 3, 20},
        {"Sydney summer", -33.9461f, 151.1772f, 2024, 12, 21},
        {"Cape Town winter", -33.9715f, 18.6021f, 2025, 6, 21},
        {"Reykjavik late May", 64.13f, -21.94f, 2025, 5, 25},
        {"Anchorage autumn", 61.1744f, -149.9964f, 2024, 10, 1},
        {"Singapore", 1.3644f, 103.9915f, 2026, 8, 15},
        {"Honolulu", 21.3187f, -157.9225f, 2025, 2, 28},
        {"Auckland leap day", -37.0082f, 174.785f, 2024, 2, 29},
        {"Fiji, date-line east", -17.7554f, 177.4434f, 2025, 9, 13},
    };
    for (const Place& p : places) {
        for (uint8_t rising : {uint8_t(1), uint8_t(0)}) {
            const float hours = event(rising, p.lat, p.lon, p.year, p.month, p.day);
            ASSERT_TRUE(sunEventFound) << p.name;
            // The almanac method is good to a minute or two; allow three.
            EXPECT_LT(hoursApart(hours, referenceSunUtc(rising, p.lat, p.lon, p.year, p.month, p.day)), 0.05)
                << p.name << (rising ? " sunrise " : " sunset ") << hours;
            // The universal time before the offset lies in 0..24.
            EXPECT_GE(hours, 0.0f) << p.name;
            EXPECT_LE(hours, 24.0f) << p.name;
        }
    }
}

TEST_F(SunTest, EquatorOnNewYearsDay)
{
    EXPECT_NEAR(event(1, 0, 0, 2025, 1, 1), 6.0, 0.05);
    EXPECT_NEAR(event(0, 0, 0, 2025, 1, 1), 18.1, 0.05);
}

TEST_F(SunTest, UtcOffsetShiftsBothEventsWithoutFolding)
{
    // East of 80 E the sunrise falls shortly after 0 UTC, so a negative offset takes it below 0.
    const float rise = event(1, 0.0f, 80.0f, 2025, 1, 1);
    const float set = event(0, 0.0f, 80.0f, 2025, 1, 1);
    ASSERT_LT(rise, 1.5f);

    struct Case { int16_t minutes; float shift; } cases[] = {
        {-90, -1.5f}, {330, 5.5f}, {-1, -1.0f / 60.0f}, {765, 12.75f}, {-720, -12.0f}, {0, 0.0f}};
    for (const Case& c : cases) {
        settings.utcOffsetMinutes = c.minutes;
        EXPECT_NEAR(event(1, 0.0f, 80.0f, 2025, 1, 1), rise + c.shift, 1e-4) << c.minutes;
        EXPECT_NEAR(event(0, 0.0f, 80.0f, 2025, 1, 1), set + c.shift, 1e-4) << c.minutes;
    }
    settings.utcOffsetMinutes = -90;
    EXPECT_LT(event(1, 0.0f, 80.0f, 2025, 1, 1), 0.0f);
    settings.utcOffsetMinutes = 765;
    EXPECT_GE(event(0, 0.0f, 80.0f, 2025, 1, 1), 24.0f);
}

TEST_F(SunTest, PolarDayAndNightFindNoEventAndKeepTheLastValue)
{
    struct Case { const char* name; float lat, lon; int month, day; } cases[] = {
        {"Tromso midsummer", 69.65f, 18.96f, 6, 21},
        {"Tromso midwinter", 69.65f, 18.96f, 12, 21},
        {"North Pole, June", 90.0f, 0.0f, 6, 1},
        {"South Pole, June", -90.0f, 0.0f, 6, 1},
        {"McMurdo, December", -77.85f, 166.67f, 12, 10},
        {"Svalbard, January", 78.25f, 15.5f, 1, 15},
    };
    for (const Case& c : cases) {
        for (uint8_t rising : {uint8_t(1), uint8_t(0)}) {
            sunEventHours = 12.345f;
            event(rising, c.lat, c.lon, 2025, c.month, c.day);
            EXPECT_FALSE(sunEventFound) << c.name;
            EXPECT_EQ(sunEventHours, 12.345f) << c.name;
        }
    }
    // Found again once the position has a sunrise.
    event(1, 51.0f, 0.0f, 2025, 6, 21);
    EXPECT_TRUE(sunEventFound);
}

TEST_F(SunTest, SummerDaysAreLongerThanWinterDaysInEachHemisphere)
{
    const float lengthNorthJune = event(0, 60, 10, 2025, 6, 21) - event(1, 60, 10, 2025, 6, 21);
    const float lengthNorthDec = event(0, 60, 10, 2025, 12, 21) - event(1, 60, 10, 2025, 12, 21);
    const float lengthSouthJune = event(0, -45, 170, 2025, 6, 21) - event(1, -45, 170, 2025, 6, 21);
    const float lengthSouthDec = event(0, -45, 170, 2025, 12, 21) + 24 - event(1, -45, 170, 2025, 12, 21);
    EXPECT_NEAR(lengthNorthJune, 18.8, 0.3);
    EXPECT_NEAR(lengthNorthDec, 6.0, 0.3);
    EXPECT_LT(lengthSouthJune, 9.5);
    EXPECT_GT(lengthSouthDec, 15.0);
}

TEST_F(SunTest, FaultyPositionsNeverHang)
{
    const float faulty[][2] = {{1e30f, 1e30f}, {0.0f, 1e30f}, {45.0f, -1e20f}, {NAN, 0.0f}, {0.0f, INFINITY}};
    for (const auto& f : faulty) {
        gpsLatitude = f[0];
        gpsLongitude = f[1];
        computeSunEvent(1);
        computeSunEvent(0);
        if (sunEventFound) {
            EXPECT_TRUE(std::isfinite(sunEventHours));
        }
    }
}

// ---- Magnetic model -----------------------------------------------------------------------

// The model file read afresh, and the field synthesised the textbook way: unnormalised
// associated Legendre functions made Schmidt semi-normalised with factorials, the geocentric
// position from Cartesian coordinates on the ellipsoid, and the field rotated back by the
// difference of the two latitudes.
struct ReferenceModel {
    double epoch = 0;
    double g[13][13] = {}, h[13][13] = {}, dg[13][13] = {}, dh[13][13] = {};

    bool load(const std::string& path)
    {
        std::ifstream in(path);
        std::string line;
        if (!std::getline(in, line)) return false;
        std::istringstream(line) >> epoch;
        int rows = 0;
        while (std::getline(in, line)) {
            if (line.rfind("9999", 0) == 0) break;
            std::istringstream s(line);
            int n, m;
            double gv, hv, dgv, dhv;
            if (!(s >> n >> m >> gv >> hv >> dgv >> dhv)) continue;
            g[n][m] = gv, h[n][m] = hv, dg[n][m] = dgv, dh[n][m] = dhv;
            ++rows;
        }
        return rows == 90;
    }

    static double factorial(int k)
    {
        double f = 1;
        for (int i = 2; i <= k; ++i) f *= i;
        return f;
    }

    // Declination, inclination (degrees) and total intensity (nT).
    void field(double altKm, double latDeg, double lonDeg, double year, double& dec, double& inc, double& total) const
    {
        const double a = 6378.137, b = 6356.7523142, re = 6371.2;
        const double e2 = 1 - (b * b) / (a * a);
        const double phi = latDeg * kRad, lam = lonDeg * kRad;
        const double nu = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
        const double px = (nu + altKm) * std::cos(phi);
        const double pz = (nu * (1 - e2) + altKm) * std::sin(phi);
        const double r = std::hypot(px, pz);
        const double phiC = std::atan2(pz, px);
        const double theta = std::numbers::pi / 2 - phiC;
        const double x = std::cos(theta), s = std::sin(theta);

        // P[n][m] unnormalised (no Condon-Shortley phase).
        double p[14][14] = {};
        for (int m = 0; m <= 12; ++m) {
            double pmm = 1;
            for (int k = 1; k <= m; ++k) pmm *= (2 * k - 1) * s;
            p[m][m] = pmm;
            if (m + 1 <= 12) p[m + 1][m] = (2 * m + 1) * x * pmm;
            for (int n = m + 2; n <= 12; ++n) p[n][m] = ((2 * n - 1) * x * p[n - 1][m] - (n + m - 1) * p[n - 2][m]) / (n - m);
        }
        double north = 0, east = 0, down = 0;
        const double dt = year - epoch;
        for (int n = 1; n <= 12; ++n) {
            const double rn = std::pow(re / r, n + 2);
            for (int m = 0; m <= n; ++m) {
                const double norm = std::sqrt((m == 0 ? 1.0 : 2.0) * factorial(n - m) / factorial(n + m));
                const double pnm = norm * p[n][m];
                // d/dtheta of the unnormalised function: (n x P(n,m) - (n + m) P(n-1,m)) / sin(theta).
                const double dpnm = norm * (n * x * p[n][m] - (n + m) * (n >= 1 ? p[n - 1][m] : 0.0)) / s;
                const double gt = g[n][m] + dt * dg[n][m], ht = h[n][m] + dt * dh[n][m];
                const double cm = std::cos(m * lam), sm = std::sin(m * lam);
                north += rn * (gt * cm + ht * sm) * dpnm;
                east += rn * m * (gt * sm - ht * cm) * pnm / s;
                down -= rn * (n + 1) * (gt * cm + ht * sm) * pnm;
            }
        }
        const double psi = phiC - phi;
        const double xg = north * std::cos(psi) - down * std::sin(psi);
        const double zg = north * std::sin(psi) + down * std::cos(psi);
        const double hz = std::hypot(xg, east);
        dec = std::atan2(east, xg) / kRad;
        inc = std::atan2(zg, hz) / kRad;
        total = std::hypot(hz, zg);
    }
};

class MagneticModel : public SunTest {
protected:
    void SetUp() override
    {
        SunTest::SetUp();
        ASSERT_TRUE(reference.load(sourcePath("data/wmm/WMM2005.COF")));
        loadMagneticModel();
    }
    ReferenceModel reference;
};

TEST_F(MagneticModel, AgreesWithAnIndependentSynthesis)
{
    struct Point { double altKm, lat, lon, year; } points[] = {
        {0, 0, 0, 2005.0},        {0, 51.47, -0.46, 2005.0}, {0, 40.0, -105.0, 2007.5}, {10, 80.0, 0.0, 2005.0},
        {0, -80.0, 240.0, 2009.9}, {5, 45.0, 135.0, 2006.2}, {0, -33.9, 151.2, 2024.7},  {3, 64.1, -21.9, 2015.0},
        {0, 71.3, -156.8, 2010.0}, {-1, 31.8, 35.2, 2005.5}, {12, -55.0, -68.0, 2020.0},  {0, 10.0, 120.0, 2005.0},
        {0, 89.0, -120.0, 2005.0}, {0, -89.0, 30.0, 2005.0},
    };
    for (const Point& p : points) {
        double dec, inc, total;
        reference.field(p.altKm, p.lat, p.lon, p.year, dec, inc, total);
        const MagneticField f = evaluateMagneticModel(p.altKm, p.lat, p.lon, p.year);
        EXPECT_NEAR(f.declination, dec, 0.05) << p.lat << "," << p.lon;
        EXPECT_NEAR(f.inclination, inc, 0.05) << p.lat << "," << p.lon;
        EXPECT_NEAR(f.totalIntensity, total, 1.0) << p.lat << "," << p.lon;
        EXPECT_NEAR(std::hypot(f.north, f.east), f.horizontalIntensity, 1e-6);
        EXPECT_NEAR(magneticVariationAt(p.altKm, p.lat, p.lon, p.year), dec, 0.05) << p.lat << "," << p.lon;
    }
}

TEST_F(MagneticModel, AgreesWithTheSynthesisOverAGlobalGrid)
{
    double worst = 0;
    for (int lat = -85; lat <= 85; lat += 10)
        for (int lon = -180; lon < 180; lon += 15) {
            double dec, inc, total;
            reference.field(1.0, lat, lon, 2012.0, dec, inc, total);
            const MagneticField f = evaluateMagneticModel(1.0, lat, lon, 2012.0);
            worst = std::max(worst, std::fabs(f.declination - dec));
        }
    EXPECT_LT(worst, 0.01);
}

TEST_F(MagneticModel, KnownRegionsHaveTheirSign)
{
    struct Region { const char* name; double lat, lon, low, high; } regions[] = {
        // Near the agonic lines of 2005.
        {"Illinois", 38.5, -89.0, -2.0, 2.0},
        {"Central Europe", 48.0, 12.0, 0.0, 4.0},
        {"Equatorial Africa", 0.0, 15.0, -3.0, 3.0},
        // Strongly east.
        {"Pacific Northwest", 47.5, -122.3, 15.0, 21.0},
        {"Alaska", 61.2, -150.0, 17.0, 24.0},
        {"Eastern Siberia", 62.0, 130.0, -20.0, -10.0},
        // Strongly west.
        {"Nova Scotia", 44.6, -63.6, -21.0, -15.0},
        {"Iceland", 64.1, -21.9, -20.0, -12.0},
        {"Southern Indian Ocean", -45.0, 80.0, -55.0, -25.0},
    };
    for (const Region& r : regions) {
        const float d = magneticVariationAt(0, r.lat, r.lon, 2005.0);
        EXPECT_GE(d, r.low) << r.name << " " << d;
        EXPECT_LE(d, r.high) << r.name << " " << d;
    }
}

TEST_F(MagneticModel, SecularVariationMovesTheDeclinationFromTheEpoch)
{
    // Western Europe's declination has been moving east by around a tenth of a degree a year.
    const float d2005 = magneticVariationAt(0, 51.5, -0.5, 2005.0);
    const float d2015 = magneticVariationAt(0, 51.5, -0.5, 2015.0);
    EXPECT_NEAR((d2015 - d2005) / 10.0f, 0.15, 0.08);
    // And the model keeps going outside any validity window.
    EXPECT_TRUE(std::isfinite(magneticVariationAt(0, 51.5, -0.5, 2099.9)));
}

TEST_F(MagneticModel, GeographicPolesGiveZero)
{
    for (double lat : {90.0, -90.0, 89.9995, -89.9991})
        EXPECT_EQ(magneticVariationAt(0, lat, 40.0, 2010.0), 0.0f) << lat;
    // Just outside the pole's 0.001-degree cap the declination is a real number again.
    EXPECT_NE(magneticVariationAt(0, 89.99, 40.0, 2010.0), 0.0f);
}

TEST_F(MagneticModel, NearTheDipPoleTheHorizontalFieldIsTooWeak)
{
    // Find where the model's horizontal intensity is smallest in the Canadian Arctic.
    double bestLat = 0, bestLon = 0, bestH = 1e9;
    for (double lat = 80.0; lat <= 86.0; lat += 0.05)
        for (double lon = -130.0; lon <= -100.0; lon += 0.1) {
            const double h = evaluateMagneticModel(0, lat, lon, 2005.0).horizontalIntensity;
            if (h < bestH) bestH = h, bestLat = lat, bestLon = lon;
        }
    for (double lat = bestLat - 0.05; lat <= bestLat + 0.05; lat += 0.0025)
        for (double lon = bestLon - 0.1; lon <= bestLon + 0.1; lon += 0.005) {
            const double h = evaluateMagneticModel(0, lat, lon, 2005.0).horizontalIntensity;
            if (h < bestH) bestH = h, bestLat = lat, bestLon = lon;
        }
    ASSERT_LT(bestH, 100.0);
    EXPECT_NE(evaluateMagneticModel(0, bestLat, bestLon, 2005.0).declination, 0.0);
    EXPECT_EQ(magneticVariationAt(0, bestLat, bestLon, 2005.0), 0.0f);
    // A few tens of kilometres away the field is strong enough again.
    EXPECT_NE(magneticVariationAt(0, bestLat - 0.5, bestLon, 2005.0), 0.0f);
}

TEST_F(MagneticModel, ComputationTakesTheFixAltitudeInWholeKilometresAndTheUtcDate)
{
    gpsLatitude = 70.0f;
    gpsLongitude = -100.0f;
    setDate(2010, 7, 2);
    const double time = 2010 + static_cast<double>(yearFraction(7, 2));
    struct Case { int32_t metres; int km; } cases[] = {{1999, 1}, {999, 0}, {-1999, -1}, {12500, 12}};
    for (const Case& c : cases) {
        gpsAltitudeMetres = c.metres;
        computeMagneticVariation();
        EXPECT_EQ(autoVariation, magneticVariationAt(c.km, 70.0, -100.0, time)) << c.metres;
        EXPECT_NE(autoVariation, magneticVariationAt(c.metres / 1000.0, 70.0, -100.0, time)) << c.metres;
    }
    // The date counts: the same place half a year earlier differs.
    gpsAltitudeMetres = 0;
    computeMagneticVariation();
    const float july = autoVariation;
    setDate(2010, 1, 1);
    computeMagneticVariation();
    EXPECT_NE(autoVariation, july);
    EXPECT_EQ(autoVariation, magneticVariationAt(0, 70.0, -100.0, 2010.0));
}

TEST_F(MagneticModel, PoleAndFaultyPositionsGiveZeroOrANumber)
{
    gpsLatitude = 90.0f;
    gpsLongitude = 12.0f;
    setDate(2025, 9, 13);
    autoVariation = 5.0f;
    computeMagneticVariation();
    EXPECT_EQ(autoVariation, 0.0f);

    gpsLatitude = NAN;
    computeMagneticVariation();
    EXPECT_EQ(autoVariation, 0.0f);
}

TEST(MagneticModelTable, GeneratorReproducesTheCommittedTable)
{
    if (std::system("cmake --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "cmake is not on the PATH";
    const std::string out = std::string(CORVEX_BINARY_DIR) + "/wmm2005_coefficients_regenerated.inc";
    const std::string command =
        "cmake -DOUT=\"" + out + "\" -P \"" + sourcePath("data/wmm/make_coefficients.cmake") + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(readWhole(out), readWhole(sourcePath("data/wmm/wmm2005_coefficients.inc")));
}

TEST(MagneticModelTable, TheCommittedFileIsThePublishedModel)
{
    const std::string table = readWhole(sourcePath("data/wmm/wmm2005_coefficients.inc"));
    EXPECT_NE(table.find("{1, 0, -29556.8f, 0.0f, 8.0f, 0.0f}"), std::string::npos);
    EXPECT_NE(table.find("{1, 1, -1671.7f, 5079.8f, 10.6f, -20.9f}"), std::string::npos);
    EXPECT_NE(table.find("{2, 2, 1657.0f, -516.7f, -0.8f, -14.6f}"), std::string::npos);
    EXPECT_NE(table.find("{12, 12, -0.1f, 0.8f, 0.0f, 0.0f}"), std::string::npos);
    EXPECT_NE(table.find("wmmEpoch = 2005.0f"), std::string::npos);
}

}  // namespace

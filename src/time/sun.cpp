// Sunrise and sunset by the almanac algorithm (official zenith 90 degrees 50 minutes), and the
// magnetic declination of the WMM2005 model to degree 12 by spherical-harmonic synthesis.
#include "time/sun.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "gps/gps.h"
#include "settings/settings.h"
#include "time/clock.h"

float sunEventHours = 0;
bool sunEventFound = false;

namespace {

struct WmmCoefficient {
    int n, m;
    float g, h, dg, dh;
};

#include "wmm/wmm2005_coefficients.inc"

// ---- Sun ----------------------------------------------------------------------------------

constexpr float kRadPerDeg = std::numbers::pi_v<float> / 180.0f;

float sinD(float d) { return std::sin(d * kRadPerDeg); }
float cosD(float d) { return std::cos(d * kRadPerDeg); }
float tanD(float d) { return std::tan(d * kRadPerDeg); }
float atanD(float x) { return std::atan(x) / kRadPerDeg; }
float asinD(float x) { return std::asin(x) / kRadPerDeg; }
float acosD(float x) { return std::acos(x) / kRadPerDeg; }

// Brings v into 0..period by whole periods (a value already on period stays there). Values so
// large that subtracting a period would not change them are reduced with fmod first.
float foldInto(float v, float period)
{
    if (!(std::fabs(v) < 1.0e6f)) v = std::fmod(v, period);
    while (v > period) v -= period;
    while (v < 0) v += period;
    return v;
}

// ---- Magnetic model ---------------------------------------------------------------------------

constexpr int kMaxDegree = 12;
constexpr int kSize = kMaxDegree + 1;
constexpr double kSemiMajorKm = 6378.137;
constexpr double kSemiMinorKm = 6356.7523142;
constexpr double kMeanRadiusKm = 6371.2;
constexpr double kRadPerDegD = std::numbers::pi / 180.0;

// Coefficients times their Schmidt factors, so that they pair with Gauss-normalised functions.
double schmidtG[kSize][kSize], schmidtH[kSize][kSize];
double schmidtDg[kSize][kSize], schmidtDh[kSize][kSize];
// Recursion constant of P(n, m) on P(n - 2, m).
double recursionK[kSize][kSize];
double modelEpoch = 2005.0;
bool modelLoaded = false;

// Work space of one evaluation: Gauss-normalised functions of the colatitude and their
// derivatives with respect to it (entries with m > n stay 0).
double legendreP[kSize][kSize], legendreDp[kSize][kSize];

}  // namespace

// ---- Sunrise and sunset ---------------------------------------------------------------------

float yearFraction(uint8_t month, uint8_t day)
{
    static constexpr int daysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int dayOfYear = day;
    if (month >= 1 && month <= 12) dayOfYear += daysBeforeMonth[month - 1];
    return static_cast<float>(dayOfYear - 1) / 365.0f;
}

void computeSunEvent(uint8_t rising)
{
    const int year = rtcDateTime.year, month = rtcDateTime.month, day = rtcDateTime.day;

    // Day of the year (the year is never negative, so integer division is the floor).
    const int n1 = 275 * month / 9;
    const int n2 = (month + 9) / 12;
    const int n3 = 1 + (year - 4 * (year / 4) + 2) / 3;
    const float dayOfYear = static_cast<float>(n1 - n2 * n3 + day - 30);

    const float lngHour = gpsLongitude / 15.0f;
    const float t = dayOfYear + ((rising ? 6.0f : 18.0f) - lngHour) / 24.0f;
    const float meanAnomaly = 0.9856f * t - 3.289f;
    const float trueLongitude =
        foldInto(meanAnomaly + 1.916f * sinD(meanAnomaly) + 0.020f * sinD(2.0f * meanAnomaly) + 282.634f, 360.0f);

    // Right ascension in the quadrant of the true longitude, in hours.
    float ra = foldInto(atanD(0.91764f * tanD(trueLongitude)), 360.0f);
    ra = (ra + (std::floor(trueLongitude / 90.0f) * 90.0f - std::floor(ra / 90.0f) * 90.0f)) / 15.0f;

    const float sinDec = 0.39782f * sinD(trueLongitude);
    const float cosDec = cosD(asinD(sinDec));
    const float latitude = gpsLatitude;
    const float cosH = (-0.01454f - sinDec * sinD(latitude)) / (cosDec * cosD(latitude));
    // No sunrise (polar night) or no sunset (polar day) on this day here.
    if (!(cosH >= -1.0f && cosH <= 1.0f)) {
        sunEventFound = false;
        return;
    }

    const float hourAngle = (rising ? 360.0f - acosD(cosH) : acosD(cosH)) / 15.0f;
    const float localMeanTime = hourAngle + ra - 0.06571f * t - 6.622f;
    const float ut = foldInto(localMeanTime - lngHour, 24.0f);
    if (!std::isfinite(ut)) {
        sunEventFound = false;
        return;
    }

    const int offset = settings.utcOffsetMinutes;
    const int a = std::abs(offset);
    const float offsetHours = static_cast<float>(a / 60) + static_cast<float>(a % 60) / 60.0f;
    sunEventHours = offset >= 0 ? ut + offsetHours : ut - offsetHours;
    sunEventFound = true;
}

// ---- Magnetic variation ---------------------------------------------------------------------

void loadMagneticModel()
{
    // Schmidt semi-normalisation: S(n, 0) = S(n - 1, 0) (2n - 1) / n and
    // S(n, m) = S(n, m - 1) sqrt((n - m + 1)(1 + [m = 1]) / (n + m)).
    double schmidt[kSize][kSize] = {};
    schmidt[0][0] = 1.0;
    for (int n = 1; n <= kMaxDegree; ++n) {
        schmidt[n][0] = schmidt[n - 1][0] * (2.0 * n - 1.0) / n;
        for (int m = 1; m <= n; ++m)
            schmidt[n][m] = schmidt[n][m - 1] * std::sqrt((n - m + 1.0) * (m == 1 ? 2.0 : 1.0) / (n + m));
    }
    for (int n = 0; n < kSize; ++n)
        for (int m = 0; m < kSize; ++m) {
            schmidtG[n][m] = schmidtH[n][m] = schmidtDg[n][m] = schmidtDh[n][m] = 0.0;
            recursionK[n][m] = n >= 2 && m <= n ? ((n - 1.0) * (n - 1.0) - m * m) / ((2.0 * n - 1.0) * (2.0 * n - 3.0))
                                                : 0.0;
        }
    for (const WmmCoefficient& c : wmmCoefficients) {
        if (c.n < 1 || c.n > kMaxDegree || c.m < 0 || c.m > c.n) continue;
        const double s = schmidt[c.n][c.m];
        schmidtG[c.n][c.m] = s * c.g;
        schmidtH[c.n][c.m] = s * c.h;
        schmidtDg[c.n][c.m] = s * c.dg;
        schmidtDh[c.n][c.m] = s * c.dh;
    }
    modelEpoch = wmmEpoch;
    modelLoaded = true;
}

MagneticField evaluateMagneticModel(double altitudeKm, double latitude, double longitude, double time)
{
    if (!modelLoaded) loadMagneticModel();
    const double dt = time - modelEpoch;

    // Geodetic latitude and height to geocentric radius and colatitude; ca and sa are the cosine
    // and sine of the angle between the two verticals.
    constexpr double a2 = kSemiMajorKm * kSemiMajorKm, b2 = kSemiMinorKm * kSemiMinorKm;
    constexpr double c2 = a2 - b2, a4 = a2 * a2, b4 = b2 * b2, c4 = a4 - b4;
    const double slat = std::sin(latitude * kRadPerDegD), clat = std::cos(latitude * kRadPerDegD);
    const double q = std::sqrt(a2 - c2 * slat * slat);
    const double q1 = altitudeKm * q;
    const double q2 = ((q1 + a2) / (q1 + b2)) * ((q1 + a2) / (q1 + b2));
    const double ct = slat / std::sqrt(q2 * clat * clat + slat * slat);
    double st = std::sqrt(std::fmax(0.0, 1.0 - ct * ct));
    const double r = std::sqrt(altitudeKm * altitudeKm + 2.0 * q1 + (a4 - c4 * slat * slat) / (q * q));
    const double ca = (altitudeKm + q) / r;
    const double sa = c2 * clat * slat / (r * q);
    if (st < 1e-12) st = 1e-12;  // at a geographic pole the east component has no meaning anyway

    // Gauss-normalised associated Legendre functions and their colatitude derivatives.
    legendreP[0][0] = 1.0;
    legendreDp[0][0] = 0.0;
    for (int n = 1; n <= kMaxDegree; ++n) {
        for (int m = 0; m <= n; ++m) {
            if (m == n) {
                legendreP[n][n] = st * legendreP[n - 1][n - 1];
                legendreDp[n][n] = st * legendreDp[n - 1][n - 1] + ct * legendreP[n - 1][n - 1];
            } else {
                const double p2 = n >= 2 ? legendreP[n - 2][m] : 0.0;
                const double dp2 = n >= 2 ? legendreDp[n - 2][m] : 0.0;
                legendreP[n][m] = ct * legendreP[n - 1][m] - recursionK[n][m] * p2;
                legendreDp[n][m] = ct * legendreDp[n - 1][m] - st * legendreP[n - 1][m] - recursionK[n][m] * dp2;
            }
        }
    }

    // Field in the geocentric frame: north, east, down.
    const double lon = longitude * kRadPerDegD;
    double cosMLon[kSize], sinMLon[kSize];
    for (int m = 0; m <= kMaxDegree; ++m) {
        cosMLon[m] = std::cos(m * lon);
        sinMLon[m] = std::sin(m * lon);
    }
    const double ratio = kMeanRadiusKm / r;
    double ratioPower = ratio * ratio;  // (a / r)^(n + 2), one more factor per degree
    double northGc = 0.0, east = 0.0, downGc = 0.0;
    for (int n = 1; n <= kMaxDegree; ++n) {
        ratioPower *= ratio;
        for (int m = 0; m <= n; ++m) {
            const double g = schmidtG[n][m] + dt * schmidtDg[n][m];
            const double h = schmidtH[n][m] + dt * schmidtDh[n][m];
            const double cosPart = g * cosMLon[m] + h * sinMLon[m];
            northGc += ratioPower * cosPart * legendreDp[n][m];
            downGc -= ratioPower * (n + 1) * cosPart * legendreP[n][m];
            east += ratioPower * m * (g * sinMLon[m] - h * cosMLon[m]) * legendreP[n][m] / st;
        }
    }

    MagneticField f;
    f.north = northGc * ca + downGc * sa;
    f.east = east;
    f.down = downGc * ca - northGc * sa;
    f.horizontalIntensity = std::hypot(f.north, f.east);
    f.totalIntensity = std::hypot(f.horizontalIntensity, f.down);
    f.declination = std::atan2(f.east, f.north) / kRadPerDegD;
    f.inclination = std::atan2(f.down, f.horizontalIntensity) / kRadPerDegD;
    return f;
}

float magneticVariationAt(double altitudeKm, double latitude, double longitude, double time)
{
    const MagneticField f = evaluateMagneticModel(altitudeKm, latitude, longitude, time);
    if (f.horizontalIntensity < 100.0) return 0.0f;         // near a magnetic pole
    if (90.0 - std::fabs(latitude) <= 0.001) return 0.0f;   // at a geographic pole
    if (!std::isfinite(f.declination)) return 0.0f;
    return static_cast<float>(f.declination);
}

void computeMagneticVariation()
{
    loadMagneticModel();
    const int altitudeKm = gpsAltitudeMetres / 1000;
    const double time = rtcDateTime.year + static_cast<double>(yearFraction(rtcDateTime.month, rtcDateTime.day));
    autoVariation = magneticVariationAt(altitudeKm, gpsLatitude, gpsLongitude, time);
}

// The GPS home page: status, date, time, position, altitude, speed, course, satellites, DOP, sun
// times and variation on the left; sky view and signal-quality bars on the right.
#include "gps/gps_page.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "display/framebuffer.h"
#include "display/text.h"
#include "gps/gps.h"
#include "gps/nmea.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/sun.h"

#define DEGREE "\xB0"

namespace {

constexpr int kValueX = 157;
constexpr int kShownSatellites = 12;  // table entries the sky view and the bars look at

const char* const kMonthNames[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUNE",
                                     "JULY", "AUG", "SEPT", "OCT ", "NOV", "DEC"};

const char* speedUnitText()
{
    static const char* const units[6] = {"mph", "mph", "kts", "kts", "km/h", "km/h"};
    return settings.fuelUnit < 6 ? units[settings.fuelUnit] : "";
}

void drawRow(int y, const char* label, const char* value)
{
    drawText(0, y, label, 8, AlignLeft, COLOUR_SILVER);
    drawText(kValueX, y, value, 8, AlignLeft, COLOUR_WHITE);
}

// A satellite is shown lime when its PRN is one of the twelve used in the fix (0 marks an empty
// entry of that list, never a satellite used).
bool usedInFix(uint8_t prn)
{
    if (prn == 0) return false;
    for (int i = 0; i < 12; ++i)
        if (gpsUsedPrn[i] == prn) return true;
    return false;
}

int satellitesToShow() { return gpsSatellitesInView < kShownSatellites ? gpsSatellitesInView : kShownSatellites; }

// Position text: hemisphere letter, then degrees of digits width, in the chosen format.
void formatPosition(float value, char positive, char negative, int degreeDigits, char* text, size_t size)
{
    const char hemisphere = value >= 0 ? positive : negative;
    const float a = std::fabs(value);
    if (!(a < 1.0e6f)) {  // no position worth writing
        std::snprintf(text, size, "%c---", hemisphere);
        return;
    }
    int d = static_cast<int>(a);
    float m = (a - static_cast<float>(d)) * 60.0f;
    switch (settings.gpsPositionFormat) {
    case 0:
        // Minutes that would print as 60.000 carry into the degrees.
        if (m >= 59.9995f) m = 0.0f, ++d;
        std::snprintf(text, size, "%c%0*d" DEGREE "%06.3f", hemisphere, degreeDigits, d, m);
        break;
    case 1: {
        int wholeMinutes = static_cast<int>(m);
        float seconds = (m - static_cast<float>(wholeMinutes)) * 60.0f;
        // Seconds that would print as 60.00 carry into the minutes, and those into the degrees.
        if (seconds >= 59.995f) seconds = 0.0f, ++wholeMinutes;
        if (wholeMinutes >= 60) wholeMinutes = 0, ++d;
        std::snprintf(text, size, "%c%0*d" DEGREE "%02d'%05.2f", hemisphere, degreeDigits, d, wholeMinutes, seconds);
        break;
    }
    default:
        std::snprintf(text, size, "%c%0*.5f" DEGREE, hemisphere, degreeDigits + 6, static_cast<double>(a));
        break;
    }
}

void formatStatus(char* text, size_t size)
{
    const char* status = gpsFixType == 3 ? "3D FIX" : gpsFixType == 2 ? "2D FIX" : "ACQUIRING";
    std::snprintf(text, size, "%s", status);
}

void formatDate(char* text, size_t size)
{
    const int month = rtcDateTime.month;
    const char* name = month >= 1 && month <= 12 ? kMonthNames[month - 1] : "";
    std::snprintf(text, size, "%d %s %d", rtcDateTime.day, name, rtcDateTime.year);
}

void formatAltitude(char* text, size_t size)
{
    const bool metres = settings.gpsAltitudeUnit == 1;
    const char* unit = metres ? "m" : "ft";
    if (gpsFixType == 3)
        std::snprintf(text, size, "%d %s", static_cast<int>(metres ? gpsAltitudeMetres : gpsAltitudeFeet), unit);
    else
        std::snprintf(text, size, "----- %s", unit);
}

void formatSpeed(char* text, size_t size)
{
    if (gpsFixValid == 1)
        std::snprintf(text, size, "%d %s", gpsGroundSpeed, speedUnitText());
    else
        std::snprintf(text, size, "--- %s", speedUnitText());
}

void formatSunTimes(char* text, size_t size)
{
    if (gpsFixValid != 1) {
        std::snprintf(text, size, "--:--/--:--");
        return;
    }
    char sunrise[16], sunset[16];
    computeSunEvent(1);
    if (sunEventFound)
        formatSunHours(sunEventHours, sunrise, sizeof sunrise);
    else
        std::snprintf(sunrise, sizeof sunrise, "--:--");
    computeSunEvent(0);
    if (sunEventFound)
        formatSunHours(sunEventHours, sunset, sizeof sunset);
    else
        std::snprintf(sunset, sizeof sunset, "--:--");
    std::snprintf(text, size, "%s/%s", sunrise, sunset);
}

// Label and value of the variation row.
const char* formatVariationRow(char* text, size_t size)
{
    if (gpsFixValid == 1 && settings.gpsVariationMode == 0) {
        formatAutoVariation(autoVariation, text, size);
        return "MAG VAR (AUTO):";
    }
    const int manual = settings.gpsManualVariation;
    if (manual >= 0)
        std::snprintf(text, size, "%d" DEGREE " E", manual);
    else
        std::snprintf(text, size, "%d" DEGREE " W", -manual);
    return "MAG VAR (MAN):";
}

}  // namespace

void formatLatitude(float value, char* text, size_t size) { formatPosition(value, 'N', 'S', 2, text, size); }

void formatLongitude(float value, char* text, size_t size) { formatPosition(value, 'E', 'W', 3, text, size); }

void formatCourse(char* text, size_t size)
{
    const bool trueCourse = settings.gpsCogReference == 1;
    const char reference = trueCourse ? 'T' : 'M';
    if (gpsFixValid == 1)
        std::snprintf(text, size, "%d" DEGREE "%c", trueCourse ? gpsTrack : gpsMagneticTrack, reference);
    else
        std::snprintf(text, size, "---" DEGREE "%c", reference);
}

void formatSunHours(float hours, char* text, size_t size)
{
    if (!(std::fabs(hours) < 1.0e6f)) {
        std::snprintf(text, size, "--:--");
        return;
    }
    const float whole = std::trunc(hours);
    int h = static_cast<int>(whole);
    int minutes;
    if (hours >= 0) {
        if (hours >= 24) h -= 24;
        minutes = static_cast<int>((hours - whole) * 60.0f);
    } else {
        h += 23;
        minutes = static_cast<int>((hours - whole + 1.0f) * 60.0f);
    }
    if (minutes > 59) minutes = 59;  // a hair below a whole hour, rounded up by the float sum
    std::snprintf(text, size, "%02d:%02d", h, minutes);
}

void formatAutoVariation(float variation, char* text, size_t size)
{
    const double magnitude = std::isfinite(variation) ? std::fabs(static_cast<double>(variation)) : 0.0;
    // Whole degrees and the minutes left over, rounded to the minute (60 minutes carry).
    const long totalMinutes = std::lround(magnitude * 60.0);
    std::snprintf(text, size, "%ld" DEGREE "%ld%c", totalMinutes / 60, totalMinutes % 60,
                  !(variation < 0) ? 'E' : 'W');
}

void drawGpsInfoPanel()
{
    char text[48];
    drawText(120, 0, "GPS INFORMATION", 10, AlignCentre, COLOUR_SILVER);
    drawHLine(0, 20, 10, COLOUR_SILVER);
    drawHLine(220, 240, 10, COLOUR_SILVER);

    formatStatus(text, sizeof text);
    drawRow(25, "STATUS:", text);
    formatDate(text, sizeof text);
    drawRow(45, "ZULU DATE:", text);
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", rtcDateTime.hour, rtcDateTime.minute, rtcDateTime.second);
    drawRow(65, "ZULU TIME:", text);
    formatLatitude(gpsLatitude, text, sizeof text);
    drawRow(85, "LATITUDE:", text);
    formatLongitude(gpsLongitude, text, sizeof text);
    drawRow(105, "LONGITUDE:", text);
    formatAltitude(text, sizeof text);
    drawRow(125, "GPS ALTITUDE:", text);
    formatSpeed(text, sizeof text);
    drawRow(145, "SOG:", text);
    formatCourse(text, sizeof text);
    drawRow(165, "COG:", text);
    std::snprintf(text, sizeof text, "%d/%d", gpsSatellitesUsed, gpsSatellitesInView);
    drawRow(185, "SV USED/TRACKED:", text);
    std::snprintf(text, sizeof text, "%.1f/%.1f/%.1f", static_cast<double>(gpsPdop), static_cast<double>(gpsHdop),
                  static_cast<double>(gpsVdop));
    drawRow(205, "PDOP/HDOP/VDOP:", text);
    formatSunTimes(text, sizeof text);
    drawRow(225, "SUNRISE/SUNSET:", text);
    const char* label = formatVariationRow(text, sizeof text);
    drawRow(245, label, text);
}

void drawSkyView()
{
    drawText(375, 0, "SKYVIEW", 10, AlignCentre, COLOUR_SILVER);
    drawHLine(270, 320, 10, COLOUR_SILVER);
    drawHLine(430, 479, 10, COLOUR_SILVER);

    // North arrow.
    drawVLine(40, 60, 286, COLOUR_SILVER);
    static constexpr int arrowhead[][2] = {{285, 41}, {287, 41}, {284, 42}, {285, 42}, {287, 42}, {288, 42},
                                           {283, 43}, {284, 43}, {285, 43}, {287, 43}, {288, 43}, {289, 43}};
    for (const auto& p : arrowhead) putPixel(p[0], p[1], COLOUR_SILVER);
    drawText(282, 20, "N", 8, AlignLeft, COLOUR_SILVER);

    // Centre cross, horizon and the 45-degree elevation circle.
    drawHLine(371, 379, 86, COLOUR_SILVER);
    drawVLine(82, 90, 375, COLOUR_SILVER);
    drawCircle(375, 86, 60, COLOUR_SILVER);
    drawCircle(375, 86, 30, COLOUR_SILVER);

    char text[8];
    for (int i = 0; i < satellitesToShow(); ++i) {
        const SatelliteInfo& s = gpsSatellites[i];
        if (s.prn == 0) continue;
        // North up: azimuth 0 points to the top of the screen.
        const int angle = s.azimuth >= 90 ? s.azimuth - 90 : s.azimuth + 270;
        const float r = static_cast<float>(90 - s.elevation) * 2.0f / 3.0f;
        const int x = static_cast<int>(cosDeg(angle) * r + 376.0f);
        const int y = static_cast<int>(sinDeg(angle) * r + 79.0f);
        if (!(x > 305 && x < 445 && y > 16 && y < 156)) continue;
        std::snprintf(text, sizeof text, "%d", s.prn);
        drawText(x, y, text, 8, AlignCentre, usedInFix(s.prn) ? COLOUR_LIME : COLOUR_RED);
    }
}

void drawSignalBars()
{
    drawText(375, 150, "SIGNAL QUALITY", 10, AlignCentre, COLOUR_SILVER);
    drawHLine(270, 285, 160, COLOUR_SILVER);
    drawHLine(465, 479, 160, COLOUR_SILVER);
    drawHLine(270, 479, 243, COLOUR_SILVER);

    int full = 0;
    for (int i = 0; i < kShownSatellites; ++i)
        if (gpsSatellites[i].snr > full) full = gpsSatellites[i].snr;
    full += 5;

    char text[8];
    for (int i = 0; i < satellitesToShow(); ++i) {
        const SatelliteInfo& s = gpsSatellites[i];
        const int x = 274 + 17 * i;
        const int h = s.snr * 78 / full;
        fillRect(x, 243 - h, x + 11, 243, usedInFix(s.prn) ? COLOUR_LIME : COLOUR_RED);
        std::snprintf(text, sizeof text, "%d", s.prn);
        drawText(x + 4, i % 2 == 0 ? 246 : 259, text, 8, AlignCentre, COLOUR_WHITE);
    }
}

void drawGpsPage()
{
    clearScreen();
    drawGpsInfoPanel();
    drawSkyView();
    drawSignalBars();
    // The reader thread sets the flag; read it as it writes it.
    if (loadSharedFlag(gpsDataReceived) == 0) {
        drawThickLine(50, 50, 429, 221, COLOUR_RED);
        drawThickLine(50, 221, 429, 50, COLOUR_RED);
    }
}

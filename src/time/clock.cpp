// Clock refresh, calendar conversions and the host tick with its slow-step divider.
#include "time/clock.h"

#include <algorithm>

#include "device.h"
#include "engine/alarm_messages.h"
#include "engine/fuel.h"
#include "gps/gps.h"
#include "gps/nmea.h"
#include "settings/settings.h"
#include "time/data_recording.h"
#include "time/flight_log.h"
#include "time/timers.h"
#include "ui/home.h"

DateTime rtcDateTime;
DateTime localDateTime;
uint32_t utcSeconds = 0;
uint32_t localSeconds = 0;
uint32_t hostUtcSeconds = 0;
int64_t clockOffsetSeconds = 0;

uint8_t blinkTickCount = 0;
uint8_t blinkPhase = 0;
uint8_t slowStepTickCount = 0;

namespace {

constexpr uint16_t daysBeforeMonth[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

}  // namespace

uint32_t dateTimeToSeconds(const DateTime& dt)
{
    const uint32_t year = dt.year;
    const unsigned month = (dt.month >= 1 && dt.month <= 12) ? dt.month : 1;
    uint32_t days = (year - 1970) * 365 + (year - 1969) / 4 + daysBeforeMonth[month] + (dt.day - 1u);
    if (month > 2 && year % 4 == 0) days += 1;
    return dt.second + 60u * dt.minute + 3600u * (dt.hour + 24u * days);
}

DateTime secondsToDateTime(uint32_t s)
{
    DateTime dt;
    dt.second = static_cast<uint8_t>(s % 60);
    dt.minute = static_cast<uint8_t>((s / 60) % 60);
    dt.hour = static_cast<uint8_t>((s / 3600) % 24);
    const uint32_t d = s / 86400 + 731;  // days since 1968-01-01
    uint32_t q = d / 1461;
    const uint32_t r = d % 1461;
    if (r >= 60) q += 1;
    const uint32_t years = (d - q) / 365;
    uint32_t yd = (d - q) % 365;
    if (r >= 60 && r <= 365) yd += 1;
    dt.year = static_cast<uint16_t>(1968 + years);
    const unsigned leap = dt.year % 4 == 0 ? 1 : 0;
    unsigned month = 1;
    for (unsigned m = 12; m >= 1; --m) {
        const unsigned start = daysBeforeMonth[m] + (m > 2 ? leap : 0);
        if (start <= yd) {
            month = m;
            dt.day = static_cast<uint8_t>(yd - start + 1);
            break;
        }
    }
    dt.month = static_cast<uint8_t>(month);
    return dt;
}

bool parseUtcText(std::string_view text, uint32_t& seconds)
{
    static constexpr char kShape[] = "0000-00-00T00:00:00Z";
    if (text.size() != sizeof kShape - 1) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == '0' ? !digit : text[i] != kShape[i]) return false;
    }
    auto number = [text](size_t at, size_t count) {
        unsigned value = 0;
        for (size_t i = at; i < at + count; ++i) value = value * 10 + static_cast<unsigned>(text[i] - '0');
        return value;
    };
    const unsigned year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const unsigned hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    if (year < 1970 || year > 2099 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 ||
        second > 59)
        return false;
    DateTime dt;
    dt.year = static_cast<uint16_t>(year);
    dt.month = static_cast<uint8_t>(month);
    dt.day = static_cast<uint8_t>(day);
    dt.hour = static_cast<uint8_t>(hour);
    dt.minute = static_cast<uint8_t>(minute);
    dt.second = static_cast<uint8_t>(second);
    const uint32_t s = dateTimeToSeconds(dt);
    // A day its month lacks (31 February) comes back as another month's.
    if (secondsToDateTime(s).month != month) return false;
    seconds = s;
    return true;
}

void refreshClock()
{
    // A set clock before 1970 or past 2106 is held at the ends of the 32-bit seconds.
    const int64_t utc = std::clamp<int64_t>(int64_t{hostUtcSeconds} + clockOffsetSeconds, 0, UINT32_MAX);
    rtcDateTime = secondsToDateTime(static_cast<uint32_t>(utc));
    utcSeconds = dateTimeToSeconds(rtcDateTime);
    // Local time is UTC shifted by the configured offset (negative west of Greenwich); the sum
    // wraps like the instrument's 32-bit arithmetic.
    localSeconds = utcSeconds + static_cast<uint32_t>(60 * static_cast<int32_t>(settings.utcOffsetMinutes));
    localDateTime = secondsToDateTime(localSeconds);
}

void setClockTo(uint32_t utc)
{
    clockOffsetSeconds = int64_t{utc} - int64_t{hostUtcSeconds};
    refreshClock();
}

void hostTick()
{
    if (blinkTickCount++ > 9) {
        blinkTickCount = 0;
        blinkPhase ^= 1;
    }
    if (++slowStepTickCount < 10) return;
    slowStepTickCount = 0;
    slowStep();
}

void slowStep()
{
    alarmSlowStep();
    // The pilot's menu or pop-up does not time out while the alarm pop-up covers it.
    if (overlayTimeout != 0 && alarmAnnounced == 0) --overlayTimeout;
    if (homePage == 0) scanStep();
    stopwatchStep();
    oatCoCycle = oatCoCycle > 0 ? static_cast<uint8_t>(oatCoCycle - 1) : 6;
    gpsSlowStep();
    // Held at its top rather than wrapping, should a fix last without passes to reset it.
    if (gpsFixValid == 1 && variationStepCount < UINT16_MAX) ++variationStepCount;
    engineHoursStep();
    fuelSlowStep();
    flightSlowStep();
    recordingSlowStep();
}

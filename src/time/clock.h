// The instrument's clock (UTC and local), calendar conversions and the 100 ms host tick.
#pragma once
#include <cstdint>
#include <string_view>

struct DateTime {
    uint8_t second = 0;
    uint8_t minute = 0;
    uint8_t hour = 0;
    uint8_t day = 1;
    uint8_t month = 1;
    uint16_t year = 1970;
};

extern DateTime rtcDateTime;    // UTC
extern DateTime localDateTime;  // UTC plus the configured offset
extern uint32_t utcSeconds;
extern uint32_t localSeconds;

extern uint8_t blinkTickCount;
extern uint8_t blinkPhase;  // flashing phase of alarm displays, flips every 11 ticks
extern uint8_t slowStepTickCount;

// Seconds since 1970-01-01 00:00:00; every year divisible by 4 is a leap year (1970..2099).
uint32_t dateTimeToSeconds(const DateTime& dt);
DateTime secondsToDateTime(uint32_t s);
// "YYYY-MM-DDTHH:MM:SSZ" (1970..2099, a day its month has) as seconds since 1970, the form the
// data recording writes and scripts set the clock with; false for any other text.
bool parseUtcText(std::string_view text, uint32_t& seconds);

// The host's current UTC time, handed in by the host (the device never reads a clock itself).
extern uint32_t hostUtcSeconds;

// How far the instrument's clock is set from the host's clock, in seconds; 0 at program start.
// SET UTC DATE & TIME and the GPS time (while the clock follows GPS) set it; the non-volatile
// memory keeps it.
extern int64_t clockOffsetSeconds;

// Once per pass: the host's UTC time plus clockOffsetSeconds becomes rtcDateTime, utcSeconds,
// localSeconds and localDateTime.
void refreshClock();

// Sets the clock to utc (seconds since 1970) from now on: the offset from the host's clock is kept
// and the clock runs on with the host's clock.
void setClockTo(uint32_t utc);

// Every 100 ms: blink phase and the once-a-second slow step.
void hostTick();
void slowStep();

// TIMERS SETUP with its Hobbs code, Hobbs time, maintenance and date screens, and GPS SETUP, as
// key sequences from a fresh screen; and the clock following the time of a recorded GPS log.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "device.h"
#include "gps/gps_setup.h"
#include "gps/nmea.h"
#include "nmea_test_support.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/timers.h"
#include "time/timers_setup.h"
#include "ui/digit_editor.h"
#include "ui/screen.h"

namespace {

// Keys as letters: 1..5 soft keys, p knob press, + and - knob turns; each goes to the screen
// current at the time.
void press(const std::string& keys)
{
    for (const char k : keys) {
        SCOPED_TRACE(std::string("key ") + k);
        pendingKey = static_cast<uint8_t>(k == 'p' ? KeyKnobPress : k == '+' ? KeyKnobPlus : k == '-' ? KeyKnobMinus : k - '0');
        currentScreen();
        ASSERT_EQ(pendingKey, KeyNone);
    }
}

// The keys that enter a number on a digit entry screen whose digits are all 0.
std::string digits(const std::string& number)
{
    std::string keys;
    for (const char c : number) keys += std::string(static_cast<size_t>(c - '0'), '+') + "p";
    return keys;
}

struct Case {
    const char* what;
    std::function<void()> prepare;
    std::string keys;
    std::function<void()> check;
};

void run(ScreenFunction screen, const Case& c)
{
    resetDevice();
    SCOPED_TRACE(c.what);
    currentScreen = screen;
    if (c.prepare) c.prepare();
    press(c.keys);
    c.check();
}

void expectTimersSetupAt(uint8_t row)
{
    EXPECT_EQ(currentScreen, timersSetupScreen);
    EXPECT_EQ(cursorLine, row);
    EXPECT_EQ(editMode, 0);
}

// The date and time on the SET UTC DATE & TIME screen, year first.
std::vector<int> entered()
{
    const DateEntry& d = dateEntry;
    return {d.year, d.month, d.day, d.hour, d.minute, d.second};
}

constexpr uint32_t k2026March1Noon = 1772366400;  // 2026-03-01 12:00:00 UTC

TEST(TimersSetupCases, HobbsTimeAndCode)
{
    const Case cases[] = {
        {"no code: SET HOBBS TIME opens the editor with hours and tenths",
         [] { hobbsHours = 12, hobbsHundredths = 57; }, "+p", [] {
             EXPECT_EQ(currentScreen, hobbsTimeScreen);
             const uint8_t expected[5] = {0, 0, 1, 2, 5};
             for (int i = 0; i < 5; ++i) EXPECT_EQ(editDigits[i], expected[i]) << i;
             EXPECT_EQ(cursorLine, 0);
         }},
        {"the Hobbs time 0123.4 restarts the count to the next hundredth", [] { hobbsStepCount = 20; },
         "+p" + digits("01234"), [] {
             EXPECT_EQ(hobbsHours, 123);
             EXPECT_EQ(hobbsHundredths, 40);
             EXPECT_EQ(hobbsStepCount, 0);
             expectTimersSetupAt(TIMERS_ROW_HOBBS_TIME);
         }},
        {"a meter held at 10000 hours shows 9999.9", [] { hobbsHours = 10000, hobbsHundredths = 12; }, "+p",
         [] { EXPECT_EQ(editDigitsValue(5), 99999); }},
        {"with a code, entering it opens the Hobbs time", [] { settings.hobbsCode = 1234; },
         "+p" + digits("1234"), [] { EXPECT_EQ(currentScreen, hobbsTimeScreen); }},
        {"the master code does not open the Hobbs time", [] { settings.hobbsCode = 1234; },
         "+p" + digits("7302"), [] {
             EXPECT_EQ(currentScreen, codeMessageScreen);
             EXPECT_EQ(newHobbsCode, 0);
             press("+");
             expectTimersSetupAt(TIMERS_ROW_HOBBS_CODE);
         }},
        {"CHANGE HOBBS CODE accepts the master code", [] { settings.hobbsCode = 1234; },
         "++p" + digits("7302") + digits("4321") + digits("4321"), [] {
             EXPECT_EQ(currentScreen, codeMessageScreen);
             EXPECT_EQ(newHobbsCode, 1);
             EXPECT_EQ(+settings.hobbsCode, 4321);
         }},
        {"a different confirmation keeps the old code", [] { settings.hobbsCode = 1234; },
         "++p" + digits("1234") + digits("1111") + digits("2222"), [] {
             EXPECT_EQ(currentScreen, codeMessageScreen);
             EXPECT_EQ(newHobbsCode, 0);
             EXPECT_EQ(+settings.hobbsCode, 1234);
         }},
        {"a wrong current code changes nothing", [] { settings.hobbsCode = 1234; }, "++p" + digits("1235"), [] {
             EXPECT_EQ(currentScreen, codeMessageScreen);
             EXPECT_EQ(+settings.hobbsCode, 1234);
         }},
        {"the new code 0000 removes the code", [] { settings.hobbsCode = 1234; },
         "++p" + digits("1234") + digits("0000") + digits("0000") + "6-p", [] {
             EXPECT_EQ(+settings.hobbsCode, 0);
             EXPECT_EQ(currentScreen, hobbsTimeScreen);
         }},
        {"BACK from a code screen returns to its row", [] { settings.hobbsCode = 1234; }, "++p" + digits("1234") + "2",
         [] { expectTimersSetupAt(TIMERS_ROW_HOBBS_CODE); }},
        {"BACK from the Hobbs code returns to SET HOBBS TIME", [] { settings.hobbsCode = 1; }, "+p++2",
         [] { expectTimersSetupAt(TIMERS_ROW_HOBBS_TIME); }},
        {"the knob turns a digit round both ways", nullptr, "+p-p+", [] {
             EXPECT_EQ(editDigits[0], 9);
             EXPECT_EQ(editDigits[1], 1);
         }},
        {"EXIT from a digit screen goes home", nullptr, "+p1", [] { EXPECT_EQ(currentScreen, homeScreen); }},
    };
    for (const Case& c : cases) run(timersSetupScreen, c);
}

TEST(TimersSetupCases, ValuesAndRows)
{
    const Case cases[] = {
        {"minimum RPM at 99000 with X100: one turn up gives 100", [] { settings.hobbsMinRpm = 99000; }, "3p+",
         [] { EXPECT_EQ(+settings.hobbsMinRpm, 100); }},
        {"minimum RPM at 100 with X10: one turn down gives 99000", [] { settings.hobbsMinRpm = 100; }, "p-",
         [] { EXPECT_EQ(+settings.hobbsMinRpm, 99000); }},
        {"minimum RPM at 98900 with X100: one turn up gives 99000", [] { settings.hobbsMinRpm = 98900; }, "3p+",
         [] { EXPECT_EQ(+settings.hobbsMinRpm, 99000); }},
        {"minimum RPM at 110 with X10: one turn down gives 100", [] { settings.hobbsMinRpm = 110; }, "p-",
         [] { EXPECT_EQ(+settings.hobbsMinRpm, 100); }},
        {"UTC offset at 780 stays there", [] { settings.utcOffsetMinutes = 780, cursorLine = 4; }, "p+",
         [] { EXPECT_EQ(+settings.utcOffsetMinutes, 780); }},
        {"UTC offset at 750 goes up to 780", [] { settings.utcOffsetMinutes = 750, cursorLine = 4; }, "p+",
         [] { EXPECT_EQ(+settings.utcOffsetMinutes, 780); }},
        {"UTC offset at -780 stays there", [] { settings.utcOffsetMinutes = -780, cursorLine = 4; }, "p-",
         [] { EXPECT_EQ(+settings.utcOffsetMinutes, -780); }},
        {"the GPS clock source removes row 6", [] { cursorLine = 5; }, "p+p+", [] {
             EXPECT_EQ(+settings.rtcSourceGps, 1);
             EXPECT_EQ(cursorLine, 0);
             press("-");
             EXPECT_EQ(cursorLine, 5);
         }},
        {"the internal clock offers row 6", nullptr, "-", [] { EXPECT_EQ(cursorLine, 6); }},
        {"the maintenance timer set to 250 hours", [] { maintMinutes = 30, maintStepCount = 9, cursorLine = 3; },
         "p" + digits("250"), [] {
             EXPECT_EQ(maintHours, 250);
             EXPECT_EQ(maintMinutes, 0);
             EXPECT_EQ(maintStepCount, 0);
             expectTimersSetupAt(TIMERS_ROW_MAINTENANCE);
         }},
        {"the maintenance editor starts from the hours left", [] { maintHours = 42, cursorLine = 3; }, "p",
         [] { EXPECT_EQ(editDigitsValue(3), 42); }},
        {"BACK opens the MAIN MENU on TIMERS SETUP", nullptr, "2", [] {
             EXPECT_EQ(currentScreen, mainMenuScreen);
             EXPECT_EQ(cursorLine, 3);
         }},
    };
    for (const Case& c : cases) run(timersSetupScreen, c);
}

TEST(TimersSetupCases, UtcDateAndTime)
{
    auto atNoon = [] {
        hostUtcSeconds = k2026March1Noon;
        refreshClock();
        cursorLine = TIMERS_ROW_UTC_DATE_TIME;
    };
    const Case cases[] = {
        {"the editor starts from the clock", atNoon, "p", [] {
             EXPECT_EQ(currentScreen, utcDateTimeScreen);
             EXPECT_EQ(dateEntry.year, 2026);
             EXPECT_EQ(dateEntry.month, 3);
             EXPECT_EQ(dateEntry.hour, 12);
         }},
        {"31 February is set as 3 March and the clock runs on", atNoon, "pp-p-pp+pp", [] {
             expectTimersSetupAt(TIMERS_ROW_UTC_DATE_TIME);
             hostUtcSeconds += 5;
             refreshClock();
             EXPECT_EQ(rtcDateTime.year, 2026);
             EXPECT_EQ(rtcDateTime.month, 3);
             EXPECT_EQ(rtcDateTime.day, 3);
             EXPECT_EQ(rtcDateTime.hour, 12);
             EXPECT_EQ(rtcDateTime.minute, 1);
             EXPECT_EQ(rtcDateTime.second, 5);
         }},
        {"BACK leaves the clock as it was", atNoon, "p+++2", [] {
             expectTimersSetupAt(TIMERS_ROW_UTC_DATE_TIME);
             EXPECT_EQ(clockOffsetSeconds, 0);
         }},
        {"the year steps by the multiplier and comes round past 2100", [] { stepMultiplier = 10; }, "", [] {
             currentScreen = utcDateTimeScreen;
             dateEntry = {2095, 1, 1, 0, 0, 0};
             cursorLine = 0;
             press("+");
             EXPECT_EQ(dateEntry.year, 2011);
             press("-");
             EXPECT_EQ(dateEntry.year, 2100);
         }},
        {"each field steps up onto its maximum",
         [] { currentScreen = utcDateTimeScreen, dateEntry = {2099, 11, 30, 22, 58, 58}, cursorLine = 0; },
         "+p+p+p+p+p+", [] { EXPECT_EQ(entered(), (std::vector<int>{2100, 12, 31, 23, 59, 59})); }},
        {"each field steps down onto its minimum",
         [] { currentScreen = utcDateTimeScreen, dateEntry = {2012, 2, 2, 1, 1, 1}, cursorLine = 0; },
         "-p-p-p-p-p-", [] { EXPECT_EQ(entered(), (std::vector<int>{2011, 1, 1, 0, 0, 0})); }},
        {"hours come round both ways", atNoon, "pppp", [] {
             dateEntry.hour = 23;
             press("+");
             EXPECT_EQ(dateEntry.hour, 0);
             press("-");
             EXPECT_EQ(dateEntry.hour, 23);
         }},
    };
    for (const Case& c : cases) run(timersSetupScreen, c);
}

TEST(GpsSetupCases, OfferedLines)
{
    auto gpsOn = [] { settings.gpsMode = 1; };
    const Case cases[] = {
        {"GPS OFF lists line 0 alone and the cursor stays", [] { settings.gpsMode = 0; }, "++-", [] { EXPECT_EQ(cursorLine, 0); }},
        {"switching the GPS on offers the other lines", [] { settings.gpsMode = 0; }, "p+p+", [] {
             EXPECT_EQ(+settings.gpsMode, 1);
             EXPECT_EQ(cursorLine, 1);
         }},
        {"magnetic courses with AUTO variation: six lines", gpsOn, "-", [] { EXPECT_EQ(cursorLine, 5); }},
        {"MANUAL variation: seven lines", [] { settings.gpsMode = 1, settings.gpsVariationMode = 1; }, "-",
         [] { EXPECT_EQ(cursorLine, 6); }},
        {"TRUE courses: five lines, a cursor left on line 5 goes to line 0",
         [] { settings.gpsMode = 1, settings.gpsCogReference = 1, cursorLine = 5; }, "+",
         [] { EXPECT_EQ(cursorLine, 0); }},
        {"TRUE courses: the cursor stays on a hidden line until turned, then steps back from it",
         [] { settings.gpsMode = 1, settings.gpsCogReference = 1, cursorLine = 5; }, "3", [] {
             EXPECT_EQ(cursorLine, 5);
             press("-");
             EXPECT_EQ(cursorLine, 4);
         }},
        {"the baud rate comes round both ways", [] { settings.gpsMode = 1, settings.gpsBaudRate = 9; }, "+p+", [] {
             EXPECT_EQ(+settings.gpsBaudRate, 0);
             press("-");
             EXPECT_EQ(+settings.gpsBaudRate, 9);
         }},
        {"the position format comes round", [] { settings.gpsMode = 1, settings.gpsPositionFormat = 2; }, "++p+",
         [] { EXPECT_EQ(+settings.gpsPositionFormat, 0); }},
        {"the manual variation stops at 180 and -180",
         [] { settings.gpsMode = 1, settings.gpsVariationMode = 1, settings.gpsManualVariation = 180; }, "-p+", [] {
             EXPECT_EQ(+settings.gpsManualVariation, 180);
             settings.gpsManualVariation = -180;
             press("-");
             EXPECT_EQ(+settings.gpsManualVariation, -180);
         }},
        {"BACK opens the MAIN MENU on GPS SETUP", nullptr, "2", [] {
             EXPECT_EQ(currentScreen, mainMenuScreen);
             EXPECT_EQ(cursorLine, 2);
         }},
    };
    for (const Case& c : cases) run(gpsSetupScreen, c);
}

// A 2010 log replayed in 2026, a line per pass, the host clock running a second per 20 lines: from
// the first RMC on, the clock shows the log's time on every pass and never goes back.
TEST(GpsClockSource, AnOldLogIsShownSteadily)
{
    resetDevice();
    devicePowerOn();
    for (int i = 0; i < 2; ++i) {
        devicePressKey(KeySoft1);
        devicePass();
    }
    settings.rtcSourceGps = 1;
    hostUtcSeconds = k2026March1Noon;
    std::ifstream log(std::string(CORVEX_SOURCE_DIR) + "/tests/data/nmea/bn-9015.log");
    ASSERT_TRUE(log);
    const uint32_t firstRmc = 1276362598;  // 2010-06-12 17:09:58, the log's first RMC
    const uint32_t lastRmc = firstRmc + 9;
    uint32_t shown = 0;
    int line = 0;
    for (std::string text; std::getline(log, text); ++line) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        feedNmea(text + "\r\n");
        if (line % 20 == 19) ++hostUtcSeconds;
        devicePass();
        if (shown == 0 && text.starts_with("$GPRMC")) shown = firstRmc;
        if (shown == 0) continue;
        SCOPED_TRACE(text);
        EXPECT_GE(utcSeconds, shown);
        EXPECT_LE(utcSeconds, lastRmc + 2);
        shown = utcSeconds;
    }
    ASSERT_GE(shown, lastRmc);
    // Without sentences the clock runs on from the last one with the host's clock.
    hostUtcSeconds += 3;
    devicePass();
    EXPECT_EQ(utcSeconds, shown + 3);
    EXPECT_EQ(rtcDateTime.year, 2010);
    EXPECT_EQ(rtcDateTime.month, 6);
}

}  // namespace

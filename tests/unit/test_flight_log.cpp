// The flight log: its menu, VIEW and ERASE screens as key sequences, the flight time, the store,
// automatic flight detection at its thresholds, and the CSV export read back.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/engine.h"
#include "gps/gps.h"
#include "golden_support.h"
#include "log_test_support.h"
#include "time/clock.h"
#include "time/flight_log.h"
#include "time/timers.h"
#include "ui/home.h"

namespace {

using namespace logtest;

class FlightLog : public CardTest {};

// Five flights on 1 to 3 March 2026 (start, flight time, Hobbs, maintenance, pilot).
void storeSomeFlights()
{
    appendFlightLog({1772355600, {1, 5}, 120, 40, 48, 30, 1});   // 01/03 09:00
    appendFlightLog({1772370000, {0, 45}, 121, 50, 47, 25, 2});  // 01/03 13:00
    appendFlightLog({1772445600, {2, 30}, 122, 25, 46, 40, 1});  // 02/03 10:00
    appendFlightLog({1772470800, {0, 12}, 124, 75, 44, 10, 7});  // 02/03 17:00
    appendFlightLog({1772528400, {3, 0}, 124, 95, 43, 58, 255}); // 03/03 09:00
}

TEST_F(FlightLog, KeySequences)
{
    struct Case {
        const char* name;
        ScreenFunction start;
        uint8_t cursor;
        void (*prepare)();
        const char* keys;
        ScreenFunction screen;
        uint8_t cursorAfter;
        int32_t (*result)();
        int32_t expected;
    };
    auto none = [] {};
    auto automatic = [] { settings.flightDetectAuto = 1; };
    auto pilot = [] { return int32_t{settings.pilotNumber}; };
    auto detect = [] { return int32_t{settings.flightDetectAuto}; };
    auto minRpm = [] { return static_cast<int32_t>(settings.flightDetectMinRpm); };
    auto minSpeed = [] { return int32_t{settings.flightDetectMinGroundSpeed}; };
    auto stored = [] { return int32_t{flightLogCount}; };
    auto viewPos = [] { return int32_t{flightLogViewPos}; };
    const Case kCases[] = {
        {"pilot 255 up wraps", flightLogMenuScreen, 3, [] { settings.pilotNumber = 255; }, "p+", flightLogMenuScreen, 3,
         pilot, 0},
        {"pilot 0 down wraps", flightLogMenuScreen, 3, none, "p-", flightLogMenuScreen, 3, pilot, 255},
        {"pilot 254 up gives 255", flightLogMenuScreen, 3, [] { settings.pilotNumber = 254; }, "p+",
         flightLogMenuScreen, 3, pilot, 255},
        {"pilot 1 down gives 0", flightLogMenuScreen, 3, [] { settings.pilotNumber = 1; }, "p-", flightLogMenuScreen,
         3, pilot, 0},
        {"automatic adds two rows", flightLogMenuScreen, 4, none, "p+p++", flightLogMenuScreen, 6, detect, 1},
        {"manual wraps after row 4", flightLogMenuScreen, 4, none, "+", flightLogMenuScreen, 0, detect, 0},
        {"speed 245 x10 up gives 10", flightLogMenuScreen, 6,
         [] { settings.flightDetectAuto = 1, settings.flightDetectMinGroundSpeed = 245; }, "3p+", flightLogMenuScreen,
         6, minSpeed, 10},
        {"speed 10 down gives 250", flightLogMenuScreen, 6,
         [] { settings.flightDetectAuto = 1, settings.flightDetectMinGroundSpeed = 10; }, "p-", flightLogMenuScreen, 6,
         minSpeed, 250},
        {"speed 249 up gives 250", flightLogMenuScreen, 6,
         [] { settings.flightDetectAuto = 1, settings.flightDetectMinGroundSpeed = 249; }, "p+", flightLogMenuScreen,
         6, minSpeed, 250},
        {"speed 11 down gives 10", flightLogMenuScreen, 6,
         [] { settings.flightDetectAuto = 1, settings.flightDetectMinGroundSpeed = 11; }, "p-", flightLogMenuScreen,
         6, minSpeed, 10},
        {"rpm steps by 10", flightLogMenuScreen, 5, automatic, "p+", flightLogMenuScreen, 5, minRpm, 1010},
        {"rpm x100 steps", flightLogMenuScreen, 5, automatic, "3p--", flightLogMenuScreen, 5, minRpm, 800},
        {"rpm above 99000 gives 100", flightLogMenuScreen, 5,
         [] { settings.flightDetectAuto = 1, settings.flightDetectMinRpm = 98950; }, "3p+", flightLogMenuScreen, 5,
         minRpm, 100},
        {"rpm below 100 gives 99000", flightLogMenuScreen, 5,
         [] { settings.flightDetectAuto = 1, settings.flightDetectMinRpm = 105; }, "p-", flightLogMenuScreen, 5,
         minRpm, 99000},
        {"rpm 98990 up gives 99000", flightLogMenuScreen, 5,
         [] { settings.flightDetectAuto = 1, settings.flightDetectMinRpm = 98990; }, "p+", flightLogMenuScreen, 5,
         minRpm, 99000},
        {"rpm 110 down gives 100", flightLogMenuScreen, 5,
         [] { settings.flightDetectAuto = 1, settings.flightDetectMinRpm = 110; }, "p-", flightLogMenuScreen, 5,
         minRpm, 100},
        {"back to the main menu tile", flightLogMenuScreen, 3, none, "2", mainMenuScreen, 0, stored, 5},
        {"export without a card", flightLogMenuScreen, 0, [] { sdCardPresent = 0; }, "p", sdCardMessageScreen, 0,
         stored, 5},
        {"which returns to the menu", flightLogMenuScreen, 0, [] { sdCardPresent = 0; }, "p1", flightLogMenuScreen, 0,
         stored, 5},
        {"view opens at the top", flightLogMenuScreen, 1, [] { flightLogViewPos = 9; }, "p", flightLogViewScreen, 1,
         viewPos, 0},
        {"view scrolls", flightLogViewScreen, 0, none, "+++-", flightLogViewScreen, 0, viewPos, 2},
        {"view stops at 0", flightLogViewScreen, 0, none, "-", flightLogViewScreen, 0, viewPos, 0},
        {"view stops at 199", flightLogViewScreen, 0, [] { flightLogViewPos = 199; }, "+", flightLogViewScreen, 0,
         viewPos, 199},
        {"view back", flightLogViewScreen, 0, none, "2", flightLogMenuScreen, 1, viewPos, 0},
        {"erase opens on NO", flightLogMenuScreen, 2, none, "p", eraseFlightLogScreen, 0, stored, 5},
        {"erase NO", eraseFlightLogScreen, 0, none, "p", flightLogMenuScreen, 2, stored, 5},
        {"erase YES shows DONE", eraseFlightLogScreen, 0, none, "+p", messageScreen, 2, stored, 0},
        {"DONE returns to the menu", eraseFlightLogScreen, 0, none, "-p3", flightLogMenuScreen, 2, stored, 0},
        {"erase ignores soft keys", eraseFlightLogScreen, 1, none, "12345", eraseFlightLogScreen, 1, stored, 5},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        eraseFlightLog();
        storeSomeFlights();
        loadDefaultSettings();
        settings.pilotNumber = 0;
        sdCardPresent = 1;
        flightLogViewPos = 0;
        stepMultiplier = 1;
        editMode = 0;
        c.prepare();
        open(c.start, c.cursor);
        press(c.keys);
        EXPECT_EQ(currentScreen, c.screen);
        EXPECT_EQ(cursorLine, c.cursorAfter);
        EXPECT_EQ(c.result(), c.expected);
    }
}

TEST_F(FlightLog, FlightTimeCountsWholeMinutesAndStopStoresTheFlight)
{
    hobbsHours = 812;
    settings.pilotNumber = 4;
    localSeconds = 1772355600;
    startFlight();
    for (int s = 0; s < 59; ++s) flightSlowStep();
    EXPECT_EQ(+currentFlight.flightTime.minutes, 0);
    for (int s = 59; s < 3600 + 150; ++s) flightSlowStep();
    EXPECT_EQ(+currentFlight.flightTime.hours, 1);
    EXPECT_EQ(+currentFlight.flightTime.minutes, 2);
    stopFlight();
    stopFlight();  // a second stop stores nothing more
    flightSlowStep();
    ASSERT_EQ(flightLogCount, 1);
    EXPECT_EQ(std::memcmp(newestFlight(0), &currentFlight, sizeof currentFlight), 0);
    EXPECT_EQ(+newestFlight(0)->hobbsHoursAtStart, 812);
    // Erasing clears the time on show.
    eraseFlightLog();
    EXPECT_EQ(+currentFlight.flightTime.hours, 0);
    // An instrument that is off counts nothing.
    startFlight();
    devicePhase = DevicePhase::Off;
    for (int s = 0; s < 120; ++s) flightSlowStep();
    EXPECT_EQ(flightSeconds, 0u);
}

TEST_F(FlightLog, AFullLogDropsItsOldestFlight)
{
    for (uint32_t i = 0; i < FLIGHT_LOG_CAPACITY + 3; ++i) {
        appendFlightLog({i, {0, 1}, 0, 0, 0, 0, 0});
        if (i < FLIGHT_LOG_CAPACITY) continue;
        // Each new flight moves every stored one a place along: newest first, none lost, none twice.
        std::vector<uint32_t> shown, expected;
        for (unsigned k = 0; k < FLIGHT_LOG_CAPACITY; ++k) {
            shown.push_back(+newestFlight(k)->startTime);  // by value: the record is packed
            expected.push_back(i - k);
        }
        EXPECT_EQ(shown, expected) << "after flight " << i;
    }
    EXPECT_EQ(flightLogCount, FLIGHT_LOG_CAPACITY);
    EXPECT_EQ(+newestFlight(0)->startTime, FLIGHT_LOG_CAPACITY + 2u);
    EXPECT_EQ(+newestFlight(FLIGHT_LOG_CAPACITY - 1)->startTime, 3u);
    EXPECT_EQ(+newestFlight(FLIGHT_LOG_CAPACITY), nullptr);
}

TEST_F(FlightLog, AutomaticDetectionAtItsThresholds)
{
    struct Step {
        int32_t rpm;
        uint16_t speed;
        uint8_t fix;
        int steps;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
        uint8_t inProgress;
        uint16_t stored;
    } kCases[] = {
        {"both at the minimum for 10 steps", {{1000, 30, 1, 10}}, 1, 0},
        {"9 steps are not enough", {{1000, 30, 1, 9}}, 0, 0},
        {"rpm one below", {{999, 30, 1, 30}}, 0, 0},
        {"speed one below", {{1000, 29, 1, 30}}, 0, 0},
        {"no fix", {{1000, 30, 0, 30}}, 0, 0},
        {"a break starts the count again", {{1000, 30, 1, 9}, {900, 30, 1, 1}, {1000, 30, 1, 9}}, 0, 0},
        {"slow for 59 steps keeps flying", {{1000, 30, 1, 10}, {0, 29, 1, 59}}, 1, 0},
        {"slow for 60 steps stops", {{1000, 30, 1, 10}, {0, 29, 1, 60}}, 0, 1},
        {"a lost fix for 60 steps stops", {{1000, 30, 1, 10}, {2500, 120, 0, 60}}, 0, 1},
        {"moving with the engine stopped stays in flight", {{1000, 30, 1, 10}, {0, 30, 1, 200}}, 1, 0},
        {"speed back before 60 steps", {{1000, 30, 1, 10}, {0, 0, 1, 59}, {0, 30, 1, 1}, {0, 0, 1, 59}}, 1, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        eraseFlightLog();
        flightInProgress = 0;
        flightDetectStartCount = flightDetectStopCount = 0;
        settings.flightDetectAuto = 1;
        for (const Step& s : c.steps) {
            rpm = s.rpm;
            gpsGroundSpeed = s.speed;
            gpsFixValid = s.fix;
            for (int i = 0; i < s.steps; ++i) flightSlowStep();
        }
        EXPECT_EQ(flightInProgress, c.inProgress);
        EXPECT_EQ(flightLogCount, c.stored);
    }
    // In MANUAL nothing starts a flight.
    settings.flightDetectAuto = 0;
    flightInProgress = 0;
    for (int i = 0; i < 30; ++i) flightSlowStep();
    EXPECT_EQ(flightInProgress, 0);
}

TEST_F(FlightLog, ExportReadsBackAndAFailedOneLeavesNoPartialFile)
{
    storeSomeFlights();
    open(flightLogMenuScreen, 0);
    press("p");
    const std::string exported = readText(card / "FLIGHTS.CSV");
    const auto rows = parseCsv(exported);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].size(), 5u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{"2026-03-01T09:00:00", "65", "1", "120.4", "2910"}));
    EXPECT_EQ(rows[5], (std::vector<std::string>{"2026-03-03T09:00:00", "180", "255", "125.0", "2638"}));
    // A full card: the old export stays whole.
    appendFlightLog({1772600000, {1, 0}, 130, 0, 40, 0, 3});
    writeBudget = 100;
    EXPECT_FALSE(exportFlightLog());
    writeBudget = -1;
    EXPECT_EQ(readText(card / "FLIGHTS.CSV"), exported);
    EXPECT_FALSE(fs::exists(fs::symlink_status(card / "FLIGHTS.CSV.TMP")));
    // The card's folder gone.
    fs::remove_all(card);
    EXPECT_FALSE(exportFlightLog());
    EXPECT_FALSE(fs::exists(card));
}

TEST_F(FlightLog, Screens)
{
    storeSomeFlights();
    const struct {
        const char* golden;
        ScreenFunction screen;
        uint8_t cursor, automatic, edit;
        uint16_t step, viewPos;
    } kCases[] = {
        {"flight_log/menu_manual", flightLogMenuScreen, 0, 0, 0, 1, 0},
        {"flight_log/menu_automatic_rpm_x100", flightLogMenuScreen, 5, 1, 1, 10, 0},
        {"flight_log/menu_automatic_speed", flightLogMenuScreen, 6, 1, 0, 1, 0},
        {"flight_log/view_several", flightLogViewScreen, 0, 0, 0, 1, 0},
        {"flight_log/view_scrolled", flightLogViewScreen, 0, 0, 0, 1, 3},
        {"flight_log/erase_yes", eraseFlightLogScreen, 1, 0, 0, 1, 0},
    };
    settings.fuelUnit = 2;  // knots
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.golden);
        settings.flightDetectAuto = c.automatic;
        editMode = c.edit;
        stepMultiplier = c.step;
        flightLogViewPos = c.viewPos;
        open(c.screen, c.cursor);
        currentScreen();
        EXPECT_TRUE(framebufferMatchesGolden(c.golden));
    }
}

}  // namespace

// The flight log: its menu, VIEW and ERASE screens as key sequences, the flight time, the store,
// automatic flight detection at its thresholds, and the CSV export read back.
#include <gtest/gtest.h>

#include <cstdlib>

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

FlightRecord flight(uint32_t start, uint8_t hours, uint8_t minutes, uint16_t hobbs, uint8_t hundredths,
                    uint16_t maintH, uint8_t maintM, uint8_t pilot)
{
    return {start, {hours, minutes}, hobbs, hundredths, maintH, maintM, pilot};
}

// Five flights on 1 to 3 March 2026.
void storeSomeFlights()
{
    appendFlightLog(flight(1772355600, 1, 5, 120, 40, 48, 30, 1));   // 01/03 09:00
    appendFlightLog(flight(1772370000, 0, 45, 121, 50, 47, 25, 2));  // 01/03 13:00
    appendFlightLog(flight(1772445600, 2, 30, 122, 25, 46, 40, 1));  // 02/03 10:00
    appendFlightLog(flight(1772470800, 0, 12, 124, 75, 44, 10, 7));  // 02/03 17:00
    appendFlightLog(flight(1772528400, 3, 0, 124, 95, 43, 58, 255)); // 03/03 09:00
}

TEST_F(FlightLog, KeySequences)
{
    constexpr int32_t kAny = -1;
    struct Case {
        const char* name;
        ScreenFunction start;
        uint8_t cursor;
        uint8_t automatic;
        uint8_t pilot;
        uint32_t minRpm;
        uint16_t minSpeed;
        uint16_t viewPos;
        bool card;
        const char* keys;
        ScreenFunction screen;
        int32_t cursorAfter;
        int32_t pilotAfter = kAny, automaticAfter = kAny, minRpmAfter = kAny, minSpeedAfter = kAny;
        int32_t logCountAfter = kAny, viewPosAfter = kAny;
    } kCases[] = {
        {"pilot 255 up wraps", flightLogMenuScreen, 3, 0, 255, 1000, 30, 0, true, "p+", flightLogMenuScreen, 3, 0},
        {"pilot 0 down wraps", flightLogMenuScreen, 3, 0, 0, 1000, 30, 0, true, "p-", flightLogMenuScreen, 3, 255},
        {"automatic adds two rows", flightLogMenuScreen, 4, 0, 0, 1000, 30, 0, true, "p+p++", flightLogMenuScreen,
         6, kAny, 1},
        {"manual wraps after row 4", flightLogMenuScreen, 4, 0, 0, 1000, 30, 0, true, "+", flightLogMenuScreen, 0},
        {"automatic wraps up to row 6", flightLogMenuScreen, 0, 1, 0, 1000, 30, 0, true, "-", flightLogMenuScreen, 6},
        {"speed 245 x10 up gives 10", flightLogMenuScreen, 6, 1, 0, 1000, 245, 0, true, "3p+", flightLogMenuScreen, 6,
         kAny, kAny, kAny, 10},
        {"speed 10 down gives 250", flightLogMenuScreen, 6, 1, 0, 1000, 10, 0, true, "p-", flightLogMenuScreen, 6,
         kAny, kAny, kAny, 250},
        {"rpm steps by 10", flightLogMenuScreen, 5, 1, 0, 1000, 30, 0, true, "p+", flightLogMenuScreen, 5, kAny, kAny,
         1010},
        {"rpm x100 steps", flightLogMenuScreen, 5, 1, 0, 1000, 30, 0, true, "3p--", flightLogMenuScreen, 5, kAny,
         kAny, 800},
        {"rpm above 99000 gives 100", flightLogMenuScreen, 5, 1, 0, 98950, 30, 0, true, "3p+", flightLogMenuScreen, 5,
         kAny, kAny, 100},
        {"rpm below 100 gives 99000", flightLogMenuScreen, 5, 1, 0, 105, 30, 0, true, "p-", flightLogMenuScreen, 5,
         kAny, kAny, 99000},
        {"exit", flightLogMenuScreen, 3, 0, 0, 1000, 30, 0, true, "1", homeScreen, kAny},
        {"back to the main menu tile", flightLogMenuScreen, 3, 0, 0, 1000, 30, 0, true, "2", mainMenuScreen, 0},
        {"export without a card", flightLogMenuScreen, 0, 0, 0, 1000, 30, 0, false, "p", sdCardMessageScreen, 0},
        {"export without a card returns", flightLogMenuScreen, 0, 0, 0, 1000, 30, 0, false, "p1", flightLogMenuScreen,
         0},
        {"export stays on the menu", flightLogMenuScreen, 0, 0, 0, 1000, 30, 0, true, "p", flightLogMenuScreen, 0},
        {"view opens at the top", flightLogMenuScreen, 1, 0, 0, 1000, 30, 9, true, "p", flightLogViewScreen, 1, kAny,
         kAny, kAny, kAny, kAny, 0},
        {"view scrolls", flightLogViewScreen, 0, 0, 0, 1000, 30, 0, true, "+++-", flightLogViewScreen, kAny, kAny,
         kAny, kAny, kAny, kAny, 2},
        {"view stops at 0", flightLogViewScreen, 0, 0, 0, 1000, 30, 0, true, "-", flightLogViewScreen, kAny, kAny,
         kAny, kAny, kAny, kAny, 0},
        {"view stops at 199", flightLogViewScreen, 0, 0, 0, 1000, 30, 199, true, "+", flightLogViewScreen, kAny,
         kAny, kAny, kAny, kAny, kAny, 199},
        {"view back", flightLogViewScreen, 0, 0, 0, 1000, 30, 4, true, "2", flightLogMenuScreen, 1},
        {"view exit", flightLogViewScreen, 0, 0, 0, 1000, 30, 4, true, "1", homeScreen, kAny},
        {"erase opens on NO", flightLogMenuScreen, 2, 0, 0, 1000, 30, 0, true, "p", eraseFlightLogScreen, 0},
        {"erase NO", eraseFlightLogScreen, 0, 0, 0, 1000, 30, 0, true, "p", flightLogMenuScreen, 2, kAny, kAny, kAny,
         kAny, 5},
        {"erase YES shows DONE", eraseFlightLogScreen, 0, 0, 0, 1000, 30, 0, true, "+p", messageScreen, 2, kAny, kAny,
         kAny, kAny, 0},
        {"DONE returns to the menu", eraseFlightLogScreen, 0, 0, 0, 1000, 30, 0, true, "-p3", flightLogMenuScreen, 2,
         kAny, kAny, kAny, kAny, 0},
        {"erase ignores soft keys", eraseFlightLogScreen, 1, 0, 0, 1000, 30, 0, true, "12345", eraseFlightLogScreen,
         1, kAny, kAny, kAny, kAny, 5},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        eraseFlightLog();
        storeSomeFlights();
        settings.flightDetectAuto = c.automatic;
        settings.pilotNumber = c.pilot;
        settings.flightDetectMinRpm = c.minRpm;
        settings.flightDetectMinGroundSpeed = c.minSpeed;
        flightLogViewPos = c.viewPos;
        sdCardPresent = c.card ? 1 : 0;
        stepMultiplier = 1;
        editMode = 0;
        open(c.start, c.cursor);
        press(c.keys);
        EXPECT_EQ(currentScreen, c.screen);
        if (c.cursorAfter != kAny) {
            EXPECT_EQ(cursorLine, c.cursorAfter);
        }
        if (c.pilotAfter != kAny) {
            EXPECT_EQ(settings.pilotNumber, c.pilotAfter);
        }
        if (c.automaticAfter != kAny) {
            EXPECT_EQ(settings.flightDetectAuto, c.automaticAfter);
        }
        if (c.minRpmAfter != kAny) {
            EXPECT_EQ(settings.flightDetectMinRpm, static_cast<uint32_t>(c.minRpmAfter));
        }
        if (c.minSpeedAfter != kAny) {
            EXPECT_EQ(settings.flightDetectMinGroundSpeed, c.minSpeedAfter);
        }
        if (c.logCountAfter != kAny) {
            EXPECT_EQ(flightLogCount, c.logCountAfter);
        }
        if (c.viewPosAfter != kAny) {
            EXPECT_EQ(flightLogViewPos, c.viewPosAfter);
        }
    }
}

TEST_F(FlightLog, EraseClearsTheFlightTimeOnShow)
{
    currentFlight.flightTime = {1, 20};
    storeSomeFlights();
    open(eraseFlightLogScreen, 1);
    press("p");
    EXPECT_EQ(flightLogCount, 0);
    EXPECT_EQ(currentFlight.flightTime.hours, 0);
    EXPECT_EQ(currentFlight.flightTime.minutes, 0);
}

TEST_F(FlightLog, FlightTimeCountsWholeMinutesAndStopKeepsIt)
{
    hobbsHours = 812;
    hobbsHundredths = 7;
    maintHours = 3;
    maintMinutes = 9;
    settings.pilotNumber = 4;
    localSeconds = 1772355600;
    startFlight();
    for (int s = 0; s < 59; ++s) flightSlowStep();
    EXPECT_EQ(currentFlight.flightTime.minutes, 0);
    flightSlowStep();
    EXPECT_EQ(currentFlight.flightTime.minutes, 1);
    for (int s = 60; s < 3600 + 150; ++s) flightSlowStep();
    EXPECT_EQ(currentFlight.flightTime.hours, 1);
    EXPECT_EQ(currentFlight.flightTime.minutes, 2);
    stopFlight();
    flightSlowStep();
    EXPECT_EQ(currentFlight.flightTime.minutes, 2);
    ASSERT_EQ(flightLogCount, 1);
    const FlightRecord& f = *newestFlight(0);
    EXPECT_EQ(f.startTime, 1772355600u);
    EXPECT_EQ(f.flightTime.hours, 1);
    EXPECT_EQ(f.hobbsHoursAtStart, 812);
    EXPECT_EQ(f.hobbsHundredthsAtStart, 7);
    EXPECT_EQ(f.maintHoursAtStart, 3);
    EXPECT_EQ(f.maintMinutesAtStart, 9);
    EXPECT_EQ(f.flightPilotNumber, 4);
    // A second stop stores nothing more; an instrument that is off counts nothing.
    stopFlight();
    EXPECT_EQ(flightLogCount, 1);
    startFlight();
    devicePhase = DevicePhase::Off;
    for (int s = 0; s < 120; ++s) flightSlowStep();
    EXPECT_EQ(flightSeconds, 0u);
}

TEST_F(FlightLog, AFullLogDropsItsOldestFlight)
{
    for (uint32_t i = 0; i < FLIGHT_LOG_CAPACITY + 3; ++i) appendFlightLog(flight(i, 0, 1, 0, 0, 0, 0, 0));
    EXPECT_EQ(flightLogCount, FLIGHT_LOG_CAPACITY);
    EXPECT_EQ(newestFlight(0)->startTime, FLIGHT_LOG_CAPACITY + 2u);
    EXPECT_EQ(newestFlight(FLIGHT_LOG_CAPACITY - 1)->startTime, 3u);
    EXPECT_EQ(newestFlight(FLIGHT_LOG_CAPACITY), nullptr);
}

TEST_F(FlightLog, AutomaticDetectionAtItsThresholds)
{
    struct Step {
        int32_t rpm;
        uint16_t speed;
        uint8_t fix;
        int steps;
    };
    struct Case {
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
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        eraseFlightLog();
        flightInProgress = 0;
        flightDetectStartCount = flightDetectStopCount = 0;
        settings.flightDetectAuto = 1;
        settings.flightDetectMinRpm = 1000;
        settings.flightDetectMinGroundSpeed = 30;
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

TEST_F(FlightLog, ExportReadsBackAsStored)
{
    storeSomeFlights();
    ASSERT_TRUE(exportFlightLog());
    const auto rows = parseCsv(readText(card / "FLIGHTS.CSV"));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].size(), 5u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{"2026-03-01T09:00:00", "65", "1", "120.4", "2910"}));
    EXPECT_EQ(rows[5], (std::vector<std::string>{"2026-03-03T09:00:00", "180", "255", "125.0", "2638"}));
    for (size_t i = 1; i < rows.size(); ++i) {
        const FlightRecord& f = *newestFlight(static_cast<unsigned>(rows.size() - 1 - i));
        EXPECT_EQ(std::stoul(rows[i][1]), f.flightTime.hours * 60u + f.flightTime.minutes);
        EXPECT_EQ(std::stoul(rows[i][2]), f.flightPilotNumber);
        EXPECT_EQ(std::stoul(rows[i][4]), f.maintHoursAtStart * 60u + f.maintMinutesAtStart);
    }
    EXPECT_FALSE(fs::exists(card / "FLIGHTS.CSV.TMP"));
}

TEST_F(FlightLog, AFailedExportLeavesNoPartialFile)
{
    storeSomeFlights();
    ASSERT_TRUE(exportFlightLog());
    const std::string before = readText(card / "FLIGHTS.CSV");
    appendFlightLog(flight(1772600000, 1, 0, 130, 0, 40, 0, 3));
    // A full disk: the temporary file is the full device.
    fs::create_symlink("/dev/full", card / "FLIGHTS.CSV.TMP");
    EXPECT_FALSE(exportFlightLog());
    EXPECT_EQ(readText(card / "FLIGHTS.CSV"), before);
    EXPECT_FALSE(fs::exists(fs::symlink_status(card / "FLIGHTS.CSV.TMP")));
    // The card's folder gone.
    fs::remove_all(card);
    EXPECT_FALSE(exportFlightLog());
    EXPECT_FALSE(fs::exists(card));
}

TEST_F(FlightLog, ExportFromTheMenuWritesTheFile)
{
    storeSomeFlights();
    open(flightLogMenuScreen, 0);
    press("p");
    EXPECT_TRUE(fs::exists(card / "FLIGHTS.CSV"));
    sdCardPresent = 0;
    fs::remove(card / "FLIGHTS.CSV");
    press("p");
    EXPECT_FALSE(fs::exists(card / "FLIGHTS.CSV"));
}

TEST_F(FlightLog, Screens)
{
    storeSomeFlights();
    struct Case {
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
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.golden);
        settings.flightDetectAuto = c.automatic;
        settings.fuelUnit = 2;  // knots
        editMode = c.edit;
        stepMultiplier = c.step;
        flightLogViewPos = c.viewPos;
        open(c.screen, c.cursor);
        currentScreen();
        EXPECT_TRUE(framebufferMatchesGolden(c.golden));
    }
}

}  // namespace

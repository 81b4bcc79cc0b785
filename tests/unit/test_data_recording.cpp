// Data recording: the setup screen and its confirmation as key sequences, the recording file read
// back, the free space, and failed writes that leave no partial line.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/thermocouples.h"
#include "gps/gps.h"
#include "golden_support.h"
#include "log_test_support.h"
#include "time/clock.h"
#include "time/data_recording.h"
#include "ui/home.h"

namespace {

using namespace logtest;

class DataRecording : public CardTest {};

// The file starts with old contents; only YES with a card replaces them with a fresh header.
TEST_F(DataRecording, KeySequences)
{
    const struct {
        const char* name;
        ScreenFunction start;
        uint8_t cursor;
        bool card;
        const char* keys;
        ScreenFunction screen;
        uint8_t cursorAfter;
        uint8_t recordingAfter;
        bool fresh;
    } kCases[] = {
        {"turn moves to the other row", dataRecordingSetupScreen, 0, true, "+", dataRecordingSetupScreen, 1, 1, false},
        {"and back", dataRecordingSetupScreen, 1, true, "-", dataRecordingSetupScreen, 0, 1, false},
        {"recording off", dataRecordingSetupScreen, 1, true, "p+p", dataRecordingSetupScreen, 1, 0, false},
        {"recording off and on", dataRecordingSetupScreen, 1, true, "p+-", dataRecordingSetupScreen, 1, 1, false},
        {"create asks first", dataRecordingSetupScreen, 0, true, "p", createRecordingFileScreen, 0, 1, false},
        {"create without a card", dataRecordingSetupScreen, 0, false, "p", sdCardMessageScreen, 0, 1, false},
        {"NO returns at once", createRecordingFileScreen, 0, true, "p", dataRecordingSetupScreen, 0, 1, false},
        {"YES makes a fresh file", createRecordingFileScreen, 0, true, "+p", messageScreen, 0, 1, true},
        {"DONE returns to the setup", createRecordingFileScreen, 0, true, "-p2", dataRecordingSetupScreen, 0, 1, true},
        {"YES without a card", createRecordingFileScreen, 1, false, "p", sdCardMessageScreen, 0, 1, false},
        {"other keys discarded", createRecordingFileScreen, 1, true, "12345", createRecordingFileScreen, 1, 1, false},
        {"back", dataRecordingSetupScreen, 1, true, "2", mainMenuScreen, 4, 1, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        std::ofstream(card / "DATALOG.CSV", std::ios::trunc) << "old contents\r\n";
        settings.dataRecordingOn = 1;
        sdCardPresent = c.card ? 1 : 0;
        editMode = 0;
        open(c.start, c.cursor);
        press(c.keys);
        EXPECT_EQ(currentScreen, c.screen);
        EXPECT_EQ(cursorLine, c.cursorAfter);
        EXPECT_EQ(+settings.dataRecordingOn, c.recordingAfter);
        const auto rows = parseCsv(readText(card / "DATALOG.CSV"));
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][0], c.fresh ? "UTC" : "old contents");
    }
    EXPECT_FALSE(fs::exists(card / "DATALOG.CSV.TMP"));
}

TEST_F(DataRecording, EachSlowStepAppendsALineThatReadsBack)
{
    settings.egtChannels = 4;
    settings.chtChannels = 2;
    hostUtcSeconds = 1772355600;
    refreshClock();
    volts = 142;
    rpm = 2450;
    tc[0] = 650;
    tc[5] = 180;
    alarmFlags = 0x2001;
    gpsFixValid = gpsPositionValid = 1;
    gpsLatitude = 51.5f;
    gpsLongitude = -0.25f;
    gpsGroundSpeed = 95;
    gpsTrack = 270;
    for (int i = 0; i < 3; ++i) recordingSlowStep();
    gpsFixValid = 0;
    recordingSlowStep();
    const auto rows = parseCsv(readText(card / "DATALOG.CSV"));
    ASSERT_EQ(rows.size(), 5u);
    const auto& header = rows[0];
    auto column = [&](const std::string& name) {
        for (size_t i = 0; i < header.size(); ++i)
            if (header[i] == name) return i;
        ADD_FAILURE() << "no column " << name;
        return size_t{0};
    };
    for (size_t r = 1; r < rows.size(); ++r) EXPECT_EQ(rows[r].size(), header.size()) << "row " << r;
    EXPECT_EQ(rows[1][column("UTC")], "2026-03-01T09:00:00Z");
    EXPECT_EQ(rows[1][column("VOLTS (V)")], "14.2");
    EXPECT_EQ(rows[1][column("RPM")], "2450");
    EXPECT_EQ(rows[1][column("EGT1 (C)")], "650");
    EXPECT_EQ(rows[1][column("CHT2 (C)")], "180");
    EXPECT_EQ(rows[1][column("ALARMS (HEX)")], "00002001");
    EXPECT_EQ(rows[1][column("LATITUDE (DEG)")], "51.500000");
    EXPECT_EQ(rows[1][column("GROUND SPEED (mph)")], "95");
    EXPECT_EQ(rows[4][column("TRACK (DEG TRUE)")], "");
    // A change of unit brings a new header before the next line.
    settings.temperatureUnit = 1;
    recordingSlowStep();
    const auto after = parseCsv(readText(card / "DATALOG.CSV"));
    ASSERT_EQ(after.size(), 7u);
    EXPECT_EQ(after[5][5], "EGT1 (F)");
    EXPECT_EQ(recordedLines, 5u);
}

// A card swapped while on: its file, new or empty, starts with the header; the same file does not.
TEST_F(DataRecording, ANewOrEmptyFileStartsWithTheHeader)
{
    const struct {
        const char* name;
        void (*swap)(const fs::path& file);
        size_t rows;
    } kCases[] = {
        {"the same file", [](const fs::path&) {}, 3},
        {"no file", [](const fs::path& file) { fs::remove(file); }, 2},
        {"an empty file", [](const fs::path& file) { std::ofstream(file, std::ios::trunc); }, 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        fs::remove(card / "DATALOG.CSV");
        resetRecordingAtPowerOn();
        recordingSlowStep();
        c.swap(card / "DATALOG.CSV");
        recordingSlowStep();
        const auto rows = parseCsv(readText(card / "DATALOG.CSV"));
        ASSERT_EQ(rows.size(), c.rows);
        EXPECT_EQ(rows[0][0], "UTC");
    }
}

// Every channel and sender: the widest header written, as wide as a reader takes.
TEST_F(DataRecording, TheWidestHeaderIsAsWideAsAReaderTakes)
{
    settings.egtChannels = settings.chtChannels = 6;
    char header[1024];
    recordingHeader(header, sizeof header);
    EXPECT_EQ(static_cast<size_t>(std::count(header, header + std::strlen(header), ',')) + 1, kRecordingWidestHeader);
}

TEST_F(DataRecording, NothingIsRecordedWhenOffOrWithoutCardOrPowered)
{
    settings.dataRecordingOn = 0;
    recordingSlowStep();
    settings.dataRecordingOn = 1;
    sdCardPresent = 0;
    recordingSlowStep();
    sdCardPresent = 1;
    devicePhase = DevicePhase::Off;
    recordingSlowStep();
    EXPECT_FALSE(fs::exists(card / "DATALOG.CSV"));
}

TEST_F(DataRecording, AFailedWritePausesRetriesAndLeavesNoHalfLine)
{
    recordingSlowStep();
    recordingSlowStep();
    const std::string before = readText(card / "DATALOG.CSV");
    // A disk that fills in the middle of the next line.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = before.size() + 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    recordingSlowStep();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(recordingPaused, 1);
    EXPECT_EQ(readText(card / "DATALOG.CSV"), before);
    // Room again: the next step writes.
    recordingSlowStep();
    EXPECT_EQ(recordingPaused, 0);
    EXPECT_EQ(parseCsv(readText(card / "DATALOG.CSV")).size(), 4u);
    // The card's folder gone: paused, nothing made; back: resumed.
    fs::remove_all(card);
    recordingSlowStep();
    EXPECT_EQ(recordingPaused, 1);
    EXPECT_FALSE(fs::exists(card));
    fs::create_directories(card);
    recordingSlowStep();
    EXPECT_EQ(recordingPaused, 0);
    // A full card.
    writeBudget = 5;
    recordingSlowStep();
    writeBudget = -1;
    EXPECT_EQ(recordingPaused, 1);
}

TEST_F(DataRecording, AReadOnlyFolderIsNoFailureOfTheInstrument)
{
    fs::permissions(card, fs::perms::owner_read | fs::perms::owner_exec);
    readOnlyFolder = true;  // as root the mode alone would not stop a write
    recordingSlowStep();
    const uint8_t paused = recordingPaused;
    const bool created = createRecordingFile();
    readOnlyFolder = false;
    EXPECT_EQ(paused, 1);
    EXPECT_FALSE(created);
    EXPECT_TRUE(fs::is_empty(card));
}

TEST_F(DataRecording, FreeSpaceIsMeasuredOnlyWhileTheScreenShows)
{
    currentScreen = mainMenuScreen;
    cursorLine = 4;
    freeSpaceCount = 77;
    press("p");
    ASSERT_EQ(currentScreen, dataRecordingSetupScreen);
    EXPECT_EQ(freeSpaceCount, 0u);  // until the next slow step
    settings.dataRecordingOn = 0;
    recordingSlowStep();
    EXPECT_EQ(freeSpaceCount, sdCardFreeMegabytes());
    EXPECT_GT(freeSpaceCount, 0u);
    fs::remove_all(card);
    recordingSlowStep();
    EXPECT_EQ(freeSpaceCount, 0u);
    freeSpaceCount = 5;
    currentScreen = homeScreen;
    recordingSlowStep();
    EXPECT_EQ(freeSpaceCount, 5u);
}

TEST_F(DataRecording, Screens)
{
    struct Case {
        const char* golden;
        ScreenFunction screen;
        uint8_t cursor, edit;
        bool card;
        uint32_t freeSpace;
    } kCases[] = {
        {"data_recording/setup_just_opened", dataRecordingSetupScreen, 0, 0, true, 0},
        // 4 PiB less a MiB: the shown value needs more than 32 bits.
        {"data_recording/setup_large_disk", dataRecordingSetupScreen, 1, 1, true, 0xFFFFFFFFu},
        {"data_recording/setup_no_card", dataRecordingSetupScreen, 1, 0, false, 2048},
        {"data_recording/create_no", createRecordingFileScreen, 0, 0, true, 0},
        {"data_recording/create_yes", createRecordingFileScreen, 1, 0, true, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.golden);
        sdCardPresent = c.card ? 1 : 0;
        freeSpaceCount = c.freeSpace;
        editMode = c.edit;
        open(c.screen, c.cursor);
        currentScreen();
        EXPECT_TRUE(framebufferMatchesGolden(c.golden));
    }
}

}  // namespace

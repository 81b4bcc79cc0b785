// Faults injected into every file the instrument writes: a write failing at each byte (the
// fwrite/fputs seam below, linked with --wrap), a full disk (the file size limit), a read-only
// folder, the card folder removed mid-run, and a pipe, a link or a folder at the temporary name.
// The old file stays whole or the new one is complete. The same seam records the order of the
// steps of each write.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <functional>
#include <string>
#include <fcntl.h>
#include <cstdarg>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "card_support.h"
#include "device.h"
#include "key_press.h"
#include "scenario/settings_tool.h"
#include "settings/menus.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "time/clock.h"
#include "time/data_recording.h"
#include "time/flight_log.h"
#include "time/memory.h"
#include "ui/screen.h"

namespace fs = std::filesystem;

long long writeBudget = -1;  // bytes the write calls may still store; negative: no fault
bool readOnlyFolder = false; // opening for writing fails as a write-protected folder would

namespace {
std::string* stepLog = nullptr;  // while set, the steps taken on files open for writing

bool openForWriting(FILE* file) { return file && (fcntl(fileno(file), F_GETFL) & O_ACCMODE) != O_RDONLY; }

void logStep(const char* step)
{
    // A run of writes is one step.
    if (!stepLog || stepLog->ends_with(std::string(step) + " ")) return;
    *stepLog += std::string(step) + " ";
}
}  // namespace

extern "C" {
size_t __real_fwrite(const void* data, size_t size, size_t count, FILE* file);
FILE* __real_fopen(const char* path, const char* mode);
int __real_open(const char* path, int flags, ...);
int __real_fflush(FILE* file);
int __real_fclose(FILE* file);
int __real_fsync(int fd);
int __real_rename(const char* from, const char* to);

// The seam over the write calls: stores at most writeBudget bytes, then fails as a full card.
size_t __wrap_fwrite(const void* data, size_t size, size_t count, FILE* file)
{
    if (file != stdout && file != stderr) logStep("write");
    if (writeBudget < 0 || file == stdout || file == stderr || size == 0) return __real_fwrite(data, size, count, file);
    const size_t bytes = size * count;
    const size_t allowed = std::min<size_t>(bytes, static_cast<size_t>(writeBudget));
    const size_t done = allowed ? __real_fwrite(data, 1, allowed, file) : 0;
    writeBudget -= static_cast<long long>(done);
    if (done == bytes) return count;
    errno = ENOSPC;
    return done / size;
}
int __wrap_fputs(const char* text, FILE* file)
{
    const size_t length = std::strlen(text);
    return __wrap_fwrite(text, 1, length, file) == length ? 1 : EOF;
}
FILE* __wrap_fopen(const char* path, const char* mode)
{
    if (readOnlyFolder && (std::strchr(mode, 'w') || std::strchr(mode, 'a'))) {
        errno = EROFS;
        return nullptr;
    }
    return __real_fopen(path, mode);
}
int __wrap_open(const char* path, int flags, ...)
{
    if (readOnlyFolder && (flags & (O_WRONLY | O_RDWR | O_CREAT))) {
        errno = EROFS;
        return -1;
    }
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & O_CREAT) ? static_cast<mode_t>(va_arg(arguments, unsigned)) : 0;
    va_end(arguments);
    return __real_open(path, flags, mode);
}
int __wrap_fflush(FILE* file)
{
    if (openForWriting(file) && file != stdout && file != stderr) logStep("flush");
    return __real_fflush(file);
}
int __wrap_fclose(FILE* file)
{
    if (openForWriting(file)) logStep("close");
    return __real_fclose(file);
}
int __wrap_fsync(int fd)
{
    struct stat info {};
    logStep(fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) ? "folder-sync" : "sync");
    return __real_fsync(fd);
}
int __wrap_rename(const char* from, const char* to)
{
    logStep("rename");
    return __real_rename(from, to);
}
}

namespace {

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One file writer: its file, what it writes now, and what changes the next write's content.
struct Writer {
    const char* name;
    const char* file;
    std::function<bool(const fs::path& card)> write;
    std::function<void()> change;
    bool appends;           // adds to the file rather than replacing it
    const char* temporary;  // the name the new content is written under first (an append: the file)
    const char* steps;      // the calls a write makes, in order
};

constexpr const char* kReplaceSteps = "write flush sync close rename folder-sync ";

class FaultInjection : public testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        // In memory where the system offers it: every byte position is a write of its own.
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::path(testing::TempDir());
        card = base / ("corvex_fault_card_" + std::to_string(getpid()));
        fs::remove_all(card);
        fs::create_directories(card);
        resetDevice();
        setSdCardFolder(card.string().c_str());
        devicePowerOn();
        for (int i = 0; i < 2; ++i) {
            devicePressKey(KeySoft1);
            devicePass();
        }
        ASSERT_EQ(devicePhase, DevicePhase::Running);
        settings.dataRecordingOn = 1;
        flightLogCount = 12;
    }
    void TearDown() override
    {
        writeBudget = -1;
        readOnlyFolder = false;
        resetDevice();
        fs::permissions(card, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(card);
    }

    // Only the writer's file remains in the folder: no temporary left behind.
    void expectOnly(const Writer& w)
    {
        for (const auto& entry : fs::directory_iterator(card))
            EXPECT_EQ(entry.path().filename().string(), w.file) << "left behind by " << w.name;
    }
    void expectRunningOn()
    {
        for (int i = 0; i < 3; ++i) {
            devicePressKey(KeyKnobPlus);
            devicePass();
        }
        slowStep();
        EXPECT_TRUE(deviceIsOn());
        EXPECT_EQ(pendingKey, 0);
    }

    fs::path card;
};

const Writer& writerOf(int index)
{
    static const Writer writers[] = {
        {"settings", SETTINGS_FILE_NAME, [](const fs::path&) { return saveSettingsFile(); },
         [] { ++settings.rpm1HighAlarm; }, false, SETTINGS_FILE_NEW_NAME, kReplaceSteps},
        {"flight log export", "FLIGHTS.CSV", [](const fs::path&) { return exportFlightLog(); },
         [] { ++flightLog[0].flightTime.minutes; }, false, "FLIGHTS.CSV.TMP", kReplaceSteps},
        {"data recording file", "DATALOG.CSV", [](const fs::path&) { return createRecordingFile(); },
         [] { ++settings.rpm1HighAlarm; }, false, "DATALOG.CSV.TMP", kReplaceSteps},
        {"data recording line", "DATALOG.CSV",
         [](const fs::path&) {
             const uint32_t before = recordedLines;
             recordingSlowStep();
             return recordedLines != before;
         },
         [] {}, true, "DATALOG.CSV", "write flush close "},
        {"memory file", "CORVEX.MEM",
         [](const fs::path& card) {
             std::string reason;
             return saveMemoryFile((card / "CORVEX.MEM").string().c_str(), reason);
         },
         [] { ++flightLog[1].flightTime.minutes; }, false, "CORVEX.MEM.tmp", kReplaceSteps},
        {"settings tool", SETTINGS_FILE_NAME,
         [](const fs::path& card) {
             // The tool edits a file that is there: the instrument saves the first one.
             if (!fs::exists(card / SETTINGS_FILE_NAME) && !saveSettingsFile()) return false;
             std::ostringstream out, err;
             const std::string edit = "rpm1HighAlarm=" + std::to_string(settings.rpm1HighAlarm);
             return settingsToolMain({"set", (card / SETTINGS_FILE_NAME).string(), edit}, out, err) == 0;
         },
         [] { ++settings.rpm1HighAlarm; }, false, "CORVEX.EMS.new", kReplaceSteps},
    };
    return writers[index];
}
constexpr int kWriters = 6;

TEST_P(FaultInjection, AWriteFailingAtEveryByteLeavesTheOldFileOrTheNew)
{
    const Writer& w = writerOf(GetParam());
    SCOPED_TRACE(w.name);
    ASSERT_TRUE(w.write(card));
    const std::string old = slurp(card / w.file);
    w.change();
    // The new content's length: a write with no fault into a copy of the folder's state.
    ASSERT_TRUE(w.write(card));
    const std::string fresh = slurp(card / w.file);
    ASSERT_GT(fresh.size(), w.appends ? old.size() : 0u);
    const size_t newBytes = w.appends ? fresh.size() - old.size() : fresh.size();
    for (size_t at = 0; at <= newBytes; ++at) {
        SCOPED_TRACE("failing at byte " + std::to_string(at));
        std::ofstream(card / w.file, std::ios::binary | std::ios::trunc) << old;
        writeBudget = static_cast<long long>(at);
        const bool ok = w.write(card);
        writeBudget = -1;
        const std::string now = slurp(card / w.file);
        if (at < newBytes) {
            EXPECT_FALSE(ok);
            ASSERT_EQ(now, old) << "a mixture of old and new";
        } else {
            EXPECT_TRUE(ok);
            EXPECT_EQ(now.size(), w.appends ? old.size() + newBytes : newBytes);
        }
        expectOnly(w);
    }
    expectRunningOn();
}

TEST_P(FaultInjection, AFullDiskLeavesTheOldFile)
{
    const Writer& w = writerOf(GetParam());
    SCOPED_TRACE(w.name);
    ASSERT_TRUE(w.write(card));
    const std::string old = slurp(card / w.file);
    w.change();
    // No file may grow past what it holds: every write to the card fails in the kernel.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit full = saved;
    full.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    const bool ok = w.write(card);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(ok);
    EXPECT_EQ(slurp(card / w.file), old);
    expectOnly(w);
    expectRunningOn();
    EXPECT_TRUE(w.write(card));  // room again: the next write goes through
}

TEST_P(FaultInjection, AReadOnlyFolderLeavesTheOldFile)
{
    const Writer& w = writerOf(GetParam());
    SCOPED_TRACE(w.name);
    ASSERT_TRUE(w.write(card));
    const std::string old = slurp(card / w.file);
    w.change();
    fs::permissions(card, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    readOnlyFolder = true;  // as root the mode alone would not stop a write
    EXPECT_FALSE(w.write(card));
    readOnlyFolder = false;
    fs::permissions(card, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(slurp(card / w.file), old);
    expectOnly(w);
    expectRunningOn();
}

TEST_P(FaultInjection, TheCardFolderRemovedMidRun)
{
    const Writer& w = writerOf(GetParam());
    SCOPED_TRACE(w.name);
    ASSERT_TRUE(w.write(card));
    fs::remove_all(card);
    w.change();
    EXPECT_FALSE(w.write(card));
    EXPECT_FALSE(fs::exists(card));
    expectRunningOn();
    fs::create_directories(card);  // the card back: writing resumes
    EXPECT_TRUE(w.write(card));
    EXPECT_TRUE(fs::exists(card / w.file));
}

// Every write takes its steps in order: the content is on the medium before its new name is, and
// the name is on the medium before the write counts as done.
TEST_P(FaultInjection, TheStepsComeInOrder)
{
    const Writer& w = writerOf(GetParam());
    SCOPED_TRACE(w.name);
    ASSERT_TRUE(w.write(card));
    w.change();
    std::string steps;
    stepLog = &steps;
    const bool ok = w.write(card);
    stepLog = nullptr;
    EXPECT_TRUE(ok);
    EXPECT_EQ(steps, w.steps);
}

// A pipe, a link to a file outside the card or a folder standing at the temporary name: never
// waited on, never written through, and the write says how it went. A replace clears the name and
// goes through; an append refuses anything but a plain file.
TEST_P(FaultInjection, WhateverStandsAtTheTemporaryName)
{
    const Writer& w = writerOf(GetParam());
    const fs::path outside = card.string() + "-outside.txt", at = card / w.temporary;
    for (const char* kind : {"pipe", "link", "folder"}) {
        SCOPED_TRACE(std::string(w.name) + ", " + kind + " at " + w.temporary);
        ASSERT_TRUE(w.write(card));
        w.change();
        std::ofstream(outside) << "outside";
        fs::remove(at);
        int reader = -1;
        if (kind == std::string("pipe")) {
            ASSERT_EQ(mkfifo(at.c_str(), 0600), 0);
            reader = ::open(at.c_str(), O_RDONLY | O_NONBLOCK);  // a writer opening the pipe is not held up
        } else if (kind == std::string("link")) {
            fs::create_symlink(outside, at);
        } else {
            fs::create_directory(at);
        }
        const bool ok = w.write(card);
        if (reader >= 0) ::close(reader);
        EXPECT_EQ(slurp(outside), "outside");
        EXPECT_EQ(ok, !w.appends);
        if (w.appends) fs::remove_all(at);
        else EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(card / w.file))) << "the new file is in place";
        expectOnly(w);
    }
    fs::remove(outside);
    expectRunningOn();
}

// A replaced file keeps the permission bits it had.
TEST_P(FaultInjection, TheReplacedFileKeepsItsMode)
{
    const Writer& w = writerOf(GetParam());
    SCOPED_TRACE(w.name);
    ASSERT_TRUE(w.write(card));
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;
    fs::permissions(card / w.file, mode);
    w.change();
    EXPECT_TRUE(w.write(card));
    EXPECT_EQ(fs::status(card / w.file).permissions(), mode);
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, FaultInjection, testing::Range(0, kWriters),
                         [](const testing::TestParamInfo<int>& info) {
                             std::string name = writerOf(info.param).name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// A menu's file action that could not complete says "FAILED", never "DONE"; one that did says
// "DONE" (the export, which has no message, stays on its menu). A folder standing where the file
// goes stops the write (or the read) as a broken card would, root or not.
TEST(FileActionMessage, AFailureIsNeverShownAsDone)
{
    resetDevice();
    loadDefaultSettings();
    const fs::path card = freshCardFolder("message_card_");
    sdCardPresent = 1;
    devicePhase = DevicePhase::Running;
    const struct {
        const char* name;
        ScreenFunction screen;
        uint8_t cursor;
        const char* keys;
        const char* file;
        ScreenFunction afterSuccess;
    } kActions[] = {
        {"save settings", miscSetupScreen, 1, "p", SETTINGS_FILE_NAME, messageScreen},
        {"recall settings", miscSetupScreen, 2, "p", SETTINGS_FILE_NAME, messageScreen},
        {"create recording file", createRecordingFileScreen, 0, "+p", "DATALOG.CSV", messageScreen},
        {"export flight log", flightLogMenuScreen, 0, "p", "FLIGHTS.CSV", flightLogMenuScreen},
    };
    for (const bool blocked : {true, false})
        for (const auto& a : kActions) {
            SCOPED_TRACE(std::string(a.name) + (blocked ? " blocked" : ""));
            if (blocked) fs::create_directory(card / a.file);
            currentScreen = a.screen;
            cursorLine = a.cursor;
            editMode = 0;
            press(a.keys);
            EXPECT_EQ(currentScreen, blocked ? messageScreen : a.afterSuccess);
            EXPECT_EQ(+messageFailed, blocked ? 1 : 0);
            if (currentScreen == messageScreen) {
                press("1");  // any key goes back, and the next message starts afresh
                EXPECT_EQ(currentScreen, a.screen == createRecordingFileScreen ? dataRecordingSetupScreen : a.screen);
                EXPECT_EQ(+messageFailed, 0);
            }
            if (blocked) fs::remove(card / a.file);
        }
    resetDevice();
    fs::remove_all(card);
}

}  // namespace

// The non-volatile memory: the image's round trip, damaged and foreign images left unused, the
// file kept through a power cycle of the runner.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "device.h"
#include "scenario/scenario.h"
#include "script_support.h"
#include "time/clock.h"
#include "time/flight_log.h"
#include "time/memory.h"
#include "time/timers.h"

namespace {

namespace fs = std::filesystem;

void fillMemory()
{
    hobbsHours = 1234;
    hobbsHundredths = 56;
    hobbsStepCount = 7;
    maintHours = 45;
    maintMinutes = 12;
    maintStepCount = 33;
    clockOffsetSeconds = -3600;
    flightInProgress = 1;
    flightSeconds = 4000;
    currentFlight = {1772355600, {1, 6}, 1234, 10, 46, 0, 9};
    for (uint32_t i = 0; i < 7; ++i) appendFlightLog({1772000000 + i * 7200, {0, 45}, 1200, 5, 50, 30, 2});
}

std::vector<uint8_t> image()
{
    std::vector<uint8_t> bytes(memoryImageSize());
    EXPECT_EQ(saveMemoryImage(bytes.data(), bytes.size()), bytes.size());
    return bytes;
}

class Memory : public testing::Test {
protected:
    void SetUp() override { clearMemory(); }
    void TearDown() override { resetDevice(); }
};

TEST_F(Memory, RoundTrip)
{
    fillMemory();
    const std::vector<uint8_t> saved = image();
    clearMemory();
    EXPECT_NE(image(), saved);
    std::string reason;
    ASSERT_TRUE(loadMemoryImage(saved.data(), saved.size(), reason)) << reason;
    EXPECT_EQ(image(), saved);
    EXPECT_EQ(hobbsHours, 1234);
    EXPECT_EQ(clockOffsetSeconds, -3600);
    EXPECT_EQ(flightLogCount, 7);
    EXPECT_EQ(+newestFlight(0)->startTime, 1772000000u + 6 * 7200);
    EXPECT_EQ(+currentFlight.flightPilotNumber, 9);
}

// A clock set to 2099 on a host in 2026 lies more than 2^31 s ahead; the memory must keep it.
TEST_F(Memory, AClockSetFarAheadSurvivesTheRoundTrip)
{
    clockOffsetSeconds = int64_t{4102444799} - int64_t{1772000000};
    const std::vector<uint8_t> saved = image();
    clearMemory();
    std::string reason;
    ASSERT_TRUE(loadMemoryImage(saved.data(), saved.size(), reason)) << reason;
    EXPECT_EQ(clockOffsetSeconds, int64_t{4102444799} - int64_t{1772000000});
}

TEST_F(Memory, DamagedImagesChangeNothing)
{
    fillMemory();
    const std::vector<uint8_t> good = image();
    clearMemory();
    const std::vector<uint8_t> zero = image();
    std::mt19937 random(20261207);
    std::vector<std::vector<uint8_t>> bad;
    for (size_t n : {size_t{0}, size_t{3}, size_t{10}, good.size() / 2, good.size() - 1}) bad.emplace_back(good.begin(), good.begin() + n);
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    bad.push_back(longer);
    // One bit of each byte in turn, the header, every field, every flight and the CRC itself.
    for (size_t at = 0; at < good.size(); ++at) {
        std::vector<uint8_t> flipped = good;
        flipped[at] ^= static_cast<uint8_t>(1u << at % 8);
        bad.push_back(flipped);
    }
    for (int i = 0; i < 20; ++i) {
        std::vector<uint8_t> noise(good.size());
        for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
        bad.push_back(noise);
        noise[0] = 'C', noise[1] = 'V', noise[2] = 'X', noise[3] = 'M';
        bad.push_back(noise);
    }
    for (size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i) + " of " + std::to_string(bad[i].size()) + " bytes");
        std::string reason;
        EXPECT_FALSE(loadMemoryImage(bad[i].data(), bad[i].size(), reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(image(), zero);
    }
}

TEST_F(Memory, AWellSealedImageWithAValueOutOfRangeIsRefused)
{
    maintMinutes = 60;
    const std::vector<uint8_t> outOfRange = image();
    clearMemory();
    std::string reason;
    EXPECT_FALSE(loadMemoryImage(outOfRange.data(), outOfRange.size(), reason));
    EXPECT_EQ(maintMinutes, 0);
}

TEST_F(Memory, FileRoundTripAndAMissingFile)
{
    const fs::path dir = fs::path(testing::TempDir()) / "memory_file";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = (dir / "memory.bin").string();
    std::string reason;
    EXPECT_FALSE(loadMemoryFile(path.c_str(), reason));
    EXPECT_TRUE(reason.empty());
    fillMemory();
    const std::vector<uint8_t> saved = image();
    ASSERT_TRUE(saveMemoryFile(path.c_str(), reason)) << reason;
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    clearMemory();
    ASSERT_TRUE(loadMemoryFile(path.c_str(), reason)) << reason;
    EXPECT_EQ(image(), saved);
    // A truncated file is reported and ignored.
    fs::resize_file(path, 100);
    clearMemory();
    EXPECT_FALSE(loadMemoryFile(path.c_str(), reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(hobbsHours, 0);
    // A pipe of the name is refused at once, never waited on.
    fs::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(loadMemoryFile(path.c_str(), reason));
    EXPECT_FALSE(reason.empty());
    // A save into a folder that is not there fails and leaves nothing.
    EXPECT_FALSE(saveMemoryFile((dir / "gone" / "memory.bin").string().c_str(), reason));
    fs::remove_all(dir);
}

// Files refused in the same second are each kept under a name of their own, none written over.
TEST_F(Memory, EveryRefusedFileIsKeptUnderItsOwnName)
{
    const fs::path dir = fs::path(testing::TempDir()) / "memory_kept";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = (dir / "memory.bin").string(), base = path + ".bad-20260308-101500";
    const struct {
        const char* bytes;
        std::string keptAs;
    } kRefused[] = {{"first", base}, {"second", base + "-2"}, {"third", base + "-3"}};
    for (const auto& r : kRefused) {
        std::ofstream(path, std::ios::binary) << r.bytes;
        const MemoryFileOpening opening = openMemoryFile(path.c_str(), "20260308-101500");
        EXPECT_TRUE(opening.writable);
        EXPECT_EQ(opening.keptAs, r.keptAs);
    }
    for (const auto& r : kRefused) {
        std::ifstream in(r.keptAs, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), r.bytes) << r.keptAs;
    }
    fs::remove_all(dir);
}

TEST_F(Memory, TheRunnerKeepsTheMetersAndTheLogThroughAPowerCycle)
{
    const fs::path dir = fs::path(testing::TempDir()) / "memory_runner";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string file = (dir / "memory.bin").string();
    const ScriptRun first = runScript("memory " + file + "\npower on\npass 1\nset hobbsHours 250\nset maintHours 30\n"
                                      "set flightLog.startTime[0] 1772355600\nset flightLogCount 1\npower off\npass 1\n");
    ASSERT_TRUE(first.ok) << first.error;
    const ScriptRun second = runScript("memory " + file + "\npower on\npass 1\nprint hobbsHours maintHours "
                                       "flightLogCount flightLog.startTime\n");
    ASSERT_TRUE(second.ok) << second.error;
    EXPECT_EQ(second.out.rfind("hobbsHours=250\nmaintHours=30\nflightLogCount=1\nflightLog.startTime[0]=1772355600\n",
                               0), 0u) << second.out;
    // Without the file the runner starts from zero; with a damaged one it says so.
    const ScriptRun plain = runScript("power on\npass 1\nprint hobbsHours\n");
    EXPECT_EQ(plain.out, "hobbsHours=0\n");
    // A file that is not ours survives a power cycle byte for byte, moved aside under a name the
    // runner tells; the memory starts from zero in a new file.
    std::string foreign(3000, '\0');
    std::mt19937 random(7);
    for (char& c : foreign) c = static_cast<char>(random());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << foreign;
    const ScriptRun damaged = runScript("memory " + file + "\nprint hobbsHours\npower on\npass 1\npower off\npass 1\n");
    ASSERT_TRUE(damaged.ok) << damaged.error;
    EXPECT_EQ(damaged.out, "hobbsHours=0\n");
    const size_t at = damaged.notes.find("kept as " + file + ".bad-");
    ASSERT_NE(at, std::string::npos) << damaged.notes;
    const std::string kept = damaged.notes.substr(at + 8, damaged.notes.find(". ", at) - at - 8);
    std::ifstream in(kept, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), foreign) << kept;
    EXPECT_EQ(fs::file_size(file), memoryImageSize());
    // A file that is there but cannot be opened is no first start: it is told apart from a
    // missing one and never written.
    const std::string unreachable = file + "/memory.bin";
    const ScriptRun blocked = runScript("memory " + unreachable + "\npower on\npass 1\npower off\npass 1\n");
    ASSERT_TRUE(blocked.ok) << blocked.error;
    EXPECT_NE(blocked.notes.find("cannot open it"), std::string::npos) << blocked.notes;
    EXPECT_NE(blocked.notes.find("will not be written"), std::string::npos) << blocked.notes;
    EXPECT_EQ(runScript("memory " + (dir / "new.bin").string() + "\n").notes, "");
    // A second memory file that is not loaded starts from zero, not from the first one's meters,
    // and is written so.
    ASSERT_TRUE(runScript("memory " + file + "\nset hobbsHours 250\n").ok);
    std::ofstream(file + "2", std::ios::binary) << foreign;
    for (const std::string& second : {file + "2", (dir / "none.bin").string()}) {
        EXPECT_EQ(runScript("memory " + file + "\nmemory " + second + "\nprint hobbsHours\n").out, "hobbsHours=0\n");
        EXPECT_EQ(runScript("memory " + second + "\nprint hobbsHours\n").out, "hobbsHours=0\n") << second;
    }
    fs::remove_all(dir);
}

}  // namespace

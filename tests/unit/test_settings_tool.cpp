// corvex-settings: dump by name, edits through the range repair, byte-for-byte round trips,
// refusals that write nothing, and any file at all read without harm.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "device.h"
#include "scenario/settings_tool.h"
#include "settings/settings.h"

namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun tool(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = settingsToolMain(args, out, err);
    return {status, out.str(), err.str()};
}

std::string path(const std::string& name) { return (std::filesystem::path(testing::TempDir()) / name).string(); }

std::string bytesOf(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

std::string factoryFile(const std::string& name)
{
    resetDevice();
    const Settings& f = factorySettings();
    writeBytes(path(name), std::string(reinterpret_cast<const char*>(&f), sizeof f));
    return path(name);
}

TEST(SettingsTool, DumpNamesEveryFieldOnceAndFlagsWhatRecallRepairs)
{
    const std::string file = factoryFile("dump.ems");
    ToolRun r = tool({"dump", file});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("formatCode=112\n", 0), 0u);
    EXPECT_NE(r.out.find("tank1Calibration[5]="), std::string::npos);
    EXPECT_EQ(r.out.find("# recall repairs"), std::string::npos) << "the factory record needs no repair";

    std::string bytes = bytesOf(file);
    const Settings& f = factorySettings();
    bytes[reinterpret_cast<const char*>(&f.dataRecordingOn) - reinterpret_cast<const char*>(&f)] = 7;
    writeBytes(file, bytes);
    r = tool({"dump", file});
    EXPECT_NE(r.out.find("dataRecordingOn=7  # recall repairs to "), std::string::npos) << r.out;
}

TEST(SettingsTool, SetThenSetBackIsTheSameFileByteForByte)
{
    const std::string file = factoryFile("roundtrip.ems");
    const std::string original = bytesOf(file);
    ASSERT_EQ(tool({"set", file, "oatLowAlarmOn=0", "tank1Calibration[2]=300"}).status, 0);
    ToolRun r = tool({"diff", path("roundtrip.ems"), factoryFile("factory.ems")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("oatLowAlarmOn: 0 -> 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("tank1Calibration[2]: 300 -> "), std::string::npos) << r.out;

    // Every line of the factory dump written back gives the factory file again.
    std::istringstream lines(tool({"dump", path("factory.ems")}).out);
    std::vector<std::string> args = {"set", file};
    for (std::string line; std::getline(lines, line);) args.push_back(line);
    r = tool(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(bytesOf(file), original);
    EXPECT_EQ(tool({"diff", file, path("factory.ems")}).status, 0);
    EXPECT_FALSE(std::filesystem::exists(file + ".new"));
}

TEST(SettingsTool, RefusalsNameTheProblemAndWriteNothing)
{
    const std::string file = factoryFile("refuse.ems");
    const std::string original = bytesOf(file);
    std::filesystem::remove(path("pipe.ems"));
    ASSERT_EQ(mkfifo(path("pipe.ems").c_str(), 0600), 0);  // refused, never waited on
    std::filesystem::create_directories(path("folder.ems"));
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"set", file, "dataRecordingOn=5"}, "dataRecordingOn=5 is outside its range 0..1"},
        {{"set", file, "dataRecordingOn=300"}, "dataRecordingOn=300 is outside its range 0..1"},
        {{"set", file, "dataRecordingOn=x"}, "dataRecordingOn: not a whole number: x"},
        {{"set", file, "oatLowAlarmOn=1", "noSuchField=1"}, "no settings field named noSuchField"},
        {{"set", file, "tank1Calibration=1"}, "tank1Calibration is an array"},
        {{"set", file, "tank1Calibration[9]=1"}, "index 9 is outside tank1Calibration[0..5]"},
        {{"set", file, "oatLowAlarmOn"}, "want NAME=VALUE"},
        {{"set", file}, "usage"},
        {{"dump", path("missing.ems")}, "cannot read"},
        {{"dump", path("pipe.ems")}, "cannot read"},
        {{"diff", path("folder.ems"), file}, "cannot read"},
        {{"frobnicate"}, "usage"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const ToolRun r = tool(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(bytesOf(file), original);
    }
}

TEST(SettingsTool, AnyFileIsReadWithoutHarm)
{
    std::mt19937 random(20261207);
    for (int round = 0; round < 20; ++round) {
        std::string bytes(random() % (2 * sizeof(Settings) + 1), '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        const std::string file = path("random.ems");
        writeBytes(file, bytes);
        EXPECT_EQ(tool({"dump", file}).status, 0);
        EXPECT_LE(tool({"diff", file, factoryFile("factory2.ems")}).status, 1);
        const ToolRun r = tool({"set", file, "oatLowAlarmOn=1"});
        EXPECT_LE(r.status, 2);
        // Once written, the file holds a repaired record: nothing left to flag.
        if (r.status == 0) {
            EXPECT_EQ(tool({"dump", file}).out.find("# recall repairs"), std::string::npos);
        }
    }
}

}  // namespace

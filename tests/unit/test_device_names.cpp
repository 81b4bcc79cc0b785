// Where the instrument is, by name: every device variable and every byte of the packed records
// reachable in the runner, screens printed and set by their registered names, and resetDevice
// bringing every named variable back to a fresh program's value.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "device.h"
#include "engine/engine.h"
#include "engine/setup_screens.h"
#include "scenario/variables.h"
#include "script_support.h"
#include "settings/settings.h"
#include "time/flight.h"
#include "ui/screen.h"

namespace fs = std::filesystem;

namespace {

size_t bytesOf(const DeviceVariable& v)
{
    switch (v.type) {
    case VariableType::U8: case VariableType::I8: case VariableType::Text: return static_cast<size_t>(v.count);
    case VariableType::U16: case VariableType::I16: return 2u * static_cast<size_t>(v.count);
    case VariableType::I64: return 8u * static_cast<size_t>(v.count);
    case VariableType::Screen: return sizeof(ScreenFunction);
    default: return 4u * static_cast<size_t>(v.count);
    }
}

// Names declared by "extern" in the core's headers (constants aside).
std::vector<std::string> declaredDeviceVariables()
{
    std::vector<std::string> names;
    const fs::path src = fs::path(CORVEX_SOURCE_DIR) / "src";
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string rel = fs::relative(entry.path(), src).generic_string();
        const std::string folder = rel.find('/') == std::string::npos ? "" : rel.substr(0, rel.find('/'));
        const bool core = folder.empty() || folder == "display" || folder == "engine" || folder == "ui" ||
                          folder == "settings" || folder == "time" || folder == "gps";
        if (entry.path().extension() != ".h" || !core) continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            if (!line.starts_with("extern ") || line.starts_with("extern const ")) continue;
            line = line.substr(0, line.find("//"));
            line = line.substr(7, line.find(';') - 7);
            std::istringstream declarators(line.substr(line.find(' ') + 1));  // after the type
            for (std::string d; std::getline(declarators, d, ',');) {
                d = d.substr(0, d.find('['));
                d.erase(0, d.find_first_not_of(" &*"));
                d.erase(d.find_last_not_of(' ') + 1);
                if (!d.empty()) names.push_back(d);
            }
        }
    }
    return names;
}

TEST(DeviceNames, EveryDeviceVariableIsReachableInTheRunner)
{
    // Reached another way: the records byte by byte (below), the host's controls by the runner's
    // input and check commands, the images by screenshot, flowWindow is fuelTimingInputs[1], the
    // drawing switches by the runner's option and each pass.
    const std::map<std::string, const char*> elsewhere = {
        {"settings", "byte by byte"}, {"calibration", "byte by byte"}, {"hostControls", "input and check"},
        {"framebuffer", "screenshot"}, {"backgroundBuffer", "screenshot"}, {"flowWindow", "fuelTimingInputs"},
        {"deviceDrawEveryPass", "--draw-every-pass"}, {"displayDrawing", "devicePass"},
    };
    const std::vector<std::string> declared = declaredDeviceVariables();
    ASSERT_GT(declared.size(), 150u);
    for (const std::string& name : declared) {
        if (elsewhere.count(name)) continue;
        bool found = false;
        for (const DeviceVariable& v : allDeviceVariables()) {
            const std::string n = v.name;
            found = found || n == name || n.starts_with(name + ".") || n.starts_with(name + "[");
        }
        EXPECT_TRUE(found) << name << " has no runner name";
    }
}

// Every byte of a packed record lies inside some runner variable.
void expectEveryByteNamed(const void* record, size_t size, const char* what)
{
    const auto* begin = static_cast<const uint8_t*>(record);
    std::vector<int> covered(size, 0);
    for (const DeviceVariable& v : allDeviceVariables()) {
        const auto* p = static_cast<const uint8_t*>(v.address);
        if (p < begin || p >= begin + size) continue;
        for (size_t b = 0; b < bytesOf(v) && p - begin + b < size; ++b) ++covered[p - begin + b];
    }
    for (size_t b = 0; b < size; ++b) EXPECT_GE(covered[b], 1) << what << " byte " << b;
}

TEST(DeviceNames, EveryByteOfThePackedRecordsIsNamed)
{
    expectEveryByteNamed(&settings, sizeof settings, "settings");
    expectEveryByteNamed(&calibration, sizeof calibration, "calibration");
    expectEveryByteNamed(&currentFlight, sizeof currentFlight, "currentFlight");
    expectEveryByteNamed(&workingCurve, sizeof workingCurve, "workingCurve");
}

TEST(DeviceNames, ScriptsSayWhereTheInstrumentIs)
{
    ScriptRun r = runScript("print currentScreen overlayScreen returnScreen rpmFactor cursorLine editMode listTop\n"
                            "set currentScreen mainMenuScreen\nset returnScreen none\nprint currentScreen returnScreen");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.out, "currentScreen=homeScreen\noverlayScreen=none\nreturnScreen=homeScreen\nrpmFactor=1558600\n"
                     "cursorLine=0\neditMode=0\nlistTop=0\ncurrentScreen=mainMenuScreen\nreturnScreen=none\n");
    r = runScript("set overlayScreen noSuchScreen");
    EXPECT_EQ(r.error, "line 1: no screen named noSuchScreen");
    r = runScript("power on\nkey 1\npass 1\nkey 1\npass 1\nset currentScreen mapSetupScreen\npass 1\n"
                  "key plus\npass 1\nprint currentScreen cursorLine");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.out, "currentScreen=mapSetupScreen\ncursorLine=1\n");
}

std::vector<std::vector<uint8_t>> snapshot()
{
    std::vector<std::vector<uint8_t>> bytes;
    for (const DeviceVariable& v : allDeviceVariables()) {
        const auto* p = static_cast<const uint8_t*>(v.address);
        bytes.emplace_back(p, p + bytesOf(v));
    }
    return bytes;
}

TEST(DeviceNames, ResetDeviceRestoresEveryNamedVariable)
{
    resetDevice();
    const auto fresh = snapshot();
    for (const DeviceVariable& v : allDeviceVariables()) {
        if (v.type == VariableType::Screen) *static_cast<ScreenFunction*>(v.address) = messageScreen;
        else std::memset(v.address, 0x5A, bytesOf(v));
    }
    resetDevice();
    const auto after = snapshot();
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i], fresh[i]) << allDeviceVariables()[i].name << " is not reset by resetDevice";
    EXPECT_FALSE(deviceIsOn());
    EXPECT_EQ(+settings.rpm1PulsesPerRev, 60) << "factory settings";
}

}  // namespace

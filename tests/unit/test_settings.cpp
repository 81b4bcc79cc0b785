// The settings record: factory image, the settings file on the card (round trip, short and foreign
// files, failed saves, no card), range repair of recalled records, and the runner's field names.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "card_support.h"
#include "device.h"
#include "engine/fuel.h"
#include "scenario/scenario.h"
#include "scenario/variable_table.h"
#include "scenario/variables.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "ui/screen.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes image()
{
    const auto* p = reinterpret_cast<const uint8_t*>(&settings);
    return Bytes(p, p + sizeof settings);
}

// "" when equal, else where two images first part.
std::string difference(const Bytes& a, const Bytes& b)
{
    if (a.size() != b.size()) return std::to_string(a.size()) + " bytes against " + std::to_string(b.size());
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return "byte " + std::to_string(i) + ": " + std::to_string(a[i]) + " against " + std::to_string(b[i]);
    return "";
}

std::string field(const std::string& name)
{
    const DeviceVariable* v = findDeviceVariable(name);
    if (!v) return "unknown " + name;
    std::ostringstream out;
    printDeviceVariable(*v, out);
    std::string text = out.str();
    return text.substr(name.size() + 1, text.size() - name.size() - 2);  // NAME=VALUE\n
}

void setField(const std::string& name, const std::string& value)
{
    const DeviceVariable* v = findDeviceVariable(name);
    ASSERT_NE(v, nullptr) << name;
    std::string error;
    ASSERT_TRUE(setDeviceVariable(*v, value, error)) << name << ": " << error;
}

class SettingsTest : public testing::Test {
protected:
    fs::path card;

    void SetUp() override
    {
        resetDevice();
        card = freshCardFolder("settings_card_");
        sdCardPresent = 1;
        loadDefaultSettings();
        currentScreen = homeScreen;
    }
    void TearDown() override
    {
        resetDevice();
        fs::remove_all(card);
    }

    fs::path file(const char* name = SETTINGS_FILE_NAME) const { return card / name; }

    Bytes readCardFile(const char* name = SETTINGS_FILE_NAME) const
    {
        std::ifstream in(file(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void writeCardFile(const Bytes& b) const
    {
        std::ofstream(file(), std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }

    // A record that differs from the factory one in many fields (multi-byte, text and sub-record
    // ones among them), yet lies within every limit.
    static Bytes changedRecord()
    {
        loadDefaultSettings();
        settings.dataRecordingOn = 0;
        settings.oatDisplayMax = 120;
        settings.mapUnit = 0;
        settings.mapDisplayMax = 2000;
        settings.rpm1PulsesPerRev = 0x0120;  // 28.8 pulses: both bytes differ from 60
        settings.rpm1FullScale = 7123;
        std::memcpy(settings.aircraftRegistration, "G-ABCD  ", 9);
        settings.pressureSender[2].curve.points[3] = {55, 999};
        settings.temperatureSender[3].lm335Offset = -12;
        settings.currentSender[1].currentSpan = 75;
        settings.hobbsCode = 4321;
        settings.utcOffsetMinutes = -90;
        settings.tank2Calibration[4] = 1234;
        std::snprintf(settings.lastDocumentPath, sizeof settings.lastDocumentPath, "SDCARD/CHECKLST/PREFLT.TXT");
        settings.fuelPressureSender.label = 3;
        settings.currentSensor.highAlarm = 90;
        settings.tankLitreResolution = 1;
        return image();
    }
};

// ---- The factory image, as a fresh save writes it ----

TEST_F(SettingsTest, AFreshSaveHoldsTheFactoryBytesAtTheirOffsets)
{
    ASSERT_TRUE(saveSettingsFile());
    const Bytes saved = readCardFile();
    ASSERT_EQ(saved.size(), 1148u);
    EXPECT_EQ(difference(saved, image()), "");
    const struct {
        size_t offset;
        Bytes bytes;
        const char* what;
    } expected[] = {
        {0, {0x70, 0x00, 1}, "formatCode 112, data recording on"},
        {5, {0xCE, 0xFF}, "oatDisplayMin -50"},
        {30, {0xBB, 0x01}, "mapDisplayMax 443"},
        {47, {0x70, 0x17, 0, 0}, "rpm1FullScale 6000"},
        {77, {60, 0, 0, 2}, "rpm1PulsesPerRev, rpm1Resolution, rpm2DisplayMode"},
        {120, {3, 'R', 'E', 'G', ' ', 'N', 'O', ' ', ' ', 0, 0}, "baud index, registration, flight detect"},
        {131, {0xE8, 0x03, 0, 0, 30, 0}, "flight detect rpm and speed"},
        {142, {0, 0, 0, 0, 0, 100, 0, 4}, "pressureSender[0] up to its label"},
        {142 + 89 + 7, {0}, "pressureSender[1].label OIL"},
        {142 + 24, {6, 0, 0, 20, 0, 20, 0, 128, 0}, "pressure curve: 6 points, (0,20), (20,128)"},
        {142 + 24 + 1 + 6 * 4, {0, 0, 0, 0}, "first unused curve point"},
        {498, {0, 150, 0}, "temperatureSender[0] label OIL, display max"},
        {498 + 82, {3}, "temperatureSender[1] label AUX"},
        {498 + 15, {1, 0, 10, 10, 0, 0xD0, 0x07}, "VDO 150, LM335 0, temperature curve (10,2000)"},
        {826, {50, 0, 0xCE, 0xFF, 0xD8, 0xFF, 1}, "currentSender[0] max, min, low alarm"},
        {890, {0xE8, 0x03, 0, 0, 0, 0, 0, 0, 0, 2, 1}, "Hobbs, UTC offset, RTC source, EGT channels and mode"},
        {947, {0x29, 0x03, 0xA8, 0x02}, "tank1Calibration 809, 680"},
        {980, {31, 1, 0, 0, 1, 1, 0, 0, 0}, "backlight .. empty document path"},
        {1038, {1, 1, 2, 2, 0, 0, 100, 0, 0}, "fuel pressure on, 0-5V, UMA, psi(0.1), label 0"},
        {1128, {0, 50, 0}, "current off, currentSensor.displayMax"},
        {1145, {0, 1, 0}, "RPM labels, litre resolution"},
    };
    for (const auto& e : expected) {
        const auto at = saved.begin() + static_cast<long>(e.offset);
        EXPECT_EQ(Bytes(at, at + static_cast<long>(e.bytes.size())), e.bytes) << e.what;
    }
    EXPECT_EQ(rpmFactor, 1558600u);
    EXPECT_EQ(currentScreen, messageScreen);
    EXPECT_EQ(returnScreen, homeScreen);
}

TEST_F(SettingsTest, FactoryValuesPassTheirOwnLimits)
{
    const Bytes before = image();
    sanitiseSettings();
    EXPECT_EQ(difference(image(), before), "");
}

// ---- Recall ----

TEST_F(SettingsTest, SaveAndRecallRoundTripByteForByte)
{
    const Bytes changed = changedRecord();
    ASSERT_TRUE(saveSettingsFile());
    EXPECT_EQ(difference(readCardFile(), changed), "");
    EXPECT_FALSE(fs::exists(file(SETTINGS_FILE_NEW_NAME)));
    loadDefaultSettings();
    currentScreen = homeScreen;
    ASSERT_TRUE(recallSettingsFile());
    EXPECT_EQ(difference(image(), changed), "");
    EXPECT_EQ(rpmFactor, (6000u / 0x0120u) * 15586u);
    EXPECT_EQ(currentScreen, messageScreen);
    EXPECT_EQ(returnScreen, homeScreen);
}

TEST_F(SettingsTest, AFileReplacesOnlyAsManyLeadingBytesAsItHolds)
{
    Bytes file = changedRecord();
    file.resize(2000, 0xEE);  // bytes past the record are ignored
    for (const size_t length : {0, 1, 3, 4, 78, 500, 1147, 1148, 2000}) {
        loadDefaultSettings();
        const Bytes before = image();
        writeCardFile(Bytes(file.begin(), file.begin() + static_cast<long>(length)));
        ASSERT_TRUE(recallSettingsFile()) << length;
        Bytes expected = before;
        std::copy_n(file.begin(), std::min<size_t>(length, 1148), expected.begin());
        expected[0] = 112, expected[1] = 0;
        EXPECT_EQ(difference(image(), expected), "") << length << " bytes";
    }
    // 78 bytes end inside rpm1PulsesPerRev: its low byte is new, its high byte old, and the
    // RPM factor follows the half-new value at once.
    loadDefaultSettings();
    writeCardFile(Bytes(file.begin(), file.begin() + 78));
    recallSettingsFile();
    EXPECT_EQ(+settings.rpm1PulsesPerRev, 0x0020);
    EXPECT_EQ(rpmFactor, (6000u / 0x20u) * 15586u);
}

TEST_F(SettingsTest, AThreeByteFileChangesOnlyDataRecording)
{
    writeCardFile({0x01, 0x02, 0x00});
    const Bytes before = image();
    recallSettingsFile();
    Bytes expected = before;
    expected[2] = 0;
    EXPECT_EQ(difference(image(), expected), "");
}

TEST_F(SettingsTest, AForeignFormatCodeIsReplacedAndTheRestLoaded)
{
    Bytes file = changedRecord();
    file[0] = 0x34, file[1] = 0x12;
    loadDefaultSettings();
    writeCardFile(file);
    recallSettingsFile();
    EXPECT_EQ(+settings.formatCode, 112);
    file[0] = 112, file[1] = 0;
    EXPECT_EQ(difference(image(), file), "");
}

// The fuel area, range and endurance follow the recalled setup at once, not after a power cycle.
TEST_F(SettingsTest, ARecalledFuelSetupChangesTheLayoutAtOnce)
{
    settings.flow1On = 1;
    settings.flow2On = 1;
    settings.tank1Source = 1;
    settings.tank2Source = 0;
    settings.dualFlowMode = 1;  // DIFFERENTIAL
    ASSERT_TRUE(saveSettingsFile());
    loadDefaultSettings();
    ASSERT_EQ(+fuelLayout, 0);
    ASSERT_TRUE(recallSettingsFile());
    EXPECT_EQ(+fuelLayout, 11);
}

TEST_F(SettingsTest, ARecalledPulseCountChangesTheRpmFactorAtOnce)
{
    settings.rpm1PulsesPerRev = 20;
    saveSettingsFile();
    loadDefaultSettings();
    ASSERT_EQ(rpmFactor, 1558600u);
    recallSettingsFile();
    EXPECT_EQ(rpmFactor, 300u * 15586u);
}

TEST_F(SettingsTest, PowerCycleBringsBackEveryFactoryByte)
{
    Bytes file = changedRecord();
    file.resize(1148);
    writeCardFile(file);
    recallSettingsFile();
    ASSERT_EQ(+settings.fuelPressureSender.label, 3);
    devicePowerOn();
    const auto* factory = reinterpret_cast<const uint8_t*>(&factorySettings());
    EXPECT_EQ(difference(image(), Bytes(factory, factory + sizeof(Settings))), "");
    EXPECT_EQ(rpmFactor, 1558600u);
}

// ---- Card absent, unwritable, failing part-way ----

TEST_F(SettingsTest, WithoutACardNeitherActionTouchesFileRecordOrScreen)
{
    const Bytes onCard = changedRecord();
    writeCardFile(onCard);
    loadDefaultSettings();
    settings.backlight = 8;
    const Bytes inRam = image();
    sdCardPresent = 0;
    EXPECT_FALSE(saveSettingsFile());
    EXPECT_FALSE(recallSettingsFile());
    EXPECT_EQ(difference(readCardFile(), onCard), "");
    EXPECT_EQ(difference(image(), inRam), "");
    EXPECT_EQ(currentScreen, homeScreen);
}

TEST_F(SettingsTest, AFileThatCannotBeOpenedEndsOnFailed)
{
    setSdCardFolder((card / "missing").string().c_str());
    settings.backlight = 8;
    const Bytes inRam = image();
    EXPECT_FALSE(recallSettingsFile());
    EXPECT_EQ(difference(image(), inRam), "");
    EXPECT_EQ(currentScreen, messageScreen);
    EXPECT_EQ(+messageFailed, 1);
    currentScreen = homeScreen;
    EXPECT_FALSE(saveSettingsFile());
    EXPECT_EQ(currentScreen, messageScreen);
    EXPECT_EQ(+messageFailed, 1);
    EXPECT_FALSE(fs::exists(card / "missing"));
    // A pipe of the file's name is refused at once, never waited on.
    setSdCardFolder(card.string().c_str());
    ASSERT_EQ(mkfifo(file(SETTINGS_FILE_NAME).c_str(), 0600), 0);
    EXPECT_FALSE(recallSettingsFile());
    EXPECT_EQ(difference(image(), inRam), "");
}

TEST_F(SettingsTest, AFailedSaveKeepsTheOldFileAndLeavesNoPartialOne)
{
    const Bytes old = changedRecord();
    writeCardFile(old);
    loadDefaultSettings();

    // The new file cannot be created at all: a folder that is not empty holds its name.
    fs::create_directories(file(SETTINGS_FILE_NEW_NAME) / "inside");
    EXPECT_FALSE(saveSettingsFile());
    EXPECT_EQ(difference(readCardFile(), old), "");
    EXPECT_EQ(currentScreen, messageScreen);
    fs::remove_all(file(SETTINGS_FILE_NEW_NAME));

    // The new file opens but the card fills up while it is written.
    writeBudget = 10;
    EXPECT_FALSE(saveSettingsFile());
    writeBudget = -1;
    EXPECT_EQ(difference(readCardFile(), old), "");
    EXPECT_FALSE(fs::exists(fs::symlink_status(file(SETTINGS_FILE_NEW_NAME))));

    // Then a save that works replaces the whole file, however long it was.
    writeCardFile(Bytes(3000, 0xAA));
    EXPECT_TRUE(saveSettingsFile());
    EXPECT_EQ(difference(readCardFile(), image()), "");
}

// ---- Range repair ----

// Each case sets fields by name on the factory record, repairs it, and expects exactly the listed
// fields to differ from the record as set: nothing else may move.
TEST_F(SettingsTest, RepairClampsNumbersAndResetsIndicesOnlyWhereNeeded)
{
    using Assignments = std::vector<std::pair<std::string, std::string>>;
    const struct {
        Assignments set;
        Assignments expect;
    } cases[] = {
        {{{"rpm1PulsesPerRev", "0"}}, {{"rpm1PulsesPerRev", "1"}}},
        {{{"rpm1PulsesPerRev", "-7"}}, {{"rpm1PulsesPerRev", "1"}}},
        {{{"rpm2PulsesPerRev", "6000"}}, {{"rpm2PulsesPerRev", "5000"}}},
        {{{"rpm1FullScale", "0"}}, {{"rpm1FullScale", "100"}}},
        {{{"rpm2FullScale", "-1"}}, {{"rpm2FullScale", "100"}}},
        {{{"flow1KFactor", "0"}}, {{"flow1KFactor", "10"}}},
        {{{"flow2KFactor", "65535"}}, {{"flow2KFactor", "60000"}}},
        {{{"tank1Size", "0"}}, {{"tank1Size", "1"}, {"tank1LowAlarm", "1"}, {"tank1LowCaution", "1"}}},
        {{{"tank2Size", "5000"}}, {{"tank2Size", "999"}}},
        {{{"tank1LowCaution", "100"}}, {{"tank1LowCaution", "45"}}},
        {{{"tank2Calibration[3]", "5000"}}, {{"tank2Calibration[3]", "4096"}}},
        {{{"backlight", "0"}}, {{"backlight", "4"}}},
        {{{"backlight", "255"}}, {{"backlight", "31"}}},
        {{{"gpsBaudRate", "10"}}, {{"gpsBaudRate", "3"}}},
        {{{"gpsManualVariation", "-200"}}, {{"gpsManualVariation", "-180"}}},
        {{{"utcOffsetMinutes", "900"}}, {{"utcOffsetMinutes", "780"}}},
        {{{"rpm2Label", "7"}}, {{"rpm2Label", "1"}}},
        {{{"egtProbe", "3"}}, {{"egtProbe", "0"}}},
        {{{"fuelUnit", "6"}}, {{"fuelUnit", "0"}}},
        {{{"oilTempFunction", "1"}}, {{"oilTempFunction", "2"}}},
        {{{"oilTempFunction", "0"}}, {}},
        {{{"oilPressureFunction", "2"}}, {{"oilPressureFunction", "1"}}},
        {{{"aux24Function", "4"}}, {{"aux24Function", "3"}}},
        {{{"hobbsMinRpm", "0"}}, {{"hobbsMinRpm", "100"}}},
        {{{"hobbsCode", "10000"}}, {{"hobbsCode", "9999"}}},
        {{{"voltsHighAlarm", "0"}}, {{"voltsHighAlarm", "80"}}},
        {{{"formatCode", "7"}}, {{"formatCode", "112"}}},
        {{{"lastDocumentKind", "3"}}, {{"lastDocumentKind", "0"}}},
        {{{"pilotNumber", "255"}}, {}},
        // Limits that follow a unit: the OAT ones follow temperatureUnit, not oatUnit.
        {{{"oatDisplayMax", "500"}}, {{"oatDisplayMax", "150"}}},
        {{{"oatUnit", "1"}, {"oatDisplayMax", "500"}}, {{"oatDisplayMax", "150"}}},
        {{{"temperatureUnit", "1"}, {"oatDisplayMax", "500"}, {"egtDisplayMax", "5000"},
          {"temperatureSender[2].displayMax", "1000"}},
         {{"oatDisplayMax", "302"}, {"egtDisplayMax", "2190"}, {"temperatureSender[2].displayMax", "571"},
          {"chtDisplayMin", "30"}}},
        {{{"temperatureSender[0].lowAlarm", "-100"}}, {{"temperatureSender[0].lowAlarm", "-40"}}},
        {{{"mapDisplayMax", "5000"}}, {{"mapDisplayMax", "738"}}},
        {{{"mapUnit", "0"}, {"mapDisplayMax", "5000"}, {"mapDisplayMin", "0"}},
         {{"mapDisplayMax", "2500"}, {"mapDisplayMin", "250"}}},
        {{{"pressureSender[0].displayMax", "500"}}, {{"pressureSender[0].displayMax", "100"}}},
        {{{"pressureSender[0].pressureUnit", "1"}, {"pressureSender[0].displayMax", "500"}},
         {{"pressureSender[0].displayMax", "150"}}},
        {{{"fuelPressureSender.pressureAt20mA", "5000"}}, {{"fuelPressureSender.pressureAt20mA", "999"}}},
        {{{"pressureSender[3].pressureUnit", "3"}}, {{"pressureSender[3].pressureUnit", "0"}}},
        {{{"pressureSender[2].umaModel", "6"}}, {{"pressureSender[2].umaModel", "0"}}},
        {{{"pressureSender[2].umaModel", "5"}}, {}},
        {{{"pressureSender[1].label", "9"}, {"pressureSender[0].label", "9"}},
         {{"pressureSender[1].label", "0"}, {"pressureSender[0].label", "4"}}},
        {{{"temperatureSender[3].sender", "6"}}, {{"temperatureSender[3].sender", "1"}}},
        {{{"temperatureSender[1].lm335Offset", "-100"}}, {{"temperatureSender[1].lm335Offset", "-30"}}},
        {{{"currentSensor.currentSpan", "0"}}, {{"currentSensor.currentSpan", "1"}}},
        {{{"currentSender[1].lowAlarm", "-300"}}, {{"currentSender[1].lowAlarm", "-100"}}},
        // The twelve thermocouple inputs are shared, and NTC CHTs exist only on AUX 3 and 4.
        {{{"chtChannels", "20"}}, {{"chtChannels", "10"}}},
        {{{"egtChannels", "13"}}, {{"egtChannels", "12"}, {"chtChannels", "0"}}},
        {{{"egtChannels", "11"}, {"chtChannels", "5"}}, {{"chtChannels", "1"}}},
        {{{"chtProbe", "3"}, {"chtChannels", "5"}}, {{"chtChannels", "2"}}},
    };
    for (const auto& c : cases) {
        std::string label;
        for (const auto& [name, value] : c.set) label += name + "=" + value + " ";
        loadDefaultSettings();
        for (const auto& [name, value] : c.set) setField(name, value);
        sanitiseSettings();
        for (const auto& [name, value] : c.expect) EXPECT_EQ(field(name), value) << label;
        const Bytes repaired = image();
        loadDefaultSettings();
        for (const auto& [name, value] : c.set) setField(name, value);
        for (const auto& [name, value] : c.expect) setField(name, value);
        EXPECT_EQ(difference(repaired, image()), "") << label << "changed more than expected";
    }
}

// Curves are trimmed into what CALIBRATE SENDER can make and otherwise kept: a user's curve is
// never swapped for the factory one.
TEST_F(SettingsTest, RepairTrimsCurvesAndKeepsTheUsersPoints)
{
    const struct {
        const char* what;
        void (*damage)(SenderCurve&);
        void (*expected)(SenderCurve&);
    } cases[] = {
        {"no points", [](SenderCurve& c) { c.pointCount = 0; }, [](SenderCurve& c) { c.pointCount = 2; }},
        {"one point", [](SenderCurve& c) { c.pointCount = 1; }, [](SenderCurve& c) { c.pointCount = 2; }},
        {"too many points", [](SenderCurve& c) { c.pointCount = 17; }, [](SenderCurve& c) { c.pointCount = 16; }},
        {"equal neighbouring readings", [](SenderCurve& c) { c.points[3].reading = c.points[2].reading; },
         [](SenderCurve& c) { c.points[3].reading = c.points[2].reading; }},
        {"values and readings out of range", [](SenderCurve& c) { c.points[1] = {-5, 5000}, c.points[9] = {1000, -1}; },
         [](SenderCurve& c) { c.points[1] = {0, 4095}, c.points[9] = {999, 0}; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        loadDefaultSettings();
        SenderCurve expected = settings.pressureSender[2].curve;
        c.damage(settings.pressureSender[2].curve);
        c.expected(expected);
        sanitiseSettings();
        EXPECT_EQ(std::memcmp(&settings.pressureSender[2].curve, &expected, sizeof expected), 0);
    }
}

// Raising POINTS on CALIBRATE SENDER adds points at reading 0; saved part way through, the curve
// comes back from the card as it was left.
TEST_F(SettingsTest, AHalfCalibratedCurveSurvivesSaveAndRecall)
{
    SenderCurve& curve = settings.temperatureSender[1].curve;
    curve.pointCount = 5;
    curve.points[0] = {20, 3000};
    curve.points[1] = {120, 900};
    const SenderCurve userCurve = curve;
    ASSERT_TRUE(saveSettingsFile());
    loadDefaultSettings();
    ASSERT_TRUE(recallSettingsFile());
    EXPECT_EQ(std::memcmp(&settings.temperatureSender[1].curve, &userCurve, sizeof userCurve), 0);
}

TEST_F(SettingsTest, RepairMakesTextPrintableAndTerminated)
{
    std::memcpy(settings.aircraftRegistration, "\x01G-A\x7f\xff" "CDX", 9);  // no terminator
    std::memset(settings.lastDocumentPath, 'A', sizeof settings.lastDocumentPath);
    sanitiseSettings();
    EXPECT_EQ(std::string(settings.aircraftRegistration, 9), std::string(" G-A  CD\0", 9));
    EXPECT_EQ(std::string(settings.lastDocumentPath), std::string(49, 'A'));
    std::snprintf(settings.lastDocumentPath, sizeof settings.lastDocumentPath, "SDCARD/I\tNFO");
    sanitiseSettings();
    EXPECT_STREQ(settings.lastDocumentPath, "SDCARD/I");
}

// A recalled file of random bytes must leave every field the instrument divides by, indexes with
// or prints within what the setup screens allow.
TEST_F(SettingsTest, RandomFilesAreRepairedIntoRange)
{
    const struct {
        const char* name;
        int64_t min, max;
    } limits[] = {
        {"rpm1PulsesPerRev", 1, 5000}, {"rpm2PulsesPerRev", 1, 5000}, {"rpm1FullScale", 100, 99000},
        {"rpm2FullScale", 100, 99000}, {"flow1KFactor", 10, 60000}, {"flow2KFactor", 10, 60000},
        {"tank1Size", 1, 999}, {"tank2Size", 1, 999}, {"currentSensor.currentSpan", 1, 100},
        {"mapFilter", 0, 2}, {"rpm1DisplayMode", 0, 2}, {"rpm1Resolution", 0, 3}, {"rpm2Resolution", 0, 3},
        {"gpsPositionFormat", 0, 2}, {"gpsBaudRate", 0, 9}, {"aux13Function", 0, 3}, {"aux24Function", 0, 3},
        {"egtChannels", 0, 12}, {"egtProbe", 0, 2}, {"chtProbe", 0, 3}, {"egtScanTime", 0, 6},
        {"chtScanTime", 0, 6}, {"fuelSpeedSource", 0, 2}, {"fuelUnit", 0, 5}, {"dualFlowMode", 0, 2},
        {"tank1Source", 0, 2}, {"tank2Source", 0, 2}, {"tank1Filter", 0, 3}, {"tank2Filter", 0, 3},
        {"backlight", 4, 31}, {"lastDocumentKind", 0, 2}, {"rpm1Label", 0, 6}, {"rpm2Label", 0, 6},
        {"fuelPressureSender.type", 0, 2}, {"fuelPressureSender.umaModel", 0, 5},
        {"fuelPressureSender.vdoModel", 0, 2}, {"fuelPressureSender.pressureUnit", 0, 2},
        {"fuelPressureSender.label", 0, 4}, {"temperatureSender[3].sender", 0, 5},
        {"temperatureSender[2].label", 0, 3}, {"pressureSender[1].senderSource", 0, 2},
        {"currentSender[3].currentSpan", 1, 100}, {"formatCode", 112, 112},
    };
    std::mt19937 random(20260301);
    for (int trial = 0; trial < 200; ++trial) {
        Bytes file(1148);
        for (uint8_t& b : file) b = static_cast<uint8_t>(random());
        writeCardFile(file);
        ASSERT_TRUE(recallSettingsFile());
        for (const auto& l : limits) {
            const int64_t v = std::stoll(field(l.name));
            EXPECT_TRUE(v >= l.min && v <= l.max) << l.name << "=" << v << " in trial " << trial;
        }
        EXPECT_LE(+settings.egtChannels + settings.chtChannels, 12);
        EXPECT_TRUE(settings.chtProbe != 3 || settings.chtChannels <= 2);
        EXPECT_LE(+settings.tank1LowAlarm, +settings.tank1Size);
        EXPECT_EQ(+settings.aircraftRegistration[8], '\0');
        EXPECT_EQ(std::strlen(settings.aircraftRegistration), 8u);
        EXPECT_LT(std::strlen(settings.lastDocumentPath), 50u);
        for (const char ch : std::string(settings.aircraftRegistration) + settings.lastDocumentPath)
            EXPECT_TRUE(ch >= 32 && ch <= 126) << "trial " << trial;
        const SenderCurve* curves[] = {&settings.pressureSender[0].curve, &settings.pressureSender[3].curve,
                                       &settings.temperatureSender[1].curve, &settings.fuelPressureSender.curve};
        for (const SenderCurve* curve : curves) {
            ASSERT_GE(curve->pointCount, 2);
            ASSERT_LE(curve->pointCount, 16);
        }
        EXPECT_EQ(difference(readCardFile(), file), "") << "the card keeps what it held";
        const Bytes repaired = image();
        sanitiseSettings();
        EXPECT_EQ(difference(image(), repaired), "") << "a repaired record needs no further repair, trial " << trial;
        if (HasFailure()) break;
    }
}

// ---- The runner's names for the fields ----

TEST_F(SettingsTest, TheRunnerNamesEveryByteOfTheRecordExactlyOnce)
{
    std::vector<DeviceVariable> variables;
    addSettingsVariables(variables);
    std::array<int, 1148> uses{};
    const auto* base = reinterpret_cast<const uint8_t*>(&settings);
    for (const DeviceVariable& v : variables) {
        const DeviceVariable* found = findDeviceVariable(v.name);
        ASSERT_NE(found, nullptr) << v.name;
        EXPECT_EQ(found->address, v.address) << v.name << " is shadowed";
        const std::string name = v.name;
        if (name.back() == ']') continue;  // an element of an array listed as a whole too
        const size_t size = v.type == VariableType::Text || v.type == VariableType::U8 || v.type == VariableType::I8 ? 1
                            : v.type == VariableType::U16 || v.type == VariableType::I16                           ? 2
                                                                                                                   : 4;
        const size_t offset = static_cast<size_t>(static_cast<const uint8_t*>(v.address) - base);
        for (size_t i = 0; i < size * static_cast<size_t>(v.count); ++i) ++uses.at(offset + i);
    }
    for (size_t i = 0; i < uses.size(); ++i) EXPECT_EQ(uses[i], 1) << "byte " << i;
}

TEST_F(SettingsTest, TheRunnerPrintsAndSetsFieldsByName)
{
    const struct {
        const char* name;
        const char* value;
    } prints[] = {
        {"rpm1PulsesPerRev", "60"},
        {"oatDisplayMin", "-50"},
        {"aircraftRegistration", "REG NO  "},
        {"pressureSender[1].label", "0"},
        {"pressureSender[2].label", "4"},
        {"fuelPressureSender.curve.points[5].reading", "433"},
        {"temperatureSender[0].curve.pointCount", "10"},
        {"temperatureSender[3].curve.points[9].value", "150"},
        {"currentSensor.displayMin", "-50"},
        {"currentSender[2].currentSpan", "50"},
        {"tank2Calibration[5]", "251"},
        {"flightDetectMinRpm", "1000"},
    };
    for (const auto& p : prints) EXPECT_EQ(field(p.name), p.value) << p.name;

    std::istringstream script("set aircraftRegistration \"G-AB D  \"\n"
                              "set rpm1PulsesPerRev 45\n"
                              "set pressureSender[3].curve.points[2].value 77\n"
                              "set currentSensor.highCaution -12\n"
                              "set tank1Calibration[1] 700\n"
                              "set lastDocumentPath CHECKLST/A B.TXT\n"
                              "print tank1Calibration\n");
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(runScenario(script, ScenarioOptions{}, out, error)) << error;
    EXPECT_EQ(std::string(settings.aircraftRegistration, 9), std::string("G-AB D  \0", 9));
    EXPECT_EQ(+settings.rpm1PulsesPerRev, 45);
    EXPECT_EQ(+settings.pressureSender[3].curve.points[2].value, 77);
    EXPECT_EQ(+settings.currentSensor.highCaution, -12);
    EXPECT_STREQ(settings.lastDocumentPath, "CHECKLST/A B.TXT");
    EXPECT_EQ(out.str(), "tank1Calibration[0]=809\ntank1Calibration[1]=700\ntank1Calibration[2]=520\n"
                         "tank1Calibration[3]=427\ntank1Calibration[4]=356\ntank1Calibration[5]=251\n");

    const struct {
        const char* line;
        const char* error;
    } bad[] = {
        {"set aircraftRegistration \"G-ABCDEFG\"", "line 1: text longer than 8 characters"},
        {"set aircraftRegistration \"G-AB", "line 1: missing closing quote: \"G-AB"},
        {"set rpm1PulsesPerRev 5 6", "line 1: not a whole number: 5 6"},
        {"set backlight 256", "line 1: 256 is out of range for backlight"},
        {"set rpm1PulsesPerRev", "line 1: usage: set FIELD VALUE"},
    };
    for (const auto& b : bad) {
        std::istringstream in(b.line);
        EXPECT_FALSE(runScenario(in, ScenarioOptions{}, out, error)) << b.line;
        EXPECT_EQ(error, b.error);
    }
}

}  // namespace

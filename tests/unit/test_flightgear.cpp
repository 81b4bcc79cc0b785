// FlightGear's packets: what the parser and the map reader refuse, values held at a range's end,
// and a capture recorded from a real flight replayed through the runner to the instrument's
// readings.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "device.h"
#include "device_readings.h"
#include "engine/alarm_messages.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/inputs.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "links/flightgear.h"
#include "scenario/scenario.h"
#include "script_support.h"

namespace {

std::string presentMask(const flightgear::Packet& p)
{
    std::string mask;
    for (int i = 0; i < std::min(p.fieldCount, flightgear::kMaxFields); ++i) mask += p.present[i] ? '1' : '0';
    return mask;
}

TEST(FlightgearPacket, AFieldThatIsNoFiniteNumberIsAbsent)
{
    const struct {
        std::string line;
        bool parsed;
        int fields;
        const char* present;
    } cases[] = {
        {"1.5,2,-3e2\r\n", true, 3, "111"},
        {"", false, 0, ""},
        {" \r\n", false, 0, ""},
        {"nan,inf,-inf,0x10,1e999,,x, 7 ", true, 8, "00000001"},
        {"12abc,3,", true, 3, "010"},
        {"7" + std::string(flightgear::kMaxPacketBytes - 2, ' ') + "8", true, 1, "0"},
        {"7" + std::string(flightgear::kMaxPacketBytes - 1, ' ') + "8", false, 0, ""},
        {std::string(99, ','), true, 100, nullptr},  // more fields than kept: counted
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.substr(0, 40));
        flightgear::Packet p;
        EXPECT_EQ(flightgear::parsePacket(c.line, p), c.parsed);
        EXPECT_EQ(p.fieldCount, c.fields);
        if (c.present) {
            EXPECT_EQ(presentMask(p), c.present);
        }
    }
}

TEST(FlightgearPacket, AValueShowsInFewCharacters)
{
    const struct {
        double value;
        const char* shown;
    } cases[] = {{2400.25, "2400.25"}, {-0.004, "-0.00"}, {999999999.0, "999999999.00"}, {1e9, "1e+09"},
                 {1e308, "1e+308"}, {-1.7976931348623157e308, "-1.79769e+308"}};
    for (const auto& c : cases) {
        char text[32];
        flightgear::formatValue(c.value, text, sizeof text);
        EXPECT_STREQ(text, c.shown);
    }
}

TEST(FlightgearMap, ALineItCannotUseRefusesTheMap)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"/a rpm", "line 1: expected PROPERTY UNIT INPUT"},
        {"# x\n/a furlongs RPM:", "line 2: unknown unit furlongs"},
        {"/a rpm RPM:, Nope:", "line 1: no input captioned Nope:"},
        {"/t rpm time", "line 1: the time stamp is in s"},
        {"/t s time\n/u s time", "line 2: a second time stamp"},
        {"# nothing\n\n", "no fields"},
    };
    for (const auto& c : cases) {
        flightgear::Map map;
        std::string error;
        EXPECT_FALSE(flightgear::readMap(c.text, map, error)) << c.text;
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(map.fields.empty());
    }
    const flightgear::Map& shipped = flightgear::defaultMap();
    EXPECT_EQ(shipped.timeField, 0);
    EXPECT_EQ(shipped.fields.size(), 20u);
}

class FlightgearInputs : public ::testing::Test {
protected:
    void SetUp() override { resetDevice(); }
};

TEST_F(FlightgearInputs, AValueTakesTheTypedValuesPositionOrIsHeldAtAnEnd)
{
    using flightgear::Unit;
    const struct {
        InputControl id;
        double value;
        Unit unit;
        int32_t typed;  // the reading the bar would take typed, in its own unit
        bool held;
    } cases[] = {
        {InputControl::Rpm, 2400.2, Unit::Rpm, 2400, false},
        {InputControl::Tc1, 1500, Unit::DegF, 816, false},       // degrees C on the factory settings
        {InputControl::Volts, 14.2, Unit::Volt, 142, false},
        {InputControl::Input2, 68.7, Unit::Psi, 47, false},      // oil pressure through its sender, 0.1 bar
        {InputControl::FuelFlow1, 20 / 3.785411784, Unit::GalPerHour, 200, false},  // 20.0 L/h
        {InputControl::Tc1, 2500, Unit::DegC, 2500, true},       // beyond the thermocouple's range
        {InputControl::Rpm, 1e12, Unit::Rpm, 1000000000, true},   // beyond the shortest period's reading
        {InputControl::Rpm, -50, Unit::Rpm, -50, true},           // below the longest period
        {InputControl::Rpm, -1e12, Unit::Rpm, -1000000000, true},  // far below: held, not wrapped round
        {InputControl::Rpm, 99999, Unit::Rpm, 99999, false},      // the top reading itself is no beyond
        {InputControl::Rpm, 0, Unit::Rpm, 0, false},              // nor is the bottom one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(inputControls[static_cast<int>(c.id)].caption) + " " + std::to_string(c.value));
        int32_t position = -1, typed = -2;
        bool held = !c.held;
        ASSERT_TRUE(flightgear::positionFor(c.id, c.value, c.unit, position, held));
        ASSERT_TRUE(inputPositionForReading(c.id, c.typed, typed));
        EXPECT_EQ(position, typed);
        EXPECT_EQ(held, c.held);
    }
    int32_t position = 0;
    bool held = false;
    EXPECT_FALSE(flightgear::positionFor(InputControl::Rpm, 30, Unit::Psi, position, held));  // not of one kind
}

TEST_F(FlightgearInputs, AMissingFieldLeavesItsInputsAlone)
{
    flightgear::Packet packet;
    ASSERT_TRUE(flightgear::parsePacket("3.5,2400,,1500", packet));  // time, RPM, no MAP, EGT; no more
    flightgear::Inputs in;
    flightgear::inputsForPacket(flightgear::defaultMap(), packet, in);
    EXPECT_TRUE(in.hasTime);
    EXPECT_DOUBLE_EQ(in.time, 3.5);
    for (int i = 0; i < INPUT_CONTROL_COUNT; ++i) {
        const auto id = static_cast<InputControl>(i);
        const bool fed = id == InputControl::Rpm || (id >= InputControl::Tc1 && id <= InputControl::Tc4);
        EXPECT_EQ(in.inputs[i].set, fed) << inputControls[i].caption;
    }
}

// The runner's second word is the field map: here the packet's second field feeds TC2, not RPM.
TEST_F(FlightgearInputs, TheRunnersMapWordChoosesTheMap)
{
    const std::string dir = testing::TempDir();
    std::ofstream(dir + "tc2.csv") << "1,500\n";
    std::ofstream(dir + "tc2.map") << "/t s time\n/e degc TC2\n";
    for (const bool mapped : {false, true}) {
        const ScriptRun r = runScript(mapped ? "flightgear tc2.csv tc2.map" : "flightgear tc2.csv", dir);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(tcInput[1] != 0, mapped) << mapped;
        EXPECT_EQ(hostControls.rpmBar == inputControls[static_cast<int>(InputControl::Rpm)].start, mapped) << mapped;
    }
}

// A capture of a real flight (tests/data/flightgear/README.md) replayed at its pace on the c172p's
// settings: at the end the instrument shows the last packet's values.
TEST_F(FlightgearInputs, ARecordedFlightDrivesTheReadings)
{
    const std::string dir = CORVEX_SOURCE_DIR "/tests/data/flightgear/";
    std::ifstream capture(dir + "c172p.csv");
    ASSERT_TRUE(capture);
    std::string line, lastLine;
    while (std::getline(capture, line))
        if (!line.empty()) lastLine = line;

    std::istringstream script("include ../../../data/flightgear/c172p.scn\nflightgear c172p.csv\nwait 5\n");
    ScenarioOptions options;
    options.scriptDir = dir;
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(runScenario(script, options, out, error)) << error;

    flightgear::Packet last;
    ASSERT_TRUE(flightgear::parsePacket(lastLine, last));
    ASSERT_GE(last.values[0], 120.0);  // two minutes and more
    const auto field = [&](int i) { return last.values[i]; };
    // The sender's step at a position: what one count more or less changes in the reading.
    const auto step = [](InputControl id, int32_t position) {
        const auto here = settledValue(id, position), up = settledValue(id, position + 1), down = settledValue(id, position - 1);
        int32_t s = 1;
        if (here && up) s = std::max(s, std::abs(*up - *here));
        if (here && down) s = std::max(s, std::abs(*down - *here));
        return s;
    };
    EXPECT_NEAR(rpm, field(1), field(1) * 0.01);
    EXPECT_NEAR(tc[0], field(3), step(InputControl::Tc1, tcInput[0]));  // a count is 1 degree C, 1.8 F
    EXPECT_NEAR(tc[4], field(4), step(InputControl::Tc5, tcInput[4]));
    EXPECT_NEAR(tempValue[0], field(5), step(InputControl::Input1, rawAnalog[0]));
    EXPECT_NEAR(pressureValue[1], field(6), step(InputControl::Input2, rawAnalog[1]));
    EXPECT_NEAR(fuelFlow[0] / 10.0, field(7), 0.2);
    EXPECT_NEAR(map / 10.0, field(2), 0.15);
    EXPECT_NEAR(fuelLevel[0] / 10.0, field(15), 0.1);  // tanks in tenths of a gallon
    EXPECT_NEAR(fuelLevel[1] / 10.0, field(16), 0.1);
    EXPECT_EQ(alarmAnnounced, 0u) << alarmFlags;      // a clean flight: nothing waits for ACK
}

}  // namespace

// The readings beside the window's bars: the engine's own conversions with the factory settings,
// units that follow the settings, and the way back from a typed value to a position.
#include <gtest/gtest.h>

#include <string>

#include "device_readings.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/inputs.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "settings/settings.h"

namespace {

std::string text(InputControl id, int32_t position)
{
    char out[32];
    formatInputReading(inputReading(id, position), out, sizeof out);
    return out;
}

class DeviceReadings : public testing::Test {
protected:
    void SetUp() override
    {
        loadDefaultSettings();
        resetCalibration();
        cjcTemp = 0;  // thermocouples read against the present cold junction
        voltsFilter = 0;  // the smoothing filters start from nothing, as at power-on
        mapFilterAcc = 0;
        fuelLevelFilterAcc[0] = fuelLevelFilterAcc[1] = 0;
    }
};

TEST_F(DeviceReadings, FactorySettingsGiveTheseTexts)
{
    const struct {
        InputControl id;
        int32_t position;
        const char* shown;
    } cases[] = {
        {InputControl::Oat, 2359, "15 °C"},       {InputControl::Map, 1504, "30.4 inHg"},
        {InputControl::Map, 100, "0.0 inHg"},     {InputControl::Rpm, 325, "4795 RPM"},
        {InputControl::Rpm, 31000, "0 RPM"},      {InputControl::FuelFlow1, 39, "20.0 L/h"},
        {InputControl::FuelLevel1, 298, "41 L"},  {InputControl::Volts, 1926, "13.9 V"},
        {InputControl::Cjc, 2402, "20 °C"},       {InputControl::Tc1, 650, "649 °C"},  // as the instrument reads K
        {InputControl::CoPpm, 12, "12 ppm"},      {InputControl::Rotor, 5200, "5200 RPM"},
        {InputControl::Map, 167, "0.0 inHg"},     {InputControl::Map, 168, "6.2 inHg"},  // its first live count
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(inputControls[static_cast<int>(c.id)].caption);
        EXPECT_EQ(text(c.id, c.position), c.shown);
    }
}

// A smoothed channel's reading is what the display shows once the input holds still, whether the
// value rose to it or fell to it, through every filter setting.
TEST_F(DeviceReadings, ASmoothedReadingIsWhatTheDisplaySettlesOn)
{
    const struct {
        InputControl id;
        int32_t position;
        uint8_t* filter;
        uint8_t filters;
        void (*process)();
        int32_t (*shown)();  // the engine's value
    } cases[] = {
        {InputControl::Volts, 1926, nullptr, 1, processVolts, [] { return int32_t{volts}; }},
        {InputControl::Map, 1504, &settings.mapFilter, 3, processMap, [] { return int32_t{map}; }},
        {InputControl::Map, 168, &settings.mapFilter, 3, processMap, [] { return int32_t{map}; }},  // its first live count
        {InputControl::FuelLevel1, 298, &settings.tank1Filter, 4, [] { processTankSender(0); },
         [] { return int32_t{fuelLevel[0]}; }},
    };
    for (const auto& c : cases)
        for (uint8_t filter = 0; filter < c.filters; ++filter)
            for (const uint16_t from : {0, 4096}) {
                SCOPED_TRACE(testing::Message() << inputControls[static_cast<int>(c.id)].caption << " filter "
                                                << int{filter} << " from " << from);
                SetUp();
                if (c.filter) *c.filter = filter;
                int32_t said = 0;  // what the bar says as it reaches the position
                for (const uint16_t raw : {from, static_cast<uint16_t>(c.position)}) {
                    said = inputReading(c.id, c.position).value;
                    rawVolts = raw;
                    rawMap = static_cast<int16_t>(raw);
                    rawFuelLevel[0] = raw;
                    for (int pass = 0; pass < 2000; ++pass) c.process();
                }
                EXPECT_EQ(said, c.shown());
            }
}

TEST_F(DeviceReadings, UnitsFollowTheSettings)
{
    settings.oatUnit = 1;
    EXPECT_EQ(text(InputControl::Oat, 2359), "59 °F");
    settings.mapUnit = 0;
    EXPECT_EQ(text(InputControl::Map, 1471), "1012 mb");
    settings.fuelUnit = 1;
    EXPECT_EQ(inputReading(InputControl::FuelFlow1, 39).unit, std::string("gal/h"));
    EXPECT_EQ(text(InputControl::FuelLevel1, 298), "4.1 gal");  // tenths of a gallon
    settings.fuelUnit = 0;
    settings.tankLitreResolution = 1;
    EXPECT_EQ(text(InputControl::FuelLevel1, 298), "4.1 L");
    settings.fuelUnit = 1;
    settings.tank1Source = 1;  // a calculated tank: the bar has no effect
    EXPECT_FALSE(inputReading(InputControl::FuelLevel1, 298).known);
    EXPECT_EQ(text(InputControl::FuelLevel1, 298), "");
}

// Along every bar, as the window lays it out, a position further right never gives a smaller
// reading, whatever the units and the senders' functions.
TEST_F(DeviceReadings, FurtherRightAlongEveryBarNeverReadsLess)
{
    const struct {
        const char* name;
        void (*set)();
    } variants[] = {
        {"factory", [] {}},
        {"F, psi, gallons, the other sender functions", [] {
             settings.temperatureUnit = settings.oatUnit = 1;
             settings.pressureSender[1].pressureUnit = 1;
             settings.fuelUnit = 3;
             settings.currentOn = 1;
             settings.aux13Function = SENDER_FUNCTION_PRESSURE;
             settings.aux24Function = SENDER_FUNCTION_TEMPERATURE;
         }},
    };
    for (const auto& v : variants) {
        SetUp();
        v.set();
        for (const InputControlInfo& info : inputControls) {
            SCOPED_TRACE(std::string(v.name) + ": " + info.caption);
            const bool down = inputReadsDownward(info.id);
            std::optional<int32_t> before;
            int fewer = 0, first = 0;
            for (int32_t k = 0; k <= info.maximum - info.minimum; ++k) {
                const int32_t p = down ? info.maximum - k : info.minimum + k;
                const std::optional<int32_t> here = settledValue(info.id, p);
                if (!here) continue;
                if (before && *here < *before && fewer++ == 0) first = p;
                before = here;
            }
            EXPECT_EQ(fewer, 0) << "first at count " << first;
        }
    }
}

TEST_F(DeviceReadings, ATypedValueFindsTheNearestPosition)
{
    const struct {
        InputControl id;
        int32_t value;
        int32_t position;
    } cases[] = {{InputControl::Rpm, 2400, 649},  {InputControl::Volts, 142, 1956}, {InputControl::Oat, 15, 2359},
                 {InputControl::Tc3, 90, 90},     {InputControl::FuelFlow1, 200, 39},
                 {InputControl::Input2, 40, 317}, {InputControl::Input1, 95, 184}};  // through the senders' curves
    for (const auto& c : cases) {
        SCOPED_TRACE(inputControls[static_cast<int>(c.id)].caption);
        int32_t position = -1;
        ASSERT_TRUE(inputPositionForReading(c.id, c.value, position));
        EXPECT_EQ(position, c.position);
    }
    // A calculated tank: the bar has no effect, no position gives a level.
    settings.tank1Source = 1;
    int32_t position = -1;
    EXPECT_FALSE(inputPositionForReading(InputControl::FuelLevel1, 10, position));
}

}  // namespace

// Field references: load and store by width and element, the sender sub-records per channel, and
// the field list covering the record once, byte for byte.
#include <gtest/gtest.h>

#include <vector>

#include "settings/settings_field.h"

namespace {

TEST(SettingsField, LoadsAndStoresByWidthAndElement)
{
    loadDefaultSettings();
    EXPECT_EQ(SETTING(rpm1FullScale).get(), 6000);
    SETTING(rpm1FullScale).set(99000);
    EXPECT_EQ(+settings.rpm1FullScale, 99000);
    SETTING(oatDisplayMin).set(-58);
    EXPECT_EQ(+settings.oatDisplayMin, -58);
    EXPECT_EQ(SETTING(tank1Calibration).get(0, 5), 251);
    SETTING(tank1Calibration).set(300, 0, 5);
    EXPECT_EQ(+settings.tank1Calibration[5], 300);
    EXPECT_EQ(+settings.tank1Calibration[4], 356);
    loadDefaultSettings();
}

TEST(SettingsField, SubRecordsAreFoundPerChannel)
{
    loadDefaultSettings();
    struct Case {
        SettingsField field;
        int channel;
        const void* expected;
    } cases[] = {
        {PRESSURE_FIELD(displayMax), 2, &settings.pressureSender[2].displayMax},
        {PRESSURE_FIELD(displayMax), OWN_SENSOR_CHANNEL, &settings.fuelPressureSender.displayMax},
        {TEMPERATURE_FIELD(lm335Offset), 3, &settings.temperatureSender[3].lm335Offset},
        {CURRENT_FIELD(currentSpan), 1, &settings.currentSender[1].currentSpan},
        {CURRENT_FIELD(currentSpan), OWN_SENSOR_CHANNEL, &settings.currentSensor.currentSpan},
        {CURRENT_FIELD(currentSpan), 9, &settings.currentSender[1].currentSpan},  // never outside the record
        {SETTING(mapUnit), 3, &settings.mapUnit},
    };
    for (const Case& c : cases) EXPECT_EQ(c.field.address(c.channel), c.expected) << c.channel;
    PRESSURE_FIELD(highAlarm).set(-5, OWN_SENSOR_CHANNEL);
    EXPECT_EQ(+settings.fuelPressureSender.highAlarm, -5);
    loadDefaultSettings();
}

TEST(SettingsField, TheNamedListCoversEveryByteOnce)
{
    size_t count = 0;
    const NamedSettingsField* fields = settingsFieldNames(count);
    std::vector<int> covered(SETTINGS_SIZE, 0);
    for (size_t i = 0; i < count; ++i) {
        const SettingsField& f = fields[i].field;
        if (f.width != FieldWidth::Text && f.count > 1) continue;  // arrays are listed element by element too
        for (size_t b = 0; b < f.size(); ++b) {
            ASSERT_LT(f.offset + b, SETTINGS_SIZE) << fields[i].name;
            ++covered[f.offset + b];
        }
    }
    for (size_t b = 0; b < SETTINGS_SIZE; ++b) EXPECT_EQ(covered[b], 1) << "byte " << b;
    ASSERT_NE(findSettingsField("fuelPressureSender.curve.points[15].reading"), nullptr);
    EXPECT_EQ(findSettingsField("tank2Calibration[5]")->field.offset, offsetof(Settings, tank2Calibration) + 10);
    EXPECT_EQ(findSettingsField("noSuchField"), nullptr);
}

}  // namespace

// Field references: load and store by width and element, the sender sub-records per channel, and
// the field list covering the record once, byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "settings/settings_field.h"
#include "settings/settings_table.h"
#include "time/memory.h"

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

// The factory image, the names, and the recall's repair of 1,000 records built field by field and
// 10,000 random files over the factory record, each folded into a CRC that the record table
// must keep: it changes none of them by a byte.
TEST(SettingsField, FactoryImageNamesAndRepairsKeepTheirDigests)
{
    const auto crc = [](const std::vector<uint8_t>& bytes) { return memoryCrc32(bytes.data(), bytes.size()); };
    const auto* factory = reinterpret_cast<const uint8_t*>(&factorySettings());
    EXPECT_EQ(crc({factory, factory + SETTINGS_SIZE}), 0x37C08E26u);

    size_t count = 0;
    const NamedSettingsField* fields = settingsFieldNames(count);
    std::vector<uint8_t> names;
    for (size_t i = 0; i < count; ++i) {
        const SettingsField& f = fields[i].field;
        names.insert(names.end(), fields[i].name, fields[i].name + std::strlen(fields[i].name) + 1);
        for (const unsigned v : {unsigned(f.offset), unsigned(f.width), unsigned(f.count), unsigned(f.record)})
            names.push_back(static_cast<uint8_t>(v)), names.push_back(static_cast<uint8_t>(v >> 8));
    }
    EXPECT_EQ(crc(names), 0xAAF327FBu);

    std::mt19937 random(1148);
    std::vector<uint8_t> repairs;
    const auto repair = [&] {  // as a recall does; the repaired record is valid and stays as it is
        sanitiseSettings();
        settings.formatCode = SETTINGS_FORMAT_CODE;
        const Settings once = settings;
        sanitiseSettings();
        EXPECT_EQ(std::memcmp(&once, &settings, sizeof once), 0) << "a repaired record needs no more repair";
        const auto* p = reinterpret_cast<const uint8_t*>(&settings);
        repairs.insert(repairs.end(), p, p + SETTINGS_SIZE);
    };
    for (int record = 0; record < 1000; ++record) {
        loadDefaultSettings();
        for (size_t i = 0; i < count; ++i) {
            const SettingsField& f = fields[i].field;
            if (f.count != 1 || f.width == FieldWidth::Text || random() % 2) continue;
            const int64_t pick[] = {int64_t(random() % 4), int64_t(random() % 1300) - 100, int64_t(random() % 100000)};
            f.store(&settings, pick[random() % 3]);
        }
        repair();
    }
    EXPECT_EQ(crc(repairs), 0xFADB2C34u);

    repairs.clear();
    for (int file = 0; file < 10000; ++file) {
        loadDefaultSettings();
        auto* p = reinterpret_cast<uint8_t*>(&settings);
        for (size_t length = random() % (SETTINGS_SIZE + 1), b = 0; b < length; ++b) p[b] = static_cast<uint8_t>(random());
        repair();
    }
    EXPECT_EQ(crc(repairs), 0xC556421Eu);
    loadDefaultSettings();
}

// The setup screens find a field's limits by where it lies, corvex-settings by its name: both find
// the same row, whose spans (in every unit, and from the screens' own lowest value) fit the field.
TEST(SettingsField, EveryFieldsLimitsAreFoundByPlaceAndFitTheField)
{
    size_t count = 0;
    const NamedSettingsField* names = settingsFieldNames(count);
    for (size_t i = 0; i < count; ++i) {
        const NamedSettingsField& n = names[i];
        SCOPED_TRACE(n.name);
        EXPECT_EQ(limitsOf(n.field), n.limits);
        if (n.field.width == FieldWidth::Text || n.limits->repair == Repair::Keep) continue;
        const bool isSigned = n.field.width == FieldWidth::I8 || n.field.width == FieldWidth::I16 ||
                              n.field.width == FieldWidth::I32;
        const int64_t values = int64_t(1) << (8 * n.field.elementSize());
        const int64_t lowest = isSigned ? -values / 2 : 0;
        for (const SettingSpan& span : n.limits->spans) {
            EXPECT_LE(span.min, span.max);
            EXPECT_GE(span.min, lowest);
            EXPECT_LT(span.max, lowest + values);
        }
        if (n.limits->screenMin != kAsRepaired) {
            EXPECT_GE(n.limits->screenMin, lowest);
            EXPECT_LE(n.limits->screenMin, n.limits->spans[0].max);
        }
    }
}

}  // namespace

// One reference to a field of a packed record (the settings record, a sender sub-record, or any
// other packed device record): offset, width and element count, with load and store. List lines,
// the settings tables and the runner's variable names all bind to fields through it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "settings/settings.h"

enum class FieldWidth : uint8_t { U8, I8, U16, I16, U32, I32, Text };

// Which record a field's offset is counted from. The sender sub-records come per channel:
// channels 0..3 are the four analog inputs, channel 4 the fuel pressure sender (pressure) or the
// main current sensor (current).
enum class FieldRecord : uint8_t { Settings, PressureSender, TemperatureSender, CurrentSender };

constexpr uint8_t OWN_SENSOR_CHANNEL = 4;

struct SettingsField {
    uint16_t offset = 0;  // from the start of its record
    FieldWidth width = FieldWidth::U8;
    uint8_t count = 0;    // elements (1 for a scalar; a Text field counts its bytes); 0 = no field
    FieldRecord record = FieldRecord::Settings;

    constexpr bool bound() const { return count > 0; }
    constexpr size_t elementSize() const
    {
        return width == FieldWidth::U16 || width == FieldWidth::I16   ? 2
               : width == FieldWidth::U32 || width == FieldWidth::I32 ? 4
                                                                      : 1;
    }
    constexpr size_t size() const { return elementSize() * count; }

    // Element `element` of the field in a record image at `base` (no bounds beyond count).
    int64_t load(const void* base, int element = 0) const;
    // Stores the low bytes of value; callers keep value within the field's range.
    void store(void* base, int64_t value, int element = 0) const;

    // The field in the device's settings record, for a sender sub-record on `channel`.
    uint8_t* address(int channel = 0) const;
    int64_t get(int channel = 0, int element = 0) const;
    void set(int64_t value, int channel = 0, int element = 0) const;
};

// The start of a record in the device's settings: the whole record, or a sender sub-record of a
// channel (channels beyond 4 are taken modulo the four inputs, never outside the record).
uint8_t* settingsRecord(FieldRecord record, int channel);

template <typename T> constexpr FieldWidth fieldWidthOf()
{
    if constexpr (std::is_same_v<T, uint8_t>) return FieldWidth::U8;
    else if constexpr (std::is_same_v<T, int8_t>) return FieldWidth::I8;
    else if constexpr (std::is_same_v<T, uint16_t>) return FieldWidth::U16;
    else if constexpr (std::is_same_v<T, int16_t>) return FieldWidth::I16;
    else if constexpr (std::is_same_v<T, uint32_t>) return FieldWidth::U32;
    else if constexpr (std::is_same_v<T, int32_t>) return FieldWidth::I32;
    else if constexpr (std::is_same_v<T, char>) return FieldWidth::Text;
    else static_assert(sizeof(T) == 0, "not a field type");
}

// A field of type F (a scalar or an array of scalars) at offset in a record of kind `record`.
template <typename F> constexpr SettingsField fieldAt(size_t offset, FieldRecord record = FieldRecord::Settings)
{
    using Element = std::remove_all_extents_t<F>;
    return SettingsField{static_cast<uint16_t>(offset), fieldWidthOf<Element>(),
                         static_cast<uint8_t>(sizeof(F) / sizeof(Element)), record};
}

// SETTING(mapDisplayMax), SETTING(tank1Calibration); PRESSURE_FIELD(displayMax) and its kin name
// a sub-record field, found per channel.
#define SETTING(f) fieldAt<decltype(Settings::f)>(offsetof(Settings, f))
#define RECORD_FIELD(R, f) fieldAt<decltype(R::f)>(offsetof(R, f))
#define PRESSURE_FIELD(f) \
    fieldAt<decltype(PressureSenderConfig::f)>(offsetof(PressureSenderConfig, f), FieldRecord::PressureSender)
#define TEMPERATURE_FIELD(f) \
    fieldAt<decltype(TemperatureSenderConfig::f)>(offsetof(TemperatureSenderConfig, f), FieldRecord::TemperatureSender)
#define CURRENT_FIELD(f) \
    fieldAt<decltype(CurrentSensorConfig::f)>(offsetof(CurrentSensorConfig, f), FieldRecord::CurrentSender)

// Every field of the settings record by its name, sub-records spelled out per channel
// ("pressureSender[1].displayMax", "fuelPressureSender.curve.points[0].reading"), in the order of
// the settings tables' walk (forEachSetting in settings_table.h).
struct SettingLimits;
struct NamedSettingsField {
    const char* name;
    SettingsField field;  // offset from the start of the whole record
    const SettingLimits* limits;  // its row's (settings_table.h)
    uint16_t record;              // where the record holding it starts in the whole record
};
// The list, built once; count receives its length.
const NamedSettingsField* settingsFieldNames(size_t& count);
const NamedSettingsField* findSettingsField(const char* name);

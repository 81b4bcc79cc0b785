// Loading and storing through a field reference, the records a field can live in, and the one
// list of the settings record's fields by name.
#include "settings/settings_field.h"

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "settings/settings_table.h"

int64_t SettingsField::load(const void* base, int element) const
{
    const auto* p = static_cast<const uint8_t*>(base) + offset + static_cast<size_t>(element) * elementSize();
    switch (width) {
    case FieldWidth::U8: case FieldWidth::Text: return *p;
    case FieldWidth::I8: return static_cast<int8_t>(*p);
    case FieldWidth::U16: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    case FieldWidth::I16: { int16_t v; std::memcpy(&v, p, 2); return v; }
    case FieldWidth::U32: { uint32_t v; std::memcpy(&v, p, 4); return v; }
    case FieldWidth::I32: { int32_t v; std::memcpy(&v, p, 4); return v; }
    }
    return 0;
}

void SettingsField::store(void* base, int64_t value, int element) const
{
    auto* p = static_cast<uint8_t*>(base) + offset + static_cast<size_t>(element) * elementSize();
    const auto bits = static_cast<uint32_t>(value);  // little-endian: the low bytes come first
    std::memcpy(p, &bits, elementSize());
}

uint8_t* SettingsField::address(int channel) const { return settingsRecord(record, channel) + offset; }

int64_t SettingsField::get(int channel, int element) const { return load(settingsRecord(record, channel), element); }

void SettingsField::set(int64_t value, int channel, int element) const
{
    store(settingsRecord(record, channel), value, element);
}

uint8_t* settingsRecord(FieldRecord record, int channel)
{
    const bool own = channel == OWN_SENSOR_CHANNEL;
    const int input = ((channel % 4) + 4) % 4;
    void* base = &settings;
    switch (record) {
    case FieldRecord::Settings: break;
    case FieldRecord::PressureSender:
        base = own ? &settings.fuelPressureSender : &settings.pressureSender[input];
        break;
    case FieldRecord::TemperatureSender: base = &settings.temperatureSender[input]; break;
    case FieldRecord::CurrentSender:
        base = own ? &settings.currentSensor : &settings.currentSender[input];
        break;
    }
    return static_cast<uint8_t*>(base);
}

namespace {

// The rows, and the generated names they point into, which live as long as the rows.
struct Names {
    std::vector<NamedSettingsField> rows;
    std::deque<std::string> names;

    void add(std::string name, const SettingsField& field, const Setting& row, size_t record)
    {
        rows.push_back({names.emplace_back(std::move(name)).c_str(), field, &row.limits,
                        static_cast<uint16_t>(record)});
    }
};

// "pressureSender[1]." for a field inside that sub-record.
std::string prefixOf(const SettingsPath* path)
{
    if (!path) return "";
    std::string prefix = prefixOf(path->outer) + path->row.name;
    if (path->row.field.count > 1) prefix += "[" + std::to_string(path->element) + "]";
    return prefix + ".";
}

// The settings tables' walk, an array also listed element by element.
const std::vector<NamedSettingsField>& table()
{
    static Names n;
    static const bool built = [] {
        forEachSetting([&](const Setting& row, size_t record, const SettingsPath* path) {
            const std::string name = prefixOf(path) + row.name;
            SettingsField field = row.field;
            field.offset = static_cast<uint16_t>(record + field.offset);
            n.add(name, field, row, record);
            if (field.width == FieldWidth::Text || field.count == 1) return;
            for (int i = 0; i < field.count; ++i) {
                SettingsField one = field;
                one.offset = static_cast<uint16_t>(field.offset + i * field.elementSize());
                one.count = 1;
                n.add(name + "[" + std::to_string(i) + "]", one, row, record);
            }
        });
        return true;
    }();
    (void)built;
    return n.rows;
}

}  // namespace

const NamedSettingsField* settingsFieldNames(size_t& count)
{
    count = table().size();
    return table().data();
}

const NamedSettingsField* findSettingsField(const char* name)
{
    for (const NamedSettingsField& row : table())
        if (std::strcmp(row.name, name) == 0) return &row;
    return nullptr;
}

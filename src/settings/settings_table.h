// The settings record as one table per record kind: every field's name, file offset, width,
// factory value and limits. The factory record, the recall's range repair, the setup screens'
// edit ranges and the field names and ranges of the runner and corvex-settings are all walked out
// of these tables (settings_table.cpp).
#pragma once
#include <cstddef>
#include <cstdint>

#include "settings/settings_field.h"

// How a field outside its limits is repaired.
enum class Repair : uint8_t {
    Keep,     // every value is valid (or, for text, repaired by its own rule)
    Clamp,    // to the nearer limit
    Default,  // to its factory value (option indices and switches: no "nearest" option)
    Either,   // only min or max is valid (a function that is either off or one kind); else default
};

// What a field's limits follow, when they are not fixed.
enum class Follows : uint8_t {
    Nothing,
    TemperatureUnit,    // spans[temperatureUnit]
    MapUnit,            // spans[mapUnit]
    PressureUnit,       // spans[pressureUnit] of the field's own sender record
    Tank1Size,          // 0..tank1Size
    Tank2Size,          // 0..tank2Size
    FreeThermocouples,  // 0..the inputs the EGTs leave, at most 2 for NTC probes (AUX 3 and 4)
};

struct SettingSpan {
    int32_t min, max;
};

// A setup screen's lowest value that is not the repair's: kAsRepaired when they agree.
constexpr int32_t kAsRepaired = INT32_MIN;

struct SettingLimits {
    Repair repair = Repair::Keep;
    Follows follows = Follows::Nothing;
    SettingSpan spans[3] = {};  // by the unit followed; spans[0] when fixed
    int32_t screenMin = kAsRepaired;
};

struct SettingsTable;

// One field of a record: a scalar, an array of scalars, text, or sub-records with their own table.
struct Setting {
    const char* name;
    SettingsField field;  // offset in its record, width and count, from the struct
    uint16_t at;          // the same offset as the file lays it out, checked against the struct
    int32_t factory;      // of every element; text, curves and the tank calibrations are set in code
    SettingLimits limits;
    const SettingsTable* sub = nullptr;
};

struct SettingsTable {
    const Setting* rows;
    size_t count;
    size_t size;  // of the record
    const Setting* begin() const { return rows; }
    const Setting* end() const { return rows + count; }
};

// The whole record's table, and that of a sender curve (CALIBRATE SENDER's working copy).
const SettingsTable& settingsTable();
extern const SettingsTable senderCurveTable;

// The limits of a field: found in `table`, or when null in the table of the field's record kind
// (the whole record or a sender sub-record). Null for a field no row holds.
const SettingLimits* limitsOf(const SettingsField& field, const SettingsTable* table = nullptr);

// The values a recall keeps in a field with these limits, in the whole record `whole`, the
// field's own record starting at `record` (a sender sub-record for a sender's field). What the
// limits follow is taken as it is in `whole`. Not for a Keep field, which keeps every value.
SettingSpan repairSpan(const SettingLimits& limits, const Settings& whole, const uint8_t* record);
// The values a setup screen offers: the repair's span, from screenMin when that is set.
SettingSpan screenSpan(const SettingLimits& limits, const Settings& whole, const uint8_t* record);

// A sub-record being walked: its row and element, inside `outer` (null in the whole record).
struct SettingsPath {
    const Setting& row;
    int element;
    const SettingsPath* outer;
};

// Calls visit(row, recordOffset, path) for every field that is not a sub-record, recordOffset
// being where the row's own record starts in the whole record. Plain fields come first, then the
// sub-records: arrays of them channel by channel, then the single ones.
template <typename Visit>
void forEachSetting(Visit&& visit, const SettingsTable& table = settingsTable(), size_t record = 0,
                    const SettingsPath* path = nullptr)
{
    for (const Setting& row : table)
        if (!row.sub) visit(row, record, path);
    const auto walk = [&](const Setting& row, int element) {
        const SettingsPath inner{row, element, path};
        forEachSetting(visit, *row.sub, record + row.field.offset + element * row.sub->size, &inner);
    };
    int channels = 0;
    for (const Setting& row : table)
        if (row.sub && row.field.count > channels) channels = row.field.count;
    for (int element = 0; element < channels; ++element)
        for (const Setting& row : table)
            if (row.sub && row.field.count > 1 && element < row.field.count) walk(row, element);
    for (const Setting& row : table)
        if (row.sub && row.field.count == 1) walk(row, 0);
}

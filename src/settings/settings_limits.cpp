// Range repair of the settings record after a recall: a file from the card is taken as it comes,
// so every field is brought back to what its setup screen could have produced, by the limits in
// the settings tables.
#include <algorithm>

#include "settings/settings.h"
#include "settings/settings_table.h"

namespace {

// Brings one row of the record at `record` into its limits, from the factory record at `factory`.
// Only ever stores a value inside the limits, which fit the field.
void repair(const Setting& row, uint8_t* record, const uint8_t* factory)
{
    const SettingLimits& limits = row.limits;
    if (limits.repair == Repair::Keep) return;
    const SettingSpan span = repairSpan(limits, settings, record);
    const SettingsField& f = row.field;
    for (int i = 0; i < f.count; ++i) {
        const int64_t v = f.load(record, i);
        if (v >= span.min && v <= span.max && (limits.repair != Repair::Either || v == span.min || v == span.max))
            continue;
        if (limits.repair == Repair::Clamp)
            f.store(record, v < span.min ? span.min : span.max, i);
        else
            f.store(record, f.load(factory, i), i);
    }
}

// Text is printable ASCII and always terminated. The registration keeps its eight places
// (a stray byte becomes a space); the document path ends at its first stray byte.
void sanitiseText(Settings& s)
{
    for (size_t i = 0; i + 1 < sizeof s.aircraftRegistration; ++i) {
        const auto c = static_cast<unsigned char>(s.aircraftRegistration[i]);
        if (c < 32 || c > 126) s.aircraftRegistration[i] = ' ';
    }
    s.aircraftRegistration[sizeof s.aircraftRegistration - 1] = '\0';

    s.lastDocumentPath[sizeof s.lastDocumentPath - 1] = '\0';
    for (char& ch : s.lastDocumentPath) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || c > 126) {
            ch = '\0';
            break;
        }
    }
}

}  // namespace

void sanitiseSettings()
{
    auto* record = reinterpret_cast<uint8_t*>(&settings);
    const auto* factory = reinterpret_cast<const uint8_t*>(&factorySettings());
    // Fixed limits first, then the limits that follow a unit or a count, now that those are valid.
    for (const bool following : {false, true})
        forEachSetting([&](const Setting& row, size_t at, const SettingsPath*) {
            if ((row.limits.follows != Follows::Nothing) == following) repair(row, record + at, factory + at);
        });
    sanitiseText(settings);
}

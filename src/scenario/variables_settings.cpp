// The settings record by field name for the runner: NAME, NAME[i] for arrays, and sub-records as
// record.field, e.g. pressureSender[1].displayMax or fuelPressureSender.curve.points[0].reading.
// The names come from the settings' own field list.
#include <vector>

#include "scenario/variable_table.h"
#include "settings/settings_field.h"

namespace {

VariableType typeOf(FieldWidth width)
{
    switch (width) {
    case FieldWidth::U8: return VariableType::U8;
    case FieldWidth::I8: return VariableType::I8;
    case FieldWidth::U16: return VariableType::U16;
    case FieldWidth::I16: return VariableType::I16;
    case FieldWidth::U32: return VariableType::U32;
    case FieldWidth::I32: return VariableType::I32;
    case FieldWidth::Text: return VariableType::Text;
    }
    return VariableType::U8;
}

}  // namespace

// Packed fields cannot be bound to typed references, so entries point at the bytes; the runner
// copies values in and out with memcpy.
void addSettingsVariables(std::vector<DeviceVariable>& variables)
{
    size_t count = 0;
    const NamedSettingsField* fields = settingsFieldNames(count);
    for (size_t i = 0; i < count; ++i) {
        const SettingsField& f = fields[i].field;
        variables.push_back({fields[i].name, f.address(), typeOf(f.width), f.count, true});
    }
}

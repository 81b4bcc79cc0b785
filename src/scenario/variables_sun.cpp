// Named variables of the sun times and the magnetic variation: the last sunrise or sunset
// computed, whether it was found, and the automatic variation.
#include "gps/gps.h"
#include "scenario/variable_table.h"
#include "time/sun.h"

void addSunVariables(std::vector<DeviceVariable>& v)
{
    v.insert(v.end(), {
        VAR(sunEventHours),
        // A flag of one byte, 0 or 1; read only, so that nothing else is ever stored in it.
        DeviceVariable{"sunEventFound", &sunEventFound, VariableType::U8, 1, false},
        VAR(autoVariation),
    });
}

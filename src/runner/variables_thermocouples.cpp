// The thermocouple channels by name for the runner: cold junction, converted temperatures, their
// peaks and the lean-assist state (the raw tcInput and rawCjc are with the other raw inputs).
#include <vector>

#include "engine/thermocouples.h"
#include "runner/variable_table.h"

void addThermocoupleVariables(std::vector<DeviceVariable>& variables)
{
    variables.insert(variables.end(), {
        scalar("cjcInput", cjcInput),
        scalar("cjcTemp", cjcTemp),
        array("tcFeed", tcFeed),
        array("tc", tc),
        array("tcCelsius", tcCelsius),
        array("tcMax", tcMax),
        array("leanPeak", leanPeak),
        array("leanDelta", leanDelta),
        array("leanPeakOrder", leanPeakOrder),
        scalar("leanNextOrder", leanNextOrder),
        scalar("leanActive", leanActive),
        scalar("leanDeltaMode", leanDeltaMode),
    });
}

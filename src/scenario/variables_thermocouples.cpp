// The thermocouple channels by name for the runner: cold junction, converted temperatures, their
// peaks and the lean-assist state (the raw tcInput and rawCjc are with the other raw inputs).
#include <vector>

#include "engine/thermocouples.h"
#include "scenario/variable_table.h"

void addThermocoupleVariables(std::vector<DeviceVariable>& variables)
{
    variables.insert(variables.end(), {
        VAR(cjcInput), VAR(cjcTemp), VAR(tcFeed), VAR(tc), VAR(tcCelsius), VAR(tcMax), VAR(leanPeak),
        VAR(leanDelta), VAR(leanPeakOrder), VAR(leanNextOrder), VAR(leanActive), VAR(leanDeltaMode),
    });
}

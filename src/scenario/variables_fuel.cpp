// Named variables of the fuel processing: injector and timing inputs, flows, tanks, totals,
// range, endurance, the layout code and the 4-second interval counter.
#include "engine/fuel.h"
#include "scenario/variable_table.h"

namespace {

// A two-element array as a whole (for print) and as NAME[0], NAME[1] (so that set reaches them).
template <typename T> void addPair(std::vector<DeviceVariable>& v, const char* name, const char* first,
                                   const char* second, T (&values)[2])
{
    v.push_back(array(name, values));
    v.push_back(scalar(first, values[0]));
    v.push_back(scalar(second, values[1]));
}

}  // namespace

void addFuelVariables(std::vector<DeviceVariable>& v)
{
    addPair(v, "injectorDuty", "injectorDuty[0]", "injectorDuty[1]", injectorDuty);
    v.push_back(VAR(fuelTimingInputs));
    v.push_back(VAR(flowWindow));
    addPair(v, "flowInput", "flowInput[0]", "flowInput[1]", flowInput);
    addPair(v, "fuelFlow", "fuelFlow[0]", "fuelFlow[1]", fuelFlow);
    addPair(v, "fuelLevelInput", "fuelLevelInput[0]", "fuelLevelInput[1]", fuelLevelInput);
    addPair(v, "fuelLevelFilterAcc", "fuelLevelFilterAcc[0]", "fuelLevelFilterAcc[1]", fuelLevelFilterAcc);
    addPair(v, "fuelLevelOpen", "fuelLevelOpen[0]", "fuelLevelOpen[1]", fuelLevelOpen);
    addPair(v, "fuelLevel", "fuelLevel[0]", "fuelLevel[1]", fuelLevel);
    addPair(v, "fuelRemainingPulses", "fuelRemainingPulses[0]", "fuelRemainingPulses[1]", fuelRemainingPulses);
    addPair(v, "fuelUsedPulses", "fuelUsedPulses[0]", "fuelUsedPulses[1]", fuelUsedPulses);
    addPair(v, "fuelUsed", "fuelUsed[0]", "fuelUsed[1]", fuelUsed);
    v.insert(v.end(), {
        VAR(fuelLayout), VAR(fuelRange), VAR(fuelEndurance), VAR(fuelSecondCount), VAR(fuelIntervalDue),
    });
}

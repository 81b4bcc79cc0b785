// The sender values by name for the runner (their raw readings are with the other raw inputs):
// each function's values and peaks, whole (NAME) and element by element (NAME[i]).
#include <deque>
#include <string>
#include <vector>

#include "engine/senders.h"
#include "scenario/variable_table.h"

namespace {

// Generated element names must outlive the table, which keeps only their pointers.
const char* keepName(std::string name)
{
    static std::deque<std::string> names;
    return names.emplace_back(std::move(name)).c_str();
}

template <typename T, size_t N> void addArray(std::vector<DeviceVariable>& variables, const char* name, T (&v)[N])
{
    variables.push_back(array(name, v));
    for (size_t i = 0; i < N; ++i)
        variables.push_back(scalar(keepName(std::string(name) + "[" + std::to_string(i) + "]"), v[i]));
}

}  // namespace

void addSenderVariables(std::vector<DeviceVariable>& variables)
{
    addArray(variables, "analogInput", analogInput);
    addArray(variables, "pressureValue", pressureValue);
    addArray(variables, "pressureMax", pressureMax);
    addArray(variables, "tempValue", tempValue);
    addArray(variables, "tempCelsius", tempCelsius);
    addArray(variables, "tempMax", tempMax);
    addArray(variables, "auxCurrentTenths", auxCurrentTenths);
    addArray(variables, "auxCurrent", auxCurrent);
    addArray(variables, "auxCurrentMin", auxCurrentMin);
    addArray(variables, "auxCurrentMax", auxCurrentMax);
    variables.push_back(VAR(fuelPressure));
    variables.push_back(VAR(fuelPressureMax));
}

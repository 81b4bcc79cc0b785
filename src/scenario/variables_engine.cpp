// Named variables of the raw inputs, the basic channels, the calibration block and the alarms.
#include <cstddef>

#include "engine/alarm_messages.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "scenario/variable_table.h"

namespace {

// The calibration block is packed: its fields are reached by offset, not by reference.
DeviceVariable calibrationField(const char* name, size_t offset, VariableType type, int count)
{
    return {name, reinterpret_cast<uint8_t*>(&calibration) + offset, type, count, true};
}

}  // namespace

void addEngineVariables(std::vector<DeviceVariable>& v)
{
    v.insert(v.end(), {
        VAR(rawVolts), VAR(rawCurrent), VAR(rawOat), VAR(rawMap), VAR(rpmPeriod), VAR(rotorRpm),
        VAR(rotorPercent), VAR(coPpm), VAR(tcInput), VAR(rawCjc), VAR(rawFuelFlow), VAR(rawFuelLevel),
        VAR(rawFuelPressure), VAR(rawAnalog),
        calibrationField("voltsCalPercent", offsetof(Calibration, voltsCalPercent), VariableType::U8, 1),
        calibrationField("oatOffset", offsetof(Calibration, oatOffset), VariableType::I8, 1),
        calibrationField("mapOffset", offsetof(Calibration, mapOffset), VariableType::I8, 1),
        calibrationField("senderZero", offsetof(Calibration, senderZero), VariableType::U16, 4),
        calibrationField("currentZero", offsetof(Calibration, currentZero), VariableType::U16, 1),
        VAR(voltsFilter), VAR(volts), VAR(oatCelsius), VAR(oat), VAR(mapInput), VAR(mapFilterAcc), VAR(mapMb),
        VAR(map), VAR(rpm), VAR(rpmPercent), VAR(currentTenths), VAR(current), VAR(voltsMin), VAR(voltsMax),
        VAR(oatMin), VAR(oatMax), VAR(mapMin), VAR(mapMax), VAR(rpmMax), VAR(rotorMax), VAR(currentMin),
        VAR(currentMax), VAR(alarmFlags), VAR(alarmAcked), VAR(alarmAnnounced), VAR(alarmSetThisStep),
        VAR(alarmSeenThisStep), VAR(alarmSetSteps), VAR(alarmClearSteps), VAR(alarmTextIndex),
    });
}

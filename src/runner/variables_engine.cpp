// Named variables of the raw inputs, the basic channels, the calibration block and the alarms.
#include <cstddef>

#include "engine/alarm_messages.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "runner/variable_table.h"

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
        scalar("rawVolts", rawVolts),
        scalar("rawCurrent", rawCurrent),
        scalar("rawOat", rawOat),
        scalar("rawMap", rawMap),
        scalar("rpmPeriod", rpmPeriod),
        scalar("rotorRpm", rotorRpm),
        scalar("rotorPercent", rotorPercent),
        scalar("coPpm", coPpm),
        array("tcInput", tcInput),
        scalar("rawCjc", rawCjc),
        array("rawFuelFlow", rawFuelFlow),
        array("rawFuelLevel", rawFuelLevel),
        scalar("rawFuelPressure", rawFuelPressure),
        array("rawAnalog", rawAnalog),
        calibrationField("voltsCalPercent", offsetof(Calibration, voltsCalPercent), VariableType::U8, 1),
        calibrationField("oatOffset", offsetof(Calibration, oatOffset), VariableType::I8, 1),
        calibrationField("mapOffset", offsetof(Calibration, mapOffset), VariableType::I8, 1),
        calibrationField("senderZero", offsetof(Calibration, senderZero), VariableType::U16, 4),
        calibrationField("currentZero", offsetof(Calibration, currentZero), VariableType::U16, 1),
        scalar("voltsFilter", voltsFilter),
        scalar("volts", volts),
        scalar("oatCelsius", oatCelsius),
        scalar("oat", oat),
        scalar("mapInput", mapInput),
        scalar("mapFilterAcc", mapFilterAcc),
        scalar("mapMb", mapMb),
        scalar("map", map),
        scalar("rpm", rpm),
        scalar("rpmPercent", rpmPercent),
        scalar("currentTenths", currentTenths),
        scalar("current", current),
        scalar("voltsMin", voltsMin),
        scalar("voltsMax", voltsMax),
        scalar("oatMin", oatMin),
        scalar("oatMax", oatMax),
        scalar("mapMin", mapMin),
        scalar("mapMax", mapMax),
        scalar("rpmMax", rpmMax),
        scalar("rotorMax", rotorMax),
        scalar("currentMin", currentMin),
        scalar("currentMax", currentMax),
        scalar("alarmFlags", alarmFlags),
        scalar("alarmAcked", alarmAcked),
        scalar("alarmAnnounced", alarmAnnounced),
        scalar("alarmSetThisStep", alarmSetThisStep),
        scalar("alarmSeenThisStep", alarmSeenThisStep),
        array("alarmSetSteps", alarmSetSteps),
        array("alarmClearSteps", alarmClearSteps),
        array("alarmTextIndex", alarmTextIndex),
    });
}

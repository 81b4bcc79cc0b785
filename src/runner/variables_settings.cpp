// The settings record by field name for the runner: NAME, NAME[i] for arrays, and sub-records as
// record.field, e.g. pressureSender[1].displayMax or fuelPressureSender.curve.points[0].reading.
#include <cstddef>
#include <deque>
#include <string>
#include <type_traits>
#include <vector>

#include "runner/variable_table.h"
#include "settings/settings.h"

namespace {

// Generated names must outlive the table, which keeps only their pointers.
const char* keep(std::string name)
{
    static std::deque<std::string> names;
    return names.emplace_back(std::move(name)).c_str();
}

// A field of type F at a byte offset into the record. Packed fields cannot be bound to typed
// references, so entries point at the bytes; the runner copies values in and out with memcpy.
template <typename F> void addField(std::vector<DeviceVariable>& variables, const std::string& name, size_t offset)
{
    void* address = reinterpret_cast<uint8_t*>(&settings) + offset;
    using Element = std::remove_all_extents_t<F>;
    if constexpr (std::is_same_v<Element, char>) {
        variables.push_back({keep(name), address, VariableType::Text, static_cast<int>(sizeof(F)), true});
    } else if constexpr (std::is_array_v<F>) {
        constexpr int n = static_cast<int>(std::extent_v<F>);
        variables.push_back({keep(name), address, typeOf<Element>(), n, true});
        for (int i = 0; i < n; ++i)  // single elements, so that set can reach them
            variables.push_back({keep(name + "[" + std::to_string(i) + "]"),
                                 static_cast<uint8_t*>(address) + i * sizeof(Element), typeOf<Element>(), 1, true});
    } else {
        variables.push_back({keep(name), address, typeOf<F>(), 1, true});
    }
}

#define ADD_FIELD(R, f) addField<decltype(R::f)>(variables, prefix + #f, offset + offsetof(R, f));

void addCurve(std::vector<DeviceVariable>& variables, const std::string& prefix, size_t offset)
{
    ADD_FIELD(SenderCurve, pointCount)
    for (int i = 0; i < 16; ++i) {
        const std::string point = prefix + "points[" + std::to_string(i) + "].";
        const size_t at = offset + offsetof(SenderCurve, points) + i * sizeof(SenderPoint);
        addField<int16_t>(variables, point + "value", at + offsetof(SenderPoint, value));
        addField<int16_t>(variables, point + "reading", at + offsetof(SenderPoint, reading));
    }
}

void addPressure(std::vector<DeviceVariable>& variables, const std::string& prefix, size_t offset)
{
    ADD_FIELD(PressureSenderConfig, type)
    ADD_FIELD(PressureSenderConfig, senderSource)
    ADD_FIELD(PressureSenderConfig, pressureUnit)
    ADD_FIELD(PressureSenderConfig, pressureAt4mA)
    ADD_FIELD(PressureSenderConfig, pressureAt20mA)
    ADD_FIELD(PressureSenderConfig, label)
    ADD_FIELD(PressureSenderConfig, displayMax)
    ADD_FIELD(PressureSenderConfig, displayMin)
    ADD_FIELD(PressureSenderConfig, lowAlarm)
    ADD_FIELD(PressureSenderConfig, lowAlarmOn)
    ADD_FIELD(PressureSenderConfig, highAlarm)
    ADD_FIELD(PressureSenderConfig, lowCaution)
    ADD_FIELD(PressureSenderConfig, highCaution)
    ADD_FIELD(PressureSenderConfig, highAlarmOn)
    ADD_FIELD(PressureSenderConfig, umaModel)
    ADD_FIELD(PressureSenderConfig, vdoModel)
    addCurve(variables, prefix + "curve.", offset + offsetof(PressureSenderConfig, curve));
}

void addTemperature(std::vector<DeviceVariable>& variables, const std::string& prefix, size_t offset)
{
    ADD_FIELD(TemperatureSenderConfig, label)
    ADD_FIELD(TemperatureSenderConfig, displayMax)
    ADD_FIELD(TemperatureSenderConfig, displayMin)
    ADD_FIELD(TemperatureSenderConfig, lowAlarm)
    ADD_FIELD(TemperatureSenderConfig, lowAlarmOn)
    ADD_FIELD(TemperatureSenderConfig, highAlarm)
    ADD_FIELD(TemperatureSenderConfig, lowCaution)
    ADD_FIELD(TemperatureSenderConfig, highCaution)
    ADD_FIELD(TemperatureSenderConfig, highAlarmOn)
    ADD_FIELD(TemperatureSenderConfig, sender)
    ADD_FIELD(TemperatureSenderConfig, lm335Offset)
    addCurve(variables, prefix + "curve.", offset + offsetof(TemperatureSenderConfig, curve));
}

void addCurrent(std::vector<DeviceVariable>& variables, const std::string& prefix, size_t offset)
{
    ADD_FIELD(CurrentSensorConfig, displayMax)
    ADD_FIELD(CurrentSensorConfig, displayMin)
    ADD_FIELD(CurrentSensorConfig, lowAlarm)
    ADD_FIELD(CurrentSensorConfig, lowAlarmOn)
    ADD_FIELD(CurrentSensorConfig, highAlarm)
    ADD_FIELD(CurrentSensorConfig, lowCaution)
    ADD_FIELD(CurrentSensorConfig, highCaution)
    ADD_FIELD(CurrentSensorConfig, highAlarmOn)
    ADD_FIELD(CurrentSensorConfig, currentSpan)
}

// The plain fields of the record, in record order.
#define SETTINGS_PLAIN_FIELDS(X)                                                                          \
    X(formatCode) X(dataRecordingOn) X(oatDisplayMax) X(oatDisplayMin) X(oatLowAlarm) X(oatHighAlarm)     \
    X(oatLowAlarmOn) X(oatHighAlarmOn) X(temperatureUnit) X(oatUnit) X(voltsDisplayMax)                   \
    X(voltsDisplayMin) X(voltsLowAlarm) X(voltsHighAlarm) X(voltsLowAlarmOn) X(voltsHighAlarmOn)          \
    X(voltsLowCaution) X(voltsHighCaution) X(mapDisplayOn) X(mapDisplayMax) X(mapDisplayMin)              \
    X(mapLowAlarm) X(mapLowAlarmOn) X(mapHighAlarm) X(mapLowCaution) X(mapHighCaution)                   \
    X(mapHighAlarmOn) X(mapFilter) X(mapUnit) X(rpm1DisplayMode) X(rpm1FullScale) X(rpm1DisplayMax)       \
    X(rpm1DisplayMin) X(rpm1LowAlarm) X(rpm1LowAlarmOn) X(rpm1HighAlarm) X(rpm1HighAlarmOn)               \
    X(rpm1LowCaution) X(rpm1HighCaution) X(rpm1PulsesPerRev) X(rpm1Resolution) X(rpm2DisplayMode)        \
    X(rpm2FullScale) X(rpm2DisplayMax) X(rpm2DisplayMin) X(rpm2LowAlarm) X(rpm2LowAlarmOn)               \
    X(rpm2HighAlarm) X(rpm2HighAlarmOn) X(rpm2LowCaution) X(rpm2HighCaution) X(rpm2PulsesPerRev)          \
    X(rpm2Resolution) X(gpsPositionFormat) X(gpsAltitudeUnit) X(gpsCogReference) X(gpsVariationMode)      \
    X(gpsManualVariation) X(gpsBaudRate) X(aircraftRegistration) X(flightDetectAuto)                      \
    X(flightDetectMinRpm) X(flightDetectMinGroundSpeed) X(pilotNumber) X(oilTempFunction)                 \
    X(oilPressureFunction) X(aux13Function) X(aux24Function) X(hobbsMinRpm) X(hobbsCode)                  \
    X(utcOffsetMinutes) X(rtcSourceGps) X(egtChannels) X(egtScanMode) X(egtDisplayMax) X(egtDisplayMin)   \
    X(egtHighAlarm) X(egtHighCaution) X(egtHighAlarmOn) X(egtProbe) X(egtScanTime) X(chtChannels)         \
    X(chtScanMode) X(chtDisplayMax) X(chtDisplayMin) X(chtHighAlarm) X(chtHighCaution) X(chtHighAlarmOn)  \
    X(chtProbe) X(chtScanTime) X(fuelFlowMode) X(fuelSpeedSource) X(cruiseSpeed) X(fuelUnit) X(flow1On)   \
    X(flow1KFactor) X(flow2On) X(flow2KFactor) X(dualFlowMode) X(tank1Source) X(tank2Source)              \
    X(injectorLevel) X(tank1Size) X(tank1LowAlarmOn) X(tank1LowAlarm) X(tank1LowCaution)                  \
    X(tank1Calibration) X(tank1Filter) X(tank2Size) X(tank2LowAlarmOn) X(tank2LowAlarm)                   \
    X(tank2LowCaution) X(tank2Calibration) X(tank2Filter) X(backlight) X(gpsMode) X(secondHomePageOn)     \
    X(coMonitorType) X(tank1AddToRange) X(tank2AddToRange) X(zedaProtocol) X(lastDocumentKind)            \
    X(lastDocumentPath) X(fuelPressureOn) X(currentOn) X(rpm1Label) X(rpm2Label) X(tankLitreResolution)

}  // namespace

void addSettingsVariables(std::vector<DeviceVariable>& variables)
{
    const std::string prefix;
    const size_t offset = 0;
#define ADD_PLAIN(f) ADD_FIELD(Settings, f)
    SETTINGS_PLAIN_FIELDS(ADD_PLAIN)
#undef ADD_PLAIN
    for (int i = 0; i < 4; ++i) {
        const std::string channel = "[" + std::to_string(i) + "].";
        addPressure(variables, "pressureSender" + channel,
                    offsetof(Settings, pressureSender) + i * sizeof(PressureSenderConfig));
        addTemperature(variables, "temperatureSender" + channel,
                       offsetof(Settings, temperatureSender) + i * sizeof(TemperatureSenderConfig));
        addCurrent(variables, "currentSender" + channel,
                   offsetof(Settings, currentSender) + i * sizeof(CurrentSensorConfig));
    }
    addPressure(variables, "fuelPressureSender.", offsetof(Settings, fuelPressureSender));
    addCurrent(variables, "currentSensor.", offsetof(Settings, currentSensor));
}

#undef ADD_FIELD
#undef SETTINGS_PLAIN_FIELDS

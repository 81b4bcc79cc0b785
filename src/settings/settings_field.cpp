// Loading and storing through a field reference, the records a field can live in, and the one
// list of the settings record's fields by name.
#include "settings/settings_field.h"

#include <cstring>
#include <deque>
#include <string>
#include <vector>

size_t SettingsField::elementSize() const
{
    switch (width) {
    case FieldWidth::U8: case FieldWidth::I8: case FieldWidth::Text: return 1;
    case FieldWidth::U16: case FieldWidth::I16: return 2;
    case FieldWidth::U32: case FieldWidth::I32: return 4;
    }
    return 1;
}

int64_t SettingsField::load(const void* base, int element) const
{
    const auto* p = static_cast<const uint8_t*>(base) + offset + static_cast<size_t>(element) * elementSize();
    switch (width) {
    case FieldWidth::U8: case FieldWidth::Text: return *p;
    case FieldWidth::I8: return static_cast<int8_t>(*p);
    case FieldWidth::U16: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    case FieldWidth::I16: { int16_t v; std::memcpy(&v, p, 2); return v; }
    case FieldWidth::U32: { uint32_t v; std::memcpy(&v, p, 4); return v; }
    case FieldWidth::I32: { int32_t v; std::memcpy(&v, p, 4); return v; }
    }
    return 0;
}

void SettingsField::store(void* base, int64_t value, int element) const
{
    auto* p = static_cast<uint8_t*>(base) + offset + static_cast<size_t>(element) * elementSize();
    const auto bits = static_cast<uint32_t>(value);  // little-endian: the low bytes come first
    std::memcpy(p, &bits, elementSize());
}

uint8_t* SettingsField::address(int channel) const { return settingsRecord(record, channel) + offset; }

int64_t SettingsField::get(int channel, int element) const { return load(settingsRecord(record, channel), element); }

void SettingsField::set(int64_t value, int channel, int element) const
{
    store(settingsRecord(record, channel), value, element);
}

uint8_t* settingsRecord(FieldRecord record, int channel)
{
    const bool own = channel == OWN_SENSOR_CHANNEL;
    const int input = ((channel % 4) + 4) % 4;
    void* base = &settings;
    switch (record) {
    case FieldRecord::Settings: break;
    case FieldRecord::PressureSender:
        base = own ? &settings.fuelPressureSender : &settings.pressureSender[input];
        break;
    case FieldRecord::TemperatureSender: base = &settings.temperatureSender[input]; break;
    case FieldRecord::CurrentSender:
        base = own ? &settings.currentSensor : &settings.currentSender[input];
        break;
    }
    return static_cast<uint8_t*>(base);
}

namespace {

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

class Builder {
public:
    std::vector<NamedSettingsField> rows;

    // A field at offset from the start of the whole record; arrays also get one row per element.
    void add(const std::string& name, SettingsField field, size_t offset)
    {
        field.offset = static_cast<uint16_t>(offset);
        field.record = FieldRecord::Settings;
        rows.push_back({keep(name), field});
        if (field.width == FieldWidth::Text || field.count == 1) return;
        for (int i = 0; i < field.count; ++i) {
            SettingsField one = field;
            one.offset = static_cast<uint16_t>(offset + i * field.elementSize());
            one.count = 1;
            rows.push_back({keep(name + "[" + std::to_string(i) + "]"), one});
        }
    }

    void addCurve(const std::string& prefix, size_t offset)
    {
        add(prefix + "pointCount", RECORD_FIELD(SenderCurve, pointCount), offset + offsetof(SenderCurve, pointCount));
        for (int i = 0; i < 16; ++i) {
            const std::string point = prefix + "points[" + std::to_string(i) + "].";
            const size_t at = offset + offsetof(SenderCurve, points) + i * sizeof(SenderPoint);
            add(point + "value", RECORD_FIELD(SenderPoint, value), at + offsetof(SenderPoint, value));
            add(point + "reading", RECORD_FIELD(SenderPoint, reading), at + offsetof(SenderPoint, reading));
        }
    }

#define ADD_SUB(R, f) add(prefix + #f, RECORD_FIELD(R, f), offset + offsetof(R, f));
    void addPressure(const std::string& prefix, size_t offset)
    {
        ADD_SUB(PressureSenderConfig, type)
        ADD_SUB(PressureSenderConfig, senderSource)
        ADD_SUB(PressureSenderConfig, pressureUnit)
        ADD_SUB(PressureSenderConfig, pressureAt4mA)
        ADD_SUB(PressureSenderConfig, pressureAt20mA)
        ADD_SUB(PressureSenderConfig, label)
        ADD_SUB(PressureSenderConfig, displayMax)
        ADD_SUB(PressureSenderConfig, displayMin)
        ADD_SUB(PressureSenderConfig, lowAlarm)
        ADD_SUB(PressureSenderConfig, lowAlarmOn)
        ADD_SUB(PressureSenderConfig, highAlarm)
        ADD_SUB(PressureSenderConfig, lowCaution)
        ADD_SUB(PressureSenderConfig, highCaution)
        ADD_SUB(PressureSenderConfig, highAlarmOn)
        ADD_SUB(PressureSenderConfig, umaModel)
        ADD_SUB(PressureSenderConfig, vdoModel)
        addCurve(prefix + "curve.", offset + offsetof(PressureSenderConfig, curve));
    }

    void addTemperature(const std::string& prefix, size_t offset)
    {
        ADD_SUB(TemperatureSenderConfig, label)
        ADD_SUB(TemperatureSenderConfig, displayMax)
        ADD_SUB(TemperatureSenderConfig, displayMin)
        ADD_SUB(TemperatureSenderConfig, lowAlarm)
        ADD_SUB(TemperatureSenderConfig, lowAlarmOn)
        ADD_SUB(TemperatureSenderConfig, highAlarm)
        ADD_SUB(TemperatureSenderConfig, lowCaution)
        ADD_SUB(TemperatureSenderConfig, highCaution)
        ADD_SUB(TemperatureSenderConfig, highAlarmOn)
        ADD_SUB(TemperatureSenderConfig, sender)
        ADD_SUB(TemperatureSenderConfig, lm335Offset)
        addCurve(prefix + "curve.", offset + offsetof(TemperatureSenderConfig, curve));
    }

    void addCurrent(const std::string& prefix, size_t offset)
    {
        ADD_SUB(CurrentSensorConfig, displayMax)
        ADD_SUB(CurrentSensorConfig, displayMin)
        ADD_SUB(CurrentSensorConfig, lowAlarm)
        ADD_SUB(CurrentSensorConfig, lowAlarmOn)
        ADD_SUB(CurrentSensorConfig, highAlarm)
        ADD_SUB(CurrentSensorConfig, lowCaution)
        ADD_SUB(CurrentSensorConfig, highCaution)
        ADD_SUB(CurrentSensorConfig, highAlarmOn)
        ADD_SUB(CurrentSensorConfig, currentSpan)
    }
#undef ADD_SUB

private:
    // Generated names live as long as the table, which keeps only their pointers.
    std::deque<std::string> names_;
    const char* keep(std::string name) { return names_.emplace_back(std::move(name)).c_str(); }
};

const std::vector<NamedSettingsField>& table()
{
    static Builder builder;
    static const bool built = [] {
#define ADD_PLAIN(f) builder.add(#f, SETTING(f), offsetof(Settings, f));
        SETTINGS_PLAIN_FIELDS(ADD_PLAIN)
#undef ADD_PLAIN
        for (int i = 0; i < 4; ++i) {
            const std::string channel = "[" + std::to_string(i) + "].";
            builder.addPressure("pressureSender" + channel,
                                offsetof(Settings, pressureSender) + i * sizeof(PressureSenderConfig));
            builder.addTemperature("temperatureSender" + channel,
                                   offsetof(Settings, temperatureSender) + i * sizeof(TemperatureSenderConfig));
            builder.addCurrent("currentSender" + channel,
                               offsetof(Settings, currentSender) + i * sizeof(CurrentSensorConfig));
        }
        builder.addPressure("fuelPressureSender.", offsetof(Settings, fuelPressureSender));
        builder.addCurrent("currentSensor.", offsetof(Settings, currentSensor));
        return true;
    }();
    (void)built;
    return builder.rows;
}

#undef SETTINGS_PLAIN_FIELDS

}  // namespace

const NamedSettingsField* settingsFieldNames(size_t& count)
{
    count = table().size();
    return table().data();
}

const NamedSettingsField* findSettingsField(const char* name)
{
    for (const NamedSettingsField& row : table())
        if (std::strcmp(row.name, name) == 0) return &row;
    return nullptr;
}

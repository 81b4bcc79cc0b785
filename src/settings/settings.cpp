// The settings record in device RAM, its factory defaults and the values derived from it.
#include "settings/settings.h"

#include <cstring>

#include "engine/fuel.h"

Settings settings;
uint32_t rpmFactor = 0;

// The record is also the file format: every field at its fixed offset.
static_assert(offsetof(Settings, formatCode) == 0);
static_assert(offsetof(Settings, dataRecordingOn) == 2);
static_assert(offsetof(Settings, oatDisplayMax) == 3);
static_assert(offsetof(Settings, oatDisplayMin) == 5);
static_assert(offsetof(Settings, oatLowAlarm) == 7);
static_assert(offsetof(Settings, oatHighAlarm) == 9);
static_assert(offsetof(Settings, oatLowAlarmOn) == 11);
static_assert(offsetof(Settings, oatHighAlarmOn) == 12);
static_assert(offsetof(Settings, temperatureUnit) == 13);
static_assert(offsetof(Settings, oatUnit) == 14);
static_assert(offsetof(Settings, voltsDisplayMax) == 15);
static_assert(offsetof(Settings, voltsDisplayMin) == 17);
static_assert(offsetof(Settings, voltsLowAlarm) == 19);
static_assert(offsetof(Settings, voltsHighAlarm) == 21);
static_assert(offsetof(Settings, voltsLowAlarmOn) == 23);
static_assert(offsetof(Settings, voltsHighAlarmOn) == 24);
static_assert(offsetof(Settings, voltsLowCaution) == 25);
static_assert(offsetof(Settings, voltsHighCaution) == 27);
static_assert(offsetof(Settings, mapDisplayOn) == 29);
static_assert(offsetof(Settings, mapDisplayMax) == 30);
static_assert(offsetof(Settings, mapDisplayMin) == 32);
static_assert(offsetof(Settings, mapLowAlarm) == 34);
static_assert(offsetof(Settings, mapLowAlarmOn) == 36);
static_assert(offsetof(Settings, mapHighAlarm) == 37);
static_assert(offsetof(Settings, mapLowCaution) == 39);
static_assert(offsetof(Settings, mapHighCaution) == 41);
static_assert(offsetof(Settings, mapHighAlarmOn) == 43);
static_assert(offsetof(Settings, mapFilter) == 44);
static_assert(offsetof(Settings, mapUnit) == 45);
static_assert(offsetof(Settings, rpm1DisplayMode) == 46);
static_assert(offsetof(Settings, rpm1FullScale) == 47);
static_assert(offsetof(Settings, rpm1DisplayMax) == 51);
static_assert(offsetof(Settings, rpm1DisplayMin) == 55);
static_assert(offsetof(Settings, rpm1LowAlarm) == 59);
static_assert(offsetof(Settings, rpm1LowAlarmOn) == 63);
static_assert(offsetof(Settings, rpm1HighAlarm) == 64);
static_assert(offsetof(Settings, rpm1HighAlarmOn) == 68);
static_assert(offsetof(Settings, rpm1LowCaution) == 69);
static_assert(offsetof(Settings, rpm1HighCaution) == 73);
static_assert(offsetof(Settings, rpm1PulsesPerRev) == 77);
static_assert(offsetof(Settings, rpm1Resolution) == 79);
static_assert(offsetof(Settings, rpm2DisplayMode) == 80);
static_assert(offsetof(Settings, rpm2FullScale) == 81);
static_assert(offsetof(Settings, rpm2DisplayMax) == 85);
static_assert(offsetof(Settings, rpm2DisplayMin) == 89);
static_assert(offsetof(Settings, rpm2LowAlarm) == 93);
static_assert(offsetof(Settings, rpm2LowAlarmOn) == 97);
static_assert(offsetof(Settings, rpm2HighAlarm) == 98);
static_assert(offsetof(Settings, rpm2HighAlarmOn) == 102);
static_assert(offsetof(Settings, rpm2LowCaution) == 103);
static_assert(offsetof(Settings, rpm2HighCaution) == 107);
static_assert(offsetof(Settings, rpm2PulsesPerRev) == 111);
static_assert(offsetof(Settings, rpm2Resolution) == 113);
static_assert(offsetof(Settings, gpsPositionFormat) == 114);
static_assert(offsetof(Settings, gpsAltitudeUnit) == 115);
static_assert(offsetof(Settings, gpsCogReference) == 116);
static_assert(offsetof(Settings, gpsVariationMode) == 117);
static_assert(offsetof(Settings, gpsManualVariation) == 118);
static_assert(offsetof(Settings, gpsBaudRate) == 120);
static_assert(offsetof(Settings, aircraftRegistration) == 121);
static_assert(offsetof(Settings, flightDetectAuto) == 130);
static_assert(offsetof(Settings, flightDetectMinRpm) == 131);
static_assert(offsetof(Settings, flightDetectMinGroundSpeed) == 135);
static_assert(offsetof(Settings, pilotNumber) == 137);
static_assert(offsetof(Settings, oilTempFunction) == 138);
static_assert(offsetof(Settings, oilPressureFunction) == 139);
static_assert(offsetof(Settings, aux13Function) == 140);
static_assert(offsetof(Settings, aux24Function) == 141);
static_assert(offsetof(Settings, pressureSender) == 142);
static_assert(offsetof(Settings, temperatureSender) == 498);
static_assert(offsetof(Settings, currentSender) == 826);
static_assert(offsetof(Settings, hobbsMinRpm) == 890);
static_assert(offsetof(Settings, hobbsCode) == 894);
static_assert(offsetof(Settings, utcOffsetMinutes) == 896);
static_assert(offsetof(Settings, rtcSourceGps) == 898);
static_assert(offsetof(Settings, egtChannels) == 899);
static_assert(offsetof(Settings, egtScanMode) == 900);
static_assert(offsetof(Settings, egtDisplayMax) == 901);
static_assert(offsetof(Settings, egtDisplayMin) == 903);
static_assert(offsetof(Settings, egtHighAlarm) == 905);
static_assert(offsetof(Settings, egtHighCaution) == 907);
static_assert(offsetof(Settings, egtHighAlarmOn) == 909);
static_assert(offsetof(Settings, egtProbe) == 910);
static_assert(offsetof(Settings, egtScanTime) == 911);
static_assert(offsetof(Settings, chtChannels) == 912);
static_assert(offsetof(Settings, chtScanMode) == 913);
static_assert(offsetof(Settings, chtDisplayMax) == 914);
static_assert(offsetof(Settings, chtDisplayMin) == 916);
static_assert(offsetof(Settings, chtHighAlarm) == 918);
static_assert(offsetof(Settings, chtHighCaution) == 920);
static_assert(offsetof(Settings, chtHighAlarmOn) == 922);
static_assert(offsetof(Settings, chtProbe) == 923);
static_assert(offsetof(Settings, chtScanTime) == 924);
static_assert(offsetof(Settings, fuelFlowMode) == 925);
static_assert(offsetof(Settings, fuelSpeedSource) == 926);
static_assert(offsetof(Settings, cruiseSpeed) == 927);
static_assert(offsetof(Settings, fuelUnit) == 929);
static_assert(offsetof(Settings, flow1On) == 930);
static_assert(offsetof(Settings, flow1KFactor) == 931);
static_assert(offsetof(Settings, flow2On) == 933);
static_assert(offsetof(Settings, flow2KFactor) == 934);
static_assert(offsetof(Settings, dualFlowMode) == 936);
static_assert(offsetof(Settings, tank1Source) == 937);
static_assert(offsetof(Settings, tank2Source) == 938);
static_assert(offsetof(Settings, injectorLevel) == 939);
static_assert(offsetof(Settings, tank1Size) == 940);
static_assert(offsetof(Settings, tank1LowAlarmOn) == 942);
static_assert(offsetof(Settings, tank1LowAlarm) == 943);
static_assert(offsetof(Settings, tank1LowCaution) == 945);
static_assert(offsetof(Settings, tank1Calibration) == 947);
static_assert(offsetof(Settings, tank1Filter) == 959);
static_assert(offsetof(Settings, tank2Size) == 960);
static_assert(offsetof(Settings, tank2LowAlarmOn) == 962);
static_assert(offsetof(Settings, tank2LowAlarm) == 963);
static_assert(offsetof(Settings, tank2LowCaution) == 965);
static_assert(offsetof(Settings, tank2Calibration) == 967);
static_assert(offsetof(Settings, tank2Filter) == 979);
static_assert(offsetof(Settings, backlight) == 980);
static_assert(offsetof(Settings, gpsMode) == 981);
static_assert(offsetof(Settings, secondHomePageOn) == 982);
static_assert(offsetof(Settings, coMonitorType) == 983);
static_assert(offsetof(Settings, tank1AddToRange) == 984);
static_assert(offsetof(Settings, tank2AddToRange) == 985);
static_assert(offsetof(Settings, zedaProtocol) == 986);
static_assert(offsetof(Settings, lastDocumentKind) == 987);
static_assert(offsetof(Settings, lastDocumentPath) == 988);
static_assert(offsetof(Settings, fuelPressureOn) == 1038);
static_assert(offsetof(Settings, fuelPressureSender) == 1039);
static_assert(offsetof(Settings, currentOn) == 1128);
static_assert(offsetof(Settings, currentSensor) == 1129);
static_assert(offsetof(Settings, rpm1Label) == 1145);
static_assert(offsetof(Settings, rpm2Label) == 1146);
static_assert(offsetof(Settings, tankLitreResolution) == 1147);
static_assert(offsetof(PressureSenderConfig, type) == 0);
static_assert(offsetof(PressureSenderConfig, senderSource) == 1);
static_assert(offsetof(PressureSenderConfig, pressureUnit) == 2);
static_assert(offsetof(PressureSenderConfig, pressureAt4mA) == 3);
static_assert(offsetof(PressureSenderConfig, pressureAt20mA) == 5);
static_assert(offsetof(PressureSenderConfig, label) == 7);
static_assert(offsetof(PressureSenderConfig, displayMax) == 8);
static_assert(offsetof(PressureSenderConfig, displayMin) == 10);
static_assert(offsetof(PressureSenderConfig, lowAlarm) == 12);
static_assert(offsetof(PressureSenderConfig, lowAlarmOn) == 14);
static_assert(offsetof(PressureSenderConfig, highAlarm) == 15);
static_assert(offsetof(PressureSenderConfig, lowCaution) == 17);
static_assert(offsetof(PressureSenderConfig, highCaution) == 19);
static_assert(offsetof(PressureSenderConfig, highAlarmOn) == 21);
static_assert(offsetof(PressureSenderConfig, umaModel) == 22);
static_assert(offsetof(PressureSenderConfig, vdoModel) == 23);
static_assert(offsetof(PressureSenderConfig, curve) == 24);
static_assert(offsetof(TemperatureSenderConfig, label) == 0);
static_assert(offsetof(TemperatureSenderConfig, displayMax) == 1);
static_assert(offsetof(TemperatureSenderConfig, displayMin) == 3);
static_assert(offsetof(TemperatureSenderConfig, lowAlarm) == 5);
static_assert(offsetof(TemperatureSenderConfig, lowAlarmOn) == 7);
static_assert(offsetof(TemperatureSenderConfig, highAlarm) == 8);
static_assert(offsetof(TemperatureSenderConfig, lowCaution) == 10);
static_assert(offsetof(TemperatureSenderConfig, highCaution) == 12);
static_assert(offsetof(TemperatureSenderConfig, highAlarmOn) == 14);
static_assert(offsetof(TemperatureSenderConfig, sender) == 15);
static_assert(offsetof(TemperatureSenderConfig, lm335Offset) == 16);
static_assert(offsetof(TemperatureSenderConfig, curve) == 17);
static_assert(offsetof(CurrentSensorConfig, displayMax) == 0);
static_assert(offsetof(CurrentSensorConfig, displayMin) == 2);
static_assert(offsetof(CurrentSensorConfig, lowAlarm) == 4);
static_assert(offsetof(CurrentSensorConfig, lowAlarmOn) == 6);
static_assert(offsetof(CurrentSensorConfig, highAlarm) == 7);
static_assert(offsetof(CurrentSensorConfig, lowCaution) == 9);
static_assert(offsetof(CurrentSensorConfig, highCaution) == 11);
static_assert(offsetof(CurrentSensorConfig, highAlarmOn) == 13);
static_assert(offsetof(CurrentSensorConfig, currentSpan) == 14);
static_assert(offsetof(SenderCurve, pointCount) == 0);
static_assert(offsetof(SenderCurve, points) == 1);
static_assert(offsetof(SenderPoint, value) == 0);
static_assert(offsetof(SenderPoint, reading) == 2);

namespace {

constexpr SenderPoint kPressureCurve[] = {{0, 20}, {20, 128}, {40, 216}, {60, 304}, {80, 372}, {100, 433}};
constexpr SenderPoint kTemperatureCurve[] = {{10, 2000}, {50, 720}, {66, 432}, {80, 280}, {100, 156},
                                             {110, 120}, {120, 92}, {130, 72}, {140, 56}, {150, 44}};

template <size_t N> void setCurve(SenderCurve& curve, const SenderPoint (&points)[N])
{
    static_assert(N >= 2 && N <= 16);
    curve = SenderCurve{};
    curve.pointCount = static_cast<uint8_t>(N);
    for (size_t i = 0; i < N; ++i) curve.points[i] = points[i];
}

void setPressureDefaults(PressureSenderConfig& p)
{
    p.type = 0;
    p.senderSource = 0;
    p.pressureUnit = 0;
    p.pressureAt4mA = 0;
    p.pressureAt20mA = 100;
    p.label = 4;
    p.displayMax = 100;
    p.displayMin = 0;
    p.lowAlarm = 15;
    p.lowAlarmOn = 1;
    p.highAlarm = 80;
    p.lowCaution = 25;
    p.highCaution = 70;
    p.highAlarmOn = 1;
    p.umaModel = 0;
    p.vdoModel = 2;
    setCurve(p.curve, kPressureCurve);
}

void setTemperatureDefaults(TemperatureSenderConfig& t)
{
    t.label = 3;
    t.displayMax = 150;
    t.displayMin = 50;
    t.lowAlarm = 70;
    t.lowAlarmOn = 1;
    t.highAlarm = 135;
    t.lowCaution = 90;
    t.highCaution = 120;
    t.highAlarmOn = 1;
    t.sender = 1;
    t.lm335Offset = 0;
    setCurve(t.curve, kTemperatureCurve);
}

void setCurrentDefaults(CurrentSensorConfig& c)
{
    c.displayMax = 50;
    c.displayMin = -50;
    c.lowAlarm = -40;
    c.lowAlarmOn = 1;
    c.highAlarm = 40;
    c.lowCaution = -30;
    c.highCaution = 30;
    c.highAlarmOn = 1;
    c.currentSpan = 50;
}

// Every field in record order. The record is cleared first, so that no byte (the tail of the
// document path, the fuel pressure label, unused curve points) carries anything over from a
// recalled file into the next power-on.
void fillFactoryDefaults(Settings& s)
{
    std::memset(&s, 0, sizeof s);
    s.formatCode = SETTINGS_FORMAT_CODE;
    s.dataRecordingOn = 1;
    s.oatDisplayMax = 100;
    s.oatDisplayMin = -50;
    s.oatLowAlarm = 0;
    s.oatHighAlarm = 60;
    s.oatLowAlarmOn = 1;
    s.oatHighAlarmOn = 1;
    s.temperatureUnit = 0;
    s.oatUnit = 0;
    s.voltsDisplayMax = 200;
    s.voltsDisplayMin = 80;
    s.voltsLowAlarm = 100;
    s.voltsHighAlarm = 150;
    s.voltsLowAlarmOn = 1;
    s.voltsHighAlarmOn = 1;
    s.voltsLowCaution = 110;
    s.voltsHighCaution = 140;
    s.mapDisplayOn = 1;
    s.mapDisplayMax = 443;
    s.mapDisplayMin = 266;
    s.mapLowAlarm = 278;
    s.mapLowAlarmOn = 1;
    s.mapHighAlarm = 413;
    s.mapLowCaution = 292;
    s.mapHighCaution = 354;
    s.mapHighAlarmOn = 1;
    s.mapFilter = 1;
    s.mapUnit = 1;
    s.rpm1DisplayMode = 0;
    s.rpm1FullScale = 6000;
    s.rpm1DisplayMax = 6000;
    s.rpm1DisplayMin = 0;
    s.rpm1LowAlarm = 500;
    s.rpm1LowAlarmOn = 0;
    s.rpm1HighAlarm = 5800;
    s.rpm1HighAlarmOn = 1;
    s.rpm1LowCaution = 1000;
    s.rpm1HighCaution = 5500;
    s.rpm1PulsesPerRev = 60;
    s.rpm1Resolution = 0;
    s.rpm2DisplayMode = 2;
    s.rpm2FullScale = 1000;
    s.rpm2DisplayMax = 1500;
    s.rpm2DisplayMin = 0;
    s.rpm2LowAlarm = 100;
    s.rpm2LowAlarmOn = 1;
    s.rpm2HighAlarm = 1200;
    s.rpm2HighAlarmOn = 1;
    s.rpm2LowCaution = 600;
    s.rpm2HighCaution = 1100;
    s.rpm2PulsesPerRev = 10;
    s.rpm2Resolution = 0;
    s.gpsPositionFormat = 2;
    s.gpsAltitudeUnit = 0;
    s.gpsCogReference = 0;
    s.gpsVariationMode = 0;
    s.gpsManualVariation = 0;
    s.gpsBaudRate = 3;
    std::memcpy(s.aircraftRegistration, "REG NO  ", 9);
    s.flightDetectAuto = 0;
    s.flightDetectMinRpm = 1000;
    s.flightDetectMinGroundSpeed = 30;
    s.pilotNumber = 0;
    s.oilTempFunction = 2;
    s.oilPressureFunction = 1;
    s.aux13Function = 2;
    s.aux24Function = 3;
    for (int channel = 0; channel < 4; ++channel) {
        setPressureDefaults(s.pressureSender[channel]);
        setTemperatureDefaults(s.temperatureSender[channel]);
        setCurrentDefaults(s.currentSender[channel]);
    }
    s.temperatureSender[0].label = 0;  // OIL
    s.pressureSender[1].label = 0;     // OIL
    s.hobbsMinRpm = 1000;
    s.hobbsCode = 0;
    s.utcOffsetMinutes = 0;
    s.rtcSourceGps = 0;
    s.egtChannels = 2;
    s.egtScanMode = 1;
    s.egtDisplayMax = 850;
    s.egtDisplayMin = 400;
    s.egtHighAlarm = 800;
    s.egtHighCaution = 700;
    s.egtHighAlarmOn = 1;
    s.egtProbe = 0;
    s.egtScanTime = 0;
    s.chtChannels = 2;
    s.chtScanMode = 1;
    s.chtDisplayMax = 150;
    s.chtDisplayMin = 0;
    s.chtHighAlarm = 130;
    s.chtHighCaution = 100;
    s.chtHighAlarmOn = 1;
    s.chtProbe = 0;
    s.chtScanTime = 0;
    s.fuelFlowMode = 0;
    s.fuelSpeedSource = 1;
    s.cruiseSpeed = 50;
    s.fuelUnit = 0;
    s.flow1On = 1;
    s.flow1KFactor = 7000;
    s.flow2On = 0;
    s.flow2KFactor = 7000;
    s.dualFlowMode = 0;
    s.tank1Source = 0;
    s.tank2Source = 2;
    s.injectorLevel = 0;
    const uint16_t tankCalibration[6] = {809, 680, 520, 427, 356, 251};
    s.tank1Size = 45;
    s.tank1LowAlarmOn = 1;
    s.tank1LowAlarm = 10;
    s.tank1LowCaution = 20;
    std::memcpy(s.tank1Calibration, tankCalibration, sizeof tankCalibration);
    s.tank1Filter = 3;
    s.tank2Size = 45;
    s.tank2LowAlarmOn = 1;
    s.tank2LowAlarm = 10;
    s.tank2LowCaution = 20;
    std::memcpy(s.tank2Calibration, tankCalibration, sizeof tankCalibration);
    s.tank2Filter = 3;
    s.backlight = 31;
    s.gpsMode = 1;
    s.secondHomePageOn = 0;
    s.coMonitorType = 0;
    s.tank1AddToRange = 1;
    s.tank2AddToRange = 1;
    s.zedaProtocol = 0;
    s.lastDocumentKind = 0;
    s.lastDocumentPath[0] = '\0';
    s.fuelPressureOn = 1;
    setPressureDefaults(s.fuelPressureSender);
    s.fuelPressureSender.type = 1;          // 0-5V
    s.fuelPressureSender.senderSource = 2;  // UMA
    s.fuelPressureSender.pressureUnit = 2;  // psi(0.1)
    s.fuelPressureSender.label = 0;         // not shown for fuel pressure
    s.currentOn = 0;
    setCurrentDefaults(s.currentSensor);
    s.rpm1Label = 0;
    s.rpm2Label = 1;
    s.tankLitreResolution = 0;
}

}  // namespace

const Settings& factorySettings()
{
    static const Settings factory = [] {
        Settings s;
        fillFactoryDefaults(s);
        return s;
    }();
    return factory;
}

void loadDefaultSettings()
{
    fillFactoryDefaults(settings);
    // Neither derived value feeds back into a field that the defaults set, so both can follow
    // the whole record rather than sit between its groups.
    updateRpmFactor();
    recomputeFuelLayout();
}

void updateRpmFactor()
{
    // The setup screen keeps the pulses at 1..5000 tenths; a record that bypassed it must not
    // divide by zero or turn a negative quotient into a huge unsigned factor.
    int32_t pulses = settings.rpm1PulsesPerRev;
    if (pulses < 1) pulses = 1;
    rpmFactor = static_cast<uint32_t>(6000 / pulses) * 15586u;
}

void recomputeFuelLayout() { updateFuelLayout(); }

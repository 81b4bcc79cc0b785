// The settings record: everything the user configures, one packed little-endian image that is
// also the byte layout of the settings file. Factory defaults, range repair and derived values.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "the settings image is little-endian");

#pragma pack(push, 1)

// One calibration point: a value in display units at an ADC reading.
struct SenderPoint {
    int16_t value;
    int16_t reading;
};

// A user calibration curve; only the first pointCount points are used, the rest are 0.
struct SenderCurve {
    uint8_t pointCount;  // 2..16
    SenderPoint points[16];
};

struct PressureSenderConfig {
    uint8_t type;            // 0 RESISTIVE, 1 0-5V, 2 4-20mA
    uint8_t senderSource;    // 0 VDO, 1 USER, 2 the maker of the type (UMA, ROTAX)
    uint8_t pressureUnit;    // 0 bar (0.1 bar), 1 psi, 2 psi(0.1)
    int16_t pressureAt4mA;
    int16_t pressureAt20mA;  // also the maximum pressure of other sender types
    uint8_t label;           // 0 OIL, 1 FUEL, 2 BOOST, 3 MAP, 4 AUX
    int16_t displayMax;
    int16_t displayMin;
    int16_t lowAlarm;
    uint8_t lowAlarmOn;
    int16_t highAlarm;
    int16_t lowCaution;
    int16_t highCaution;
    uint8_t highAlarmOn;
    uint8_t umaModel;        // 0 T1EU07, 1 T1EU35, 2 T1EU70, 3 T1EU70A, 4 T1EU100, 5 T1EU150
    uint8_t vdoModel;        // 0 2 bar, 1 5 bar, 2 10 bar
    SenderCurve curve;
};

struct TemperatureSenderConfig {
    uint8_t label;        // 0 OIL, 1 COOLANT, 2 WATER, 3 AUX
    int16_t displayMax;   // degrees in temperatureUnit
    int16_t displayMin;
    int16_t lowAlarm;
    uint8_t lowAlarmOn;
    int16_t highAlarm;
    int16_t lowCaution;
    int16_t highCaution;
    uint8_t highAlarmOn;
    uint8_t sender;       // 0 DVK NTC, 1 VDO 150, 2 LM335, 3 USER, 4 WESTACH, 5 VDO 120
    int8_t lm335Offset;   // degrees, -30..30
    SenderCurve curve;
};

// Whole amperes.
struct CurrentSensorConfig {
    int16_t displayMax;
    int16_t displayMin;
    int16_t lowAlarm;
    uint8_t lowAlarmOn;
    int16_t highAlarm;
    int16_t lowCaution;
    int16_t highCaution;
    uint8_t highAlarmOn;
    int16_t currentSpan;  // amperes at a reading of 4096
};

struct Settings {
    uint16_t formatCode;
    uint8_t dataRecordingOn;
    int16_t oatDisplayMax;
    int16_t oatDisplayMin;
    int16_t oatLowAlarm;
    int16_t oatHighAlarm;
    uint8_t oatLowAlarmOn;
    uint8_t oatHighAlarmOn;
    uint8_t temperatureUnit;  // EGT, CHT and sender temperatures: 0 C, 1 F
    uint8_t oatUnit;
    int16_t voltsDisplayMax;  // 0.1 V
    int16_t voltsDisplayMin;
    uint16_t voltsLowAlarm;
    uint16_t voltsHighAlarm;
    uint8_t voltsLowAlarmOn;
    uint8_t voltsHighAlarmOn;
    uint16_t voltsLowCaution;
    uint16_t voltsHighCaution;
    uint8_t mapDisplayOn;
    int16_t mapDisplayMax;  // mb, or 0.1 inHg
    int16_t mapDisplayMin;
    int16_t mapLowAlarm;
    uint8_t mapLowAlarmOn;
    int16_t mapHighAlarm;
    int16_t mapLowCaution;
    int16_t mapHighCaution;
    uint8_t mapHighAlarmOn;
    uint8_t mapFilter;  // 0 NONE, 1 FAST, 2 SLOW
    uint8_t mapUnit;    // 0 mb, 1 inHg
    uint8_t rpm1DisplayMode;  // 0 RPM, 1 PERCENT, 2 OFF
    int32_t rpm1FullScale;
    int32_t rpm1DisplayMax;
    int32_t rpm1DisplayMin;
    int32_t rpm1LowAlarm;
    uint8_t rpm1LowAlarmOn;
    int32_t rpm1HighAlarm;
    uint8_t rpm1HighAlarmOn;
    int32_t rpm1LowCaution;
    int32_t rpm1HighCaution;
    int16_t rpm1PulsesPerRev;  // 0.1 pulses
    uint8_t rpm1Resolution;    // 0 1 RPM, 1 5 RPM, 2 10 RPM, 3 50 RPM
    uint8_t rpm2DisplayMode;
    int32_t rpm2FullScale;
    int32_t rpm2DisplayMax;
    int32_t rpm2DisplayMin;
    int32_t rpm2LowAlarm;
    uint8_t rpm2LowAlarmOn;
    int32_t rpm2HighAlarm;
    uint8_t rpm2HighAlarmOn;
    int32_t rpm2LowCaution;
    int32_t rpm2HighCaution;
    int16_t rpm2PulsesPerRev;
    uint8_t rpm2Resolution;
    uint8_t gpsPositionFormat;  // 0 d m.mmm, 1 d m s.s, 2 d.dddd
    uint8_t gpsAltitudeUnit;    // 0 ft, 1 m
    uint8_t gpsCogReference;    // 0 MAGNETIC, 1 TRUE
    uint8_t gpsVariationMode;   // 0 AUTO, 1 MANUAL
    int16_t gpsManualVariation; // whole degrees, east positive
    uint8_t gpsBaudRate;        // index into 1200 .. 115200
    char aircraftRegistration[9];
    uint8_t flightDetectAuto;
    uint32_t flightDetectMinRpm;
    uint16_t flightDetectMinGroundSpeed;
    uint8_t pilotNumber;
    uint8_t oilTempFunction;      // 0 off, 2 temperature
    uint8_t oilPressureFunction;  // 0 off, 1 pressure
    uint8_t aux13Function;        // 0 OFF, 1 PRESSURE, 2 TEMPERATURE, 3 CURRENT
    uint8_t aux24Function;
    PressureSenderConfig pressureSender[4];  // oil temperature, oil pressure, AUX 1/3, AUX 2/4
    TemperatureSenderConfig temperatureSender[4];
    CurrentSensorConfig currentSender[4];
    uint32_t hobbsMinRpm;
    uint16_t hobbsCode;  // 0 = no code
    int16_t utcOffsetMinutes;
    uint8_t rtcSourceGps;
    uint8_t egtChannels;
    uint8_t egtScanMode;  // 0 HIGHEST, 1 SCANNING
    int16_t egtDisplayMax;
    int16_t egtDisplayMin;
    int16_t egtHighAlarm;
    int16_t egtHighCaution;
    uint8_t egtHighAlarmOn;
    uint8_t egtProbe;     // 0 K, 1 J, 2 E
    uint8_t egtScanTime;  // index into 1, 3, 5, 10, 15, 30, 60 s
    uint8_t chtChannels;
    uint8_t chtScanMode;
    int16_t chtDisplayMax;
    int16_t chtDisplayMin;
    int16_t chtHighAlarm;
    int16_t chtHighCaution;
    uint8_t chtHighAlarmOn;
    uint8_t chtProbe;  // 0 K, 1 J, 2 E, 3 NTC on AUX 3/4
    uint8_t chtScanTime;
    uint8_t fuelFlowMode;     // 0 FLOW SENDER, 1 INJECTOR
    uint8_t fuelSpeedSource;  // 0 MANUAL-CRUISE, 1 AIRSPEED, 2 GPS GROUND SPEED
    uint16_t cruiseSpeed;
    uint8_t fuelUnit;  // 0 LITRE/SM, 1 GAL/SM, 2 LITRE/NM, 3 GAL/NM, 4 LITRE/KM, 5 GAL/KM
    uint8_t flow1On;
    uint16_t flow1KFactor;  // pulses per litre
    uint8_t flow2On;
    uint16_t flow2KFactor;
    uint8_t dualFlowMode;  // 0 DUAL, 1 DIFFERENTIAL, 2 SUMMATION
    uint8_t tank1Source;   // 0 SENDER, 1 CALCULATED, 2 OFF
    uint8_t tank2Source;
    uint8_t injectorLevel;  // 0 LOW, 1 HIGH
    int16_t tank1Size;      // 0.1 gal, litres or 0.1 litre
    uint8_t tank1LowAlarmOn;
    int16_t tank1LowAlarm;
    int16_t tank1LowCaution;
    uint16_t tank1Calibration[6];  // sender readings at 0, 1/5 .. 5/5 of the tank
    uint8_t tank1Filter;           // 0 NONE, 1 LOW, 2 MEDIUM, 3 HIGH
    int16_t tank2Size;
    uint8_t tank2LowAlarmOn;
    int16_t tank2LowAlarm;
    int16_t tank2LowCaution;
    uint16_t tank2Calibration[6];
    uint8_t tank2Filter;
    uint8_t backlight;  // 4..31
    uint8_t gpsMode;    // 0 OFF, 1 EXTERNAL
    uint8_t secondHomePageOn;
    uint8_t coMonitorType;  // 0 NONE, 1 CO GUARDIAN
    uint8_t tank1AddToRange;
    uint8_t tank2AddToRange;
    uint8_t zedaProtocol;      // 0 NORMAL, 1 EXTENDED
    uint8_t lastDocumentKind;  // 0 none, 1 information page, 2 checklist
    char lastDocumentPath[50];
    uint8_t fuelPressureOn;
    PressureSenderConfig fuelPressureSender;
    uint8_t currentOn;
    CurrentSensorConfig currentSensor;
    uint8_t rpm1Label;  // 0 ENGINE, 1 ROTOR, 2 PROP, 3 LEFT, 4 RIGHT, 5 FRONT, 6 REAR
    uint8_t rpm2Label;
    uint8_t tankLitreResolution;  // 0 1L, 1 0.1L
};

#pragma pack(pop)

constexpr size_t SETTINGS_SIZE = 1148;
constexpr uint16_t SETTINGS_FORMAT_CODE = 112;

static_assert(sizeof(SenderPoint) == 4);
static_assert(sizeof(SenderCurve) == 65);
static_assert(sizeof(PressureSenderConfig) == 89);
static_assert(sizeof(TemperatureSenderConfig) == 82);
static_assert(sizeof(CurrentSensorConfig) == 16);
static_assert(sizeof(Settings) == SETTINGS_SIZE);

// The device's one settings record.
extern Settings settings;

// RPM 1 pulse constant: RPM = rpmFactor / pulse period.
extern uint32_t rpmFactor;

// Every field to its factory value, then the values derived from them.
void loadDefaultSettings();

// The factory record (what loadDefaultSettings stores), for repairs and comparisons.
const Settings& factorySettings();

// Brings every field back into the range its setup screen allows (the limits of settings_table.cpp).
void sanitiseSettings();

// rpmFactor from rpm1PulsesPerRev.
void updateRpmFactor();

// Recomputes the fuel layout code from the fuel and tank fields (the fuel processing's
// updateFuelLayout), after defaults or a recall changed them.
void recomputeFuelLayout();

// The settings tables: one per record kind, each row a field with its offset in the file, its
// factory value and its limits. The offsets are checked against the packed structs, row by row.
#include "settings/settings_table.h"

#include <algorithm>
#include <type_traits>

namespace {

constexpr SettingLimits clamp(int32_t min, int32_t max) { return {Repair::Clamp, Follows::Nothing, {{min, max}}}; }
constexpr SettingLimits choice(int32_t min, int32_t max) { return {Repair::Default, Follows::Nothing, {{min, max}}}; }
constexpr SettingLimits either(int32_t min, int32_t max) { return {Repair::Either, Follows::Nothing, {{min, max}}}; }
constexpr SettingLimits onOff = choice(0, 1);
constexpr SettingLimits keep{};
constexpr SettingLimits kFormatCode = choice(SETTINGS_FORMAT_CODE, SETTINGS_FORMAT_CODE);  // a foreign code is replaced

// Limits that follow a unit or a count; what they follow has fixed limits of its own.
// A setup screen that offers a different lowest value from what a recall keeps.
constexpr SettingLimits screenFrom(int32_t min, SettingLimits limits)
{
    limits.screenMin = min;
    return limits;
}

constexpr SettingLimits kOat{Repair::Clamp, Follows::TemperatureUnit, {{-50, 150}, {-58, 302}}};  // not by oatUnit
constexpr SettingLimits kMap{Repair::Clamp, Follows::MapUnit, {{250, 2500}, {73, 738}}};  // mb, 0.1 inHg
constexpr SettingLimits kThermocouple{Repair::Clamp, Follows::TemperatureUnit, {{0, 1200}, {30, 2190}}};  // C, F
constexpr SettingLimits kFreeThermocouples{Repair::Clamp, Follows::FreeThermocouples};
constexpr SettingLimits kTank1{Repair::Clamp, Follows::Tank1Size};
constexpr SettingLimits kTank2{Repair::Clamp, Follows::Tank2Size};
// Pressures in the sender's own unit (0.1 bar, psi, 0.1 psi). The screens start the scale and
// alarm limits at 1, but the factory values themselves hold 0 (scale bottom, 4 mA pressure), so a
// recall accepts 0; the current loop's pressures start at 0 on the screen too.
constexpr SettingLimits kLoopPressure{Repair::Clamp, Follows::PressureUnit, {{0, 100}, {0, 150}, {0, 999}}};
constexpr SettingLimits kPressure = screenFrom(1, kLoopPressure);
constexpr SettingLimits kSenderTemperature{Repair::Clamp, Follows::TemperatureUnit, {{-40, 300}, {-40, 571}}};  // C, F

// A row's name and field: S(f) in the whole record, P, T, C, V, W in the sub-records.
#define S(f) #f, SETTING(f)
#define P(f) #f, RECORD_FIELD(PressureSenderConfig, f)
#define T(f) #f, RECORD_FIELD(TemperatureSenderConfig, f)
#define C(f) #f, RECORD_FIELD(CurrentSensorConfig, f)
#define V(f) #f, RECORD_FIELD(SenderCurve, f)
#define W(f) #f, RECORD_FIELD(SenderPoint, f)
// Sub-records: SUB(Record, f), and SUBS(f) in the whole record.
#define SUB(R, f) #f, subRecords<decltype(R::f)>(offsetof(R, f))
#define SUBS(f) SUB(Settings, f)

template <typename F> constexpr SettingsField subRecords(size_t offset)
{
    return SettingsField{static_cast<uint16_t>(offset), FieldWidth::U8,
                         static_cast<uint8_t>(std::is_array_v<F> ? std::extent_v<F> : 1)};
}

template <typename Record, size_t N> constexpr SettingsTable tableOf(const Setting (&rows)[N])
{
    return {rows, N, sizeof(Record)};
}

// A sender curve as CALIBRATE SENDER edits it: 2..16 points, values 0..999, readings 0..4095.
// Points are kept as they are otherwise: a curve with two neighbouring points at the same
// reading is one the user may be part way through calibrating, and the lookup gives no reading
// for it rather than dividing by zero. The factory curves are set in code.
constexpr Setting kSenderPointRows[] = {
    {W(value),                      0,    0,     clamp(0, 999)},
    {W(reading),                    2,    0,     clamp(0, 4095)},
};
constexpr SettingsTable kSenderPoint = tableOf<SenderPoint>(kSenderPointRows);

constexpr Setting kSenderCurveRows[] = {
    {V(pointCount),                 0,    0,     clamp(2, 16)},
    {SUB(SenderCurve, points),      1,    0,     keep, &kSenderPoint},
};
constexpr SettingsTable kSenderCurve = tableOf<SenderCurve>(kSenderCurveRows);

constexpr Setting kPressureSenderRows[] = {
    {P(type),                       0,    0,     choice(0, 2)},
    {P(senderSource),               1,    0,     choice(0, 2)},
    {P(pressureUnit),               2,    0,     choice(0, 2)},
    {P(pressureAt4mA),              3,    0,     kLoopPressure},
    {P(pressureAt20mA),             5,    100,   kLoopPressure},
    {P(label),                      7,    4,     choice(0, 4)},
    {P(displayMax),                 8,    100,   kPressure},
    {P(displayMin),                 10,   0,     kPressure},
    {P(lowAlarm),                   12,   15,    kPressure},
    {P(lowAlarmOn),                 14,   1,     onOff},
    {P(highAlarm),                  15,   80,    kPressure},
    {P(lowCaution),                 17,   25,    kPressure},
    {P(highCaution),                19,   70,    kPressure},
    {P(highAlarmOn),                21,   1,     onOff},
    {P(umaModel),                   22,   0,     choice(0, 5)},
    {P(vdoModel),                   23,   2,     choice(0, 2)},
    {SUB(PressureSenderConfig, curve), 24, 0,   keep, &kSenderCurve},
};
constexpr SettingsTable kPressureSender = tableOf<PressureSenderConfig>(kPressureSenderRows);

constexpr Setting kTemperatureSenderRows[] = {
    {T(label),                      0,    3,     choice(0, 3)},
    {T(displayMax),                 1,    150,   kSenderTemperature},
    {T(displayMin),                 3,    50,    kSenderTemperature},
    {T(lowAlarm),                   5,    70,    kSenderTemperature},
    {T(lowAlarmOn),                 7,    1,     onOff},
    {T(highAlarm),                  8,    135,   kSenderTemperature},
    {T(lowCaution),                 10,   90,    kSenderTemperature},
    {T(highCaution),                12,   120,   kSenderTemperature},
    {T(highAlarmOn),                14,   1,     onOff},
    {T(sender),                     15,   1,     choice(0, 5)},
    {T(lm335Offset),                16,   0,     clamp(-30, 30)},
    {SUB(TemperatureSenderConfig, curve), 17, 0, keep, &kSenderCurve},
};
constexpr SettingsTable kTemperatureSender = tableOf<TemperatureSenderConfig>(kTemperatureSenderRows);

constexpr Setting kCurrentSensorRows[] = {
    {C(displayMax),                 0,    50,    clamp(-100, 100)},
    {C(displayMin),                 2,    -50,   clamp(-100, 100)},
    {C(lowAlarm),                   4,    -40,   clamp(-100, 100)},
    {C(lowAlarmOn),                 6,    1,     onOff},
    {C(highAlarm),                  7,    40,    clamp(-100, 100)},
    {C(lowCaution),                 9,    -30,   clamp(-100, 100)},
    {C(highCaution),                11,   30,    clamp(-100, 100)},
    {C(highAlarmOn),                13,   1,     onOff},
    {C(currentSpan),                14,   50,    clamp(1, 100)},
};
constexpr SettingsTable kCurrentSensor = tableOf<CurrentSensorConfig>(kCurrentSensorRows);

// The whole record, in file order; the sub-records' tables are above.
constexpr Setting kSettingsRows[] = {
    // field                        at    factory limits
    {S(formatCode),                 0,    SETTINGS_FORMAT_CODE, kFormatCode},
    {S(dataRecordingOn),            2,    1,     onOff},
    {S(oatDisplayMax),              3,    100,   kOat},
    {S(oatDisplayMin),              5,    -50,   kOat},
    {S(oatLowAlarm),                7,    0,     kOat},
    {S(oatHighAlarm),               9,    60,    kOat},
    {S(oatLowAlarmOn),              11,   1,     onOff},
    {S(oatHighAlarmOn),             12,   1,     onOff},
    {S(temperatureUnit),            13,   0,     choice(0, 1)},
    {S(oatUnit),                    14,   0,     choice(0, 1)},
    {S(voltsDisplayMax),            15,   200,   clamp(80, 300)},
    {S(voltsDisplayMin),            17,   80,    clamp(80, 300)},
    {S(voltsLowAlarm),              19,   100,   clamp(80, 300)},
    {S(voltsHighAlarm),             21,   150,   clamp(80, 300)},
    {S(voltsLowAlarmOn),            23,   1,     onOff},
    {S(voltsHighAlarmOn),           24,   1,     onOff},
    {S(voltsLowCaution),            25,   110,   clamp(80, 300)},
    {S(voltsHighCaution),           27,   140,   clamp(80, 300)},
    {S(mapDisplayOn),               29,   1,     onOff},
    {S(mapDisplayMax),              30,   443,   kMap},
    {S(mapDisplayMin),              32,   266,   kMap},
    {S(mapLowAlarm),                34,   278,   kMap},
    {S(mapLowAlarmOn),              36,   1,     onOff},
    {S(mapHighAlarm),               37,   413,   kMap},
    {S(mapLowCaution),              39,   292,   kMap},
    {S(mapHighCaution),             41,   354,   kMap},
    {S(mapHighAlarmOn),             43,   1,     onOff},
    {S(mapFilter),                  44,   1,     choice(0, 2)},
    {S(mapUnit),                    45,   1,     choice(0, 1)},
    {S(rpm1DisplayMode),            46,   0,     choice(0, 2)},
    {S(rpm1FullScale),              47,   6000,  clamp(100, 99000)},
    {S(rpm1DisplayMax),             51,   6000,  clamp(100, 99000)},
    {S(rpm1DisplayMin),             55,   0,     clamp(0, 99000)},
    {S(rpm1LowAlarm),               59,   500,   clamp(0, 99000)},
    {S(rpm1LowAlarmOn),             63,   0,     onOff},
    {S(rpm1HighAlarm),              64,   5800,  clamp(100, 99000)},
    {S(rpm1HighAlarmOn),            68,   1,     onOff},
    {S(rpm1LowCaution),             69,   1000,  clamp(0, 99000)},
    {S(rpm1HighCaution),            73,   5500,  clamp(100, 99000)},
    {S(rpm1PulsesPerRev),           77,   60,    clamp(1, 5000)},
    {S(rpm1Resolution),             79,   0,     choice(0, 3)},
    {S(rpm2DisplayMode),            80,   2,     choice(0, 2)},
    {S(rpm2FullScale),              81,   1000,  clamp(100, 99000)},
    {S(rpm2DisplayMax),             85,   1500,  clamp(100, 99000)},
    {S(rpm2DisplayMin),             89,   0,     clamp(0, 99000)},
    {S(rpm2LowAlarm),               93,   100,   clamp(0, 99000)},
    {S(rpm2LowAlarmOn),             97,   1,     onOff},
    {S(rpm2HighAlarm),              98,   1200,  clamp(100, 99000)},
    {S(rpm2HighAlarmOn),            102,  1,     onOff},
    {S(rpm2LowCaution),             103,  600,   clamp(0, 99000)},
    {S(rpm2HighCaution),            107,  1100,  clamp(100, 99000)},
    {S(rpm2PulsesPerRev),           111,  10,    clamp(1, 5000)},
    {S(rpm2Resolution),             113,  0,     choice(0, 3)},
    {S(gpsPositionFormat),          114,  2,     choice(0, 2)},
    {S(gpsAltitudeUnit),            115,  0,     choice(0, 1)},
    {S(gpsCogReference),            116,  0,     choice(0, 1)},
    {S(gpsVariationMode),           117,  0,     choice(0, 1)},
    {S(gpsManualVariation),         118,  0,     clamp(-180, 180)},
    {S(gpsBaudRate),                120,  3,     choice(0, 9)},
    {S(aircraftRegistration),       121,  0,     keep},  // text: see sanitiseText
    {S(flightDetectAuto),           130,  0,     choice(0, 1)},
    {S(flightDetectMinRpm),         131,  1000,  clamp(100, 99000)},
    {S(flightDetectMinGroundSpeed), 135,  30,    clamp(10, 250)},
    {S(pilotNumber),                137,  0,     clamp(0, 255)},  // every value is a pilot
    {S(oilTempFunction),            138,  2,     either(0, 2)},  // OFF or TEMPERATURE
    {S(oilPressureFunction),        139,  1,     either(0, 1)},  // OFF or PRESSURE
    {S(aux13Function),              140,  2,     choice(0, 3)},
    {S(aux24Function),              141,  3,     choice(0, 3)},
    {SUBS(pressureSender),          142,  0,     keep, &kPressureSender},
    {SUBS(temperatureSender),       498,  0,     keep, &kTemperatureSender},
    {SUBS(currentSender),           826,  0,     keep, &kCurrentSensor},
    {S(hobbsMinRpm),                890,  1000,  clamp(100, 99000)},
    {S(hobbsCode),                  894,  0,     clamp(0, 9999)},
    {S(utcOffsetMinutes),           896,  0,     clamp(-780, 780)},
    {S(rtcSourceGps),               898,  0,     choice(0, 1)},
    {S(egtChannels),                899,  2,     clamp(0, 12)},
    {S(egtScanMode),                900,  1,     choice(0, 1)},
    {S(egtDisplayMax),              901,  850,   kThermocouple},
    {S(egtDisplayMin),              903,  400,   kThermocouple},
    {S(egtHighAlarm),               905,  800,   kThermocouple},
    {S(egtHighCaution),             907,  700,   kThermocouple},
    {S(egtHighAlarmOn),             909,  1,     onOff},
    {S(egtProbe),                   910,  0,     choice(0, 2)},
    {S(egtScanTime),                911,  0,     choice(0, 6)},
    {S(chtChannels),                912,  2,     kFreeThermocouples},
    {S(chtScanMode),                913,  1,     choice(0, 1)},
    {S(chtDisplayMax),              914,  150,   kThermocouple},
    {S(chtDisplayMin),              916,  0,     kThermocouple},
    {S(chtHighAlarm),               918,  130,   kThermocouple},
    {S(chtHighCaution),             920,  100,   kThermocouple},
    {S(chtHighAlarmOn),             922,  1,     onOff},
    {S(chtProbe),                   923,  0,     choice(0, 3)},
    {S(chtScanTime),                924,  0,     choice(0, 6)},
    {S(fuelFlowMode),               925,  0,     choice(0, 1)},
    {S(fuelSpeedSource),            926,  1,     choice(0, 2)},
    {S(cruiseSpeed),                927,  50,    clamp(0, 999)},
    {S(fuelUnit),                   929,  0,     choice(0, 5)},
    {S(flow1On),                    930,  1,     onOff},
    {S(flow1KFactor),               931,  7000,  clamp(10, 60000)},
    {S(flow2On),                    933,  0,     onOff},
    {S(flow2KFactor),               934,  7000,  clamp(10, 60000)},
    {S(dualFlowMode),               936,  0,     choice(0, 2)},
    {S(tank1Source),                937,  0,     choice(0, 2)},
    {S(tank2Source),                938,  2,     choice(0, 2)},
    {S(injectorLevel),              939,  0,     choice(0, 1)},
    // Not 0 after a recall: an empty scale cannot be drawn. The screen's size wraps within 0..999.
    {S(tank1Size),                  940,  45,    screenFrom(0, clamp(1, 999))},
    {S(tank1LowAlarmOn),            942,  1,     onOff},
    {S(tank1LowAlarm),              943,  10,    kTank1},
    {S(tank1LowCaution),            945,  20,    kTank1},
    {S(tank1Calibration),           947,  0,     clamp(0, 4096)},
    {S(tank1Filter),                959,  3,     choice(0, 3)},
    {S(tank2Size),                  960,  45,    screenFrom(0, clamp(1, 999))},
    {S(tank2LowAlarmOn),            962,  1,     onOff},
    {S(tank2LowAlarm),              963,  10,    kTank2},
    {S(tank2LowCaution),            965,  20,    kTank2},
    {S(tank2Calibration),           967,  0,     clamp(0, 4096)},
    {S(tank2Filter),                979,  3,     choice(0, 3)},
    {S(backlight),                  980,  31,    clamp(4, 31)},
    {S(gpsMode),                    981,  1,     choice(0, 1)},
    {S(secondHomePageOn),           982,  0,     onOff},
    {S(coMonitorType),              983,  0,     choice(0, 1)},
    {S(tank1AddToRange),            984,  1,     choice(0, 1)},
    {S(tank2AddToRange),            985,  1,     choice(0, 1)},
    {S(zedaProtocol),               986,  0,     choice(0, 1)},
    {S(lastDocumentKind),           987,  0,     choice(0, 2)},
    {S(lastDocumentPath),           988,  0,     keep},  // text
    {S(fuelPressureOn),             1038, 1,     onOff},
    {SUBS(fuelPressureSender),      1039, 0,     keep, &kPressureSender},
    {S(currentOn),                  1128, 0,     onOff},
    {SUBS(currentSensor),           1129, 0,     keep, &kCurrentSensor},
    {S(rpm1Label),                  1145, 0,     choice(0, 6)},
    {S(rpm2Label),                  1146, 1,     choice(0, 6)},
    {S(tankLitreResolution),        1147, 0,     choice(0, 1)},
};
constexpr SettingsTable kSettings = tableOf<Settings>(kSettingsRows);

#undef S
#undef P
#undef T
#undef C
#undef V
#undef W
#undef SUB
#undef SUBS

// The file layout: the first row that is not at its stated offset or not right after the row
// before it, `count` when the rows fall short of the record's size, or -1 when all are in place.
constexpr int misplacedRow(const SettingsTable& table)
{
    size_t next = 0;
    for (size_t i = 0; i < table.count; ++i) {
        const Setting& row = table.rows[i];
        if (row.at != row.field.offset || row.at != next) return static_cast<int>(i);
        next = row.at + row.field.count * (row.sub ? row.sub->size : row.field.elementSize());
    }
    return next == table.size ? -1 : static_cast<int>(table.count);
}

static_assert(misplacedRow(kSenderPoint) == -1);
static_assert(misplacedRow(kSenderCurve) == -1);
static_assert(misplacedRow(kPressureSender) == -1);
static_assert(misplacedRow(kTemperatureSender) == -1);
static_assert(misplacedRow(kCurrentSensor) == -1);
static_assert(misplacedRow(kSettings) == -1);
static_assert(kSettings.size == SETTINGS_SIZE);

// The row of a field (or of one element of it) in `table`, whose record starts at `record` in the
// image searched, looking into sub-records (an element of an array of them by where the field lies).
const Setting* rowOf(const SettingsField& field, const SettingsTable& table, size_t record = 0)
{
    for (const Setting& row : table) {
        const size_t at = record + row.field.offset;
        if (row.sub) {
            const size_t end = at + row.field.count * row.sub->size;
            if (field.offset >= at && field.offset < end)
                return rowOf(field, *row.sub, at + (field.offset - at) / row.sub->size * row.sub->size);
        } else if (field.width == row.field.width && field.offset >= at && field.offset < at + row.field.size() &&
                   (field.offset - at) % row.field.elementSize() == 0) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

const SettingsTable& settingsTable() { return kSettings; }
const SettingsTable senderCurveTable = kSenderCurve;

const SettingLimits* limitsOf(const SettingsField& field, const SettingsTable* table)
{
    if (!table) {
        switch (field.record) {
        case FieldRecord::Settings: table = &kSettings; break;
        case FieldRecord::PressureSender: table = &kPressureSender; break;
        case FieldRecord::TemperatureSender: table = &kTemperatureSender; break;
        case FieldRecord::CurrentSender: table = &kCurrentSensor; break;
        }
    }
    const Setting* row = rowOf(field, *table);
    return row ? &row->limits : nullptr;
}

SettingSpan repairSpan(const SettingLimits& limits, const Settings& whole, const uint8_t* record)
{
    switch (limits.follows) {
    case Follows::Nothing: break;
    case Follows::TemperatureUnit: return limits.spans[std::min<int>(whole.temperatureUnit, 1)];
    case Follows::MapUnit: return limits.spans[std::min<int>(whole.mapUnit, 1)];
    case Follows::PressureUnit:
        return limits.spans[std::min<int>(record[offsetof(PressureSenderConfig, pressureUnit)], 2)];
    case Follows::Tank1Size: return {0, whole.tank1Size};
    case Follows::Tank2Size: return {0, whole.tank2Size};
    // The twelve thermocouple inputs are shared; NTC CHT probes exist on AUX 3 and 4 only.
    case Follows::FreeThermocouples:
        return {0, std::min(std::max(0, 12 - whole.egtChannels), whole.chtProbe == 3 ? 2 : 12)};
    }
    return limits.spans[0];
}

SettingSpan screenSpan(const SettingLimits& limits, const Settings& whole, const uint8_t* record)
{
    SettingSpan span = repairSpan(limits, whole, record);
    if (limits.screenMin != kAsRepaired) span.min = limits.screenMin;
    return span;
}

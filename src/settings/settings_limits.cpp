// Range repair of the settings record after a recall: a file from the card is taken as it comes,
// so every field is brought back to what its setup screen could have produced.
#include <algorithm>
#include <cstring>
#include <type_traits>

#include "settings/settings.h"
#include "settings/settings_field.h"

namespace {

// How a field outside its range is repaired.
enum class Repair : uint8_t {
    Clamp,    // to the nearer limit
    Default,  // to its factory value (option indices and switches: no "nearest" option)
    Either,   // only min or max is valid (a function that is either off or one kind); else default
};

struct Limit {
    SettingsField field;  // offset inside the record the table is applied to; arrays: every element
    int32_t min;
    int32_t max;
    Repair repair;
};

#define S(f) SETTING(f)
#define P(f) RECORD_FIELD(PressureSenderConfig, f)
#define T(f) RECORD_FIELD(TemperatureSenderConfig, f)
#define C(f) RECORD_FIELD(CurrentSensorConfig, f)

constexpr Repair Clamp = Repair::Clamp;
constexpr Repair Default = Repair::Default;
constexpr Repair Either = Repair::Either;

// Applies rows to a record (or sub-record) at `record`, whose factory image is at `factory`.
// Only ever stores a value inside a row's limits, which fit the field.
template <size_t N> void apply(const Limit (&rows)[N], uint8_t* record, const uint8_t* factory)
{
    for (const Limit& row : rows) {
        const SettingsField& f = row.field;
        for (int i = 0; i < f.count; ++i) {
            const int64_t v = f.load(record, i);
            if (v >= row.min && v <= row.max && (row.repair != Either || v == row.min || v == row.max))
                continue;
            if (row.repair == Clamp)
                f.store(record, v < row.min ? row.min : row.max, i);
            else
                f.store(record, f.load(factory, i), i);
        }
    }
}

uint8_t* bytes(void* p) { return static_cast<uint8_t*>(p); }
const uint8_t* bytes(const void* p) { return static_cast<const uint8_t*>(p); }

// Fields whose limits are fixed, and the units and counts that other limits follow.
constexpr Limit kFixed[] = {
    {S(formatCode), 112, 112, Default},
    {S(dataRecordingOn), 0, 1, Default},
    {S(oatLowAlarmOn), 0, 1, Default},
    {S(oatHighAlarmOn), 0, 1, Default},
    {S(temperatureUnit), 0, 1, Default},
    {S(oatUnit), 0, 1, Default},
    {S(voltsDisplayMax), 80, 300, Clamp},
    {S(voltsDisplayMin), 80, 300, Clamp},
    {S(voltsLowAlarm), 80, 300, Clamp},
    {S(voltsHighAlarm), 80, 300, Clamp},
    {S(voltsLowAlarmOn), 0, 1, Default},
    {S(voltsHighAlarmOn), 0, 1, Default},
    {S(voltsLowCaution), 80, 300, Clamp},
    {S(voltsHighCaution), 80, 300, Clamp},
    {S(mapDisplayOn), 0, 1, Default},
    {S(mapLowAlarmOn), 0, 1, Default},
    {S(mapHighAlarmOn), 0, 1, Default},
    {S(mapFilter), 0, 2, Default},
    {S(mapUnit), 0, 1, Default},
    {S(rpm1DisplayMode), 0, 2, Default},
    {S(rpm1FullScale), 100, 99000, Clamp},
    {S(rpm1DisplayMax), 100, 99000, Clamp},
    {S(rpm1DisplayMin), 0, 99000, Clamp},
    {S(rpm1LowAlarm), 0, 99000, Clamp},
    {S(rpm1LowAlarmOn), 0, 1, Default},
    {S(rpm1HighAlarm), 100, 99000, Clamp},
    {S(rpm1HighAlarmOn), 0, 1, Default},
    {S(rpm1LowCaution), 0, 99000, Clamp},
    {S(rpm1HighCaution), 100, 99000, Clamp},
    {S(rpm1PulsesPerRev), 1, 5000, Clamp},
    {S(rpm1Resolution), 0, 3, Default},
    {S(rpm2DisplayMode), 0, 2, Default},
    {S(rpm2FullScale), 100, 99000, Clamp},
    {S(rpm2DisplayMax), 100, 99000, Clamp},
    {S(rpm2DisplayMin), 0, 99000, Clamp},
    {S(rpm2LowAlarm), 0, 99000, Clamp},
    {S(rpm2LowAlarmOn), 0, 1, Default},
    {S(rpm2HighAlarm), 100, 99000, Clamp},
    {S(rpm2HighAlarmOn), 0, 1, Default},
    {S(rpm2LowCaution), 0, 99000, Clamp},
    {S(rpm2HighCaution), 100, 99000, Clamp},
    {S(rpm2PulsesPerRev), 1, 5000, Clamp},
    {S(rpm2Resolution), 0, 3, Default},
    {S(gpsPositionFormat), 0, 2, Default},
    {S(gpsAltitudeUnit), 0, 1, Default},
    {S(gpsCogReference), 0, 1, Default},
    {S(gpsVariationMode), 0, 1, Default},
    {S(gpsManualVariation), -180, 180, Clamp},
    {S(gpsBaudRate), 0, 9, Default},
    {S(flightDetectAuto), 0, 1, Default},
    {S(flightDetectMinRpm), 100, 99000, Clamp},
    {S(flightDetectMinGroundSpeed), 10, 250, Clamp},
    // pilotNumber: every value is a pilot.
    {S(oilTempFunction), 0, 2, Either},      // OFF or TEMPERATURE
    {S(oilPressureFunction), 0, 1, Either},  // OFF or PRESSURE
    {S(aux13Function), 0, 3, Default},
    {S(aux24Function), 0, 3, Default},
    {S(hobbsMinRpm), 100, 99000, Clamp},
    {S(hobbsCode), 0, 9999, Clamp},
    {S(utcOffsetMinutes), -780, 780, Clamp},
    {S(rtcSourceGps), 0, 1, Default},
    {S(egtChannels), 0, 12, Clamp},
    {S(egtScanMode), 0, 1, Default},
    {S(egtHighAlarmOn), 0, 1, Default},
    {S(egtProbe), 0, 2, Default},
    {S(egtScanTime), 0, 6, Default},
    {S(chtScanMode), 0, 1, Default},
    {S(chtHighAlarmOn), 0, 1, Default},
    {S(chtProbe), 0, 3, Default},
    {S(chtScanTime), 0, 6, Default},
    {S(fuelFlowMode), 0, 1, Default},
    {S(fuelSpeedSource), 0, 2, Default},
    {S(cruiseSpeed), 0, 999, Clamp},
    {S(fuelUnit), 0, 5, Default},
    {S(flow1On), 0, 1, Default},
    {S(flow1KFactor), 10, 60000, Clamp},
    {S(flow2On), 0, 1, Default},
    {S(flow2KFactor), 10, 60000, Clamp},
    {S(dualFlowMode), 0, 2, Default},
    {S(tank1Source), 0, 2, Default},
    {S(tank2Source), 0, 2, Default},
    {S(injectorLevel), 0, 1, Default},
    {S(tank1Size), 1, 999, Clamp},  // the screen's wrap passes 0, but an empty scale cannot be drawn
    {S(tank1LowAlarmOn), 0, 1, Default},
    {S(tank1Calibration), 0, 4096, Clamp},
    {S(tank1Filter), 0, 3, Default},
    {S(tank2Size), 1, 999, Clamp},
    {S(tank2LowAlarmOn), 0, 1, Default},
    {S(tank2Calibration), 0, 4096, Clamp},
    {S(tank2Filter), 0, 3, Default},
    {S(backlight), 4, 31, Clamp},
    {S(gpsMode), 0, 1, Default},
    {S(secondHomePageOn), 0, 1, Default},
    {S(coMonitorType), 0, 1, Default},
    {S(tank1AddToRange), 0, 1, Default},
    {S(tank2AddToRange), 0, 1, Default},
    {S(zedaProtocol), 0, 1, Default},
    {S(lastDocumentKind), 0, 2, Default},
    {S(fuelPressureOn), 0, 1, Default},
    {S(currentOn), 0, 1, Default},
    {S(rpm1Label), 0, 6, Default},
    {S(rpm2Label), 0, 6, Default},
    {S(tankLitreResolution), 0, 1, Default},
};

constexpr Limit kPressureFixed[] = {
    {P(type), 0, 2, Default},
    {P(senderSource), 0, 2, Default},
    {P(pressureUnit), 0, 2, Default},
    {P(label), 0, 4, Default},
    {P(lowAlarmOn), 0, 1, Default},
    {P(highAlarmOn), 0, 1, Default},
    {P(umaModel), 0, 5, Default},
    {P(vdoModel), 0, 2, Default},
};

constexpr Limit kTemperatureFixed[] = {
    {T(label), 0, 3, Default},
    {T(lowAlarmOn), 0, 1, Default},
    {T(highAlarmOn), 0, 1, Default},
    {T(sender), 0, 5, Default},
    {T(lm335Offset), -30, 30, Clamp},
};

constexpr Limit kCurrent[] = {
    {C(displayMax), -100, 100, Clamp},
    {C(displayMin), -100, 100, Clamp},
    {C(lowAlarm), -100, 100, Clamp},
    {C(lowAlarmOn), 0, 1, Default},
    {C(highAlarm), -100, 100, Clamp},
    {C(lowCaution), -100, 100, Clamp},
    {C(highCaution), -100, 100, Clamp},
    {C(highAlarmOn), 0, 1, Default},
    {C(currentSpan), 1, 100, Clamp},
};

// Pressures in the config's own unit. The screens start at 1, but the factory values themselves
// hold 0 (scale bottom, 4 mA pressure), so 0 is accepted.
void sanitisePressure(PressureSenderConfig& p, const PressureSenderConfig& factory)
{
    apply(kPressureFixed, bytes(&p), bytes(&factory));
    const int32_t top = p.pressureUnit == 0 ? 100 : p.pressureUnit == 1 ? 150 : 999;
    const Limit values[] = {
        {P(pressureAt4mA), 0, top, Clamp},
        {P(pressureAt20mA), 0, top, Clamp},
        {P(displayMax), 0, top, Clamp},
        {P(displayMin), 0, top, Clamp},
        {P(lowAlarm), 0, top, Clamp},
        {P(highAlarm), 0, top, Clamp},
        {P(lowCaution), 0, top, Clamp},
        {P(highCaution), 0, top, Clamp},
    };
    apply(values, bytes(&p), bytes(&factory));
}

void sanitiseTemperature(TemperatureSenderConfig& t, const TemperatureSenderConfig& factory, bool fahrenheit)
{
    apply(kTemperatureFixed, bytes(&t), bytes(&factory));
    const int32_t top = fahrenheit ? 571 : 300;
    const Limit values[] = {
        {T(displayMax), -40, top, Clamp},
        {T(displayMin), -40, top, Clamp},
        {T(lowAlarm), -40, top, Clamp},
        {T(highAlarm), -40, top, Clamp},
        {T(lowCaution), -40, top, Clamp},
        {T(highCaution), -40, top, Clamp},
    };
    apply(values, bytes(&t), bytes(&factory));
}

// The count is brought to 2..16, values to 0..999 and readings to 0..4095, as CALIBRATE SENDER
// edits them. Points are kept as they are otherwise: a curve with two neighbouring points at the
// same reading is one the user may be part way through calibrating, and the lookup gives no
// reading for it rather than dividing by zero.
void sanitiseCurve(SenderCurve& curve)
{
    if (curve.pointCount < 2) curve.pointCount = 2;
    if (curve.pointCount > 16) curve.pointCount = 16;
    for (SenderPoint& point : curve.points) {
        if (point.value < 0) point.value = 0;
        if (point.value > 999) point.value = 999;
        if (point.reading < 0) point.reading = 0;
        if (point.reading > 4095) point.reading = 4095;
    }
}

// Text is printable ASCII and always terminated. The registration keeps its eight places
// (a stray byte becomes a space); the document path ends at its first stray byte.
void sanitiseText(Settings& s)
{
    for (size_t i = 0; i + 1 < sizeof s.aircraftRegistration; ++i) {
        const auto c = static_cast<unsigned char>(s.aircraftRegistration[i]);
        if (c < 32 || c > 126) s.aircraftRegistration[i] = ' ';
    }
    s.aircraftRegistration[sizeof s.aircraftRegistration - 1] = '\0';

    s.lastDocumentPath[sizeof s.lastDocumentPath - 1] = '\0';
    for (char& ch : s.lastDocumentPath) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || c > 126) {
            ch = '\0';
            break;
        }
    }
}

}  // namespace

void sanitiseSettings()
{
    Settings& s = settings;
    const Settings& factory = factorySettings();
    apply(kFixed, bytes(&s), bytes(&factory));

    // Limits that follow a unit or another field, now that those are valid.
    const bool fahrenheit = s.temperatureUnit == 1;
    const bool inHg = s.mapUnit == 1;
    const int32_t oatMin = fahrenheit ? -58 : -50, oatMax = fahrenheit ? 302 : 150;  // by temperatureUnit
    const int32_t mapMin = inHg ? 73 : 250, mapMax = inHg ? 738 : 2500;
    const int32_t tcMin = fahrenheit ? 30 : 0, tcMax = fahrenheit ? 2190 : 1200;
    // The twelve thermocouple inputs are shared; NTC CHT probes exist on AUX 3 and 4 only.
    const int32_t chtMax = std::min(12 - s.egtChannels, s.chtProbe == 3 ? 2 : 12);
    const Limit dependent[] = {
        {S(oatDisplayMax), oatMin, oatMax, Clamp},
        {S(oatDisplayMin), oatMin, oatMax, Clamp},
        {S(oatLowAlarm), oatMin, oatMax, Clamp},
        {S(oatHighAlarm), oatMin, oatMax, Clamp},
        {S(mapDisplayMax), mapMin, mapMax, Clamp},
        {S(mapDisplayMin), mapMin, mapMax, Clamp},
        {S(mapLowAlarm), mapMin, mapMax, Clamp},
        {S(mapHighAlarm), mapMin, mapMax, Clamp},
        {S(mapLowCaution), mapMin, mapMax, Clamp},
        {S(mapHighCaution), mapMin, mapMax, Clamp},
        {S(egtDisplayMax), tcMin, tcMax, Clamp},
        {S(egtDisplayMin), tcMin, tcMax, Clamp},
        {S(egtHighAlarm), tcMin, tcMax, Clamp},
        {S(egtHighCaution), tcMin, tcMax, Clamp},
        {S(chtChannels), 0, chtMax, Clamp},
        {S(chtDisplayMax), tcMin, tcMax, Clamp},
        {S(chtDisplayMin), tcMin, tcMax, Clamp},
        {S(chtHighAlarm), tcMin, tcMax, Clamp},
        {S(chtHighCaution), tcMin, tcMax, Clamp},
        {S(tank1LowAlarm), 0, s.tank1Size, Clamp},
        {S(tank1LowCaution), 0, s.tank1Size, Clamp},
        {S(tank2LowAlarm), 0, s.tank2Size, Clamp},
        {S(tank2LowCaution), 0, s.tank2Size, Clamp},
    };
    apply(dependent, bytes(&s), bytes(&factory));

    for (int channel = 0; channel < 4; ++channel) {
        sanitisePressure(s.pressureSender[channel], factory.pressureSender[channel]);
        sanitiseCurve(s.pressureSender[channel].curve);
        sanitiseTemperature(s.temperatureSender[channel], factory.temperatureSender[channel], fahrenheit);
        sanitiseCurve(s.temperatureSender[channel].curve);
        apply(kCurrent, bytes(&s.currentSender[channel]), bytes(&factory.currentSender[channel]));
    }
    sanitisePressure(s.fuelPressureSender, factory.fuelPressureSender);
    sanitiseCurve(s.fuelPressureSender.curve);
    apply(kCurrent, bytes(&s.currentSensor), bytes(&factory.currentSensor));
    sanitiseText(s);
}

#undef S
#undef P
#undef T
#undef C

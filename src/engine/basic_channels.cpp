// The basic channels: supply volts, OAT, MAP, engine RPM and the main current sensor, with the
// shared fixed-point helpers, the calibration block and the order of one pass.
#include <algorithm>
#include <cmath>

#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "gps/gps.h"
#include "settings/settings.h"

Calibration calibration = {100, 0, 0, {2048, 2048, 2048, 2048}, 0};

uint32_t voltsFilter = 0;
uint16_t volts = 0;
int16_t oatCelsius = 0;
int16_t oat = 0;
uint16_t mapInput = 0;
int32_t mapFilterAcc = 0;
int16_t mapMb = 0;
int16_t map = 0;
int32_t rpm = 0;
int32_t rpmPercent = 0;
int16_t currentTenths = 0;
int16_t current = 0;

uint16_t voltsMin = 0, voltsMax = 0;
int16_t oatMin = 0, oatMax = 0;
int16_t mapMin = 0, mapMax = 0;
int32_t rpmMax = 0;
int32_t rotorMax = 0;
int16_t currentMin = 0, currentMax = 0;

namespace {

template <typename T> void track(T value, T& low, T& high)
{
    if (value < low) low = value;
    if (value > high) high = value;
}

}  // namespace

int32_t interpolateRounded(int32_t x1, int32_t x2, int32_t y1, int32_t y2, int32_t x)
{
    if (x1 == x2) return y1;
    const float slope = static_cast<float>(y2 - y1) / static_cast<float>(x2 - x1);
    const float intercept = static_cast<float>(y2) - slope * static_cast<float>(x2);
    const float t = slope * static_cast<float>(x) + intercept;
    const float scaled = t * 10.0f;
    // Values beyond the 32-bit range only come from nonsense calibrations; keep them finite.
    const int32_t v = std::isfinite(scaled) ? static_cast<int32_t>(std::clamp(scaled, -2.0e9f, 2.0e9f)) : 0;
    const int32_t magnitude = v < 0 ? -v : v;
    const int32_t rounded = magnitude / 10 + (magnitude % 10 > 4 ? 1 : 0);
    return v < 0 ? -rounded : rounded;
}

int32_t divideByTenRounded(int32_t n)
{
    const float tenth = static_cast<float>(n) * 0.1f;
    return static_cast<int32_t>(n >= 0 ? tenth + 0.5f : tenth - 0.5f);
}

int32_t toFahrenheit(int32_t c) { return c * 18 / 10 + 32; }

// The main current sensor's zero is not part of the power-on defaults: it keeps the value last
// set by ZERO CURRENT SENSOR (0 from program start) over power cycles.
void resetCalibration()
{
    const uint16_t currentZero = calibration.currentZero;
    calibration = Calibration{100, 0, 0, {2048, 2048, 2048, 2048}, currentZero};
}

void resetMinMax()
{
    voltsMin = voltsMax = volts;
    oatMin = oatMax = oat;
    mapMin = mapMax = map;
    rpmMax = settings.rpm1DisplayMode != 0 ? rpmPercent : rpm;
    rotorMax = settings.rpm2DisplayMode != 0 ? rotorPercent : rotorRpm;
    currentMin = currentMax = current;
    gpsSpeedMax = gpsGroundSpeed;
    resetThermocoupleMinMax();
    resetSenderMinMax();
}

uint16_t voltsForCounts(uint32_t counts)
{
    return static_cast<uint16_t>(uint64_t{counts} * 696 * calibration.voltsCalPercent / 1000000 + 6);
}

int16_t oatCelsiusForCounts(uint16_t counts)
{
    return static_cast<int16_t>(static_cast<int32_t>(counts) * 1221 / 10000 - 273 + calibration.oatOffset);
}

int16_t mapMbForInput(int32_t x) { return static_cast<int16_t>(static_cast<uint32_t>(x) * 100 / 163); }

int16_t mapInUnit(int16_t mb)
{
    return settings.mapUnit == 0 ? mb : static_cast<int16_t>(static_cast<int32_t>(mb) * 100000 / 338638);
}

int32_t rpmForPeriod(uint16_t period)
{
    if (period > 30000 || period == 0) return 0;
    // Rounded to the resolution step first, then capped, so that the five-digit readout never
    // shows 100000.
    static constexpr uint32_t steps[4] = {1, 5, 10, 50};
    const uint32_t step = steps[settings.rpm1Resolution < 4 ? settings.rpm1Resolution : 0];
    const uint32_t rounded = (rpmFactor / period + step / 2) / step * step;
    return static_cast<int32_t>(std::min<uint32_t>(rounded, 99999));
}

int16_t currentTenthsForCounts(uint16_t counts)
{
    return static_cast<int16_t>(std::clamp<int32_t>(
        interpolateRounded(calibration.currentZero, 4096, 0, settings.currentSensor.currentSpan * 10, counts),
        INT16_MIN, INT16_MAX));
}

uint32_t voltsFilterStep(uint32_t& acc, uint16_t counts) { return smoothingStep<uint32_t>(acc, counts, 4); }

int32_t mapFilterStep(int32_t& acc, int32_t x, uint8_t filter)
{
    return filter == 1 || filter == 2 ? smoothingStep<int32_t>(acc, x, filter == 1 ? 2 : 4) : x;
}

void processVolts()
{
    volts = voltsForCounts(voltsFilterStep(voltsFilter, rawVolts));
    track(volts, voltsMin, voltsMax);
    updateAlarm(ALARM_VOLTS, (volts > settings.voltsHighAlarm && settings.voltsHighAlarmOn == 1) ||
                                 (volts < settings.voltsLowAlarm && settings.voltsLowAlarmOn == 1));
}

void processOat()
{
    oatCelsius = oatCelsiusForCounts(rawOat);
    oat = static_cast<int16_t>(settings.oatUnit == 1 ? toFahrenheit(oatCelsius) : oatCelsius);
    track(oat, oatMin, oatMax);
    updateAlarm(ALARM_OAT, (oat < settings.oatLowAlarm && settings.oatLowAlarmOn == 1) ||
                               (oat > settings.oatHighAlarm && settings.oatHighAlarmOn == 1));
}

void processMap()
{
    mapInput = static_cast<uint16_t>(rawMap);
    const int32_t x = rawMap + calibration.mapOffset;
    if (x < 168) {
        map = 0;
        mapMb = 0;
    } else {
        mapMb = mapMbForInput(mapFilterStep(mapFilterAcc, x + 180, settings.mapFilter));
        map = mapInUnit(mapMb);
    }
    track(map, mapMin, mapMax);
    updateAlarm(ALARM_MAP, settings.mapDisplayOn == 1 &&
                               ((map < settings.mapLowAlarm && settings.mapLowAlarmOn == 1) ||
                                (map > settings.mapHighAlarm && settings.mapHighAlarmOn == 1)));
}

void processRpm()
{
    updateRpmFactor();
    if (rpmPeriod > 30000 || rpmPeriod == 0) {
        rpm = 0;
    } else {
        rpm = rpmForPeriod(rpmPeriod);
        const int32_t fullScale = settings.rpm1FullScale > 0 ? settings.rpm1FullScale : 1;
        rpmPercent = rpm * 100 / fullScale;
    }
    if (settings.rpm1DisplayMode == 0) rpmMax = std::max(rpmMax, rpm);
    else rpmMax = std::max(rpmMax, rpmPercent);
    updateAlarm(ALARM_RPM, settings.rpm1DisplayMode != 2 &&
                               ((settings.rpm1LowAlarmOn == 1 && rpm < settings.rpm1LowAlarm) ||
                                (settings.rpm1HighAlarmOn == 1 && rpm > settings.rpm1HighAlarm)));
}

void processCurrent()
{
    if (settings.currentOn != 1) {
        clearAlarm(ALARM_CURRENT);
        return;
    }
    const CurrentSensorConfig& sensor = settings.currentSensor;
    currentTenths = currentTenthsForCounts(rawCurrent);
    current = static_cast<int16_t>(currentTenths / 10);
    updateAlarm(ALARM_CURRENT, (current < sensor.lowAlarm && sensor.lowAlarmOn == 1) ||
                                   (current > sensor.highAlarm && sensor.highAlarmOn == 1));
    track(current, currentMin, currentMax);
}

void processEngineInputs()
{
    processVolts();
    processOat();
    processMap();
    processColdJunction();
    for (int i = 0; i < 12; ++i) processThermocouple(i);
    processTankSender(0);
    processTankSender(1);
    processRpm();
    processFuelFlow();
    for (int i = 0; i < 4; ++i) processAnalogInput(i);
    if (settings.fuelPressureOn == 1) processFuelPressure();
    else clearAlarm(ALARM_FUEL_PRESSURE);
    processCurrent();
}

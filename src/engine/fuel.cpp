// Fuel: tank senders, flow rates, calculated tanks, fuel used in 4-second intervals of real
// time, range and endurance, and the layout code of flows and tanks.
#include "engine/fuel.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "gps/gps.h"
#include "settings/settings.h"

uint16_t injectorDuty[2] = {};
uint32_t fuelTimingInputs[4] = {10000, 10000, 10000, 10000};
uint32_t& flowWindow = fuelTimingInputs[0];

uint16_t flowInput[2] = {};
uint16_t fuelFlow[2] = {};
uint16_t fuelLevelInput[2] = {};
uint32_t fuelLevelFilterAcc[2] = {};
uint8_t fuelLevelOpen[2] = {};
uint16_t fuelLevel[2] = {};
int32_t fuelRemainingPulses[2] = {};
uint32_t fuelUsedPulses[2] = {};
int32_t fuelUsed[2] = {};
uint8_t fuelLayout = 0;
uint16_t fuelRange = 0;
uint16_t fuelEndurance = 0;

uint8_t fuelSecondCount = 0;
uint8_t fuelIntervalDue = 0;

namespace {

constexpr uint8_t SOURCE_SENDER = 0;
constexpr uint8_t SOURCE_CALCULATED = 1;
constexpr uint8_t SOURCE_OFF = 2;
constexpr uint8_t DIFFERENTIAL = 1;
constexpr uint8_t SUMMATION = 2;

// A sender reading above this is an open (broken) sender.
constexpr uint16_t OPEN_SENDER_READING = 4000;
// Windows of this length and more (0.1 ms) give no flow.
constexpr uint32_t LONGEST_WINDOW = 100000;
// A flow in 0.1 units per hour times K, divided by this, is the fuel of 4 seconds in pulses.
constexpr uint32_t INTERVAL_DIVISOR = 9000;
// Largest range or endurance that is not the no-flow mark.
constexpr uint32_t LARGEST_ESTIMATE = FUEL_NO_FLOW - 1;

// One tank's settings, copied out of the packed record.
struct TankConfig {
    uint8_t source;
    uint8_t filter;
    uint8_t lowAlarmOn;
    int16_t size;
    int16_t lowAlarm;
    int16_t calibration[6];  // readings at 0, 1/5 .. 5/5 of the tank, read as signed
};

TankConfig tankConfig(int tank)
{
    TankConfig t{};
    uint16_t calibration[6];
    if (tank == 0) {
        t = {settings.tank1Source, settings.tank1Filter, settings.tank1LowAlarmOn, settings.tank1Size,
             settings.tank1LowAlarm, {}};
        std::memcpy(calibration, settings.tank1Calibration, sizeof calibration);
    } else {
        t = {settings.tank2Source, settings.tank2Filter, settings.tank2LowAlarmOn, settings.tank2Size,
             settings.tank2LowAlarm, {}};
        std::memcpy(calibration, settings.tank2Calibration, sizeof calibration);
    }
    for (int i = 0; i < 6; ++i) t.calibration[i] = static_cast<int16_t>(calibration[i]);
    return t;
}

// A tank size that a script set below zero holds nothing.
int32_t usableSize(int16_t size) { return size > 0 ? size : 0; }

uint32_t filterReading(uint32_t& acc, uint32_t reading, uint8_t filter)
{
    static constexpr uint32_t kSamples[4] = {1, 2, 8, 32};
    return filter == 0 ? reading : smoothingStep(acc, reading, kSamples[filter < 3 ? filter : 3]);
}

// Contents from a smoothed reading through the six-point calibration, rising or falling.
int32_t senderLevel(int32_t x, const int16_t c[6], int32_t size)
{
    int k = 5;
    int32_t d = 0;
    int32_t w = 1;
    if (c[0] < c[5]) {
        if (x <= c[0]) return 0;
        if (x >= c[5]) return size;
        for (k = 1; k < 5 && !(x < c[k]); ++k) {}
        d = x - c[k - 1];
        w = c[k] - c[k - 1];
    } else {
        if (x >= c[0]) return 0;
        if (x <= c[5]) return size;
        for (k = 1; k < 5 && !(x > c[k]); ++k) {}
        d = c[k - 1] - x;
        w = c[k - 1] - c[k];
    }
    const int32_t whole = size * (k - 1) * 10 / 50;
    // The interval search leaves 0 <= d < w; a zero-width interval only adds nothing.
    if (w <= 0 || d <= 0) return whole;
    return whole + static_cast<int32_t>(static_cast<int64_t>(size * 10 / 50) * d / w);
}

uint16_t injectorFlowInput(int channel)
{
    const uint16_t duty = injectorDuty[channel];
    if (duty > 1000) return 0;
    return settings.injectorLevel == 1 ? static_cast<uint16_t>(1000 - duty) : duty;
}

uint16_t flowRate(uint16_t input, uint32_t k)
{
    if (flowWindow == 0 || flowWindow >= LONGEST_WINDOW || k == 0) return 0;
    const uint64_t rate = static_cast<uint64_t>(360000000u / flowWindow) * input / k;
    return static_cast<uint16_t>(std::min<uint64_t>(rate, 65535));
}

// Fuel of one interval at a flow, in pulses of the K-factor k.
int64_t intervalPulses(uint32_t k, uint16_t flow)
{
    return static_cast<int64_t>(static_cast<uint64_t>(k) * flow / INTERVAL_DIVISOR);
}

int32_t clampRemaining(int64_t r)
{
    return static_cast<int32_t>(std::clamp<int64_t>(r, 0, std::numeric_limits<int32_t>::max()));
}

void addUsed(uint32_t& used, int64_t pulses)
{
    const uint64_t sum = used + static_cast<uint64_t>(pulses);
    used = static_cast<uint32_t>(std::min<uint64_t>(sum, std::numeric_limits<uint32_t>::max()));
}

// Books the fuel of one 4-second interval: debits (and for return flows credits) the calculated
// tanks and adds to the fuel used.
void bookFuelInterval(const uint32_t k[2])
{
    int64_t u[2] = {intervalPulses(k[0], fuelFlow[0]), intervalPulses(k[1], fuelFlow[1])};
    if (fuelLayout == 14) {
        if (settings.flow1On == 1) u[1] = u[0];
        else u[0] = u[1];
    }
    const uint8_t mode = settings.dualFlowMode;

    if (settings.tank1Source == SOURCE_CALCULATED) {
        int64_t r = fuelRemainingPulses[0];
        const int64_t c = intervalPulses(k[0], fuelFlow[1]);
        if (fuelLayout == 11 && settings.tank2Source == SOURCE_SENDER) {
            if (mode == DIFFERENTIAL) r = r - u[0] + c;
            else if (mode == SUMMATION) r = r - u[0] - c;
        } else {
            r -= u[0];
            if (fuelLayout == 12) r = mode == DIFFERENTIAL ? r + c : r - c;
        }
        fuelRemainingPulses[0] = clampRemaining(r);
    }

    const int64_t usedScale = fuelUnitIsGallons() ? 10 : 1;
    addUsed(fuelUsedPulses[0], u[0] * usedScale);
    addUsed(fuelUsedPulses[1], u[1] * usedScale);

    if (settings.tank2Source == SOURCE_CALCULATED) {
        int64_t r = fuelRemainingPulses[1];
        const int64_t c = intervalPulses(k[1], fuelFlow[0]);
        if (fuelLayout == 11 && settings.tank1Source == SOURCE_SENDER) {
            if (mode == DIFFERENTIAL) r = r + u[1] - c;
            else if (mode == SUMMATION) r = r - u[1] - c;
        } else if (fuelLayout == 13) {
            r = mode == DIFFERENTIAL ? r - c + u[1] : r - c - u[1];
        } else {
            r -= u[1];
        }
        fuelRemainingPulses[1] = clampRemaining(r);
    }
}

// Contents of a calculated tank in tank units, at most the tank size.
uint16_t calculatedLevel(int32_t remaining, uint32_t k, int16_t size)
{
    if (k == 0 || remaining <= 0) return 0;
    const uint64_t tenths = static_cast<uint64_t>(remaining) * (tankUnitsAreTenths() ? 100 : 10) / k;
    const int32_t level = divideByTenRounded(
        static_cast<int32_t>(std::min<uint64_t>(tenths, std::numeric_limits<int32_t>::max())));
    return static_cast<uint16_t>(std::min(level, usableSize(size)));
}

int32_t usedQuantity(uint32_t pulses, uint32_t k)
{
    if (k == 0) return 0;
    return static_cast<int32_t>(std::min<uint32_t>(pulses / k, std::numeric_limits<int32_t>::max()));
}

uint32_t rangeSpeed()
{
    if (settings.fuelSpeedSource == 2 && gpsFixValid == 1) return gpsGroundSpeed;
    // Source 1 would take the airspeed data link, which the simulator does not receive.
    return settings.cruiseSpeed;
}

uint16_t estimate(uint64_t value) { return static_cast<uint16_t>(std::min<uint64_t>(value, LARGEST_ESTIMATE)); }

}  // namespace

bool fuelUnitIsGallons()
{
    const uint8_t unit = settings.fuelUnit;
    return unit == 1 || unit == 3 || unit == 5;
}

bool tankUnitsAreTenths() { return fuelUnitIsGallons() || settings.tankLitreResolution == 1; }

uint32_t scaledK(uint32_t kFactor)
{
    // 64-bit: an injector K-factor above 11345 in gallons would overflow 32 bits before the division.
    uint64_t k = static_cast<uint64_t>(kFactor) * (settings.fuelFlowMode == 1 ? 10 : 1);
    if (fuelUnitIsGallons()) k = k * 37854 / 10000;
    return static_cast<uint32_t>(k);
}

void updateFuelLayout()
{
    const uint8_t f1 = settings.flow1On;
    const uint8_t f2 = settings.flow2On;
    const uint8_t t1 = settings.tank1Source;
    const uint8_t t2 = settings.tank2Source;
    const bool combined = settings.dualFlowMode > 0;
    const bool tank1On = t1 < SOURCE_OFF;
    const bool tank2On = t2 < SOURCE_OFF;
    uint8_t code = 9;

    if (f1 == 0 && f2 == 0) {
        if (t1 == SOURCE_SENDER && t2 == SOURCE_SENDER) code = 4;
        else if (t1 == SOURCE_SENDER && t2 == SOURCE_OFF) code = 2;
        else if (t2 == SOURCE_SENDER && t1 == SOURCE_OFF) code = 3;
    } else if (t1 == SOURCE_OFF && t2 == SOURCE_OFF) {
        // No tank shows a level, so the tenth-litre resolution has nothing to apply to.
        settings.tankLitreResolution = 0;
        if (f1 == 1 && f2 == 1) code = combined ? 8 : 7;
        else if (f1 == 1) code = 5;
        else if (f2 == 1) code = 6;
    } else if (f1 == 1 && f2 == 1) {
        if (tank1On && tank2On) code = combined ? 11 : 10;
        else if (tank1On) code = combined ? 12 : 9;
        else if (tank2On) code = combined ? 13 : 9;
    } else if (tank1On && tank2On) {
        if (t1 == SOURCE_SENDER && t2 == SOURCE_SENDER) {
            code = 11;
        } else {
            // One flow feeds both tanks: both count with the active flow's K-factor.
            if (f1 == 1) settings.flow2KFactor = settings.flow1KFactor;
            else settings.flow1KFactor = settings.flow2KFactor;
            code = 14;
        }
    } else if (f1 == 1 && tank1On) {
        code = 0;
    } else if (f2 == 1 && tank2On) {
        code = 1;
    }

    if (t1 == SOURCE_CALCULATED && t2 == SOURCE_CALCULATED) code = 9;
    fuelLayout = code;
}

uint16_t fuelFlowForPulses(int channel, uint16_t pulses)
{
    return flowRate(pulses, scaledK(channel == 0 ? settings.flow1KFactor : settings.flow2KFactor));
}

bool tankLevelForReading(int tank, uint16_t reading, uint16_t& level)
{
    if (tank < 0 || tank > 1) return false;
    const TankConfig t = tankConfig(tank);
    if (t.source != SOURCE_SENDER) return false;
    const uint32_t x = settledFilter(fuelLevelFilterAcc[tank], [&](uint32_t& acc) {
        return filterReading(acc, reading, t.filter);
    });
    level = static_cast<uint16_t>(senderLevel(static_cast<int32_t>(x), t.calibration, usableSize(t.size)));
    return true;
}

void processTankSender(int tank)
{
    if (tank < 0 || tank > 1) return;
    const TankConfig t = tankConfig(tank);
    const uint16_t reading = rawFuelLevel[tank];
    fuelLevelInput[tank] = reading;
    fuelLevelOpen[tank] = 0;

    if (t.source == SOURCE_SENDER) {
        if (reading > OPEN_SENDER_READING) fuelLevelOpen[tank] = 1;  // still computed: it saturates
        const uint32_t x = filterReading(fuelLevelFilterAcc[tank], reading, t.filter);
        const int32_t level = senderLevel(static_cast<int32_t>(x), t.calibration, usableSize(t.size));
        fuelLevel[tank] = static_cast<uint16_t>(level);
    }

    // A calculated tank is judged by the level the flow step left in the previous pass.
    const uint32_t bit = tank == 0 ? ALARM_TANK1 : ALARM_TANK2;
    updateAlarm(bit, t.source != SOURCE_OFF && fuelLevel[tank] < t.lowAlarm && t.lowAlarmOn == 1);
}

void processFuelFlow()
{
    for (int n = 0; n < 2; ++n)
        flowInput[n] = settings.fuelFlowMode == 1 ? injectorFlowInput(n) : rawFuelFlow[n];

    const uint32_t k[2] = {scaledK(settings.flow1KFactor), scaledK(settings.flow2KFactor)};
    for (int n = 0; n < 2; ++n) fuelFlow[n] = flowRate(flowInput[n], k[n]);

    // Fuel quantities move once per 4 seconds of real time, whatever the pass rate.
    if (fuelIntervalDue) {
        fuelIntervalDue = 0;
        bookFuelInterval(k);
    }

    if (settings.tank1Source == SOURCE_CALCULATED)
        fuelLevel[0] = calculatedLevel(fuelRemainingPulses[0], k[0], settings.tank1Size);
    if (settings.tank2Source == SOURCE_CALCULATED)
        fuelLevel[1] = calculatedLevel(fuelRemainingPulses[1], k[1], settings.tank2Size);
    fuelUsed[0] = usedQuantity(fuelUsedPulses[0], k[0]);
    fuelUsed[1] = usedQuantity(fuelUsedPulses[1], k[1]);

    updateRangeAndEndurance();
}

void updateRangeAndEndurance()
{
    const int32_t l1 = settings.tank1AddToRange == 1 ? fuelLevel[0] : 0;
    const int32_t l2 = settings.tank2AddToRange == 1 ? fuelLevel[1] : 0;
    const int32_t f0 = fuelFlow[0];
    const int32_t f1 = fuelFlow[1];
    const int32_t combinedFlow = settings.dualFlowMode == DIFFERENTIAL ? f0 - f1 : f0 + f1;
    const int32_t singleFlow = settings.flow1On == 1 ? f0 : f1;

    // Layouts without a flow and a tank together have nothing to estimate from.
    int32_t flow = 0;
    int32_t fuel = 0;
    switch (fuelLayout) {
    case 0: flow = f0; fuel = l1; break;
    case 1: flow = f1; fuel = l2; break;
    case 10: flow = f0 + f1; fuel = l1 + l2; break;
    case 11:
        flow = settings.flow1On == 1 && settings.flow2On == 1 ? combinedFlow : singleFlow;
        if (settings.tank2Source == SOURCE_CALCULATED) fuel = l1;
        else if (settings.tank1Source == SOURCE_CALCULATED) fuel = l2;
        else fuel = l1 + l2;
        break;
    case 12: flow = combinedFlow; fuel = l1; break;
    case 13: flow = combinedFlow; fuel = l2; break;
    case 14: flow = singleFlow; fuel = l1 + l2; break;
    default: break;
    }
    // A return flow larger than the supply is no consumption.
    if (flow < 0) flow = 0;

    if (fuel == 0) {
        fuelRange = fuelEndurance = 0;
    } else if (flow == 0) {
        fuelRange = fuelEndurance = FUEL_NO_FLOW;
    } else {
        const uint64_t v = rangeSpeed();
        const uint64_t q = static_cast<uint64_t>(fuel);
        const uint64_t f = static_cast<uint64_t>(flow);
        if (!tankUnitsAreTenths()) {
            fuelRange = estimate(v * q * 10 / f);
            fuelEndurance = estimate(q * 600 / f);
        } else {
            fuelRange = estimate(v * q / f);
            fuelEndurance = estimate(q * 60 / f);
        }
    }
}

void clearFuelAccumulators()
{
    for (int n = 0; n < 2; ++n) {
        fuelRemainingPulses[n] = 0;
        fuelUsedPulses[n] = 0;
        fuelUsed[n] = 0;
    }
    fuelSecondCount = 0;
    fuelIntervalDue = 0;
}

void resetFuelTimingInputs()
{
    for (uint32_t& input : fuelTimingInputs) input = 10000;
}

void fuelSlowStep()
{
    if (++fuelSecondCount < FUEL_INTERVAL_SECONDS) return;
    fuelSecondCount = 0;
    fuelIntervalDue = 1;
}

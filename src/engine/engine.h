// Engine processing: one call per main-loop pass turns the raw inputs into engine values in
// fixed-point units, channel by channel in a fixed order, each updating its alarm bit.
#pragma once
#include <cstdint>

// Calibration block: device RAM, not part of the settings file; power-on restores the defaults of
// every field but currentZero.
#pragma pack(push, 1)
struct Calibration {
    uint8_t voltsCalPercent;  // volts gain, 50..150 %
    int8_t oatOffset;         // degrees C added to the OAT, -20..20
    int8_t mapOffset;         // ADC counts added to the MAP input, -50..50
    uint16_t senderZero[4];   // zero-amp readings of the analog inputs in CURRENT function
    uint16_t currentZero;     // zero-amp reading of the main current sensor
};
#pragma pack(pop)
static_assert(sizeof(Calibration) == 13);

extern Calibration calibration;

// Processed values of the basic channels.
extern uint32_t voltsFilter;   // 4 x counts
extern uint16_t volts;         // 0.1 V
extern int16_t oatCelsius;     // degrees C after the offset
extern int16_t oat;            // degrees C or F per oatUnit
extern uint16_t mapInput;      // copy of rawMap
extern int32_t mapFilterAcc;
extern int16_t mapMb;          // mb before unit conversion
extern int16_t map;            // mb, or 0.1 inHg
extern int32_t rpm;            // 0..99999 after resolution rounding
extern int32_t rpmPercent;     // rpm as percent of rpm1FullScale
extern int16_t currentTenths;  // 0.1 A
extern int16_t current;        // A

// Minimum and maximum values since the last reset.
extern uint16_t voltsMin, voltsMax;
extern int16_t oatMin, oatMax;
extern int16_t mapMin, mapMax;
extern int32_t rpmMax;      // RPM, or percent when the RPM display is in percent
extern int32_t rotorMax;    // second RPM channel, RPM or percent
extern int16_t currentMin, currentMax;

// Straight line through (x1, y1) and (x2, y2) at x, rounded half away from zero on the tenths.
// Equal x1 and x2 (a degenerate calibration) give y1 instead of a division by zero.
int32_t interpolateRounded(int32_t x1, int32_t x2, int32_t y1, int32_t y2, int32_t x);
// n / 10 rounded half away from zero.
int32_t divideByTenRounded(int32_t n);
// c x 18 / 10 + 32, truncating.
int32_t toFahrenheit(int32_t c);

// The conversions of the basic channels, with the present calibration and settings (the
// channel's filter aside). The window shows them beside its bars.
uint16_t voltsForCounts(uint32_t counts);        // 0.1 V
int16_t oatCelsiusForCounts(uint16_t counts);    // degrees C, offset applied
int16_t mapMbForInput(int32_t x);                // x: input + offset + 180, at least 348
int16_t mapInUnit(int16_t mb);                   // mb or 0.1 inHg per mapUnit
int32_t rpmForPeriod(uint16_t period);           // 0 for no pulses; needs rpmFactor up to date
int16_t currentTenthsForCounts(uint16_t counts); // main current sensor, 0.1 A

// One step of the instrument's integer smoothing over n samples: the accumulator holds n times
// the smoothed value, which is returned.
template <typename T> T smoothingStep(T& acc, T x, T n)
{
    acc = (acc * (n - 1) + x * n) / n;
    return acc / n;
}
// One step of the volts and MAP smoothing: the accumulator updated, the smoothed input returned
// (counts; for MAP, x as above, passed through by filter 0).
uint32_t voltsFilterStep(uint32_t& acc, uint16_t counts);
int32_t mapFilterStep(int32_t& acc, int32_t x, uint8_t filter);
// What a smoothing filter shows once its input holds still: its step run on a copy of the
// accumulator until the accumulator stops changing. The integer filters settle up to a count
// short of the input when they rise, which is what the display then shows.
template <typename Acc, typename Step> auto settledFilter(Acc acc, Step step)
{
    auto shown = step(acc);
    for (int i = 0; i < 8192; ++i) {
        const Acc before = acc;
        shown = step(acc);
        if (acc == before) break;
    }
    return shown;
}

void resetCalibration();  // power-on defaults; currentZero is kept
void resetMinMax();
void processEngineInputs();

// The steps of a pass, in their order.
void processVolts();
void processOat();
void processMap();
void processColdJunction();          // thermocouples
void processThermocouple(int index); // 0..11
void processTankSender(int tank);    // fuel, 0 or 1
void processRpm();
void processFuelFlow();              // fuel flow, calculated tanks, totals, range, endurance
void processAnalogInput(int index);  // senders, 0..3
void processFuelPressure();          // senders
void processCurrent();

// Minimum/maximum resets of the other channel groups, called by resetMinMax.
void resetThermocoupleMinMax();
void resetSenderMinMax();

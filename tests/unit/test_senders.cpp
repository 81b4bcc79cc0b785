// Sender inputs: curve look-up and the built-in curves, then the PRESSURE, TEMPERATURE and
// CURRENT functions, fuel pressure, peaks and alarm bits, with the documented examples.
#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>

#include "device.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "engine/senders.h"
#include "scenario/variables.h"
#include "settings/settings.h"

namespace {

SenderCurve makeCurve(std::initializer_list<SenderPoint> points, int count = -1)
{
    SenderCurve curve{};
    int k = 0;
    for (const SenderPoint& p : points) curve.points[k++] = p;
    curve.pointCount = static_cast<uint8_t>(count < 0 ? k : count);
    return curve;
}

class Senders : public testing::Test {
protected:
    void SetUp() override
    {
        resetDevice();
    }

    // Input index 0..3 as a PRESSURE input with everything else at its factory value.
    static PressureSenderConfig& pressureInput(int index)
    {
        setFunction(index, SENDER_FUNCTION_PRESSURE);
        return settings.pressureSender[index];
    }
    static TemperatureSenderConfig& temperatureInput(int index)
    {
        setFunction(index, SENDER_FUNCTION_TEMPERATURE);
        return settings.temperatureSender[index];
    }
    static CurrentSensorConfig& currentInput(int index)
    {
        setFunction(index, SENDER_FUNCTION_CURRENT);
        return settings.currentSender[index];
    }
    static void setFunction(int index, uint8_t function)
    {
        uint8_t* functions[4] = {&settings.oilTempFunction, &settings.oilPressureFunction, &settings.aux13Function,
                                 &settings.aux24Function};
        *functions[index] = function;
    }
    static void noAlarms(PressureSenderConfig& p) { p.lowAlarmOn = p.highAlarmOn = 0; }

    static int16_t pressureAt(int index, uint16_t reading)
    {
        rawAnalog[index] = reading;
        processAnalogInput(index);
        return pressureValue[index];
    }
    static int16_t temperatureAt(int index, uint16_t reading)
    {
        rawAnalog[index] = reading;
        processAnalogInput(index);
        return tempValue[index];
    }
};

// ---- Curve look-up ----

TEST(SenderCurveLookup, DocumentedExamples)
{
    EXPECT_EQ(lookupSenderCurve(curveVdo150, 500), 62);   // between (50, 720) and (66, 432)
    EXPECT_EQ(lookupSenderCurve(curveDvkNtc, 1740), 20);  // falling curve at its first reading
    EXPECT_EQ(lookupSenderCurve(curveDvkNtc, 1900), 16);  // above the first reading: extrapolated
}

TEST(SenderCurveLookup, EveryBuiltInCurveAtItsEndsAndInside)
{
    struct Case {
        const char* name;
        const SenderCurve& curve;
        int32_t firstReading, firstValue, lastReading, lastValue, insideReading, insideValue;
    } cases[] = {
        {"DVK NTC", curveDvkNtc, 1740, 20, 106, 110, 1146, 35},
        {"VDO 150", curveVdo150, 2000, 10, 44, 150, 576, 58},
        {"WESTACH", curveWestach, 3273, 10, 37, 204, 2428, 32},
        {"VDO 120", curveVdo120, 1710, 10, 56, 120, 700, 40},
        {"VDO 2 bar", curveVdo2Bar, 7, 0, 452, 20, 344, 16},          // 15 + 36 x 5 / 144
        {"VDO 2 bar in 2", curveVdo2BarInput2, 12, 0, 644, 20, 330, 9},  // 5 + 90 x 5 / 120
        {"VDO 5 bar", curveVdo5Bar, 24, 0, 424, 50, 170, 15},
        {"VDO 5 bar in 2", curveVdo5BarInput2, 36, 0, 607, 50, 250, 15},
        {"VDO 10 bar", curveVdo10Bar, 20, 0, 433, 100, 172, 30},
        {"VDO 10 bar in 2", curveVdo10BarInput2, 35, 0, 620, 100, 256, 30},
        {"T1EU07/70", curveT1eu07, 160, 0, 3722, 70, 923, 15},
        {"T1EU35", curveT1eu35, 160, 0, 3814, 35, 1857, 16},          // 15 + 130 x 5 / 518
        {"T1EU70A", curveT1eu70a, 112, 5, 3173, 60, 995, 21},         // 20 + 56 x 5 / 280
        {"T1EU100", curveT1eu100, 160, 0, 3436, 90, 705, 15},
        {"T1EU150", curveT1eu150, 160, 0, 3977, 150, 923, 30},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lookupSenderCurve(c.curve, c.firstReading), c.firstValue) << c.name;
        EXPECT_EQ(lookupSenderCurve(c.curve, c.lastReading), c.lastValue) << c.name;
        EXPECT_EQ(lookupSenderCurve(c.curve, c.insideReading), c.insideValue) << c.name;
    }
}

TEST(SenderCurveLookup, ExtrapolatesAlongTheEndSegments)
{
    struct Case {
        const SenderCurve& curve;
        int32_t reading, want;
    } cases[] = {
        {curveDvkNtc, 50, 125},    // falling, below the last reading: 110 + 56 x 10 / 38
        {curveVdo150, 0, 187},     // an open-circuit reading stays finite
        {curveT1eu35, 0, -2},      // rising, below the first reading: under the first value
        {curveVdo10Bar, 4095, 1301},
        {curveT1eu70a, 0, 3},
    };
    for (const Case& c : cases) EXPECT_EQ(lookupSenderCurve(c.curve, c.reading), c.want) << c.reading;
}

TEST(SenderCurveLookup, CurvesWithoutALineGiveNoResult)
{
    const SenderCurve noPoints = makeCurve({{10, 100}, {20, 200}}, 0);
    const SenderCurve onePoint = makeCurve({{10, 100}, {20, 200}}, 1);
    const SenderCurve stepAtStart = makeCurve({{0, 100}, {5, 100}, {10, 200}});
    const SenderCurve stepInside = makeCurve({{0, 300}, {5, 200}, {10, 200}, {15, 100}});
    for (int32_t x : {0, 100, 150, 200, 4095}) {
        EXPECT_FALSE(lookupSenderCurve(noPoints, x)) << x;
        EXPECT_FALSE(lookupSenderCurve(onePoint, x)) << x;
        EXPECT_FALSE(lookupSenderCurve(stepAtStart, x)) << x;
        EXPECT_FALSE(lookupSenderCurve(stepInside, x)) << x;
    }
}

TEST(SenderCurveLookup, PointCountAboveSixteenUsesTheSixteenPoints)
{
    SenderCurve curve{};
    for (int k = 0; k < 16; ++k) curve.points[k] = {static_cast<int16_t>(k * 10), static_cast<int16_t>(k * 100)};
    curve.pointCount = 200;
    EXPECT_EQ(lookupSenderCurve(curve, 1500), 150);
    EXPECT_EQ(lookupSenderCurve(curve, 1600), 160);  // extrapolated along points 14-15
}

TEST(SenderCurveLookup, NonMonotonicCurveUsesTheFirstSegmentThatBracketsTheReading)
{
    // Rises to 300, falls back to 200, rises to 400: 250 lies in the first segment and again in
    // the last; the first one counts. 350 is only in the last.
    const SenderCurve curve = makeCurve({{0, 100}, {20, 300}, {30, 200}, {50, 400}});
    EXPECT_EQ(lookupSenderCurve(curve, 250), 15);
    EXPECT_EQ(lookupSenderCurve(curve, 350), 45);
    // Rising at the start but ending below its first reading: every reading lies below the first
    // or above the last one, so the end segments are extended and a value always comes out.
    const SenderCurve backwards = makeCurve({{0, 100}, {10, 300}, {20, 50}});
    EXPECT_EQ(lookupSenderCurve(backwards, 80), -1);   // first segment: (80 - 100) x 10 / 200
    EXPECT_EQ(lookupSenderCurve(backwards, 150), 16);  // last segment: 10 + 150 x 10 / 250
}

// ---- PRESSURE function ----

TEST_F(Senders, VdoTwoBarOnInputTwoUsesItsOwnCurveInEveryUnit)
{
    PressureSenderConfig& p = pressureInput(1);
    p.vdoModel = 0;
    const struct {
        uint8_t unit;
        int16_t want;
    } cases[] = {{0, 10}, {1, 15}, {2, 145}};
    for (const auto& c : cases) {
        p.pressureUnit = c.unit;
        EXPECT_EQ(pressureAt(1, 360), c.want) << int(c.unit);
    }
    // The same reading on input 3 reads the plain curve: 15 + 52 x 5 / 144.
    PressureSenderConfig& aux = pressureInput(2);
    aux.vdoModel = 0;
    EXPECT_EQ(pressureAt(2, 360), 17);
}

TEST_F(Senders, VdoUnitConversions)
{
    PressureSenderConfig& p = pressureInput(0);
    noAlarms(p);
    p.vdoModel = 2;  // 10 bar
    const struct {
        uint16_t reading;
        uint8_t unit;
        int16_t want;
    } cases[] = {
        {216, 0, 40}, {216, 1, 58}, {216, 2, 580},  // 4.0 bar = 58 psi
        {433, 1, 145}, {433, 2, 999},               // 10 bar = 1450 tenths of psi: display limit
        {0, 0, 0},                                  // below the curve: -4, shown as 0
    };
    for (const auto& c : cases) {
        p.pressureUnit = c.unit;
        EXPECT_EQ(pressureAt(0, c.reading), c.want) << c.reading << " unit " << int(c.unit);
    }
}

TEST_F(Senders, UmaModelsByUnit)
{
    PressureSenderConfig& p = pressureInput(2);
    noAlarms(p);
    p.type = 1;
    p.senderSource = 2;
    const struct {
        uint8_t model;
        uint16_t reading;
        int16_t bar, psi, psiTenths;
    } cases[] = {
        {0, 3722, 5, 7, 70},       // T1EU07: 7.0 psi = 0.48 bar
        {0, 2196, 3, 4, 40},       // 4.0 psi = 0.28 bar
        {1, 2245, 14, 20, 200},    // T1EU35: 20 psi
        {2, 3722, 48, 70, 700},    // T1EU70: the T1EU07 table read in psi
        {3, 1498, 10, 15, 147},    // T1EU70A: 30 inHg = 1.02 bar = 14.7 psi
        {4, 3436, 62, 90, 900},    // T1EU100
        {5, 3977, 103, 150, 999},  // T1EU150: 1500 tenths of psi is beyond the display
    };
    for (const auto& c : cases) {
        p.umaModel = c.model;
        p.pressureUnit = 0;
        EXPECT_EQ(pressureAt(2, c.reading), c.bar) << "model " << int(c.model);
        p.pressureUnit = 1;
        EXPECT_EQ(pressureAt(2, c.reading), c.psi) << "model " << int(c.model);
        p.pressureUnit = 2;
        EXPECT_EQ(pressureAt(2, c.reading), c.psiTenths) << "model " << int(c.model);
    }
}

// Bar (in 0.1 bar) and psi(0.1) must describe the same pressure for every curve-based sender:
// 1 bar = 14.5 psi, within the rounding of each unit.
TEST_F(Senders, BarAndPsiAgreeForEveryCurveSender)
{
    PressureSenderConfig& p = pressureInput(0);
    noAlarms(p);
    struct Sender {
        uint8_t type, source, model;
    };
    const Sender senders[] = {{1, 2, 0}, {1, 2, 1}, {1, 2, 2}, {1, 2, 3}, {1, 2, 4}, {1, 2, 5},
                              {0, 0, 0}, {0, 0, 1}, {0, 0, 2}};
    for (const Sender& s : senders) {
        p.type = s.type;
        p.senderSource = s.source;
        p.umaModel = p.vdoModel = s.model;
        for (uint16_t reading = 100; reading <= 4000; reading += 150) {
            p.pressureUnit = 0;
            const int32_t bar = pressureAt(0, reading);
            p.pressureUnit = 1;
            const int32_t psi = pressureAt(0, reading);
            p.pressureUnit = 2;
            const int32_t psiTenths = pressureAt(0, reading);
            if (psiTenths <= 0 || psiTenths >= 999 || bar >= 999) continue;  // at a display limit
            EXPECT_NEAR(bar * 145, psiTenths * 10, 95)
                << "type " << int(s.type) << " model " << int(s.model) << " reading " << reading;
            EXPECT_NEAR(psi * 10, psiTenths, 7) << "model " << int(s.model) << " reading " << reading;
        }
    }
}

TEST_F(Senders, RotaxCurrentLoop)
{
    PressureSenderConfig& aux = pressureInput(2);
    aux.type = 2;
    aux.senderSource = 2;
    aux.pressureAt4mA = 0;
    aux.pressureAt20mA = 100;
    const struct {
        uint16_t reading;
        int16_t want;
    } plain[] = {{1168, 50}, {556, 0}, {1780, 100}, {100, 0}, {4096, 289}};
    for (const auto& c : plain) EXPECT_EQ(pressureAt(2, c.reading), c.want) << c.reading;

    PressureSenderConfig& oil = pressureInput(1);  // input 2: 4 mA at 664, 20 mA at 1852
    oil.type = 2;
    oil.senderSource = 2;
    oil.pressureAt4mA = 0;
    oil.pressureAt20mA = 100;
    EXPECT_EQ(pressureAt(1, 1258), 50);
    EXPECT_EQ(pressureAt(1, 664), 0);
    EXPECT_EQ(pressureAt(1, 1852), 100);

    // Both pressures are in the display unit: no conversion when the unit changes.
    aux.pressureUnit = 1;
    EXPECT_EQ(pressureAt(2, 1168), 50);
    // Equal pressures at both ends give a flat line, not a division.
    aux.pressureAt4mA = aux.pressureAt20mA = 30;
    EXPECT_EQ(pressureAt(2, 3000), 30);
}

TEST_F(Senders, UserPressureCurveIsInTheDisplayUnit)
{
    PressureSenderConfig& p = pressureInput(3);
    noAlarms(p);
    p.senderSource = 1;
    p.curve = makeCurve({{0, 100}, {500, 1100}});
    for (uint8_t unit : {0, 1, 2}) {
        p.pressureUnit = unit;
        EXPECT_EQ(pressureAt(3, 600), 250) << int(unit);
    }
    EXPECT_EQ(pressureAt(3, 3000), 999);  // 1450, limited
    EXPECT_EQ(pressureAt(3, 0), 0);       // -50, limited
}

TEST_F(Senders, PressureWithoutCurveResultKeepsItsValue)
{
    PressureSenderConfig& p = pressureInput(3);
    p.senderSource = 1;
    p.curve = makeCurve({{0, 100}, {500, 100}});  // both points at one reading
    pressureValue[3] = 42;
    EXPECT_EQ(pressureAt(3, 600), 42);
    EXPECT_FALSE(alarmFlags & ALARM_AUX4);
    pressureValue[3] = 90;  // the kept value is still judged against the limits
    EXPECT_EQ(pressureAt(3, 600), 90);
    EXPECT_TRUE(alarmFlags & ALARM_AUX4);
    EXPECT_EQ(pressureMax[3], 90);
}

TEST_F(Senders, PressureAlarmLimitsAreStrict)
{
    PressureSenderConfig& p = pressureInput(0);
    p.senderSource = 1;
    p.curve = makeCurve({{0, 0}, {1000, 1000}});  // value = reading
    p.lowAlarm = 15;
    p.highAlarm = 80;
    const struct {
        uint16_t reading;
        uint8_t lowOn, highOn;
        bool due;
    } cases[] = {
        {14, 1, 1, true}, {15, 1, 1, false}, {80, 1, 1, false}, {81, 1, 1, true},
        {14, 0, 1, false}, {81, 1, 0, false}, {50, 1, 1, false},
    };
    for (const auto& c : cases) {
        p.lowAlarmOn = c.lowOn;
        p.highAlarmOn = c.highOn;
        pressureAt(0, c.reading);
        EXPECT_EQ((alarmFlags & ALARM_AUX1) != 0, c.due) << c.reading;
    }
}

TEST_F(Senders, PressurePeakFollowsTheHighestValue)
{
    PressureSenderConfig& p = pressureInput(0);
    noAlarms(p);
    p.senderSource = 1;
    p.curve = makeCurve({{0, 0}, {1000, 1000}});
    for (uint16_t reading : {30, 70, 40}) pressureAt(0, reading);
    EXPECT_EQ(pressureValue[0], 40);
    EXPECT_EQ(pressureMax[0], 70);
}

// ---- TEMPERATURE function ----

TEST_F(Senders, DvkNtcInCelsiusAndFahrenheit)
{
    TemperatureSenderConfig& t = temperatureInput(0);
    t.sender = 0;
    EXPECT_EQ(temperatureAt(0, 1900), 16);
    EXPECT_EQ(tempCelsius[0], 16);
    settings.temperatureUnit = 1;
    EXPECT_EQ(temperatureAt(0, 1900), 60);  // 16 x 18 / 10 + 32
    EXPECT_EQ(tempCelsius[0], 16);
}

TEST_F(Senders, TemperatureSenderChoosesItsCurve)
{
    TemperatureSenderConfig& t = temperatureInput(2);
    const struct {
        uint8_t sender;
        uint16_t reading;
        int16_t want;
    } cases[] = {
        {0, 1146, 35}, {1, 576, 58}, {4, 2428, 32}, {5, 700, 40},
        {9, 576, 58},  // an unknown sender reads as VDO 150
    };
    for (const auto& c : cases) {
        t.sender = c.sender;
        EXPECT_EQ(temperatureAt(2, c.reading), c.want) << int(c.sender);
    }
}

TEST_F(Senders, UserTemperatureCurveIsNotConvertedToFahrenheit)
{
    TemperatureSenderConfig& t = temperatureInput(3);
    t.sender = 3;
    t.curve = makeCurve({{300, 100}, {100, 900}});  // calibrated in F
    settings.temperatureUnit = 1;
    EXPECT_EQ(temperatureAt(3, 500), 200);
    EXPECT_EQ(tempCelsius[3], 200);
    t.sender = 1;  // any other sender is converted
    EXPECT_EQ(temperatureAt(3, 576), 136);  // 58 C
}

TEST_F(Senders, Lm335WithOffsetAndLimits)
{
    TemperatureSenderConfig& t = temperatureInput(1);
    t.sender = 2;
    const struct {
        uint16_t reading;
        int8_t offset;
        uint8_t unit;
        int16_t want;
    } cases[] = {
        {2240, 0, 0, 0},     // 2240 x 1221 div 10000 - 273
        {2240, 5, 0, 5},
        {2240, -30, 0, -30},
        {3000, 0, 0, 93},
        {2240, 0, 1, 32},
        {1417, 0, 0, -100},  // -100 itself is kept
        {1416, 0, 0, -99},   // below -100 shows as -99
        {0, 0, 0, -99},
        {0, 0, 1, -99},
        {1300, 0, 1, -99},   // -115 C = -175 F
    };
    for (const auto& c : cases) {
        t.lm335Offset = c.offset;
        settings.temperatureUnit = c.unit;
        EXPECT_EQ(temperatureAt(1, c.reading), c.want) << c.reading << " " << int(c.offset) << " " << int(c.unit);
    }
}

TEST_F(Senders, TemperatureUpperLimitAndHugeCurveValues)
{
    TemperatureSenderConfig& t = temperatureInput(0);
    t.sender = 3;
    t.curve = makeCurve({{500, 100}, {900, 200}});
    EXPECT_EQ(temperatureAt(0, 1000), 999);  // 4100
    t.curve = makeCurve({{0, 0}, {30000, 1}});
    EXPECT_EQ(temperatureAt(0, 65535), 999);  // far beyond 16 bits, still limited
    EXPECT_EQ(tempCelsius[0], INT16_MAX);
    settings.temperatureUnit = 1;
    t.sender = 0;
    EXPECT_EQ(temperatureAt(0, 1146), 95);  // 35 C
}

TEST_F(Senders, TemperatureWithoutCurveResultKeepsItsValue)
{
    TemperatureSenderConfig& t = temperatureInput(0);
    t.sender = 3;
    t.curve = makeCurve({{100, 300}}, 1);
    settings.temperatureUnit = 1;
    tempValue[0] = 150;
    tempCelsius[0] = 66;
    EXPECT_EQ(temperatureAt(0, 500), 150);
    EXPECT_EQ(tempCelsius[0], 66);
    EXPECT_EQ(temperatureAt(0, 500), 150);  // not converted again on the next pass
    EXPECT_TRUE(alarmFlags & ALARM_AUX1);   // judged on the kept value: above 135
}

TEST_F(Senders, TemperatureAlarmAndPeak)
{
    TemperatureSenderConfig& t = temperatureInput(2);
    t.sender = 2;  // LM335: 2240 + 8.19 counts per degree
    t.lowAlarm = 70;
    t.highAlarm = 135;
    temperatureAt(2, 2240 + 574);  // 70 C, exactly the low limit
    EXPECT_EQ(tempValue[2], 70);
    EXPECT_FALSE(alarmFlags & ALARM_AUX3);
    temperatureAt(2, 2240 + 565);  // 69 C
    EXPECT_TRUE(alarmFlags & ALARM_AUX3);
    t.lowAlarmOn = 0;
    temperatureAt(2, 2240 + 565);
    EXPECT_FALSE(alarmFlags & ALARM_AUX3);
    temperatureAt(2, 2240 + 1115);  // 136 C
    EXPECT_TRUE(alarmFlags & ALARM_AUX3);
    temperatureAt(2, 2240 + 300);
    EXPECT_EQ(tempMax[2], 136);
}

// ---- CURRENT function ----

TEST_F(Senders, CurrentAroundTheZeroReading)
{
    CurrentSensorConfig& c = currentInput(3);
    c.currentSpan = 50;
    c.lowAlarmOn = c.highAlarmOn = 0;
    const struct {
        uint16_t zero, reading;
        int16_t tenths, amps;
    } cases[] = {
        {2048, 2048, 0, 0},     {2048, 4096, 500, 50}, {2048, 3072, 250, 25},
        {2048, 0, -500, -50},   {2048, 1946, -25, -2},  // amps truncate toward zero
        {1000, 1000, 0, 0},     {1000, 4096, 500, 50},
        {4096, 4096, 0, 0},     {4096, 100, 0, 0},      // no span left: 0 A, no division
    };
    for (const auto& k : cases) {
        calibration.senderZero[3] = k.zero;
        rawAnalog[3] = k.reading;
        processAnalogInput(3);
        EXPECT_EQ(auxCurrentTenths[3], k.tenths) << k.zero << " " << k.reading;
        EXPECT_EQ(auxCurrent[3], k.amps) << k.zero << " " << k.reading;
        EXPECT_EQ(analogInput[3], k.reading);
    }
}

TEST_F(Senders, CurrentUsesTheZeroOfItsOwnInput)
{
    currentInput(0);
    currentInput(1);
    calibration.senderZero[0] = 1000;
    calibration.senderZero[1] = 3000;
    rawAnalog[0] = rawAnalog[1] = 3000;
    processAnalogInput(0);
    processAnalogInput(1);
    EXPECT_GT(auxCurrent[0], 0);
    EXPECT_EQ(auxCurrent[1], 0);
}

TEST_F(Senders, CurrentAlarmAndMinMax)
{
    CurrentSensorConfig& c = currentInput(1);
    c.lowAlarm = -40;
    c.highAlarm = 40;
    const struct {
        uint16_t reading;
        int16_t amps;
        bool due;
    } cases[] = {
        {2048, 0, false}, {3686, 40, false}, {3728, 41, true}, {410, -40, false}, {300, -42, true},
    };
    for (const auto& k : cases) {
        rawAnalog[1] = k.reading;
        processAnalogInput(1);
        EXPECT_EQ(auxCurrent[1], k.amps) << k.reading;
        EXPECT_EQ((alarmFlags & ALARM_AUX2) != 0, k.due) << k.reading;
    }
    EXPECT_EQ(auxCurrentMin[1], -42);
    EXPECT_EQ(auxCurrentMax[1], 41);
}

// ---- Functions and alarm bits ----

TEST_F(Senders, EachInputOwnsOneAlarmBitWhateverItsFunction)
{
    const uint32_t bits[4] = {0x0100, 0x0200, 0x0400, 0x0800};
    for (int i = 0; i < 4; ++i) {
        for (uint8_t function : {SENDER_FUNCTION_PRESSURE, SENDER_FUNCTION_TEMPERATURE, SENDER_FUNCTION_CURRENT}) {
            alarmFlags = 0;
            setFunction(i, function);
            rawAnalog[i] = 0;  // pressure 0 (< 15), temperature far above 135 (open sender), -50 A
            processAnalogInput(i);
            EXPECT_EQ(alarmFlags, bits[i]) << i << " function " << int(function);
        }
    }
}

TEST_F(Senders, FunctionOffClearsTheBitAndLeavesTheValues)
{
    CurrentSensorConfig& c = currentInput(2);
    c.currentSpan = 50;
    rawAnalog[2] = 0;
    processAnalogInput(2);
    ASSERT_TRUE(alarmFlags & 0x0400);
    alarmAcked = 0x0400;
    setFunction(2, SENDER_FUNCTION_OFF);
    rawAnalog[2] = 2048;
    processAnalogInput(2);
    EXPECT_FALSE(alarmFlags & 0x0400);
    EXPECT_FALSE(alarmAcked & 0x0400);
    EXPECT_EQ(auxCurrent[2], -50);
    EXPECT_EQ(analogInput[2], 0);
}

TEST_F(Senders, ChangingTheFunctionLeavesTheOtherFunctionsValues)
{
    temperatureInput(2).sender = 1;
    temperatureAt(2, 576);
    pressureInput(2);
    pressureAt(2, 216);  // VDO 10 bar: 4.0 bar
    EXPECT_EQ(pressureValue[2], 40);
    EXPECT_EQ(tempValue[2], 58);
}

// ---- Fuel pressure ----

TEST_F(Senders, FuelPressureAsAPressureInput)
{
    // Factory: UMA T1EU07 in psi(0.1).
    rawFuelPressure = 2196;
    processFuelPressure();
    EXPECT_EQ(fuelPressure, 40);
    PressureSenderConfig& p = settings.fuelPressureSender;
    p.type = 0;
    p.senderSource = 0;
    p.vdoModel = 0;
    p.pressureUnit = 0;
    rawFuelPressure = 360;
    processFuelPressure();
    EXPECT_EQ(fuelPressure, 17);  // the plain VDO curve, not the one of input 2
    p.type = 2;
    p.senderSource = 2;
    rawFuelPressure = 1168;
    processFuelPressure();
    EXPECT_EQ(fuelPressure, 50);  // 4-20 mA at 556 and 1780
    EXPECT_EQ(fuelPressureMax, 50);
    rawFuelPressure = 100;
    processFuelPressure();
    EXPECT_EQ(fuelPressure, 0);
    EXPECT_TRUE(alarmFlags & ALARM_FUEL_PRESSURE);
    EXPECT_EQ(fuelPressureMax, 50);
}

TEST_F(Senders, FuelPressureOffKeepsItsValueAndClearsTheBit)
{
    rawFuelPressure = 160;  // 0 psi: below the low alarm
    processEngineInputs();
    EXPECT_EQ(fuelPressure, 0);
    EXPECT_TRUE(alarmFlags & ALARM_FUEL_PRESSURE);
    rawFuelPressure = 2196;
    processEngineInputs();
    EXPECT_EQ(fuelPressure, 40);
    EXPECT_FALSE(alarmFlags & ALARM_FUEL_PRESSURE);
    settings.fuelPressureOn = 0;
    rawFuelPressure = 160;
    processEngineInputs();
    EXPECT_EQ(fuelPressure, 40);
    EXPECT_FALSE(alarmFlags & ALARM_FUEL_PRESSURE);
}

// ---- Peaks reset and runner names ----

TEST_F(Senders, ResetMinMaxTakesThePresentValues)
{
    for (int i = 0; i < 4; ++i) {
        pressureValue[i] = static_cast<int16_t>(10 + i);
        pressureMax[i] = 500;
        tempValue[i] = static_cast<int16_t>(-20 - i);
        tempMax[i] = 300;
        auxCurrent[i] = static_cast<int16_t>(5 - i);
        auxCurrentMin[i] = -90;
        auxCurrentMax[i] = 90;
    }
    fuelPressure = 33;
    fuelPressureMax = 400;
    resetMinMax();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pressureMax[i], 10 + i);
        EXPECT_EQ(tempMax[i], -20 - i);
        EXPECT_EQ(auxCurrentMin[i], 5 - i);
        EXPECT_EQ(auxCurrentMax[i], 5 - i);
    }
    EXPECT_EQ(fuelPressureMax, 33);
}

TEST_F(Senders, RunnerPrintsTheSenderValuesByName)
{
    pressureValue[1] = 47;
    const DeviceVariable* element = findDeviceVariable("pressureValue[1]");
    ASSERT_NE(element, nullptr);
    std::ostringstream out;
    printDeviceVariable(*element, out);
    EXPECT_EQ(out.str(), "pressureValue[1]=47\n");
    for (const char* name : {"analogInput", "pressureValue", "pressureMax", "tempValue", "tempCelsius", "tempMax",
                             "auxCurrentTenths", "auxCurrent", "auxCurrentMin", "auxCurrentMax", "fuelPressure",
                             "fuelPressureMax", "rawAnalog", "rawFuelPressure", "tempValue[3]"})
        EXPECT_NE(findDeviceVariable(name), nullptr) << name;
}

}  // namespace

// The alarm message table: for each alarm bit the text that describes it, low or high decided as
// the channel decides its alarm, and the label that texts beginning with a space take in front.
#include <bit>
#include <cstdio>
#include <iterator>

#include "engine/alarm_messages.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/senders.h"
#include "settings/settings.h"
#include "ui/widget_texts.h"

namespace {

// Indexes into alarmMessageTexts.
enum : uint8_t {
    TextAlarm = 0, TextFuelLevel1, TextFuelLevel2, TextRpm1Low, TextRpm1High, TextRpm2Low, TextRpm2High,
    TextEgtCht, TextMapLow, TextMapHigh, TextVoltsLow, TextVoltsHigh, TextOatLow, TextOatHigh, TextCo,
    TextFuelPressureLow, TextFuelPressureHigh, TextCurrentLow, TextCurrentHigh, TextPressureLow,
    TextPressureHigh, TextTempLow, TextTempHigh, TextAuxCurrentLow, TextAuxCurrentHigh,
};

constexpr int8_t kNoInput = -1;
constexpr uint8_t kAnyFunction = 0xFF;

struct AlarmMessage {
    uint32_t bit;
    uint8_t lowText;
    uint8_t highText;              // the same as lowText for an alarm with one text
    int8_t input = kNoInput;       // the analog input whose function selects this row
    uint8_t function = kAnyFunction;
    bool (*low)(int input) = nullptr;         // below the low alarm: the low text, else the high
    const char* (*label)(int input) = nullptr;  // put in front of a text that begins with a space
};

// Below the low limit with the low alarm on: the half of each channel's rule that makes it low.
bool below(int32_t value, int32_t limit, uint8_t on) { return on == 1 && value < limit; }

bool rpmLow(int) { return below(rpm, settings.rpm1LowAlarm, settings.rpm1LowAlarmOn); }
bool mapLow(int) { return below(map, settings.mapLowAlarm, settings.mapLowAlarmOn); }
bool voltsLow(int) { return below(volts, settings.voltsLowAlarm, settings.voltsLowAlarmOn); }
bool oatLow(int) { return below(oat, settings.oatLowAlarm, settings.oatLowAlarmOn); }
bool fuelPressureLow(int)
{
    return below(fuelPressure, settings.fuelPressureSender.lowAlarm, settings.fuelPressureSender.lowAlarmOn);
}
bool currentLow(int) { return below(current, settings.currentSensor.lowAlarm, settings.currentSensor.lowAlarmOn); }
bool pressureLow(int i)
{
    return below(pressureValue[i], settings.pressureSender[i].lowAlarm, settings.pressureSender[i].lowAlarmOn);
}
bool temperatureLow(int i)
{
    return below(tempValue[i], settings.temperatureSender[i].lowAlarm, settings.temperatureSender[i].lowAlarmOn);
}
bool auxCurrentLow(int i)
{
    return below(auxCurrent[i], settings.currentSender[i].lowAlarm, settings.currentSender[i].lowAlarmOn);
}

// Labels by their setup names (the engine page abbreviates the sender labels to "OP", "CT" ...).
const char* const kPressureLabels[] = {"OIL", "FUEL", "BOOST", "MAP", "AUX"};
const char* const kTemperatureLabels[] = {"OIL", "COOLANT", "WATER", "AUX"};

const char* rpm1Label(int) { return rpmLabelText(settings.rpm1Label); }
const char* pressureLabel(int i)
{
    const uint8_t label = settings.pressureSender[i].label;
    return label < std::size(kPressureLabels) ? kPressureLabels[label] : "";
}
const char* temperatureLabel(int i)
{
    const uint8_t label = settings.temperatureSender[i].label;
    return label < std::size(kTemperatureLabels) ? kTemperatureLabels[label] : "";
}

constexpr uint8_t P = SENDER_FUNCTION_PRESSURE, T = SENDER_FUNCTION_TEMPERATURE, C = SENDER_FUNCTION_CURRENT;

// In the order of the texts, which is the order of the pop-up's lines. Fuel pressure has no label
// of its own (its label setting is neither offered nor shown), so its text stands alone. The
// second RPM channel has texts but no alarm bit.
const AlarmMessage kMessages[] = {
    {ALARM_TANK1, TextFuelLevel1, TextFuelLevel1},
    {ALARM_TANK2, TextFuelLevel2, TextFuelLevel2},
    {ALARM_RPM, TextRpm1Low, TextRpm1High, kNoInput, kAnyFunction, rpmLow, rpm1Label},
    {ALARM_EGT_CHT, TextEgtCht, TextEgtCht},
    {ALARM_MAP, TextMapLow, TextMapHigh, kNoInput, kAnyFunction, mapLow},
    {ALARM_VOLTS, TextVoltsLow, TextVoltsHigh, kNoInput, kAnyFunction, voltsLow},
    {ALARM_OAT, TextOatLow, TextOatHigh, kNoInput, kAnyFunction, oatLow},
    {ALARM_CO, TextCo, TextCo},
    {ALARM_FUEL_PRESSURE, TextFuelPressureLow, TextFuelPressureHigh, kNoInput, kAnyFunction, fuelPressureLow},
    {ALARM_CURRENT, TextCurrentLow, TextCurrentHigh, kNoInput, kAnyFunction, currentLow},
    {ALARM_AUX1, TextPressureLow, TextPressureHigh, 0, P, pressureLow, pressureLabel},
    {ALARM_AUX2, TextPressureLow, TextPressureHigh, 1, P, pressureLow, pressureLabel},
    {ALARM_AUX3, TextPressureLow, TextPressureHigh, 2, P, pressureLow, pressureLabel},
    {ALARM_AUX4, TextPressureLow, TextPressureHigh, 3, P, pressureLow, pressureLabel},
    {ALARM_AUX1, TextTempLow, TextTempHigh, 0, T, temperatureLow, temperatureLabel},
    {ALARM_AUX2, TextTempLow, TextTempHigh, 1, T, temperatureLow, temperatureLabel},
    {ALARM_AUX3, TextTempLow, TextTempHigh, 2, T, temperatureLow, temperatureLabel},
    {ALARM_AUX4, TextTempLow, TextTempHigh, 3, T, temperatureLow, temperatureLabel},
    {ALARM_AUX1, TextAuxCurrentLow, TextAuxCurrentHigh, 0, C, auxCurrentLow},
    {ALARM_AUX2, TextAuxCurrentLow, TextAuxCurrentHigh, 1, C, auxCurrentLow},
    {ALARM_AUX3, TextAuxCurrentLow, TextAuxCurrentHigh, 2, C, auxCurrentLow},
    {ALARM_AUX4, TextAuxCurrentLow, TextAuxCurrentHigh, 3, C, auxCurrentLow},
};

int bitNumber(uint32_t bit) { return std::countr_zero(bit); }

bool rowApplies(const AlarmMessage& m)
{
    return m.input == kNoInput || analogInputFunction(m.input) == m.function;
}

bool rowHasText(const AlarmMessage& m, uint8_t text) { return text == m.lowText || text == m.highText; }

void composeLine(AlarmLine& line, uint32_t bit, const char* text, const char* label)
{
    line.bit = bit;
    if (text[0] == ' ' && label[0] == '\0') ++text;
    std::snprintf(line.text, sizeof line.text, "%s%s", text[0] == ' ' ? label : "", text);
}

}  // namespace

// Records the text of every set bit as its value stands in this pass.
void recordAlarmTexts()
{
    if (alarmFlags == 0) return;
    for (const AlarmMessage& m : kMessages) {
        if (!(alarmFlags & m.bit) || !rowApplies(m)) continue;
        const bool low = m.low && m.low(m.input);
        alarmTextIndex[bitNumber(m.bit)] = low ? m.lowText : m.highText;
    }
}

int announcedAlarmLines(AlarmLine (&lines)[ALARM_LINE_LIMIT])
{
    int count = 0;
    uint32_t left = alarmAnnounced & 0xFFFFu;
    for (const AlarmMessage& m : kMessages) {
        if (!(left & m.bit)) continue;
        const uint8_t text = alarmTextIndex[bitNumber(m.bit)];
        if (!rowHasText(m, text)) continue;
        composeLine(lines[count++], m.bit, alarmMessageTexts[text], m.label ? m.label(m.input) : "");
        left &= ~m.bit;
    }
    // A bit without a recorded text of its own (set by hand) still gets a line of its own.
    while (left != 0 && count < ALARM_LINE_LIMIT) {
        const uint32_t bit = left & (~left + 1);
        composeLine(lines[count++], bit, alarmMessageTexts[TextAlarm], "");
        left &= ~bit;
    }
    return count;
}

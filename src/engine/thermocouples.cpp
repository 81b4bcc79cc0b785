// Thermocouple channels: cold-junction temperature, EMF model and table conversions, the twelve
// EGT/CHT channels with their peaks and common alarm, the lean assist and the difference mode.
#include "engine/thermocouples.h"

#include <algorithm>
#include <optional>

#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "engine/senders.h"
#include "engine/thermocouple_lines.h"
#include "settings/settings.h"

uint16_t cjcInput = 0;
int16_t cjcTemp = 0;
int16_t tcFeed[12] = {};
int16_t tc[12] = {};
int16_t tcCelsius[12] = {};
int16_t tcMax[12] = {};
int16_t leanPeak[12] = {};
int16_t leanDelta[12] = {};
int16_t leanPeakOrder[12] = {};
uint8_t leanNextOrder = 1;
uint8_t leanActive = 0;
uint8_t leanDeltaMode = 0;

namespace {

constexpr int CHANNELS = 12;

int16_t saturate16(int32_t v) { return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX)); }

int32_t clampToInt32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// First temperature of a table in whole degrees.
int32_t firstPoint(const ThermocoupleTable& table) { return table.start / 10; }

// Point i's EMF, clamped into the table (the packed table's members are read by value).
int32_t emfAt(const ThermocoupleTable& table, int i) { return table.emf[std::clamp(i, 0, table.count - 1)]; }

bool risesStrictly(const ThermocoupleTable& table)
{
    for (int i = 1; i < table.count; ++i)
        if (emfAt(table, i) <= emfAt(table, i - 1)) return false;
    return true;
}

// A CHT read from a temperature sender: the first CHT on analog input 3, every later one on input 4,
// whatever the inputs' functions are. The value is the sender's own temperature before any unit
// conversion or display limits; a curve without a line for the reading gives no result.
std::optional<int32_t> senderCht(int index)
{
    const int input = index == settings.egtChannels ? 2 : 3;
    const TemperatureSenderConfig& sender = settings.temperatureSender[input];
    return temperatureSenderCelsius(sender, rawAnalog[input]);
}

// The common EGT/CHT alarm over every configured channel: at or above its limit, or below -100
// (a failed probe).
void updateEgtChtAlarm()
{
    const int egtEnd = std::min<int>(settings.egtChannels, CHANNELS);
    const int chtEnd = std::min<int>(settings.egtChannels + settings.chtChannels, CHANNELS);
    bool due = false;
    if (settings.egtHighAlarmOn == 1)
        for (int j = 0; j < egtEnd; ++j)
            if (tc[j] < -100 || tc[j] >= settings.egtHighAlarm) due = true;
    if (settings.chtHighAlarmOn == 1)
        for (int j = egtEnd; j < chtEnd; ++j)
            if (tc[j] < -100 || tc[j] >= settings.chtHighAlarm) due = true;
    updateAlarm(ALARM_EGT_CHT, due);
}

// One EGT's lean-assist step: the reference follows the rising EGT until it has fallen
// `hysteresis` degrees below it, which hands the channel the next order number.
void leanAssistStep(int i, int32_t hysteresis)
{
    if (leanPeak[i] <= tc[i]) {
        if (leanPeakOrder[i] > 0) {
            leanDelta[i] = saturate16(tc[i] - leanPeak[i]);
        } else {
            leanPeak[i] = tc[i];
            leanDelta[i] = 0;
        }
    } else {
        leanDelta[i] = saturate16(tc[i] - leanPeak[i]);
        if (leanPeak[i] - hysteresis >= tc[i] && leanPeakOrder[i] == 0) {
            leanPeakOrder[i] = leanNextOrder;
            ++leanNextOrder;
        }
    }
}

}  // namespace

int32_t tcMicrovolts(int32_t celsius, int type)
{
    const ThermocoupleTable& table = thermocoupleTable(type);
    return lineMicrovolts(firstPoint(table), table.step, table.count, [&](int i) { return emfAt(table, i); }, celsius);
}

namespace {

int tableIndex(int type) { return type == PROBE_J ? 1 : type == PROBE_E ? 2 : 0; }

// The cold junction's EMF along a table: the same for every channel of a pass, so worked out
// once for each cold-junction temperature.
int32_t cjcMicrovolts(int type)
{
    static bool known[3] = {};
    static int16_t at[3] = {};
    static int32_t emf[3] = {};
    const int i = tableIndex(type);
    if (!known[i] || at[i] != cjcTemp) {
        emf[i] = tcMicrovolts(cjcTemp, type);
        at[i] = cjcTemp;
        known[i] = true;
    }
    return emf[i];
}

}  // namespace

int32_t tcTenthsFromMicrovolts(int32_t microvolts, int type)
{
    const ThermocoupleTable& table = thermocoupleTable(type);
    const int32_t e = clampToInt32(int64_t{microvolts} + cjcMicrovolts(type));
    const auto point = [&](int i) { return emfAt(table, i); };
    // Each table's points rise strictly (checked once): its segment is found by bisection.
    static const bool rising[3] = {risesStrictly(thermocoupleTable(PROBE_K)), risesStrictly(thermocoupleTable(PROBE_J)),
                                   risesStrictly(thermocoupleTable(PROBE_E))};
    const bool bisect = rising[tableIndex(type)];
    const int k = bisect ? emfSegmentRising(table.count, point, e) : emfSegment(table.count, point, e);
    return lineTenthsOn(k, firstPoint(table), table.step, point, e);
}

int16_t cjcForCounts(uint16_t counts) { return static_cast<int16_t>(static_cast<int32_t>(counts) * 1220 / 10000 - 273); }

int32_t thermocoupleCelsius(int16_t hotJunction, int probe)
{
    const int32_t emf = clampToInt32(int64_t{tcMicrovolts(hotJunction, PROBE_K)} - cjcMicrovolts(PROBE_K));
    return tcTenthsFromMicrovolts(emf, probe) / 10;
}

void processColdJunction()
{
    cjcInput = rawCjc;
    cjcTemp = cjcForCounts(rawCjc);
}

void processThermocouple(int index)
{
    if (index < 0 || index >= CHANNELS) return;
    const int egtChannels = settings.egtChannels;
    const int chtChannels = settings.chtChannels;
    const bool isEgt = index < egtChannels;

    int32_t celsius;
    if (settings.chtProbe == PROBE_NTC && index >= egtChannels && index < egtChannels + chtChannels) {
        // Without a result the channel keeps its last temperature.
        celsius = senderCht(index).value_or(tcCelsius[index]);
    } else {
        tcFeed[index] = tcInput[index];
        celsius = thermocoupleCelsius(tcFeed[index], isEgt ? settings.egtProbe : settings.chtProbe);
    }

    tcCelsius[index] = saturate16(celsius);
    int32_t hysteresis = 10;
    if (settings.temperatureUnit == 1) {
        tc[index] = saturate16(toFahrenheit(tcCelsius[index]));
        hysteresis = 15;
    } else {
        tc[index] = tcCelsius[index];
    }

    if (tc[index] > tcMax[index]) tcMax[index] = tc[index];
    updateEgtChtAlarm();
    if (isEgt && leanActive == 1) leanAssistStep(index, hysteresis);
    if (leanDeltaMode == 1) leanDelta[index] = saturate16(tc[index] - leanPeak[index]);
}

void resetThermocoupleMinMax()
{
    for (int i = 0; i < CHANNELS; ++i) tcMax[i] = tc[i];
}

void startLeanAssist()
{
    leanDeltaMode = 0;
    leanActive = 1;
    leanNextOrder = 1;
    for (int i = 0; i < CHANNELS; ++i) {
        leanPeak[i] = tc[i];
        leanDelta[i] = 0;
        leanPeakOrder[i] = 0;
    }
}

void stopLeanAssist() { leanActive = 0; }

void startLeanDeltaMode()
{
    leanActive = 0;
    leanDeltaMode = 1;
    for (int i = 0; i < CHANNELS; ++i) {
        leanPeak[i] = tc[i];
        leanDelta[i] = 0;
    }
}

void stopLeanDeltaMode() { leanDeltaMode = 0; }

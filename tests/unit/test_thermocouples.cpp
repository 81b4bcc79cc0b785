// Thermocouple channels: reference tables against their CSV sources, EMF conversions, the cold
// junction, channel conversion by probe, the EGT/CHT alarm, NTC CHTs, lean assist and difference mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <map>
#include <set>
#include <string>

#include "device.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "engine/thermocouples.h"
#include "scenario/scenario.h"
#include "script_support.h"
#include "settings/settings.h"

namespace {

std::string sourcePath(const char* relative) { return std::string(CORVEX_SOURCE_DIR) + "/" + relative; }

// temperature -> EMF rows of one reference CSV.
std::map<int, int> readCsv(const std::string& path)
{
    std::map<int, int> rows;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        int t = 0, e = 0;
        if (std::sscanf(line.c_str(), "%d,%d", &t, &e) == 2) rows[t] = e;
    }
    return rows;
}

// Table fields by value: the packed table cannot bind references to its misaligned members.
int pointTemperature(const ThermocoupleTable& table, int i) { return table.start / 10 + i * table.step; }
int emfAt(const ThermocoupleTable& table, int i) { return table.emf[i]; }
int startOf(const ThermocoupleTable& table) { return table.start; }

// ---------------------------------------------------------------------------------------------
// Reference tables

struct TableCase {
    const char* name;
    const ThermocoupleTable* table;
    const char* csv;
    int first, last, count;
    // The temperatures of the instrument's telling rows, which keep their own values.
    std::set<int> telling;
};

const TableCase tableCases[] = {
    {"K", &typeKTable, "data/thermocouples/its90_K_10C.csv", -270, 1360, 164, {-270, 100, 500, 1000, 1360}},
    {"J", &typeJTable, "data/thermocouples/its90_J_10C.csv", -210, 1190, 141, {-210, 100, 500, 1000, 1190}},
    {"E", &typeETable, "data/thermocouples/its90_E_10C.csv", -270, 990, 127, {-270, 100, 500, 990}},
};

TEST(ThermocoupleTables, RangeCountAndStepAsTheInstrumentHasThem)
{
    for (const TableCase& c : tableCases) {
        EXPECT_EQ(c.table->count, c.count) << c.name;
        EXPECT_EQ(c.table->step, 10) << c.name;
        EXPECT_EQ(startOf(*c.table), c.first * 10) << c.name;
        EXPECT_EQ(pointTemperature(*c.table, c.table->count - 1), c.last) << c.name;
    }
}

TEST(ThermocoupleTables, ZeroAtZeroAndStrictlyRising)
{
    for (const TableCase& c : tableCases) {
        const ThermocoupleTable& t = *c.table;
        EXPECT_EQ(emfAt(t, (0 - c.first) / 10), 0) << c.name;
        for (int i = 1; i < t.count; ++i)
            EXPECT_LT(emfAt(t, i - 1), emfAt(t, i)) << c.name << " at " << pointTemperature(t, i) << " C";
    }
}

TEST(ThermocoupleTables, EveryPointButTheTellingRowsIsWithinFifteenMicrovoltsOfItsReference)
{
    for (const TableCase& c : tableCases) {
        const std::map<int, int> reference = readCsv(sourcePath(c.csv));
        ASSERT_FALSE(reference.empty()) << c.csv;
        int departures = 0;
        for (int i = 0; i < c.table->count; ++i) {
            const int celsius = pointTemperature(*c.table, i);
            if (c.telling.count(celsius)) continue;
            EXPECT_LE(std::abs(emfAt(*c.table, i) - reference.at(celsius)), 15) << c.name << " " << celsius;
            if (emfAt(*c.table, i) != reference.at(celsius)) ++departures;
        }
        EXPECT_LE(departures, 4) << c.name << ": the reference values stand wherever the readings allow";
    }
}

// ---------------------------------------------------------------------------------------------
// EMF conversions

TEST(ThermocoupleEmf, TablePointsAndLinesBetweenThem)
{
    struct Case {
        int celsius, type, emf;
    } cases[] = {
        {0, PROBE_K, 0},        {20, PROBE_K, 798},     {100, PROBE_K, 4095},
        {505, PROBE_K, 20855},  // halfway between 20640 and 21072, truncated
        {20, PROBE_J, 1019},    {100, PROBE_J, 5268},   {100, PROBE_E, 6317},  {-270, PROBE_K, -6458},
        {-210, PROBE_J, -8096}, {-205, PROBE_J, -7993},  // halfway to -7890
    };
    for (const Case& c : cases) EXPECT_EQ(tcMicrovolts(c.celsius, c.type), c.emf) << c.celsius << " type " << c.type;
}

TEST(ThermocoupleEmf, BeyondTheTableFollowsTheEndSegments)
{
    // K: last segment 1350..1360 (54138..54466), first -270..-260 (-6458..-6441); the slope 32.8
    // is held just under its value in single precision, so 40 degrees on lose one microvolt.
    EXPECT_EQ(tcMicrovolts(1400, PROBE_K), 54466 + 328 * 4 - 1);
    EXPECT_EQ(tcMicrovolts(-300, PROBE_K), -6458 - 17 * 3);
    // J below -210: along -210..-200 (-8096..-7890).
    EXPECT_EQ(tcMicrovolts(-260, PROBE_J), -8096 - 206 * 5);
    // Absurd temperatures stay finite and ordered.
    EXPECT_GT(tcMicrovolts(32767, PROBE_K), tcMicrovolts(1400, PROBE_K));
    EXPECT_LT(tcMicrovolts(-32768, PROBE_E), tcMicrovolts(-300, PROBE_E));
}

class ThermocoupleConversion : public testing::Test {
protected:
    void SetUp() override { cjcTemp = 0; }
    void TearDown() override { cjcTemp = 0; }
};

TEST_F(ThermocoupleConversion, InverseOfTablePointsAndBetween)
{
    struct Case {
        int emf, type, cjc, tenths;
    } cases[] = {
        {0, PROBE_K, 0, 0},          {20640, PROBE_K, 0, 5000},  {20855, PROBE_K, 0, 5049},
        {4095, PROBE_K, 0, 1000},    {27388, PROBE_J, 0, 5000},
        {-8096, PROBE_J, 0, -2099},  // the first point, on a slope of 20.6 held just over: -209.99
        {19842, PROBE_K, 20, 5000},  // the compensation adds the K EMF at 20 C (798) back
    };
    for (const Case& c : cases) {
        cjcTemp = static_cast<int16_t>(c.cjc);
        EXPECT_EQ(tcTenthsFromMicrovolts(c.emf, c.type), c.tenths) << c.emf << " type " << c.type;
    }
}

TEST_F(ThermocoupleConversion, EmfsBeyondTheTableAreExtrapolated)
{
    // Above the J table: last segment 1180..1190 (68406..68964), 55.8 uV per degree.
    EXPECT_EQ(tcTenthsFromMicrovolts(70000, PROBE_J), 12085);
    // Below it: first segment -210..-200 (-8096..-7890), 20.6 uV per degree.
    EXPECT_EQ(tcTenthsFromMicrovolts(-9000, PROBE_J), -2538);
    // Nonsense EMFs give finite, saturated temperatures rather than undefined conversions.
    EXPECT_GT(tcTenthsFromMicrovolts(INT32_MAX, PROBE_K), 0);
    EXPECT_LT(tcTenthsFromMicrovolts(INT32_MIN, PROBE_K), 0);
    cjcTemp = 32767;
    EXPECT_GT(tcTenthsFromMicrovolts(INT32_MAX, PROBE_E), 0);
}

// ---------------------------------------------------------------------------------------------
// Cold junction

TEST(ColdJunction, CountsToDegreesWithItsOwnFactor)
{
    struct Case {
        uint16_t raw;
        int16_t celsius;
    } cases[] = {
        {2240, 0},    // the start value
        {2402, 20},
        {0, -273},
        {4096, 226},  // 1220, not the OAT's 1221 (which would give 227)
        {65535, 7722},
    };
    for (const Case& c : cases) {
        rawCjc = c.raw;
        processColdJunction();
        EXPECT_EQ(cjcInput, c.raw);
        EXPECT_EQ(cjcTemp, c.celsius) << c.raw;
    }
    rawCjc = 0;
    cjcTemp = 0;
}

// ---------------------------------------------------------------------------------------------
// Channels

class ThermocoupleChannels : public testing::Test {
protected:
    void SetUp() override
    {
        loadDefaultSettings();
        settings.egtChannels = 4;
        settings.chtChannels = 2;
        settings.egtHighAlarmOn = 0;
        settings.chtHighAlarmOn = 0;
        alarmFlags = alarmAcked = 0;
        rawCjc = 2240;
        processColdJunction();
        for (int i = 0; i < 12; ++i) {
            tcInput[i] = 0;
            tc[i] = tcCelsius[i] = tcMax[i] = tcFeed[i] = 0;
            leanPeak[i] = leanDelta[i] = leanPeakOrder[i] = 0;
        }
        for (int i = 0; i < 4; ++i) rawAnalog[i] = 0;
        leanActive = leanDeltaMode = 0;
        leanNextOrder = 1;
    }
    void TearDown() override
    {
        loadDefaultSettings();
        for (int16_t& t : tcInput) t = 0;
        for (uint16_t& r : rawAnalog) r = 0;
        cjcTemp = 0;
        leanActive = leanDeltaMode = 0;
    }

    static void runChannels()
    {
        for (int i = 0; i < 12; ++i) processThermocouple(i);
    }

    // Channel `channel` reading `celsius` degrees: a probe type, cold junction and input that give
    // it. Single-precision truncation leaves some readings out on a given probe (a K probe never
    // shows 719, for one), so J and E are tried after K.
    static void setReading(int channel, int celsius)
    {
        uint8_t& probe = channel < settings.egtChannels ? settings.egtProbe : settings.chtProbe;
        for (uint8_t type : {PROBE_K, PROBE_J, PROBE_E})
            for (int cjc = 0; cjc <= 40; ++cjc) {
                cjcTemp = static_cast<int16_t>(cjc);
                const auto reading = [&](int input) {
                    return tcTenthsFromMicrovolts(tcMicrovolts(input, PROBE_K) - tcMicrovolts(cjc, PROBE_K), type) / 10;
                };
                int low = -200, high = 1200;  // the lowest input reading at least `celsius`
                while (low < high) {
                    const int mid = low + (high - low) / 2;
                    if (reading(mid) < celsius) low = mid + 1;
                    else high = mid;
                }
                if (reading(low) == celsius) {
                    probe = type;
                    tcInput[channel] = static_cast<int16_t>(low);
                    return;
                }
            }
        ADD_FAILURE() << "no input reads " << celsius;
    }
    static void setEgt0(int celsius) { setReading(0, celsius); }

    // Helpers of the documented examples.
    static int pointEmf(int type, int celsius)
    {
        const ThermocoupleTable& t = thermocoupleTable(type);
        return emfAt(t, (celsius - t.start / 10) / t.step);
    }
    static int coldJunction(uint16_t raw)
    {
        rawCjc = raw;
        processColdJunction();
        return cjcTemp;
    }
    static int compensatedTenths(int microvolts, int cjc, int type)
    {
        cjcTemp = static_cast<int16_t>(cjc);
        return tcTenthsFromMicrovolts(microvolts, type);
    }
    // EGT 1 on a probe of `type` with the hot junction at `input`.
    static int reading(uint8_t type, int cjc, int input)
    {
        settings.egtProbe = type;
        cjcTemp = static_cast<int16_t>(cjc);
        tcInput[0] = static_cast<int16_t>(input);
        processThermocouple(0);
        return tc[0];
    }
    // EGT 1 reading `celsius` with the EGT alarm at 800: the alarm bit (-1 if no input reads it).
    static int egtAlarmWithChannel0At(int celsius)
    {
        settings.egtHighAlarm = 800;
        settings.egtHighAlarmOn = 1;
        for (int16_t& t : tcInput) t = 20;
        setEgt0(celsius);
        runChannels();
        if (tc[0] != celsius) return -1;
        return (alarmFlags & ALARM_EGT_CHT) != 0;
    }
    static int unconfiguredChannel8At1200(bool wantReading)
    {
        settings.egtHighAlarmOn = settings.chtHighAlarmOn = 1;
        settings.egtHighAlarm = settings.chtHighAlarm = 800;
        for (int16_t& t : tcInput) t = 20;
        tcInput[8] = 1200;
        runChannels();
        return wantReading ? tc[8] : (alarmFlags & ALARM_EGT_CHT) != 0;
    }
    static int fahrenheitOf(int celsius)
    {
        settings.temperatureUnit = 1;
        setEgt0(celsius);
        processThermocouple(0);
        return tcCelsius[0] == celsius ? tc[0] : -1;
    }
    // In Fahrenheit, the lean assist started at `peak` C, then one reading `lower` C: the order number
    // handed out.
    static int fahrenheitLeanOrderAfterFall(int peak, int lower)
    {
        settings.temperatureUnit = 1;
        settings.egtChannels = 1;
        setEgt0(peak);
        processThermocouple(0);
        startLeanAssist();
        setEgt0(lower);
        processThermocouple(0);
        return tcCelsius[0] == lower ? leanPeakOrder[0] : -1;
    }
    struct LeanState {
        int peak, delta, order, nextOrder;
    };
    // The lean assist started at the first reading of EGT 1, then fed the others.
    static LeanState lean(std::initializer_list<int> readings)
    {
        settings.egtChannels = 2;
        bool started = false;
        for (int r : readings) {
            if (egt0(r) != r) return {-1, -1, -1, -1};
            if (!started) startLeanAssist();
            started = true;
        }
        return {leanPeak[0], leanDelta[0], leanPeakOrder[0], leanNextOrder};
    }
    // Two NTC CHTs after four EGTs; the inputs' functions say otherwise.
    static int ntcCht(int n)
    {
        settings.chtProbe = PROBE_NTC;
        settings.aux13Function = 0;
        settings.aux24Function = 3;
        settings.temperatureSender[2].sender = settings.temperatureSender[3].sender = 2;  // LM335
        settings.temperatureSender[2].lm335Offset = settings.temperatureSender[3].lm335Offset = 0;
        rawAnalog[2] = 2500;  // 2500 x 1221 / 10000 - 273 = 32
        rawAnalog[3] = 3000;  // 93
        runChannels();
        return tc[settings.egtChannels + n];
    }

    static int16_t egt0(int celsius)
    {
        setEgt0(celsius);
        processThermocouple(0);
        return tc[0];
    }
};

TEST_F(ThermocoupleChannels, KProbeFollowsItsInputWithinOneUnitTowardZero)
{
    // Single-precision lines with truncation: a reading is its input or one unit nearer zero.
    for (int cjc : {0, 20, 25}) {
        cjcTemp = static_cast<int16_t>(cjc);
        for (int input : {0, 100, 500, 800, 1200, -200}) {
            tcInput[0] = static_cast<int16_t>(input);
            processThermocouple(0);
            const int towardZero = input > 0 ? input - 1 : input < 0 ? input + 1 : input;
            EXPECT_TRUE(tc[0] == input || tc[0] == towardZero) << "cjc " << cjc << " input " << input << " tc " << tc[0];
            EXPECT_EQ(tcFeed[0], input);
            EXPECT_EQ(tcCelsius[0], tc[0]);
        }
    }
}

// The instrument's documented readings, each a row: what it reads, and the value it must give. Every
// row starts from the fixture's state (cold junction 0, four EGTs and two CHTs, K probes, alarms off).
TEST_F(ThermocoupleChannels, DocumentedExamplesAndEdgeCases)
{
    struct Row {
        const char* what;
        int (*actual)();
        int want;
    } rows[] = {
        // The telling rows of the tables, and type indexes other than J and E.
        {"K EMF at -270 C", [] { return pointEmf(PROBE_K, -270); }, -6458},
        {"K EMF at 100 C", [] { return pointEmf(PROBE_K, 100); }, 4095},
        {"K EMF at 500 C", [] { return pointEmf(PROBE_K, 500); }, 20640},
        {"K EMF at 1000 C", [] { return pointEmf(PROBE_K, 1000); }, 41269},
        {"K EMF at 1360 C", [] { return pointEmf(PROBE_K, 1360); }, 54466},
        {"J EMF at -210 C", [] { return pointEmf(PROBE_J, -210); }, -8096},
        {"J EMF at 100 C", [] { return pointEmf(PROBE_J, 100); }, 5268},
        {"J EMF at 500 C", [] { return pointEmf(PROBE_J, 500); }, 27388},
        {"J EMF at 1000 C", [] { return pointEmf(PROBE_J, 1000); }, 57942},
        {"J EMF at 1190 C", [] { return pointEmf(PROBE_J, 1190); }, 68964},
        {"E EMF at -270 C", [] { return pointEmf(PROBE_E, -270); }, -9835},
        {"E EMF at 100 C", [] { return pointEmf(PROBE_E, 100); }, 6317},
        {"E EMF at 500 C", [] { return pointEmf(PROBE_E, 500); }, 36999},
        {"E EMF at 990 C", [] { return pointEmf(PROBE_E, 990); }, 75608},
        {"type 3 uses the K table", [] { return int(&thermocoupleTable(3) == &typeKTable); }, 1},
        {"type 255 uses the K table", [] { return int(&thermocoupleTable(255) == &typeKTable); }, 1},
        // Cold junction.
        {"cold junction at its start value 2240", [] { return coldJunction(2240); }, 0},
        {"cold junction 4096 with the factor 1220", [] { return coldJunction(4096); }, 226},
        // The worked example: 500 C against a cold junction at 20 C.
        {"tcMicrovolts(500, K)", [] { return tcMicrovolts(500, PROBE_K); }, 20639},
        {"tcMicrovolts(20, K)", [] { return tcMicrovolts(20, PROBE_K); }, 798},
        {"E of 500 C against 20 C", [] { return tcMicrovolts(500, PROBE_K) - tcMicrovolts(20, PROBE_K); }, 19841},
        {"19841 uV against 20 C in tenths", [] { return compensatedTenths(19841, 20, PROBE_K); }, 4999},
        {"K, cold junction 20: 500", [] { return reading(PROBE_K, 20, 500); }, 499},
        {"J, cold junction 20: 500", [] { return reading(PROBE_J, 20, 500); }, 382},
        {"J, cold junction 0: 500", [] { return reading(PROBE_J, 0, 500); }, 378},
        // Edge cases of the K probe.
        {"K, cold junction 0: 0", [] { return reading(PROBE_K, 0, 0); }, 0},
        {"K, cold junction 0: 800", [] { return reading(PROBE_K, 0, 800); }, 800},
        {"K, cold junction 0: 500", [] { return reading(PROBE_K, 0, 500); }, 499},
        {"K, cold junction 0: 1200", [] { return reading(PROBE_K, 0, 1200); }, 1199},
        {"K, cold junction 0: -200", [] { return reading(PROBE_K, 0, -200); }, -199},
        {"K, cold junction 25: 100", [] { return reading(PROBE_K, 25, 100); }, 100},
        // Alarm limit reached at equality; a failed probe below -100.
        {"EGT alarm 800, channel at 800", [] { return egtAlarmWithChannel0At(800); }, 1},
        {"EGT alarm 800, channel at 799", [] { return egtAlarmWithChannel0At(799); }, 0},
        {"EGT reading below -100 alarms", [] { return egtAlarmWithChannel0At(-101); }, 1},
        // Channels beyond the configured EGTs and CHTs: converted, never alarming.
        {"unconfigured channel is converted", [] { return unconfiguredChannel8At1200(true); }, 1199},
        {"unconfigured channel never alarms", [] { return unconfiguredChannel8At1200(false); }, 0},
        // Fahrenheit.
        {"tcCelsius 500 in Fahrenheit", [] { return fahrenheitOf(500); }, 932},
        {"lean hysteresis 15 F: 955 F after 968 F", [] { return fahrenheitLeanOrderAfterFall(520, 513); }, 0},
        {"lean hysteresis 15 F: 953 F after 968 F", [] { return fahrenheitLeanOrderAfterFall(520, 512); }, 1},
        // Lean assist: 700, 720, 730, 725, 719, then above the peak.
        {"lean: reference follows 720", [] { return lean({700, 720}).peak; }, 720},
        {"lean: reference follows 730", [] { return lean({700, 720, 730}).peak; }, 730},
        {"lean: 725 keeps the reference at 730", [] { return lean({700, 720, 730, 725}).peak; }, 730},
        {"lean: 725 gives the difference -5", [] { return lean({700, 720, 730, 725}).delta; }, -5},
        {"lean: 725 has no order yet", [] { return lean({700, 720, 730, 725}).order; }, 0},
        {"lean: 719 receives order 1", [] { return lean({700, 720, 730, 725, 719}).order; }, 1},
        {"lean: next order after 719", [] { return lean({700, 720, 730, 725, 719}).nextOrder; }, 2},
        {"lean: 740 afterwards shows +10", [] { return lean({700, 720, 730, 725, 719, 740}).delta; }, 10},
        {"lean: 740 leaves the reference", [] { return lean({700, 720, 730, 725, 719, 740}).peak; }, 730},
        // Probe setting 3: CHT 1 on analog input 3, CHT 2 on analog input 4, whatever their functions.
        {"NTC: CHT 1 reads analog input 3", [] { return ntcCht(0); }, 32},
        {"NTC: CHT 2 reads analog input 4", [] { return ntcCht(1); }, 93},
        // Beyond the tables: extrapolated, finite, still ordered.
        {"below -270 C reads lower than -270",
         [] { return int(reading(PROBE_K, 0, -300) < reading(PROBE_K, 0, -270)); }, 1},
        {"above 1360 C reads higher than 1360",
         [] { return int(reading(PROBE_K, 0, 1400) > reading(PROBE_K, 0, 1360)); }, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TearDown();
        SetUp();
        EXPECT_EQ(row.actual(), row.want);
    }
}

TEST_F(ThermocoupleChannels, JAndEProbesReadWhatAKProbeWouldGiveOnTheirScale)
{
    struct Case {
        uint8_t egtProbe;
        int cjc, input, reading;
    } cases[] = {
        {PROBE_J, 0, 0, 0},
        {PROBE_J, 0, -200, -132},
        {PROBE_E, 0, 500, 294},
        {PROBE_E, 0, 0, 0},
        {PROBE_E, 0, -200, -114},
    };
    for (const Case& c : cases) {
        settings.egtProbe = c.egtProbe;
        cjcTemp = static_cast<int16_t>(c.cjc);
        tcInput[0] = static_cast<int16_t>(c.input);
        processThermocouple(0);
        EXPECT_EQ(tc[0], c.reading) << "probe " << int(c.egtProbe) << " cjc " << c.cjc << " input " << c.input;
    }
}

TEST_F(ThermocoupleChannels, ProbeTypeByChannelGroup)
{
    settings.egtProbe = PROBE_J;
    settings.chtProbe = PROBE_E;
    for (int16_t& t : tcInput) t = 500;
    runChannels();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(tc[i], 378) << i;   // EGTs on J
    for (int i = 4; i < 12; ++i) EXPECT_EQ(tc[i], 294) << i;  // CHTs, and the unused channels, on E
}

TEST_F(ThermocoupleChannels, FahrenheitAfterConversion)
{
    settings.temperatureUnit = 1;
    setEgt0(500);
    processThermocouple(0);
    EXPECT_EQ(tcCelsius[0], 500);
    EXPECT_EQ(tc[0], 932);
    setEgt0(-40);
    processThermocouple(0);
    EXPECT_EQ(tcCelsius[0], -40);
    EXPECT_EQ(tc[0], -40);
}

TEST_F(ThermocoupleChannels, AbsurdInputsSaturateInsteadOfWrapping)
{
    settings.temperatureUnit = 1;
    tcInput[0] = 32767;
    tcInput[1] = -32768;
    settings.egtProbe = PROBE_J;
    processThermocouple(0);
    processThermocouple(1);
    EXPECT_GT(tc[0], 1200);
    EXPECT_LT(tc[1], -100);
    settings.egtProbe = PROBE_K;
    processThermocouple(0);
    processThermocouple(1);
    EXPECT_EQ(tc[0], INT16_MAX);  // 32766 C is beyond any Fahrenheit value a 16-bit reading holds
    EXPECT_EQ(tc[1], INT16_MIN);
}

TEST_F(ThermocoupleChannels, PeakKeepsTheHighestReading)
{
    const int inputs[] = {300, 650, 400, -200};
    int highest = -1000;
    for (int input : inputs) {
        tcInput[2] = static_cast<int16_t>(input);
        processThermocouple(2);
        highest = std::max<int>(highest, tc[2]);
    }
    EXPECT_GE(highest, 649);
    EXPECT_EQ(tcMax[2], highest);
    resetThermocoupleMinMax();
    EXPECT_EQ(tcMax[2], tc[2]);
}

TEST_F(ThermocoupleChannels, OutOfRangeIndexIsIgnored)
{
    processThermocouple(-1);
    processThermocouple(12);
    SUCCEED();
}

// ---------------------------------------------------------------------------------------------
// EGT/CHT alarm

TEST_F(ThermocoupleChannels, AlarmAtTheLimitAndBelowMinusHundred)
{
    settings.egtHighAlarm = 800;
    settings.chtHighAlarm = 130;
    struct Case {
        int channel, reading;
        uint8_t egtOn, chtOn;
        bool due;
    } cases[] = {
        {0, 800, 1, 1, true},   // equality counts
        {0, 799, 1, 1, false},
        {0, 800, 0, 1, false},  // EGT alarm off
        {3, 801, 1, 0, true},   // last EGT
        {4, 130, 1, 1, true},   // first CHT at its limit
        {4, 130, 1, 0, false},
        {5, 129, 1, 1, false},
        {5, -101, 1, 1, true},  // failed probe
        {1, -101, 1, 1, true},
        {1, -100, 1, 1, false},
        {6, 1199, 1, 1, false},  // not a configured channel
        {6, -199, 1, 1, false},
    };
    for (const Case& c : cases) {
        for (int16_t& t : tcInput) t = 20;
        settings.egtHighAlarmOn = c.egtOn;
        settings.chtHighAlarmOn = c.chtOn;
        setReading(c.channel, c.reading);
        runChannels();
        ASSERT_EQ(tc[c.channel], c.reading);
        EXPECT_EQ((alarmFlags & ALARM_EGT_CHT) != 0, c.due) << "channel " << c.channel << " at " << c.reading;
        EXPECT_EQ(alarmAcked, 0u);
    }
}

TEST_F(ThermocoupleChannels, AlarmIsJudgedInTheDisplayUnit)
{
    settings.temperatureUnit = 1;
    settings.egtHighAlarmOn = 1;
    settings.egtHighAlarm = 1472;  // 800 C
    tcInput[0] = 800;
    runChannels();
    EXPECT_NE(alarmFlags & ALARM_EGT_CHT, 0u);
    setReading(0, -74);
    runChannels();
    EXPECT_EQ(tc[0], -101);
    EXPECT_NE(alarmFlags & ALARM_EGT_CHT, 0u);
    setReading(0, -73);
    runChannels();
    EXPECT_EQ(tc[0], -99);
    EXPECT_EQ(alarmFlags & ALARM_EGT_CHT, 0u);
}

TEST_F(ThermocoupleChannels, AlarmIsRescannedAfterEveryChannel)
{
    settings.egtHighAlarmOn = 1;
    settings.egtHighAlarm = 800;
    tcInput[0] = 900;
    runChannels();
    ASSERT_NE(alarmFlags & ALARM_EGT_CHT, 0u);
    tcInput[0] = 20;
    processThermocouple(0);  // cleared as soon as the hot channel cools
    EXPECT_EQ(alarmFlags & ALARM_EGT_CHT, 0u);
    tcInput[3] = 850;
    processThermocouple(0);  // channel 3's reading is still last pass's
    EXPECT_EQ(alarmFlags & ALARM_EGT_CHT, 0u);
    processThermocouple(3);
    EXPECT_NE(alarmFlags & ALARM_EGT_CHT, 0u);
}

TEST_F(ThermocoupleChannels, ChannelCountsFromNoneToAll)
{
    settings.egtHighAlarmOn = settings.chtHighAlarmOn = 1;
    settings.egtHighAlarm = 800;
    settings.chtHighAlarm = 130;
    struct Case {
        uint8_t egt, cht;
        int hotChannel, input;
        bool due;
    } cases[] = {
        {0, 0, 0, 1200, false},  // nothing configured: converted, never alarms
        {0, 0, 11, -200, false},
        {12, 0, 11, 800, true},  // all EGTs
        {12, 0, 11, 799, false},
        {0, 12, 0, 131, true},   // all CHTs (131 reads 130)
        {0, 12, 11, 131, true},
        {12, 12, 11, 799, false},  // counts beyond 12 in total (only by script) stay inside the channels
        {200, 200, 11, 900, true},
        {5, 255, 11, 131, true},
    };
    for (const Case& c : cases) {
        settings.egtChannels = c.egt;
        settings.chtChannels = c.cht;
        for (int16_t& t : tcInput) t = 20;
        tcInput[c.hotChannel] = static_cast<int16_t>(c.input);
        runChannels();
        EXPECT_EQ((alarmFlags & ALARM_EGT_CHT) != 0, c.due)
            << int(c.egt) << "+" << int(c.cht) << " channel " << c.hotChannel << " at " << c.input;
        EXPECT_EQ(tcFeed[c.hotChannel], c.input);
    }
}

// ---------------------------------------------------------------------------------------------
// NTC CHTs on analog inputs 3 and 4

TEST_F(ThermocoupleChannels, NtcChtsReadAnalogInputsThreeAndFour)
{
    settings.chtProbe = PROBE_NTC;
    settings.egtChannels = 4;
    settings.chtChannels = 2;
    settings.aux13Function = 0;  // whatever the inputs' functions are
    settings.aux24Function = 3;
    settings.temperatureSender[2].sender = 0;  // DVK NTC: (20, 1740) (30, 1320)
    settings.temperatureSender[3].sender = 2;  // LM335
    settings.temperatureSender[3].lm335Offset = 5;
    rawAnalog[2] = 1740;
    rawAnalog[3] = 3000;  // 3000 x 1221 / 10000 - 273 = 93, plus 5
    tcInput[4] = tcInput[5] = 700;
    tcInput[6] = 300;
    runChannels();
    EXPECT_EQ(tc[4], 20);
    EXPECT_EQ(tc[5], 98);
    EXPECT_EQ(tc[6], 300);  // beyond the CHTs: still a thermocouple (K for probe setting 3)

    rawAnalog[2] = 1900;  // extrapolated beyond the curve's first point
    settings.temperatureUnit = 1;
    runChannels();
    EXPECT_EQ(tcCelsius[4], 16);
    EXPECT_EQ(tc[4], 60);
    EXPECT_EQ(tc[5], 208);
}

TEST_F(ThermocoupleChannels, NtcChtsUseTheSenderValueBeforeItsLimits)
{
    settings.chtProbe = PROBE_NTC;
    settings.chtChannels = 1;
    settings.chtHighAlarmOn = 1;
    settings.chtHighAlarm = 130;
    settings.temperatureSender[2].sender = 2;  // LM335
    settings.temperatureSender[2].lm335Offset = 0;
    rawAnalog[2] = 0;  // -273 C: the sender would show -99, the CHT keeps -273 and alarms
    runChannels();
    EXPECT_EQ(tc[4], -273);
    EXPECT_NE(alarmFlags & ALARM_EGT_CHT, 0u);
    rawAnalog[2] = 3400;  // 3400 x 1221 / 10000 - 273 = 142
    runChannels();
    EXPECT_EQ(tc[4], 142);
    EXPECT_NE(alarmFlags & ALARM_EGT_CHT, 0u);
    rawAnalog[2] = 3300;  // 129
    runChannels();
    EXPECT_EQ(alarmFlags & ALARM_EGT_CHT, 0u);
}

TEST_F(ThermocoupleChannels, NtcChtWithoutACurveResultKeepsItsReading)
{
    settings.chtProbe = PROBE_NTC;
    settings.temperatureUnit = 1;
    TemperatureSenderConfig& sender = settings.temperatureSender[2];
    sender.sender = 3;  // USER
    sender.curve.pointCount = 2;
    sender.curve.points[0] = {10, 100};
    sender.curve.points[1] = {30, 300};
    rawAnalog[2] = 200;
    runChannels();
    EXPECT_EQ(tcCelsius[4], 20);
    EXPECT_EQ(tc[4], 68);
    sender.curve.pointCount = 1;  // no line to draw: no result
    rawAnalog[2] = 250;
    for (int pass = 0; pass < 3; ++pass) {
        runChannels();
        EXPECT_EQ(tcCelsius[4], 20);
        EXPECT_EQ(tc[4], 68);  // not converted to Fahrenheit a second time
    }
}

TEST_F(ThermocoupleChannels, NtcWithOneChtAndWithCountsBeyondTwo)
{
    settings.chtProbe = PROBE_NTC;
    settings.egtChannels = 11;
    settings.chtChannels = 1;
    settings.temperatureSender[2].sender = 2;
    settings.temperatureSender[3].sender = 2;
    settings.temperatureSender[2].lm335Offset = settings.temperatureSender[3].lm335Offset = 0;
    rawAnalog[2] = 2500;  // 32
    rawAnalog[3] = 3000;  // 93
    runChannels();
    EXPECT_EQ(tc[11], 32);
    settings.egtChannels = 2;
    settings.chtChannels = 4;  // only by script: the later CHTs all read input 4
    runChannels();
    EXPECT_EQ(tc[2], 32);
    for (int i = 3; i < 6; ++i) EXPECT_EQ(tc[i], 93) << i;
}

// ---------------------------------------------------------------------------------------------
// Lean assist and difference mode

TEST_F(ThermocoupleChannels, LeanOrderNumbersFollowWhichEgtFallsFirst)
{
    settings.egtChannels = 3;
    for (int16_t& t : tcInput) t = 700;
    runChannels();
    startLeanAssist();
    tcInput[0] = tcInput[1] = tcInput[2] = tcInput[3] = 760;
    runChannels();
    tcInput[2] = 740;  // EGT 3 falls first
    runChannels();
    tcInput[0] = 745;
    runChannels();
    tcInput[1] = 700;
    tcInput[3] = 600;  // a CHT: no lean assist
    runChannels();
    EXPECT_EQ(leanPeakOrder[2], 1);
    EXPECT_EQ(leanPeakOrder[0], 2);
    EXPECT_EQ(leanPeakOrder[1], 3);
    EXPECT_EQ(leanPeakOrder[3], 0);
    EXPECT_EQ(leanDelta[3], 0);
    EXPECT_EQ(leanNextOrder, 4);
}

TEST_F(ThermocoupleChannels, LeanHysteresisIsTenInCelsius)
{
    settings.egtChannels = 1;
    struct Case {
        uint8_t unit;
        int peakCelsius, lowerCelsius, lowerReading, order;
    } cases[] = {
        {0, 730, 721, 721, 0},  // 9 C below
        {0, 730, 720, 720, 1},  // 10 C below
    };
    for (const Case& c : cases) {
        settings.temperatureUnit = c.unit;
        setEgt0(c.peakCelsius);
        processThermocouple(0);
        startLeanAssist();
        setEgt0(c.lowerCelsius);
        processThermocouple(0);
        EXPECT_EQ(tc[0], c.lowerReading);
        EXPECT_EQ(leanPeakOrder[0], c.order) << "unit " << int(c.unit) << " reading " << c.lowerReading;
    }
}

TEST_F(ThermocoupleChannels, LeanStopsAndStartsAfresh)
{
    settings.egtChannels = 1;
    egt0(700);
    startLeanAssist();
    egt0(680);
    EXPECT_EQ(leanPeakOrder[0], 1);
    stopLeanAssist();
    EXPECT_EQ(leanActive, 0);
    egt0(650);
    EXPECT_EQ(leanDelta[0], -20);  // frozen while stopped
    startLeanAssist();
    EXPECT_EQ(leanPeak[0], 650);
    EXPECT_EQ(leanPeakOrder[0], 0);
    EXPECT_EQ(leanNextOrder, 1);
    EXPECT_EQ(leanDelta[0], 0);
}

TEST_F(ThermocoupleChannels, DifferenceModeCoversEveryChannelAndEndsTheLeanAssist)
{
    settings.egtChannels = 2;
    for (int16_t& t : tcInput) t = 400;
    runChannels();
    startLeanAssist();
    startLeanDeltaMode();
    EXPECT_EQ(leanActive, 0);
    EXPECT_EQ(leanDeltaMode, 1);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(leanPeak[i], tc[i]);
        tcInput[i] = static_cast<int16_t>(400 + 10 * i - 30);
    }
    const int16_t reference = leanPeak[11];
    runChannels();
    for (int i = 0; i < 12; ++i) EXPECT_EQ(leanDelta[i], tc[i] - leanPeak[i]) << i;
    EXPECT_EQ(leanPeak[11], reference);  // the references stay where the mode started them
    EXPECT_GT(leanDelta[11], 70);
    startLeanAssist();
    EXPECT_EQ(leanDeltaMode, 0);
    EXPECT_EQ(leanActive, 1);
    stopLeanAssist();
    startLeanDeltaMode();
    stopLeanDeltaMode();
    EXPECT_EQ(leanDeltaMode, 0);
    const int16_t before = leanDelta[5];
    tcInput[5] = 900;
    runChannels();
    EXPECT_EQ(leanDelta[5], before);
}

TEST_F(ThermocoupleChannels, DifferenceSaturatesAtTheSixteenBitLimits)
{
    tcInput[0] = -200;
    runChannels();
    startLeanDeltaMode();
    leanPeak[0] = -32000;
    tcInput[0] = 1200;
    settings.temperatureUnit = 1;
    runChannels();
    EXPECT_EQ(leanDelta[0], INT16_MAX);
}

// ---------------------------------------------------------------------------------------------
// Through the runner

TEST(ThermocoupleRunner, ChannelValuesPrintByName)
{
    resetDevice();
    const ScriptRun r = runScript(
        "input CJC: 2402\ninput TC1 800\ninput TC5 100\npower on\nkey 1\npass 1\nkey 1\npass 1\n"
        "print cjcInput cjcTemp tcCelsius tcMax leanPeak leanDelta leanPeakOrder leanNextOrder leanActive "
        "leanDeltaMode tcFeed tc\n");
    ASSERT_TRUE(r.ok) << r.error;
    const std::string& text = r.out;
    EXPECT_NE(text.find("cjcInput=2402\n"), std::string::npos) << text;
    EXPECT_NE(text.find("cjcTemp=20\n"), std::string::npos) << text;
    EXPECT_NE(text.find("tcFeed[0]=800\n"), std::string::npos) << text;
    EXPECT_NE(text.find("tc[0]=800\n"), std::string::npos) << text;
    EXPECT_NE(text.find("tc[4]=100\n"), std::string::npos) << text;
    EXPECT_NE(text.find("leanPeakOrder[11]="), std::string::npos) << text;
    resetDevice();
}

}  // namespace

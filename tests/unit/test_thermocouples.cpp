// Thermocouple channels: reference tables against their CSV sources, EMF conversions, the cold
// junction, channel conversion by probe, the EGT/CHT alarm, NTC CHTs, lean assist and difference mode.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "device.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "engine/thermocouples.h"
#include "runner/scenario.h"
#include "script_support.h"
#include "settings/settings.h"

namespace {

std::string sourcePath(const char* relative) { return std::string(CORVEX_SOURCE_DIR) + "/" + relative; }

std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

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
    // The instrument's own values where they differ from the reference: temperature, EMF.
    std::map<int, int> ownValues;
};

const TableCase tableCases[] = {
    {"K", &typeKTable, "data/thermocouples/its90_K_10C.csv", -270, 1360, 164,
     {{100, 4095}, {500, 20640}, {1000, 41269}, {1360, 54466}}},
    {"J", &typeJTable, "data/thermocouples/its90_J_10C.csv", -210, 1190, 141,
     {{-210, -8096}, {100, 5268}, {500, 27388}, {1000, 57942}, {1190, 68964}}},
    {"E", &typeETable, "data/thermocouples/its90_E_10C.csv", -270, 990, 127,
     {{100, 6317}, {500, 36999}, {990, 75608}}},
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

TEST(ThermocoupleTables, TellingRows)
{
    struct Row {
        const ThermocoupleTable* table;
        int celsius, emf;
    } rows[] = {
        {&typeKTable, -270, -6458}, {&typeKTable, 100, 4095},  {&typeKTable, 500, 20640},
        {&typeKTable, 1000, 41269}, {&typeKTable, 1360, 54466}, {&typeJTable, -210, -8096},
        {&typeJTable, 100, 5268},   {&typeJTable, 500, 27388},  {&typeJTable, 1000, 57942},
        {&typeJTable, 1190, 68964}, {&typeETable, -270, -9835}, {&typeETable, 100, 6317},
        {&typeETable, 500, 36999},  {&typeETable, 990, 75608},
    };
    for (const Row& r : rows) {
        const int i = (r.celsius - r.table->start / 10) / r.table->step;
        EXPECT_EQ(emfAt(*r.table, i), r.emf) << r.celsius;
    }
}

TEST(ThermocoupleTables, EveryOtherPointIsTheReferenceValueOfItsCsv)
{
    for (const TableCase& c : tableCases) {
        const std::map<int, int> reference = readCsv(sourcePath(c.csv));
        ASSERT_FALSE(reference.empty()) << c.csv;
        for (int i = 0; i < c.table->count; ++i) {
            const int celsius = pointTemperature(*c.table, i);
            const auto own = c.ownValues.find(celsius);
            if (own != c.ownValues.end()) {
                EXPECT_EQ(emfAt(*c.table, i), own->second) << c.name << " " << celsius;
                EXPECT_LE(std::abs(emfAt(*c.table, i) - reference.at(celsius)), 16) << c.name << " " << celsius;
            } else {
                EXPECT_EQ(emfAt(*c.table, i), reference.at(celsius)) << c.name << " " << celsius;
            }
        }
    }
}

TEST(ThermocoupleTables, GeneratorReproducesTheCommittedTables)
{
    if (std::system("cmake --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "cmake is not on the PATH";
    const std::string out = std::string(CORVEX_BINARY_DIR) + "/thermocouple_tables_regenerated.inc";
    const std::string command =
        "cmake -DOUT=\"" + out + "\" -P \"" + sourcePath("data/thermocouples/make_tables.cmake") + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(readWhole(out), readWhole(sourcePath("data/thermocouples/thermocouple_tables.inc")));
}

TEST(ThermocoupleTables, UnknownProbeTypesUseK)
{
    EXPECT_EQ(&thermocoupleTable(PROBE_K), &typeKTable);
    EXPECT_EQ(&thermocoupleTable(PROBE_J), &typeJTable);
    EXPECT_EQ(&thermocoupleTable(PROBE_E), &typeETable);
    for (int type : {-1, 3, 4, 255}) EXPECT_EQ(&thermocoupleTable(type), &typeKTable) << type;
}

// ---------------------------------------------------------------------------------------------
// EMF conversions

TEST(ThermocoupleEmf, TablePointsAndLinesBetweenThem)
{
    struct Case {
        int celsius, type, emf;
    } cases[] = {
        {0, PROBE_K, 0},        {20, PROBE_K, 798},     {100, PROBE_K, 4095},  {500, PROBE_K, 20640},
        {505, PROBE_K, 20855},  // halfway between 20640 and 21071, truncated
        {20, PROBE_J, 1019},    {100, PROBE_J, 5268},   {100, PROBE_E, 6317},  {-270, PROBE_K, -6458},
        {-210, PROBE_J, -8096}, {-205, PROBE_J, -7993},  // halfway to -7890
    };
    for (const Case& c : cases) EXPECT_EQ(tcMicrovolts(c.celsius, c.type), c.emf) << c.celsius << " type " << c.type;
}

TEST(ThermocoupleEmf, BeyondTheTableFollowsTheEndSegments)
{
    // K: last segment 1350..1360 (54138..54466), first -270..-260 (-6458..-6441).
    EXPECT_EQ(tcMicrovolts(1400, PROBE_K), 54466 + 328 * 4);
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
        {4095, PROBE_K, 0, 1000},    {27388, PROBE_J, 0, 5000},  {-8096, PROBE_J, 0, -2100},
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

// At table points the line through the reference values is exact in single precision, so these
// inputs read back unchanged; the instrument's own table (unpublished between its telling rows)
// rounds 500, 1200 and -200 one unit toward zero instead.
TEST_F(ThermocoupleChannels, KProbeExamples)
{
    struct Case {
        int cjc, input, reading;
    } cases[] = {
        {0, 0, 0}, {0, 800, 800}, {25, 100, 100}, {20, 500, 500}, {0, 1200, 1200}, {0, -200, -200},
    };
    for (const Case& c : cases) {
        cjcTemp = static_cast<int16_t>(c.cjc);
        tcInput[1] = static_cast<int16_t>(c.input);
        processThermocouple(1);
        EXPECT_EQ(tc[1], c.reading) << "cjc " << c.cjc << " input " << c.input;
    }
}

TEST_F(ThermocoupleChannels, JAndEProbesReadWhatAKProbeWouldGiveOnTheirScale)
{
    struct Case {
        uint8_t egtProbe;
        int cjc, input, reading;
    } cases[] = {
        {PROBE_J, 20, 500, 382},  // compensation with the J value at 20 C
        {PROBE_J, 0, 500, 378},
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
    tcInput[0] = 500;
    processThermocouple(0);
    EXPECT_EQ(tcCelsius[0], 500);
    EXPECT_EQ(tc[0], 932);
    tcInput[0] = -40;
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
    for (int input : inputs) {
        tcInput[2] = static_cast<int16_t>(input);
        processThermocouple(2);
    }
    EXPECT_EQ(tcMax[2], 650);
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
        {6, 1200, 1, 1, false},  // not a configured channel
        {6, -200, 1, 1, false},
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
        {0, 12, 0, 130, true},   // all CHTs
        {0, 12, 11, 130, true},
        {12, 12, 11, 799, false},  // counts beyond 12 in total (only by script) stay inside the channels
        {200, 200, 11, 900, true},
        {5, 255, 11, 130, true},
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

TEST_F(ThermocoupleChannels, LeanSequenceFindsThePeakAndOrdersIt)
{
    settings.egtChannels = 2;
    egt0(700);
    startLeanAssist();
    EXPECT_EQ(leanActive, 1);
    EXPECT_EQ(leanPeak[0], 700);
    struct Step {
        int reading, peak, delta, order;
    } steps[] = {
        {720, 720, 0, 0}, {730, 730, 0, 0},  {725, 730, -5, 0},
        {721, 730, -9, 0}, {719, 730, -11, 1}, {735, 730, 5, 1},  // past its peak: the reference stays
        {700, 730, -30, 1},
    };
    for (const Step& s : steps) {
        ASSERT_EQ(egt0(s.reading), s.reading);
        EXPECT_EQ(leanPeak[0], s.peak) << s.reading;
        EXPECT_EQ(leanDelta[0], s.delta) << s.reading;
        EXPECT_EQ(leanPeakOrder[0], s.order) << s.reading;
    }
    EXPECT_EQ(leanNextOrder, 2);
}

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

TEST_F(ThermocoupleChannels, LeanHysteresisIsFifteenInFahrenheit)
{
    settings.egtChannels = 1;
    struct Case {
        uint8_t unit;
        int peakCelsius, lowerCelsius, lowerReading, order;
    } cases[] = {
        {0, 730, 721, 721, 0},  // 9 C below
        {0, 730, 720, 720, 1},  // 10 C below
        {1, 520, 513, 955, 0},  // 968 F peak, 13 F below
        {1, 520, 512, 953, 1},  // 15 F below
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

// Thermocouple table generator: the ITS-90 reference CSVs in data/thermocouples to the instrument's
// K, J and E tables (thermocouple_tables.inc), with the points between the telling rows chosen so
// that the instrument's documented readings hold.
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/thermocouple_lines.h"
#include "storage/storage.h"

namespace {

// The command that regenerates the committed file, named in its first line.
const char* const kCommand = "corvex-tcgen data/thermocouples data/thermocouples/thermocouple_tables.inc";

constexpr int kStep = 10;
// How far a point may depart from the published reference value, in microvolts.
constexpr int kBand = 15;

enum Type { K, J, E };

struct Table {
    const char* cName;
    const char* csv;
    int first;  // degrees C
    int count;
    // The instrument's own values at its telling rows (temperature, EMF); fixed, never searched.
    std::map<int, int> telling;
    std::vector<int> reference;  // the CSV's value at each point
    std::vector<int> emf;        // the table being built
};

Table tables[3] = {
    {"typeKTable", "its90_K_10C.csv", -270, 164, {{-270, -6458}, {100, 4095}, {500, 20640}, {1000, 41269}, {1360, 54466}}, {}, {}},
    {"typeJTable", "its90_J_10C.csv", -210, 141, {{-210, -8096}, {100, 5268}, {500, 27388}, {1000, 57942}, {1190, 68964}}, {}, {}},
    {"typeETable", "its90_E_10C.csv", -270, 127, {{-270, -9835}, {100, 6317}, {500, 36999}, {990, 75608}}, {}, {}},
};

// The readings that the instrument is documented to give. Its table values between the telling rows
// are unpublished; they lie within kBand of the reference, and those are chosen here that make every
// one of these hold. Kinds: the EMF model at a temperature, or a channel reading: a K-type junction
// at `celsius` against the cold junction at `cjc`, read on a probe of `type`.
struct Example {
    bool emfOnly;  // true: tcMicrovolts(celsius, type) == want
    int celsius, cjc;
    Type type;
    int want;
};

const Example kExamples[] = {
    {true, 500, 0, K, 20639},  // just under the table value: the line through 500 and 510
    {true, 20, 0, K, 798},
    {false, 0, 0, K, 0},
    {false, 800, 0, K, 800},
    {false, 500, 0, K, 499},
    {false, 1200, 0, K, 1199},
    {false, -200, 0, K, -199},
    {false, 100, 25, K, 100},
    {false, 500, 20, K, 499},
    {false, 500, 20, J, 382},
    {false, 500, 0, J, 378},
};

struct Failure {
    std::string message;
};

bool isTelling(const Table& t, int index) { return t.first + index * kStep == 0 || t.telling.count(t.first + index * kStep); }

int microvolts(const Table& t, int celsius)
{
    return lineMicrovolts(t.first, kStep, t.count, [&](int i) { return t.emf[i]; }, celsius);
}

// The segment of the table that the instrument's conversions use for a temperature or an EMF.
int temperatureSegmentOf(const Table& t, int celsius) { return temperatureSegment(t.first, kStep, t.count, celsius); }
int emfSegmentOf(const Table& t, int emf) { return emfSegment(t.count, [&](int i) { return t.emf[i]; }, emf); }

// The channel reading of an example, as the instrument computes it.
int reading(const Example& x)
{
    const Table& k = tables[K];
    const Table& p = tables[x.type];
    const int emf = microvolts(k, x.celsius) - microvolts(k, x.cjc) + microvolts(p, x.cjc);
    return lineTenths(p.first, kStep, p.count, [&](int i) { return p.emf[i]; }, emf) / 10;
}

int value(const Example& x) { return x.emfOnly ? microvolts(tables[x.type], x.celsius) : reading(x); }

bool holds(const Example& x) { return value(x) == x.want; }

// The points an example's result depends on: the end points of every segment it uses.
std::vector<std::pair<Type, int>> neighbours(const Example& x)
{
    std::vector<std::pair<Type, int>> points;
    auto segment = [&](Type type, int k) {
        for (int i : {k, k + 1})
            if (!isTelling(tables[type], i)) points.emplace_back(type, i);
    };
    segment(K, temperatureSegmentOf(tables[K], x.celsius));
    if (!x.emfOnly) {
        const Table& p = tables[x.type];
        segment(K, temperatureSegmentOf(tables[K], x.cjc));
        segment(x.type, temperatureSegmentOf(p, x.cjc));
        const int emf = microvolts(tables[K], x.celsius) - microvolts(tables[K], x.cjc) + microvolts(p, x.cjc);
        segment(x.type, emfSegmentOf(p, emf));
    }
    return points;
}

// Every table rises strictly, and every point but the telling rows stays within the band.
bool tablesValid()
{
    for (const Table& t : tables)
        for (int i = 0; i < t.count; ++i) {
            if (!isTelling(t, i) && std::abs(t.emf[i] - t.reference[i]) > kBand) return false;
            if (i > 0 && t.emf[i] <= t.emf[i - 1]) return false;
        }
    return true;
}

bool allHold(size_t upTo)
{
    for (size_t i = 0; i <= upTo; ++i)
        if (!holds(kExamples[i])) return false;
    return tablesValid();
}

// Departures from the reference in the order they are tried: 0, -1, +1, -2, +2, ...
std::vector<int> departures()
{
    std::vector<int> d{0};
    for (int n = 1; n <= kBand; ++n) d.insert(d.end(), {-n, n});
    return d;
}

// Makes example `n` hold together with all before it by moving one of its neighbouring points, or
// else two, within the band: the smallest total departure wins, the first found on a tie (points
// in the order the example uses them, departures as departures() lists them).
void satisfy(size_t n)
{
    if (allHold(n)) return;
    const Example& x = kExamples[n];
    const std::vector<std::pair<Type, int>> points = neighbours(x);
    const std::vector<int> steps = departures();
    int bestCost = -1;
    std::vector<std::pair<std::pair<Type, int>, int>> best;  // point, value
    auto tryValues = [&](const std::vector<std::pair<Type, int>>& chosen, const std::vector<int>& values) {
        int cost = 0;
        std::vector<int> saved;
        for (size_t i = 0; i < chosen.size(); ++i) {
            Table& t = tables[chosen[i].first];
            saved.push_back(t.emf[chosen[i].second]);
            cost += std::abs(values[i] - t.reference[chosen[i].second]);
            t.emf[chosen[i].second] = values[i];
        }
        if ((bestCost < 0 || cost < bestCost) && allHold(n)) {
            bestCost = cost;
            best.clear();
            for (size_t i = 0; i < chosen.size(); ++i) best.push_back({chosen[i], values[i]});
        }
        for (size_t i = 0; i < chosen.size(); ++i) tables[chosen[i].first].emf[chosen[i].second] = saved[i];
    };
    for (const auto& a : points)
        for (int da : steps) tryValues({a}, {tables[a.first].reference[a.second] + da});
    if (bestCost < 0)
        for (size_t i = 0; i < points.size(); ++i)
            for (size_t j = i + 1; j < points.size(); ++j) {
                const auto& a = points[i];
                const auto& b = points[j];
                if (a == b) continue;
                for (int da : steps)
                    for (int db : steps)
                        tryValues({a, b}, {tables[a.first].reference[a.second] + da, tables[b.first].reference[b.second] + db});
            }
    if (bestCost < 0) {
        throw Failure{"no table values within " + std::to_string(kBand) + " uV make the reading at " +
                      std::to_string(x.celsius) + " C (cold junction " + std::to_string(x.cjc) + " C) give " +
                      std::to_string(x.want)};
    }
    for (const auto& [point, v] : best) tables[point.first].emf[point.second] = v;
}

void readReference(Table& t, const std::string& dir)
{
    const std::string path = dir + "/" + t.csv;
    std::string bytes;
    if (!readPlainFile(path.c_str(), bytes)) throw Failure{path + ": cannot open"};
    std::istringstream in(bytes);
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line != "temperature_C,emf_uV") throw Failure{path + ": unexpected header '" + line + "'"};
    const int last = t.first + (t.count - 1) * kStep;
    int expected = t.first;
    while (std::getline(in, line)) {
        int celsius = 0, emf = 0;
        char tail = 0;
        if (line.empty() || line == "\r") continue;
        if (std::sscanf(line.c_str(), "%d,%d%c", &celsius, &emf, &tail) < 2 || (tail != 0 && tail != '\r'))
            throw Failure{path + ": bad row '" + line + "'"};
        if (celsius < t.first || celsius > last) continue;
        if (celsius != expected) throw Failure{path + ": expected " + std::to_string(expected) + " C, found " + line};
        expected += kStep;
        t.reference.push_back(emf);
    }
    if (static_cast<int>(t.reference.size()) != t.count)
        throw Failure{path + ": " + std::to_string(t.reference.size()) + " points, wanted " + std::to_string(t.count)};
    t.emf = t.reference;
    // The telling rows are the instrument's published values as they stand (J at 1190 C departs by 16).
    for (const auto& [celsius, emf] : t.telling) t.emf[(celsius - t.first) / kStep] = emf;
}

std::string tableText(const Table& t)
{
    std::ostringstream text;
    text << "const ThermocoupleTable " << t.cName << " = {" << t.count << ", " << kStep << ", " << t.first * 10
         << ", {\n";
    for (int i = 0; i < t.count; ++i) {
        text << (i % 10 == 0 ? "   " : "") << ' ' << t.emf[i] << ',';
        if (i % 10 == 9 || i + 1 == t.count) text << '\n';
    }
    text << "}};\n";
    return text.str();
}

// "500=20640 (20644)" for every point that is not the reference value.
std::string departuresText(const Table& t)
{
    std::string text;
    for (int i = 0; i < t.count; ++i)
        if (t.emf[i] != t.reference[i])
            text += " " + std::to_string(t.first + i * kStep) + "=" + std::to_string(t.emf[i]) + " (" +
                    std::to_string(t.reference[i]) + ")";
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvex-tcgen REFERENCE_DIR OUTPUT.inc\n");
        return 2;
    }
    const char* typeNames[] = {"K", "J", "E"};
    const char* ranges[] = {"-270..1360 C", "-210..1190 C", "-270..990 C"};
    std::ostringstream text;
    text << "// Generated by `" << kCommand << "`\n"
         << "// from the ITS-90 CSVs in data/thermocouples: edit those or tools/tcgen and regenerate, never this file.\n"
         << "// Reference EMFs in microvolts (0 C junction), one point per 10 C; included by thermocouple_tables.cpp.\n"
         << "// Points departing from the reference, C=uV (reference):\n";
    try {
        for (Table& t : tables) readReference(t, argv[1]);
        for (size_t n = 0; n < std::size(kExamples); ++n) satisfy(n);
        if (!allHold(std::size(kExamples) - 1)) throw Failure{"the examples do not all hold"};
        for (int type = K; type <= E; ++type)
            text << "//   " << typeNames[type] << ":" << departuresText(tables[type]) << "\n";
        for (int type = K; type <= E; ++type)
            text << "\n// Type " << typeNames[type] << ", " << ranges[type] << "\n" << tableText(tables[type]);
    } catch (const Failure& f) {
        std::fprintf(stderr, "corvex-tcgen: %s\n", f.message.c_str());
        return 1;
    }
    const std::string written = text.str();
    if (!replaceFile(argv[2], nullptr, written.data(), written.size())) {
        std::fprintf(stderr, "corvex-tcgen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

// The packet parser, the map reader and the conversion of FlightGear's values to the instrument's
// raw inputs.
#include "links/flightgear.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "device_readings.h"
#include "engine/engine.h"
#include "storage/storage.h"
#include "settings/settings.h"

namespace flightgear {

namespace {

constexpr const char* kUnitNames[] = {"s", "rpm", "inhg", "mb", "degf", "degc", "psi", "bar", "gph", "lph", "gal", "l", "v", "a", "ppm"};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A field's number: the whole field must be one finite number.
bool parseNumber(std::string_view field, double& value)
{
    field = trimmed(field);
    if (field.empty() || field.size() > 40) return false;
    char text[48];
    std::memcpy(text, field.data(), field.size());
    text[field.size()] = '\0';
    // strtod also takes "nan", "inf" and hexadecimal: only the forms a printf writes are numbers.
    for (const char c : field)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end != text + field.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool unitFromName(std::string_view name, Unit& unit)
{
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (size_t i = 0; i < std::size(kUnitNames); ++i)
        if (lower == kUnitNames[i]) {
            unit = static_cast<Unit>(i);
            return true;
        }
    return false;
}

// What each of FlightGear's units is on the instrument (Seconds: none, never used).
constexpr MeasureUnit kMeasures[] = {
    MeasureUnit::Rpm, MeasureUnit::Rpm, MeasureUnit::InHg, MeasureUnit::Millibar, MeasureUnit::Fahrenheit,
    MeasureUnit::Celsius, MeasureUnit::Psi, MeasureUnit::Bar, MeasureUnit::GallonPerHour, MeasureUnit::LitrePerHour,
    MeasureUnit::Gallon, MeasureUnit::Litre, MeasureUnit::Volt, MeasureUnit::Amp, MeasureUnit::Ppm};
static_assert(std::size(kMeasures) == std::size(kUnitNames));

// A value in `unit` expressed in the reading's unit; false when the two are not of one kind.
bool inReadingUnit(double value, Unit unit, const InputReading& reading, double& out)
{
    return unit != Unit::Seconds && convertUnit(value, kMeasures[static_cast<int>(unit)], reading.measure, out);
}

// Every position's settled value of each input, sorted by value, worked out again when the
// settings or the calibration change: a packet then costs a binary search, not the conversions of
// a whole range (tens of milliseconds). The filters' present state, from which a filtered channel
// settles, is taken as it was when the table was made. Within a value the positions are sorted by
// their distance from the bar's start, then upwards, so the first of a value is the one the
// typed-value rule (nearestPosition) picks.
struct Entry {
    int32_t value, fromStart, position;
    auto operator<=>(const Entry&) const = default;
};
struct Remembered {
    bool valid = false;
    int32_t target = 0, position = 0;
    bool held = false;
};
struct Tables {
    std::array<std::vector<Entry>, INPUT_CONTROL_COUNT> sorted;
    std::array<bool, INPUT_CONTROL_COUNT> filled{};
    std::array<Remembered, INPUT_CONTROL_COUNT> last{};  // the last value looked up (EGT feeds four)
    Settings settingsSeen{};
    Calibration calibrationSeen{};
};

Tables& tablesFor(InputControl id)
{
    static Tables t;
    if (std::memcmp(&t.settingsSeen, &settings, sizeof settings) != 0 ||
        std::memcmp(&t.calibrationSeen, &calibration, sizeof calibration) != 0) {
        std::memcpy(&t.settingsSeen, &settings, sizeof settings);
        std::memcpy(&t.calibrationSeen, &calibration, sizeof calibration);
        t.filled.fill(false);
        t.last.fill(Remembered{});
    }
    const int i = static_cast<int>(id);
    if (!t.filled[i]) {
        const InputControlInfo& info = inputControls[i];
        std::vector<Entry>& sorted = t.sorted[i];
        sorted.clear();
        sorted.reserve(static_cast<size_t>(info.maximum - info.minimum + 1));
        for (int32_t p = info.minimum; p <= info.maximum; ++p)
            if (const std::optional<int32_t> v = settledValue(id, p)) sorted.push_back({*v, std::abs(p - info.start), p});
        std::sort(sorted.begin(), sorted.end());
        t.filled[i] = true;
    }
    return t;
}

}  // namespace

const char* unitName(Unit unit) { return kUnitNames[static_cast<int>(unit)]; }

void formatValue(double value, char* text, size_t size)
{
    if (size == 0) return;
    std::snprintf(text, size, std::fabs(value) < 1e9 ? "%.2f" : "%.6g", value);
}

bool parsePacket(std::string_view line, Packet& packet)
{
    packet.fieldCount = 0;
    packet.present.fill(false);
    line = trimmed(line);
    if (line.empty() || line.size() > kMaxPacketBytes) return false;
    size_t at = 0;
    for (;;) {
        const size_t comma = line.find(',', at);
        const std::string_view field = line.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at);
        if (packet.fieldCount < kMaxFields) {
            double value = 0;
            const int i = packet.fieldCount;
            packet.present[i] = parseNumber(field, value);
            packet.values[i] = packet.present[i] ? value : 0.0;
        }
        ++packet.fieldCount;
        if (comma == std::string_view::npos) break;
        at = comma + 1;
    }
    return true;
}

bool readMap(std::string_view text, Map& map, std::string& error)
{
    map = Map{};
    Map built;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        line = trimmed(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        const auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        // PROPERTY UNIT INPUTS
        const size_t propertyEnd = line.find_first_of(" \t");
        if (propertyEnd == std::string_view::npos) return fail("expected PROPERTY UNIT INPUT");
        Field field;
        field.property = std::string(line.substr(0, propertyEnd));
        std::string_view rest = trimmed(line.substr(propertyEnd));
        const size_t unitEnd = rest.find_first_of(" \t");
        if (unitEnd == std::string_view::npos) return fail("expected PROPERTY UNIT INPUT");
        const std::string_view unitText = rest.substr(0, unitEnd);
        if (!unitFromName(unitText, field.unit)) return fail("unknown unit " + std::string(unitText));
        rest = trimmed(rest.substr(unitEnd));
        if (rest == "time") {
            if (field.unit != Unit::Seconds) return fail("the time stamp is in s");
            if (built.timeField >= 0) return fail("a second time stamp");
            field.isTime = true;
            built.timeField = static_cast<int>(built.fields.size());
        } else if (rest != "-") {
            while (!rest.empty()) {
                const size_t comma = rest.find(',');
                const std::string caption(trimmed(rest.substr(0, comma)));
                rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
                const InputControlInfo* info = findInputControl(caption.c_str());
                if (!info) return fail("no input captioned " + caption);
                field.inputs.push_back(info->id);
            }
        }
        if (built.fields.size() >= static_cast<size_t>(kMaxFields)) return fail("more than 64 fields");
        built.fields.push_back(std::move(field));
    }
    if (built.fields.empty()) {
        error = "no fields";
        return false;
    }
    map = std::move(built);
    return true;
}

bool loadMap(const std::string& path, Map& map, std::string& error)
{
    std::string text;
    if (!readPlainFile(path.c_str(), text)) {
        error = "cannot read " + path;
        return false;
    }
    if (!readMap(text, map, error)) {
        error = path + ", " + error;
        return false;
    }
    return true;
}

const Map& defaultMap()
{
    static const Map map = [] {
        Map m;
        std::string error;
        readMap(defaultMapText(), m, error);
        return m;
    }();
    return map;
}

bool positionFor(InputControl id, double value, Unit unit, int32_t& position, bool& held)
{
    const InputControlInfo& info = inputControls[static_cast<int>(id)];
    const InputReading reading = inputReading(id, info.start);
    double inUnit = 0;
    if (!reading.known || !inReadingUnit(value, unit, reading, inUnit)) return false;
    // Fixed point as the reading has it; far beyond every range is as good as its end.
    const double scaled = std::clamp(inUnit * std::pow(10.0, reading.decimals), -1e9, 1e9);
    const auto target = static_cast<int32_t>(std::lround(scaled));
    Tables& tables = tablesFor(id);
    Remembered& last = tables.last[static_cast<int>(id)];
    if (last.valid && last.target == target) {
        position = last.position;
        held = last.held;
        return true;
    }
    const std::vector<Entry>& sorted = tables.sorted[static_cast<int>(id)];
    if (sorted.empty()) return false;
    // The first position of the nearest value above and of the nearest value below; of equally
    // near ones the nearer to the bar's start, then the lower.
    const auto byValue = [](const Entry& e, int32_t v) { return e.value < v; };
    const auto above = std::lower_bound(sorted.begin(), sorted.end(), target, byValue);
    const Entry* best = above != sorted.end() ? &*above : nullptr;
    if (above != sorted.begin()) {
        const Entry& below = *std::lower_bound(sorted.begin(), above, std::prev(above)->value, byValue);
        const auto rank = [&](const Entry& e) {
            return std::tuple(std::llabs(int64_t{e.value} - target), e.fromStart, e.position);
        };
        if (!best || rank(below) < rank(*best)) best = &below;
    }
    position = best->position;
    // Held: the value lies beyond every reading the input can give; the nearest position is then
    // where the input's readings end.
    held = target < sorted.front().value || target > sorted.back().value;
    last = Remembered{true, target, position, held};
    return true;
}

void inputsForPacket(const Map& map, const Packet& packet, Inputs& out)
{
    for (InputValue& v : out.inputs) v = InputValue{};
    out.hasTime = false;
    const int fields = std::min<int>(static_cast<int>(map.fields.size()), std::min(packet.fieldCount, kMaxFields));
    for (int i = 0; i < fields; ++i) {
        if (!packet.present[i]) continue;
        const Field& field = map.fields[i];
        if (field.isTime) {
            out.hasTime = true;
            out.time = packet.values[i];
            continue;
        }
        for (const InputControl id : field.inputs) {
            InputValue& v = out.inputs[static_cast<int>(id)];
            int32_t position = 0;
            bool held = false;
            if (!positionFor(id, packet.values[i], field.unit, position, held)) continue;
            v = InputValue{true, position, held, packet.values[i]};
        }
    }
}

void applyInputs(const Inputs& in)
{
    for (int i = 0; i < INPUT_CONTROL_COUNT; ++i)
        if (in.inputs[i].set) setInputControl(static_cast<InputControl>(i), in.inputs[i].position);
}

}  // namespace flightgear

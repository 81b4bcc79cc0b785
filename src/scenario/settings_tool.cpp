// The settings file tool: every field by name, edits checked against the recall's range repair and
// written beside the file then renamed over it, and a field-by-field comparison of two files.
#include "scenario/settings_tool.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>

#include "engine/fuel.h"
#include "scenario/variables.h"
#include "storage/storage.h"
#include "settings/settings.h"
#include "settings/settings_field.h"
#include "settings/settings_table.h"

namespace {

struct Failure {
    std::string message;
};

// A file's record: the bytes it holds over the factory record, as far as the record goes.
Settings readRecord(const std::string& path, std::ostream& err)
{
    std::string bytes;  // a folder or a pipe is no settings file
    if (!readPlainFile(path.c_str(), bytes)) throw Failure{"cannot read " + path + ": " + std::strerror(errno)};
    Settings record = factorySettings();
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
    if (bytes.size() != sizeof record)
        err << path << ": " << bytes.size() << " bytes, the record has " << sizeof record
            << (bytes.size() < sizeof record ? "; the rest read as factory values\n" : "; the rest is ignored\n");
    return record;
}

// What a recall makes of a record.
Settings repaired(const Settings& record)
{
    const Settings saved = settings;
    const uint8_t savedLayout = fuelLayout;
    settings = record;
    sanitiseSettings();
    settings.formatCode = SETTINGS_FORMAT_CODE;
    recomputeFuelLayout();
    Settings result = settings;
    settings = saved;
    fuelLayout = savedLayout;
    return result;
}

// One printed line per scalar, array element or text: NAME=VALUE, over the record in `settings`.
struct FieldLine {
    std::string_view name;  // NAME or NAME[i], kept by fieldLines for the program's life
    std::string value;
    size_t offset;      // bytes of the line's value in the record
    size_t size;
};

// The runner's variable of every named field, found by name once (null where there is none).
const std::vector<const DeviceVariable*>& fieldVariables()
{
    static const std::vector<const DeviceVariable*> variables = [] {
        size_t count = 0;
        const NamedSettingsField* fields = settingsFieldNames(count);
        std::vector<const DeviceVariable*> found(count);
        for (size_t i = 0; i < count; ++i) found[i] = findDeviceVariable(fields[i].name);
        return found;
    }();
    return variables;
}

std::vector<FieldLine> fieldLines(const Settings& record)
{
    const Settings saved = settings;
    settings = record;
    std::vector<FieldLine> lines;
    size_t count = 0;
    const NamedSettingsField* fields = settingsFieldNames(count);
    const std::vector<const DeviceVariable*>& variables = fieldVariables();
    // The lines' names are the same for every record: kept from the first call on.
    static std::deque<std::string> names;
    const bool named = !names.empty();
    size_t n = 0;
    const auto nameOf = [&](std::string_view name) -> std::string_view {
        if (!named) names.emplace_back(name);
        return names[n++];
    };
    lines.reserve(count);
    std::ostringstream text;  // one stream for every field: making one costs more than printing
    std::string printed;
    for (size_t i = 0; i < count; ++i) {
        const SettingsField& f = fields[i].field;
        if (f.width == FieldWidth::Text) {
            // Up to its terminator, a stray byte shown as \xNN so that it stays on its line.
            std::string value;
            for (size_t b = 0; b < f.size(); ++b) {
                const auto c = static_cast<unsigned char>(reinterpret_cast<const char*>(&record)[f.offset + b]);
                if (c == 0) break;
                char escaped[5];
                std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
                value += c >= 32 && c <= 126 ? std::string(1, static_cast<char>(c)) : std::string(escaped);
            }
            lines.push_back({nameOf(fields[i].name), value, f.offset, f.size()});
            continue;
        }
        const DeviceVariable* v = variables[i];
        if (!v) continue;
        text.str({});
        printDeviceVariable(*v, text);
        printed = text.str();
        size_t start = 0;
        for (int element = 0; start < printed.size(); ++element) {
            const size_t end = std::min(printed.find('\n', start), printed.size());
            const std::string_view line = std::string_view(printed).substr(start, end - start);
            const size_t equals = line.find('=');
            lines.push_back({nameOf(line.substr(0, equals)), std::string(line.substr(equals == line.npos ? 0 : equals + 1)),
                             f.offset + element * f.elementSize(), f.elementSize()});
            start = end + 1;
        }
    }
    settings = saved;
    return lines;
}

bool sameBytes(const Settings& a, const Settings& b, const FieldLine& line)
{
    return std::memcmp(reinterpret_cast<const uint8_t*>(&a) + line.offset,
                       reinterpret_cast<const uint8_t*>(&b) + line.offset, line.size) == 0;
}

int dump(const std::string& path, std::ostream& out, std::ostream& err)
{
    const Settings record = readRecord(path, err);
    const Settings fixed = repaired(record);
    const std::vector<FieldLine> after = fieldLines(fixed);
    const std::vector<FieldLine> lines = fieldLines(record);
    for (size_t i = 0; i < lines.size(); ++i) {
        out << lines[i].name << '=' << lines[i].value;
        if (!sameBytes(record, fixed, lines[i])) out << "  # recall repairs to " << after[i].value;
        out << '\n';
    }
    return 0;
}

// The variable for NAME or NAME[i] over the record in `settings`, with its field and row.
DeviceVariable fieldVariable(const std::string& name, const NamedSettingsField*& named, int& element)
{
    const size_t bracket = name.find('[');
    element = 0;
    named = findSettingsField(name.c_str());
    std::string base = name;
    if (!named && bracket != std::string::npos && name.back() == ']') {
        base = name.substr(0, bracket);
        named = findSettingsField(base.c_str());
        char* end = nullptr;
        const long index = std::strtol(name.c_str() + bracket + 1, &end, 10);
        if (!named || end != name.c_str() + name.size() - 1 || bracket + 2 >= name.size())
            throw Failure{"no settings field named " + name};
        element = static_cast<int>(index);
        const DeviceVariable* v = findDeviceVariable(base);
        DeviceVariable one;
        std::string reason;
        if (!v || !deviceVariableElement(*v, index, one, reason)) throw Failure{reason};
        return one;
    }
    const DeviceVariable* v = named ? findDeviceVariable(name) : nullptr;
    if (!v) throw Failure{"no settings field named " + name};
    if (v->count > 1 && v->type != VariableType::Text) throw Failure{name + " is an array: set " + name + "[i]=VALUE"};
    return *v;
}

// The values of a field that a recall keeps, as "LO..HI" (or "LO or HI" when only the two ends
// are), by its limits with what they follow as a recall leaves it in the rest of the record.
std::string keptRange(const Settings& record, const NamedSettingsField& named)
{
    const SettingsField& f = named.field;
    const SettingLimits& limits = *named.limits;
    if (limits.repair == Repair::Keep) {  // every value the field holds
        const bool isSigned = f.width == FieldWidth::I8 || f.width == FieldWidth::I16 || f.width == FieldWidth::I32;
        const int64_t values = int64_t(1) << (8 * f.elementSize());
        const int64_t lowest = isSigned ? -values / 2 : 0;
        return std::to_string(lowest) + ".." + std::to_string(lowest + values - 1);
    }
    const Settings fixed = repaired(record);
    const SettingSpan span = repairSpan(limits, fixed, reinterpret_cast<const uint8_t*>(&fixed) + named.record);
    if (span.min > span.max) return "none";
    const char* between = limits.repair == Repair::Either && span.max - span.min > 1 ? " or " : "..";
    return std::to_string(span.min) + between + std::to_string(span.max);
}

int set(const std::string& path, const std::vector<std::string>& assignments, std::ostream& err)
{
    if (assignments.empty()) throw Failure{"usage: corvex-settings set FILE NAME=VALUE..."};
    const Settings original = readRecord(path, err);
    const Settings saved = settings;
    settings = original;
    std::vector<std::pair<const NamedSettingsField*, int>> changed;
    try {
        for (const std::string& a : assignments) {
            const size_t equals = a.find('=');
            if (equals == std::string::npos || equals == 0) throw Failure{"want NAME=VALUE, not " + a};
            const NamedSettingsField* named = nullptr;
            int element = 0;
            const DeviceVariable v = fieldVariable(a.substr(0, equals), named, element);
            const SettingsField& field = named->field;
            std::string reason;
            if (!setDeviceVariable(v, a.substr(equals + 1), reason)) {
                // A number the field cannot even hold is named with the range the field keeps.
                char* end = nullptr;
                const std::string value = a.substr(equals + 1);
                std::strtoll(value.c_str(), &end, 10);
                if (field.width != FieldWidth::Text && !value.empty() && *end == '\0')
                    throw Failure{a + " is outside its range " + keptRange(settings, *named)};
                throw Failure{a.substr(0, equals) + ": " + reason};
            }
            changed.push_back({named, element});
        }
    } catch (const Failure&) {
        settings = saved;
        throw;
    }
    const Settings edited = settings;
    settings = saved;
    const Settings fixed = repaired(edited);
    for (size_t i = 0; i < changed.size(); ++i) {
        const auto& [named, element] = changed[i];
        const SettingsField& f = named->field;
        const size_t offset = f.offset + (f.width == FieldWidth::Text ? 0 : element * f.elementSize());
        const size_t size = f.width == FieldWidth::Text ? f.size() : f.elementSize();
        if (std::memcmp(reinterpret_cast<const uint8_t*>(&edited) + offset,
                        reinterpret_cast<const uint8_t*>(&fixed) + offset, size) != 0) {
            const std::string name = assignments[i].substr(0, assignments[i].find('='));
            if (f.width == FieldWidth::Text) throw Failure{name + ": only printable characters 32..126 are kept"};
            throw Failure{name + "=" + std::to_string(f.load(&edited, element)) + " is outside its range " +
                          keptRange(edited, *named)};
        }
    }
    // Fields the edit made invalid (a unit change narrows other limits) or already were.
    const std::vector<FieldLine> before = fieldLines(edited);
    const std::vector<FieldLine> after = fieldLines(fixed);
    for (size_t i = 0; i < before.size(); ++i)
        if (!sameBytes(edited, fixed, before[i]))
            err << "note: " << before[i].name << " repaired from " << before[i].value << " to " << after[i].value << '\n';

    const std::string temporary = path + ".new";
    if (!replaceFile(path.c_str(), temporary.c_str(), &fixed, sizeof fixed))
        throw Failure{"cannot replace " + path + ": " + std::strerror(errno)};
    return 0;
}

int diff(const std::string& a, const std::string& b, std::ostream& out, std::ostream& err)
{
    const Settings left = readRecord(a, err);
    const Settings right = readRecord(b, err);
    const std::vector<FieldLine> l = fieldLines(left);
    const std::vector<FieldLine> r = fieldLines(right);
    int differences = 0;
    for (size_t i = 0; i < l.size(); ++i) {
        if (l[i].value == r[i].value) continue;
        out << l[i].name << ": " << l[i].value << " -> " << r[i].value << '\n';
        ++differences;
    }
    return differences == 0 ? 0 : 1;
}

constexpr const char* kUsage =
    "usage: corvex-settings dump FILE                 every field as NAME=VALUE, flagging what a recall repairs\n"
    "       corvex-settings set FILE NAME=VALUE...    change fields (NAME[i] for an element), checked and\n"
    "                                                 written through the recall's range repair\n"
    "       corvex-settings diff A B                  the fields that differ, as NAME: A -> B (exit 1)\n"
    "NAMEs are those of corvex-ems-run's print and set.\n";

}  // namespace

int settingsToolMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return 0;
    }
    try {
        if (args.size() == 2 && args[0] == "dump") return dump(args[1], out, err);
        if (args.size() >= 2 && args[0] == "set")
            return set(args[1], std::vector<std::string>(args.begin() + 2, args.end()), err);
        if (args.size() == 3 && args[0] == "diff") return diff(args[1], args[2], out, err) == 0 ? 0 : 1;
    } catch (const Failure& f) {
        err << "corvex-settings: " << f.message << '\n';
        return 2;
    }
    err << kUsage;
    return 2;
}

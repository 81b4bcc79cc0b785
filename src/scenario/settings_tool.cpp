// The settings file tool: every field by name, edits checked against the recall's range repair and
// written beside the file then renamed over it, and a field-by-field comparison of two files.
#include "scenario/settings_tool.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/fuel.h"
#include "scenario/variables.h"
#include "settings/file_replace.h"
#include "settings/settings.h"
#include "settings/settings_field.h"

namespace {

struct Failure {
    std::string message;
};

// A file's record: the bytes it holds over the factory record, as far as the record goes.
Settings readRecord(const std::string& path, std::ostream& err)
{
    std::FILE* file = openPlainFile(path.c_str());  // a folder or a pipe is no settings file
    if (!file) throw Failure{"cannot read " + path + ": " + std::strerror(errno)};
    std::string bytes;
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) throw Failure{"cannot read " + path};
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
    std::string name;   // NAME or NAME[i]
    std::string value;
    size_t offset;      // bytes of the line's value in the record
    size_t size;
};

std::vector<FieldLine> fieldLines(const Settings& record)
{
    const Settings saved = settings;
    settings = record;
    std::vector<FieldLine> lines;
    size_t count = 0;
    const NamedSettingsField* fields = settingsFieldNames(count);
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
            lines.push_back({fields[i].name, value, f.offset, f.size()});
            continue;
        }
        const DeviceVariable* v = findDeviceVariable(fields[i].name);
        if (!v) continue;
        std::ostringstream text;
        printDeviceVariable(*v, text);
        std::istringstream printed(text.str());
        int element = 0;
        for (std::string line; std::getline(printed, line); ++element) {
            const size_t equals = line.find('=');
            lines.push_back({line.substr(0, equals), line.substr(equals + 1), f.offset + element * f.elementSize(),
                             f.elementSize()});
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

// The variable for NAME or NAME[i] over the record in `settings`, with its offset in the record.
DeviceVariable fieldVariable(const std::string& name, SettingsField& field, int& element)
{
    const size_t bracket = name.find('[');
    element = 0;
    const NamedSettingsField* named = findSettingsField(name.c_str());
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
        field = named->field;
        return one;
    }
    const DeviceVariable* v = named ? findDeviceVariable(name) : nullptr;
    if (!v) throw Failure{"no settings field named " + name};
    if (v->count > 1 && v->type != VariableType::Text) throw Failure{name + " is an array: set " + name + "[i]=VALUE"};
    field = named->field;
    return *v;
}

// The values of one element that a recall keeps, as "LO..HI" (or "LO or HI" when only the ends
// are kept), found by trying values with the rest of the record as it is.
std::string keptRange(const Settings& record, const SettingsField& f, int element)
{
    std::vector<int64_t> candidates;
    const bool narrow = f.elementSize() == 1;
    const bool isSigned = f.width == FieldWidth::I8 || f.width == FieldWidth::I16 || f.width == FieldWidth::I32;
    if (narrow) {
        for (int64_t v = isSigned ? -128 : 0; v <= (isSigned ? 127 : 255); ++v) candidates.push_back(v);
    } else {
        const int64_t lowest = isSigned ? -(int64_t(1) << (8 * f.elementSize() - 1)) : 0;
        const int64_t highest = isSigned ? (int64_t(1) << (8 * f.elementSize() - 1)) - 1
                                         : (int64_t(1) << (8 * f.elementSize())) - 1;
        for (const int64_t probe : {lowest, highest}) {
            Settings trial = record;
            f.store(&trial, probe, element);
            const Settings fixed = repaired(trial);
            candidates.push_back(f.load(&fixed, element));
        }
        for (int64_t v = std::max<int64_t>(lowest, -1100); v <= 1100; ++v) candidates.push_back(v);
    }
    std::vector<int64_t> kept;
    for (const int64_t v : candidates) {
        Settings trial = record;
        f.store(&trial, v, element);
        const Settings fixed = repaired(trial);
        if (f.load(&trial, element) == v && f.load(&fixed, element) == v) kept.push_back(v);
    }
    if (kept.empty()) return "none";
    const auto [lo, hi] = std::minmax_element(kept.begin(), kept.end());
    if (narrow && kept.size() == 2 && *hi - *lo > 1) return std::to_string(*lo) + " or " + std::to_string(*hi);
    return std::to_string(*lo) + ".." + std::to_string(*hi);
}

int set(const std::string& path, const std::vector<std::string>& assignments, std::ostream& err)
{
    if (assignments.empty()) throw Failure{"usage: corvex-settings set FILE NAME=VALUE..."};
    const Settings original = readRecord(path, err);
    const Settings saved = settings;
    settings = original;
    std::vector<std::pair<SettingsField, int>> changed;
    try {
        for (const std::string& a : assignments) {
            const size_t equals = a.find('=');
            if (equals == std::string::npos || equals == 0) throw Failure{"want NAME=VALUE, not " + a};
            SettingsField field;
            int element = 0;
            const DeviceVariable v = fieldVariable(a.substr(0, equals), field, element);
            std::string reason;
            if (!setDeviceVariable(v, a.substr(equals + 1), reason)) {
                // A number the field cannot even hold is named with the range the field keeps.
                char* end = nullptr;
                const std::string value = a.substr(equals + 1);
                std::strtoll(value.c_str(), &end, 10);
                if (field.width != FieldWidth::Text && !value.empty() && *end == '\0')
                    throw Failure{a + " is outside its range " + keptRange(settings, field, element)};
                throw Failure{a.substr(0, equals) + ": " + reason};
            }
            changed.push_back({field, element});
        }
    } catch (const Failure&) {
        settings = saved;
        throw;
    }
    const Settings edited = settings;
    settings = saved;
    const Settings fixed = repaired(edited);
    for (size_t i = 0; i < changed.size(); ++i) {
        const auto& [f, element] = changed[i];
        const size_t offset = f.offset + (f.width == FieldWidth::Text ? 0 : element * f.elementSize());
        const size_t size = f.width == FieldWidth::Text ? f.size() : f.elementSize();
        if (std::memcmp(reinterpret_cast<const uint8_t*>(&edited) + offset,
                        reinterpret_cast<const uint8_t*>(&fixed) + offset, size) != 0) {
            const std::string name = assignments[i].substr(0, assignments[i].find('='));
            if (f.width == FieldWidth::Text) throw Failure{name + ": only printable characters 32..126 are kept"};
            throw Failure{name + "=" + std::to_string(f.load(&edited, element)) + " is outside its range " +
                          keptRange(edited, f, element)};
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

// The scenario command interpreter: power, passes, ticks, waits, keys, clock, screenshots, print.
#include "runner/scenario.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <vector>

#include "device.h"
#include "device_inputs.h"
#include "display/framebuffer.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "gps/nmea.h"
#include "runner/png_io.h"
#include "runner/variables.h"
#include "settings/sdcard.h"
#include "time/clock.h"
#include "time/memory.h"
#include "time/ecu_co.h"
#include "ui/screen.h"

namespace {

constexpr uint32_t kDefaultClock = 1767225600;  // 2026-01-01T00:00:00Z

struct LineError {
    std::string message;
};

std::vector<std::string> splitWords(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The text of a line after its first n words, without surrounding blanks; a value in double
// quotes keeps its blanks ("G-ABCD  ").
std::string valueAfterWords(const std::string& line, size_t n)
{
    const char* blanks = " \t\r\v\f";
    size_t at = 0;
    for (size_t i = 0; i < n; ++i) {
        at = line.find_first_not_of(blanks, at);
        at = line.find_first_of(blanks, at);
    }
    const size_t first = line.find_first_not_of(blanks, at);
    if (first == std::string::npos) return {};
    std::string value = line.substr(first, line.find_last_not_of(blanks) + 1 - first);
    if (value.front() == '"') {
        if (value.size() < 2 || value.back() != '"') throw LineError{"missing closing quote: " + value};
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

uint64_t parseCount(const std::string& text, const char* what)
{
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value > 100'000'000)
        throw LineError{std::string("bad ") + what + ": " + text};
    return value;
}

uint8_t parseKey(const std::string& name)
{
    static const struct {
        const char* name;
        uint8_t code;
    } keys[] = {{"soft1", KeySoft1}, {"soft2", KeySoft2}, {"soft3", KeySoft3}, {"soft4", KeySoft4},
                {"soft5", KeySoft5}, {"press", KeyKnobPress}, {"plus", KeyKnobPlus},
                {"minus", KeyKnobMinus}};
    for (const auto& k : keys)
        if (name == k.name) return k.code;
    if (name.size() == 1 && name[0] >= '1' && name[0] <= '8') return static_cast<uint8_t>(name[0] - '0');
    throw LineError{"unknown key: " + name};
}

// YYYY-MM-DDTHH:MM:SSZ, 1970..2099.
uint32_t parseClock(const std::string& text)
{
    int year, month, day, hour, minute, second;
    char tail = 0;
    if (text.size() != 20 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ%c", &year, &month, &day, &hour, &minute, &second,
                    &tail) != 6 ||
        text[19] != 'Z' || year < 1970 || year > 2099 || month < 1 || month > 12 || day < 1 || day > 31 ||
        hour > 23 || minute > 59 || second > 59)
        throw LineError{"bad clock (want YYYY-MM-DDTHH:MM:SSZ): " + text};
    DateTime dt;
    dt.year = static_cast<uint16_t>(year);
    dt.month = static_cast<uint8_t>(month);
    dt.day = static_cast<uint8_t>(day);
    dt.hour = static_cast<uint8_t>(hour);
    dt.minute = static_cast<uint8_t>(minute);
    dt.second = static_cast<uint8_t>(second);
    return dateTimeToSeconds(dt);
}

// The memory file named by "memory FILE": written at "power off", after any command that
// changed the flight log, and at the end of the script.
std::filesystem::path memoryPath;
uint32_t savedMemoryChange = 0;

void saveMemory(std::ostream& out)
{
    if (memoryPath.empty()) return;
    savedMemoryChange = memoryChangeCount;
    std::string reason;
    if (!saveMemoryFile(memoryPath.string().c_str(), reason)) out << "memory: " << reason << '\n';
}

void requireWords(const std::vector<std::string>& w, size_t n, const char* usage)
{
    if (w.size() != n) throw LineError{std::string("usage: ") + usage};
}

struct ScriptStack;
void runLines(std::istream& script, SimulatedHost& host, const ScenarioOptions& options, std::ostream& out,
              ScriptStack& stack);

// The scripts being run, outermost first, so an include cannot come back to one of them.
struct ScriptStack {
    std::vector<std::filesystem::path> files;
};

constexpr size_t kMaxIncludeDepth = 16;

// The printed value of NAME or NAME[i], as print shows it after the '='.
std::string printedValue(const std::string& name)
{
    if (name == "screen") return screenHashText();
    const size_t bracket = name.find('[');
    const DeviceVariable* v = findDeviceVariable(name);
    DeviceVariable element;
    if (!v && bracket != std::string::npos && name.back() == ']') {
        v = findDeviceVariable(std::string_view(name).substr(0, bracket));
        if (!v) throw LineError{"unknown variable: " + name.substr(0, bracket)};
        int64_t index = -1;
        const char* first = name.data() + bracket + 1;
        const char* last = name.data() + name.size() - 1;
        const auto [end, ec] = std::from_chars(first, last, index);
        std::string reason;
        if (ec != std::errc() || end != last) throw LineError{"bad element (want NAME[INDEX]): " + name};
        if (!deviceVariableElement(*v, index, element, reason)) throw LineError{reason};
        v = &element;
    }
    if (!v) throw LineError{"unknown variable: " + name};
    if (v->count > 1 && v->type != VariableType::Text) throw LineError{name + " is an array: expect " + name + "[i]"};
    std::ostringstream text;
    printDeviceVariable(*v, text);
    std::string printed = text.str();
    if (!printed.empty() && printed.back() == '\n') printed.pop_back();
    const size_t equals = printed.find('=');
    return equals == std::string::npos ? printed : printed.substr(equals + 1);
}

void runCommand(const std::vector<std::string>& w, const std::string& line, SimulatedHost& host,
                const ScenarioOptions& options, std::ostream& out, ScriptStack& stack)
{
    const std::string& cmd = w[0];
    if (cmd == "include") {
        requireWords(w, 2, "include FILE");
        const std::filesystem::path file = w[1];
        const std::filesystem::path path = file.is_absolute() ? file : options.scriptDir / file;
        // Checked before it is opened: a pipe of the name would keep the run waiting.
        if (!std::filesystem::is_regular_file(path)) throw LineError{"cannot read " + path.string()};
        std::ifstream in(path);
        if (!in) throw LineError{"cannot read " + path.string()};
        std::error_code ec;
        const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
        for (const auto& open : stack.files)
            if (open == canonical) throw LineError{"include cycle: " + path.string() + " is already being run"};
        if (stack.files.size() >= kMaxIncludeDepth) throw LineError{"includes nested too deeply at " + path.string()};
        ScenarioOptions inner = options;
        inner.scriptDir = path.parent_path();
        stack.files.push_back(canonical);
        try {
            runLines(in, host, inner, out, stack);
        } catch (const LineError& e) {
            throw LineError{"in " + path.string() + ", " + e.message};
        }
        stack.files.pop_back();
    } else if (cmd == "expect") {
        if (w.size() < 3) throw LineError{"usage: expect NAME VALUE"};
        const std::string wanted = valueAfterWords(line, 2);
        const std::string got = printedValue(w[1]);
        if (got != wanted) throw LineError{"expected " + w[1] + "=" + wanted + ", got " + got};
    } else if (cmd == "power") {
        requireWords(w, 2, "power on|off");
        if (w[1] == "on") {
            hostUtcSeconds = host.utcNow();
            devicePowerOn();
        } else if (w[1] == "off") {
            devicePowerOff();
            saveMemory(out);
        } else {
            throw LineError{"usage: power on|off"};
        }
    } else if (cmd == "pass") {
        requireWords(w, 2, "pass N");
        const uint64_t n = parseCount(w[1], "pass count");
        for (uint64_t i = 0; i < n; ++i) {
            hostUtcSeconds = host.utcNow();
            devicePass();
        }
    } else if (cmd == "tick") {
        requireWords(w, 2, "tick N");
        const uint64_t n = parseCount(w[1], "tick count");
        for (uint64_t i = 0; i < n; ++i) {
            host.elapsedMs += HOST_TICK_MS;
            hostTick();
        }
    } else if (cmd == "wait") {
        requireWords(w, 2, "wait SECONDS");
        char* end = nullptr;
        const double seconds = std::strtod(w[1].c_str(), &end);
        if (*end != '\0' || !(seconds >= 0) || seconds > 1e6) throw LineError{"bad seconds: " + w[1]};
        host.advanceMs(static_cast<uint64_t>(std::llround(seconds * 1000.0)), true);
    } else if (cmd == "key") {
        requireWords(w, 2, "key NAME");
        devicePressKey(parseKey(w[1]));
    } else if (cmd == "clock") {
        requireWords(w, 2, "clock YYYY-MM-DDTHH:MM:SSZ");
        host.clockBaseSeconds = parseClock(w[1]);
        host.clockBaseMs = host.elapsedMs;
        hostUtcSeconds = host.utcNow();
    } else if (cmd == "screenshot") {
        requireWords(w, 2, "screenshot FILE.png");
        const std::filesystem::path path = options.outputDir / w[1];
        if (!path.parent_path().empty()) {
            std::error_code ec;
            std::filesystem::create_directories(path.parent_path(), ec);
        }
        if (!writeIndexedPng(path.string(), framebuffer, SCREEN_WIDTH, SCREEN_HEIGHT))
            throw LineError{"cannot write " + path.string()};
    } else if (cmd == "print") {
        if (w.size() < 2) throw LineError{"usage: print NAME ..."};
        for (size_t i = 1; i < w.size(); ++i) {
            const DeviceVariable* v = findDeviceVariable(w[i]);
            if (!v) throw LineError{"unknown variable: " + w[i]};
            printDeviceVariable(*v, out);
        }
    } else if (cmd == "set") {
        if (w.size() < 3) throw LineError{"usage: set FIELD VALUE"};
        // FIELD is a name, or NAME[i] for one element of an array.
        const std::string& field = w[1];
        const size_t bracket = field.find('[');
        const DeviceVariable* v = findDeviceVariable(field);
        const bool isElement = !v && bracket != std::string::npos;
        if (isElement) v = findDeviceVariable(std::string_view(field).substr(0, bracket));
        if (!v) throw LineError{"unknown variable: " + field.substr(0, bracket)};
        std::string reason;
        DeviceVariable element;
        if (isElement) {
            const LineError bad{"bad element (want NAME[INDEX]): " + field};
            if (field.back() != ']' || field.size() < bracket + 3) throw bad;
            int64_t index = -1;
            const char* first = field.data() + bracket + 1;
            const char* last = field.data() + field.size() - 1;
            const auto [end, ec] = std::from_chars(first, last, index);
            if (ec != std::errc() || end != last) throw bad;
            if (!deviceVariableElement(*v, index, element, reason)) throw LineError{reason};
            v = &element;
        }
        if (!setDeviceVariable(*v, valueAfterWords(line, 2), reason)) throw LineError{reason};
    } else if (cmd == "input" || cmd == "check") {
        if (w.size() < 3) throw LineError{"usage: " + cmd + (cmd == "input" ? " CAPTION VALUE" : " CAPTION 0|1")};
        std::string caption = w[1];
        for (size_t i = 2; i + 1 < w.size(); ++i) caption += " " + w[i];
        const std::string& value = w.back();
        if (cmd == "input") {
            const InputControlInfo* control = findInputControl(caption.c_str());
            if (!control) throw LineError{"no scroll bar captioned " + caption};
            int32_t position = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), position);
            if (ec != std::errc() || end != value.data() + value.size()) throw LineError{"bad value: " + value};
            if (!setInputControl(control->id, position))
                throw LineError{value + " is outside " + caption + " " + std::to_string(control->minimum) + ".." +
                                std::to_string(control->maximum)};
        } else {
            const SwitchControlInfo* control = findSwitchControl(caption.c_str());
            if (!control) throw LineError{"no check box captioned " + caption};
            if (value != "0" && value != "1") throw LineError{"check takes 0 or 1, not " + value};
            setSwitchControl(control->id, value == "1");
        }
    } else if (cmd == "nmea") {
        // The file's bytes to the NMEA receiver, as the serial link hands them over; with LINES,
        // one pass follows every LINES lines, as if they arrived spread over the passes.
        if (w.size() != 2 && w.size() != 3) throw LineError{"usage: nmea FILE [LINES]"};
        const std::filesystem::path file = w[1];
        const std::filesystem::path path = file.is_absolute() ? file : options.scriptDir / file;
        if (!std::filesystem::is_regular_file(path)) throw LineError{"cannot read " + path.string()};
        std::ifstream in(path, std::ios::binary);
        if (!in) throw LineError{"cannot read " + path.string()};
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const uint64_t linesPerPass = w.size() == 3 ? parseCount(w[2], "line count") : 0;
        if (w.size() == 3 && linesPerPass == 0) throw LineError{"bad line count: " + w[2]};
        uint64_t lines = 0;
        for (const char c : bytes) {
            nmeaReceiveByte(static_cast<uint8_t>(c));
            if (linesPerPass != 0 && c == '\n' && ++lines % linesPerPass == 0) {
                hostUtcSeconds = host.utcNow();
                devicePass();
            }
        }
    } else if (cmd == "memory") {
        requireWords(w, 2, "memory FILE");
        const std::filesystem::path path = w[1];
        memoryPath = path.is_absolute() ? path : options.scriptDir / path;
        // A missing file is a first start; one that cannot be loaded is moved aside, or never
        // written when it cannot be.
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        const MemoryFileOpening opening = openMemoryFile(memoryPath.string().c_str(), stamp);
        if (!opening.message.empty()) (options.notes ? *options.notes : std::cerr) << "memory: " << opening.message << '\n';
        if (!opening.writable) memoryPath.clear();
        savedMemoryChange = memoryChangeCount;
    } else if (cmd == "sdcard") {
        requireWords(w, 2, "sdcard DIR");
        const std::filesystem::path dir = w[1];
        setSdCardFolder((dir.is_absolute() ? dir : options.scriptDir / dir).string().c_str());
    } else {
        throw LineError{"unknown command: " + cmd};
    }
}

}  // namespace

SimulatedHost::SimulatedHost() : clockBaseSeconds(kDefaultClock) {}

uint32_t SimulatedHost::utcNow() const
{
    return clockBaseSeconds + static_cast<uint32_t>((elapsedMs - clockBaseMs) / 1000);
}

void SimulatedHost::advanceMs(uint64_t ms, bool runPasses)
{
    const int msPerPass = 1000 / PASSES_PER_SECOND;
    for (uint64_t i = 0; i < ms; ++i) {
        ++elapsedMs;
        if (runPasses && elapsedMs % msPerPass == 0) {
            hostUtcSeconds = utcNow();
            devicePass();
        }
        if (++msSinceTick >= HOST_TICK_MS) {
            msSinceTick = 0;
            hostTick();
        }
    }
}

namespace {

// Runs one script's lines; a bad line throws its message with "line N: " before it.
void runLines(std::istream& script, SimulatedHost& host, const ScenarioOptions& options, std::ostream& out,
              ScriptStack& stack)
{
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        const std::vector<std::string> words = splitWords(line);
        if (words.empty()) continue;
        try {
            runCommand(words, line, host, options, out, stack);
        } catch (const LineError& e) {
            throw LineError{"line " + std::to_string(number) + ": " + e.message};
        }
        if (memoryChangeCount != savedMemoryChange) saveMemory(out);
    }
}

}  // namespace

bool runScenario(std::istream& script, const ScenarioOptions& options, std::ostream& out, std::string& error)
{
    SimulatedHost host;
    hostUtcSeconds = host.utcNow();
    memoryPath.clear();
    ScriptStack stack;
    if (!options.scriptPath.empty()) {
        std::error_code ec;
        stack.files.push_back(std::filesystem::weakly_canonical(options.scriptPath, ec));
    }
    try {
        runLines(script, host, options, out, stack);
    } catch (const LineError& e) {
        error = e.message;
        return false;
    }
    saveMemory(out);
    return true;
}

std::string screenHashText()
{
    // FNV-1a over the palette indices, as 16 hex digits.
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < size_t(SCREEN_WIDTH) * SCREEN_HEIGHT; ++i) {
        hash ^= framebuffer[i];
        hash *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

const char* scenarioVocabulary()
{
    return "Commands, one a line ('#' starts a comment):\n"
           "  power on|off               switch the instrument\n"
           "  pass N                     run N main-loop passes\n"
           "  tick N                     N host ticks of 100 ms, no passes\n"
           "  wait SECONDS               let time go by: one pass per ms, a tick per 100 ms\n"
           "  key NAME                   soft1..soft5, press, plus, minus, 1..8\n"
           "  clock YYYY-MM-DDTHH:MM:SSZ set the PC clock the instrument reads\n"
           "  input CAPTION VALUE        move a scroll bar of the window to VALUE\n"
           "  check CAPTION 0|1          set a check box of the window\n"
           "  set NAME VALUE             write a variable (NAME[i] for an element)\n"
           "  print NAME ...             print variables as NAME=VALUE\n"
           "  expect NAME VALUE          stop with an error unless NAME prints as VALUE\n"
           "  expect screen HASH         stop unless the display's pixels hash to HASH\n"
           "  screenshot FILE.png        write the display as an indexed PNG\n"
           "  nmea FILE [LINES]          feed a file to the GPS receiver (a pass every LINES lines)\n"
           "  memory FILE                keep the instrument's memory in FILE\n"
           "  sdcard DIR                 use DIR as the SD card\n"
           "  include FILE               run another script here (relative to this one)\n";
}

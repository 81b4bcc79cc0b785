// The scenario command interpreter: power, passes, ticks, waits, keys, clock, screenshots, print.
#include "scenario/scenario.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <iostream>
#include <sstream>
#include <vector>

#include "device.h"
#include "device_inputs.h"
#include "display/framebuffer.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "links/flightgear.h"
#include "gps/nmea.h"
#include "images/gif_writer.h"
#include "images/png_io.h"
#include "scenario/scenario_commands.h"
#include "scenario/variables.h"
#include "settings/sdcard.h"
#include "settings/settings_field.h"
#include "storage/storage.h"
#include "time/clock.h"
#include "time/memory.h"
#include "time/ecu_co.h"
#include "ui/screen.h"

namespace {

constexpr uint32_t kDefaultClock = 1767225600;  // 2026-01-01T00:00:00Z

struct LineError {
    std::string message;
};

// The memory file named by "memory FILE": written at "power off", after any command that
// changed the flight log, and at the end of the script.
std::filesystem::path memoryPath;
uint32_t savedMemoryChange = 0;

// The animated GIF of "gif FILE", sampled as simulated time goes by; ended by "gif stop" or the
// end of the run.
GifWriter gif;

void sampleGif(uint64_t elapsedMs)
{
    if (gif.due(elapsedMs)) gif.sample(framebuffer, elapsedMs);
}

// Where the frame of every seen pass goes, when the run is being checked.
std::FILE* seenFrames = nullptr;

// One pass at the host's time. A command that runs passes sees its last one, so the display is
// the last pass's frame whenever a command (screenshot, expect screen, power off, gif, the end of
// the script) looks at it.
void runPass(const SimulatedHost& host, bool seen)
{
    hostUtcSeconds = host.utcNow();
    devicePass(seen ? PassView::Seen : PassView::Unseen);
    if (seen && seenFrames) std::fwrite(framebuffer, 1, FRAMEBUFFER_SIZE, seenFrames);  // a failure shows at the file's end
}

// A relative picture path as a harness may collect a run's pictures in a folder of its own,
// with its folder made.
std::filesystem::path picturePath(const ParsedCommand& c, const ScenarioOptions& options)
{
    const std::filesystem::path shot = scenarioPath(c.path, options.outputDir.empty() ? options.scriptDir : options.outputDir);
    if (!shot.parent_path().empty()) {
        std::error_code ec;
        std::filesystem::create_directories(shot.parent_path(), ec);
    }
    return shot;
}

void saveMemory(std::ostream& out)
{
    if (memoryPath.empty()) return;
    savedMemoryChange = memoryChangeCount;
    std::string reason;
    if (!saveMemoryFile(memoryPath.string().c_str(), reason)) out << "memory: " << reason << '\n';
}

struct ScriptStack;
void runLines(std::istream& script, SimulatedHost& host, const ScenarioOptions& options, std::ostream& out,
              ScriptStack& stack);

// The scripts being run, outermost first, so an include cannot come back to one of them.
struct ScriptStack {
    std::vector<std::filesystem::path> files;
};

constexpr size_t kMaxIncludeDepth = 16;

// The element NAME[i] of an array variable, or the variable NAME itself.
const DeviceVariable* variableOrElement(const std::string& field, DeviceVariable& element)
{
    const DeviceVariable* v = findDeviceVariable(field);
    const size_t bracket = field.find('[');
    if (v || bracket == std::string::npos) {
        if (!v) throw LineError{"unknown variable: " + field};
        return v;
    }
    v = findDeviceVariable(std::string_view(field).substr(0, bracket));
    if (!v) throw LineError{"unknown variable: " + field.substr(0, bracket)};
    const LineError bad{"bad element (want NAME[INDEX]): " + field};
    if (field.back() != ']' || field.size() < bracket + 3) throw bad;
    int64_t index = -1;
    const char* first = field.data() + bracket + 1;
    const char* last = field.data() + field.size() - 1;
    const auto [end, ec] = std::from_chars(first, last, index);
    if (ec != std::errc() || end != last) throw bad;
    std::string reason;
    if (!deviceVariableElement(*v, index, element, reason)) throw LineError{reason};
    return &element;
}

// The printed value of NAME or NAME[i], as print shows it after the '='.
std::string printedValue(const std::string& name)
{
    if (name == "screen") return screenHashText();
    DeviceVariable element;
    const DeviceVariable* v = variableOrElement(name, element);
    if (v->count > 1 && v->type != VariableType::Text) throw LineError{name + " is an array: expect " + name + "[i]"};
    std::ostringstream text;
    printDeviceVariable(*v, text);
    std::string printed = text.str();
    if (!printed.empty() && printed.back() == '\n') printed.pop_back();
    const size_t equals = printed.find('=');
    return equals == std::string::npos ? printed : printed.substr(equals + 1);
}

// A capture of FlightGear's generic output (one corvex-ems packet a line): each packet's inputs
// at its time stamp, the instrument running in between; without time stamps ten packets a second.
// A jump back in time (a restart) or of more than a minute (a pause) does not wait.
void replayFlightgear(const std::filesystem::path& file, const std::filesystem::path& mapFile, SimulatedHost& host)
{
    std::string bytes;
    if (!readPlainFile(file.string().c_str(), bytes)) throw LineError{"cannot read " + file.string()};
    flightgear::Map loaded;
    if (!mapFile.empty()) {
        std::string error;
        if (!flightgear::loadMap(mapFile.string(), loaded, error)) throw LineError{error};
    }
    const flightgear::Map& map = mapFile.empty() ? flightgear::defaultMap() : loaded;
    std::istringstream in(bytes);
    std::string line;
    flightgear::Packet packet;
    flightgear::Inputs inputs;
    bool first = true;
    double lastTime = 0;
    while (std::getline(in, line)) {
        if (!flightgear::parsePacket(line, packet)) continue;
        flightgear::inputsForPacket(map, packet, inputs);
        uint64_t ms = first ? 0 : 100;
        if (inputs.hasTime) {
            const double step = inputs.time - lastTime;
            if (!first) ms = step > 0 && step <= 60 ? static_cast<uint64_t>(std::llround(step * 1000)) : 0;
            lastTime = inputs.time;
        }
        first = false;
        host.advanceMs(ms, true);
        flightgear::applyInputs(inputs);
    }
}

void runCommand(const ParsedCommand& c, SimulatedHost& host, const ScenarioOptions& options, std::ostream& out,
                ScriptStack& stack)
{
    const std::filesystem::path path = scenarioPath(c.path, options.scriptDir);
    switch (c.id) {
    case CommandId::Include: {
        // A pipe of the name would keep the run waiting: only a plain file is read.
        std::string text;
        if (!readPlainFile(path.string().c_str(), text)) throw LineError{"cannot read " + path.string()};
        std::istringstream in(text);
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
        break;
    }
    case CommandId::Expect: {
        const std::string got = printedValue(c.name);
        if (got != c.value) throw LineError{"expected " + c.name + "=" + c.value + ", got " + got};
        break;
    }
    case CommandId::Power:
        if (c.on) {
            hostUtcSeconds = host.utcNow();
            devicePowerOn();
        } else {
            devicePowerOff();
            saveMemory(out);
        }
        break;
    case CommandId::Pass:
        for (uint64_t i = 0; i < c.count; ++i) runPass(host, i + 1 == c.count);
        break;
    case CommandId::Tick:
        for (uint64_t i = 0; i < c.count; ++i) {
            host.elapsedMs += HOST_TICK_MS;
            hostTick();
            sampleGif(host.elapsedMs);
        }
        break;
    case CommandId::Wait: host.advanceMs(c.ms, true); break;
    case CommandId::Key: devicePressKey(c.key); break;
    case CommandId::Clock:
        host.clockBaseSeconds = c.clock;
        host.clockBaseMs = host.elapsedMs;
        hostUtcSeconds = host.utcNow();
        break;
    case CommandId::Screenshot: {
        const std::filesystem::path shot = picturePath(c, options);
        if (!writeIndexedPng(shot.string(), framebuffer, SCREEN_WIDTH, SCREEN_HEIGHT))
            throw LineError{"cannot write " + shot.string()};
        break;
    }
    case CommandId::Gif: {
        std::string reason;
        if (!c.on) {
            if (!gif.close(host.elapsedMs, reason)) throw LineError{reason};
            break;
        }
        if (gif.isOpen()) throw LineError{"a GIF is being written to " + gif.path() + " (gif stop ends it)"};
        if (!gif.open(picturePath(c, options).string(), static_cast<unsigned>(c.count), host.elapsedMs, reason))
            throw LineError{reason};
        gif.sample(framebuffer, host.elapsedMs);
        break;
    }
    case CommandId::Print:
        for (size_t i = 1; i < c.words.size(); ++i) {
            const DeviceVariable* v = findDeviceVariable(c.words[i]);
            if (!v) throw LineError{"unknown variable: " + c.words[i]};
            printDeviceVariable(*v, out);
        }
        break;
    case CommandId::Set: {
        std::string reason;
        if (!setScenarioVariable(c.name, c.value, reason)) throw LineError{reason};
        break;
    }
    case CommandId::Input:
        setInputControl(findInputControl(c.name.c_str())->id, c.position);
        break;
    case CommandId::Check: setSwitchControl(findSwitchControl(c.name.c_str())->id, c.on); break;
    case CommandId::Nmea: {
        // The file's bytes to the NMEA receiver, as the serial link hands them over; with LINES,
        // one pass follows every LINES lines, as if they arrived spread over the passes.
        std::string bytes;
        if (!readPlainFile(path.string().c_str(), bytes)) throw LineError{"cannot read " + path.string()};
        uint64_t lines = 0;
        const uint64_t passes = c.count == 0 ? 0 : static_cast<uint64_t>(std::count(bytes.begin(), bytes.end(), '\n')) / c.count;
        for (const char ch : bytes) {
            nmeaReceiveByte(static_cast<uint8_t>(ch));
            if (c.count != 0 && ch == '\n' && ++lines % c.count == 0) runPass(host, lines / c.count == passes);
        }
        break;
    }
    case CommandId::Memory: {
        memoryPath = path;
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
        break;
    }
    case CommandId::Sdcard: setSdCardFolder(path.string().c_str()); break;
    case CommandId::Flightgear: replayFlightgear(path, c.value.empty() ? std::filesystem::path{} : scenarioPath(c.value, options.scriptDir), host); break;
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
        if (runPasses && elapsedMs % msPerPass == 0) runPass(*this, i + msPerPass >= ms || gif.due(elapsedMs));
        if (++msSinceTick >= HOST_TICK_MS) {
            msSinceTick = 0;
            hostTick();
        }
        sampleGif(elapsedMs);
    }
}

namespace {

// Runs one script's lines; a bad line throws its message with "line N: " before it.
void runLines(std::istream& script, SimulatedHost& host, const ScenarioOptions& options, std::ostream& out,
              ScriptStack& stack)
{
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        ParsedCommand command;
        std::string error;
        try {
            if (!parseScenarioLine(line, command, error)) {
                if (error.empty()) continue;
                throw LineError{error};
            }
            runCommand(command, host, options, out, stack);
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
    seenFrames = options.seenFrames;
    ScriptStack stack;
    if (!options.scriptPath.empty()) {
        std::error_code ec;
        stack.files.push_back(std::filesystem::weakly_canonical(options.scriptPath, ec));
    }
    try {
        runLines(script, host, options, out, stack);
    } catch (const LineError& e) {
        seenFrames = nullptr;
        error = e.message;
        std::string ignored;
        if (gif.isOpen()) gif.close(host.elapsedMs, ignored);  // what was recorded up to the error
        return false;
    }
    seenFrames = nullptr;
    saveMemory(out);
    if (gif.isOpen() && !gif.close(host.elapsedMs, error)) {
        error = "at the end: " + error;
        return false;
    }
    return true;
}

bool setScenarioVariable(const std::string& name, const std::string& value, std::string& error)
{
    try {
        DeviceVariable element;
        const DeviceVariable* v = variableOrElement(name, element);
        return setDeviceVariable(*v, value, error);
    } catch (const LineError& e) {
        error = e.message;
        return false;
    }
}

std::vector<std::string> settingsSetLines()
{
    std::vector<std::string> lines;
    size_t count = 0;
    const NamedSettingsField* fields = settingsFieldNames(count);
    const Settings& factory = factorySettings();
    for (size_t i = 0; i < count; ++i) {
        const SettingsField& f = fields[i].field;
        const std::string name = fields[i].name;
        if (f.width == FieldWidth::Text) {
            const auto* now = reinterpret_cast<const char*>(&settings) + f.offset;
            const auto* was = reinterpret_cast<const char*>(&factory) + f.offset;
            const std::string text(now, strnlen(now, f.count));
            if (text != std::string(was, strnlen(was, f.count))) lines.push_back("set " + name + " \"" + text + '"');
            continue;
        }
        for (int e = 0; e < f.count; ++e) {
            const int64_t value = f.load(&settings, e);
            if (value == f.load(&factory, e)) continue;
            lines.push_back("set " + name + (f.count > 1 ? "[" + std::to_string(e) + "]" : "") + " " +
                            std::to_string(value));
        }
    }
    return lines;
}

std::vector<std::string> keptStateSetLines()
{
    // The memory image's values (see clearMemory) and the zero that resetCalibration keeps.
    static const std::string_view kept[] = {
        "hobbsHours", "hobbsHundredths", "hobbsStepCount", "maintHours", "maintMinutes", "maintStepCount",
        "clockOffsetSeconds", "flightInProgress", "flightSeconds", "flightLogCount", "currentZero",
        "currentFlight.", "flightLog.",
    };
    std::vector<std::string> lines;
    for (const DeviceVariable& v : allDeviceVariables()) {
        const std::string_view name = v.name;
        bool wanted = false;
        for (const std::string_view k : kept) wanted |= k.back() == '.' ? name.starts_with(k) : name == k;
        if (!wanted) continue;
        std::ostringstream printed;
        printDeviceVariable(v, printed);
        std::istringstream in(printed.str());
        for (std::string line; std::getline(in, line);) {
            const size_t equals = line.find('=');
            if (line.substr(equals + 1) != "0") lines.push_back("set " + line.substr(0, equals) + " " + line.substr(equals + 1));
        }
    }
    if (currentScreen != homeScreen) lines.push_back("set currentScreen " + printedValue("currentScreen"));
    return lines;
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


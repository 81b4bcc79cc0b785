// The web edition's host: what the window does around the core, for a page. The page calls these
// functions (web/corvex.js); everything the instrument shows or does is the core's, and the
// presets and scripts go through the runner's command table.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "device.h"
#include "device_inputs.h"
#include "device_readings.h"
#include "display/framebuffer.h"
#include "gps/nmea.h"
#include "panel/backlight.h"
#include "links/nmea_log.h"
#include "panel/panel_layout.h"
#include "scenario/scenario.h"
#include "scenario/scenario_commands.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/memory.h"
#include "web/web_shots.h"

namespace {

// After a stall (a hidden tab, a slow frame), passes do not race to catch up.
constexpr uint64_t kMaxPassesPerBatch = 50;
constexpr double kMaxTicksPerCall = 10;
constexpr int kNmeaEpochMs = 1000;

// The positions the page's controls show, kept as the host sets them.
int32_t positions[INPUT_CONTROL_COUNT] = {};
bool switches[std::size(switchControls)] = {};

// The pass clock of this power cycle, in the page's milliseconds.
double powerOnMs = 0;
uint64_t passesStarted = 0;
bool passing = false;
double ticksDoneMs = -1;

// The instrument's memory file; empty when it must not be written.
std::string memoryPath;
uint32_t savedMemoryChange = 0;

// A played NMEA log: its epochs spread over a second each, from playStartMs.
std::vector<NmeaEpoch> epochs;
size_t epochIndex = 0, sentenceIndex = 0;
double playStartMs = 0;
uint32_t sentencesAccepted = 0;

// What the display shows: the palette through the backlight, and the last frame presented.
uint32_t rgba[FRAMEBUFFER_SIZE];
uint8_t presented[FRAMEBUFFER_SIZE];
uint32_t backlitRgba[256];
int presentedBacklight = -1;

std::string text;  // the last string handed to the page

const char* hand(std::string value)
{
    text = std::move(value);
    return text.c_str();
}

void saveMemory()
{
    if (memoryPath.empty()) return;
    savedMemoryChange = memoryChangeCount;
    std::string reason;
    if (!saveMemoryFile(memoryPath.c_str(), reason)) std::fprintf(stderr, "memory: %s\n", reason.c_str());
}

// One main-loop pass. `shown` marks the pass whose picture the page presents (the last of a
// batch); every pass draws for now.
bool runPass(bool shown)
{
    (void)shown;
    return devicePass();
}

// The input and check lines of a preset or script, as the page's controls then show them.
void followControls(const ParsedCommand& c)
{
    if (c.id == CommandId::Input) {
        if (const InputControlInfo* info = findInputControl(c.name.c_str())) positions[static_cast<int>(info->id)] = c.position;
    } else if (c.id == CommandId::Check) {
        if (const SwitchControlInfo* info = findSwitchControl(c.name.c_str())) switches[static_cast<int>(info->id)] = c.on;
    }
}

void feedNmea(const std::string& sentence)
{
    for (const char ch : sentence)
        if (nmeaReceiveByte(static_cast<uint8_t>(ch))) ++sentencesAccepted;
}

void playDueSentences(double nowMs)
{
    while (epochIndex < epochs.size()) {
        const double due = playStartMs + static_cast<double>(epochIndex) * kNmeaEpochMs +
                           static_cast<double>(sentenceIndex) * kNmeaEpochMs / static_cast<double>(epochs[epochIndex].size());
        if (due > nowMs) return;
        feedNmea(epochs[epochIndex][sentenceIndex]);
        if (++sentenceIndex == epochs[epochIndex].size()) {
            ++epochIndex;
            sentenceIndex = 0;
        }
    }
}

void appendJsonString(std::string& out, const char* s)
{
    out += '"';
    for (; *s; ++s) {
        if (*s == '"' || *s == '\\') out += '\\';
        out += *s;
    }
    out += '"';
}

void appendRect(std::string& out, const panel::Rect& r)
{
    out += "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width) + "," +
           std::to_string(r.height) + "]";
}

}  // namespace

extern "C" {

// The page's start: factory settings, the memory from its file (STAMP names a damaged file's kept
// copy), the card's folder, and the inputs of an idling engine (PRESET, the runner's lines).
EMSCRIPTEN_KEEPALIVE const char* corvexStart(const char* memoryFile, const char* stamp, const char* cardFolder)
{
    resetDevice();
    loadDefaultSettings();
    memoryPath = memoryFile;
    const MemoryFileOpening opening = openMemoryFile(memoryFile, stamp);
    if (!opening.writable) memoryPath.clear();
    savedMemoryChange = memoryChangeCount;
    setSdCardFolder(cardFolder);
    for (const InputControlInfo& info : inputControls) {
        positions[static_cast<int>(info.id)] = info.start;
        setInputControl(info.id, info.start);
    }
    for (const SwitchControlInfo& info : switchControls) {
        switches[static_cast<int>(info.id)] = info.start;
        setSwitchControl(info.id, info.start);
    }
    return hand(opening.message);
}

// The page's tables as JSON: the inputs, the switches, the panel's places, the presets, the keys,
// the version.
EMSCRIPTEN_KEEPALIVE const char* corvexDescribe()
{
    std::string out = "{\"version\":\"" CORVEX_VERSION "\",\"inputs\":[";
    for (const InputControlInfo& info : inputControls) {
        if (&info != inputControls) out += ',';
        out += "{\"caption\":";
        appendJsonString(out, info.caption);
        out += ",\"min\":" + std::to_string(info.minimum) + ",\"max\":" + std::to_string(info.maximum) + "}";
    }
    out += "],\"switches\":[";
    for (const SwitchControlInfo& info : switchControls) {
        if (&info != switchControls) out += ',';
        appendJsonString(out, info.caption);
    }
    out += "],\"panel\":{\"size\":[" + std::to_string(panel::kWidth) + "," + std::to_string(panel::kHeight) + "],\"display\":";
    appendRect(out, panel::kDisplay);
    out += ",\"keys\":[";
    for (const panel::KeyPlace& k : panel::kKeyPlaces) {
        if (&k != panel::kKeyPlaces) out += ',';
        out += "{\"code\":" + std::to_string(k.code) + ",\"place\":";
        appendRect(out, k.place);
        out += "}";
    }
    out += "],\"buttons\":[";
    for (const panel::ButtonPlace& b : panel::kButtons) {
        if (&b != panel::kButtons) out += ',';
        out += "{\"id\":" + std::to_string(static_cast<int>(b.id)) + ",\"caption\":";
        appendJsonString(out, b.caption);
        out += ",\"font\":" + std::to_string(b.fontPixels) + ",\"bold\":" + (b.bold ? "true" : "false") + ",\"place\":";
        appendRect(out, b.place);
        out += "}";
    }
    out += "],\"lamps\":[";
    for (const panel::LampPlace& l : panel::kLamps) {
        if (&l != panel::kLamps) out += ',';
        out += "{\"name\":";
        appendJsonString(out, l.name);
        out += ",\"colour\":" + std::to_string(l.colour) + ",\"place\":";
        appendRect(out, l.place);
        out += "}";
    }
    out += "]},\"presets\":[";
    for (const panel::Preset& p : panel::kPresets) {
        if (&p != panel::kPresets) out += ',';
        out += "{\"title\":";
        appendJsonString(out, p.title);
        out += ",\"file\":";
        appendJsonString(out, p.file);
        out += "}";
    }
    out += "],\"keyBindings\":[";
    for (const panel::KeyBinding& b : panel::kKeyBindings) {
        if (&b != panel::kKeyBindings) out += ',';
        out += "{\"key\":";
        appendJsonString(out, b.keyName);
        out += ",\"code\":" + std::to_string(b.code) + ",\"action\":";
        appendJsonString(out, b.action);
        out += "}";
    }
    out += "]}";
    return hand(std::move(out));
}

EMSCRIPTEN_KEEPALIVE void corvexPower(int on, double nowMs, uint32_t utcSeconds)
{
    if (!on) {
        devicePowerOff();
        return;
    }
    if (deviceIsOn()) return;
    hostUtcSeconds = utcSeconds;
    devicePowerOn();
    powerOnMs = nowMs;
    passesStarted = 0;
    passing = true;
}

// The passes due by nowMs (the page's clock) at the instrument's rate, at most 50 at once, and
// the host ticks every 100 ms. Returns 1 when memory or card files may have changed, so the
// page writes its storage out.
EMSCRIPTEN_KEEPALIVE int corvexAdvance(double nowMs, uint32_t utcSeconds)
{
    int changed = 0;
    hostUtcSeconds = utcSeconds;
    playDueSentences(nowMs);
    if (passing) {
        const auto due = static_cast<uint64_t>((nowMs - powerOnMs) * PASSES_PER_SECOND / 1000);
        if (due > passesStarted) {
            uint64_t batch = due - passesStarted;
            if (batch > kMaxPassesPerBatch) {
                passesStarted = due - kMaxPassesPerBatch;
                batch = kMaxPassesPerBatch;
            }
            for (uint64_t i = 0; i < batch; ++i) {
                ++passesStarted;
                if (!runPass(i + 1 == batch)) {
                    passing = false;
                    saveMemory();
                    changed = 1;
                    break;
                }
            }
        }
    }
    if (memoryChangeCount != savedMemoryChange) {
        saveMemory();
        changed = 1;
    }
    if (ticksDoneMs < 0 || nowMs - ticksDoneMs > kMaxTicksPerCall * HOST_TICK_MS) ticksDoneMs = nowMs;
    while (nowMs - ticksDoneMs >= HOST_TICK_MS) {
        ticksDoneMs += HOST_TICK_MS;
        hostTick();
    }
    return changed;
}

// The passes run in this power cycle (the page's measure of its rate).
EMSCRIPTEN_KEEPALIVE double corvexPassesRun() { return static_cast<double>(passesStarted); }

// Bit 0: the power lamp; bit 1: the ALARM lamp.
EMSCRIPTEN_KEEPALIVE int corvexLamps() { return (deviceIsOn() ? 1 : 0) | (deviceAlarmLampLit() ? 2 : 0); }

EMSCRIPTEN_KEEPALIVE void corvexKey(int code) { devicePressKey(static_cast<uint8_t>(code)); }

EMSCRIPTEN_KEEPALIVE int corvexKeyForName(const char* name) { return panel::instrumentKeyForName(name); }

// The display as RGBA bytes (480 x 272) through the backlight, refreshed only when the frame or
// the backlight changed: returns its address then, else 0.
EMSCRIPTEN_KEEPALIVE uint32_t* corvexPresent()
{
    const bool newLevel = settings.backlight != presentedBacklight;
    if (!newLevel && std::memcmp(presented, framebuffer, FRAMEBUFFER_SIZE) == 0) return nullptr;
    if (newLevel) {
        presentedBacklight = settings.backlight;
        for (int i = 0; i < 256; ++i) {
            const uint32_t c = backlitColour(palette[i], settings.backlight);
            backlitRgba[i] = ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16) | 0xFF000000u;
        }
    }
    std::memcpy(presented, framebuffer, FRAMEBUFFER_SIZE);
    for (int i = 0; i < FRAMEBUFFER_SIZE; ++i) rgba[i] = backlitRgba[framebuffer[i]];
    return rgba;
}

// The display's palette indices as one hash (as "expect screen" and the runner's tests use).
EMSCRIPTEN_KEEPALIVE const char* corvexScreenHash() { return hand(screenHashText()); }

EMSCRIPTEN_KEEPALIVE int corvexInputPosition(int index) { return positions[index]; }
EMSCRIPTEN_KEEPALIVE int corvexSwitch(int index) { return switches[index] ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE void corvexSetInput(int index, int position)
{
    const InputControlInfo& info = inputControls[index];
    if (setInputControl(info.id, position)) positions[index] = position;
}

EMSCRIPTEN_KEEPALIVE void corvexSetSwitch(int index, int on)
{
    switches[index] = on != 0;
    setSwitchControl(switchControls[index].id, on != 0);
}

// What the instrument makes of the input's position ("4795 RPM"), as the window's bar shows it.
EMSCRIPTEN_KEEPALIVE const char* corvexReading(int index)
{
    char shown[48];
    formatInputReading(inputReading(inputControls[index].id, positions[index]), shown, sizeof shown);
    return hand(shown);
}

// Runs the runner's lines as corvex-ems-run runs a script, with relative paths from scriptDir:
// a preset's input and check lines, or a whole script in lockstep (FRESH: from factory settings
// and the instrument off, as a fresh runner starts, the page's stored memory no longer written
// until the page is loaded again). Returns "" or the runner's "line N: ..."; the
// printed output and the screenshots' hashes follow with corvexScriptOutput.
std::string scriptOutput;

EMSCRIPTEN_KEEPALIVE const char* corvexRunLines(const char* lines, const char* scriptDir, int fresh)
{
    if (fresh) {
        // The stored memory is the page's, not the script's: nothing of the run is written there.
        resetDevice();
        memoryPath.clear();
        passing = false;
        epochs.clear();
    }
    std::istringstream in(lines);
    std::ostringstream out;
    ScenarioOptions options;
    options.scriptDir = scriptDir;
    options.outputDir = "/shots";
    std::string error;
    const bool ok = runScenario(in, options, out, error);
    std::istringstream again(lines);
    for (std::string line; std::getline(again, line);) {
        ParsedCommand c;
        std::string ignored;
        if (parseScenarioLine(line, c, ignored)) followControls(c);
    }
    scriptOutput = out.str();
    return hand(ok ? "" : error);
}

EMSCRIPTEN_KEEPALIVE const char* corvexScriptOutput() { return hand(scriptOutput); }
EMSCRIPTEN_KEEPALIVE const char* corvexScreenshots() { return hand(takeScreenshotLog()); }

// Plays a recorded NMEA log (a file of the page's file system) from nowMs, an epoch a second.
// Returns the epochs, 0 when the file holds none.
EMSCRIPTEN_KEEPALIVE int corvexPlayNmea(const char* path, double nowMs)
{
    std::ifstream in(path, std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    epochs = splitNmeaLog(log);
    epochIndex = sentenceIndex = 0;
    playStartMs = nowMs;
    return static_cast<int>(epochs.size());
}

EMSCRIPTEN_KEEPALIVE void corvexStopNmea() { epochs.clear(); }

// "EPOCH EPOCHS ACCEPTED": the playback's progress and the sentences the receiver accepted.
EMSCRIPTEN_KEEPALIVE const char* corvexNmeaStatus()
{
    return hand(std::to_string(epochIndex) + " " + std::to_string(epochs.size()) + " " + std::to_string(sentencesAccepted));
}

// Writes the memory now (the page is being left).
EMSCRIPTEN_KEEPALIVE void corvexSaveMemory() { saveMemory(); }

}  // extern "C"

// The monkey's walk: every input a person or the serial link can give, weighted toward the knob,
// replayable as a runner script (each event is recorded as the script line that does the same).
#include "monkey_walk.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "device.h"
#include "device_inputs.h"
#include "gps/nmea.h"
#include "scenario/scenario.h"
#include "scenario/variables.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "ui/home.h"
#include "ui/screen.h"
#include "ui/screen_registry.h"

namespace {

constexpr size_t kHistory = 50;

struct Event {
    std::string line;   // the runner line
    std::string bytes;  // NMEA bytes, for "nmea FILE"
};

class Monkey {
public:
    Monkey(uint32_t seed, const std::filesystem::path& outDir) : random(seed), seed(seed), outDir(outDir)
    {
        screens = registeredScreens(screenCount);
        visited.assign(screenCount, false);
    }

    MonkeyResult run(uint64_t target, const std::filesystem::path& card);

private:
    uint32_t pick(uint32_t n) { return static_cast<uint32_t>(random() % n); }
    void record(std::string line, std::string bytes = {})
    {
        history[next % kHistory] = Event{std::move(line), std::move(bytes)};
        ++next;
    }
    void setVariable(const std::string& name, const std::string& value);
    void applyEvent();
    void nmeaEvent();
    bool checkPass(std::string& failure);
    std::string script();

    std::mt19937 random;
    uint32_t seed;
    std::filesystem::path outDir;
    SimulatedHost host;
    const RegisteredScreen* screens = nullptr;
    size_t screenCount = 0;
    std::vector<bool> visited;
    std::array<Event, kHistory> history;
    uint64_t next = 0;
    uint64_t passes = 0;
};

void Monkey::setVariable(const std::string& name, const std::string& value)
{
    const DeviceVariable* v = findDeviceVariable(name);
    std::string error;
    if (v && setDeviceVariable(*v, value, error)) record("set " + name + " " + value);
}

// One NMEA sentence with a good checksum, or one damaged on its way: a flipped byte, a cut,
// a lost line end or plain noise.
void Monkey::nmeaEvent()
{
    static const char* const kinds[] = {"GPRMC", "GPGGA", "GPGSA", "GPGSV", "GNRMC", "GPVTG"};
    char body[160];
    const char* kind = kinds[pick(6)];
    switch (pick(4)) {
    case 0:
        std::snprintf(body, sizeof body, "%s,%02u%02u%02u.00,%c,%04u.%04u,N,%05u.%04u,W,%u.%u,%u.%u,%02u%02u%02u,%u.%u,E,A",
                      kind, pick(24), pick(60), pick(60), pick(4) ? 'A' : 'V', pick(9000), pick(10000), pick(18000),
                      pick(10000), pick(999), pick(10), pick(360), pick(10), 1 + pick(31), 1 + pick(12), pick(100),
                      pick(30), pick(10));
        break;
    case 1:
        std::snprintf(body, sizeof body, "%s,%02u%02u%02u,%04u.%04u,S,%05u.%04u,E,%u,%02u,%u.%u,%u.%u,M,%d.%u,M,,",
                      kind, pick(24), pick(60), pick(60), pick(9000), pick(10000), pick(18000), pick(10000), pick(9),
                      pick(40), pick(99), pick(10), pick(20000), pick(10), static_cast<int>(pick(200)) - 100, pick(10));
        break;
    case 2:
        std::snprintf(body, sizeof body, "%s,%u,%u,%02u,%02u,%02u,%02u,%u,%u,%03u,%u,%02u,%02u,%03u,%u", kind,
                      1 + pick(9), 1 + pick(9), pick(99), pick(99), pick(90), pick(360), pick(99), pick(99),
                      pick(400), pick(99), pick(99), pick(99), pick(400), pick(99));
        break;
    default: {
        size_t n = 1 + pick(150);
        for (size_t i = 0; i < n; ++i) body[i] = static_cast<char>(' ' + pick(95));
        body[n] = '\0';
    }
    }
    uint8_t sum = 0;
    for (const char* c = body; *c; ++c) sum ^= static_cast<uint8_t>(*c);
    char sentence[200];
    std::snprintf(sentence, sizeof sentence, "$%s*%02X\r\n", body, unsigned{sum});
    std::string bytes = sentence;
    if (pick(3) == 0) {  // corrupted on the wire
        switch (pick(4)) {
        case 0: bytes[pick(static_cast<uint32_t>(bytes.size()))] = static_cast<char>(random()); break;
        case 1: bytes.resize(pick(static_cast<uint32_t>(bytes.size()))); break;
        case 2: bytes.erase(bytes.size() - 2); break;
        default:
            bytes.clear();
            for (uint32_t i = 0, n = 1 + pick(300); i < n; ++i) bytes += static_cast<char>(random());
        }
    }
    for (const char c : bytes) nmeaReceiveByte(static_cast<uint8_t>(c));
    record("nmea monkey-" + std::to_string(seed) + "-" + std::to_string(next) + ".nmea", bytes);
}

void Monkey::applyEvent()
{
    static const char* const knob[] = {"plus", "minus", "press"};
    static const char* const soft[] = {"soft1", "soft2", "soft3", "soft4", "soft5"};
    const uint32_t roll = pick(1000);
    if (roll < 450) {  // the knob
        const char* name = knob[pick(10) < 4 ? 0 : pick(10) < 7 ? 1 : 2];
        devicePressKey(name[1] == 'l' ? KeyKnobPlus : name[1] == 'i' ? KeyKnobMinus : KeyKnobPress);
        record(std::string("key ") + name);
    } else if (roll < 650) {
        const uint32_t k = pick(5);
        devicePressKey(static_cast<uint8_t>(KeySoft1 + k));
        record(std::string("key ") + soft[k]);
    } else if (roll < 800) {  // a scroll bar anywhere over its range, often at an end
        const InputControlInfo& c = inputControls[pick(INPUT_CONTROL_COUNT)];
        const uint32_t span = static_cast<uint32_t>(c.maximum - c.minimum) + 1;
        const uint32_t where = pick(4);
        const int32_t position = where == 0 ? c.minimum : where == 1 ? c.maximum
                                                                      : c.minimum + static_cast<int32_t>(pick(span));
        setInputControl(c.id, position);
        record(std::string("input ") + c.caption + " " + std::to_string(position));
    } else if (roll < 830) {
        const SwitchControlInfo& c = switchControls[pick(4)];
        const bool ticked = pick(2) != 0;
        setSwitchControl(c.id, ticked);
        record(std::string("check ") + c.caption + (ticked ? " 1" : " 0"));
    } else if (roll < 832) {  // a power cycle
        devicePowerOff();
        devicePass();
        hostUtcSeconds = host.utcNow();
        devicePowerOn();
        record("power off");
        record("pass 1");
        record("power on");
    } else if (roll < 840) {  // the PC clock jumps, anywhere from 1970 to 2099
        const uint32_t seconds = static_cast<uint32_t>(random() % 4102444800u);
        const DateTime t = secondsToDateTime(seconds);
        char text[32];
        std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", unsigned{t.year}, unsigned{t.month},
                      unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute}, unsigned{t.second});
        host.clockBaseSeconds = seconds;
        host.clockBaseMs = host.elapsedMs;
        hostUtcSeconds = host.utcNow();
        record(std::string("clock ") + text);
    } else if (roll < 960) {
        nmeaEvent();
    } else if (deviceIsOn()) {  // straight to a screen the keys are slow to reach
        const RegisteredScreen& s = screens[pick(static_cast<uint32_t>(screenCount))];
        // CALIBRATE SENDER edits a copy of one sender's curve that only its opener makes; jumped
        // into, it would store whatever copy it holds. The keys reach it from the sender screens.
        if (std::strcmp(s.name, "calibrateSenderScreen") == 0) return;
        if (s.overlay) {
            setVariable("currentScreen", "homeScreen");
            setVariable("overlayScreen", s.name);
            setVariable("overlayTimeout", "5");
        } else {
            setVariable("currentScreen", s.name);
        }
    }
}

bool Monkey::checkPass(std::string& failure)
{
    if (!deviceIsOn()) return true;
    if (devicePhase == DevicePhase::Running && pendingKey != 0) {
        failure = "pendingKey " + std::to_string(pendingKey) + " not consumed";
        return false;
    }
    const char* current = screenName(currentScreen);
    const char* overlay = screenName(overlayScreen);
    if (!current || !overlay) {
        failure = std::string("unknown screen: currentScreen ") + (current ? current : "?") + ", overlayScreen " +
                  (overlay ? overlay : "?");
        return false;
    }
    for (size_t i = 0; i < screenCount; ++i)
        if (screens[i].function == currentScreen || screens[i].function == overlayScreen) visited[i] = true;
    // Every field within its screen's range: the recall's repair would change nothing.
    // The tank screens allow more than a recall keeps: a size wrapping through 0, and low
    // marks above a size made smaller (they step down when next edited).
    static Settings before;
    before = settings;
    sanitiseSettings();
    settings.tank1Size = before.tank1Size, settings.tank2Size = before.tank2Size;
    settings.tank1LowAlarm = before.tank1LowAlarm, settings.tank1LowCaution = before.tank1LowCaution;
    settings.tank2LowAlarm = before.tank2LowAlarm, settings.tank2LowCaution = before.tank2LowCaution;
    // CALIBRATE SENDER edits each point on its own, so two neighbours may share a reading, which
    // a recall would take for a damaged curve; each field must still be in its line's range.
    SenderCurve* curves[9] = {&settings.fuelPressureSender.curve};
    const SenderCurve* old[9] = {&before.fuelPressureSender.curve};
    for (int i = 0; i < 4; ++i) {
        curves[1 + i] = &settings.pressureSender[i].curve, old[1 + i] = &before.pressureSender[i].curve;
        curves[5 + i] = &settings.temperatureSender[i].curve, old[5 + i] = &before.temperatureSender[i].curve;
    }
    for (int i = 0; i < 9; ++i) {
        bool inRange = old[i]->pointCount >= 2 && old[i]->pointCount <= 16;
        for (const SenderPoint& p : old[i]->points)
            inRange = inRange && p.value >= 0 && p.value <= 999 && p.reading >= 0 && p.reading <= 4095;
        if (inRange) *curves[i] = *old[i];
    }
    const bool same = std::memcmp(&before, &settings, sizeof settings) == 0;
    if (!same) {
        size_t at = 0;
        const auto* a = reinterpret_cast<const uint8_t*>(&before);
        const auto* b = reinterpret_cast<const uint8_t*>(&settings);
        while (a[at] == b[at]) ++at;
        failure = "settings byte " + std::to_string(at) + " outside its range (" + std::to_string(a[at]) +
                  ", repaired to " + std::to_string(b[at]) + ")";
        settings = before;
        return false;
    }
    return true;
}

std::string Monkey::script()
{
    std::ostringstream out;
    out << "# monkey seed " << seed << ", pass " << passes << ": the last " << kHistory << " events\n";
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    for (uint64_t i = next > kHistory ? next - kHistory : 0; i < next; ++i) {
        const Event& e = history[i % kHistory];
        out << e.line << '\n';
        if (!e.bytes.empty() || e.line.rfind("nmea ", 0) == 0)
            std::ofstream(outDir / e.line.substr(5), std::ios::binary) << e.bytes;
    }
    return out.str();
}

MonkeyResult Monkey::run(uint64_t target, const std::filesystem::path& card)
{
    MonkeyResult result;
    result.seed = seed;
    resetDevice();
    setSdCardFolder(card.string().c_str());
    hostUtcSeconds = host.utcNow();
    devicePowerOn();
    record("sdcard " + card.string());
    record("power on");
    uint32_t waited = 0;
    while (passes < target) {
        applyEvent();
        ++result.events;
        // Between 1 and 40 passes before the next event; a person rarely presses faster.
        const uint32_t n = 1 + pick(40);
        for (uint32_t i = 0; i < n && passes < target; ++i) {
            host.advanceMs(1, true);
            ++passes;
            ++waited;
            std::string failure;
            if (!checkPass(failure)) {
                record("wait " + std::to_string(waited / 1000.0).substr(0, 8));
                result.ok = false;
                result.failure = failure;
                result.script = script();
                std::ofstream(outDir / ("monkey-" + std::to_string(seed) + ".scn")) << result.script;
                break;
            }
        }
        if (!result.ok) break;
        char text[32];
        std::snprintf(text, sizeof text, "wait %.3f", waited / 1000.0);
        record(text);
        waited = 0;
    }
    result.passes = passes;
    result.screensTotal = screenCount;
    for (const bool v : visited) result.screensVisited += v;
    return result;
}

}  // namespace

MonkeyResult runMonkey(uint32_t seed, uint64_t passes, const std::filesystem::path& card,
                       const std::filesystem::path& outDir)
{
    Monkey monkey(seed, outDir);
    return monkey.run(passes, card);
}

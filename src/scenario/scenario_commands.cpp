#include "scenario/scenario_commands.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "device_inputs.h"
#include "images/gif_writer.h"
#include "time/clock.h"
#include "ui/screen.h"

namespace {

struct ParseError {
    std::string message;
};

using Words = std::vector<std::string>;

constexpr const char* kKeyNames[] = {"", "soft1", "soft2", "soft3", "soft4", "soft5", "press", "plus", "minus"};

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
        if (value.size() < 2 || value.back() != '"') throw ParseError{"missing closing quote: " + value};
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

uint64_t parseCount(const std::string& text, const char* what)
{
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value > 100'000'000)
        throw ParseError{std::string("bad ") + what + ": " + text};
    return value;
}

uint8_t parseKey(const std::string& name)
{
    for (uint8_t code = 1; code <= 8; ++code)
        if (name == kKeyNames[code]) return code;
    if (name.size() == 1 && name[0] >= '1' && name[0] <= '8') return static_cast<uint8_t>(name[0] - '0');
    throw ParseError{"unknown key: " + name};
}

uint32_t parseClock(const std::string& text)
{
    uint32_t seconds = 0;
    if (!parseUtcText(text, seconds)) throw ParseError{"bad clock (want YYYY-MM-DDTHH:MM:SSZ): " + text};
    return seconds;
}

// A control's caption is every word between the command and the value.
std::string captionOf(const Words& w)
{
    std::string caption = w[1];
    for (size_t i = 2; i + 1 < w.size(); ++i) caption += " " + w[i];
    return caption;
}

struct Command {
    ScenarioCommandInfo info;
    CommandId id;
    size_t minWords, maxWords;  // the line's words, the command included
    void (*parse)(const Words& w, const std::string& line, ParsedCommand& c);
};

constexpr size_t kAny = SIZE_MAX;

const Command kCommands[] = {
    {{"power", "power on|off", "switch the instrument"}, CommandId::Power, 2, 2,
     [](const Words& w, const std::string&, ParsedCommand& c) {
         if (w[1] != "on" && w[1] != "off") throw ParseError{"usage: power on|off"};
         c.on = w[1] == "on";
     }},
    {{"pass", "pass N", "run N main-loop passes"}, CommandId::Pass, 2, 2,
     [](const Words& w, const std::string&, ParsedCommand& c) { c.count = parseCount(w[1], "pass count"); }},
    {{"tick", "tick N", "N host ticks of 100 ms, no passes"}, CommandId::Tick, 2, 2,
     [](const Words& w, const std::string&, ParsedCommand& c) { c.count = parseCount(w[1], "tick count"); }},
    {{"wait", "wait SECONDS", "let time go by: one pass per ms, a tick per 100 ms"}, CommandId::Wait, 2, 2,
     [](const Words& w, const std::string&, ParsedCommand& c) {
         char* end = nullptr;
         const double seconds = std::strtod(w[1].c_str(), &end);
         if (*end != '\0' || !(seconds >= 0) || seconds > 1e6) throw ParseError{"bad seconds: " + w[1]};
         c.ms = static_cast<uint64_t>(std::llround(seconds * 1000.0));
     }},
    {{"key", "key NAME", "soft1..soft5, press, plus, minus, 1..8"}, CommandId::Key, 2, 2,
     [](const Words& w, const std::string&, ParsedCommand& c) { c.key = parseKey(w[1]); }},
    {{"clock", "clock YYYY-MM-DDTHH:MM:SSZ", "set the PC clock the instrument reads"}, CommandId::Clock, 2, 2,
     [](const Words& w, const std::string&, ParsedCommand& c) { c.clock = parseClock(w[1]); }},
    {{"input", "input CAPTION VALUE", "move a scroll bar of the window to VALUE"}, CommandId::Input, 3, kAny,
     [](const Words& w, const std::string&, ParsedCommand& c) {
         c.name = captionOf(w);
         const InputControlInfo* control = findInputControl(c.name.c_str());
         if (!control) throw ParseError{"no scroll bar captioned " + c.name};
         const std::string& value = w.back();
         const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), c.position);
         if (ec != std::errc() || end != value.data() + value.size()) throw ParseError{"bad value: " + value};
         if (c.position < control->minimum || c.position > control->maximum)
             throw ParseError{value + " is outside " + c.name + " " + std::to_string(control->minimum) + ".." +
                              std::to_string(control->maximum)};
     }},
    {{"check", "check CAPTION 0|1", "set a check box of the window"}, CommandId::Check, 3, kAny,
     [](const Words& w, const std::string&, ParsedCommand& c) {
         c.name = captionOf(w);
         if (!findSwitchControl(c.name.c_str())) throw ParseError{"no check box captioned " + c.name};
         if (w.back() != "0" && w.back() != "1") throw ParseError{"check takes 0 or 1, not " + w.back()};
         c.on = w.back() == "1";
     }},
    {{"set", "set FIELD VALUE", "write a variable (NAME[i] for an element)"}, CommandId::Set, 3, kAny,
     [](const Words& w, const std::string& line, ParsedCommand& c) {
         c.name = w[1];
         c.value = valueAfterWords(line, 2);
     }},
    {{"print", "print NAME ...", "print variables as NAME=VALUE"}, CommandId::Print, 2, kAny,
     [](const Words&, const std::string&, ParsedCommand&) {}},
    {{"expect", "expect NAME VALUE", "stop with an error unless NAME prints as VALUE (NAME screen: the display's hash)"},
     CommandId::Expect, 3, kAny,
     [](const Words& w, const std::string& line, ParsedCommand& c) {
         c.name = w[1];
         c.value = valueAfterWords(line, 2);
     }},
    {{"screenshot", "screenshot FILE.png", "write the display as an indexed PNG"}, CommandId::Screenshot, 2, 2,
     [](const Words& w, const std::string&, ParsedCommand& c) { c.path = w[1]; }},
    {{"gif", "gif FILE.gif [FPS] | gif stop",
      "record the display as an animated GIF until gif stop, FPS frames a second (10)"},
     CommandId::Gif, 2, 3,
     [](const Words& w, const std::string&, ParsedCommand& c) {
         if (w[1] == "stop") {
             if (w.size() != 2) throw ParseError{"usage: gif stop"};
             return;
         }
         c.on = true;
         c.path = w[1];
         c.count = GifWriter::kDefaultFps;
         if (w.size() == 3 && ((c.count = parseCount(w[2], "frame rate")) == 0 || c.count > GifWriter::kMaxFps))
             throw ParseError{"bad frame rate (want 1.." + std::to_string(GifWriter::kMaxFps) + "): " + w[2]};
     }},
    {{"nmea", "nmea FILE [LINES]", "feed a file to the GPS receiver (a pass every LINES lines)"}, CommandId::Nmea, 2, 3,
     [](const Words& w, const std::string&, ParsedCommand& c) {
         c.path = w[1];
         if (w.size() == 3 && (c.count = parseCount(w[2], "line count")) == 0) throw ParseError{"bad line count: " + w[2]};
     }},
    {{"memory", "memory FILE", "keep the instrument's memory in FILE"}, CommandId::Memory, 2, 2,
     [](const Words& w, const std::string&, ParsedCommand& c) { c.path = w[1]; }},
    {{"sdcard", "sdcard DIR", "use DIR as the SD card"}, CommandId::Sdcard, 2, 2,
     [](const Words& w, const std::string&, ParsedCommand& c) { c.path = w[1]; }},
    {{"include", "include FILE", "run another script here"}, CommandId::Include, 2, 2,
     [](const Words& w, const std::string&, ParsedCommand& c) { c.path = w[1]; }},
    {{"flightgear", "flightgear FILE [MAP]",
      "replay a FlightGear corvex-ems capture at its recorded pace (MAP: the field map, else the c172p's)"},
     CommandId::Flightgear, 2, 3,
     [](const Words& w, const std::string&, ParsedCommand& c) {
         c.path = w[1];
         if (w.size() == 3) c.value = w[2];
     }},
};

}  // namespace

const std::vector<ScenarioCommandInfo>& scenarioCommandInfo()
{
    static const std::vector<ScenarioCommandInfo> info = [] {
        std::vector<ScenarioCommandInfo> all;
        for (const Command& c : kCommands) all.push_back(c.info);
        return all;
    }();
    return info;
}

std::string scenarioLineWithoutComment(const std::string& text)
{
    size_t comment = text.find('#');
    const size_t quote = text.find('"');
    // A value in double quotes ends at the line's last one; a '#' in it is text.
    if (quote < comment && (quote == 0 || std::isspace(static_cast<unsigned char>(text[quote - 1]))) &&
        text.rfind('"') > quote)
        comment = text.find('#', text.rfind('"'));
    return text.substr(0, comment);
}

bool parseScenarioLine(const std::string& text, ParsedCommand& command, std::string& error)
{
    error.clear();
    const std::string line = scenarioLineWithoutComment(text);
    Words w;
    std::istringstream in(line);
    for (std::string word; in >> word;) w.push_back(word);
    if (w.empty()) return false;
    for (const Command& c : kCommands) {
        if (w[0] != c.info.name) continue;
        if (w.size() < c.minWords || w.size() > c.maxWords) {
            error = std::string("usage: ") + c.info.usage;
            return false;
        }
        command = ParsedCommand{};
        command.id = c.id;
        try {
            c.parse(w, line, command);
        } catch (const ParseError& e) {
            error = e.message;
            return false;
        }
        command.words = std::move(w);
        return true;
    }
    error = "unknown command: " + w[0];
    return false;
}

std::filesystem::path scenarioPath(const std::filesystem::path& written, const std::filesystem::path& scriptDir)
{
    return written.is_absolute() ? written : scriptDir / written;
}

const char* scenarioKeyName(uint8_t code) { return code >= 1 && code <= 8 ? kKeyNames[code] : ""; }

std::string scenarioClockText(uint32_t utc)
{
    const DateTime t = secondsToDateTime(utc);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", unsigned{t.year}, unsigned{t.month},
                  unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute}, unsigned{t.second});
    return text;
}

std::string scenarioHelpText()
{
    std::string text = "Commands, one a line ('#' starts a comment, but is text inside a \"quoted\" value; a\n"
                       "relative FILE or DIR is relative to the script that names it):\n";
    for (const Command& c : kCommands) {
        char row[160];
        std::snprintf(row, sizeof row, "  %-31s%s\n", c.info.usage, c.info.help);
        text += row;
    }
    return text;
}

// The scenario language, written down once: every command's name, usage, one-line help and
// parser. A line becomes a ParsedCommand; the runner and the window each execute parsed
// commands, and --help is generated from the table.
//
// Paths: a relative FILE or DIR is relative to the folder of the script that names it (for an
// included script, its own folder). A harness may send a run's screenshots and GIFs elsewhere
// (the runner's --output), which is the only exception.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

enum class CommandId : uint8_t {
    Power, Pass, Tick, Wait, Key, Clock, Input, Check, Set, Print, Expect, Screenshot, Gif, Nmea, Memory, Sdcard, Include, Flightgear,
};

struct ParsedCommand {
    CommandId id = CommandId::Power;
    std::vector<std::string> words;  // the line's words; words[0] is the command
    std::string name;                // set, expect: the NAME; input, check: the control's caption
    std::string value;               // set, expect: the value after NAME (surrounding quotes removed);
                                     // flightgear: the MAP as written ("" for the built-in one)
    bool on = false;                 // power on; check 1; gif FILE (gif stop: false)
    uint64_t count = 0;              // pass, tick; nmea: lines per pass (0: all at once); gif: frames a second
    uint64_t ms = 0;                 // wait
    uint8_t key = 0;                 // key: the key code
    uint32_t clock = 0;              // clock: UTC seconds
    int32_t position = 0;            // input: the scroll bar's position
    std::filesystem::path path;      // screenshot, gif, nmea, memory, sdcard, include, flightgear, as written
};

struct ScenarioCommandInfo {
    const char* name;
    const char* usage;  // shown after "usage: " when a line does not fit it
    const char* help;
};
const std::vector<ScenarioCommandInfo>& scenarioCommandInfo();

// The line without its comment: "#" starts one, except inside a value in double quotes, which
// runs from the '"' that opens a word to the line's last '"' ("G-AB#C" is a value).
std::string scenarioLineWithoutComment(const std::string& line);
// Parses one line ("#" starts a comment, as above). Returns false for a blank line with error empty, and
// for a line that is not a command of the language with the reason in error.
bool parseScenarioLine(const std::string& line, ParsedCommand& command, std::string& error);

// A path a script names, as the rule above places it.
std::filesystem::path scenarioPath(const std::filesystem::path& written, const std::filesystem::path& scriptDir);

// The language's name of a key code 1..8 (soft1 .. minus); "" for any other code.
const char* scenarioKeyName(uint8_t code);
// The clock text of UTC seconds, as "clock" takes it (YYYY-MM-DDTHH:MM:SSZ).
std::string scenarioClockText(uint32_t utc);

// Every command with its usage and help, for --help.
std::string scenarioHelpText();

// libFuzzer target for the runner's script language: any text run as a scenario. Lines that would
// touch the host's files (screenshot, memory, sdcard, nmea) or run for long (pass, tick and wait
// beyond a few passes) are left out before the run, so the fuzzer exercises the parsing and the
// short commands, never the disk or the clock.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "device.h"
#include "runner/scenario.h"

namespace {

bool harmless(const std::string& line)
{
    std::istringstream in(line.substr(0, line.find('#')));
    std::string command, argument;
    in >> command >> argument;
    if (command == "screenshot" || command == "memory" || command == "sdcard" || command == "nmea") return false;
    if (command == "pass" || command == "tick" || command == "wait") {
        const double limit = command == "wait" ? 0.05 : 50;
        char* end = nullptr;
        const double value = std::strtod(argument.c_str(), &end);
        return !(value > limit) && argument.size() < 40;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string script;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (harmless(line)) script += line + '\n';
    resetDevice();
    std::istringstream in(script);
    std::ostringstream out;
    std::string error;
    ScenarioOptions options;
    options.outputDir = "/nonexistent-corvex-fuzz";
    options.scriptDir = "/nonexistent-corvex-fuzz";
    runScenario(in, options, out, error);
    return 0;
}

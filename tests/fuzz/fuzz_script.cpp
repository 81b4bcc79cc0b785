// libFuzzer target for the runner's script language: any text run as a scenario. Everything the
// run may touch on disk stays inside a scratch folder: the script's folder, the screenshots' folder
// and the SD card are there, along with a script to include, an NMEA log to play and a pipe (which
// must be refused, never waited on), and a line
// naming a file ("include", "screenshot", "gif", "memory", "sdcard", "nmea") is left out when it holds a
// "/" or "..". Lines that would run for long (pass/tick over 50, wait over 0.05) are left out too.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "device.h"
#include "fuzz_support.h"
#include "scenario/scenario.h"
#include "scenario/scenario_commands.h"
#include "settings/sdcard.h"

namespace fs = std::filesystem;

namespace {

bool harmless(const std::string& line)
{
    const std::string code = scenarioLineWithoutComment(line);
    for (const char* command : {"include", "screenshot", "gif", "memory", "sdcard", "nmea"})
        if (code.find(command) != std::string::npos &&
            (code.find('/') != std::string::npos || code.find("..") != std::string::npos))
            return false;
    std::istringstream in(code);
    std::string command, argument;
    in >> command >> argument;
    if (command == "pass" || command == "tick" || command == "wait") {
        const double limit = command == "wait" ? 0.05 : 50;
        const double value = std::strtod(argument.c_str(), nullptr);
        return !(value > limit) && argument.size() < 40;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fs::path folder = scratchPath("corvex-fuzz-script");
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string script;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (harmless(line)) script += line + '\n';

    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder / "SDCARD");
    writeScratch(folder / "inc.scn", "pass 2\nprint rpm\ninclude inc.scn\n");
    writeScratch(folder / "gps.nmea",
        "$GPGGA,171003.972,5200.8519,N,00421.7819,E,1,08,1.0,8.8,M,44.8,M,,0000*57\r\n"
           "$GPGSV,1,1,02,12,73,067,,30,67,271,39*7A\r\n"
           "$GPRMC,171003.972,A,5200.8519,N,00421.7819,E,000.9,022.1,120610,,,A*68\r\n");
    mkfifo((folder / "pipe").c_str(), 0600);
    resetDevice();
    setSdCardFolder((folder / "SDCARD").c_str());
    std::istringstream in(script);
    std::ostringstream out, notes;
    std::string error;
    ScenarioOptions options;
    options.outputDir = options.scriptDir = folder;
    options.notes = &notes;
    runScenario(in, options, out, error);
    return 0;
}

// corvex-ems-run SCRIPT: runs a scenario script against the instrument without a window.
#include <cstring>
#include <fstream>
#include <iostream>

#include "device.h"
#include "scenario/scenario.h"
#include "scenario/scenario_commands.h"
#include "scenario/variables.h"

namespace {

void printHelp(std::ostream& out)
{
    out << "usage: corvex-ems-run [--output DIR] SCRIPT\n"
           "       corvex-ems-run --help | --variables\n"
           "Runs SCRIPT from factory settings with the instrument off; exits 1 at the first bad line or\n"
           "failed expect, naming the line. --output DIR writes the screenshots and GIFs with relative\n"
           "names into DIR instead of beside the script.\n\n"
        << scenarioHelpText()
        << "\n--variables lists every NAME that print, set and expect accept.\n";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printHelp(std::cout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--variables") == 0) {
        for (const DeviceVariable& v : allDeviceVariables()) std::cout << v.name << '\n';
        return 0;
    }
    ScenarioOptions options;
    int at = 1;
    if (argc == 4 && std::strcmp(argv[1], "--output") == 0) {
        options.outputDir = argv[2];
        at = 3;
    }
    if (argc != at + 1 || argv[at][0] == '-') {
        printHelp(std::cerr);
        return 2;
    }
    std::ifstream script(argv[at]);
    if (!script) {
        std::cerr << "cannot open " << argv[at] << '\n';
        return 2;
    }
    options.scriptDir = std::filesystem::path(argv[at]).parent_path();
    options.scriptPath = argv[at];
    // The same starting point as every test's: factory settings, the instrument off.
    resetDevice();
    std::string error;
    if (!runScenario(script, options, std::cout, error)) {
        std::cerr << error << '\n';
        return 1;
    }
    return 0;
}

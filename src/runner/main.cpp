// corvex-ems-run SCRIPT: runs a scenario script against the instrument without a window.
#include <cstring>
#include <fstream>
#include <iostream>

#include "device.h"
#include "runner/scenario.h"
#include "runner/variables.h"

namespace {

void printHelp(std::ostream& out)
{
    out << "usage: corvex-ems-run SCRIPT\n"
           "       corvex-ems-run --help | --variables\n"
           "Runs SCRIPT from factory settings with the instrument off; exits 1 at the first bad line or\n"
           "failed expect, naming the line.\n\n"
        << scenarioVocabulary()
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
    if (argc != 2 || argv[1][0] == '-') {
        printHelp(std::cerr);
        return 2;
    }
    std::ifstream script(argv[1]);
    if (!script) {
        std::cerr << "cannot open " << argv[1] << '\n';
        return 2;
    }
    ScenarioOptions options;
    options.scriptDir = std::filesystem::path(argv[1]).parent_path();
    options.scriptPath = argv[1];
    // The same starting point as every test's: factory settings, the instrument off.
    resetDevice();
    std::string error;
    if (!runScenario(script, options, std::cout, error)) {
        std::cerr << error << '\n';
        return 1;
    }
    return 0;
}

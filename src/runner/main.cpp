// corvex-ems-run SCRIPT: runs a scenario script against the instrument without a window.
#include <fstream>
#include <iostream>

#include "device.h"
#include "runner/scenario.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: corvex-ems-run SCRIPT\n";
        return 2;
    }
    std::ifstream script(argv[1]);
    if (!script) {
        std::cerr << "cannot open " << argv[1] << '\n';
        return 2;
    }
    ScenarioOptions options;
    options.scriptDir = std::filesystem::path(argv[1]).parent_path();
    // The same starting point as every test's: factory settings, the instrument off.
    resetDevice();
    std::string error;
    if (!runScenario(script, options, std::cout, error)) {
        std::cerr << error << '\n';
        return 1;
    }
    return 0;
}

// corvex-ems-run SCRIPT: runs a scenario script against the instrument without a window.
#include <cstring>
#include <iostream>
#include <sstream>

#include "device.h"
#include "scenario/scenario.h"
#include "scenario/scenario_commands.h"
#include "scenario/variables.h"
#include "storage/storage.h"

namespace {

void printHelp(std::ostream& out)
{
    out << "usage: corvex-ems-run [--output DIR] [--draw-every-pass] [--seen-frames FILE] SCRIPT\n"
           "       corvex-ems-run --help | --variables\n"
           "Runs SCRIPT from factory settings with the instrument off; exits 1 at the first bad line or\n"
           "failed expect, naming the line. --output DIR writes the screenshots and GIFs with relative\n"
           "names into DIR instead of beside the script. Only the passes whose frame is looked at (the\n"
           "last of each command, those before a GIF frame) are drawn; --draw-every-pass draws them\n"
           "all. --seen-frames FILE writes the display's 130560 bytes after each of those passes.\n\n"
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
    FileReplacement seenFrames;
    std::FILE* seenFile = nullptr;
    int at = 1;
    for (; at + 1 < argc; ++at) {
        if (std::strcmp(argv[at], "--draw-every-pass") == 0) {
            deviceDrawEveryPass = true;
        } else if (at + 2 < argc && std::strcmp(argv[at], "--output") == 0) {
            options.outputDir = argv[++at];
        } else if (at + 2 < argc && std::strcmp(argv[at], "--seen-frames") == 0) {
            seenFile = seenFrames.begin(argv[++at]);
            if (!seenFile) {
                std::cerr << "cannot write " << argv[at] << '\n';
                return 2;
            }
            options.seenFrames = seenFile;
        } else {
            break;
        }
    }
    if (argc != at + 1 || argv[at][0] == '-') {
        printHelp(std::cerr);
        return 2;
    }
    std::string text;
    if (!readPlainFile(argv[at], text)) {  // a pipe or folder of the name is refused, never waited on
        std::cerr << "cannot open " << argv[at] << '\n';
        return 2;
    }
    std::istringstream script(text);
    options.scriptDir = std::filesystem::path(argv[at]).parent_path();
    options.scriptPath = argv[at];
    // The same starting point as every test's: factory settings, the instrument off.
    resetDevice();
    std::string error;
    const bool ran = runScenario(script, options, std::cout, error);
    if (seenFile && !seenFrames.finish(ran)) {
        if (ran) std::cerr << "cannot write the seen frames\n";
        return ran ? 2 : 1;
    }
    if (!ran) {
        std::cerr << error << '\n';
        return 1;
    }
    return 0;
}

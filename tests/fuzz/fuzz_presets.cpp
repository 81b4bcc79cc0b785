// libFuzzer target for the window's input presets as the runner applies them: the input is a
// preset's text, of which the "input" and "check" lines (all a preset may hold) run after power-on,
// followed by ten passes and every home page's pass with the values they set. Run twice
// from a reset instrument, it must end the same way both times: same verdict, screen and alarms.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "device.h"
#include "engine/alarms.h"
#include "fuzz_support.h"
#include "scenario/scenario.h"
#include "settings/sdcard.h"
#include "ui/home.h"
#include "ui/screen.h"

namespace {

struct Outcome {
    bool ok;
    std::string error, out, screen;
    uint32_t alarms;
    bool operator==(const Outcome&) const = default;
};

Outcome apply(const std::string& preset)
{
    static const std::string card = scratchPath("corvex-fuzz-presets-card").string();
    resetDevice();
    setSdCardFolder(card.c_str());  // whatever the passes record stays in the scratch folder
    std::istringstream in("power on\nkey 1\npass 1\nkey 1\npass 1\n" + preset + "pass 10\n");
    std::ostringstream out, notes;
    ScenarioOptions options;
    options.outputDir = options.scriptDir = "/nonexistent-corvex-fuzz";
    options.notes = &notes;
    Outcome o;
    o.ok = runScenario(in, options, out, o.error);
    // A bad line is one of the preset's, named by its number.
    if (!o.ok) require(o.error.rfind("line ", 0) == 0 && std::stoi(o.error.substr(5)) > 5);
    // Every home page's pass runs; one of them, chosen by the preset, is seen (drawn).
    const uint8_t seen = static_cast<uint8_t>(preset.size() % 4);
    for (uint8_t page = 0; page < 4; ++page) {
        if (!homePageAvailable(page)) continue;
        homePage = page;
        currentScreen = homeScreen;
        overlayScreen = nullptr;
        devicePass(page == seen ? PassView::Seen : PassView::Unseen);
    }
    o.out = out.str();
    o.screen = screenHashText();
    o.alarms = alarmFlags;
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
    std::string preset;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string command;
        words >> command;
        preset += command == "input" || command == "check" ? line + '\n' : "\n";
    }
    require(apply(preset) == apply(preset));
    return 0;
}

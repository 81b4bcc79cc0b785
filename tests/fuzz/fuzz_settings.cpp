// libFuzzer target for a settings file from the card: the bytes are recalled as CORVEX.EMS and
// then every registered screen and pop-up runs one pass with a key taken from the input; the pass
// of one of them, chosen by the input, is seen (drawn), the others run their logic only.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "device.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "ui/home.h"
#include "ui/screen.h"
#include "ui/screen_registry.h"

namespace fs = std::filesystem;

namespace {

const fs::path& cardFolder()
{
    static const fs::path folder = scratchPath("corvex-fuzz-settings");
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fs::create_directories(cardFolder());
    writeScratch(cardFolder() / SETTINGS_FILE_NAME, data, size);
    resetDevice();
    setSdCardFolder(cardFolder().string().c_str());
    devicePowerOn();
    for (int i = 0; i < 2; ++i) {
        devicePressKey(KeySoft1);
        devicePass();
    }
    require(recallSettingsFile());
    // The recall repaired every field: repairing again changes nothing.
    static Settings recalled;
    recalled = settings;
    sanitiseSettings();
    require(std::memcmp(&recalled, &settings, sizeof settings) == 0);
    size_t count = 0;
    const RegisteredScreen* screens = registeredScreens(count);
    const size_t seen = size ? data[size - 1] % count : 0;
    for (size_t i = 0; i < count; ++i) {
        currentScreen = screens[i].overlay ? homeScreen : screens[i].function;
        overlayScreen = screens[i].overlay ? screens[i].function : nullptr;
        overlayTimeout = screens[i].overlay ? 5 : 0;
        devicePressKey(size ? static_cast<uint8_t>(data[i % size] % 9) : 0);
        devicePass(i == seen ? PassView::Seen : PassView::Unseen);
        require(pendingKey == 0);
        require(screenName(currentScreen) != nullptr && screenName(overlayScreen) != nullptr);
    }
    return 0;
}

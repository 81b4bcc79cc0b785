// Saving and recalling the settings record as the file "CORVEX.EMS" on the SD card.
#include "settings/settings_file.h"

#include <cstdio>
#include <cstring>

#include "device.h"
#include "storage/storage.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "ui/screen.h"

namespace {

constexpr size_t kPathSize = 1100;

// Writes the new image beside the old file and swaps it in only when it is complete and on the
// card, so a failure part-way leaves the previous file as it was and no partial file behind.
bool writeSettingsFile()
{
    char path[kPathSize];
    char newPath[kPathSize];
    if (!sdCardPath(SETTINGS_FILE_NAME, path, sizeof path) ||
        !sdCardPath(SETTINGS_FILE_NEW_NAME, newPath, sizeof newPath))
        return false;
    return replaceFile(path, newPath, &settings, sizeof settings);
}

// Reads at most one record's worth; a short file replaces only its leading bytes.
bool readSettingsFile()
{
    char path[kPathSize];
    if (!sdCardPath(SETTINGS_FILE_NAME, path, sizeof path)) return false;
    std::FILE* file = openPlainFile(path);  // a pipe of the name would hold the instrument up
    if (!file) return false;
    uint8_t image[sizeof(Settings)];
    const size_t n = std::fread(image, 1, sizeof image, file);
    // A read error (a folder by that name, a bad card) recalls nothing.
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (ok) std::memcpy(&settings, image, n);
    return ok;
}

// The message comes back to the screen that asked for the action.
void endOnMessage(bool done)
{
    returnScreen = currentScreen;
    showMessage(done);
}

}  // namespace

bool saveSettingsFile()
{
    if (!sdCardPresent) return false;
    const bool ok = writeSettingsFile();
    endOnMessage(ok);
    return ok;
}

bool loadSettingsFile()
{
    if (!readSettingsFile()) return false;
    sanitiseSettings();
    settings.formatCode = SETTINGS_FORMAT_CODE;
    recomputeFuelLayout();
    updateRpmFactor();
    return true;
}

bool recallSettingsFile()
{
    if (!sdCardPresent) return false;
    const bool ok = loadSettingsFile();
    endOnMessage(ok);
    return ok;
}

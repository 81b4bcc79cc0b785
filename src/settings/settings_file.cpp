// Saving and recalling the settings record as the file "CORVEX.EMS" on the SD card.
#include "settings/settings_file.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "device.h"
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
    std::FILE* file = std::fopen(newPath, "wb");
    if (!file) return false;
    bool ok = std::fwrite(&settings, 1, sizeof settings, file) == sizeof settings;
    ok = std::fflush(file) == 0 && ok;
    ok = ::fsync(fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(newPath, path) == 0) return true;
    std::remove(newPath);
    return false;
}

// Reads at most one record's worth; a short file replaces only its leading bytes.
bool readSettingsFile()
{
    char path[kPathSize];
    if (!sdCardPath(SETTINGS_FILE_NAME, path, sizeof path)) return false;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    uint8_t image[sizeof(Settings)];
    const size_t n = std::fread(image, 1, sizeof image, file);
    std::fclose(file);
    std::memcpy(&settings, image, n);
    return true;
}

}  // namespace

bool saveSettingsFile()
{
    if (!sdCardPresent) return false;
    const bool ok = writeSettingsFile();
    showDoneMessage();
    return ok;
}

bool recallSettingsFile()
{
    if (!sdCardPresent) return false;
    const bool ok = readSettingsFile();
    if (ok) {
        sanitiseSettings();
        settings.formatCode = SETTINGS_FORMAT_CODE;
        recomputeFuelLayout();
        updateRpmFactor();
    }
    showDoneMessage();
    return ok;
}

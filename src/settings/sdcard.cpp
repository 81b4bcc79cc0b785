// The SD card folder and path building.
#include "settings/sdcard.h"

#include <cstdio>
#include <cstring>

namespace {
char folder[1024] = "SDCARD";
}

void setSdCardFolder(const char* path)
{
    std::snprintf(folder, sizeof folder, "%s", path ? path : "");
    // A trailing separator would double up in sdCardPath.
    for (size_t n = std::strlen(folder); n > 1 && folder[n - 1] == '/'; --n) folder[n - 1] = '\0';
}

const char* sdCardFolder() { return folder; }

bool sdCardPath(const char* name, char* buffer, size_t size)
{
    const int n = std::snprintf(buffer, size, "%s/%s", folder, name);
    return n >= 0 && static_cast<size_t>(n) < size;
}

// The SD card folder and path building.
#include "settings/sdcard.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

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

uint32_t sdCardFreeMegabytes()
{
    std::error_code error;
    const std::filesystem::space_info space = std::filesystem::space(folder, error);
    if (error || space.available == static_cast<std::uintmax_t>(-1)) return 0;
    const std::uintmax_t megabytes = space.available >> 20;
    return megabytes > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(megabytes);
}

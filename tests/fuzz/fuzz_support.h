// Shared by the fuzz targets: the property check and scratch places for files in memory.
#pragma once
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "storage/storage.h"

// A broken property is a finding: libFuzzer reports the abort with the input that caused it.
inline void require(bool property)
{
    if (!property) std::abort();
}

// A path of this process's own (prefix, process id, suffix) for files written and read on every
// input: in /dev/shm where the system offers it. Whatever stands there is removed at exit.
inline std::filesystem::path scratchPath(const std::string& prefix, const std::string& suffix = "")
{
    namespace fs = std::filesystem;
    static std::vector<fs::path> made;
    static const bool registered = (std::atexit([] {
                                        std::error_code ignored;
                                        for (const fs::path& p : made) fs::remove_all(p, ignored);
                                    }),
                                    true);
    (void)registered;
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    made.push_back(base / (prefix + "-" + std::to_string(getpid()) + suffix));
    return made.back();
}

// A scratch file's bytes (empty when it cannot be read), and the bytes as a scratch file's whole
// content: through the same storage calls as the program's own files.
inline std::string bytesOf(const std::filesystem::path& path)
{
    std::string bytes;
    return readPlainFile(path.c_str(), bytes) ? bytes : std::string();
}
inline void writeScratch(const std::filesystem::path& path, const void* data, size_t size)
{
    (void)replaceFile(path.c_str(), nullptr, data, size);
}
inline void writeScratch(const std::filesystem::path& path, const std::string& bytes)
{
    writeScratch(path, bytes.data(), bytes.size());
}

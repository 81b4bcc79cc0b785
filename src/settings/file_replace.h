// Opening a file for reading and replacing a file whole. Opening: only a plain file is opened, and
// without waiting, so that a pipe or device of the name never holds the instrument up. Replacing: the new content goes into a temporary file beside it, which is flushed,
// synced and renamed over the old one, and the folder is synced so the new name survives a power
// loss. A failure at any step leaves the old file as it was and no temporary behind.
#pragma once
#include <cstddef>
#include <cstdio>

// Writes the body into the open temporary file; false when a write failed.
using FileBodyWriter = bool (*)(std::FILE* file, const void* context);

// True only when the new content is complete under path. errno tells the first failure.
[[nodiscard]] bool replaceFile(const char* path, const char* temporary, FileBodyWriter write, const void* context);
[[nodiscard]] bool replaceFile(const char* path, const char* temporary, const void* data, size_t size);

// A plain file opened for reading ("rb"); null when there is none, with errno set: EISDIR for a
// folder, ENODEV for a pipe, device or socket.
std::FILE* openPlainFile(const char* path);

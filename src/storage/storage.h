// Every file the instrument, the runner, the tools and the window read or write goes through
// here. Plain POSIX calls only (open, fstat, fsync, rename), so the same code runs wherever the
// core is built.
//
// Reading: only a plain file is opened, and without waiting, so that a pipe or device of the name
// never holds the program up. Replacing: whatever stands at the temporary name is removed, the
// temporary file is made new (never through a link), written, flushed, synced and renamed over
// the old file, and the folder is synced so the new name survives a power loss; the old file's
// permission bits carry over. A failure at any step leaves the old file as it was and no temporary
// behind. Appending: a whole piece of text is added to a plain file or nothing is.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

// A plain file opened for reading ("rb"); null when there is none, with errno set: EISDIR for a
// folder, ENODEV for a pipe, device or socket.
std::FILE* openPlainFile(const char* path);
// A plain file's bytes, all of them (at most limit); false with errno set when it cannot be opened
// or read.
[[nodiscard]] bool readPlainFile(const char* path, std::string& bytes, size_t limit = static_cast<size_t>(-1));

// Writes the body into the open temporary file; false when a write failed.
using FileBodyWriter = bool (*)(std::FILE* file, const void* context);

// True only when the new content is complete under path. errno tells the first failure. A folder,
// device or pipe at path is never replaced (EISDIR, ENODEV); temporary null means path + ".tmp".
[[nodiscard]] bool replaceFile(const char* path, const char* temporary, FileBodyWriter write, const void* context);
[[nodiscard]] bool replaceFile(const char* path, const char* temporary, const void* data, size_t size);

// The same replacement written a piece at a time (an animation over a run): begin makes the
// temporary file and hands it out to write to (null with errno when it cannot); finish takes the
// remaining steps, or with ok false closes and removes it. Abandoned when destroyed unfinished.
class FileReplacement {
public:
    FileReplacement() = default;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();
    std::FILE* begin(const char* path, const char* temporary = nullptr);
    [[nodiscard]] bool finish(bool ok);

private:
    std::string path_, temporary_;
    std::FILE* file_ = nullptr;
};

// Adds the bytes to the end of the plain file at path (made when missing), all of them or none:
// a write that fails is cut off again. A link, folder, pipe or device at path is refused.
[[nodiscard]] bool appendWhole(const char* path, const void* data, size_t size);
// The size of whatever is at path (a link not followed), 0 when nothing is; false with errno when
// it cannot be told.
[[nodiscard]] bool sizeOfFile(const char* path, unsigned long long& size);

// Moves whatever is at path to base, or to base-2, base-3, ... when that name is taken, so that no
// earlier file is written over; kept names where it went. False with errno when it could not move.
[[nodiscard]] bool moveAside(const char* path, const std::string& base, std::string& kept);

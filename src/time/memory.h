// The instrument's non-volatile memory: the meters, the flight log, the flight in hand and the
// clock offset, kept across power cycles. The host stores its byte image wherever it keeps files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Bumped on every change the host should write out at once (a flight started, stored or erased).
extern uint32_t memoryChangeCount;
void noteMemoryChange();

// Size of the byte image: a header (magic, version, payload length), the payload and a CRC-32.
size_t memoryImageSize();
// The CRC-32 (reflected, polynomial 0xEDB88320) that closes the image, over all bytes before it.
uint32_t memoryCrc32(const uint8_t* data, size_t size);
// Writes the image into out (at least memoryImageSize() bytes); returns the bytes written, 0 if
// out is too small.
size_t saveMemoryImage(uint8_t* out, size_t size);
// Takes the image's values when it is whole and ours; otherwise changes nothing and returns
// false with the reason.
bool loadMemoryImage(const uint8_t* data, size_t size, std::string& reason);
// A first start: the meters, the log, the flight in hand and the clock offset all at zero.
void clearMemory();

// File helpers for the hosts, which choose the file. Loading a missing file is not an error
// (first start: reason stays empty, false returned); a file that is there but cannot be opened or
// read, or is not a whole image of ours, gives the reason. Saving goes through a temporary file
// and a rename, so a failed save leaves the old file whole.
bool loadMemoryFile(const char* path, std::string& reason);
[[nodiscard]] bool saveMemoryFile(const char* path, std::string& reason);

// A host's memory file at start. A file that is there but could not be loaded is moved aside to
// PATH.bad-STAMP (STAMP from the host's clock, "-2", "-3", ... added while that name is taken), so
// that no save ever writes over it; when it cannot be moved, the host must not write the file.
// Unless the file is loaded, the memory starts from zero (clearMemory), as after a first start.
struct MemoryFileOpening {
    bool loaded = false;
    bool writable = true;
    std::string problem;  // why it was not loaded; empty when loaded or missing (a first start)
    std::string keptAs;   // the name the file that was not loaded now has
    std::string message;  // one line for the user when the file was not loaded and not missing
};
MemoryFileOpening openMemoryFile(const char* path, const char* stamp);

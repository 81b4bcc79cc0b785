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
// (first start: reason stays empty, false returned); saving goes through a temporary file and a
// rename, so a failed save leaves the old file whole.
bool loadMemoryFile(const char* path, std::string& reason);
bool saveMemoryFile(const char* path, std::string& reason);

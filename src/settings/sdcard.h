// The instrument's SD card: a folder on the PC that the host names. Device code builds the paths
// of its files here and never decides the folder itself.
#pragma once
#include <cstddef>
#include <cstdint>

// Sets the card's folder (the host passes "SDCARD" below its working folder by default).
void setSdCardFolder(const char* folder);
const char* sdCardFolder();

// The PC path of a file on the card, e.g. sdCardPath("CORVEX.EMS") or sdCardPath("INFOPAGE/A.MIF").
// Returns false if the result does not fit the buffer.
bool sdCardPath(const char* name, char* buffer, size_t size);

// Free space of the file system holding the card's folder, in units of 2^20 bytes (held at the
// largest u32); 0 when the folder cannot be reached.
uint32_t sdCardFreeMegabytes();

// MIF pictures: run-length encoded palette images, decoded from files on the SD card into the
// BackgroundBuffer and from built-in blocks (the icons) onto the Framebuffer.
#pragma once
#include <cstdint>

// A built-in MIF block and its length in bytes, so that decoding never reads past its end.
struct Icon {
    const uint8_t* data;
    uint16_t size;
};

// How a decode ended. The instrument itself ignores it; the tools report it.
enum class ImageStatus : uint8_t {
    Complete,   // every row decoded
    NotFound,   // the file cannot be opened: nothing drawn
    BadHeader,  // width 0 or above 480, height 0 or above 272 (files), or no header at all
    Truncated,  // the data ended before the last row: decoding stopped there
};

// Largest picture a file may hold: the screen.
constexpr int MAX_IMAGE_WIDTH = 480;
constexpr int MAX_IMAGE_HEIGHT = 272;
// The file decoder reads the pixel codes through one buffer of this many bytes.
constexpr int IMAGE_READ_BLOCK = 128;

// Decodes a MIF file into the BackgroundBuffer with its top-left pixel at (x, y). Pixels past the
// picture's width or off the screen are dropped. Callers clear the buffer first and show it with
// copyBackground.
ImageStatus loadImageFile(int x, int y, const char* path);

// Decodes a built-in block onto the Framebuffer with its top-left pixel at (x, y), clipped at the
// screen edges. The header is taken as it is. While the display is not drawing (an unseen pass)
// nothing is decoded and a block with a header counts as Complete.
ImageStatus drawImage(int x, int y, const Icon& image);

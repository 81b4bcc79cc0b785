// libFuzzer target for the MIF picture decoders: any bytes as a picture file (the splash picture
// and the information pages) decoded into the BackgroundBuffer, or as a built-in block drawn onto
// the Framebuffer, at any position on or off the screen.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "display/framebuffer.h"
#include "display/image.h"

namespace fs = std::filesystem;

namespace {

constexpr uint8_t UNTOUCHED = 0xA5;

const std::string& pictureFile()
{
    static const std::string path = scratchPath("corvex-fuzz-picture", ".MIF").string();
    return path;
}

int16_t signed16(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }

// Every pixel outside the picture's rectangle at (x, y) keeps its old value; inside it, only a
// decoded picture may have drawn.
void checkOutside(const uint8_t* buffer, int x, int y, int width, int height)
{
    for (int row = 0; row < SCREEN_HEIGHT; ++row)
        for (int column = 0; column < SCREEN_WIDTH; ++column) {
            const bool inside = column >= x && column < x + width && row >= y && row < y + height;
            if (!inside) require(buffer[column + SCREEN_WIDTH * row] == UNTOUCHED);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5) return 0;
    // The first byte picks file or block; the next four place the picture (off the screen too).
    const bool fromFile = (data[0] & 1) == 0;
    const bool atOrigin = (data[0] & 2) == 0;  // as the splash and the information pages are drawn
    const int x = atOrigin ? 0 : signed16(data + 1), y = atOrigin ? 0 : signed16(data + 3);
    const uint8_t* picture = data + 5;
    const size_t length = size - 5;
    const int width = length >= 2 ? picture[0] | (picture[1] << 8) : 0;
    const int height = length >= 4 ? picture[2] | (picture[3] << 8) : 0;

    if (fromFile) {
        writeScratch(pictureFile(), picture, length);
        std::memset(backgroundBuffer, UNTOUCHED, sizeof backgroundBuffer);
        const ImageStatus status = loadImageFile(x, y, pictureFile().c_str());
        const bool fits = width > 0 && width <= MAX_IMAGE_WIDTH && height > 0 && height <= MAX_IMAGE_HEIGHT;
        require(status != ImageStatus::NotFound);
        require((status == ImageStatus::BadHeader) == (length < 4 || !fits));
        checkOutside(backgroundBuffer, x, y, status == ImageStatus::BadHeader ? 0 : width, height);
    } else {
        if (length > UINT16_MAX) return 0;
        // A block of exactly the input's length, so that ASan sees any read past its end.
        uint8_t* block = static_cast<uint8_t*>(std::malloc(length ? length : 1));
        if (length) std::memcpy(block, picture, length);
        std::memset(framebuffer, UNTOUCHED, sizeof framebuffer);
        const ImageStatus status = drawImage(x, y, Icon{block, static_cast<uint16_t>(length)});
        require((status == ImageStatus::BadHeader) == (length < 4));
        checkOutside(framebuffer, x, y, status == ImageStatus::BadHeader ? 0 : width, height);
        std::free(block);
    }
    return 0;
}

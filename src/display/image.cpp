// The two MIF decoders: SD card files read 128 bytes at a time into the BackgroundBuffer, and
// built-in blocks onto the Framebuffer. Both share one decoding loop.
#include "display/image.h"

#include <cstdio>

#include "display/framebuffer.h"
#include "storage/storage.h"

namespace {

// The one read buffer of the file decoder; no picture is ever held in memory in encoded form.
uint8_t imageReadBuffer[IMAGE_READ_BLOCK];

// Pixel codes from an open file, refilling the buffer whenever all of it has been consumed
// (also between a run's code byte and its colour byte).
class FileCodes {
public:
    explicit FileCodes(std::FILE* file) : file_(file) {}
    bool next(uint8_t& byte)
    {
        if (pos_ == len_) {
            len_ = std::fread(imageReadBuffer, 1, sizeof imageReadBuffer, file_);
            pos_ = 0;
            if (len_ == 0) return false;
        }
        byte = imageReadBuffer[pos_++];
        return true;
    }

private:
    std::FILE* file_;
    size_t pos_ = 0;
    size_t len_ = 0;
};

// Pixel codes from a built-in block of known length.
class BlockCodes {
public:
    BlockCodes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool next(uint8_t& byte)
    {
        if (pos_ == size_) return false;
        byte = data_[pos_++];
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Row by row from the top, each row from the left: a code with bit 7 set is a run of (code & 0x7F)
// pixels of the next byte's colour, otherwise that many literal colour bytes follow. A row ends
// with the code that brings it to the width or past it; the pixels past the width are dropped.
// Stops where the data ends.
template <typename Codes, typename Plot>
ImageStatus decode(Codes& codes, int width, int height, Plot plot)
{
    for (int row = 0; row < height; ++row) {
        int column = 0;
        do {
            uint8_t code = 0, colour = 0;
            if (!codes.next(code)) return ImageStatus::Truncated;
            const int count = code & 0x7F;
            if (code & 0x80) {
                if (!codes.next(colour)) return ImageStatus::Truncated;
                for (int i = 0; i < count && column + i < width; ++i) plot(column + i, row, colour);
                column += count;
            } else {
                for (int i = 0; i < count; ++i) {
                    if (!codes.next(colour)) return ImageStatus::Truncated;
                    if (column + i < width) plot(column + i, row, colour);
                }
                column += count;
            }
        } while (column < width);
    }
    return ImageStatus::Complete;
}

bool onScreen(int x, int y) { return x >= 0 && x < SCREEN_WIDTH && y >= 0 && y < SCREEN_HEIGHT; }

int littleEndian16(const uint8_t* p) { return p[0] | (p[1] << 8); }

}  // namespace

ImageStatus loadImageFile(int x, int y, const char* path)
{
    std::FILE* file = openPlainFile(path);
    if (!file) return ImageStatus::NotFound;
    // Unbuffered: every refill is one 128-byte read, as on the card.
    std::setvbuf(file, nullptr, _IONBF, 0);
    uint8_t header[4];
    ImageStatus status = ImageStatus::BadHeader;
    if (std::fread(header, 1, sizeof header, file) == sizeof header) {
        const int width = littleEndian16(header), height = littleEndian16(header + 2);
        if (width != 0 && width <= MAX_IMAGE_WIDTH && height != 0 && height <= MAX_IMAGE_HEIGHT) {
            FileCodes codes(file);
            status = decode(codes, width, height, [x, y](int column, int row, uint8_t colour) {
                if (onScreen(x + column, y + row)) putBackgroundPixel(x + column, y + row, colour);
            });
        }
    }
    std::fclose(file);
    return status;
}

ImageStatus drawImage(int x, int y, const Icon& image)
{
    if (!image.data || image.size < 4) return ImageStatus::BadHeader;
    if (!displayDrawing) return ImageStatus::Complete;  // nothing to draw: not decoded
    BlockCodes codes(image.data + 4, image.size - 4u);
    return decode(codes, littleEndian16(image.data), littleEndian16(image.data + 2),
                  [x, y](int column, int row, uint8_t colour) {
                      if (onScreen(x + column, y + row)) putPixel(x + column, y + row, colour);
                  });
}

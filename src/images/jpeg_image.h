// Decoding the front-panel JPEG with libjpeg.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes per pixel, row-major
};

// False (and an empty image) if the data is not a decodable JPEG.
bool decodeJpeg(const uint8_t* data, size_t size, RgbImage& image);

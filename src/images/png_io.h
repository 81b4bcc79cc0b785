// PNG files of the display: palette-indexed images written and read by index, for screenshots
// and golden comparisons.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // one palette index per pixel, row-major
};

// Writes an 8-bit palette PNG with the instrument's palette. Returns false on a write error.
bool writeIndexedPng(const std::string& path, const uint8_t* pixels, int width, int height);
// Reads an 8-bit palette PNG back as indices. Returns false (and sets error) for anything else.
bool readIndexedPng(const std::string& path, IndexedImage& image, std::string& error);
// Writes an RGB PNG.
bool writeRgbPng(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height);

// Reading the converter's input pictures (PNG, JPEG) as RGB, with the instrument's own indices kept
// when a palette PNG already uses its palette.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;      // 3 bytes per pixel, row-major; alpha composed over black
    std::vector<uint8_t> indices;  // set instead of rgb when the PNG's palette is the instrument's
};

// Both refuse pictures wider than maxWidth or taller than maxHeight before decoding them.
// On failure they return false with a message that names the file.
bool readPng(const std::string& path, int maxWidth, int maxHeight, Picture& picture, std::string& error);
bool readJpeg(const std::string& path, int maxWidth, int maxHeight, Picture& picture, std::string& error);

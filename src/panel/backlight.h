// The display's brightness at the instrument's backlight level, as every host shows it.
#pragma once
#include <cstdint>

// The backlight levels the instrument sets (4 dim .. 31 full); others are taken as the nearest.
constexpr uint8_t BACKLIGHT_DIM = 4;
constexpr uint8_t BACKLIGHT_FULL = 31;

// A 0xRRGGBB colour as the display shows it at a backlight level: every channel scaled linearly
// from 35 % at the dim level to 100 % at full, rounded.
uint32_t backlitColour(uint32_t rgb, uint8_t backlight);

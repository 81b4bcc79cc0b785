// The backlight's scale of the palette's colours.
#include "panel/backlight.h"

#include <initializer_list>

namespace {

// Brightness in 1/2700ths: 35 % at the dim level, 65 % more over the 27 steps to full.
constexpr uint32_t kScaleDenominator = 100 * (BACKLIGHT_FULL - BACKLIGHT_DIM);

uint32_t scaleNumerator(uint8_t backlight)
{
    const uint32_t level = backlight < BACKLIGHT_DIM ? BACKLIGHT_DIM : backlight > BACKLIGHT_FULL ? BACKLIGHT_FULL : backlight;
    return 35 * (BACKLIGHT_FULL - BACKLIGHT_DIM) + 65 * (level - BACKLIGHT_DIM);
}

}  // namespace

uint32_t backlitColour(uint32_t rgb, uint8_t backlight)
{
    const uint32_t n = scaleNumerator(backlight);
    uint32_t out = 0;
    for (const int shift : {16, 8, 0}) {
        const uint32_t channel = (rgb >> shift) & 0xFF;
        out |= ((channel * n + kScaleDenominator / 2) / kScaleDenominator) << shift;
    }
    return out;
}

// Puts the instrument's indexed Framebuffer on an OpenGL surface: one palette-converted texture
// per changed frame, drawn 1:1 with y downwards, as bright as the instrument's backlight. The
// per-point path is kept for comparison.
#pragma once
#include <array>
#include <cstdint>

#include "panel/backlight.h"

class FramePresenter {
public:
    // Needs a current OpenGL context.
    void initialise();
    void release();
    // Viewport and orthographic projection for a panel of this many pixels.
    void resize(int width, int height);
    // The brightness of the frames uploaded from now on. The palette is scaled once per change,
    // so the conversion of each frame costs the same at every level.
    void setBacklight(uint8_t backlight);
    // Converts an indexed frame through the (backlit) palette and uploads it as the texture.
    void upload(const uint8_t* frame);
    // Clears the panel black and draws the last uploaded frame.
    void drawTexture() const;
    // The same picture as one coloured point per non-black pixel (slow; for measurement).
    void drawPoints(const uint8_t* frame) const;

private:
    void buildPalette();

    unsigned texture = 0;
    uint8_t level = BACKLIGHT_FULL;
    std::array<uint32_t, 256> rgba{};  // backlit palette as GL_RGBA bytes in memory order
    std::array<uint32_t, 480 * 272> pixels{};
};

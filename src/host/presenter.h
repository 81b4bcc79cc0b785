// Puts the instrument's indexed Framebuffer on an OpenGL surface: one palette-converted texture
// per changed frame, drawn 1:1 with y downwards. The per-point path is kept for comparison.
#pragma once
#include <array>
#include <cstdint>

class FramePresenter {
public:
    // Needs a current OpenGL context.
    void initialise();
    void release();
    // Viewport and orthographic projection for a panel of this many pixels.
    void resize(int width, int height);
    // Converts an indexed frame through the palette and uploads it as the texture.
    void upload(const uint8_t* frame);
    // Clears the panel black and draws the last uploaded frame.
    void drawTexture() const;
    // The same picture as one coloured point per non-black pixel (slow; for measurement).
    void drawPoints(const uint8_t* frame) const;

private:
    unsigned texture = 0;
    std::array<uint32_t, 256> rgba{};  // palette as GL_RGBA bytes in memory order
    std::array<uint32_t, 480 * 272> pixels{};
};

// Fixed-function OpenGL presentation of the Framebuffer.
#include "present/presenter.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "display/framebuffer.h"

void FramePresenter::buildPalette()
{
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = backlitColour(palette[i], level);
        const uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        rgba[i] = r | (g << 8) | (b << 16) | 0xFF000000u;  // R, G, B, A bytes on a little-endian host
    }
}

void FramePresenter::setBacklight(uint8_t backlight)
{
    if (backlight == level) return;
    level = backlight;
    buildPalette();
}

void FramePresenter::initialise()
{
    buildPalette();
    glClearColor(0, 0, 0, 1);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    pixels.fill(rgba[0]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, SCREEN_WIDTH, SCREEN_HEIGHT, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void FramePresenter::release()
{
    if (texture) glDeleteTextures(1, &texture);
    texture = 0;
}

void FramePresenter::resize(int width, int height)
{
    // One framebuffer pixel to one panel pixel, y downwards from the panel's top-left corner.
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, width, height, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void FramePresenter::upload(const uint8_t* frame)
{
    for (int i = 0; i < FRAMEBUFFER_SIZE; ++i) pixels[i] = rgba[frame[i]];
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE,
                    pixels.data());
}

void FramePresenter::drawTexture() const
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(0, 0);
    glTexCoord2f(1, 0);
    glVertex2i(SCREEN_WIDTH, 0);
    glTexCoord2f(1, 1);
    glVertex2i(SCREEN_WIDTH, SCREEN_HEIGHT);
    glTexCoord2f(0, 1);
    glVertex2i(0, SCREEN_HEIGHT);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glFlush();
}

void FramePresenter::drawPoints(const uint8_t* frame) const
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_POINTS);
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const uint32_t rgb = palette[frame[x + SCREEN_WIDTH * y]];
            if (rgb == 0) continue;
            glColor3ub(static_cast<GLubyte>(rgb >> 16), static_cast<GLubyte>(rgb >> 8), static_cast<GLubyte>(rgb));
            glVertex2f(x + 0.5f, y + 0.5f);
        }
    glEnd();
    glFlush();
}

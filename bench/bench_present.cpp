// Presentation cost on this machine's OpenGL: one palette-converted texture per frame against one
// coloured point per non-black pixel, on a sparse frame (a notice) and a full one.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <cstring>
#include <memory>

#include "device.h"
#include "display/framebuffer.h"
#include "present/presenter.h"
#include "ui/screen.h"

namespace {

std::unique_ptr<FramePresenter> presenter;

enum Frame { Notice = 0, Full = 1 };

void prepareFrame(int which)
{
    if (which == Notice) {
        devicePowerOn();
        devicePressKey(KeySoft1);
        devicePass();  // the maintenance notice: a red box with white text on black
    } else {
        for (int i = 0; i < FRAMEBUFFER_SIZE; ++i) framebuffer[i] = static_cast<uint8_t>(1 + (i * 7) % 255);
    }
}

void BM_PresentTexture(benchmark::State& state)
{
    prepareFrame(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        presenter->upload(framebuffer);
        presenter->drawTexture();
        glFinish();
    }
}
BENCHMARK(BM_PresentTexture)->Arg(Notice)->Arg(Full)->Unit(benchmark::kMicrosecond);

// The worst case of the backlight: a different level on every frame, so the palette is scaled anew
// each time (the pop-up changes it at most once per knob step).
void BM_PresentTextureNewBacklight(benchmark::State& state)
{
    prepareFrame(Full);
    uint8_t level = 4;
    for (auto _ : state) {
        level = level >= 31 ? 4 : static_cast<uint8_t>(level + 1);
        presenter->setBacklight(level);
        presenter->upload(framebuffer);
        presenter->drawTexture();
        glFinish();
    }
    presenter->setBacklight(31);
}
BENCHMARK(BM_PresentTextureNewBacklight)->Unit(benchmark::kMicrosecond);

void BM_PresentPoints(benchmark::State& state)
{
    prepareFrame(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        presenter->drawPoints(framebuffer);
        glFinish();
    }
}
BENCHMARK(BM_PresentPoints)->Arg(Notice)->Arg(Full)->Unit(benchmark::kMicrosecond);

// What the display panel pays per batch of passes when the frame has not changed.
void BM_UnchangedFrameCheck(benchmark::State& state)
{
    static uint8_t shown[FRAMEBUFFER_SIZE];
    std::memcpy(shown, framebuffer, sizeof shown);
    for (auto _ : state) benchmark::DoNotOptimize(std::memcmp(shown, framebuffer, sizeof shown));
}
BENCHMARK(BM_UnchangedFrameCheck)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!context.create() || !context.makeCurrent(&surface)) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    QOpenGLFramebufferObject target(480, 273);
    target.bind();
    presenter = std::make_unique<FramePresenter>();
    presenter->initialise();
    presenter->resize(480, 273);
    std::printf("OpenGL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    presenter->release();
    return 0;
}

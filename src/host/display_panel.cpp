// Change detection and the OpenGL widget's life cycle around FramePresenter.
#include "host/display_panel.h"

#include <QOpenGLContext>
#include <cstring>

#include "display/framebuffer.h"

namespace {

constexpr int kPanelHeight = 273;  // one row more than the display, black

}  // namespace

DisplayPanel::DisplayPanel(QWidget* parent)
    : QOpenGLWidget(parent), presenter(std::make_unique<FramePresenter>()),
      shown(std::make_unique<std::array<uint8_t, 480 * 272>>())
{
    setObjectName("Panel1");
    std::memcpy(shown->data(), framebuffer, shown->size());
    refreshCheck.setSingleShot(true);
    refreshCheck.setInterval(15);  // a little under one 60 Hz refresh
    connect(&refreshCheck, &QTimer::timeout, this, &DisplayPanel::checkForChange);
}

DisplayPanel::~DisplayPanel()
{
    if (glReady) {
        makeCurrent();
        presenter->release();
        doneCurrent();
    }
}

void DisplayPanel::frameReady()
{
    if (!refreshCheck.isActive()) refreshCheck.start();
}

void DisplayPanel::checkForChange()
{
    if (repaintPending || std::memcmp(shown->data(), framebuffer, shown->size()) == 0) return;
    repaintPending = true;
    update();
}

void DisplayPanel::initializeGL()
{
    if (!context() || !context()->isValid()) {
        emit graphicsFailed(QStringLiteral("Creating Rendering Context failed."));
        return;
    }
    presenter->initialise();
    presenter->upload(shown->data());
    glReady = true;
}

void DisplayPanel::resizeGL(int, int)
{
    // The projection is in framebuffer pixels whatever the panel's size: the widget sets the
    // viewport to all its device pixels before each paint, so any zoom and any screen's pixel
    // ratio scale the picture, sampled nearest.
    if (glReady) presenter->resize(SCREEN_WIDTH, kPanelHeight);
}

void DisplayPanel::paintGL()
{
    if (!glReady) return;
    if (repaintPending) {
        std::memcpy(shown->data(), framebuffer, shown->size());
        presenter->upload(shown->data());
        repaintPending = false;
        ++presented;
    }
    presenter->drawTexture();
}

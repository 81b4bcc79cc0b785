// Change detection and the OpenGL widget's life cycle around FramePresenter.
#include "host/display_panel.h"

#include <QOpenGLContext>
#include <cstring>

#include "display/framebuffer.h"
#include "settings/settings.h"

DisplayPanel::DisplayPanel(QWidget* parent)
    : QOpenGLWidget(parent), presenter(std::make_unique<FramePresenter>()),
      shown(std::make_unique<std::array<uint8_t, 480 * 272>>()), shownBacklight(settings.backlight)
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
    if (repaintPending) return;
    if (settings.backlight == shownBacklight && std::memcmp(shown->data(), framebuffer, shown->size()) == 0) return;
    repaintPending = true;
    update();
}

void DisplayPanel::initializeGL()
{
    if (!context() || !context()->isValid()) {
        emit graphicsFailed(QStringLiteral("Creating Rendering Context failed."));
        return;
    }
    presenter->setBacklight(shownBacklight);
    presenter->initialise();
    presenter->upload(shown->data());
    glReady = true;
}

void DisplayPanel::resizeGL(int width, int height)
{
    if (glReady) presenter->resize(width, height);
}

void DisplayPanel::paintGL()
{
    if (!glReady) return;
    if (repaintPending) {
        std::memcpy(shown->data(), framebuffer, shown->size());
        shownBacklight = settings.backlight;
        presenter->setBacklight(shownBacklight);
        presenter->upload(shown->data());
        repaintPending = false;
        ++presented;
    }
    presenter->drawTexture();
}

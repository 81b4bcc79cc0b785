// Change detection and the raster presentation of the Framebuffer. The window's own backing
// store takes the panel's rectangle only, so a frame costs one palette conversion and one
// scaled copy, whatever the rest of the window shows.
#include "host/display_panel.h"

#include <QPainter>
#include <cmath>
#include <cstring>

#include "display/framebuffer.h"
#include "present/presenter.h"
#include "settings/settings.h"

DisplayPanel::DisplayPanel(QWidget* parent)
    : QWidget(parent), shown(std::make_unique<std::array<uint8_t, 480 * 272>>()),
      shownBacklight(settings.backlight), image(SCREEN_WIDTH, SCREEN_HEIGHT, QImage::Format_RGB32)
{
    setObjectName("Panel1");
    setAttribute(Qt::WA_OpaquePaintEvent);
    applyBacklight(shownBacklight);
    std::memcpy(shown->data(), framebuffer, shown->size());
    convertShown();  // what the panel shows before the first frame is presented
    refreshCheck.setSingleShot(true);
    refreshCheck.setInterval(15);  // a little under one 60 Hz refresh
    connect(&refreshCheck, &QTimer::timeout, this, [this] {
        if (!checkPending) return;
        checkPending = false;
        checkForChange();
    });
}

DisplayPanel::~DisplayPanel() = default;

void DisplayPanel::frameReady()
{
    if (refreshCheck.isActive()) {
        checkPending = true;
        return;
    }
    refreshCheck.start();
    checkForChange();
}

void DisplayPanel::checkForChange()
{
    if (repaintPending) return;
    if (settings.backlight == shownBacklight && std::memcmp(shown->data(), framebuffer, shown->size()) == 0) return;
    std::memcpy(shown->data(), framebuffer, shown->size());
    if (settings.backlight != shownBacklight) applyBacklight(settings.backlight);
    repaintPending = true;
    update();
}

void DisplayPanel::applyBacklight(uint8_t level)
{
    // The display's brightness lives in the colour table only; the Framebuffer keeps its indices.
    shownBacklight = level;
    for (int i = 0; i < 256; ++i) rgb[i] = 0xFF000000u | backlitColour(::palette[i], level);
}

void DisplayPanel::convertShown()
{
    const uint8_t* frame = shown->data();
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < SCREEN_WIDTH; ++x) line[x] = rgb[frame[x + SCREEN_WIDTH * y]];
    }
}

void DisplayPanel::paintEvent(QPaintEvent*)
{
    if (repaintPending) {
        convertShown();
        repaintPending = false;
        ++presented;
    }
    // No smoothing: at the window's whole zooms each framebuffer pixel is a square block of whole
    // device pixels at any screen scale; a fitted size in between samples the nearest pixel. The
    // panel's last row stays black.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const qreal ratio = devicePixelRatioF();
    const double across = width() * ratio / SCREEN_WIDTH;  // device pixels per framebuffer pixel
    const double block = std::abs(across - std::round(across)) < 0.01 ? std::round(across) : across;
    const QRectF shownArea(0, 0, SCREEN_WIDTH * block / ratio, SCREEN_HEIGHT * block / ratio);
    painter.drawImage(shownArea, image);
    // The rest, right of and below the picture, without building a region every frame.
    painter.fillRect(QRectF(shownArea.right(), 0, width() - shownArea.right(), height()), Qt::black);
    painter.fillRect(QRectF(0, shownArea.bottom(), shownArea.right(), height() - shownArea.bottom()), Qt::black);
}

QImage DisplayPanel::grabFramebuffer() { return grab().toImage(); }

// The instrument's display in the window: presents the Framebuffer through OpenGL, as bright as
// the instrument's backlight setting, whenever the frame or the backlight has changed since the
// frame last shown, at most once per display refresh.
#pragma once
#include <QOpenGLWidget>
#include <QTimer>
#include <array>
#include <memory>

#include "host/presenter.h"

class DisplayPanel : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit DisplayPanel(QWidget* parent);
    ~DisplayPanel() override;

    // Called after passes have run: schedules a repaint if the Framebuffer differs from the
    // frame on show. Cheap when nothing changed.
    void frameReady();
    // Frames put on the panel since start (for tests and measurement).
    uint64_t framesPresented() const { return presented; }

signals:
    void graphicsFailed(const QString& message);

protected:
    void checkForChange();
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

private:
    std::unique_ptr<FramePresenter> presenter;
    std::unique_ptr<std::array<uint8_t, 480 * 272>> shown;  // the frame on show
    uint8_t shownBacklight;                                  // the backlight it is shown with
    bool repaintPending = false;
    QTimer refreshCheck;  // the change check runs at most once per display refresh
    bool glReady = false;
    uint64_t presented = 0;
};

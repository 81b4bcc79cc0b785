// The instrument's display in the window: presents the Framebuffer through the palette whenever
// it or the backlight has changed since the frame last shown, as bright as the backlight setting,
// at most once per display refresh, scaled by whole framebuffer pixels (nearest sampling) to the
// panel's size at any zoom and screen pixel ratio.
#pragma once
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

class DisplayPanel : public QWidget {
    Q_OBJECT
public:
    explicit DisplayPanel(QWidget* parent);
    ~DisplayPanel() override;

    // Called after a drawn pass: schedules a repaint if the Framebuffer differs from the frame on
    // show, at once unless a frame was checked less than a refresh ago (then at its end). Cheap
    // when nothing changed.
    void frameReady();
    // Frames put on the panel since start (for tests and measurement).
    uint64_t framesPresented() const { return presented; }
    // The panel as shown, in device pixels.
    QImage grabFramebuffer();

signals:
    // Kept for hosts that report a failed graphics set-up; the raster panel cannot fail.
    void graphicsFailed(const QString& message);

protected:
    void checkForChange();
    void paintEvent(QPaintEvent* event) override;

private:
    void convertShown();
    void applyBacklight(uint8_t level);  // the palette table scaled for level

    std::unique_ptr<std::array<uint8_t, 480 * 272>> shown;  // the frame on show
    uint8_t shownBacklight;                                  // the backlight it is shown with
    std::array<uint32_t, 256> rgb{};                         // the palette as QImage RGB32
    QImage image;                                            // the frame on show, in colour
    bool repaintPending = false;
    bool checkPending = false;  // a frame arrived during the refresh guard
    QTimer refreshCheck;        // the change check runs at most once per display refresh
    uint64_t presented = 0;
};

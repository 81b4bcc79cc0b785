// The instrument's front: the panel picture with the live display, the key areas, the knob's
// "+" and "-", "&On" and "&Off" and the host's lamps, all scaled together by the zoom.
#pragma once
#include <QWidget>
#include <array>
#include <vector>

#include "panel/panel_layout.h"

class QImage;
class QLabel;
class QPushButton;
class DisplayPanel;
class KeyArea;
class PanelLamps;

// A rectangle of the panel's tables as Qt's.
QRect toQRect(const panel::Rect& r);
// The front panel's picture (a built-in resource), decoded; null if it cannot be read.
QImage frontPanelPicture();

class FrontPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = panel::kWidth;  // at zoom 1
    static constexpr int kHeight = panel::kHeight;

    explicit FrontPanel(QWidget* parent);
    void setScale(double factor);
    double scale() const { return zoom; }

    DisplayPanel* display() const { return Panel1; }
    KeyArea* keyArea(uint8_t code) const;  // 1..6
    QPushButton* onButton() const { return Button1; }
    QPushButton* offButton() const { return Button2; }
    PanelLamps* lamps() const { return lampRow; }

signals:
    void keyClicked(uint8_t code);
    void turned(int detents);  // the wheel over the display or the knob

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Placed {
        QWidget* widget;
        QRect base;         // geometry at zoom 1
        int fontPixels;     // 0: the font stays
    };
    QWidget* place(QWidget* widget, const QRect& base, int fontPixels = 0);

    QLabel* Image1 = nullptr;
    DisplayPanel* Panel1 = nullptr;
    std::array<KeyArea*, 6> keyAreas{};  // Image2, Image3, Image4, Image5, Image7, Image8
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    PanelLamps* lampRow = nullptr;
    std::vector<Placed> placed;
    double zoom = 1.0;
    int wheelRemainder = 0;
};

// A transparent click area over the panel picture that stands for one key of the instrument;
// it is drawn pressed while the mouse or its keyboard key holds it.
#pragma once
#include <QWidget>

class KeyArea : public QWidget {
    Q_OBJECT
public:
    KeyArea(uint8_t keyCode, const QString& name, QWidget* parent);
    uint8_t keyCode() const { return code; }
    bool isPressed() const { return pressed; }
    void setPressed(bool down);

signals:
    void clicked(uint8_t keyCode);
    // The wheel turned over the area: whole detents, positive away from the user.
    void turned(int detents);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    uint8_t code;
    bool pressed = false;
    int wheelRemainder = 0;
};

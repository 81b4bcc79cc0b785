// Key areas report a click as the key code they stand for and shade themselves while held.
#include "host/key_area.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

KeyArea::KeyArea(uint8_t keyCode, const QString& name, QWidget* parent) : QWidget(parent), code(keyCode)
{
    setObjectName(name);
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
}

void KeyArea::setPressed(bool down)
{
    if (pressed == down) return;
    pressed = down;
    update();
}

void KeyArea::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        setPressed(true);
        emit clicked(code);
    }
    event->accept();
}

void KeyArea::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) setPressed(false);
    event->accept();
}

void KeyArea::wheelEvent(QWheelEvent* event)
{
    wheelRemainder += event->angleDelta().y();
    const int detents = wheelRemainder / 120;
    wheelRemainder -= detents * 120;
    if (detents != 0) emit turned(detents);
    event->accept();
}

void KeyArea::paintEvent(QPaintEvent*)
{
    if (!pressed) return;
    // A pressed key sinks: a dark shade with a light lower-right rim.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    painter.setPen(QPen(QColor(255, 255, 255, 140), 2));
    painter.setBrush(QColor(0, 0, 0, 110));
    painter.drawEllipse(r);
}

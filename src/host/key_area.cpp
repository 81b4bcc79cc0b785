// Key areas report a click as the key code they stand for.
#include "host/key_area.h"

#include <QMouseEvent>

KeyArea::KeyArea(uint8_t keyCode, const QString& name, QWidget* parent) : QWidget(parent), code(keyCode)
{
    setObjectName(name);
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
}

void KeyArea::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) emit clicked(code);
    event->accept();
}

// The bar's own key and wheel handling: the same direction for every means of moving it.
#include "host/input_bar.h"

#include <QKeyEvent>
#include <QLabel>
#include <QWheelEvent>

InputBar::InputBar(int step, QWidget* parent)
    : QScrollBar(Qt::Horizontal, parent), usefulStep(step > 0 ? step : 1), readingLabel(new QLabel(parent))
{
    QFont small = readingLabel->font();
    small.setPixelSize(kReadingHeight - 1);
    readingLabel->setFont(small);
    readingLabel->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    // Opaque, so a moving bar or a new reading repaints only itself, not the group box beneath.
    setAutoFillBackground(true);
    connect(this, &QAbstractSlider::actionTriggered, this, &InputBar::stepTheWayItLooks);
}

void InputBar::setReversed(bool reversed)
{
    if (reversed != invertedAppearance()) setInvertedAppearance(reversed);
}

void InputBar::stepTheWayItLooks(int action)
{
    // The arrow buttons and clicks in the groove add or subtract by where they are on the screen;
    // on a reversed bar the right is the lower end.
    if (!reversed()) return;
    switch (action) {
    case SliderSingleStepAdd: setSliderPosition(value() - singleStep()); break;
    case SliderSingleStepSub: setSliderPosition(value() + singleStep()); break;
    case SliderPageStepAdd: setSliderPosition(value() - pageStep()); break;
    case SliderPageStepSub: setSliderPosition(value() + pageStep()); break;
    default: break;
    }
}

void InputBar::moveBy(int counts)
{
    const qint64 target = qint64{value()} + (reversed() ? -counts : counts);
    setValue(static_cast<int>(std::clamp<qint64>(target, minimum(), maximum())));
}

void InputBar::keyPressEvent(QKeyEvent* event)
{
    const int step = event->modifiers() & Qt::ShiftModifier ? 1 : usefulStep;
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up: moveBy(step); break;
    case Qt::Key_Left:
    case Qt::Key_Down: moveBy(-step); break;
    case Qt::Key_PageUp: moveBy(10 * usefulStep); break;
    case Qt::Key_PageDown: moveBy(-10 * usefulStep); break;
    case Qt::Key_Home: setValue(minimum()); break;
    case Qt::Key_End: setValue(maximum()); break;
    default: QScrollBar::keyPressEvent(event); return;
    }
    event->accept();
}

void InputBar::wheelEvent(QWheelEvent* event)
{
    // Away from the user (or to the right) raises; one detent (120 eighths) is one step. Some
    // systems turn a Shift+wheel into a horizontal wheel.
    const QPoint delta = event->angleDelta();
    wheelRemainder += delta.y() != 0 ? delta.y() : delta.x();
    const int detents = wheelRemainder / 120;
    wheelRemainder -= detents * 120;
    if (detents != 0) moveBy(detents * (event->modifiers() & Qt::ShiftModifier ? 1 : usefulStep));
    event->accept();
}

void InputBar::setReadingText(const QString& text)
{
    if (text == reading) return;
    reading = text;
    setToolTip(text);
    readingLabel->setText(text);
}

void InputBar::moveEvent(QMoveEvent* event)
{
    QScrollBar::moveEvent(event);
    readingLabel->setGeometry(x(), y() - kReadingHeight, width(), kReadingHeight);
}

void InputBar::resizeEvent(QResizeEvent* event)
{
    QScrollBar::resizeEvent(event);
    readingLabel->setGeometry(x(), y() - kReadingHeight, width(), kReadingHeight);
}

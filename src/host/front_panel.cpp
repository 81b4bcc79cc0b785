// Every child keeps its geometry at zoom 1; a new zoom places and sizes them all again.
#include "host/front_panel.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QWheelEvent>

#include "host/display_panel.h"
#include "images/jpeg_image.h"
#include "host/key_area.h"
#include "host/panel_lamps.h"
#include "panel/panel_layout.h"
#include "ui/screen.h"

namespace {

QPushButton* makeButton(const QString& caption, const QString& name, QWidget* parent, bool bold)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    if (bold) {
        QFont font = button->font();
        font.setBold(true);
        button->setFont(font);
    }
    return button;
}

}  // namespace

QRect toQRect(const panel::Rect& r) { return {r.left, r.top, r.width, r.height}; }

QImage frontPanelPicture()
{
    QFile picture(":/panel/front_panel.jpg");
    if (!picture.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = picture.readAll();
    RgbImage decoded;
    if (!decodeJpeg(reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size()), decoded))
        return {};
    return QImage(decoded.rgb.data(), decoded.width, decoded.height, 3 * decoded.width, QImage::Format_RGB888).copy();
}

FrontPanel::FrontPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrontPanel");
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setScaledContents(true);
    const QImage image = frontPanelPicture();
    if (!image.isNull()) Image1->setPixmap(QPixmap::fromImage(image));
    place(Image1, {0, 0, kWidth, kHeight});

    Panel1 = new DisplayPanel(this);
    Panel1->setFocusPolicy(Qt::ClickFocus);
    Panel1->installEventFilter(this);
    place(Panel1, toQRect(panel::kDisplay));

    for (size_t i = 0; i < keyAreas.size(); ++i) {
        const panel::KeyPlace& a = panel::kKeyPlaces[i];
        keyAreas[i] = new KeyArea(a.code, a.name, this);
        place(keyAreas[i], toQRect(a.place));
        connect(keyAreas[i], &KeyArea::clicked, this, &FrontPanel::keyClicked);
    }
    connect(keyAreas[5], &KeyArea::turned, this, &FrontPanel::turned);

    QPushButton** buttons[] = {&Button3, &Button4, &Button1, &Button2};
    for (size_t i = 0; i < std::size(panel::kButtons); ++i) {
        const panel::ButtonPlace& b = panel::kButtons[i];
        *buttons[i] = makeButton(b.caption, b.name, this, b.bold);
        place(*buttons[i], toQRect(b.place), b.fontPixels);
    }
    connect(Button3, &QPushButton::clicked, this, [this] { emit keyClicked(KeyKnobPlus); });
    connect(Button4, &QPushButton::clicked, this, [this] { emit keyClicked(KeyKnobMinus); });

    lampRow = new PanelLamps(this);
    setScale(1.0);
}

QWidget* FrontPanel::place(QWidget* widget, const QRect& base, int fontPixels)
{
    placed.push_back({widget, base, fontPixels});
    return widget;
}

KeyArea* FrontPanel::keyArea(uint8_t code) const
{
    for (KeyArea* area : keyAreas)
        if (area->keyCode() == code) return area;
    return nullptr;
}

void FrontPanel::setScale(double factor)
{
    zoom = factor;
    const auto at = [factor](int v) { return static_cast<int>(std::lround(v * factor)); };
    for (const Placed& p : placed) {
        p.widget->setGeometry(at(p.base.x()), at(p.base.y()), at(p.base.right() + 1) - at(p.base.x()),
                              at(p.base.bottom() + 1) - at(p.base.y()));
        if (p.fontPixels > 0) {
            QFont font = p.widget->font();
            font.setPixelSize(std::max(1, at(p.fontPixels)));
            p.widget->setFont(font);
        }
    }
    lampRow->setScale(factor);
    lampRow->raise();
    setFixedSize(at(kWidth), at(kHeight));
}

bool FrontPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Panel1 && event->type() == QEvent::Wheel) {
        wheelRemainder += static_cast<QWheelEvent*>(event)->angleDelta().y();
        const int detents = wheelRemainder / 120;
        wheelRemainder -= detents * 120;
        if (detents != 0) emit turned(detents);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

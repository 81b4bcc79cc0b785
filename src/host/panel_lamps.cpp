// Lamps are painted as a dark bezel with a glass that glows in its colour while lit.
#include "host/panel_lamps.h"

#include <QPainter>
#include <QRadialGradient>

PanelLamps::PanelLamps(QWidget* parent) : QWidget(parent)
{
    setObjectName("PanelLamps");
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
}

void PanelLamps::addLamp(PanelLamp lamp)
{
    auto* tip = new QWidget(this);
    tip->setObjectName(lamp.name + "Lamp");
    tip->setToolTip(lamp.name);
    tips.push_back(tip);
    lamps.push_back(std::move(lamp));
    state.push_back(false);
    placeLamps();
    refresh();
    update();
}

namespace {

QRect scaled(const QRect& r, double scale)
{
    return QRect(static_cast<int>(r.x() * scale), static_cast<int>(r.y() * scale),
                 static_cast<int>(r.width() * scale), static_cast<int>(r.height() * scale));
}

}  // namespace

void PanelLamps::placeLamps()
{
    // The widget covers just the lamps, so the panel's keys around them stay clickable.
    QRect all;
    for (const PanelLamp& lamp : lamps) all = all.united(lamp.place);
    setGeometry(scaled(all, scale));
    for (size_t i = 0; i < lamps.size(); ++i) tips[i]->setGeometry(scaled(lamps[i].place.translated(-all.topLeft()), scale));
}

void PanelLamps::setScale(double factor)
{
    scale = factor;
    placeLamps();
    update();
}

void PanelLamps::refresh()
{
    bool changed = false;
    for (size_t i = 0; i < lamps.size(); ++i) {
        const bool lit = lamps[i].lit && lamps[i].lit();
        if (lit != state[i]) {
            state[i] = lit;
            changed = true;
        }
    }
    if (changed) update();
}

bool PanelLamps::isLit(const QString& name) const
{
    for (size_t i = 0; i < lamps.size(); ++i)
        if (lamps[i].name == name) return state[i];
    return false;
}

void PanelLamps::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (size_t i = 0; i < lamps.size(); ++i) {
        const QRectF r = tips[i]->geometry();
        painter.setPen(QPen(QColor(20, 20, 20), std::max(1.0, scale)));
        painter.setBrush(QColor(45, 45, 45));
        painter.drawEllipse(r);
        const QRectF glass = r.adjusted(r.width() / 5, r.height() / 5, -r.width() / 5, -r.height() / 5);
        const QColor off = lamps[i].colour.darker(420);
        QRadialGradient glow(glass.center(), glass.width() / 2);
        glow.setColorAt(0, state[i] ? lamps[i].colour.lighter(160) : off.lighter(130));
        glow.setColorAt(1, state[i] ? lamps[i].colour : off);
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(glass);
    }
}

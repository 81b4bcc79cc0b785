// The chart widget's painting and pointer handling.
#include "host/trends_chart.h"

#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

#include "host/trends_tab.h"

namespace {

constexpr int kValueTicks = 5;
constexpr int kTimeTicks = 4;            // time labels across a chart, at most
constexpr double kWheelStep = 0.8;       // span factor per wheel notch

const QColor kLineColors[12] = {
    {31, 119, 180}, {255, 127, 14}, {44, 160, 44}, {214, 39, 40}, {148, 103, 189}, {140, 86, 75},
    {227, 119, 194}, {127, 127, 127}, {188, 189, 34}, {23, 190, 207}, {0, 0, 128}, {128, 128, 0},
};

}  // namespace

QString trendValueText(float v)
{
    if (std::isnan(v)) return "-";
    return v == std::round(v) ? QString::number(static_cast<double>(v), 'f', 0) : QString::number(static_cast<double>(v), 'f', 1);
}

TrendChart::TrendChart(TrendGroup group, TrendsTab* tab) : group(group), tab(tab)
{
    setObjectName(QString("Trend%1").arg(int(group)));
    setMouseTracking(true);
    setAutoFillBackground(false);
    QFont small = font();
    small.setPointSize(7);
    setFont(small);
    setMinimumHeight(group == TGROUP_EGT || group == TGROUP_CHT ? 210 : 170);
    setToolTip("Wheel: zoom about the pointer. Drag: move in time. Double-click: the whole session.");
}

void TrendChart::begin(const QString& chartTitle, const TrendLimits& l, bool floorAtZero, double t0, double t1, double offset)
{
    title = chartTitle;
    limits[0] = l.lowAlarm, limits[1] = l.highAlarm, limits[2] = l.lowCaution, limits[3] = l.highCaution;
    neverNegative = floorAtZero;
    x0 = t0, x1 = t1, labelOffset = offset;
    used = 0;
}

std::vector<RecordingPoint>& TrendChart::line(const QString& name)
{
    if (used == lines.size()) lines.emplace_back();
    Line& l = lines[used++];
    l.name = name;
    l.points.clear();
    l.atCursor = kNone;
    return l.points;
}

void TrendChart::finish()
{
    double lo = INFINITY, hi = -INFINITY;
    for (size_t i = 0; i < used; ++i)
        for (const RecordingPoint& p : lines[i].points) lo = std::min(lo, double(p.value)), hi = std::max(hi, double(p.value));
    for (float l : limits)
        if (shows(l)) lo = std::min(lo, double(l)), hi = std::max(hi, double(l));
    if (!(lo <= hi)) lo = 0, hi = 1;
    const double pad = std::max((hi - lo) * 0.08, 1.0);
    y0 = neverNegative ? std::max(lo - pad, 0.0) : lo - pad;
    y1 = hi + pad;
    yTicks = roundTicks(y0, y1, kValueTicks);
    // As many labels as fit apart, up to kTimeTicks.
    const int fit = plotWidth() / (2 * fontMetrics().horizontalAdvance("00:00:00"));
    xTicks = roundTicks(x0 + labelOffset, x1 + labelOffset, std::clamp(fit, 2, kTimeTicks), TickScale::Time);
    xLabels.clear();
    for (int i = 0; i < xTicks.count; ++i)
        xLabels << QString::fromStdString(timeTickLabel(xTicks.at(i), xTicks, x1 - x0));
    drawn = used > 0 ? static_cast<int>(lines[0].points.size()) : 0;
    update();
}

QStringList TrendChart::legend() const
{
    QStringList out;
    for (size_t i = 0; i < used; ++i)
        if (!lines[i].points.empty()) out << legendText(lines[i]);
    return out;
}

void TrendChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRect r = plot();
    const QFontMetrics fm = fontMetrics();
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(Qt::black);
    p.drawText(QRect(r.left(), 0, r.width(), kTitle), Qt::AlignLeft | Qt::AlignVCenter, title);
    p.setFont(font());
    const QColor grid(225, 225, 225);
    for (int i = 0; i < yTicks.count; ++i) {
        const double y = yOf(yTicks.at(i));
        p.setPen(grid);
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, y - fm.height() / 2.0, r.left() - 4, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(yTicks.at(i), 'f', yTicks.decimals()));
    }
    for (int i = 0; i < xTicks.count; ++i) {
        const double x = xOf(xTicks.at(i) - labelOffset);
        p.setPen(grid);
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        p.setPen(Qt::black);
        const int w = fm.horizontalAdvance(xLabels[i]);
        p.drawText(QPointF(std::clamp(x - w / 2.0, 0.0, double(width() - w)), r.bottom() + fm.ascent() + 2), xLabels[i]);
    }
    p.setClipRect(r);
    const QColor alarm(220, 0, 0), caution(230, 170, 0);
    for (int i = 0; i < 4; ++i) {
        if (!shows(limits[i])) continue;
        p.setPen(QPen(i < 2 ? alarm : caution, 1, Qt::DashLine));
        p.drawLine(QPointF(r.left(), yOf(limits[i])), QPointF(r.right(), yOf(limits[i])));
    }
    for (size_t i = 0; i < used; ++i) {
        polyline.clear();
        for (const RecordingPoint& pt : lines[i].points) polyline.append(QPointF(xOf(pt.time), yOf(pt.value)));
        p.setPen(QPen(kLineColors[i % 12], 1));
        if (polyline.size() == 1) p.drawPoint(polyline[0]);
        else p.drawPolyline(polyline);
    }
    if (std::isfinite(cursor) && cursor >= x0 && cursor <= x1) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.drawLine(QPointF(xOf(cursor), r.top()), QPointF(xOf(cursor), r.bottom()));
    }
    p.setClipping(false);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(r);
    // The legend: rows under the time labels, each entry its colour, name and cursor value.
    int x = r.left(), y = r.bottom() + fm.height() + 6;
    for (size_t i = 0; i < used; ++i) {
        if (lines[i].points.empty()) continue;
        const QString text = legendText(lines[i]);
        const int w = 14 + fm.horizontalAdvance(text) + 12;
        if (x + w > width() && x > r.left()) x = r.left(), y += fm.height() + 2;
        p.fillRect(QRect(x, y + fm.height() / 2 - 2, 10, 4), kLineColors[i % 12]);
        p.setPen(Qt::black);
        p.drawText(QPoint(x + 14, y + fm.ascent()), text);
        x += w;
    }
}

void TrendChart::wheelEvent(QWheelEvent* e)
{
    const double notches = e->angleDelta().y() / 120.0;
    if (notches != 0) tab->zoomAbout(timeAt(e->position().x()), std::pow(kWheelStep, notches));
    e->accept();
}

void TrendChart::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) dragX = e->position().x();
}

void TrendChart::mouseMoveEvent(QMouseEvent* e)
{
    const double x = e->position().x();
    if ((e->buttons() & Qt::LeftButton) && std::isfinite(dragX)) {
        tab->panBy((dragX - x) / plotWidth() * (x1 - x0));
        dragX = x;
    }
    tab->setCursorTime(plot().contains(e->position().toPoint()) ? timeAt(x) : kNone);
}

void TrendChart::mouseDoubleClickEvent(QMouseEvent*) { tab->showWhole(); }

void TrendChart::leaveEvent(QEvent*) { tab->setCursorTime(kNone); }

QString TrendChart::legendText(const Line& l) const
{
    return std::isfinite(cursor) ? l.name + " " + trendValueText(l.atCursor) : l.name;
}

QRect TrendChart::plot() const
{
    const int row = fontMetrics().height() + 2;
    return QRect(kLeft, kTitle, width() - kLeft - kRight, height() - kTitle - row - 4 - legendRows() * row - 4);
}

double TrendChart::xOf(double t) const
{
    const QRect r = plot();
    return r.left() + (x1 > x0 ? (t - x0) / (x1 - x0) : 0.0) * r.width();
}

double TrendChart::yOf(double v) const
{
    const QRect r = plot();
    return r.bottom() - (y1 > y0 ? (v - y0) / (y1 - y0) : 0.0) * r.height();
}

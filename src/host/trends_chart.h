// One chart of the "Trends" tab: a plain widget that paints one group's reduced series (at most
// two points per pixel column and series, whatever the span), its alarm and caution lines, axes
// with round ticks, a legend that reads the cursor, and the cursor line. The tab owns the span
// shown; the chart hands the pointer's wheel, drags and hover back to it.
#pragma once
#include <QPolygonF>
#include <QStringList>
#include <QWidget>

#include <cmath>
#include <limits>
#include <vector>

#include "trends/axis_ticks.h"
#include "trends/trend_buffer.h"

class TrendsTab;

// A value as the legend and the session list show it: whole or with one decimal, "-" for none.
QString trendValueText(float v);

class TrendChart : public QWidget {
public:
    TrendChart(TrendGroup group, TrendsTab* tab);

    // A refresh: the frame, then each line's points, then finish().
    void begin(const QString& chartTitle, const TrendLimits& l, bool floorAtZero, double t0, double t1, double offset);
    std::vector<RecordingPoint>& line(const QString& name);
    void finish();
    size_t lineCount() const { return used; }
    void setCursorValue(size_t line, float v) { lines[line].atCursor = v; }
    void setCursor(double t)
    {
        cursor = t;
        update();
    }

    // The plot's width in pixels: what the series are reduced to.
    int plotWidth() const { return std::max(1, plot().width()); }
    double valueAxisMinimum() const { return y0; }
    const QStringList& timeLabels() const { return xLabels; }
    QStringList legend() const;
    int drawn = 0;

protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent*) override { dragX = kNone; }
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    static constexpr float kNone = std::numeric_limits<float>::quiet_NaN();
    struct Line {
        QString name;
        std::vector<RecordingPoint> points;
        float atCursor = kNone;
    };
    static constexpr int kTitle = 16, kLeft = 44, kRight = 10;

    static bool shows(float limit) { return !std::isnan(limit) && limit != 0; }
    QString legendText(const Line& l) const;
    int legendRows() const { return group == TGROUP_EGT || group == TGROUP_CHT ? 2 : 1; }
    QRect plot() const;
    double xOf(double t) const;
    double yOf(double v) const;
    double timeAt(double x) const { return x0 + (x - plot().left()) / plotWidth() * (x1 - x0); }

    TrendGroup group;
    TrendsTab* tab;
    QString title;
    float limits[4] = {kNone, kNone, kNone, kNone};
    bool neverNegative = false;
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1, labelOffset = 0, cursor = kNone, dragX = kNone;
    AxisTicks xTicks, yTicks;
    QStringList xLabels;
    std::vector<Line> lines;
    size_t used = 0;
    QPolygonF polyline;
};

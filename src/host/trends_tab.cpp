// Each chart keeps its line series and axes; a refresh replaces the points in one call per series,
// and only while the tab is shown, so a hidden tab costs nothing but the once-a-second check.
#include "host/trends_tab.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollArea>
#include <QValueAxis>
#include <QVBoxLayout>

#include <cmath>
#include <fstream>

#include "host/axis_ticks.h"
#include "settings/settings.h"
#include "time/clock.h"

namespace {

const int kSpans[] = {1, 5, 15};
constexpr int kValueTicks = 5;
constexpr int kTimeTicks = 4;  // "hh:mm:ss" labels across half the tab
constexpr double kShortestAxis = 60;  // seconds: a recording of one sample still gets a minute

}  // namespace

// One group's chart: up to twelve value series and four limit lines.
class TrendChart : public QChartView {
public:
    // The chart is handed to the view as it is built: a view made without one makes a chart of its
    // own, which setChart would release without deleting.
    explicit TrendChart(TrendGroup group) : QChartView(new QChart), group(group)
    {
        setObjectName(QString("Trend%1").arg(int(group)));
        QChart* c = chart();
        c->setMargins(QMargins(2, 2, 2, 2));
        c->legend()->setAlignment(Qt::AlignBottom);
        const QFont small(font().family(), 7);
        c->legend()->setFont(small);
        c->addAxis(&x, Qt::AlignBottom);
        c->addAxis(&y, Qt::AlignLeft);
        x.setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        x.setLabelsFont(small);
        y.setLabelsFont(small);
        y.setTickType(QValueAxis::TicksDynamic);
        const int n = (group == TGROUP_EGT || group == TGROUP_CHT) ? 12 : 1;
        for (int i = 0; i < n; ++i) addSeries(c, new QLineSeries, QPen());
        const QColor alarm(220, 0, 0), caution(230, 170, 0);
        for (int i = 0; i < 4; ++i) {
            auto* line = new QLineSeries;
            limits[i] = line;
            addSeries(c, line, QPen(i < 2 ? alarm : caution, 1, Qt::DashLine));
            c->legend()->markers(line).first()->setVisible(false);
        }
        setRenderHint(QPainter::Antialiasing, false);
        setMinimumHeight(group == TGROUP_EGT || group == TGROUP_CHT ? 210 : 170);
    }

    // Draws the samples from `start` to `end` (their steady seconds) against the instrument's
    // clock, which read `clockAtEnd` at `end`.
    template <typename Samples>
    void draw(const Samples& at, size_t count, double start, double end, double clockAtEnd, int egts,
              const std::string& unit)
    {
        const QString title = trendGroupTitle(group), u = QString::fromStdString(unit);
        chart()->setTitle(u.isEmpty() || u == title ? title : QString("%1 (%2)").arg(title, u));
        const TrendLimits l = trendLimits(group);
        double lo = INFINITY, hi = -INFINITY;
        QList<QPointF> points;
        points.reserve(static_cast<int>(count));
        drawn = 0;
        for (size_t s = 0; s < values.size(); ++s) {
            const int series = seriesOf(static_cast<int>(s), egts);
            points.clear();
            if (series >= 0) {
                for (size_t i = 0; i < count; ++i) {
                    const TrendSample& sample = at(i);
                    const float v = sample.value[series];
                    if (sample.seconds < start || std::isnan(v)) continue;
                    points.append(QPointF(clockAtEnd + (sample.seconds - end), v));
                    lo = std::min(lo, double(v));
                    hi = std::max(hi, double(v));
                }
            }
            if (s == 0) drawn = static_cast<int>(points.size());
            values[s]->setName(series >= 0 ? QString::fromStdString(trendSeriesName(TrendSeries(series), egts)) : "");
            values[s]->setVisible(series >= 0 && !points.isEmpty());
            chart()->legend()->markers(values[s]).first()->setVisible(values[s]->isVisible());
            values[s]->replace(points);
        }
        const float lines[4] = {l.lowAlarm, l.highAlarm, l.lowCaution, l.highCaution};
        const double x1 = clockAtEnd, x0 = x1 - std::max(end - start, kShortestAxis);
        for (int i = 0; i < 4; ++i) {
            const bool show = !std::isnan(lines[i]) && lines[i] != 0;
            limits[i]->setVisible(show);
            if (!show) continue;
            limits[i]->replace(QList<QPointF>{{x0, lines[i]}, {x1, lines[i]}});
            lo = std::min(lo, double(lines[i]));
            hi = std::max(hi, double(lines[i]));
        }
        if (!(lo <= hi)) lo = 0, hi = 1;
        const double pad = std::max((hi - lo) * 0.08, 1.0);
        setValueAxis(trendNeverNegative(group, unit) ? std::max(lo - pad, 0.0) : lo - pad, hi + pad);
        setTimeAxis(x0, x1);
    }

    double valueAxisMinimum() const { return y.min(); }
    QStringList timeLabels() { return x.categoriesLabels(); }

    int drawn = 0;

private:
    void setValueAxis(double lo, double hi)
    {
        const AxisTicks t = roundTicks(lo, hi, kValueTicks);
        y.setRange(lo, hi);
        y.setTickAnchor(t.first);
        y.setTickInterval(t.step);
        y.setLabelFormat(QString("%.%1f").arg(t.decimals()));
    }

    // A label at each round time; the labels are the only categories the axis has.
    void setTimeAxis(double lo, double hi)
    {
        const AxisTicks t = roundTicks(lo, hi, kTimeTicks, TickScale::Time);
        for (const QString& label : x.categoriesLabels()) x.remove(label);
        x.setStartValue(t.first - t.step);
        for (int i = 0; i < t.count; ++i)
            x.append(QString::fromStdString(timeTickLabel(t.at(i), t, hi - lo)), t.at(i));
        x.setRange(lo, hi);
    }

    void addSeries(QChart* c, QLineSeries* s, const QPen& pen)
    {
        if (pen.style() != Qt::SolidLine) s->setPen(pen);
        else values.push_back(s);
        c->addSeries(s);
        s->attachAxis(&x);
        s->attachAxis(&y);
    }
    // Which sample value the chart's s-th series draws: EGTs are the first egts channels.
    int seriesOf(int s, int egts) const
    {
        switch (group) {
        case TGROUP_EGT: return s < egts ? TREND_TC_FIRST + s : -1;
        case TGROUP_CHT: return egts + s < 12 ? TREND_TC_FIRST + egts + s : -1;
        default:
            for (int i = 0; i < TREND_SERIES_COUNT; ++i)
                if (trendSeriesInGroup(TrendSeries(i), group)) return i;
            return -1;
        }
    }

    TrendGroup group;
    QCategoryAxis x;
    QValueAxis y;
    std::vector<QLineSeries*> values;
    QLineSeries* limits[4] = {};
};

TrendsTab::TrendsTab(QWidget* parent) : QWidget(parent)
{
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Minutes shown:"));
    span = new QComboBox;
    span->setObjectName("TrendSpan");
    for (int m : kSpans) span->addItem(QString::number(m));
    span->setCurrentIndex(1);
    top->addWidget(span);
    pause = new QCheckBox("Pause");
    pause->setObjectName("TrendPause");
    top->addWidget(pause);
    // "Live" is the label while the live values are drawn, and a button back to them while a
    // recording is.
    source = new QLabel("Live");
    source->setObjectName("TrendSource");
    top->addWidget(source);
    live = new QPushButton("Live");
    live->setObjectName("TrendLive");
    live->setToolTip("Back to the live values");
    live->setVisible(false);
    top->addWidget(live);
    top->addStretch(1);

    auto* grid = new QGridLayout;
    auto* inner = new QWidget;
    inner->setLayout(grid);
    for (int g = 0; g < TGROUP_COUNT; ++g) {
        charts[g] = new TrendChart(TrendGroup(g));
        grid->addWidget(charts[g], g / 2, g % 2);
    }
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(inner);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(scroll, 1);

    connect(span, &QComboBox::currentIndexChanged, this, [this] { drawnPushes = ~uint64_t{0}; refresh(); });
    connect(pause, &QCheckBox::toggled, this, [this](bool on) { if (!on) refresh(); });
    connect(live, &QPushButton::clicked, this, &TrendsTab::showLive);
    timer.setInterval(1000);
    connect(&timer, &QTimer::timeout, this, [this] {
        if (isVisible() && !pause->isChecked() && !showingRecording() && drawnPushes != trendHistory.pushes())
            refresh();
    });
    timer.start();
}

TrendsTab::~TrendsTab() = default;

int TrendsTab::spanMinutes() const { return kSpans[span->currentIndex() < 0 ? 1 : span->currentIndex()]; }

int TrendsTab::pointsDrawn(TrendGroup group) const { return charts[group]->drawn; }

double TrendsTab::valueAxisMinimum(TrendGroup group) const { return charts[group]->valueAxisMinimum(); }

QStringList TrendsTab::timeLabels(TrendGroup group) const { return charts[group]->timeLabels(); }

void TrendsTab::refresh()
{
    if (showingRecording()) {
        const auto& s = recording.samples;
        const double start = s.front().seconds, end = s.back().seconds;
        for (int g = 0; g < TGROUP_COUNT; ++g)
            charts[g]->draw([&s](size_t i) -> const TrendSample& { return s[i]; }, s.size(), start, end,
                            s.back().clock, recording.egtChannels, recording.unit[g]);
        return;
    }
    drawnPushes = trendHistory.pushes();
    const size_t n = trendHistory.size();
    const double end = n ? trendHistory.newest().seconds : 0;
    const double clockAtEnd = n ? trendHistory.newest().clock : localSeconds;
    const double start = end - spanMinutes() * 60.0;
    const int egts = settings.egtChannels > 12 ? 12 : settings.egtChannels;
    for (int g = 0; g < TGROUP_COUNT; ++g)
        charts[g]->draw([](size_t i) -> const TrendSample& { return trendHistory.at(i); }, n, start, end, clockAtEnd, egts,
                        trendUnit(TrendGroup(g)));
}

bool TrendsTab::openRecording(const QString& path)
{
    std::ifstream in(QFile::encodeName(path).toStdString());
    TrendRecording read;
    if (!in || !readTrendRecording(in, read)) return false;
    recording = std::move(read);
    source->setText("Recording: " + QFileInfo(path).fileName());
    live->setVisible(true);
    span->setEnabled(false);
    pause->setEnabled(false);
    refresh();
    return true;
}

void TrendsTab::showLive()
{
    recording = TrendRecording{};
    source->setText("Live");
    live->setVisible(false);
    span->setEnabled(true);
    pause->setEnabled(true);
    drawnPushes = ~uint64_t{0};
    refresh();
}

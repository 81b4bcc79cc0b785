// The tab owns the span shown; every chart (trends_chart.cpp) shows the same one and hands the
// pointer's wheel, drags and hover back to the tab. Charts draw reduced series, so a live quarter
// of an hour costs what a minute does and a hundred-hour session redraws as fast as a short one.
#include "host/trends_tab.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <system_error>

#include "trends/axis_ticks.h"
#include "host/trends_chart.h"
#include "host/save_dialog.h"
#include "settings/settings.h"
#include "storage/storage.h"
#include "time/clock.h"

namespace {

const int kSpans[] = {1, 5, 15};
constexpr double kShortestView = 20;     // seconds: the closest look
constexpr qint64 kProgressAfterMs = 300; // a read shorter than this shows no progress
constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

int egtsNow() { return settings.egtChannels > 12 ? 12 : settings.egtChannels; }

// Live: how many lines a group draws and which sample value its i-th line is.
int liveLines(TrendGroup group, int egts)
{
    return group == TGROUP_EGT ? egts : group == TGROUP_CHT ? 12 - egts : 1;
}
int liveSeries(TrendGroup group, int line, int egts)
{
    if (group == TGROUP_EGT) return TREND_TC_FIRST + line;
    if (group == TGROUP_CHT) return TREND_TC_FIRST + egts + line;
    for (int i = 0; i < TREND_SERIES_COUNT; ++i)
        if (trendSeriesInGroup(TrendSeries(i), group)) return i;
    return -1;
}

QString clockText(double seconds, const char* format)
{
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(std::floor(seconds)), Qt::UTC).toString(format);
}

}  // namespace

// A read on the worker thread: the thread alone writes result and ok until done is set.
struct TrendsTab::Loader {
    QString path;
    std::atomic<bool> cancel{false}, done{false};
    std::atomic<int> permille{0};
    Recording result;
    bool ok = false;
    std::string error;  // what the read threw
    QElapsedTimer clock;
    std::thread thread;
};

TrendsTab::TrendsTab(QWidget* parent) : QWidget(parent), cursor(kNone)
{
    // Rows of controls that show in full at the side panel's least width: the view's span, pause
    // and cursor readout; what is drawn (live or a recording) with its buttons; a recording's
    // sessions.
    auto* top = new QHBoxLayout;
    auto* second = new QHBoxLayout;
    auto* third = new QHBoxLayout;
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
    source->setWordWrap(true);  // a long file name wraps rather than widening the panel
    second->addWidget(source, 1);
    sessions = new QComboBox;
    sessions->setObjectName("TrendSessions");
    sessions->setToolTip("The stretches of the recording without a break (a power-on, a pause of more than five minutes, a change of units)");
    sessions->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    sessions->setVisible(false);
    third->addWidget(sessions);
    third->addStretch(1);
    saveSessionButton = new QPushButton("Save Session...");
    saveSessionButton->setObjectName("TrendSaveSession");
    saveSessionButton->setToolTip("Saves the shown session as a recording of its own");
    saveSessionButton->setVisible(false);
    second->addWidget(saveSessionButton);
    live = new QPushButton("Live");
    live->setObjectName("TrendLive");
    live->setToolTip("Back to the live values");
    live->setVisible(false);
    second->addWidget(live);
    progress = new QProgressBar;
    progress->setObjectName("TrendProgress");
    progress->setRange(0, 1000);
    progress->setTextVisible(false);
    progress->setMaximumWidth(160);
    progress->setVisible(false);
    second->addWidget(progress);
    cancel = new QPushButton("Cancel");
    cancel->setObjectName("TrendCancel");
    cancel->setVisible(false);
    second->addWidget(cancel);
    top->addStretch(1);
    readout = new QLabel;
    readout->setObjectName("TrendCursor");
    readout->setMinimumWidth(readout->fontMetrics().horizontalAdvance("0000-00-00 00:00:00 "));
    readout->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    top->addWidget(readout);

    auto* grid = new QGridLayout;
    chartArea = new QWidget;
    chartArea->setLayout(grid);
    for (int g = 0; g < TGROUP_COUNT; ++g) {
        charts[g] = new TrendChart(TrendGroup(g), this);
        grid->addWidget(charts[g], g / 2, g % 2);
    }
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(chartArea);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(second);
    layout->addLayout(third);
    layout->addWidget(scroll, 1);

    connect(span, &QComboBox::currentIndexChanged, this, [this] { drawnPushes = ~uint64_t{0}; refresh(); });
    connect(pause, &QCheckBox::toggled, this, [this](bool on) { if (!on) refresh(); });
    connect(live, &QPushButton::clicked, this, &TrendsTab::showLive);
    connect(sessions, &QComboBox::activated, this, &TrendsTab::showSession);
    connect(saveSessionButton, &QPushButton::clicked, this, [this] {
        const QString suggested = QFileInfo(recordingPath).dir().filePath(QString("SESSION%1.CSV").arg(sessions->currentIndex() + 1));
        const QString path = askSavePath(this, "Save Session", suggested, "Recordings (*.CSV *.csv)", "csv");
        QString error;
        if (!path.isEmpty() && !saveSession(path, &error))
            QMessageBox::warning(this, "Save Session", QString("%1 was not saved: %2").arg(path, error));
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        if (loader) loader->cancel.store(true);
    });
    timer.setInterval(1000);
    connect(&timer, &QTimer::timeout, this, [this] {
        if (isVisible() && !pause->isChecked() && !showingRecording() && drawnPushes != trendHistory.pushes())
            refresh();
    });
    timer.start();
    loaderPoll.setInterval(30);
    connect(&loaderPoll, &QTimer::timeout, this, &TrendsTab::pollLoader);
}

TrendsTab::~TrendsTab() { cancelLoading(); }

int TrendsTab::spanMinutes() const { return kSpans[span->currentIndex() < 0 ? 1 : span->currentIndex()]; }
int TrendsTab::pointsDrawn(TrendGroup group) const { return charts[group]->drawn; }
QStringList TrendsTab::legend(TrendGroup group) const { return charts[group]->legend(); }
double TrendsTab::valueAxisMinimum(TrendGroup group) const { return charts[group]->valueAxisMinimum(); }
QStringList TrendsTab::timeLabels(TrendGroup group) const { return charts[group]->timeLabels(); }
int TrendsTab::sessionShown() const { return showingRecording() ? sessions->currentIndex() : -1; }

void TrendsTab::refresh()
{
    const bool rec = showingRecording();
    double offset = 0;
    int egts = egtsNow();
    const size_t n = trendHistory.size();
    if (rec) {
        offset = 60.0 * settings.utcOffsetMinutes;  // the file keeps UTC; the axes read local time
    } else {
        drawnPushes = trendHistory.pushes();
        liveEnd = n ? trendHistory.newest().seconds : 0;
        liveClockAtEnd = n ? trendHistory.newest().clock : localSeconds;
        whole1 = view1 = liveClockAtEnd;
        whole0 = view0 = liveClockAtEnd - spanMinutes() * 60.0;
    }
    const RecordingSession* session = rec ? &recording.sessions[static_cast<size_t>(sessions->currentIndex())] : nullptr;
    const double toClock = liveClockAtEnd - liveEnd;
    const auto liveTime = [toClock](size_t i) { return trendHistory.at(i).seconds + toClock; };
    for (int g = 0; g < TGROUP_COUNT; ++g) {
        const TrendGroup group = TrendGroup(g);
        const std::string unit = rec ? groupUnit[g] : trendUnit(group);
        const QString title = trendGroupTitle(group), u = QString::fromStdString(unit);
        TrendChart* chart = charts[g];
        chart->begin(u.isEmpty() || u == title ? title : QString("%1 (%2)").arg(title, u),
                     rec ? trendLimitsIn(group, unit) : trendLimits(group),
                     trendNeverNegative(group, unit), view0, view1, offset);
        const int width = chart->plotWidth();
        if (rec) {
            for (int column : groupColumns[g]) {
                const std::string& name = session->columns[static_cast<size_t>(column)].name;
                const bool channel = group == TGROUP_EGT || group == TGROUP_CHT;
                reduceRecording(recording, *session, static_cast<size_t>(column), view0, view1, width,
                                chart->line(channel ? QString::fromStdString(name.substr(0, 3) + " " + name.substr(3)) : title));
            }
        } else {
            for (int line = 0; line < liveLines(group, egts); ++line) {
                const int series = liveSeries(group, line, egts);
                reduceSamples(0, n, liveTime, [series](size_t i) { return trendHistory.at(i).value[series]; }, view0, view1,
                              width, chart->line(QString::fromStdString(trendSeriesName(TrendSeries(series), egts))));
            }
        }
        chart->finish();
    }
    readCursor();
}

float TrendsTab::valueAt(TrendGroup group, int line, double time) const
{
    if (showingRecording()) {
        const RecordingSession& s = recording.sessions[static_cast<size_t>(sessions->currentIndex())];
        const size_t i = recordingLineAt(recording, s, time);
        return i == SIZE_MAX ? kNone : s.value(static_cast<size_t>(groupColumns[group][static_cast<size_t>(line)]), i);
    }
    // The newest live sample at or before the time.
    const double toClock = liveClockAtEnd - liveEnd;
    size_t lo = 0, hi = trendHistory.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (trendHistory.at(mid).seconds + toClock <= time) lo = mid + 1;
        else hi = mid;
    }
    return lo == 0 ? kNone : trendHistory.at(lo - 1).value[liveSeries(group, line, egtsNow())];
}

void TrendsTab::readCursor()
{
    const bool on = std::isfinite(cursor) && cursor >= view0 && cursor <= view1;
    for (int g = 0; g < TGROUP_COUNT; ++g) {
        for (size_t l = 0; on && l < charts[g]->lineCount(); ++l)
            charts[g]->setCursorValue(l, valueAt(TrendGroup(g), static_cast<int>(l), cursor));
        charts[g]->setCursor(on ? cursor : kNone);
    }
    const double offset = showingRecording() ? 60.0 * settings.utcOffsetMinutes : 0;
    readout->setText(on ? clockText(cursor + offset, view1 - view0 > 86400 ? "yyyy-MM-dd hh:mm:ss" : "hh:mm:ss") : QString());
}

void TrendsTab::setCursorTime(double time)
{
    cursor = time;
    readCursor();
}

QString TrendsTab::cursorReadout() const { return readout->text(); }

void TrendsTab::setView(double start, double end)
{
    if (!showingRecording() || !(end >= start)) return;
    const double whole = whole1 - whole0;
    double length = std::min(std::max(end - start, kShortestView), std::max(whole, kShortestView));
    const double middle = (start + end) / 2;
    double a = middle - length / 2;
    a = std::min(a, whole1 - length);
    a = std::max(a, whole0);
    if (a == view0 && a + length == view1) return;
    view0 = a;
    view1 = a + length;
    refresh();
}

void TrendsTab::zoomAbout(double time, double factor)
{
    if (!showingRecording() || !(factor > 0)) return;
    const double length = std::max((view1 - view0) * factor, kShortestView);
    const double share = view1 > view0 ? (time - view0) / (view1 - view0) : 0.5;
    const double a = time - share * length;
    setView(a, a + length);
}

void TrendsTab::panBy(double seconds) { setView(view0 + seconds, view1 + seconds); }

void TrendsTab::showWhole() { setView(whole0, whole1); }

void TrendsTab::showSession(int index)
{
    if (!showingRecording() || index < 0 || index >= static_cast<int>(recording.sessions.size())) return;
    sessions->setCurrentIndex(index);
    const RecordingSession& s = recording.sessions[static_cast<size_t>(index)];
    for (int g = 0; g < TGROUP_COUNT; ++g) {
        groupColumns[g] = trendColumns(s, TrendGroup(g));
        groupUnit[g] = trendRecordingUnit(s, TrendGroup(g));
    }
    whole0 = static_cast<double>(s.start);
    whole1 = static_cast<double>(s.start + s.duration);
    view0 = whole0 - 1;  // differs from any view, so the next one draws
    cursor = kNone;
    setView(whole0, whole1);
}

bool TrendsTab::showRecording(Recording&& read, const QString& path)
{
    if (read.sessions.empty()) return false;
    recording = std::move(read);
    recordingPath = path;
    const double offset = 60.0 * settings.utcOffsetMinutes;
    sessions->clear();
    size_t longest = 0;
    for (size_t i = 0; i < recording.sessions.size(); ++i) {
        const RecordingSession& s = recording.sessions[i];
        if (s.duration > recording.sessions[longest].duration) longest = i;
        QString text = QString("%1 (%2:%3:%4)").arg(clockText(static_cast<double>(s.start) + offset, "yyyy-MM-dd hh:mm"))
                           .arg(s.duration / 3600).arg(s.duration / 60 % 60, 2, 10, QChar('0')).arg(s.duration % 60, 2, 10, QChar('0'));
        // The peaks tell a flight from a ground run.
        if (!std::isnan(s.peakRpm)) text += QString(", peak %1 RPM").arg(trendValueText(s.peakRpm));
        if (!std::isnan(s.peakEgt)) text += QString(", EGT %1").arg(trendValueText(s.peakEgt));
        sessions->addItem(text);
    }
    QString about = "Recording: " + QFileInfo(path).fileName();
    if (recording.sessions.size() > 1) about += QString(", %1 sessions").arg(recording.sessions.size());
    if (recording.badLines > 0)
        about += QString(", %1 line%2 skipped").arg(recording.badLines).arg(recording.badLines == 1 ? "" : "s");
    source->setText(about);
    for (QWidget* w : std::initializer_list<QWidget*>{live, sessions, saveSessionButton}) w->setVisible(true);
    span->setEnabled(false);
    pause->setEnabled(false);
    showSession(static_cast<int>(longest));
    return true;
}

void TrendsTab::showLive()
{
    recording = Recording{};
    recordingPath.clear();
    sessions->clear();
    source->setText("Live");
    for (QWidget* w : std::initializer_list<QWidget*>{live, sessions, saveSessionButton}) w->setVisible(false);
    span->setEnabled(true);
    pause->setEnabled(true);
    cursor = kNone;
    drawnPushes = ~uint64_t{0};
    refresh();
}

bool TrendsTab::openRecording(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) return false;
    cancelLoading();
    loader = std::make_unique<Loader>();
    Loader* l = loader.get();
    l->path = path;
    l->clock.start();
    try {
        l->thread = std::thread([l, read = reader, file = QFile::encodeName(path).toStdString()] {
            RecordingParseControl control;
            control.progress = [l](double done) { l->permille.store(static_cast<int>(done * 1000), std::memory_order_relaxed); };
            control.cancel = &l->cancel;
            // Whatever the read throws (no memory for the columns, above all) becomes the message.
            try {
                l->ok = read(file, l->result, control);
            } catch (const std::bad_alloc&) {
                l->error = "there is not enough memory for it";
            } catch (const std::exception& e) {
                l->error = e.what();
            } catch (...) {
                l->error = "an unexpected error";
            }
            l->done.store(true, std::memory_order_release);
        });
    } catch (const std::system_error&) {  // no thread to be had
        loader.reset();
        return false;
    }
    loaderPoll.start();
    return true;
}

void TrendsTab::pollLoader()
{
    if (!loader) return;
    if (!loader->done.load(std::memory_order_acquire)) {
        if (loader->clock.elapsed() >= kProgressAfterMs) {
            progress->setValue(loader->permille.load(std::memory_order_relaxed));
            progress->setVisible(true);
            cancel->setVisible(true);
        }
        return;
    }
    std::unique_ptr<Loader> l = std::move(loader);
    l->thread.join();
    loaderPoll.stop();
    progress->setVisible(false);
    cancel->setVisible(false);
    const QString name = QFileInfo(l->path).fileName();
    if (l->cancel.load()) emit recordingLoaded(false, QString());
    else if (!l->error.empty()) emit recordingLoaded(false, QString("%1 cannot be read: %2.").arg(name, QString::fromStdString(l->error)));
    else if (!l->ok) emit recordingLoaded(false, QString("%1 cannot be read.").arg(name));
    else if (!showRecording(std::move(l->result), l->path)) emit recordingLoaded(false, QString("%1 holds no data line.").arg(name));
    else emit recordingLoaded(true, source->text());
}

void TrendsTab::cancelLoading()
{
    if (!loader) return;
    loader->cancel.store(true);
    loader->thread.join();
    loader.reset();
    loaderPoll.stop();
    progress->setVisible(false);
    cancel->setVisible(false);
}

bool TrendsTab::saveCharts(const QString& path, QString* error) const
{
    const QImage picture = chartArea->grab().toImage();
    QByteArray png;
    QBuffer buffer(&png);
    QImageWriter writer(&buffer, "png");
    if (!buffer.open(QIODevice::WriteOnly) || !writer.write(picture)) {
        if (error) *error = writer.errorString();
        return false;
    }
    if (!replaceFile(QFile::encodeName(path).constData(), nullptr, png.constData(), static_cast<size_t>(png.size()))) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

bool TrendsTab::saveSession(const QString& path, QString* error) const
{
    const auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (!showingRecording()) return fail("No recording is shown.");
    if (QFileInfo(path).absoluteFilePath() == QFileInfo(recordingPath).absoluteFilePath())
        return fail("The session cannot replace the recording it comes from.");
    const RecordingSession& s = recording.sessions[static_cast<size_t>(sessions->currentIndex())];
    // The session's header and lines, copied only while the file is still the one read.
    struct Copy {
        std::string source;
        const Recording& recording;
        const RecordingSession& session;
        mutable std::string why;
    };
    const Copy copy{QFile::encodeName(recordingPath).toStdString(), recording, s, {}};
    const bool written = replaceFile(QFile::encodeName(path).constData(), nullptr, [](std::FILE* out, const void* context) {
        const Copy& c = *static_cast<const Copy*>(context);
        const auto write = [out](std::string_view piece) { return std::fwrite(piece.data(), 1, piece.size(), out) == piece.size(); };
        return copyRecordingSession(c.source, c.recording, c.session, write, c.why);
    }, &copy);
    if (written) return true;
    if (!copy.why.empty()) return fail(QString::fromStdString(copy.why));
    return fail(path + ": " + QString::fromLocal8Bit(std::strerror(errno)));
}

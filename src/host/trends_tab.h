// The "Trends" tab: the engine values of the last minutes, one chart per group with its alarm and
// caution lines, scrolling live; or one session of a DATALOG.CSV read back from the card, loaded
// on a worker thread, with zoom and pan on the time axis and a cursor that reads every value.
#pragma once
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "trends/recording.h"
#include "trends/trend_buffer.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class TrendChart;

class TrendsTab : public QWidget {
    Q_OBJECT
public:
    explicit TrendsTab(QWidget* parent = nullptr);
    ~TrendsTab() override;

    // Starts reading a recording on a worker thread; false (and nothing changes) when the path is
    // not a readable file. recordingLoaded tells the end.
    bool openRecording(const QString& path);
    bool loading() const { return loader != nullptr; }
    // What reads the file on the worker thread: readRecordingFile unless a test hands another.
    using Reader = std::function<bool(const std::string&, Recording&, const RecordingParseControl&)>;
    void setReader(Reader read) { reader = std::move(read); }
    // Shows a recording already read (the command line reads it before the window opens); false
    // when it has no session.
    bool showRecording(Recording&& read, const QString& path);
    void showLive();
    bool showingRecording() const { return !recording.sessions.empty(); }
    // The recording file shown; empty while the live trends are.
    QString recordingFile() const { return showingRecording() ? recordingPath : QString(); }
    const Recording& shownRecording() const { return recording; }
    int sessionShown() const;
    void showSession(int index);

    // Brings the charts up to date now (the tab does so by itself once a second while shown).
    void refresh();
    int spanMinutes() const;
    // The time span drawn (seconds since 1970 in the file's time for a recording, the instrument's
    // local time live) and what the pointer can do to it.
    double viewStart() const { return view0; }
    double viewEnd() const { return view1; }
    void setView(double start, double end);
    void zoomAbout(double time, double factor);  // factor < 1 looks closer
    void panBy(double seconds);
    void showWhole();
    // The cursor: a time in the span, or NaN for none; the readout line of the top row.
    void setCursorTime(double time);
    QString cursorReadout() const;

    // Samples drawn by a group's first series at the last refresh, and its cursor readout.
    int pointsDrawn(TrendGroup group) const;
    QStringList legend(TrendGroup group) const;
    // A group's value axis minimum and its time axis labels at the last refresh.
    double valueAxisMinimum(TrendGroup group) const;
    QStringList timeLabels(TrendGroup group) const;

    // The charts of the shown span as a PNG picture; the shown session as a file of its own, in the
    // instrument's format (its header and its lines, copied). False with the reason in error.
    bool saveCharts(const QString& path, QString* error) const;
    bool saveSession(const QString& path, QString* error) const;

signals:
    void recordingLoaded(bool ok, const QString& message);

private:
    struct Loader;
    void pollLoader();
    void cancelLoading();
    void sourceChanged();
    float valueAt(TrendGroup group, int line, double time) const;
    void readCursor();

    QComboBox* span = nullptr;
    QCheckBox* pause = nullptr;
    QPushButton* live = nullptr;
    QLabel* source = nullptr;
    QComboBox* sessions = nullptr;
    QPushButton* saveSessionButton = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* cancel = nullptr;
    QLabel* readout = nullptr;
    QWidget* chartArea = nullptr;
    TrendChart* charts[TGROUP_COUNT] = {};
    Recording recording;
    QString recordingPath;
    std::vector<int> groupColumns[TGROUP_COUNT];  // the shown session's columns per chart
    std::string groupUnit[TGROUP_COUNT];
    std::unique_ptr<Loader> loader;
    Reader reader = readRecordingFile;
    QTimer timer, loaderPoll;
    uint64_t drawnPushes = ~uint64_t{0};
    double whole0 = 0, whole1 = 0;  // the session or the live span
    double view0 = 0, view1 = 0;
    double cursor = 0;              // NaN: none
    double liveClockAtEnd = 0, liveEnd = 0;
};

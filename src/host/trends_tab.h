// The "Trends" tab: the engine values of the last minutes, one chart per group with its alarm and
// caution lines, scrolling live; or a DATALOG.CSV read back from the card.
#pragma once
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "host/trend_buffer.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class TrendChart;

class TrendsTab : public QWidget {
    Q_OBJECT
public:
    explicit TrendsTab(QWidget* parent = nullptr);
    ~TrendsTab() override;

    // Shows a recording instead of the live values; false (and nothing changes) if it has no sample.
    bool openRecording(const QString& path);
    void showLive();
    bool showingRecording() const { return recording.samples.size() > 0; }
    // Brings the charts up to date now (the tab does so by itself once a second while shown).
    void refresh();
    int spanMinutes() const;
    // Samples drawn by a group's first series at the last refresh.
    int pointsDrawn(TrendGroup group) const;
    // A group's value axis minimum and its time axis labels at the last refresh.
    double valueAxisMinimum(TrendGroup group) const;
    QStringList timeLabels(TrendGroup group) const;

private:
    QComboBox* span = nullptr;
    QCheckBox* pause = nullptr;
    QPushButton* live = nullptr;
    QLabel* source = nullptr;
    TrendChart* charts[TGROUP_COUNT] = {};
    TrendRecording recording;
    QTimer timer;
    uint64_t drawnPushes = ~uint64_t{0};
};

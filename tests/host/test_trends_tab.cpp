// The "Trends" tab: the window offers it, the running instrument fills it once a second, the span
// and the pause choose what is drawn, and a recording's sessions replace the live values until
// "Live", with zoom, pan and a cursor on the time axis.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <malloc.h>

#include "device.h"
#include "engine/engine.h"
#include "host/main_window.h"
#include "host/pass_driver.h"
#include "trends/trend_buffer.h"
#include "host/trends_tab.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/data_recording.h"

namespace {

// One sample a second for `seconds` seconds ending at `end`.
void fillHistory(int seconds, double end)
{
    trendHistory.clear();
    for (int i = seconds - 1; i >= 0; --i) {
        TrendSample s = takeTrendSample(end - i);
        s.value[TREND_RPM] = static_cast<float>(2000 + i);
        trendHistory.push(s);
    }
}

}  // namespace

class TrendsTabTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowOffersTheTabAndTheRunningInstrumentFillsIt()
    {
        TfrmMain window;
        window.show();
        auto* tabs = window.tabs();
        auto* trends = window.findChild<TrendsTab*>("TrendsTab");
        QVERIFY(trends);
        QCOMPARE(tabs->tabText(tabs->indexOf(trends)), QString("Trends"));
        tabs->setCurrentWidget(trends);
        trendHistory.clear();
        window.passDriver()->powerOn();
        QTRY_VERIFY_WITH_TIMEOUT(trends->pointsDrawn(TGROUP_RPM) >= 2, 20000);
        QVERIFY(trends->pointsDrawn(TGROUP_EGT) >= 2);
        window.passDriver()->powerOff();
        QTRY_VERIFY(!deviceIsOn());
    }

    // A tab made and destroyed gives back what it took: a chart view built without its chart once
    // kept a chart of its own per view (about 30 KB each) after every tab was gone.
    void aDestroyedTabLeavesNoChartBehind()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the heap figures are AddressSanitizer's own here");
#endif
        const auto makeAndDestroy = [] {
            auto* tab = new TrendsTab;
            tab->show();
            QVERIFY(QTest::qWaitForWindowExposed(tab));
            delete tab;
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        makeAndDestroy();  // fonts, styles and caches settle on the first one
        const size_t before = mallinfo2().uordblks;
        for (int i = 0; i < 20; ++i) makeAndDestroy();
        const long long growth = static_cast<long long>(mallinfo2().uordblks) - static_cast<long long>(before);
        qInfo("heap growth over 20 tabs: %lld bytes", growth);
        QVERIFY2(growth < 1000000, qPrintable(QString("%1 bytes kept").arg(growth)));
    }

    void theSpanAndThePauseChooseWhatIsDrawn()
    {
        resetDevice();
        TrendsTab tab;
        tab.resize(1600, 900);  // wide enough that no pixel column holds more than two samples
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        fillHistory(600, 5000);
        auto* span = tab.findChild<QComboBox*>("TrendSpan");
        struct Case {
            int index;
            int minutes;
            int points;
        };
        for (const Case& c : {Case{0, 1, 61}, Case{1, 5, 301}, Case{2, 15, 600}}) {
            span->setCurrentIndex(c.index);
            QCOMPARE(tab.spanMinutes(), c.minutes);
            QCOMPARE(tab.pointsDrawn(TGROUP_RPM), c.points);
        }
        span->setCurrentIndex(0);
        tab.findChild<QCheckBox*>("TrendPause")->setChecked(true);
        fillHistory(10, 6000);
        QTest::qWait(1300);
        QCOMPARE(tab.pointsDrawn(TGROUP_RPM), 61);  // paused: the picture stays
        tab.findChild<QCheckBox*>("TrendPause")->setChecked(false);
        QCOMPARE(tab.pointsDrawn(TGROUP_RPM), 10);
        trendHistory.clear();
    }

    // The time axis reads the instrument's local clock at round times; a series that cannot go
    // below 0 keeps its axis at 0 after a drop to 0, one that can (oil temperature) does not.
    void theAxesAreRoundLocalAndNeverNegativeWhereValuesCannotBe()
    {
        resetDevice();
        hostUtcSeconds = 1'800'000'000;  // 08:00:00 UTC
        clockOffsetSeconds = 0;
        settings.utcOffsetMinutes = 60;
        refreshClock();
        TrendsTab tab;
        tab.resize(1600, 900);
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        trendHistory.clear();
        for (int i = 0; i < 60; ++i) {
            TrendSample s = takeTrendSample(i);
            for (float& v : s.value) v = i == 30 ? 3000.0f : 0.0f;
            trendHistory.push(s);
        }
        tab.findChild<QComboBox*>("TrendSpan")->setCurrentIndex(0);
        QCOMPARE(tab.timeLabels(TGROUP_RPM), QStringList({"08:59:00", "08:59:15", "08:59:30", "08:59:45", "09:00:00"}));
        tab.resize(500, 900);  // narrow charts: fewer labels, so that they stay apart
        QTest::qWait(50);
        tab.refresh();
        QCOMPARE(tab.timeLabels(TGROUP_RPM), QStringList({"08:59:00", "08:59:30", "09:00:00"}));
        tab.resize(1600, 900);
        QTest::qWait(50);
        tab.refresh();
        for (int g = 0; g < TGROUP_COUNT; ++g) {
            const TrendGroup group = TrendGroup(g);
            if (trendNeverNegative(group, trendUnit(group))) QCOMPARE(tab.valueAxisMinimum(group), 0.0);
            else QVERIFY(tab.valueAxisMinimum(group) < 0);
            QVERIFY(!tab.legend(group).isEmpty());
        }
        QVERIFY(trendNeverNegative(TGROUP_RPM, "RPM") && !trendNeverNegative(TGROUP_OIL_TEMP, "C"));
        trendHistory.clear();
        resetDevice();
    }

    // Two sessions (a ten-minute gap between them) and a bad line: the longer one is shown, the
    // other chosen from the list; zoom, pan and the whole span; the cursor reads every value.
    void aRecordingsSessionsReplaceTheLiveValuesUntilLive()
    {
        resetDevice();
        QTemporaryDir dir;
        const QString path = dir.filePath("DATALOG.CSV");
        QByteArray second;  // the second session's file: its header and lines
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            char text[1024];
            recordingHeader(text, sizeof text);
            file.write(text);
            second = text;
            for (int i = 0; i < 120; ++i) {
                const bool later = i >= 90;
                rpm = 2300 + i;
                rtcDateTime = secondsToDateTime(1'800'000'000 + static_cast<uint32_t>(later ? i + 600 : i));
                recordingLine(text, sizeof text);
                file.write(text);
                if (later) second += text;
                if (i == 100) file.write("2027-01-15T08:00:00Z,cut short\r\n"), second += "2027-01-15T08:00:00Z,cut short\r\n";
            }
        }
        TrendsTab tab;
        tab.resize(1600, 900);
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        fillHistory(5, 100);
        tab.refresh();
        QVERIFY(!tab.openRecording(dir.filePath("missing.csv")));
        QCOMPARE(tab.pointsDrawn(TGROUP_RPM), 5);
        auto* live = tab.findChild<QPushButton*>("TrendLive");
        QVERIFY(!live->isVisible());  // live: the "Live" label alone
        QSignalSpy loaded(&tab, &TrendsTab::recordingLoaded);
        QVERIFY(tab.openRecording(path));
        QTRY_COMPARE(loaded.count(), 1);
        QVERIFY(loaded.first().first().toBool());
        QCOMPARE(tab.findChild<QLabel*>("TrendSource")->text(), QString("Recording: DATALOG.CSV, 2 sessions, 1 line skipped"));
        QCOMPARE(tab.findChild<QComboBox*>("TrendSessions")->count(), 2);
        QCOMPARE(tab.sessionShown(), 0);  // the longer
        QCOMPARE(tab.pointsDrawn(TGROUP_RPM), 90);  // the whole session, whatever the span
        QCOMPARE(tab.pointsDrawn(TGROUP_CHT), 90);
        QCOMPARE(tab.timeLabels(TGROUP_RPM).first(), QString("08:00:00"));  // the file's times

        // The cursor: the time and each value then; none outside the charts.
        const double t0 = 1'800'000'000;
        tab.setCursorTime(t0 + 10);
        QCOMPARE(tab.cursorReadout(), QString("08:00:10"));
        QVERIFY2(tab.legend(TGROUP_RPM).contains("RPM 2310"), qPrintable(tab.legend(TGROUP_RPM).join('|')));
        tab.setCursorTime(NAN);
        QCOMPARE(tab.cursorReadout(), QString());
        QCOMPARE(tab.legend(TGROUP_RPM), QStringList{"RPM"});

        // Zoom about a time keeps it where it was; never closer than 20 s nor wider than the session.
        tab.zoomAbout(t0 + 30, 0.5);
        QCOMPARE(tab.viewStart(), t0 + 15);
        QCOMPARE(tab.viewEnd(), t0 + 59.5);
        tab.zoomAbout(t0 + 30, 0.01);
        QCOMPARE(tab.viewEnd() - tab.viewStart(), 20.0);
        tab.panBy(-1000);
        QCOMPARE(tab.viewStart(), t0);
        tab.panBy(1000);
        QCOMPARE(tab.viewEnd(), t0 + 89);
        QCOMPARE(tab.pointsDrawn(TGROUP_RPM), 21);
        // The pointer: a wheel notch up zooms in about it, a drag moves, a double-click shows all.
        auto* chart = tab.findChild<QWidget*>("Trend0");
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(300, 80), chart->mapToGlobal(QPointF(300, 80)), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(chart, &dbl);
        QCOMPARE(tab.viewStart(), t0);
        QCOMPARE(tab.viewEnd(), t0 + 89);
        QWheelEvent wheel(QPointF(300, 80), chart->mapToGlobal(QPointF(300, 80)), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(chart, &wheel);
        QVERIFY(std::abs(tab.viewEnd() - tab.viewStart() - 89 * 0.8) < 1e-3);
        const double before = tab.viewStart();
        QTest::mousePress(chart, Qt::LeftButton, {}, QPoint(400, 80));
        QTest::mouseMove(chart, QPoint(300, 80));
        QTest::mouseRelease(chart, Qt::LeftButton, {}, QPoint(300, 80));
        QVERIFY(tab.viewStart() > before);  // dragged left: later times

        // The other session, and each saved as a file of its own; a failed save says so.
        tab.showSession(1);
        QCOMPARE(tab.pointsDrawn(TGROUP_RPM), 30);
        QString error;
        QVERIFY2(tab.saveSession(dir.filePath("S2.CSV"), &error), qPrintable(error));
        QFile saved(dir.filePath("S2.CSV"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), second);
        {  // a byte of the session changed since it was read
            QFile card(path);
            QVERIFY(card.open(QIODevice::ReadWrite) && card.seek(card.size() - 10) && card.write("X") == 1);
        }
        QVERIFY(!tab.saveSession(dir.filePath("S4.CSV"), &error));
        QCOMPARE(error, QString("DATALOG.CSV has changed since it was opened."));
        QVERIFY(!tab.saveSession(path, &error));
        QVERIFY(!tab.saveSession(dir.filePath("none/S.CSV"), &error) && !error.isEmpty());
        QVERIFY2(tab.saveCharts(dir.filePath("charts.png"), &error), qPrintable(error));
        QCOMPARE(QImage(dir.filePath("charts.png")).width(), tab.findChild<QWidget*>("Trend1")->parentWidget()->width());
        QVERIFY(!tab.saveCharts(dir.filePath("none/charts.png"), &error) && !error.isEmpty());

        live->click();
        QVERIFY(!live->isVisible());
        QVERIFY(!tab.showingRecording());
        QCOMPARE(tab.pointsDrawn(TGROUP_RPM), 5);
        // A file without a data line is refused when read.
        QFile empty(dir.filePath("EMPTY.CSV"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QVERIFY(tab.openRecording(empty.fileName()));
        QTRY_COMPARE(loaded.count(), 2);
        QCOMPARE(loaded.last().last().toString(), QString("EMPTY.CSV holds no data line."));
        QVERIFY(!tab.showingRecording());
        // Whatever the read throws becomes the message; the program goes on.
        tab.setReader([](const std::string&, Recording&, const RecordingParseControl&) -> bool { throw std::bad_alloc(); });
        QVERIFY(tab.openRecording(path));
        QTRY_COMPARE(loaded.count(), 3);
        QCOMPARE(loaded.last().last().toString(), QString("DATALOG.CSV cannot be read: there is not enough memory for it."));
        trendHistory.clear();
        resetDevice();
    }
};

QTEST_MAIN(TrendsTabTest)
#include "test_trends_tab.moc"

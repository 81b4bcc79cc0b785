// The "Trends" tab: the window offers it, the running instrument fills it once a second, the span
// and the pause choose what is drawn, and a recording replaces the live values until "Live".
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLegend>
#include <QLegendMarker>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <malloc.h>

#include "device.h"
#include "engine/engine.h"
#include "host/main_window.h"
#include "host/pass_driver.h"
#include "host/trend_buffer.h"
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
        QTRY_VERIFY_WITH_TIMEOUT(trends->pointsDrawn(TGROUP_RPM) >= 2, 8000);
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
        tab.show();
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
        tab.show();
        trendHistory.clear();
        for (int i = 0; i < 60; ++i) {
            TrendSample s = takeTrendSample(i);
            for (float& v : s.value) v = i == 30 ? 3000.0f : 0.0f;
            trendHistory.push(s);
        }
        tab.findChild<QComboBox*>("TrendSpan")->setCurrentIndex(0);
        QCOMPARE(tab.timeLabels(TGROUP_RPM), QStringList({"08:59:00", "08:59:15", "08:59:30", "08:59:45", "09:00:00"}));
        for (int g = 0; g < TGROUP_COUNT; ++g) {
            const TrendGroup group = TrendGroup(g);
            if (trendNeverNegative(group, trendUnit(group))) QCOMPARE(tab.valueAxisMinimum(group), 0.0);
            else QVERIFY(tab.valueAxisMinimum(group) < 0);
            auto* view = tab.findChild<QChartView*>(QString("Trend%1").arg(g));
            QVERIFY(view->chart()->legend()->isVisible());
            QVERIFY(!view->chart()->legend()->markers().first()->label().isEmpty());
        }
        QVERIFY(trendNeverNegative(TGROUP_RPM, "RPM") && !trendNeverNegative(TGROUP_OIL_TEMP, "C"));
        trendHistory.clear();
        resetDevice();
    }

    void aRecordingReplacesTheLiveValuesUntilLive()
    {
        resetDevice();
        QTemporaryDir dir;
        const QString path = dir.filePath("DATALOG.CSV");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            char text[1024];
            recordingHeader(text, sizeof text);
            file.write(text);
            for (int i = 0; i < 90; ++i) {
                rpm = 2300 + i;
                rtcDateTime = secondsToDateTime(1'800'000'000 + static_cast<uint32_t>(i));
                recordingLine(text, sizeof text);
                file.write(text);
            }
        }
        TrendsTab tab;
        tab.show();
        fillHistory(5, 100);
        tab.refresh();
        QVERIFY(!tab.openRecording(dir.filePath("missing.csv")));
        QCOMPARE(tab.pointsDrawn(TGROUP_RPM), 5);
        auto* live = tab.findChild<QPushButton*>("TrendLive");
        QVERIFY(!live->isVisible());  // live: the "Live" label alone
        QVERIFY(tab.openRecording(path));
        QVERIFY(tab.showingRecording());
        QCOMPARE(tab.pointsDrawn(TGROUP_RPM), 90);  // the whole recording, whatever the span
        QCOMPARE(tab.pointsDrawn(TGROUP_CHT), 90);
        QCOMPARE(tab.timeLabels(TGROUP_RPM).first(), QString("08:00:00"));  // the file's times
        live->click();
        QVERIFY(!live->isVisible());
        QVERIFY(!tab.showingRecording());
        QCOMPARE(tab.pointsDrawn(TGROUP_RPM), 5);
        trendHistory.clear();
        resetDevice();
    }
};

QTEST_MAIN(TrendsTabTest)
#include "test_trends_tab.moc"

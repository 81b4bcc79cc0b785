// The window as a user meets it: layout, key areas, power buttons, the display panel's pixels.
#include <QAction>
#include <QCheckBox>
#include <QScrollBar>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>

#include <algorithm>

#include "device.h"
#include "display/framebuffer.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "host/display_panel.h"
#include "host/key_area.h"
#include "host/main_window.h"
#include "host/pass_driver.h"
#include "host/presenter.h"
#include "settings/settings.h"
#include "ui/screen.h"

namespace {

// Compares the panel's picture with the Framebuffer through the palette at the instrument's
// backlight, pixel for pixel.
int panelMismatches(DisplayPanel* panel)
{
    const QImage shown = panel->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    if (shown.width() < SCREEN_WIDTH || shown.height() < SCREEN_HEIGHT) return -1;
    int mismatches = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const uint32_t want = backlitColour(palette[framebuffer[x + SCREEN_WIDTH * y]], settings.backlight);
            if ((shown.pixel(x, y) & 0xFFFFFF) != want) ++mismatches;
        }
    return mismatches;
}

// Pixels white in the Framebuffer that the panel shows at 35 %.
int dimWhitePixels(DisplayPanel* panel)
{
    const QImage shown = panel->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    if (shown.width() < SCREEN_WIDTH || shown.height() < SCREEN_HEIGHT) return 0;
    int count = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            count += framebuffer[x + SCREEN_WIDTH * y] == COLOUR_WHITE && (shown.pixel(x, y) & 0xFFFFFF) == 0x595959u;
    return count;
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        pendingKey = KeyNone;
        window = new TfrmMain;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    void cleanup()
    {
        window->close();
        QTRY_VERIFY_WITH_TIMEOUT(!deviceIsOn() || window->passDriver()->running() == false, 10000);
        delete window;
        window = nullptr;
        // Let any notice still showing finish, so the next test starts from an instrument that is off.
        devicePowerOff();
        while (devicePass()) {
        }
    }

    void layoutFollowsThePanelTable()
    {
        QCOMPARE(window->windowTitle(), QString("Corvex EMS Generation 1 Simulator"));
        QCOMPARE(window->centralWidget()->width(), 1065);
        QCOMPARE(window->centralWidget()->height() + window->statusBar()->height(), 496);
        QCOMPARE(window->displayPanel()->geometry(), QRect(34, 65, 480, 273));
        auto* picture = window->findChild<QLabel*>("Image1");
        QVERIFY(picture);
        QCOMPARE(picture->geometry(), QRect(0, 0, 550, 477));
        QVERIFY(!picture->pixmap().isNull());
        QCOMPARE(picture->pixmap().size(), QSize(550, 477));
        const struct {
            const char* name;
            QString caption;
            QRect geometry;
        } buttons[] = {{"Button1", "&On", {344, 16, 75, 25}}, {"Button2", "&Off", {440, 16, 75, 25}},
                       {"Button3", "+", {456, 448, 25, 25}}, {"Button4", "-", {496, 448, 27, 25}}};
        for (const auto& b : buttons) {
            auto* button = window->findChild<QPushButton*>(b.name);
            QVERIFY2(button, b.name);
            QCOMPARE(button->text(), b.caption);
            QCOMPARE(button->geometry(), b.geometry);
        }
        auto* tabs = window->findChild<QTabWidget*>("PageControl1");
        QVERIFY(tabs);
        QCOMPARE(tabs->geometry(), QRect(552, 0, 513, 477));
        QCOMPARE(tabs->tabText(0), QString("EMS"));
        QCOMPARE(tabs->tabText(1), QString("GPS (NMEA Protocol)"));
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!tabs->isTabVisible(2));
        const QList<QAction*> menus = window->menuBar()->actions();
        QCOMPARE(menus.size(), 1);
        QCOMPARE(menus[0]->text(), QString("&File"));
        QCOMPARE(menus[0]->menu()->actions().size(), 1);
        QCOMPARE(menus[0]->menu()->actions()[0]->text(), QString("&Exit"));
    }

    void eachKeyAreaStoresItsCode()
    {
        const struct {
            const char* name;
            QRect geometry;
            uint8_t code;
        } areas[] = {{"Image2", {24, 416, 41, 41}, 1},  {"Image3", {104, 416, 41, 41}, 2},
                     {"Image4", {184, 416, 41, 41}, 3}, {"Image5", {264, 416, 41, 41}, 4},
                     {"Image7", {344, 416, 41, 41}, 5}, {"Image8", {464, 400, 49, 49}, 6}};
        for (const auto& a : areas) {
            auto* area = window->findChild<KeyArea*>(a.name);
            QVERIFY2(area, a.name);
            QCOMPARE(area->geometry(), a.geometry);
            pendingKey = KeyNone;
            QTest::mouseClick(area, Qt::LeftButton);
            QCOMPARE(pendingKey, a.code);
            QTest::mouseClick(window->findChild<KeyArea*>("Image2"), Qt::LeftButton);
            QCOMPARE(pendingKey, a.code);  // a second key while one is pending is lost
        }
        pendingKey = KeyNone;
        QTest::mouseClick(window->findChild<QPushButton*>("Button3"), Qt::LeftButton);
        QCOMPARE(pendingKey, uint8_t{7});
        pendingKey = KeyNone;
        QTest::mouseClick(window->findChild<QPushButton*>("Button4"), Qt::LeftButton);
        QCOMPARE(pendingKey, uint8_t{8});
        pendingKey = KeyNone;
    }

    void onShowsTheSplashInTheDisplayPanel()
    {
        QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        QTRY_VERIFY(window->passDriver()->passesRun() > 20);
        QCOMPARE(devicePhase, DevicePhase::SplashNotice);
        QTRY_VERIFY(window->displayPanel()->framesPresented() > 0);
        QCOMPARE(panelMismatches(window->displayPanel()), 0);
        // The splash prints its version line in white in the bottom right corner.
        bool white = false;
        for (int x = 380; x < 480; ++x) white |= framebuffer[x + SCREEN_WIDTH * 262] == COLOUR_WHITE;
        QVERIFY(white);
    }

    void theBacklightDimsThePanelButNotTheFramebuffer()
    {
        QCOMPARE(backlitColour(0xFFFFFF, 31), 0xFFFFFFu);
        QCOMPARE(backlitColour(0xFFFFFF, 4), 0x595959u);  // 35 %
        QCOMPARE(backlitColour(0xFF0000, 0), backlitColour(0xFF0000, 4));
        QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        QTRY_VERIFY(window->displayPanel()->framesPresented() > 0);
        QTRY_COMPARE(panelMismatches(window->displayPanel()), 0);
        const uint64_t presented = window->displayPanel()->framesPresented();
        settings.backlight = 4;  // the frame itself stays as it is
        QTRY_VERIFY(window->displayPanel()->framesPresented() > presented);
        QTRY_COMPARE(panelMismatches(window->displayPanel()), 0);
        QTRY_VERIFY(dimWhitePixels(window->displayPanel()) > 0);
    }

    void keysEndTheNoticesAndOffStopsTheLoop()
    {
        QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        QTRY_VERIFY(window->passDriver()->passesRun() > 5);
        QTest::mouseClick(window->findChild<KeyArea*>("Image8"), Qt::LeftButton);
        QTRY_COMPARE(devicePhase, DevicePhase::ExpiryNotice);
        QTRY_COMPARE(panelMismatches(window->displayPanel()), 0);
        QCOMPARE(framebuffer[240 + SCREEN_WIDTH * 100], COLOUR_RED);
        QTest::mouseClick(window->findChild<KeyArea*>("Image2"), Qt::LeftButton);
        QTRY_COMPARE(devicePhase, DevicePhase::Running);
        QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);  // ignored
        QCOMPARE(devicePhase, DevicePhase::Running);
        QTest::mouseClick(window->findChild<QPushButton*>("Button2"), Qt::LeftButton);
        QTRY_COMPARE(devicePhase, DevicePhase::Off);
        QVERIFY(!window->passDriver()->running());
    }

    // The passes keep to real time whatever the machine's load: never ahead of it, and after a
    // stall of the window thread the next batch catches up, but by no more than 50 passes. The
    // stalls are the test's own, so the batch sizes are known; the first batch after each is
    // taken alone, one event at a time. The splash stays on for 2500 passes, far more than run
    // here, and an unchanged frame is not presented again.
    void passesKeepToRealTimeAndUnchangedFramesAreNotPresentedAgain()
    {
        QElapsedTimer sinceOn;  // started before the driver's own clock
        sinceOn.start();
        QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        QTRY_VERIFY(window->displayPanel()->framesPresented() > 0);
        const uint64_t presented = window->displayPanel()->framesPresented();
        PassDriver* driver = window->passDriver();
        for (const int stallMs : {0, 12, 30, 200, 30}) {
            const uint64_t before = driver->passesRun();
            QThread::msleep(static_cast<unsigned long>(stallMs));
            while (driver->passesRun() == before) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            const uint64_t batch = driver->passesRun() - before;
            QVERIFY2(batch >= static_cast<uint64_t>(std::min(stallMs, 50)) && batch <= 50,
                     qPrintable(QString("a stall of %1 ms, then %2 passes").arg(stallMs).arg(batch)));
            const uint64_t due = static_cast<uint64_t>(sinceOn.elapsed()) * PASSES_PER_SECOND / 1000;
            QVERIFY2(driver->passesRun() <= due, qPrintable(QString("%1 passes in %2 ms").arg(driver->passesRun()).arg(due)));
        }
        QCOMPARE(devicePhase, DevicePhase::SplashNotice);
        QCOMPARE(window->displayPanel()->framesPresented(), presented);  // the splash did not change
    }

    void movingTheMapBarSetsItsInputAndLabelAndTheNextPassConvertsIt()
    {
        QScrollBar* bar = window->findChild<QScrollBar*>("ScrollBar33");
        QLabel* label = window->findChild<QLabel*>("Label33");
        QVERIFY(bar && label);
        QCOMPARE(label->text(), QString("0"));
        QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        QTest::mouseClick(window->findChild<KeyArea*>("Image2"), Qt::LeftButton);
        QTRY_COMPARE(devicePhase, DevicePhase::ExpiryNotice);
        QTest::mouseClick(window->findChild<KeyArea*>("Image2"), Qt::LeftButton);
        QTRY_COMPARE(devicePhase, DevicePhase::Running);
        bar->setValue(1471);
        QCOMPARE(rawMap, int16_t{1471});
        QCOMPARE(label->text(), QString("1471"));
        QTRY_COMPARE(mapMb, int16_t{1012});
    }

    void inputControlsStartAsThePanelSays()
    {
        const struct {
            const char* name;
            int minimum, maximum, start;
        } bars[] = {{"ScrollBar24", 1, 31000, 31000}, {"ScrollBar34", 1, 99999, 1}, {"ScrollBar38", 0, 4096, 2240},
                    {"ScrollBar12", -200, 1200, 0},   {"ScrollBar29", 0, 65535, 0}, {"ScrollBar41", 0, 999, 0}};
        for (const auto& b : bars) {
            QScrollBar* bar = window->findChild<QScrollBar*>(b.name);
            QVERIFY2(bar, b.name);
            QCOMPARE(bar->minimum(), b.minimum);
            QCOMPARE(bar->maximum(), b.maximum);
            QCOMPARE(bar->value(), b.start);
        }
        const struct {
            const char* name;
            bool ticked;
        } boxes[] = {{"CheckBox5", false}, {"CheckBox6", false}, {"CheckBox4", true}, {"CheckBox3", true}};
        for (const auto& b : boxes) {
            QCheckBox* box = window->findChild<QCheckBox*>(b.name);
            QVERIFY2(box, b.name);
            QCOMPARE(box->isChecked(), b.ticked);
        }
        window->findChild<QCheckBox*>("CheckBox4")->setChecked(false);
        QVERIFY(!hostControls.zedaOn);
        window->findChild<QCheckBox*>("CheckBox4")->setChecked(true);
    }

private:
    TfrmMain* window = nullptr;
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"

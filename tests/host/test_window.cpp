// The window as a user meets it: layout, key areas, power buttons, the display panel's pixels.
#include <QAction>
#include <QCheckBox>
#include <QScrollBar>
#include <QLabel>
#include <QLineEdit>
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
#include "device_readings.h"
#include "host/display_panel.h"
#include "host/input_bar.h"
#include "host/inputs_tab.h"
#include "host/key_area.h"
#include "host/main_window.h"
#include "host/pass_driver.h"
#include "ui/screen.h"

namespace {

// Compares the panel's picture with the Framebuffer through the palette, pixel for pixel.
int panelMismatches(DisplayPanel* panel)
{
    const QImage shown = panel->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    if (shown.width() < SCREEN_WIDTH || shown.height() < SCREEN_HEIGHT) return -1;
    int mismatches = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const uint32_t want = palette[framebuffer[x + SCREEN_WIDTH * y]];
            if ((shown.pixel(x, y) & 0xFFFFFF) != want) ++mismatches;
        }
    return mismatches;
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

    // Every means of moving a bar agrees: right and up raise, left and down lower, Shift moves one
    // count, the wheel turned away raises by one step a detent.
    void barsMoveTheSameWayByKeysAndWheel()
    {
        InputBar* bar = window->inputs()->scrollBar(InputControl::Map);
        bar->setValue(1000);
        const int step = bar->step();
        QVERIFY(step > 1);
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int change;
        } presses[] = {{Qt::Key_Right, Qt::NoModifier, step},  {Qt::Key_Up, Qt::NoModifier, step},
                       {Qt::Key_Left, Qt::NoModifier, -step},  {Qt::Key_Down, Qt::NoModifier, -step},
                       {Qt::Key_Right, Qt::ShiftModifier, 1}, {Qt::Key_Down, Qt::ShiftModifier, -1}};
        for (const auto& p : presses) {
            const int before = bar->value();
            QTest::keyClick(bar, p.key, p.modifiers);
            QCOMPARE(bar->value() - before, p.change);
            QCOMPARE(rawMap, static_cast<int16_t>(bar->value()));
        }
        for (const int detents : {1, -1, 3}) {
            const int before = bar->value();
            QWheelEvent wheel(QPointF(60, 8), bar->mapToGlobal(QPointF(60, 8)), QPoint(), QPoint(0, 120 * detents),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(bar, &wheel);
            QCOMPARE(bar->value() - before, detents * step);
        }
        // Dragging: the right end of the groove is the bar's maximum.
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() - 2, bar->height() / 2));
        QVERIFY(bar->value() > 1000);
    }

    void theInstrumentStartsWithTheBarsPositions()
    {
        for (int i = 0; i < INPUT_CONTROL_COUNT; ++i) {
            const auto id = static_cast<InputControl>(i);
            QCOMPARE(window->inputs()->valueLabel(id)->text(), QString::number(inputControls[i].start));
        }
        QCOMPARE(rpmPeriod, uint16_t{31000});
        QCOMPARE(rawCjc, uint16_t{2240});
        QCOMPARE(rotorRpm, 1);
        QCOMPARE(window->inputs()->scrollBar(InputControl::Rpm)->readingText(), QString("0 RPM"));
    }

    void aTypedReadingReachesTheDeviceInput()
    {
        InputsTab* inputs = window->inputs();
        QVERIFY(inputs->applyTypedValue(InputControl::Rpm, "2400 RPM"));
        // The nearest the pulse period can come: one count either side is further away.
        const int32_t reached = inputReading(InputControl::Rpm, rpmPeriod).value;
        QVERIFY2(std::abs(reached - 2400) <= 2, qPrintable(QString::number(reached)));
        QVERIFY(std::abs(inputReading(InputControl::Rpm, rpmPeriod + 1).value - 2400) >= std::abs(reached - 2400));
        QVERIFY(std::abs(inputReading(InputControl::Rpm, rpmPeriod - 1).value - 2400) >= std::abs(reached - 2400));
        QCOMPARE(inputs->scrollBar(InputControl::Rpm)->readingText(), QString("%1 RPM").arg(reached));
        QVERIFY(inputs->applyTypedValue(InputControl::Volts, "14.2 V"));
        QCOMPARE(inputReading(InputControl::Volts, rawVolts).value, 142);
        QVERIFY(inputs->applyTypedValue(InputControl::Map, "1234"));  // a plain number is a count
        QCOMPARE(rawMap, int16_t{1234});
        QVERIFY(!inputs->applyTypedValue(InputControl::Map, "12 furlongs"));
        QVERIFY(!inputs->applyTypedValue(InputControl::Map, "5000"));  // beyond the bar
        QCOMPARE(rawMap, int16_t{1234});
        // Through the editor a double-click opens.
        QTest::mouseDClick(inputs->valueLabel(InputControl::Tc1), Qt::LeftButton);
        QLineEdit* editor = inputs->valueEditor();
        QVERIFY(editor);
        editor->setText("650 °C");
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(inputReading(InputControl::Tc1, tcInput[0]).value, 650);
        QVERIFY(!inputs->valueEditor());
    }

private:
    TfrmMain* window = nullptr;
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"

// The window as a user meets it: layout, key areas, power buttons, the display panel's pixels.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QComboBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QScrollBar>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QMenu>
#include <QScreen>
#include <QtTest>

#include <algorithm>
#include <cmath>

#include "device.h"
#include "engine/alarm_messages.h"
#include "engine/alarms.h"
#include "display/framebuffer.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "engine/fuel.h"
#include "device_readings.h"
#include "gps/nmea.h"
#include "host/display_panel.h"
#include "host/front_panel.h"
#include "host/gps_tab.h"
#include "host/nmea_counters.h"
#include "host/panel_lamps.h"
#include "host/input_bar.h"
#include "host/inputs_tab.h"
#include "host/key_area.h"
#include "host/key_map.h"
#include "host/main_window.h"
#include "host/pass_driver.h"
#include "host/trends_tab.h"
#include "present/presenter.h"
#include "settings/settings.h"
#include "ui/screen.h"

namespace {

// Compares the panel's picture with the Framebuffer through the palette at the instrument's
// backlight: each framebuffer pixel must be a square block of whole device pixels of its colour.
// Returns the framebuffer pixels shown otherwise.
int panelMismatches(DisplayPanel* panel)
{
    const QImage shown = panel->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    const double across = panel->width() * shown.devicePixelRatio() / SCREEN_WIDTH;
    const int block = static_cast<int>(std::lround(across));
    if (block < 1 || std::abs(across - block) > 0.01 || shown.width() < SCREEN_WIDTH * block ||
        shown.height() < SCREEN_HEIGHT * block)
        return -1;
    int mismatches = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const uint32_t want = backlitColour(palette[framebuffer[x + SCREEN_WIDTH * y]], settings.backlight);
            bool same = true;
            for (int i = 0; i < block * block; ++i)
                same &= (shown.pixel(x * block + i % block, y * block + i / block) & 0xFFFFFF) == want;
            mismatches += !same;
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
    void initTestCase()
    {
        // The window's remembered choices go to a folder of this run's own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        QCoreApplication::setOrganizationName("CorvexWindowTests");
    }

    void init()
    {
        QSettings().clear();
        pendingKey = KeyNone;
        window = new TfrmMain;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // Active, as the window a user works in: focus changes reach the widgets.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
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
        // At the side panel's least width every control of the Trends tab, a recording shown,
        // shows its text in full.
        TrendsTab* trends = window->trends();
        tabs->setCurrentWidget(trends);
        QSignalSpy loaded(trends, &TrendsTab::recordingLoaded);
        QVERIFY(trends->openRecording(CORVEX_SOURCE_DIR "/tests/data/recording/DATALOG.CSV"));
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 10000);
        QTRY_VERIFY(trends->findChild<QComboBox*>("TrendSessions")->isVisible());
        for (QWidget* control : tabs->currentWidget()->findChildren<QWidget*>())
            if (control->isVisible() && (qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control)))
                QVERIFY2(control->sizeHint().width() <= control->width(), qPrintable(control->objectName()));
        QCOMPARE(tabs->width(), tabs->minimumWidth());
        tabs->setCurrentIndex(0);
        const QList<QAction*> menus = window->menuBar()->actions();
        QStringList titles;
        for (const QAction* menu : menus) titles << menu->text();
        QCOMPARE(titles, QStringList({"&File", "&View", "&Help"}));
        QStringList items;
        for (const QAction* item : menus[0]->menu()->actions())
            if (!item->isSeparator()) items << item->text();
        QCOMPARE(items, QStringList({"&Power On/Off", "Recall the Card's Settings at Power-&On", "&Save Screenshot...", "Open &Recording...", "Save &Charts...", "&Record Scenario...",
                                     "P&lay Scenario...", "Record &GIF...", "&Exit"}));
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
        QTRY_VERIFY(window->passDriver()->passesRun() > 400);
        QCOMPARE(devicePhase, DevicePhase::SplashNotice);
        // Only the passes before a frame is shown draw it (about one in sixteen).
        QVERIFY(window->passDriver()->passesDrawn() > 0);
        QVERIFY(window->passDriver()->passesDrawn() < window->passDriver()->passesRun() / 4);
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
        QCOMPARE(label->text(), QString::number(bar->value()));
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

    void inputControlsHaveThePanelsRanges()
    {
        const struct {
            const char* name;
            int minimum, maximum;
        } bars[] = {{"ScrollBar24", 1, 31000}, {"ScrollBar34", 1, 99999}, {"ScrollBar38", 0, 4096},
                    {"ScrollBar12", -200, 1200},   {"ScrollBar29", 0, 65535}, {"ScrollBar41", 0, 999}};
        for (const auto& b : bars) {
            QScrollBar* bar = window->findChild<QScrollBar*>(b.name);
            QVERIFY2(bar, b.name);
            QCOMPARE(bar->minimum(), b.minimum);
            QCOMPARE(bar->maximum(), b.maximum);
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

    // Every means of moving a bar agrees: right and up raise the reading, left and down lower it,
    // Shift moves one count, the wheel turned away raises by one step a detent. The RPM bar holds a
    // pulse period and the fuel level and temperature senders a resistance, so raising their
    // readings lowers their counts.
    void barsMoveTheSameWayByKeysAndWheel()
    {
        for (const auto& [id, sign] : {std::pair{InputControl::Map, 1}, std::pair{InputControl::Rpm, -1},
                                       std::pair{InputControl::FuelLevel1, -1}, std::pair{InputControl::Input1, -1},
                                       std::pair{InputControl::Input3, -1}}) {
            InputBar* bar = window->inputs()->scrollBar(id);
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
                QCOMPARE(bar->value() - before, sign * p.change);
            }
            for (const int detents : {1, -1, 3}) {
                const int before = bar->value();
                QWheelEvent wheel(QPointF(60, 8), bar->mapToGlobal(QPointF(60, 8)), QPoint(), QPoint(0, 120 * detents),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(bar, &wheel);
                QCOMPARE(bar->value() - before, sign * detents * step);
            }
            // Dragging: the right end of the groove is the highest reading.
            const int before = bar->value();
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() - 2, bar->height() / 2));
            QVERIFY2(sign * (bar->value() - before) > 0, qPrintable(QString("%1 -> %2").arg(before).arg(bar->value())));
        }
        QCOMPARE(rawMap, static_cast<int16_t>(window->inputs()->scrollBar(InputControl::Map)->value()));
        QCOMPARE(rpmPeriod, hostControls.rpmBar);
    }

    // A fresh start: every input is what its bar shows, and the engine they describe is quiet.
    void theInstrumentStartsWithTheBarsPositionsAndNoAlarm()
    {
        InputsTab* inputs = window->inputs();
        for (int i = 0; i < INPUT_CONTROL_COUNT; ++i) {
            const auto id = static_cast<InputControl>(i);
            QCOMPARE(inputs->valueLabel(id)->text(), QString::number(inputs->scrollBar(id)->value()));
        }
        QCOMPARE(int{rpmPeriod}, inputs->scrollBar(InputControl::Rpm)->value());
        QCOMPARE(int{rawCjc}, inputs->scrollBar(InputControl::Cjc)->value());
        QCOMPARE(int{rawMap}, inputs->scrollBar(InputControl::Map)->value());
        QCOMPARE(int{rawVolts}, inputs->scrollBar(InputControl::Volts)->value());
        QCOMPARE(int{tcInput[0]}, inputs->scrollBar(InputControl::Tc1)->value());
        QCOMPARE(rotorRpm, inputs->scrollBar(InputControl::Rotor)->value());
        QCOMPARE(inputs->scrollBar(InputControl::Rpm)->readingText(), QString("1600 RPM"));
        QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        for (int i = 0; i < 2; ++i) {
            QTest::keyClick(window->displayPanel(), Qt::Key_F1);
            QTRY_COMPARE(pendingKey, uint8_t{KeyNone});
        }
        QTRY_COMPARE(devicePhase, DevicePhase::Running);
        const uint64_t start = window->passDriver()->passesRun();
        QTRY_VERIFY(window->passDriver()->passesRun() > start + 200);
        QCOMPARE(alarmFlags, 0u);
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

    void presetsSetTheInputsInOneClick()
    {
        const struct {
            const char* button;
            int rpm;
            uint16_t flow;
        } presets[] = {{"Preset Cruise", 4795, 200}, {"Preset Take-off", 5507, 329}, {"Preset Engine off", 0, 0}};
        for (const auto& p : presets) {
            auto* button = window->findChild<QPushButton*>(p.button);
            QVERIFY2(button && button->isVisible(), p.button);
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(inputReading(InputControl::Rpm, rpmPeriod).value, p.rpm);
            QCOMPARE(inputReading(InputControl::FuelFlow1, rawFuelFlow[0]).value, int32_t{p.flow});
        }
        // Running at Cruise, the smoothed channels' readings beside the bars are what the display
        // settles on.
        QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        for (int notice = 0; notice < 2; ++notice) {
            QTest::qWait(300);
            emit window->front()->keyClicked(KeySoft1);
        }
        QTest::mouseClick(window->findChild<QPushButton*>("Preset Cruise"), Qt::LeftButton);
        QTest::qWait(2000);
        const struct {
            InputControl id;
            int32_t (*shown)();
        } smoothed[] = {{InputControl::Volts, [] { return int32_t{volts}; }},
                        {InputControl::Map, [] { return int32_t{map}; }},
                        {InputControl::FuelLevel1, [] { return int32_t{fuelLevel[0]}; }}};
        for (const auto& c : smoothed) {
            InputReading display = inputReading(c.id, window->inputs()->scrollBar(c.id)->value());
            display.value = c.shown();
            char text[32];
            formatInputReading(display, text, sizeof text);
            QCOMPARE(window->inputs()->scrollBar(c.id)->readingText(), QString::fromUtf8(text));
        }
        window->tabs()->setCurrentIndex(1);
        QVERIFY(!window->findChild<QPushButton*>("Preset Cruise")->isVisible());  // EMS tab only
    }

    void keysAndWheelReachThePendingKey()
    {
        window->tabs()->setCurrentIndex(1);  // whichever tab is shown
        const struct {
            Qt::Key key;
            uint8_t code;
        } keys[] = {{Qt::Key_F1, KeySoft1},     {Qt::Key_F2, KeySoft2},     {Qt::Key_F3, KeySoft3},
                    {Qt::Key_F4, KeySoft4},     {Qt::Key_F5, KeySoft5},     {Qt::Key_Return, KeyKnobPress},
                    {Qt::Key_Space, KeyKnobPress}, {Qt::Key_Up, KeyKnobPlus}, {Qt::Key_Right, KeyKnobPlus},
                    {Qt::Key_Down, KeyKnobMinus}, {Qt::Key_Left, KeyKnobMinus}};
        // A check box with the focus keeps its tick and does not take Return or Space.
        auto* box = window->findChild<QCheckBox*>("CheckBox4");
        const bool ticked = box->isChecked();
        box->setFocus();
        for (QWidget* target : {window->tabs()->currentWidget(), static_cast<QWidget*>(box)})
            for (const auto& k : keys) {
                pendingKey = KeyNone;
                QTest::keyPress(target, k.key);
                QCOMPARE(pendingKey, k.code);
                if (KeyArea* area = window->front()->keyArea(k.code)) {
                    QVERIFY(area->isPressed());  // drawn pressed while held
                    QTest::keyRelease(target, k.key);
                    QVERIFY(!area->isPressed());
                }
            }
        QCOMPARE(box->isChecked(), ticked);
        // In a menu or a list Down moves the cursor down, the knob's clockwise turn there.
        knobMovesCursor = 1;
        for (const auto& [key, code] : {std::pair{Qt::Key_Down, KeyKnobPlus}, std::pair{Qt::Key_Up, KeyKnobMinus},
                                        std::pair{Qt::Key_Right, KeyKnobPlus}}) {
            pendingKey = KeyNone;
            QTest::keyClick(window->windowHandle(), key);
            QCOMPARE(pendingKey, uint8_t{code});
        }
        knobMovesCursor = 0;
        // A dialog that closes gives the keyboard back to the window, with no click needed.
        QDialog dialog(window);
        dialog.show();
        QTRY_VERIFY(dialog.isVisible());
        dialog.activateWindow();
        QTRY_VERIFY(dialog.isActiveWindow());
        dialog.close();
        QTRY_VERIFY(window->isActiveWindow());
        // Not while a text field is edited.
        pendingKey = KeyNone;
        auto* port = window->gps()->findChild<QComboBox*>("ComboBox1");
        QTest::mouseClick(port->lineEdit(), Qt::LeftButton);
        QTest::keyClick(port->lineEdit(), Qt::Key_F2);
        QTest::keyClick(port->lineEdit(), Qt::Key_Space);
        QCOMPARE(pendingKey, uint8_t{KeyNone});
        // The wheel over the display and over the knob: one detent, one turn.
        const struct {
            QWidget* over;
            int delta;
            uint8_t code;
        } wheels[] = {{window->displayPanel(), 120, KeyKnobPlus},
                      {window->displayPanel(), -120, KeyKnobMinus},
                      {window->front()->keyArea(KeyKnobPress), 120, KeyKnobPlus}};
        for (const auto& w : wheels) {
            pendingKey = KeyNone;
            QWheelEvent wheel(QPointF(10, 10), w.over->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, w.delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(w.over, &wheel);
            QCOMPARE(pendingKey, w.code);
        }
        pendingKey = KeyNone;
    }

    // Whatever was clicked last and whichever tab is shown, the keys reach the instrument; only a
    // text field the user clicked keeps them (Esc or a click on the display hands them back), and
    // a clicked scroll bar the arrows.
    void keysReachTheInstrumentOnEveryTab()
    {
        const struct {
            Qt::Key key;
            uint8_t code;
        } keys[] = {{Qt::Key_F1, KeySoft1},     {Qt::Key_F2, KeySoft2},   {Qt::Key_F3, KeySoft3},
                    {Qt::Key_F4, KeySoft4},     {Qt::Key_F5, KeySoft5},   {Qt::Key_Return, KeyKnobPress},
                    {Qt::Key_Right, KeyKnobPlus}, {Qt::Key_Left, KeyKnobMinus}};
        // How many of the keys reach the instrument, typed as a user types them (to the focus).
        const auto reaching = [&](bool arrows) {
            int count = 0;
            for (const auto& k : keys) {
                if (!arrows && (k.code == KeyKnobPlus || k.code == KeyKnobMinus)) continue;
                pendingKey = KeyNone;
                QTest::keyClick(window->windowHandle(), k.key);
                count += pendingKey == k.code;
            }
            pendingKey = KeyNone;
            return count;
        };
        const int all = static_cast<int>(std::size(keys));
        const auto click = [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); };
        QTabBar* tabBar = window->tabs()->tabBar();
        int fields = 0;
        for (int t = 0; t < window->tabs()->count(); ++t) {
            if (!window->tabs()->isTabVisible(t)) continue;
            QTest::mouseClick(tabBar, Qt::LeftButton, {}, tabBar->tabRect(t).center());
            QWidget* page = window->tabs()->widget(t);
            const QString name = window->tabs()->tabText(t);
            QCOMPARE(window->tabs()->currentIndex(), t);
            QVERIFY2(reaching(true) == all, qPrintable(name));
            const auto first = [page](auto* kind, auto keep) {
                for (auto* w : page->findChildren<std::remove_pointer_t<decltype(kind)>*>())
                    if (w->isVisible() && w->isEnabled() && keep(w)) return w;
                return decltype(kind){};
            };
            // A text field keeps the keys once clicked, until Esc or a click on the display.
            QWidget* field = first(static_cast<QLineEdit*>(nullptr), [](QLineEdit* e) { return !e->isReadOnly(); });
            for (const bool byEsc : {true, false}) {
                if (!field) break;
                ++fields;
                click(field);
                for (const Qt::Key key : {Qt::Key_F2, Qt::Key_Right}) QTest::keyClick(window->windowHandle(), key);
                QVERIFY2(pendingKey == KeyNone, qPrintable(name));
                if (byEsc) QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
                else click(window->displayPanel());
                QTRY_VERIFY(window->focusWidget() == window->displayPanel());
                QVERIFY2(reaching(true) == all, qPrintable(name));
            }
            // A scroll bar keeps the arrows; a check box nothing. The next tab comes after a check box.
            if (auto* bar = first(static_cast<QScrollBar*>(nullptr), [](QScrollBar* b) { return b->objectName() != ""; })) {
                click(bar);
                QVERIFY2(reaching(false) == all - 2, qPrintable(name));
                const int before = bar->value();
                QTest::keyClick(window->windowHandle(), Qt::Key_Right);
                QVERIFY(bar->value() != before);
            }
            if (auto* box = first(static_cast<QCheckBox*>(nullptr), [](QCheckBox*) { return true; })) {
                click(box);
                QVERIFY2(reaching(true) == all, qPrintable(name));
                click(box);
            }
        }
        QVERIFY(fields >= 2);
    }

    // The README's and the guide's key tables are the window's own (CORVEX_WRITE_KEYS=1 writes them).
    void theGuidesShowTheKeyMap()
    {
        for (const char* name : {"README.md", "docs/USER_GUIDE.md"}) {
            QFile file(QString(CORVEX_SOURCE_DIR "/") + name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QString text = QString::fromUtf8(file.readAll());
            file.close();
            const qsizetype begin = text.indexOf("-->\n", text.indexOf("<!-- keys:")) + 4;
            const qsizetype end = text.indexOf("<!-- /keys -->");
            QVERIFY2(begin > 3 && end >= begin, name);
            if (qEnvironmentVariableIsSet("CORVEX_WRITE_KEYS")) {
                text.replace(begin, end - begin, keyMapMarkdown());
                QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
                file.write(text.toUtf8());
                continue;
            }
            QVERIFY2(text.mid(begin, end - begin) == keyMapMarkdown(), qPrintable(QString(name) + " wants:\n" + keyMapMarkdown()));
        }
    }

    void thePowerLampAndButtonsShowTheState()
    {
        PanelLamps* lamps = window->front()->lamps();
        auto* on = window->findChild<QPushButton*>("Button1");
        auto* off = window->findChild<QPushButton*>("Button2");
        QVERIFY(!lamps->isLit("Power"));
        QVERIFY(on->isEnabled() && !off->isEnabled());
        window->findChild<QAction*>("PowerToggle")->trigger();  // Ctrl+O
        QVERIFY(deviceIsOn());
        QVERIFY(lamps->isLit("Power"));
        QVERIFY(!on->isEnabled() && off->isEnabled());
        // The lamp is drawn: its glass is green while lit.
        const QImage drawn = lamps->grab().toImage();
        const QPoint middle = lamps->findChild<QWidget*>("PowerLamp")->geometry().center();
        const QColor centre = drawn.pixelColor(middle);
        QVERIFY2(centre.green() > 150 && centre.red() < 150, qPrintable(centre.name()));
        QTest::mouseClick(off, Qt::LeftButton);
        QTRY_VERIFY(!window->passDriver()->running());
        QVERIFY(!lamps->isLit("Power"));
        QVERIFY(on->isEnabled() && !off->isEnabled());
    }

    // The ALARM lamp follows the announcement, whatever the display shows.
    void theAlarmLampLightsWhileAnAlarmWaitsForAck()
    {
        PanelLamps* lamps = window->front()->lamps();
        window->findChild<QAction*>("PowerToggle")->trigger();
        // A key ends each power-on notice; the lamp belongs to the running instrument.
        QTRY_VERIFY_WITH_TIMEOUT((devicePressKey(KeySoft2), devicePhase == DevicePhase::Running), 10000);
        // A real alarm announces itself; the lamp lights with the pop-up and goes out on ACK,
        // each within a host tick, without anyone refreshing the lamps by hand.
        QTest::mouseClick(window->findChild<QPushButton*>("Preset Low oil pressure"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(alarmAnnounced != 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(lamps->isLit("ALARM"), 200);
        QTRY_VERIFY_WITH_TIMEOUT((devicePressKey(KeySoft1), alarmAnnounced == 0), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!lamps->isLit("ALARM"), 200);
        QTest::mouseClick(window->findChild<QPushButton*>("Button2"), Qt::LeftButton);
        QTRY_VERIFY(!window->passDriver()->running());
    }

    // Zoom 2: the window grows by the panel's width and the display doubles.
    void zoomScalesThePanel()
    {
        const QSize before = window->centralWidget()->size();
        window->setZoom(TfrmMain::Zoom::X2);
        QCOMPARE(window->centralWidget()->width(), before.width() + 550);
        QCOMPARE(window->displayPanel()->size(), QSize(960, 546));
        QCOMPARE(window->findChild<KeyArea*>("Image2")->geometry(), QRect(48, 832, 82, 82));
        window->setZoom(TfrmMain::Zoom::X1);
        QCOMPARE(window->centralWidget()->size(), before);
        QCOMPARE(window->displayPanel()->geometry(), QRect(34, 65, 480, 273));
    }

    // Every zoom offered fits the screen's available area (one that does not falls back to Fit and
    // is not offered), the side panel takes the whole height, and each framebuffer pixel is a
    // square block of whole device pixels at any screen scale. Also run on a small screen and at
    // QT_SCALE_FACTOR 2 and 1.5.
    void everyZoomFitsTheScreenAndStaysSharp()
    {
        for (int y = 0; y < SCREEN_HEIGHT; ++y)
            for (int x = 0; x < SCREEN_WIDTH; ++x)
                framebuffer[x + SCREEN_WIDTH * y] = static_cast<uint8_t>((x / 3 + y * 7) % 256);
        QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        window->passDriver()->powerOff();
        QTRY_VERIFY(!window->passDriver()->running());
        const QRect area = window->screen()->availableGeometry();
        const QList<QAction*> zooms = window->menuBar()->actions()[1]->menu()->actions();
        int offered = 0;
        for (const TfrmMain::Zoom zoom : {TfrmMain::Zoom::X1, TfrmMain::Zoom::X2, TfrmMain::Zoom::X3}) {
            const bool fits = window->zoomFits(zoom);
            offered += fits;
            window->setZoom(zoom);
            QCOMPARE(window->zoom(), fits ? zoom : TfrmMain::Zoom::Fit);
            QCOMPARE(zooms[static_cast<int>(zoom) - 1]->isEnabled(), fits);
            if (zoom != TfrmMain::Zoom::X1) QVERIFY(!fits || area.contains(window->frameGeometry()));
            QCOMPARE(window->tabs()->height(), window->centralWidget()->height());
            if (!fits) continue;
            window->displayPanel()->frameReady();
            QTRY_COMPARE(panelMismatches(window->displayPanel()), 0);
        }
        qInfo() << "screen" << area.size() << "scale" << window->devicePixelRatioF() << "zooms offered" << offered;
        QVERIFY(offered >= 1 + (area.width() >= 1700 && window->devicePixelRatioF() == 1.0));
    }

    // A zoom change keeps the whole window on the screen, and so does a remembered size and
    // position larger than the screen the window opens on. Also run on a small screen.
    void theWindowStaysOnTheScreen()
    {
        const QRect area = window->screen()->availableGeometry();
        const QRect frame = window->frameGeometry();
        window->move(area.right() + 1 - frame.width(), area.bottom() + 1 - frame.height());
        QTRY_VERIFY(area.contains(window->frameGeometry()));
        for (const TfrmMain::Zoom zoom : {TfrmMain::Zoom::X2, TfrmMain::Zoom::X3, TfrmMain::Zoom::Fit, TfrmMain::Zoom::X1}) {
            window->setZoom(zoom);
            QVERIFY2(area.contains(window->frameGeometry()), qPrintable(QString("zoom %1").arg(static_cast<int>(zoom))));
        }
        window->setZoom(TfrmMain::Zoom::Fit);
        window->close();
        delete window;
        QSettings stored;
        stored.setValue("window/size", area.size() + QSize(500, 180));
        stored.setValue("window/position", area.topLeft() - QPoint(260, 90));
        stored.sync();
        window = new TfrmMain;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->zoom(), TfrmMain::Zoom::Fit);
        QTRY_VERIFY2(area.contains(window->frameGeometry()), qPrintable(QString("%1,%2 %3x%4")
                                                                          .arg(window->frameGeometry().x())
                                                                          .arg(window->frameGeometry().y())
                                                                          .arg(window->frameGeometry().width())
                                                                          .arg(window->frameGeometry().height())));
    }

    void fitToWindowFollowsTheWindowsSize()
    {
        window->setZoom(TfrmMain::Zoom::Fit);
        window->centralWidget()->resize(1100 + 515, 954);  // room for twice the panel
        QTRY_COMPARE(window->displayPanel()->size(), QSize(960, 546));
        QCOMPARE(window->tabs()->x(), 1100 + 2);
    }

    void zoomTabAndPortAreRememberedBetweenRuns()
    {
        window->setZoom(TfrmMain::Zoom::X3);
        window->tabs()->setCurrentIndex(4);  // ECU / CO: any tab shown, not only the first two
        window->gps()->findChild<QComboBox*>("ComboBox1")->setEditText("COM 2 (/dev/ttyS1)");
        // Stored at the change: a program that is killed keeps them too.
        QTRY_COMPARE(QSettings().value("window/zoom").toInt(), 3);
        QTRY_COMPARE(QSettings().value("gps/port").toString(), QString("COM 2 (/dev/ttyS1)"));
        window->close();
        delete window;
        window = new TfrmMain;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->zoom(), TfrmMain::Zoom::X3);
        QCOMPARE(window->tabs()->currentIndex(), 4);
        QCOMPARE(window->gps()->chosenDevice(), QString("/dev/ttyS1"));
        QCOMPARE(window->displayPanel()->size(), QSize(1440, 819));
    }

    void aScreenshotIsTheRunnersPng()
    {
        for (int i = 0; i < FRAMEBUFFER_SIZE; ++i) framebuffer[i] = static_cast<uint8_t>(i % 251);
        const QString path = settingsFolder.filePath("shot.png");
        QVERIFY(TfrmMain::saveScreenshot(path));
        const QImage image(path);
        QCOMPARE(image.size(), QSize(480, 272));
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        QCOMPARE(image.pixelIndex(100, 10), (100 + 4800) % 251);
    }

    // Ctrl+S keeps the display as it was at the key press, and a name typed without an extension
    // gets the dialog's own (as every save dialog of the window does).
    void aScreenshotIsTheDisplayAtTheKeyPressUnderTheTypedName()
    {
        for (int i = 0; i < FRAMEBUFFER_SIZE; ++i) framebuffer[i] = 7;
        QTimer::singleShot(0, this, [this] {
            QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            for (int i = 0; i < FRAMEBUFFER_SIZE; ++i) framebuffer[i] = 9;  // the display moves on meanwhile
            dialog->setDirectory(settingsFolder.path());
            dialog->selectFile("typed");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        window->findChild<QAction*>("SaveScreenshot")->trigger();
        const QImage image(settingsFolder.filePath("typed.png"));
        QCOMPARE(image.size(), QSize(480, 272));
        QCOMPARE(image.pixelIndex(100, 10), 7);
    }

    // A feed ended with CR CR LF: bytes arrive, every sentence is rejected for its line end.
    void nmeaCountersShowWhySentencesAreRejected()
    {
        resetNmeaReceiver();
        NmeaCounters counters;
        const std::string good = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
        for (const std::string& line : {good + "\r\r\n", good + "\r\r\n", good + "\r\n",
                                        std::string("$GPGGA,1*00\r\n"), "$" + std::string(250, 'A') + "*00\r\n"})
            for (const char c : line) feedNmeaByte(static_cast<uint8_t>(c), counters);
        QCOMPARE(counters.accepted, uint64_t{1});
        QCOMPARE(counters.badLineEnd, uint64_t{2});
        QCOMPARE(counters.badChecksum, uint64_t{1});
        QCOMPARE(counters.tooLong, uint64_t{1});
        QCOMPARE(nmeaCountersText(counters), QString("%1 bytes, 1 sentences accepted, 4 rejected "
                                                     "(1 bad checksum, 1 too long, 2 bad line end)").arg(counters.bytes));
        // The network sources' own counts follow, when there are any.
        counters.repairedLineEnds = 3;
        counters.gpsdReports = 2;
        QVERIFY(nmeaCountersText(counters).endsWith("bad line end); 3 line ends repaired; 2 gpsd reports skipped"));
        resetNmeaReceiver();
    }

private:
    QTemporaryDir settingsFolder;
    TfrmMain* window = nullptr;
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"

// Scenarios in the window: a recorded session replays to the same screen in the runner and in
// the window, a changed behaviour fails on a named line; the window's command line.
#include <QAction>
#include <QCheckBox>
#include <QRegularExpression>
#include <QStatusBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <gif_lib.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <vector>

#include "device.h"
#include "device_inputs.h"
#include "display/framebuffer.h"
#include "engine/alarm_messages.h"
#include "engine/fuel.h"
#include "host/command_line.h"
#include "host/front_panel.h"
#include "host/gps_tab.h"
#include "host/main_window.h"
#include "host/pass_driver.h"
#include "host/scenario_recorder.h"
#include "scenario/scenario.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "time/clock.h"
#include "ui/screen.h"

namespace {

std::vector<uint8_t> screenNow() { return std::vector<uint8_t>(framebuffer, framebuffer + SCREEN_WIDTH * SCREEN_HEIGHT); }

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool runInRunner(const QString& script, std::string& error, const QString& dir = ".")
{
    resetDevice();
    std::istringstream in(script.toStdString());
    std::ostringstream out;
    ScenarioOptions options;
    options.scriptDir = dir.toStdString();
    return runScenario(in, options, out, error);
}

}  // namespace

class ScenarioTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        QCoreApplication::setOrganizationName("CorvexScenarioTests");
    }

    void init()
    {
        QSettings().clear();
        window = new TfrmMain;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    void cleanup()
    {
        window->recorder()->stopPlaying();
        window->close();
        delete window;
        window = nullptr;
        devicePowerOff();
        while (devicePass()) {
        }
    }

    void recordedSessionReplaysToTheSameScreen()
    {
        const QString path = folder.filePath("session.scn");
        QVERIFY(window->recorder()->startRecording(path));
        window->findChild<QAction*>("PowerToggle")->trigger();
        QTest::qWait(300);
        window->findChild<QScrollBar*>(inputControls[static_cast<int>(InputControl::Rpm)].name)->setValue(2400);
        QTest::qWait(3500);  // past the power-on notices
        emit window->front()->keyClicked(KeySoft1);
        QTest::qWait(250);
        emit window->front()->turned(1);
        auto* zeda = window->findChild<QCheckBox*>(switchControls[static_cast<int>(SwitchControl::ZedaOn)].name);
        zeda->setChecked(!zeda->isChecked());
        QTest::qWait(400);
        QVERIFY(window->recorder()->stopRecording());
        const std::vector<uint8_t> shown = screenNow();
        const QString script = readAll(path);
        QVERIFY(script.contains("\nclock "));
        QVERIFY(script.contains("\npower on\n"));
        QVERIFY(script.contains("\ninput RPM: 2400\n") || script.contains("\ninput RPM 2400\n"));
        QVERIFY(script.contains("\nkey soft1\n"));
        QVERIFY(script.contains("\nkey plus\n"));
        QVERIFY(script.contains("\nwait "));
        QVERIFY(script.contains("\nexpect screen "));

        // The runner: the same final screen, and its own check passes.
        std::string error;
        QVERIFY2(runInRunner(script, error), error.c_str());
        QVERIFY(screenNow() == shown);

        // A changed behaviour (here: the instrument never switched on) fails on a check's line.
        QString changed = script;
        changed.replace("\npower on\n", "\n");
        QVERIFY(!runInRunner(changed, error));
        const QString expectLine = QString::fromStdString(error).section(':', 0, 0);
        const QStringList lines = changed.split('\n');
        const int number = expectLine.mid(5).toInt();
        QVERIFY2(number > 0 && lines[number - 1].startsWith("expect "), error.c_str());
        QVERIFY2(QString::fromStdString(error).contains(": expected "), error.c_str());

        // The window plays it back to the same screen.
        std::vector<uint8_t> played;
        connect(window->recorder(), &ScenarioRecorder::playFinished, this, [&](const QString& message) {
            QVERIFY(message.isEmpty());
            played = screenNow();
        });
        QSignalSpy finished(window->recorder(), &ScenarioRecorder::playFinished);
        QVERIFY(window->playScenario(path));
        QVERIFY(finished.wait(20000));
        QVERIFY(played == shown);
    }

    void recallAtPowerOnIsAPreference()
    {
        QVERIFY(!window->recallAtPowerOnAction()->isChecked());
        setSdCardFolder(qPrintable(folder.path()));
        Settings onCard = factorySettings();
        onCard.utcOffsetMinutes = -60;
        QFile file(folder.filePath(SETTINGS_FILE_NAME));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(reinterpret_cast<const char*>(&onCard), sizeof onCard));
        file.close();
        for (const bool recall : {false, true}) {
            window->recallAtPowerOnAction()->setChecked(recall);
            window->powerToggle()->trigger();
            QCOMPARE(settings.utcOffsetMinutes, int16_t(recall ? -60 : 0));
            window->powerToggle()->trigger();
            QTRY_VERIFY(!deviceIsOn());
        }
        QVERIFY(file.remove());
        window->powerToggle()->trigger();
        QCOMPARE(settings.utcOffsetMinutes, int16_t{0});
        QVERIFY(window->statusBar()->currentMessage().contains("cannot be recalled"));
    }

    void closingTheWindowKeepsTheRecording()
    {
        const QString path = folder.filePath("closed.scn");
        QVERIFY(window->recorder()->startRecording(path));
        emit window->front()->keyClicked(KeySoft2);
        QTest::qWait(50);
        window->close();
        QVERIFY(!window->recorder()->recording());
        QVERIFY(readAll(path).contains("\nkey soft2\n"));
    }

    void escapeStopsAPlayback()
    {
        const QString path = folder.filePath("long.scn");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("power on\nwait 60\nkey soft1\n");
        file.close();
        QSignalSpy finished(window->recorder(), &ScenarioRecorder::playFinished);
        QVERIFY(window->playScenario(path));
        QTest::qWait(200);
        QVERIFY(window->recorder()->playing());
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Escape);
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toString(), QString("stopped"));
        QVERIFY(!window->passDriver()->inLockstep());
    }

    void aLineTheWindowCannotPlayIsNamed()
    {
        const QString path = folder.filePath("bad.scn");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("power on\nwait 0.1\ntick 3\n");
        file.close();
        QSignalSpy finished(window->recorder(), &ScenarioRecorder::playFinished);
        QVERIFY(window->playScenario(path));
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().first().toString(), QString("line 3: cannot be played in the window: tick 3"));
    }

    void recordGifUntilChosenAgainAndFromAScript()
    {
        const auto frames = [](const QString& path) {
            int code = 0;
            GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &code);
            if (!gif) return -1;
            const bool whole = DGifSlurp(gif) == GIF_OK && gif->SWidth == SCREEN_WIDTH && gif->SHeight == SCREEN_HEIGHT;
            const int count = whole ? gif->ImageCount : -1;
            DGifCloseFile(gif, &code);
            return count;
        };
        const QString path = folder.filePath("display.gif");
        QAction* action = window->findChild<QAction*>("RecordGif");
        QVERIFY(window->startGif(path));
        QVERIFY(action->isChecked());
        window->powerToggle()->trigger();
        QTest::qWait(600);
        action->trigger();  // chosen again: stops
        QVERIFY(!action->isChecked() && !window->recordingGif());
        QVERIFY(window->statusBar()->currentMessage().contains(path));
        QVERIFY(frames(path) >= 1);

        const QString script = folder.filePath("gif.scn");
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("gif played.gif\npower on\nwait 0.3\n");
        file.close();
        QSignalSpy finished(window->recorder(), &ScenarioRecorder::playFinished);
        QVERIFY(window->playScenario(script));
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().first().toString(), QString());
        QVERIFY(!window->recordingGif());
        QVERIFY(frames(folder.filePath("played.gif")) >= 1);
    }

    void commandLineOptionsAndRefusals()
    {
        QFile script(folder.filePath("cl.scn"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.close();
        const QString dir = folder.path();
        const QString scn = folder.filePath("cl.scn");
        struct Case {
            QStringList args;
            CommandLineResult result;
            QString message;  // contained in the message
        } cases[] = {
            {{"--help"}, CommandLineResult::Exit, "--sdcard <DIR>"},
            {{"--help"}, CommandLineResult::Exit, "Usage: corvex-ems-sim [options]"},
            {{"--version"}, CommandLineResult::Exit, "corvex-ems-sim "},
            {{"--bogus"}, CommandLineResult::Error, "Unknown option 'bogus'"},
            {{"--zoom"}, CommandLineResult::Error, "Missing value after '--zoom'"},
            {{"--zoom", "4"}, CommandLineResult::Error, "--zoom: want 1, 2, 3 or fit, not 4"},
            {{"--sdcard", dir + "/none"}, CommandLineResult::Error, "--sdcard: no folder"},
            {{"--play", dir + "/none.scn"}, CommandLineResult::Error, "--play: no file"},
            {{"--nmea", dir}, CommandLineResult::Error, "--nmea: no file"},
            {{"--port", "/dev/no-such-port"}, CommandLineResult::Error, "--port: no device /dev/no-such-port"},
            {{"--memory", dir}, CommandLineResult::Error, "--memory: cannot keep a file at"},
            {{"stray"}, CommandLineResult::Error, "unexpected argument: stray"},
            {{"--recording", dir + "/none.csv"}, CommandLineResult::Error, "--recording: cannot read"},
            {{"--recording", dir}, CommandLineResult::Error, "--recording: cannot read"},
            {{"--recording", scn}, CommandLineResult::Error, "--recording: no data line in"},
            {{"--recording", CORVEX_SOURCE_DIR "/tests/data/recording/DATALOG.CSV"}, CommandLineResult::Run, ""},
            {{"--flightgear", "70000"}, CommandLineResult::Error, "--flightgear: want PORT or ADDRESS:PORT, not 70000"},
            {{"--flightgear-map", dir + "/none"}, CommandLineResult::Error, "--flightgear-map: no file"},
            {{"--flightgear", "--on"}, CommandLineResult::Run, ""},
            {{"--on", "--zoom", "fit", "--sdcard", dir, "--play", scn, "--memory", dir + "/m.bin"},
             CommandLineResult::Run, ""},
        };
        for (const Case& c : cases) {
            WindowOptions options;
            QString message;
            const CommandLineResult result = parseWindowCommandLine(QStringList{"corvex-ems-sim"} + c.args, options, message);
            QVERIFY2(result == c.result, qPrintable(c.args.join(' ') + ": " + message));
            QVERIFY2(message.contains(c.message), qPrintable(c.args.join(' ') + ": " + message));
        }
        // --on and a script that switches on (as data/flightgear/c172p.scn does): on it stays.
        QFile on(folder.filePath("on.scn"));
        QVERIFY(on.open(QIODevice::WriteOnly) && on.write("power on\nset rpm1HighAlarm 2700\n") > 0);
        on.close();
        WindowOptions options;
        QString message;
        parseWindowCommandLine({"sim", "--on", "--zoom", "2", "--play", on.fileName()}, options, message);
        QVERIFY(options.powerOn);
        applyWindowOptions(*window, options);
        QCOMPARE(window->zoom(), TfrmMain::Zoom::X2);
        QTRY_VERIFY(!window->recorder()->playing());  // the script has ended
        QTRY_VERIFY_WITH_TIMEOUT(devicePhase == DevicePhase::Running, 8000);  // past the splash
        QVERIFY(deviceIsOn());
        QCOMPARE(settings.rpm1HighAlarm, 2700);
    }

    // The README's FlightGear start: the c172p's script, then a recorded flight's packets over
    // UDP (faster than flown). A clean flight: on, nothing announced, the tanks as last sent.
    void aFlightGearFlightThroughTheWindow()
    {
        quint16 port = 0;
        {
            QUdpSocket probe;  // a port nobody listens on just now
            QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
            port = probe.localPort();
        }
        WindowOptions options;
        QString message;
        QCOMPARE(parseWindowCommandLine({"corvex-ems-sim", "--on", "--play", CORVEX_SOURCE_DIR "/data/flightgear/c172p.scn",
                                         "--flightgear", QString::number(port)},
                                        options, message),
                 CommandLineResult::Run);
        applyWindowOptions(*window, options);
        QTRY_VERIFY(!window->recorder()->playing());
        QTRY_VERIFY_WITH_TIMEOUT(devicePhase == DevicePhase::Running, 8000);  // past the splash
        QFile capture(CORVEX_SOURCE_DIR "/tests/data/flightgear/c172p.csv");
        QVERIFY(capture.open(QIODevice::ReadOnly));
        const QList<QByteArray> packets = capture.readAll().trimmed().split('\n');
        QUdpSocket sender;
        for (const QByteArray& packet : packets) {
            QCOMPARE(sender.writeDatagram(packet + '\n', QHostAddress::LocalHost, port), packet.size() + 1);
            QTest::qWait(5);
        }
        const QList<QByteArray> last = packets.last().split(',');
        for (int tank = 0; tank < 2; ++tank)
            QTRY_VERIFY2_WITH_TIMEOUT(std::abs(fuelLevel[tank] / 10.0 - last[15 + tank].toDouble()) <= 0.1 + 1e-9,
                                      qPrintable(QString("tank %1: %2").arg(tank + 1).arg(fuelLevel[tank] / 10.0)), 8000);
        QTest::qWait(2000);  // the alarms' delays run out
        QVERIFY(deviceIsOn());
        QCOMPARE(alarmAnnounced, 0u);
        QVERIFY(!deviceAlarmLampLit());
    }

    // The pilot's settings and the NMEA bytes that arrived go into the script: the runner ends on
    // the same screen, and without the bytes it does not. Last, after other tests ran the
    // instrument: the values it works out as it runs start afresh with the recording.
    void recordingKeepsTheSettingsAndTheNmeaItSaw()
    {
        window->powerToggle()->trigger();
        for (int i = 0; i < 5; ++i) hostTick();  // the instrument's one-second step half way round
        settings.utcOffsetMinutes = 90;
        settings.voltsHighAlarm = 131;
        const QString path = folder.filePath("gps.scn");
        QVERIFY(window->recorder()->startRecording(path));
        QVERIFY(window->gps()->playFile(CORVEX_SOURCE_DIR "/tests/data/nmea/skytraq-fix.log", 100));
        for (const uint8_t key : {KeySoft1, KeySoft1, KeySoft5}) {  // past the two notices to the GPS page
            QTest::qWait(300);
            emit window->front()->keyClicked(key);
        }
        QTest::qWait(1500);
        QVERIFY(window->recorder()->stopRecording());
        QCOMPARE(settings.utcOffsetMinutes, int16_t{90});
        const std::vector<uint8_t> shown = screenNow();
        const QString script = readAll(path);
        QVERIFY2(script.contains("\npower on\nset ") && script.contains("\nset utcOffsetMinutes 90\n") &&
                     script.contains("\nset voltsHighAlarm 131\n"), qPrintable(script));
        QVERIFY(script.contains("\nnmea gps.nmea/0001.nmea\n"));
        std::string error;
        QVERIFY2(runInRunner(script, error, folder.path()), error.c_str());
        QVERIFY(screenNow() == shown);
        QString withoutNmea = script;
        withoutNmea.remove(QRegularExpression("\nnmea [^\n]*"));
        QVERIFY(!runInRunner(withoutNmea, error, folder.path()));
    }

private:
    QTemporaryDir folder;
    TfrmMain* window = nullptr;
};

QTEST_MAIN(ScenarioTest)
#include "test_scenarios.moc"

// The recorder writes "wait" lines in whole milliseconds of lockstep time, so the runner, which
// runs one pass a millisecond and a tick every hundred, replays exactly the passes the window ran.
#include "host/scenario_recorder.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QShortcut>
#include <cmath>
#include <sstream>

#include "device.h"
#include "device_inputs.h"
#include "host/inputs_tab.h"
#include "host/main_window.h"
#include "host/pass_driver.h"
#include "runner/scenario.h"
#include "runner/variables.h"

namespace {

ScenarioRecorder* theRecorder = nullptr;

constexpr uint32_t kDefaultClock = 1767225600;  // the runner's: 2026-01-01T00:00:00Z
constexpr const char* kKeyNames[] = {"", "soft1", "soft2", "soft3", "soft4", "soft5", "press", "plus", "minus"};

QString clockText(uint32_t utc)
{
    return QDateTime::fromSecsSinceEpoch(utc, Qt::UTC).toString("yyyy-MM-ddTHH:mm:ssZ");
}

QString waitText(uint64_t ms) { return QString("wait %1.%2").arg(ms / 1000).arg(ms % 1000, 3, 10, QChar('0')); }

}  // namespace

ScenarioRecorder* scenarioRecorder() { return theRecorder; }

QString scenarioKeyName(uint8_t keyCode) { return keyCode >= 1 && keyCode <= 8 ? kKeyNames[keyCode] : QString(); }

ScenarioRecorder::ScenarioRecorder(TfrmMain* window) : QObject(window), window(window)
{
    theRecorder = this;
    escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::ApplicationShortcut);
    escape->setEnabled(false);
    connect(escape, &QShortcut::activated, this, [this] { stopPlaying(); });
    window->installEventFilter(this);
}

// Closing the window ends a recording as File > Record Scenario would, so nothing is lost.
bool ScenarioRecorder::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window && event->type() == QEvent::Close && recordingNow) stopRecording();
    return false;
}

ScenarioRecorder::~ScenarioRecorder()
{
    if (theRecorder == this) theRecorder = nullptr;
}

bool ScenarioRecorder::startRecording(const QString& path)
{
    if (playingNow || recordingNow) return false;
    if (deviceIsOn()) window->findChild<QAction*>("PowerToggle")->trigger();
    const auto utc = static_cast<uint32_t>(QDateTime::currentSecsSinceEpoch());
    lines = {"# Recorded in the Corvex window; replay with corvex-ems-run or File > Play Scenario.",
             "clock " + clockText(utc)};
    // The runner starts with every control at its starting position.
    for (const InputControlInfo& info : inputControls) {
        const auto* bar = window->findChild<QScrollBar*>(info.name);
        if (bar && bar->value() != info.start) lines << QString("input %1 %2").arg(info.caption).arg(bar->value());
    }
    for (const SwitchControlInfo& info : switchControls) {
        const auto* box = window->findChild<QCheckBox*>(info.name);
        if (box && box->isChecked() != info.start) lines << QString("check %1 %2").arg(info.caption).arg(box->isChecked());
    }
    recordPath = path;
    lastMs = 0;
    recordingNow = true;
    window->passDriver()->startLockstep(utc);
    return true;
}

void ScenarioRecorder::record(const QString& line)
{
    if (!recordingNow) return;
    const uint64_t now = window->passDriver()->lockstepMs();
    if (now > lastMs) lines << waitText(now - lastMs);
    lastMs = now;
    lines << line;
}

bool ScenarioRecorder::stopRecording(QString* error)
{
    if (!recordingNow) return false;
    const uint64_t now = window->passDriver()->lockstepMs();
    if (now > lastMs) lines << waitText(now - lastMs);
    // What the window shows now, so a replay that comes out differently stops on this line.
    if (const DeviceVariable* screen = findDeviceVariable("currentScreen")) {
        std::ostringstream printed;
        printDeviceVariable(*screen, printed);
        lines << "expect " + QString::fromStdString(printed.str()).trimmed().replace('=', ' ');
    }
    lines << "expect screen " + QString::fromStdString(screenHashText());
    recordingNow = false;
    window->passDriver()->stopLockstep();
    QFile file(recordPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(recordedText().toUtf8()) < 0) {
        if (error) *error = QString("cannot write %1: %2").arg(recordPath, file.errorString());
        return false;
    }
    return true;
}

bool ScenarioRecorder::play(const QString& path, QString* error)
{
    if (playingNow || recordingNow) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    script = QString::fromUtf8(file.readAll()).split('\n');
    scriptDir = QFileInfo(path).absolutePath();
    // The runner's start: the instrument off, the controls where the program starts them.
    if (deviceIsOn()) window->findChild<QAction*>("PowerToggle")->trigger();
    for (const InputControlInfo& info : inputControls) window->inputs()->setByCaption(info.caption, info.start, false);
    for (const SwitchControlInfo& info : switchControls) window->inputs()->setByCaption(info.caption, info.start, true);
    // A clock before anything else sets the PC clock from the start.
    uint32_t clock = kDefaultClock;
    nextLine = 0;
    for (; nextLine < script.size(); ++nextLine) {
        const QStringList w = script[nextLine].section('#', 0, 0).split(' ', Qt::SkipEmptyParts);
        if (w.isEmpty()) continue;
        if (w[0] != "clock" || w.size() != 2) break;
        const QDateTime t = QDateTime::fromString(w[1], "yyyy-MM-ddTHH:mm:ssZ");
        if (!t.isValid()) break;  // left for playNext to refuse
        clock = static_cast<uint32_t>(QDateTime(t.date(), t.time(), Qt::UTC).toSecsSinceEpoch());
    }
    playingNow = true;
    escape->setEnabled(true);
    window->passDriver()->startLockstep(clock);
    window->passDriver()->atLockstepMs(0, [this] { playNext(); });
    return true;
}

void ScenarioRecorder::stopPlaying(const QString& message)
{
    if (!playingNow) return;
    playingNow = false;
    escape->setEnabled(false);
    emit playFinished(message);
    window->passDriver()->stopLockstep();
}

// Runs lines up to the next wait, which is left to the pass driver's lockstep time.
void ScenarioRecorder::playNext()
{
    while (playingNow && nextLine < script.size()) {
        const int number = nextLine + 1;
        const QString line = script[nextLine++].section('#', 0, 0);
        const QStringList w = line.split(' ', Qt::SkipEmptyParts);
        if (w.isEmpty()) continue;
        const auto fail = [&](const QString& why) { stopPlaying(QString("line %1: %2").arg(number).arg(why)); };
        const QString& cmd = w[0];
        if (cmd == "wait" && w.size() == 2) {
            bool ok = false;
            const double seconds = w[1].toDouble(&ok);
            if (!ok || !(seconds >= 0) || seconds > 1e6) return fail("bad seconds: " + w[1]);
            PassDriver* driver = window->passDriver();
            driver->atLockstepMs(driver->lockstepMs() + static_cast<uint64_t>(std::llround(seconds * 1000.0)),
                                 [this] { playNext(); });
            return;
        }
        if (cmd == "power" && w.size() == 2 && (w[1] == "on" || w[1] == "off")) {
            if ((w[1] == "on") != deviceIsOn()) window->findChild<QAction*>("PowerToggle")->trigger();
        } else if (cmd == "key" && w.size() == 2) {
            int code = 0;
            for (int k = 1; k <= 8; ++k)
                if (w[1] == kKeyNames[k] || w[1] == QString::number(k)) code = k;
            if (code == 0) return fail("unknown key: " + w[1]);
            devicePressKey(static_cast<uint8_t>(code));
        } else if ((cmd == "input" || cmd == "check") && w.size() >= 3) {
            bool ok = false;
            const int value = w.last().toInt(&ok);
            const QString caption = w.mid(1, w.size() - 2).join(' ');
            if (!ok || !window->inputs()->setByCaption(caption, value, cmd == "check"))
                return fail("cannot set " + caption + " to " + w.last());
        } else if (cmd == "screenshot" && w.size() == 2) {
            const QString target = QFileInfo(w[1]).isAbsolute() ? w[1] : scriptDir + '/' + w[1];
            if (!TfrmMain::saveScreenshot(target)) return fail("cannot write " + target);
        } else if (cmd == "print" || cmd == "expect") {
            // Checks of the runner; the window shows the screen instead.
        } else {
            return fail("cannot be played in the window: " + line.trimmed());
        }
    }
    if (playingNow) stopPlaying(QString());
}

// The recorder writes "wait" lines in whole milliseconds of lockstep time, so the runner, which
// runs one pass a millisecond and a tick every hundred, replays exactly the passes the window ran.
#include "host/scenario_recorder.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QShortcut>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>

#include "device.h"
#include "device_inputs.h"
#include "host/gps_link.h"
#include "host/gps_tab.h"
#include "host/input_bar.h"
#include "host/inputs_tab.h"
#include "host/main_window.h"
#include "host/pass_driver.h"
#include "scenario/scenario.h"
#include "scenario/scenario_commands.h"
#include "scenario/variables.h"
#include "settings/settings.h"
#include "storage/storage.h"
#include "ui/screen.h"

namespace {

ScenarioRecorder* theRecorder = nullptr;

constexpr uint32_t kDefaultClock = 1767225600;  // the runner's: 2026-01-01T00:00:00Z

QString waitText(uint64_t ms) { return QString("wait %1.%2").arg(ms / 1000).arg(ms % 1000, 3, 10, QChar('0')); }

// The bytes as the whole new content of the file; false with the reason.
bool writeWhole(const QString& path, const QByteArray& bytes, QString* error)
{
    if (replaceFile(QFile::encodeName(path).constData(), nullptr, bytes.constData(), static_cast<size_t>(bytes.size())))
        return true;
    if (error) *error = QString("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

}  // namespace

ScenarioRecorder* scenarioRecorder() { return theRecorder; }

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
    const bool wasOn = deviceIsOn();
    keptSettings = wasOn ? settingsSetLines() : std::vector<std::string>{};
    if (wasOn) window->powerToggle()->trigger();
    else resetWorkingValues();
    const auto utc = static_cast<uint32_t>(QDateTime::currentSecsSinceEpoch());
    lines = {"# Recorded in the Corvex window; replay with corvex-ems-run or File > Play Scenario.",
             "clock " + QString::fromStdString(scenarioClockText(utc))};
    for (const std::string& line : keptStateSetLines()) lines << QString::fromStdString(line);
    // The runner starts with every control at its starting position.
    for (const InputControlInfo& info : inputControls) {
        const auto* bar = window->inputs()->scrollBar(info.id);
        if (bar->value() != info.start) lines << QString("input %1 %2").arg(info.caption).arg(bar->value());
    }
    for (const SwitchControlInfo& info : switchControls) {
        const auto* box = window->inputs()->checkBox(info.id);
        if (box->isChecked() != info.start) lines << QString("check %1 %2").arg(info.caption).arg(box->isChecked());
    }
    recordPath = path;
    lastMs = 0;
    recordingNow = true;
    nmeaBatches.clear();
    GpsLink* link = window->gps()->link();
    link->setHeld(true);
    connect(link, &GpsLink::bytesFed, this, &ScenarioRecorder::recordNmea);
    window->passDriver()->startLockstep(utc);
    // The first pass ends the running instrument's last one; then it starts again.
    if (wasOn) window->passDriver()->atLockstepMs(1, [this] { restartKeepingSettings(); });
    return true;
}

void ScenarioRecorder::restartKeepingSettings()
{
    PassDriver* driver = window->passDriver();
    if (!recordingNow) return;
    if (deviceIsOn()) {
        // A power-on notice does not end at the request; a key ends it (and a power-on drops
        // a key left waiting, so the replay's instrument, off all along, ends up the same).
        devicePressKey(KeySoft1);
        driver->atLockstepMs(driver->lockstepMs() + 1, [this] { restartKeepingSettings(); });
        return;
    }
    resetWorkingValues();
    window->powerToggle()->trigger();
}

void ScenarioRecorder::poweredOn()
{
    if (!recordingNow) return;
    if (!keptSettings.empty()) {
        // As the runner will: the factory record, then the lines.
        loadDefaultSettings();
        for (const std::string& line : keptSettings) {
            ParsedCommand c;
            std::string why;
            if (parseScenarioLine(line, c, why)) setScenarioVariable(c.name, c.value, why);
        }
        keptSettings.clear();
    }
    for (const std::string& line : settingsSetLines()) record(QString::fromStdString(line));
}

void ScenarioRecorder::recordNmea(const QByteArray& bytes)
{
    if (!recordingNow) return;
    // Bytes fed at the same moment as the last batch join it: the runner feeds a file at once.
    const uint64_t now = window->passDriver()->lockstepMs();
    if (!nmeaBatches.isEmpty() && nmeaBatchMs == now && lines.last().startsWith("nmea ")) {
        nmeaBatches.last() += bytes;
        return;
    }
    nmeaBatches << bytes;
    nmeaBatchMs = now;
    record(QString("nmea %1/%2.nmea").arg(QFileInfo(recordPath).completeBaseName() + ".nmea")
               .arg(nmeaBatches.size(), 4, 10, QChar('0')));
}

bool ScenarioRecorder::writeNmeaFiles(QString* error) const
{
    if (nmeaBatches.isEmpty()) return true;
    const QFileInfo script(recordPath);
    QDir folder(script.absolutePath() + '/' + script.completeBaseName() + ".nmea");
    // A recording made before under the same name leaves no batches of its own behind.
    if (folder.exists())
        for (const QString& old : folder.entryList({"*.nmea"}, QDir::Files)) folder.remove(old);
    if (!folder.mkpath(".")) {
        if (error) *error = "cannot make the folder " + folder.path();
        return false;
    }
    for (qsizetype i = 0; i < nmeaBatches.size(); ++i) {
        const QString file = folder.filePath(QString("%1.nmea").arg(i + 1, 4, 10, QChar('0')));
        if (!writeWhole(file, nmeaBatches[i], error)) return false;
    }
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
    GpsLink* link = window->gps()->link();
    link->feedHeld();  // what arrived since the last pass is part of the recording
    link->setHeld(false);
    disconnect(link, &GpsLink::bytesFed, this, &ScenarioRecorder::recordNmea);
    keptSettings.clear();
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
    return writeWhole(recordPath, recordedText().toUtf8(), error) && writeNmeaFiles(error);
}

bool ScenarioRecorder::play(const QString& path, QString* error)
{
    if (playingNow || recordingNow) return false;
    std::string text;
    if (!readPlainFile(QFile::encodeName(path).constData(), text)) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    script = QString::fromStdString(text).split('\n');
    scriptDir = QFileInfo(path).absolutePath();
    // The runner's start: the instrument off (not merely asked to stop, so that the script's
    // "power on" finds it off), the controls where the program starts them.
    if (deviceIsOn()) {
        window->powerToggle()->trigger();
        window->passDriver()->finishPowerOff();
    }
    for (const InputControlInfo& info : inputControls) window->inputs()->setByCaption(info.caption, info.start, false);
    for (const SwitchControlInfo& info : switchControls) window->inputs()->setByCaption(info.caption, info.start, true);
    // A clock before anything else sets the PC clock from the start.
    uint32_t clock = kDefaultClock;
    for (nextLine = 0; nextLine < script.size(); ++nextLine) {
        ParsedCommand command;
        std::string why;
        if (parseScenarioLine(script[nextLine].toStdString(), command, why)) {
            if (command.id != CommandId::Clock) break;
            clock = command.clock;
        } else if (!why.empty()) {
            break;  // left for playNext to refuse
        }
    }
    playingNow = true;
    window->gps()->link()->setHeld(true);  // the receiver is fed between passes, as recorded
    escape->setEnabled(true);
    window->passDriver()->startLockstep(clock);
    window->passDriver()->atLockstepMs(0, [this] { playNext(); });
    return true;
}

void ScenarioRecorder::stopPlaying(QString message)
{
    if (!playingNow) return;
    playingNow = false;
    // A GIF the script started ends with it, as in the runner.
    QString error;
    if (gifFromScript && window->recordingGif() && !window->stopGif(&error) && message.isEmpty()) message = error;
    gifFromScript = false;
    window->gps()->link()->feedHeld();
    window->gps()->link()->setHeld(false);
    escape->setEnabled(false);
    emit playFinished(message);
    window->passDriver()->stopLockstep();
}

// Runs lines up to the next wait, which is left to the pass driver's lockstep time.
void ScenarioRecorder::playNext()
{
    while (playingNow && nextLine < script.size()) {
        const int number = nextLine + 1;
        const std::string line = script[nextLine++].toStdString();
        const auto fail = [&](const std::string& why) {
            stopPlaying(QString("line %1: %2").arg(number).arg(QString::fromStdString(why)));
        };
        ParsedCommand c;
        std::string why;
        if (!parseScenarioLine(line, c, why)) {
            if (why.empty()) continue;
            return fail(why);
        }
        switch (c.id) {
        case CommandId::Wait: {
            PassDriver* driver = window->passDriver();
            driver->atLockstepMs(driver->lockstepMs() + c.ms, [this] { playNext(); });
            return;
        }
        case CommandId::Power:
            if (c.on != deviceIsOn()) window->powerToggle()->trigger();
            break;
        case CommandId::Key: devicePressKey(c.key); break;
        case CommandId::Input:
        case CommandId::Check:
            if (!window->inputs()->setByCaption(QString::fromStdString(c.name),
                                                c.id == CommandId::Input ? c.position : c.on, c.id == CommandId::Check))
                return fail("cannot set " + c.name + " to " + c.words.back());
            break;
        case CommandId::Screenshot: {
            const std::filesystem::path target = scenarioPath(c.path, scriptDir.toStdString());
            if (!TfrmMain::saveScreenshot(QString::fromStdString(target.string())))
                return fail("cannot write " + target.string());
            break;
        }
        case CommandId::Set:
            if (!setScenarioVariable(c.name, c.value, why)) return fail(why);
            break;
        case CommandId::Nmea: {
            if (c.count != 0) return fail("cannot be played in the window: " + scenarioLineWithoutComment(line));
            const std::filesystem::path source = scenarioPath(c.path, scriptDir.toStdString());
            std::string bytes;
            if (!readPlainFile(source.c_str(), bytes)) return fail("cannot read " + source.string());
            window->gps()->link()->feedBytes(bytes);
            break;
        }
        case CommandId::Gif: {
            QString error;
            const std::filesystem::path target = scenarioPath(c.path, scriptDir.toStdString());
            if (c.on ? !window->startGif(QString::fromStdString(target.string()), static_cast<unsigned>(c.count), &error)
                     : !window->stopGif(&error))
                return fail(error.toStdString());
            gifFromScript = c.on;
            break;
        }
        case CommandId::Print:
        case CommandId::Expect:
            break;  // checks of the runner; the window shows the screen instead
        default:
            return fail("cannot be played in the window: " + scenarioLineWithoutComment(line));
        }
    }
    if (playingNow) stopPlaying(QString());
}

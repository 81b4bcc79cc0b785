// File > Record Scenario and File > Play Scenario: what a person does in the window written as a
// corvex-ems-run script with the passes between, and such a script played back in the window.
#pragma once
#include <QObject>
#include <QString>
#include <QByteArray>
#include <QList>
#include <QStringList>
#include <string>
#include <vector>

class TfrmMain;
class QShortcut;

class ScenarioRecorder : public QObject {
    Q_OBJECT
public:
    explicit ScenarioRecorder(TfrmMain* window);
    ~ScenarioRecorder() override;

    // Starts from the instrument off and the controls as they stand; from here on time goes by in
    // lockstep passes. A running instrument is switched off and on again with its settings kept
    // ("set" lines after the "power on"). The memory values and the current sensor's zero, which
    // a power cycle keeps, and the screen are written as "set" lines first. NMEA bytes from the
    // GPS tab are fed between passes while recording, each batch kept in a side file
    // (NAME.nmea/NNNN.nmea next to the script) named by an "nmea" line at its time.
    // False while playing.
    bool startRecording(const QString& path);
    // Writes the script, ending with the wait up to now. False when the file cannot be written.
    bool stopRecording(QString* error = nullptr);
    bool recording() const { return recordingNow; }
    QString recordedText() const { return lines.join('\n') + '\n'; }

    // Plays a script at real pace from the runner's start (instrument off, bars at their starting
    // positions). False with "line N: ..." when a line cannot be played; Esc stops a playback.
    bool play(const QString& path, QString* error = nullptr);
    void stopPlaying(QString message = "stopped");
    bool playing() const { return playingNow; }

    // One action of the person, as a script line (nothing unless recording).
    void record(const QString& line);
    // After the window's power-on (and its recall of the card's settings): the settings that
    // differ from the factory record as "set" lines, the kept ones put back first on a restart.
    void poweredOn();

signals:
    // A playback ended: "" when the script ran to its end, else why it stopped.
    void playFinished(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void playNext();
    void restartKeepingSettings();
    void recordNmea(const QByteArray& bytes);
    bool writeNmeaFiles(QString* error) const;

    TfrmMain* window;
    QShortcut* escape = nullptr;
    bool recordingNow = false;
    bool playingNow = false;
    QString recordPath;
    QStringList lines;
    uint64_t lastMs = 0;
    std::vector<std::string> keptSettings;  // put back at the recording's own power-on
    QList<QByteArray> nmeaBatches;
    uint64_t nmeaBatchMs = 0;
    QStringList script;
    int nextLine = 0;
    QString scriptDir;
    bool gifFromScript = false;  // a "gif" line of the playing script is recording
};

// The window's recorder (nullptr before the window exists); the hooks call record() on it.
ScenarioRecorder* scenarioRecorder();

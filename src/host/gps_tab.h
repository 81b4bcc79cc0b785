// The "GPS (NMEA Protocol)" tab: port and speed boxes (or a network source and its address),
// "&Connect" and "&Disconnect", the communications window of accepted sentences, and playback of
// a recorded NMEA log.
#pragma once
#include <QTimer>
#include <QWidget>

#include "host/nmea_counters.h"
#include "host/serial_choice.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSettings;
class GpsLink;

class GpsTab : public QWidget {
    Q_OBJECT
signals:
    // A choice the window remembers changed: a box's text, the last file played.
    void settingsChanged();

public:
    explicit GpsTab(QWidget* parent = nullptr);
    ~GpsTab() override;

    // What "&Connect" would open for the boxes' present texts.
    QString chosenDevice() const;
    int chosenBaudRate() const;
    GpsSource chosenSource() const;
    // What a network source is and does to its bytes (the port box's tooltip for it).
    static QString sourceDescription(GpsSource source);
    // Plays a recorded log through the receiver, as "Play NMEA file..." does after its dialog.
    // epochMs is the time of one fix epoch (1000 at the recording's pace). False, with a message
    // box, when the file cannot be read or holds no sentence.
    bool playFile(const QString& path, int epochMs = 1000);
    // Connects to a serial port as "&Connect" does with `device` in the port box.
    void connectPort(const QString& device);
    // The window closes: the port is closed and the reader thread ends.
    void shutdown();

    GpsLink* link() const { return gpsLink; }
    QPlainTextEdit* memo() const { return Memo1; }
    QLabel* statusLabel() const { return LinkStatus; }
    QString status() const { return statusText; }  // the whole text, however it is elided
    QLabel* countersLabel() const { return Counters; }
    // The port and speed texts, the network sources' addresses and the last NMEA file played,
    // kept between runs.
    void restoreSettings(const QSettings& stored);
    void storeSettings(QSettings& stored) const;
    QString lastPlayedFile() const { return lastNmeaFile; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Button5Click();   // "&Connect"
    void Button12Click();  // "&Disconnect"
    void PlayButtonClick();
    void appendSentences(const QStringList& sentences);
    void linkEnded(const QString& reason);
    void showFailure(const QString& text);
    void setStatus(const QString& text);
    void showCounters();
    void sourceChosen();
    void connectNetwork(GpsSource source);
    void gpsdEstablished();
    QString secondBoxText(GpsSource source) const;

    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QLabel* SecondLabel = nullptr;  // "Baud Rate:", or the network source's address
    // The second box's text for each source (the shown source's is the box itself).
    QString secondTexts[3];
    GpsSource shownSource = GpsSource::Serial;
    GpsSource linkSource = GpsSource::Serial;  // of the link last opened
    QString gpsdName;
    QPushButton* Button5 = nullptr;
    QPushButton* Button12 = nullptr;
    QPushButton* PlayButton = nullptr;
    QLabel* LinkStatus = nullptr;
    QLabel* Counters = nullptr;
    QString statusText;
    QString lastNmeaFile;
    NmeaCounters shownCounters;
    QTimer countersTimer;
    QPlainTextEdit* Memo1 = nullptr;
    GpsLink* gpsLink = nullptr;
};

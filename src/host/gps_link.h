// The GPS link's reader thread: the serial port, a network source (NMEA datagrams such as a flight
// simulator's, or gpsd over TCP) or a recorded log played at its pace feeds the NMEA receiver
// there; the window thread gives it commands and receives the accepted sentences.
#pragma once
#include <QObject>
#include <QStringList>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "host/nmea_counters.h"
#include "links/nmea_log.h"

class QSocketNotifier;
class QThread;
class GpsReader;

// Everything that passes between the two threads goes through one mutex; the window thread and
// the reader thread only wake each other through a wake-up counter each.
class GpsLink : public QObject {
    Q_OBJECT
public:
    // Connected: a port open, a UDP port bound, or gpsd connected or being connected to.
    enum class State { Disconnected, Connected, Playing };
    struct OpenResult {
        bool opened = false;
        QString error;  // the system's reason when not opened
    };

    explicit GpsLink(QObject* parent = nullptr);
    ~GpsLink() override;

    // Each command returns once the reader thread has carried it out; the thread starts on the
    // first command. Opening ends a playback first; playing closes the port first.
    OpenResult openPort(const QString& device, int baudRate);
    // The network sources. Their bytes go through the same receiver and counters as the port's,
    // with bare LF line ends given their CR first (and gpsd's own reports left out).
    // Binds a UDP port on the loopback address for NMEA datagrams.
    OpenResult listenUdp(int udpPort);
    // Starts connecting to gpsd and, once connected, asks it for its receiver's raw NMEA.
    // linkEstablished follows when the connection stands, linkEnded when it fails.
    OpenResult connectGpsd(const QString& host, int tcpPort);
    void close();
    // epochMs: the time one fix epoch takes (1000 at the recording's pace).
    void play(std::vector<NmeaEpoch> epochs, int epochMs);
    // Closes the link and ends the reader thread (quit and wait). A later command starts it again.
    void shutdown();

    State state() const;
    int portOpens() const;  // ports opened since the link was made
    bool readerRunning() const;
    // Held (while a scenario is recorded), the bytes the port or a played log delivers wait for
    // the window thread, which feeds them to the receiver between passes as it is woken, and
    // bytesFed tells what it fed when. Released, the reader thread feeds them again, those still
    // waiting first.
    void setHeld(bool hold);
    // Window thread: feeds the bytes waiting now.
    void feedHeld();
    // Window thread, while held: feeds bytes of its own (a played scenario's) after those waiting.
    void feedBytes(const std::string& bytes);
    // Bytes and sentences fed to the receiver since the counters were last reset.
    NmeaCounters counters() const;
    void resetCounters();

signals:
    void sentencesAccepted(const QStringList& sentences);
    // The link ended by itself: the port failed or its device went away, or the log ran out.
    void linkEnded(const QString& reason);
    // The connection to gpsd stands (connectGpsd has only begun it).
    void linkEstablished();
    // The window thread has just fed these held bytes to the receiver.
    void bytesFed(const QByteArray& bytes);

private:
    friend class GpsReader;
    struct Command {
        enum Kind { Open, ListenUdp, ConnectGpsd, Close, Play, Shutdown } kind = Close;
        std::string device;  // the port, or gpsd's host
        int baudRate = 0;    // or the UDP or TCP port
        std::vector<NmeaEpoch> epochs;
        int epochMs = 1000;
    };
    void execute(Command command);
    OpenResult open(Command command);  // runs an opening command, returns how it went
    // Window thread: hands on the accepted sentences and the news of a link that ended.
    void deliver();

    // Reader thread side (called by GpsReader).
    void runCommands();
    void publishSentences(std::vector<std::string>&& sentences, const NmeaCounters& counted);
    void setState(State newState);
    void reportEnded(uint64_t endedSession, const std::string& reason);
    void reportEstablished(uint64_t establishedSession);
    void wakeWindow();

    QThread* thread = nullptr;
    GpsReader* reader = nullptr;
    int readerWakeFd = -1;  // the window thread wakes the reader: a command waits
    int windowWakeFd = -1;  // the reader wakes the window thread: sentences or an ended link wait
    QSocketNotifier* windowNotifier = nullptr;

    mutable std::mutex mutex;
    std::condition_variable commandDone;
    std::deque<Command> commands;
    uint64_t commandsIssued = 0;
    uint64_t commandsDone = 0;
    OpenResult lastOpen;
    State linkState = State::Disconnected;
    int opens = 0;
    uint64_t session = 0;  // counts the openings and playbacks, so a late end notice is ignored
    std::vector<std::string> accepted;
    NmeaCounters totals;
    bool held = false;
    std::string heldBytes;     // waiting for the window thread
    bool heldRestart = false;  // a new stream began: the framing starts over before heldBytes
    bool windowWakePosted = false;  // windowWakeFd is set and not yet seen
    bool ended = false;
    uint64_t endedSession = 0;
    std::string endedReason;
    bool established = false;
    uint64_t establishedSession = 0;
};

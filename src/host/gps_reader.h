// The GPS link's reader thread side: one small source per input (serial port, UDP datagrams,
// gpsd, a played log) behind one interface, all feeding the reader's one receiver path. Everything
// here lives on the reader thread and is touched there only; opening a source closes the others.
#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/gps_link.h"
#include "links/nmea_log.h"
#include "links/nmea_net.h"

class QTcpSocket;
class QTimer;
class QUdpSocket;
class GpsReader;

class GpsSource {
public:
    explicit GpsSource(GpsReader& owner) : reader(owner) {}
    virtual ~GpsSource() = default;
    // Stops the input quietly: nothing arrives from it afterwards, and the link's state is the
    // caller's business.
    virtual void close() = 0;
    // Closes it and frees what it made (the reader thread's shutdown).
    virtual void release() { close(); }

protected:
    GpsReader& reader;
};

class SerialSource : public GpsSource {
public:
    using GpsSource::GpsSource;
    GpsLink::OpenResult open(const std::string& device, int baudRate);
    void close() override;
    void release() override;

private:
    void readAvailable();
    void portError(QSerialPort::SerialPortError error);
    void dropLost(uint64_t lostSession, const std::string& reason);

    QSerialPort* port = nullptr;
    uint64_t session = 0;
    bool lossPending = false;
};

// NMEA datagrams on a loopback UDP port (a flight simulator's).
class UdpSource : public GpsSource {
public:
    using GpsSource::GpsSource;
    GpsLink::OpenResult open(int udpPort);
    void close() override;
    void release() override;

private:
    void readDatagrams();

    QUdpSocket* udp = nullptr;
};

// gpsd over TCP, asked for its receiver's raw NMEA; its own reports are left out.
class GpsdSource : public GpsSource {
public:
    using GpsSource::GpsSource;
    GpsLink::OpenResult open(const std::string& host, int tcpPort);
    void close() override;

private:
    void readAvailable();
    void socketError();
    void dropLost(uint64_t lostSession, const std::string& reason);

    QTcpSocket* gpsd = nullptr;
    std::string name;  // "host:port"
    uint64_t session = 0;
    GpsdReportFilter reports;
    std::string filtered;  // reused for each read, so reading allocates nothing once warm
};

// A recorded log played at its pace.
class FileSource : public GpsSource {
public:
    using GpsSource::GpsSource;
    void play(std::vector<NmeaEpoch>&& log, int epochMs);
    void close() override;
    void release() override;

private:
    void playDue();
    qint64 dueTime(size_t epoch, size_t sentence) const;

    QTimer* timer = nullptr;
    QElapsedTimer clock;
    std::vector<NmeaEpoch> epochs;
    int epochMs = 1000;
    size_t epochIndex = 0;
    size_t sentenceIndex = 0;
    uint64_t session = 0;
};

class GpsReader : public QObject {
public:
    explicit GpsReader(GpsLink& owner) : link(owner), serial(*this), udp(*this), gpsd(*this), file(*this) {}

    // Reader thread: a command is waiting.
    void commandsWaiting();
    // The Close command, and the thread's end.
    void closeLink();
    void shutdown();
    // Closes every source quietly (before another opens).
    void closeSources();

    // The receiver path, for the sources. A new stream: the receiver's framing starts over (a
    // sentence cut off when the last link ended must not swallow the first one of this one), the
    // link takes the state, and the link's new session is returned.
    uint64_t startStream(GpsLink::State state);
    // An opening refused.
    GpsLink::OpenResult refuse(const QString& reason);
    // Bytes for the receiver; a network source's go through feedRepaired, which gives bare LF
    // line ends their CR first.
    void feed(const char* bytes, size_t count);
    void feedRepaired(std::string_view bytes);
    // Hands what was accepted since the last call, and the counts, to the window thread.
    void publish();
    // The link ended by itself, or gpsd's connection stands (for the session the source opened).
    void reportEnded(uint64_t session, const std::string& reason) { link.reportEnded(session, reason); }
    void reportEstablished(uint64_t session) { link.reportEstablished(session); }

    GpsLink& link;
    NmeaCounters counted;  // since the last publication
    static constexpr qint64 kChunkBytes = 10000;  // taken per read; more is read in further chunks
    char buffer[kChunkBytes];

    SerialSource serial;
    UdpSource udp;
    GpsdSource gpsd;
    FileSource file;

private:
    std::vector<std::string> sentences;  // accepted since the last publication
    LineEndRepair lineEnds;
    std::string repaired;
};

// The reader thread of the GPS link: the serial port and the network sockets are created, opened,
// read and closed there, and a played log is fed from there too, so the NMEA receiver always runs
// on this one thread.
#include "host/gps_link.h"

#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <cerrno>
#include <sys/eventfd.h>
#include <unistd.h>

#include "gps/nmea.h"
#include "links/nmea_net.h"

namespace {

// Bytes taken from the port per read; more is read in further chunks.
constexpr qint64 kChunkBytes = 10000;
// Sentences kept for the window thread while it is busy; the communications window shows no more.
constexpr size_t kMaxWaitingSentences = 2000;

// A wake-up counter that a socket notifier of the woken thread watches. Nothing travels through
// it (and no event object passes between the threads); what the wake-up is about waits under the
// link's mutex.
int makeWakeFd() { return eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }

void wake(int fd)
{
    const uint64_t one = 1;
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void clearWake(int fd)
{
    uint64_t count = 0;
    while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

}  // namespace

// Lives on the reader thread; all its members are touched there only.
class GpsReader : public QObject {
public:
    explicit GpsReader(GpsLink& owner) : link(owner) {}

    GpsLink::OpenResult openPort(const std::string& device, int baudRate);
    GpsLink::OpenResult listenUdp(int udpPort);
    GpsLink::OpenResult connectGpsd(const std::string& host, int tcpPort);
    void closePort();
    void startPlayback(std::vector<NmeaEpoch>&& log, int epochMs);
    void stopPlayback();
    void shutdown();

    // Reader thread: a command is waiting.
    void commandsWaiting()
    {
        clearWake(link.readerWakeFd);
        link.runCommands();
    }

private:
    void readAvailable();
    void portError(QSerialPort::SerialPortError error);
    void dropLostPort(uint64_t lostSession, const std::string& reason);
    void playDue();
    qint64 dueTime(size_t epoch, size_t sentence) const;
    void feed(const char* bytes, size_t count, std::vector<std::string>& sentences);
    NmeaCounters counted;  // since the last publication
    void startNewStream();
    void closeNetwork();
    void readDatagrams();
    void readGpsd();
    void gpsdError();
    void dropLostGpsd(uint64_t lostSession, const std::string& reason);
    // Feeds a network source's bytes (gpsd's without its reports) with their line ends repaired.
    void feedRepaired(std::string_view bytes, std::vector<std::string>& sentences);

    GpsLink& link;
    QSerialPort* port = nullptr;
    uint64_t portSession = 0;
    bool lossPending = false;
    QTimer* playTimer = nullptr;
    QElapsedTimer playClock;
    std::vector<NmeaEpoch> epochs;
    int playEpochMs = 1000;
    size_t epochIndex = 0;
    size_t sentenceIndex = 0;
    uint64_t playSession = 0;
    QUdpSocket* udp = nullptr;
    QTcpSocket* gpsd = nullptr;
    std::string gpsdName;  // "host:port"
    uint64_t netSession = 0;
    LineEndRepair lineEnds;
    GpsdReportFilter gpsdReports;
    std::string filtered;  // reused for each read, so reading allocates nothing once warm
    std::string repaired;
    char buffer[kChunkBytes];
};

// The reader thread's event loop, watching for commands while it runs.
class GpsReaderThread : public QThread {
public:
    GpsReaderThread(GpsReader& worker, int wakeFd, QObject* parent)
        : QThread(parent), reader(worker), fd(wakeFd)
    {
        setObjectName("GPS reader");
    }

protected:
    void run() override
    {
        QSocketNotifier commands(fd, QSocketNotifier::Read);
        QObject::connect(&commands, &QSocketNotifier::activated, &reader, &GpsReader::commandsWaiting);
        exec();
    }

private:
    GpsReader& reader;
    int fd;
};

// ---- window thread ----

GpsLink::GpsLink(QObject* parent) : QObject(parent)
{
    readerWakeFd = makeWakeFd();
    windowWakeFd = makeWakeFd();
    reader = new GpsReader(*this);
    thread = new GpsReaderThread(*reader, readerWakeFd, this);
    reader->moveToThread(thread);
    windowNotifier = new QSocketNotifier(windowWakeFd, QSocketNotifier::Read, this);
    connect(windowNotifier, &QSocketNotifier::activated, this, [this] {
        clearWake(windowWakeFd);
        {
            std::lock_guard lock(mutex);
            windowWakePosted = false;  // what the reader adds from now on wakes this thread again
        }
        deliver();
    });
}

GpsLink::~GpsLink()
{
    shutdown();
    delete reader;
    delete windowNotifier;  // before its descriptor goes
    ::close(readerWakeFd);
    ::close(windowWakeFd);
}

void GpsLink::execute(Command command)
{
    if (!thread->isRunning()) thread->start();
    std::unique_lock lock(mutex);
    const uint64_t ticket = ++commandsIssued;
    commands.push_back(std::move(command));
    lock.unlock();
    wake(readerWakeFd);
    lock.lock();
    commandDone.wait(lock, [&] { return commandsDone >= ticket; });
    lock.unlock();
    // What the reader accepted before the command is shown before the command's outcome.
    deliver();
}

GpsLink::OpenResult GpsLink::openPort(const QString& device, int baudRate)
{
    Command command;
    command.kind = Command::Open;
    command.device = device.toStdString();
    command.baudRate = baudRate;
    return open(std::move(command));
}

GpsLink::OpenResult GpsLink::listenUdp(int udpPort)
{
    Command command;
    command.kind = Command::ListenUdp;
    command.baudRate = udpPort;
    return open(std::move(command));
}

GpsLink::OpenResult GpsLink::connectGpsd(const QString& host, int tcpPort)
{
    Command command;
    command.kind = Command::ConnectGpsd;
    command.device = host.toStdString();
    command.baudRate = tcpPort;
    return open(std::move(command));
}

GpsLink::OpenResult GpsLink::open(Command command)
{
    execute(std::move(command));
    std::lock_guard lock(mutex);
    return lastOpen;
}

void GpsLink::close()
{
    if (!thread->isRunning()) return;  // a stopped reader holds no port and plays nothing
    execute(Command{});
}

void GpsLink::play(std::vector<NmeaEpoch> log, int epochMs)
{
    Command command;
    command.kind = Command::Play;
    command.epochs = std::move(log);
    command.epochMs = epochMs;
    execute(std::move(command));
}

void GpsLink::shutdown()
{
    if (!thread->isRunning()) return;
    Command command;
    command.kind = Command::Shutdown;
    execute(std::move(command));
    thread->quit();
    thread->wait();
}

GpsLink::State GpsLink::state() const
{
    std::lock_guard lock(mutex);
    return linkState;
}

int GpsLink::portOpens() const
{
    std::lock_guard lock(mutex);
    return opens;
}

NmeaCounters GpsLink::counters() const
{
    std::lock_guard lock(mutex);
    return totals;
}

void GpsLink::resetCounters()
{
    std::lock_guard lock(mutex);
    totals = {};
}

bool GpsLink::readerRunning() const { return thread->isRunning(); }

void GpsLink::setHeld(bool hold)
{
    std::lock_guard lock(mutex);
    held = hold;
}

void GpsLink::feedHeld()
{
    std::string bytes;
    bool restart = false;
    {
        std::lock_guard lock(mutex);
        if (!held) return;  // the reader thread owns the receiver again
        bytes.swap(heldBytes);
        std::swap(restart, heldRestart);
    }
    if (restart) nmeaState = 0;
    if (bytes.empty()) return;
    NmeaCounters counted;
    QStringList sentences;
    for (const char byte : bytes)
        if (feedNmeaByte(static_cast<uint8_t>(byte), counted)) sentences << QString::fromLatin1(nmeaAcceptedSentence());
    {
        std::lock_guard lock(mutex);
        totals += counted;
    }
    emit bytesFed(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!sentences.isEmpty()) emit sentencesAccepted(sentences);
}

void GpsLink::feedBytes(const std::string& bytes)
{
    {
        std::lock_guard lock(mutex);
        if (!held) return;
        heldBytes += bytes;
    }
    feedHeld();
}

void GpsLink::deliver()
{
    feedHeld();
    QStringList sentences;
    QString reason;
    bool linkHasEnded = false;
    bool linkEstablishedNow = false;
    {
        std::lock_guard lock(mutex);
        if (established) {
            established = false;
            linkEstablishedNow = establishedSession == session;
        }
        sentences.reserve(static_cast<qsizetype>(accepted.size()));
        for (const std::string& text : accepted) sentences << QString::fromLatin1(text);
        accepted.clear();
        if (ended) {
            ended = false;
            linkHasEnded = endedSession == session;
            reason = QString::fromStdString(endedReason);
        }
    }
    if (linkEstablishedNow) emit linkEstablished();
    if (!sentences.isEmpty()) emit sentencesAccepted(sentences);
    if (linkHasEnded) emit linkEnded(reason);
}

// ---- reader thread ----

void GpsLink::runCommands()
{
    for (;;) {
        Command command;
        {
            std::lock_guard lock(mutex);
            if (commands.empty()) return;
            command = std::move(commands.front());
            commands.pop_front();
        }
        OpenResult opened;
        switch (command.kind) {
        case Command::Open: opened = reader->openPort(command.device, command.baudRate); break;
        case Command::ListenUdp: opened = reader->listenUdp(command.baudRate); break;
        case Command::ConnectGpsd: opened = reader->connectGpsd(command.device, command.baudRate); break;
        case Command::Close:
            reader->stopPlayback();
            reader->closePort();
            break;
        case Command::Play: reader->startPlayback(std::move(command.epochs), command.epochMs); break;
        case Command::Shutdown: reader->shutdown(); break;
        }
        // Notified under the lock: once the window thread sees a shutdown done, this thread
        // touches nothing of the link any more, so the link may be destroyed.
        std::lock_guard lock(mutex);
        if (command.kind == Command::Open || command.kind == Command::ListenUdp || command.kind == Command::ConnectGpsd)
            lastOpen = opened;
        ++commandsDone;
        commandDone.notify_all();
        if (command.kind == Command::Shutdown) return;
    }
}

void GpsLink::publishSentences(std::vector<std::string>&& sentences, const NmeaCounters& counted)
{
    {
        std::lock_guard lock(mutex);
        totals += counted;
        if (sentences.empty()) return;
        if (accepted.empty())
            accepted = std::move(sentences);
        else
            accepted.insert(accepted.end(), std::make_move_iterator(sentences.begin()),
                            std::make_move_iterator(sentences.end()));
        if (accepted.size() > kMaxWaitingSentences)
            accepted.erase(accepted.begin(), accepted.end() - static_cast<std::ptrdiff_t>(kMaxWaitingSentences));
    }
    wakeWindow();
}

void GpsLink::setState(State newState)
{
    std::lock_guard lock(mutex);
    linkState = newState;
    ++session;
    if (newState == State::Connected) ++opens;
}

void GpsLink::reportEnded(uint64_t endedIn, const std::string& reason)
{
    {
        std::lock_guard lock(mutex);
        if (endedIn != session) return;  // a newer command has already replaced that link
        linkState = State::Disconnected;
        ended = true;
        endedSession = session;
        endedReason = reason;
    }
    wakeWindow();
}

void GpsLink::reportEstablished(uint64_t establishedIn)
{
    {
        std::lock_guard lock(mutex);
        if (establishedIn != session) return;
        established = true;
        establishedSession = session;
    }
    wakeWindow();
}

void GpsLink::wakeWindow()
{
    {
        std::lock_guard lock(mutex);
        if (windowWakePosted) return;
        windowWakePosted = true;
    }
    wake(windowWakeFd);
}

GpsLink::OpenResult GpsReader::openPort(const std::string& device, int baudRate)
{
    stopPlayback();
    if (port && port->isOpen()) return {true, {}};
    closeNetwork();
    if (!port) {
        port = new QSerialPort(this);
        connect(port, &QSerialPort::readyRead, this, &GpsReader::readAvailable);
        connect(port, &QSerialPort::errorOccurred, this, &GpsReader::portError);
    }
    port->setPortName(QString::fromStdString(device));
    port->setBaudRate(baudRate);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (!port->open(QIODevice::ReadOnly)) {
        const QString reason = port->errorString();
        port->clearError();
        link.setState(GpsLink::State::Disconnected);
        return {false, reason};
    }
    // Not every device has modem lines (a pseudo-terminal has none): a refusal here is harmless.
    port->setDataTerminalReady(false);
    port->setRequestToSend(false);
    port->clearError();
    lossPending = false;
    startNewStream();
    link.setState(GpsLink::State::Connected);
    {
        std::lock_guard lock(link.mutex);
        portSession = link.session;
    }
    return {true, {}};
}

void GpsReader::closePort()
{
    if (port && port->isOpen()) port->close();
    closeNetwork();
    link.setState(GpsLink::State::Disconnected);
}

void GpsReader::closeNetwork()
{
    if (udp) udp->close();
    if (gpsd) {
        gpsd->disconnect(this);
        gpsd->abort();
        gpsd->deleteLater();  // a socket is not deleted from inside its own notification
        gpsd = nullptr;
    }
}

GpsLink::OpenResult GpsReader::listenUdp(int udpPort)
{
    stopPlayback();
    if (port && port->isOpen()) port->close();
    closeNetwork();
    if (!udp) {
        udp = new QUdpSocket(this);
        connect(udp, &QUdpSocket::readyRead, this, &GpsReader::readDatagrams);
    }
    // Exclusively, so that a port another program already listens on is refused, not shared.
    if (udpPort < 1 || udpPort > 65535 ||
        !udp->bind(QHostAddress::LocalHost, static_cast<quint16>(udpPort), QAbstractSocket::DontShareAddress)) {
        const QString reason = udpPort < 1 || udpPort > 65535 ? QString("no such port") : udp->errorString();
        udp->close();
        link.setState(GpsLink::State::Disconnected);
        return {false, reason};
    }
    startNewStream();
    lineEnds.reset();
    link.setState(GpsLink::State::Connected);
    std::lock_guard lock(link.mutex);
    netSession = link.session;
    return {true, {}};
}

GpsLink::OpenResult GpsReader::connectGpsd(const std::string& host, int tcpPort)
{
    stopPlayback();
    if (port && port->isOpen()) port->close();
    closeNetwork();
    if (tcpPort < 1 || tcpPort > 65535) {
        link.setState(GpsLink::State::Disconnected);
        return {false, "no such port"};
    }
    gpsd = new QTcpSocket(this);
    gpsd->setProxy(QNetworkProxy::NoProxy);  // gpsd is reached directly, never through a proxy
    gpsdName = host + ":" + std::to_string(tcpPort);
    startNewStream();
    lineEnds.reset();
    gpsdReports.reset();
    link.setState(GpsLink::State::Connected);
    {
        std::lock_guard lock(link.mutex);
        netSession = link.session;
    }
    const uint64_t session = netSession;
    QTcpSocket* socket = gpsd;
    connect(gpsd, &QTcpSocket::connected, this, [this, socket, session] {
        if (socket != gpsd) return;
        // Raw NMEA as the receiver sent it, besides gpsd's reports (which are left out here).
        socket->write("?WATCH={\"enable\":true,\"nmea\":true}\n");
        link.reportEstablished(session);
    });
    connect(gpsd, &QTcpSocket::readyRead, this, &GpsReader::readGpsd);
    connect(gpsd, &QTcpSocket::errorOccurred, this, &GpsReader::gpsdError);
    gpsd->connectToHost(QString::fromStdString(host), static_cast<quint16>(tcpPort));
    return {true, {}};
}

void GpsReader::feedRepaired(std::string_view bytes, std::vector<std::string>& sentences)
{
    repaired.clear();
    counted.repairedLineEnds += lineEnds.repair(bytes, repaired);
    if (!repaired.empty()) feed(repaired.data(), repaired.size(), sentences);
}

void GpsReader::readDatagrams()
{
    std::vector<std::string> sentences;
    while (udp->hasPendingDatagrams()) {
        // A datagram longer than the buffer is cut to it: no NMEA sender makes one that long.
        const qint64 count = udp->readDatagram(buffer, kChunkBytes);
        if (count <= 0) continue;
        feedRepaired(std::string_view(buffer, static_cast<size_t>(count)), sentences);
    }
    link.publishSentences(std::move(sentences), counted);
    counted = {};
}

void GpsReader::readGpsd()
{
    std::vector<std::string> sentences;
    while (gpsd && gpsd->bytesAvailable() > 0) {
        const qint64 count = gpsd->read(buffer, kChunkBytes);
        if (count <= 0) break;
        filtered.clear();
        counted.gpsdReports += gpsdReports.filter(std::string_view(buffer, static_cast<size_t>(count)), filtered);
        feedRepaired(filtered, sentences);
    }
    link.publishSentences(std::move(sentences), counted);
    counted = {};
}

void GpsReader::gpsdError()
{
    if (!gpsd) return;
    // Refused, not found, timed out or closed by gpsd: the link ends, and "&Connect" tries again.
    const std::string reason = "gpsd at " + gpsdName + ": " + gpsd->errorString().toStdString();
    const uint64_t lostSession = netSession;
    QTimer::singleShot(0, this, [this, lostSession, reason] { dropLostGpsd(lostSession, reason); });
}

void GpsReader::dropLostGpsd(uint64_t lostSession, const std::string& reason)
{
    if (!gpsd || lostSession != netSession) return;
    closeNetwork();
    link.reportEnded(lostSession, reason);
}

void GpsReader::shutdown()
{
    stopPlayback();
    closePort();
    delete port;
    port = nullptr;
    delete udp;
    udp = nullptr;
    delete playTimer;
    playTimer = nullptr;
}

void GpsReader::startNewStream()
{
    // A sentence cut off when the last link ended must not swallow the first one of this link:
    // the receiver (whose framing state belongs to the thread that feeds it) waits for a "$" again.
    std::lock_guard lock(link.mutex);
    if (link.held) link.heldRestart = true;
    else nmeaState = 0;
}

void GpsReader::feed(const char* bytes, size_t count, std::vector<std::string>& sentences)
{
    std::string waiting;
    bool restart = false;
    {
        std::lock_guard lock(link.mutex);
        if (link.held) {
            link.heldBytes.append(bytes, count);
            count = 0;
        } else {
            waiting.swap(link.heldBytes);
            std::swap(restart, link.heldRestart);
        }
    }
    if (count == 0) {
        link.wakeWindow();
        return;
    }
    if (restart) nmeaState = 0;
    for (const char byte : waiting)
        if (feedNmeaByte(static_cast<uint8_t>(byte), counted)) sentences.emplace_back(nmeaAcceptedSentence());
    for (size_t i = 0; i < count; ++i)
        if (feedNmeaByte(static_cast<uint8_t>(bytes[i]), counted)) {
            // Whole, as received: "$", the body, "*" and the two checksum characters.
            std::string& sentence = sentences.emplace_back("$");
            sentence += nmeaAcceptedSentence();
            sentence += '*';
            sentence.append(nmeaChecksumText, 2);
        }
}

void GpsReader::readAvailable()
{
    std::vector<std::string> sentences;
    while (port->isOpen()) {
        const qint64 count = port->read(buffer, kChunkBytes);
        if (count <= 0) break;
        feed(buffer, static_cast<size_t>(count), sentences);
    }
    link.publishSentences(std::move(sentences), counted);
    counted = {};
}

void GpsReader::portError(QSerialPort::SerialPortError error)
{
    // A device that went away (a USB receiver unplugged, the far end of a pseudo-terminal closed)
    // or that cannot be read any more ends the link; anything else is ignored, as is a refused
    // modem-line setting.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) return;
    if (!port->isOpen() || lossPending) return;
    lossPending = true;
    const std::string reason = port->errorString().toStdString();
    const uint64_t lostSession = portSession;
    // Closed once the port's own notification has returned, not from inside it.
    QTimer::singleShot(0, this, [this, lostSession, reason] { dropLostPort(lostSession, reason); });
}

void GpsReader::dropLostPort(uint64_t lostSession, const std::string& reason)
{
    lossPending = false;
    if (!port || !port->isOpen() || lostSession != portSession) return;
    port->close();
    port->clearError();
    link.reportEnded(lostSession, "the receiver's port failed: " + reason);
}

void GpsReader::startPlayback(std::vector<NmeaEpoch>&& log, int epochMs)
{
    stopPlayback();
    if (port && port->isOpen()) port->close();
    closeNetwork();
    epochs = std::move(log);
    playEpochMs = std::max(epochMs, 1);
    epochIndex = 0;
    sentenceIndex = 0;
    if (!playTimer) {
        playTimer = new QTimer(this);
        playTimer->setSingleShot(true);
        playTimer->setTimerType(Qt::PreciseTimer);
        connect(playTimer, &QTimer::timeout, this, &GpsReader::playDue);
    }
    startNewStream();
    link.setState(GpsLink::State::Playing);
    {
        std::lock_guard lock(link.mutex);
        playSession = link.session;
    }
    playClock.start();
    playDue();
}

void GpsReader::stopPlayback()
{
    if (playTimer) playTimer->stop();
    epochs.clear();
}

qint64 GpsReader::dueTime(size_t epoch, size_t sentence) const
{
    // The sentences of an epoch are spread over its time, as a receiver sends them one after the
    // other, so the main loop takes each one (a sentence type still parked is dropped).
    const qint64 size = static_cast<qint64>(epochs[epoch].size());
    return static_cast<qint64>(epoch) * playEpochMs + static_cast<qint64>(sentence) * playEpochMs / size;
}

void GpsReader::playDue()
{
    std::vector<std::string> sentences;
    const qint64 now = playClock.elapsed();
    while (epochIndex < epochs.size() && dueTime(epochIndex, sentenceIndex) <= now) {
        const std::string& text = epochs[epochIndex][sentenceIndex];
        feed(text.data(), text.size(), sentences);
        if (++sentenceIndex == epochs[epochIndex].size()) {
            ++epochIndex;
            sentenceIndex = 0;
        }
    }
    link.publishSentences(std::move(sentences), counted);
    counted = {};
    if (epochIndex < epochs.size()) {
        playTimer->start(static_cast<int>(dueTime(epochIndex, sentenceIndex) - now));
        return;
    }
    epochs.clear();
    link.reportEnded(playSession, "end of the recorded log");
}

// The GPS link: the window thread's commands and deliveries, and the reader thread's receiver
// path that every source (gps_source_*.cpp) feeds. The serial port and the network sockets are
// created, opened, read and closed on the reader thread, and a played log is fed from there too,
// so the NMEA receiver always runs on this one thread.
#include "host/gps_link.h"

#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <sys/eventfd.h>
#include <unistd.h>

#include "gps/nmea.h"
#include "host/gps_reader.h"

namespace {

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

// The one way an accepted sentence is shown: whole, as received ("$", the body, "*" and the two
// checksum characters).
std::string shownSentence()
{
    std::string sentence = "$";
    sentence += nmeaAcceptedSentence();
    sentence += '*';
    sentence.append(nmeaChecksumText, 2);
    return sentence;
}

}  // namespace

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
        if (feedNmeaByte(static_cast<uint8_t>(byte), counted)) sentences << QString::fromLatin1(shownSentence());
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
        case Command::Open: opened = reader->serial.open(command.device, command.baudRate); break;
        case Command::ListenUdp: opened = reader->udp.open(command.baudRate); break;
        case Command::ConnectGpsd: opened = reader->gpsd.open(command.device, command.baudRate); break;
        case Command::Close: reader->closeLink(); break;
        case Command::Play: reader->file.play(std::move(command.epochs), command.epochMs); break;
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

// ---- the receiver path (reader thread) ----

void GpsReader::commandsWaiting()
{
    clearWake(link.readerWakeFd);
    link.runCommands();
}

void GpsReader::closeSources()
{
    file.close();
    serial.close();
    udp.close();
    gpsd.close();
}

void GpsReader::closeLink()
{
    closeSources();
    link.setState(GpsLink::State::Disconnected);
}

void GpsReader::shutdown()
{
    closeLink();
    file.release();
    serial.release();
    udp.release();
    gpsd.release();
}

uint64_t GpsReader::startStream(GpsLink::State state)
{
    lineEnds.reset();
    {
        // The receiver's framing state belongs to the thread that feeds it.
        std::lock_guard lock(link.mutex);
        if (link.held) link.heldRestart = true;
        else nmeaState = 0;
    }
    link.setState(state);
    std::lock_guard lock(link.mutex);
    return link.session;
}

GpsLink::OpenResult GpsReader::refuse(const QString& reason)
{
    link.setState(GpsLink::State::Disconnected);
    return {false, reason};
}

void GpsReader::feedRepaired(std::string_view bytes)
{
    repaired.clear();
    counted.repairedLineEnds += lineEnds.repair(bytes, repaired);
    if (!repaired.empty()) feed(repaired.data(), repaired.size());
}

void GpsReader::feed(const char* bytes, size_t count)
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
        if (feedNmeaByte(static_cast<uint8_t>(byte), counted)) sentences.push_back(shownSentence());
    for (size_t i = 0; i < count; ++i)
        if (feedNmeaByte(static_cast<uint8_t>(bytes[i]), counted)) sentences.push_back(shownSentence());
}

void GpsReader::publish()
{
    link.publishSentences(std::move(sentences), counted);
    sentences.clear();
    counted = {};
}

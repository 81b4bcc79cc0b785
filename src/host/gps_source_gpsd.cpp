// The GPS link's gpsd source: a TCP connection asking gpsd for its receiver's raw NMEA, with
// gpsd's own reports left out; a refused or lost connection ends the link.
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

#include "host/gps_reader.h"

GpsLink::OpenResult GpsdSource::open(const std::string& host, int tcpPort)
{
    reader.closeSources();
    if (tcpPort < 1 || tcpPort > 65535) return reader.refuse("no such port");
    gpsd = new QTcpSocket(&reader);
    gpsd->setProxy(QNetworkProxy::NoProxy);  // gpsd is reached directly, never through a proxy
    name = host + ":" + std::to_string(tcpPort);
    reports.reset();
    session = reader.startStream(GpsLink::State::Connected);
    const uint64_t opened = session;
    QTcpSocket* socket = gpsd;
    QObject::connect(gpsd, &QTcpSocket::connected, &reader, [this, socket, opened] {
        if (socket != gpsd) return;
        // Raw NMEA as the receiver sent it, besides gpsd's reports (which are left out here).
        socket->write("?WATCH={\"enable\":true,\"nmea\":true}\n");
        reader.reportEstablished(opened);
    });
    QObject::connect(gpsd, &QTcpSocket::readyRead, &reader, [this] { readAvailable(); });
    QObject::connect(gpsd, &QTcpSocket::errorOccurred, &reader, [this] { socketError(); });
    gpsd->connectToHost(QString::fromStdString(host), static_cast<quint16>(tcpPort));
    return {true, {}};
}

void GpsdSource::close()
{
    if (!gpsd) return;
    gpsd->disconnect(&reader);
    gpsd->abort();
    gpsd->deleteLater();  // a socket is not deleted from inside its own notification
    gpsd = nullptr;
}

void GpsdSource::readAvailable()
{
    while (gpsd && gpsd->bytesAvailable() > 0) {
        const qint64 count = gpsd->read(reader.buffer, GpsReader::kChunkBytes);
        if (count <= 0) break;
        filtered.clear();
        reader.counted.gpsdReports += reports.filter(std::string_view(reader.buffer, static_cast<size_t>(count)), filtered);
        reader.feedRepaired(filtered);
    }
    reader.publish();
}

void GpsdSource::socketError()
{
    if (!gpsd) return;
    // Refused, not found, timed out or closed by gpsd: the link ends, and "&Connect" tries again.
    const std::string reason = "gpsd at " + name + ": " + gpsd->errorString().toStdString();
    const uint64_t lostSession = session;
    QTimer::singleShot(0, &reader, [this, lostSession, reason] { dropLost(lostSession, reason); });
}

void GpsdSource::dropLost(uint64_t lostSession, const std::string& reason)
{
    if (!gpsd || lostSession != session) return;
    close();
    reader.reportEnded(lostSession, reason);
}

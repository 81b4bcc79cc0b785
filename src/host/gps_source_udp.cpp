// The GPS link's UDP source: NMEA datagrams on a loopback port, bound exclusively.
#include <QUdpSocket>

#include "host/gps_reader.h"

GpsLink::OpenResult UdpSource::open(int udpPort)
{
    reader.closeSources();
    if (!udp) {
        udp = new QUdpSocket(&reader);
        QObject::connect(udp, &QUdpSocket::readyRead, &reader, [this] { readDatagrams(); });
    }
    // Exclusively, so that a port another program already listens on is refused, not shared.
    if (udpPort < 1 || udpPort > 65535 ||
        !udp->bind(QHostAddress::LocalHost, static_cast<quint16>(udpPort), QAbstractSocket::DontShareAddress)) {
        const QString reason = udpPort < 1 || udpPort > 65535 ? QString("no such port") : udp->errorString();
        udp->close();
        return reader.refuse(reason);
    }
    reader.startStream(GpsLink::State::Connected);
    return {true, {}};
}

void UdpSource::close()
{
    if (udp) udp->close();
}

void UdpSource::release()
{
    close();
    delete udp;
    udp = nullptr;
}

void UdpSource::readDatagrams()
{
    while (udp->hasPendingDatagrams()) {
        // A datagram longer than the buffer is cut to it: no NMEA sender makes one that long.
        const qint64 count = udp->readDatagram(reader.buffer, GpsReader::kChunkBytes);
        if (count <= 0) continue;
        reader.feedRepaired(std::string_view(reader.buffer, static_cast<size_t>(count)));
    }
    reader.publish();
}

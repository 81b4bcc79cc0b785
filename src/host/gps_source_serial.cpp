// The GPS link's serial source: a receiver's port, 8N1 without flow control, read on the reader
// thread; a device that goes away ends the link.
#include <QTimer>

#include "host/gps_reader.h"

GpsLink::OpenResult SerialSource::open(const std::string& device, int baudRate)
{
    reader.file.close();
    if (port && port->isOpen()) return {true, {}};
    reader.closeSources();
    if (!port) {
        port = new QSerialPort(&reader);
        QObject::connect(port, &QSerialPort::readyRead, &reader, [this] { readAvailable(); });
        QObject::connect(port, &QSerialPort::errorOccurred, &reader,
                         [this](QSerialPort::SerialPortError error) { portError(error); });
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
        return reader.refuse(reason);
    }
    // Not every device has modem lines (a pseudo-terminal has none): a refusal here is harmless.
    port->setDataTerminalReady(false);
    port->setRequestToSend(false);
    port->clearError();
    lossPending = false;
    session = reader.startStream(GpsLink::State::Connected);
    return {true, {}};
}

void SerialSource::close()
{
    if (port && port->isOpen()) port->close();
}

void SerialSource::release()
{
    close();
    delete port;
    port = nullptr;
}

void SerialSource::readAvailable()
{
    while (port->isOpen()) {
        const qint64 count = port->read(reader.buffer, GpsReader::kChunkBytes);
        if (count <= 0) break;
        reader.feed(reader.buffer, static_cast<size_t>(count));
    }
    reader.publish();
}

void SerialSource::portError(QSerialPort::SerialPortError error)
{
    // A device that went away (a USB receiver unplugged, the far end of a pseudo-terminal closed)
    // or that cannot be read any more ends the link; anything else is ignored, as is a refused
    // modem-line setting.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) return;
    if (!port->isOpen() || lossPending) return;
    lossPending = true;
    const std::string reason = port->errorString().toStdString();
    const uint64_t lostSession = session;
    // Closed once the port's own notification has returned, not from inside it.
    QTimer::singleShot(0, &reader, [this, lostSession, reason] { dropLost(lostSession, reason); });
}

void SerialSource::dropLost(uint64_t lostSession, const std::string& reason)
{
    lossPending = false;
    if (!port || !port->isOpen() || lostSession != session) return;
    port->close();
    port->clearError();
    reader.reportEnded(lostSession, "the receiver's port failed: " + reason);
}

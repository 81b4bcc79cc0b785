// Port and speed rules of the GPS tab, the serial devices present, and open-failure texts.
#include "host/serial_choice.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

QString portTextWithoutDescription(const QString& portText)
{
    const qsizetype open = portText.lastIndexOf(" (");
    return open > 0 && portText.endsWith(')') ? portText.left(open) : portText;
}

int comPortNumber(const QString& shown)
{
    const QString portText = portTextWithoutDescription(shown);
    for (int n = 1; n <= 3; ++n)
        if (portText == QString("COM%1").arg(n) || portText == QString("COM %1").arg(n)) return n;
    return 4;
}

QString serialDeviceForPortText(const QString& shown)
{
    const QString portText = portTextWithoutDescription(shown);
    if (portText.startsWith('/')) return portText;
    const int n = comPortNumber(portText);
#ifdef Q_OS_WIN
    return QString("COM%1").arg(n);
#else
    return QString("/dev/ttyS%1").arg(n - 1);
#endif
}

int baudRateForSpeedText(const QString& speedText)
{
    static const int listed[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600};
    for (const int rate : listed)
        if (speedText == QString::number(rate)) return rate;
    return 115200;
}

QStringList portBoxItems()
{
    QStringList items;
    for (int n = 1; n <= 4; ++n) {
        const QString port = QString("COM %1").arg(n);
        const QString device = serialDeviceForPortText(port);
        items << (device == QString("COM%1").arg(n) ? port : QString("%1 (%2)").arg(port, device));
    }
#ifndef Q_OS_WIN
    // USB receivers, each with its stable name (which names the receiver's make) when it has one.
    QMap<QString, QString> stableNames;
    const QDir byId("/dev/serial/by-id");
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        stableNames.insert(link.canonicalFilePath(), link.fileName());
    const QDir dev("/dev");
    for (const QString& name : dev.entryList({"ttyUSB*", "ttyACM*"}, QDir::System | QDir::Files, QDir::Name)) {
        const QString path = dev.filePath(name);
        items << (stableNames.contains(path) ? QString("%1 (%2)").arg(path, stableNames.value(path)) : path);
    }
#endif
    items << kFlightGearSourceText << kGpsdSourceText;
    return items;
}

GpsSource gpsSourceForPortText(const QString& portText)
{
    if (portText == kFlightGearSourceText) return GpsSource::FlightGearUdp;
    if (portText == kGpsdSourceText) return GpsSource::Gpsd;
    return GpsSource::Serial;
}

int networkPortForText(const QString& text)
{
    bool ok = false;
    const int port = text.trimmed().toInt(&ok, 10);
    return ok && port >= 1 && port <= 65535 ? port : 0;
}

bool gpsdAddressForText(const QString& text, QString& host, int& port)
{
    const QString trimmed = text.trimmed();
    const qsizetype colon = trimmed.lastIndexOf(':');
    host = colon < 0 ? trimmed : trimmed.left(colon);
    port = colon < 0 ? kGpsdPort : networkPortForText(trimmed.mid(colon + 1));
    if (host.isEmpty()) host = "localhost";
    return port != 0 && !(colon < 0 && trimmed.isEmpty());
}

QString deviceGroupName(const QString& device)
{
    struct stat info {};
    if (stat(QFile::encodeName(device).constData(), &info) != 0) return {};
    const group* owner = getgrgid(info.st_gid);
    return owner ? QString::fromLocal8Bit(owner->gr_name) : QString::number(info.st_gid);
}

bool devicePermissionDenied(const QString& device)
{
    return access(QFile::encodeName(device).constData(), R_OK) != 0 && errno == EACCES;
}

QString portOpenFailureText(const QString& device, const QString& systemError, bool permissionDenied)
{
    QString text = QString("The port %1 cannot be opened: %2.").arg(device, systemError);
    if (permissionDenied) {
        const QString group = deviceGroupName(device);
        if (group.isEmpty())
            text += "\n\nYou are not allowed to use this device.";
        else
            text += QString("\n\nTo use this device your user must be a member of the group \"%1\" that owns it "
                            "(for example: sudo usermod -aG %1 $USER), then log in again.")
                        .arg(group);
    }
    return text;
}

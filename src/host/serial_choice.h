// What the GPS tab's two combo boxes mean: the port box's text as a device to open or a network
// source, the second box's text as a bit rate or a network address, the serial devices present on
// this PC, and why an open failed.
#pragma once
#include <QString>
#include <QStringList>

// The port box's text without the device shown after it: "COM 1 (/dev/ttyS0)" is "COM 1".
QString portTextWithoutDescription(const QString& portText);
// "COM1" or "COM 1" .. "COM4" or "COM 4" select that port by its number; any other text COM4.
int comPortNumber(const QString& portText);
// The device "&Connect" opens for the port box's text. A text beginning with "/" is a device path
// typed or picked from the list and is opened as it is; otherwise COM1..COM4 are /dev/ttyS0 ..
// /dev/ttyS3 here (COM1..COM4 on Windows).
QString serialDeviceForPortText(const QString& portText);
// 1200, 2400, 4800, 9600, 19200, 38400 or 57600 when the text is exactly that number; any other
// text 115200.
int baudRateForSpeedText(const QString& speedText);
// The port box's items: "COM 1 (/dev/ttyS0)" .. "COM 4 (/dev/ttyS3)", then the USB and ACM
// serial devices present, each with its stable name under /dev/serial/by-id when it has one, then
// the two network sources.
QStringList portBoxItems();

// The network sources, chosen by these exact texts in the port box. For them the second box holds
// the UDP port (on the loopback address) or gpsd's "host:port" instead of the speed.
enum class GpsSource { Serial, FlightGearUdp, Gpsd };
inline const QString kFlightGearSourceText = QStringLiteral("FlightGear NMEA (UDP)");
inline const QString kGpsdSourceText = QStringLiteral("gpsd");
constexpr int kFlightGearNmeaPort = 5501;
constexpr int kGpsdPort = 2947;
GpsSource gpsSourceForPortText(const QString& portText);
// A port number 1..65535, blanks around it allowed; 0 for any other text.
int networkPortForText(const QString& text);
// gpsd's "host", "host:port" or ":port" (host localhost, port 2947 when left out). False for an
// empty host part with no port or a port that is not 1..65535.
bool gpsdAddressForText(const QString& text, QString& host, int& port);
// The group that owns a device node ("" when it cannot be found).
QString deviceGroupName(const QString& device);
// The text of the message box when a port cannot be opened. When access was denied it says which
// group the user must join.
QString portOpenFailureText(const QString& device, const QString& systemError, bool permissionDenied);
// Whether this process may not read the device for lack of permission (and not because it is
// missing or busy).
bool devicePermissionDenied(const QString& device);

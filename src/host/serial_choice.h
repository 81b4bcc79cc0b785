// What the GPS tab's two combo boxes mean: the port box's text as a device to open, the speed
// box's text as a bit rate, the serial devices present on this PC, and why an open failed.
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
// serial devices present, each with its stable name under /dev/serial/by-id when it has one.
QStringList portBoxItems();
// The group that owns a device node ("" when it cannot be found).
QString deviceGroupName(const QString& device);
// The text of the message box when a port cannot be opened. When access was denied it says which
// group the user must join.
QString portOpenFailureText(const QString& device, const QString& systemError, bool permissionDenied);
// Whether this process may not read the device for lack of permission (and not because it is
// missing or busy).
bool devicePermissionDenied(const QString& device);

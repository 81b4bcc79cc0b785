// The "Flight simulator" tab: FlightGear's corvex-ems packets over UDP drive the EMS tab's bars.
// The socket is read here in the window's event loop, never in a pass; each packet's values move
// the bars exactly as typed values would, and the bars write the instrument's inputs.
#pragma once
#include <QHostAddress>
#include <QTimer>
#include <QWidget>

#include <array>

#include "links/flightgear.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QUdpSocket;
class InputsTab;

class FlightSimTab : public QWidget {
    Q_OBJECT
public:
    explicit FlightSimTab(InputsTab* inputs, QWidget* parent = nullptr);

    // "PORT" or "ADDRESS:PORT"; a bare port listens on the loopback address only. False, with the
    // reason in the status line, for a text that is neither.
    bool setAddress(const QString& text);
    QHostAddress address() const { return listenAddress; }
    quint16 port() const { return listenPort; }
    // Starts or stops listening (the "Listen" box). Starting fails on a busy port: the status says so.
    bool setListening(bool on);
    bool listening() const { return socket != nullptr; }
    // The field map: a file (false, with the reason in the status line, when it cannot be read)
    // or "" for the c172p's built in.
    bool setMapFile(const QString& path);
    // Packets from an address other than this machine's loopback are ignored unless allowed.
    void setOthersAllowed(bool allowed);
    // How long without packets before "no data" shows (2 s).
    void setSilenceTimeout(int ms) { silence.setInterval(ms); }

    QString status() const { return statusText; }
    QLabel* statusLabel() const { return statusLine; }
    QPlainTextEdit* valuesView() const { return values; }
    quint64 packetsUsed() const { return used; }
    quint64 packetsIgnored() const { return ignored; }
    double packetsPerSecond() const { return rate; }
    // Whether the last packet held `id` at an end of its range.
    bool held(InputControl id) const { return last.inputs[static_cast<int>(id)].set && last.inputs[static_cast<int>(id)].held; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void readPackets();
    void usePacket(const char* data, qint64 size);
    void moveBars();
    void showValues();
    void setStatus(const QString& text);
    void silent();

    InputsTab* inputs;
    QCheckBox* listenBox;
    QLineEdit* addressEdit;
    QCheckBox* othersBox;
    QLineEdit* mapEdit;
    QLabel* statusLine;
    QLabel* rateLine;
    QPlainTextEdit* values;
    QUdpSocket* socket = nullptr;
    QHostAddress listenAddress{QHostAddress::LocalHost};
    quint16 listenPort = 5500;
    bool othersAllowed = false;
    flightgear::Map customMap;
    bool useCustomMap = false;
    flightgear::Packet packet;
    flightgear::Inputs last;
    QTimer silence;
    QTimer rateTimer;
    QTimer barsTimer;    // the bars follow at most twice a second
    bool barsBehind = false;
    static constexpr int kBarsMs = 500;
    QTimer valuesTimer;  // the values list is written at most twice a second
    quint64 used = 0, ignored = 0, usedAtLastRate = 0;
    double rate = 0;
    QString statusText;
    std::array<char, flightgear::kMaxPacketBytes + 2> buffer{};
};

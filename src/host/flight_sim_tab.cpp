// The UDP link to FlightGear: a datagram is a packet; its values become bar positions through the
// map, and the bars do the rest.
#include "host/flight_sim_tab.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QUdpSocket>
#include <QVBoxLayout>

#include "device_readings.h"
#include "host/input_bar.h"
#include "host/inputs_tab.h"

namespace {

constexpr int kSilenceMs = 2000;

}  // namespace

FlightSimTab::FlightSimTab(InputsTab* inputsTab, QWidget* parent)
    : QWidget(parent),
      inputs(inputsTab),
      listenBox(new QCheckBox("Listen")),
      addressEdit(new QLineEdit("127.0.0.1:5500")),
      othersBox(new QCheckBox("Accept packets from other computers")),
      mapEdit(new QLineEdit),
      statusLine(new QLabel),
      rateLine(new QLabel),
      values(new QPlainTextEdit)
{
    setObjectName("FlightSimTab");
    listenBox->setObjectName("FlightSimListen");
    addressEdit->setObjectName("FlightSimAddress");
    addressEdit->setToolTip("PORT or ADDRESS:PORT; a bare port listens on this computer's loopback only");
    othersBox->setObjectName("FlightSimOthers");
    mapEdit->setObjectName("FlightSimMap");
    mapEdit->setPlaceholderText("c172p (built in)");
    mapEdit->setToolTip("The field map for another aircraft (see data/flightgear/c172p.map); empty: the c172p's");
    statusLine->setObjectName("FlightSimStatus");
    statusLine->setWordWrap(true);
    rateLine->setObjectName("FlightSimRate");
    values->setObjectName("FlightSimValues");
    values->setReadOnly(true);
    values->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel("FlightGear's engine values move the EMS tab's bars. Start fgfs with "
                             "--generic=socket,out,10,127.0.0.1,5500,udp,corvex-ems (the protocol file "
                             "corvex-ems.xml in its Protocol folder).");
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* form = new QFormLayout;
    form->addRow(listenBox);
    form->addRow("Address:", addressEdit);
    form->addRow(othersBox);
    form->addRow("Map file:", mapEdit);
    form->addRow("Status:", statusLine);
    form->addRow("Packets/s:", rateLine);
    layout->addLayout(form);
    layout->addWidget(values, 1);

    silence.setSingleShot(true);
    silence.setInterval(kSilenceMs);
    connect(&silence, &QTimer::timeout, this, &FlightSimTab::silent);
    barsTimer.setSingleShot(true);
    barsTimer.setInterval(kBarsMs);
    connect(&barsTimer, &QTimer::timeout, this, [this] {
        if (barsBehind) moveBars();
    });
    valuesTimer.setSingleShot(true);
    valuesTimer.setInterval(500);
    connect(&valuesTimer, &QTimer::timeout, this, &FlightSimTab::showValues);
    rateTimer.setInterval(1000);
    connect(&rateTimer, &QTimer::timeout, this, [this] {
        rate = static_cast<double>(used - usedAtLastRate);
        usedAtLastRate = used;
        rateLine->setText(QString::number(rate, 'f', 0));
    });
    connect(listenBox, &QCheckBox::toggled, this, [this](bool on) {
        if (on != listening()) setListening(on);
    });
    connect(addressEdit, &QLineEdit::editingFinished, this, [this] {
        const bool was = listening();
        if (setAddress(addressEdit->text()) && was) {
            setListening(false);
            setListening(true);
        }
    });
    connect(othersBox, &QCheckBox::toggled, this, [this](bool on) { othersAllowed = on; });
    connect(mapEdit, &QLineEdit::editingFinished, this, [this] { setMapFile(mapEdit->text().trimmed()); });
    rateLine->setText("0");
    setStatus("Not listening");
}

bool FlightSimTab::setAddress(const QString& text)
{
    const QString t = text.trimmed();
    const qsizetype colon = t.lastIndexOf(':');
    QHostAddress host(QHostAddress::LocalHost);
    if (colon >= 0 && !host.setAddress(t.left(colon))) {
        setStatus("Not an address: " + t.left(colon));
        return false;
    }
    bool number = false;
    const uint port = t.mid(colon + 1).toUInt(&number);
    if (!number || port == 0 || port > 65535) {
        setStatus("Not a port: " + t.mid(colon + 1));
        return false;
    }
    listenAddress = host;
    listenPort = static_cast<quint16>(port);
    addressEdit->setText(QString("%1:%2").arg(listenAddress.toString()).arg(listenPort));
    return true;
}

bool FlightSimTab::setListening(bool on)
{
    if (!on) {
        if (socket) {
            socket->close();  // the port is free at once
            socket->deleteLater();
        }
        socket = nullptr;
        if (barsBehind) moveBars();
        barsTimer.stop();
        silence.stop();
        rateTimer.stop();
        rateLine->setText("0");
        listenBox->setChecked(false);
        setStatus("Not listening");
        return true;
    }
    if (socket) return true;
    auto* s = new QUdpSocket(this);
    // Not shared: a second listener on the port is refused rather than splitting the packets.
    if (!s->bind(listenAddress, listenPort, QAbstractSocket::DontShareAddress)) {
        const QString why = s->error() == QAbstractSocket::AddressInUseError
                                ? QString("Port %1 is busy: another program listens on it").arg(listenPort)
                                : QString("Cannot listen on %1:%2: %3").arg(listenAddress.toString()).arg(listenPort).arg(s->errorString());
        delete s;
        listenBox->setChecked(false);
        setStatus(why);
        return false;
    }
    socket = s;
    connect(socket, &QUdpSocket::readyRead, this, &FlightSimTab::readPackets);
    listenBox->setChecked(true);
    usedAtLastRate = used;
    rateTimer.start();
    silence.start();
    setStatus(QString("Listening on %1:%2: no data").arg(listenAddress.toString()).arg(listenPort));
    return true;
}

bool FlightSimTab::setMapFile(const QString& path)
{
    if (path.isEmpty()) {
        useCustomMap = false;
        mapEdit->clear();
        return true;
    }
    flightgear::Map map;
    std::string error;
    if (!flightgear::loadMap(path.toStdString(), map, error)) {
        setStatus("Map not used: " + QString::fromStdString(error));
        return false;
    }
    customMap = std::move(map);
    useCustomMap = true;
    mapEdit->setText(path);
    return true;
}

void FlightSimTab::setOthersAllowed(bool allowed)
{
    othersAllowed = allowed;
    othersBox->setChecked(allowed);
}

void FlightSimTab::readPackets()
{
    while (socket && socket->hasPendingDatagrams()) {
        QHostAddress from;
        // One more byte than a packet may have: a longer datagram arrives cut and is refused.
        const qint64 size = socket->readDatagram(buffer.data(), static_cast<qint64>(buffer.size()), &from);
        if (size < 0) break;
        const bool local = from.isLoopback();
        if (!local && !othersAllowed) {
            ++ignored;
            continue;
        }
        usePacket(buffer.data(), size);
    }
}

void FlightSimTab::usePacket(const char* data, qint64 size)
{
    if (size > static_cast<qint64>(flightgear::kMaxPacketBytes) ||
        !flightgear::parsePacket(std::string_view(data, static_cast<size_t>(size)), packet)) {
        ++ignored;
        return;
    }
    const flightgear::Map& map = useCustomMap ? customMap : flightgear::defaultMap();
    flightgear::inputsForPacket(map, packet, last);
    // The instrument takes every packet. The bars, whose labels and repaints cost more than the
    // rest of the link together, follow at most twice a second as the values list does, the
    // first packet after a quiet spell at once.
    flightgear::applyInputs(last);
    barsBehind = true;
    if (!barsTimer.isActive()) moveBars();
    ++used;
    if (!silence.isActive() || statusText.endsWith("no data"))
        setStatus(QString("Listening on %1:%2: receiving").arg(listenAddress.toString()).arg(listenPort));
    silence.start();
    // The list is text laid out afresh: shown at most twice a second, and only while it can be seen.
    if (isVisible() && !valuesTimer.isActive()) valuesTimer.start();
}

void FlightSimTab::moveBars()
{
    barsBehind = false;
    for (int i = 0; i < INPUT_CONTROL_COUNT; ++i)
        if (last.inputs[i].set) inputs->scrollBar(static_cast<InputControl>(i))->setValue(last.inputs[i].position);
    barsTimer.start();
}

void FlightSimTab::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (used > 0) showValues();
}

void FlightSimTab::showValues()
{
    const flightgear::Map& map = useCustomMap ? customMap : flightgear::defaultMap();
    QString text;
    const int fields = std::min<int>(static_cast<int>(map.fields.size()), std::min(packet.fieldCount, flightgear::kMaxFields));
    for (int i = 0; i < static_cast<int>(map.fields.size()); ++i) {
        const flightgear::Field& field = map.fields[i];
        text += QString::fromStdString(field.property) + " = ";
        if (i >= fields || !packet.present[i]) {
            text += "absent\n";
            continue;
        }
        char number[32];
        flightgear::formatValue(packet.values[i], number, sizeof number);
        text += QString::fromLatin1(number) + ' ' + flightgear::unitName(field.unit);
        for (const InputControl id : field.inputs) {
            const flightgear::InputValue& v = last.inputs[static_cast<int>(id)];
            text += QString("  %1 %2%3").arg(inputControls[static_cast<int>(id)].caption).arg(v.position).arg(v.held ? " (held at its end)" : "");
        }
        text += '\n';
    }
    if (packet.fieldCount != static_cast<int>(map.fields.size()))
        text += QString("The packet has %1 fields, the map %2\n").arg(packet.fieldCount).arg(map.fields.size());
    values->setPlainText(text);
}

void FlightSimTab::setStatus(const QString& text)
{
    statusText = text;
    statusLine->setText(text);
}

void FlightSimTab::silent()
{
    if (listening()) setStatus(QString("Listening on %1:%2: no data").arg(listenAddress.toString()).arg(listenPort));
}

// The "Flight simulator" tab: UDP packets move the bars as typed values would, a value beyond a
// bar is held and marked, silence shows "no data", a busy port is named, and packets from another
// computer are ignored until allowed.
#include <QNetworkInterface>
#include <QPlainTextEdit>
#include <QUdpSocket>
#include <QtTest>

#include "device_readings.h"
#include "host/flight_sim_tab.h"
#include "host/input_bar.h"
#include "host/inputs_tab.h"

namespace {

// A port nobody listens on just now.
quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

int typedPosition(InputControl id, int32_t reading)
{
    int32_t position = -1;
    inputPositionForReading(id, reading, position);
    return position;
}

}  // namespace

class FlightSimTabTest : public QObject {
    Q_OBJECT

private slots:
    void packetsMoveTheBarsUntilSilence()
    {
        InputsTab inputs;
        FlightSimTab link(&inputs);
        link.show();  // the values list is written while it can be seen
        const quint16 port = freePort();
        QVERIFY(link.setAddress(QString::number(port)));
        QCOMPARE(link.address(), QHostAddress(QHostAddress::LocalHost));
        link.setSilenceTimeout(300);
        QVERIFY(link.setListening(true));

        // A second listener on the port is refused and says why.
        InputsTab otherInputs;
        FlightSimTab other(&otherInputs);
        QVERIFY(other.setAddress(QString("127.0.0.1:%1").arg(port)));
        QVERIFY(!other.setListening(true));
        QVERIFY2(other.status().contains("busy"), qPrintable(other.status()));

        QUdpSocket sender;
        // time, RPM, MAP, EGT (degrees F); the rest of the packet missing.
        sender.writeDatagram("12.5,2400,,1500\n", QHostAddress::LocalHost, port);
        QTRY_COMPARE(inputs.scrollBar(InputControl::Rpm)->value(), typedPosition(InputControl::Rpm, 2400));
        QCOMPARE(inputs.scrollBar(InputControl::Tc1)->value(), typedPosition(InputControl::Tc1, 816));
        QCOMPARE(inputs.scrollBar(InputControl::Map)->value(), inputControls[static_cast<int>(InputControl::Map)].start);
        QVERIFY(link.status().endsWith("receiving"));
        QVERIFY(!link.held(InputControl::Rpm));
        QTRY_VERIFY(link.valuesView()->toPlainText().contains("/engines/engine[0]/mp-osi = absent"));

        sender.writeDatagram("13.0,1e308\n", QHostAddress::LocalHost, port);  // far beyond the RPM bar
        QTRY_VERIFY(link.held(InputControl::Rpm));
        // The bars follow at most twice a second.
        QTRY_COMPARE(inputs.scrollBar(InputControl::Rpm)->value(), typedPosition(InputControl::Rpm, 1000000000));
        QTRY_VERIFY(link.valuesView()->toPlainText().contains("(held at its end)"));
        QVERIFY(link.valuesView()->toPlainText().contains("/engines/engine[0]/rpm = 1e+308 rpm"));  // not 309 digits
        QCOMPARE(link.packetsUsed(), quint64{2});

        QTRY_VERIFY_WITH_TIMEOUT(link.status().endsWith("no data"), 2000);
        link.setListening(false);
        QVERIFY(other.setListening(true));  // the port is free again
    }

    void packetsFromAnotherComputerNeedLeave()
    {
        QHostAddress lan;
        for (const QHostAddress& a : QNetworkInterface::allAddresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) lan = a;
        if (lan.isNull()) QSKIP("no network address besides the loopback");
        InputsTab inputs;
        FlightSimTab link(&inputs);
        const quint16 port = freePort();
        QVERIFY(link.setAddress(QString("0.0.0.0:%1").arg(port)));
        QVERIFY(link.setListening(true));
        QUdpSocket sender;
        QVERIFY(sender.bind(lan, 0));
        sender.writeDatagram("1,2400\n", lan, port);
        QTRY_COMPARE(link.packetsIgnored(), quint64{1});
        QCOMPARE(link.packetsUsed(), quint64{0});
        link.setOthersAllowed(true);
        sender.writeDatagram("1,2400\n", lan, port);
        QTRY_COMPARE(link.packetsUsed(), quint64{1});
    }
};

QTEST_MAIN(FlightSimTabTest)
#include "test_flight_sim_tab.moc"

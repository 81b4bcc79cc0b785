// The GPS link as a user meets it: port and speed rules, a receiver on a pseudo-terminal feeding
// the communications window and the GPS values, unplugging, failures, and playback of a log.
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "device.h"
#include "gps/gps.h"
#include "gps/nmea.h"
#include "host/gps_link.h"
#include "host/gps_tab.h"
#include "host/key_area.h"
#include "host/main_window.h"
#include "links/nmea_log.h"
#include "host/pass_driver.h"
#include "host/serial_choice.h"
#include "ui/screen.h"

namespace {

QString logPath(const char* name) { return QString(CORVEX_SOURCE_DIR "/tests/data/nmea/") + name; }

// FlightGear's own NMEA output, recorded as it wrote it (each line ended by a bare LF).
const QString kFlightGearCapture = CORVEX_SOURCE_DIR "/tests/data/flightgear/c172p-nmea.txt";

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Ports nothing listens on now (the system's choice for a socket bound to port 0).
int freeUdpPort()
{
    QUdpSocket socket;
    return socket.bind(QHostAddress::LocalHost, 0) ? socket.localPort() : 0;
}

int freeTcpPort()
{
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

// The sentence lines of a log, as written ("$...*hh"), without line ends.
QStringList logSentences(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.startsWith('$')) lines << line;
    }
    return lines;
}

// What the communications window shows for a sentence line, computed here on its own: the whole
// sentence from "$" to its two checksum characters when the checksum agrees, else nothing.
QString acceptedText(const QString& line)
{
    const int star = line.indexOf('*');
    if (!line.startsWith('$') || star < 0) return {};
    uint8_t sum = 0;
    for (int i = 1; i < star; ++i) sum ^= static_cast<uint8_t>(line[i].toLatin1());
    bool ok = false;
    const uint checksum = line.mid(star + 1, 2).toUInt(&ok, 16);
    return ok && checksum == sum ? line.left(star + 3) : QString();
}

QStringList acceptedTexts(const QStringList& lines)
{
    QStringList texts;
    for (const QString& line : lines)
        if (const QString text = acceptedText(line); !text.isEmpty()) texts << text;
    return texts;
}

QString withChecksum(const QString& body)
{
    uint8_t sum = 0;
    for (const QChar c : body) sum ^= static_cast<uint8_t>(c.toLatin1());
    return QString("$%1*%2").arg(body, QString("%1").arg(sum, 2, 16, QChar('0')).toUpper());
}

QStringList memoLines(GpsTab* tab)
{
    const QString text = tab->memo()->toPlainText();
    return text.isEmpty() ? QStringList{} : text.split('\n');
}

QString lastMemoLine(GpsTab* tab)
{
    const QStringList lines = memoLines(tab);
    return lines.isEmpty() ? QString() : lines.last();
}

// ddmm.mmmm and its hemisphere as degrees, north and east positive.
double degrees(const QString& field, const QString& hemisphere)
{
    const double x = field.toDouble();
    const double d = std::trunc(x / 100);
    const double value = d + (x - 100 * d) / 60;
    return hemisphere == "S" || hemisphere == "W" ? -value : value;
}

QStringList lastOf(const QStringList& lines, const QString& address)
{
    for (qsizetype i = lines.size() - 1; i >= 0; --i)
        if (lines[i].startsWith(address + ",")) return lines[i].section('*', 0, 0).split(',');
    return {};
}

struct ExpectedSatellite {
    int prn, elevation, azimuth, snr;
};

// The satellites of the log's last complete GSV group (at most the table's 16), with the count in
// view that group gives.
QList<ExpectedSatellite> lastSatelliteGroup(const QStringList& lines, int& inView)
{
    QList<QStringList> group;
    for (const QString& line : lines) {
        if (!line.startsWith("$GPGSV,")) continue;
        const QStringList f = line.section('*', 0, 0).split(',');
        if (f[2] == "1") group.clear();
        group << f;
    }
    QList<ExpectedSatellite> satellites;
    inView = group.isEmpty() ? 0 : group[0][3].toInt();
    for (const QStringList& f : group)
        for (int i = 4; i + 3 < f.size() && satellites.size() < 16; i += 4)
            satellites << ExpectedSatellite{f[i].toInt(), f[i + 1].toInt(), f[i + 2].toInt(), f[i + 3].toInt()};
    return satellites;
}

// A pseudo-terminal standing in for a receiver: the test writes into the master, the window opens
// the slave by its path.
struct FakeReceiver {
    int master = -1;
    int slave = -1;
    QString path;

    bool open()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return false;
        termios raw {};
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        path = QString::fromLatin1(name);
        return true;
    }
    // After the window has opened the slave, the test's own copy is let go, so that the slave's
    // last close (the window's) is seen at the master.
    void releaseSlave()
    {
        if (slave >= 0) ::close(slave);
        slave = -1;
    }
    // Writes everything, waiting (with events running) while the terminal's buffer is full.
    bool write(const QByteArray& bytes)
    {
        qsizetype done = 0;
        QElapsedTimer clock;
        clock.start();
        while (done < bytes.size()) {
            const ssize_t n = ::write(master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
            if (clock.elapsed() > 20000) return false;
            QTest::qWait(2);
        }
        return true;
    }
    bool writeLine(const QString& line) { return write(line.toLatin1() + "\r\n"); }
    // Unplugging: the master end goes away.
    void unplug()
    {
        if (master >= 0) ::close(master);
        master = -1;
    }
    // True while some process still holds the slave open (reads at the master then wait for data
    // instead of failing).
    bool slaveHeldOpen() const
    {
        char byte;
        const ssize_t n = ::read(master, &byte, 1);
        return n >= 0 || errno == EAGAIN;
    }
    ~FakeReceiver()
    {
        releaseSlave();
        unplug();
    }
};

}  // namespace

class GpsLinkTest : public QObject {
    Q_OBJECT

    TfrmMain* window = nullptr;
    GpsTab* tab = nullptr;
    QTemporaryDir settingsFolder;

    QComboBox* portBox() const { return tab->findChild<QComboBox*>("ComboBox1"); }
    QComboBox* speedBox() const { return tab->findChild<QComboBox*>("ComboBox2"); }
    QPushButton* button(const char* name) const { return tab->findChild<QPushButton*>(name); }
    QMessageBox* failureBox() const { return tab->findChild<QMessageBox*>("GpsLinkFailure"); }

    void connectTo(const QString& text, const QString& speed = "4800")
    {
        portBox()->setEditText(text);
        speedBox()->setEditText(speed);
        QTest::mouseClick(button("Button5"), Qt::LeftButton);
    }

    // Picks a network source from the port box's list, gives its address and clicks "&Connect".
    void connectSource(const QString& source, const QString& address)
    {
        portBox()->setCurrentIndex(portBox()->findText(source));
        QCOMPARE(portBox()->currentText(), source);
        speedBox()->setEditText(address);
        QTest::mouseClick(button("Button5"), Qt::LeftButton);
    }

    void skipNotices()
    {
        QTest::mouseClick(window->findChild<KeyArea*>("Image8"), Qt::LeftButton);
        QTRY_COMPARE(devicePhase, DevicePhase::ExpiryNotice);
        QTest::mouseClick(window->findChild<KeyArea*>("Image8"), Qt::LeftButton);
        QTRY_COMPARE(devicePhase, DevicePhase::Running);
    }

    QString writeLogFile(const QTemporaryDir& dir, const QStringList& lines)
    {
        const QString path = dir.filePath("short.log");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write("# a short log for the playback tests\n");
        for (const QString& line : lines) file.write(line.toLatin1() + "\r\n");
        return path;
    }

private slots:
    void initTestCase()
    {
        // The window's remembered choices go to a folder of this run's own, empty for each test.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        QCoreApplication::setOrganizationName("CorvexGpsLinkTests");
    }

    void init()
    {
        QSettings().clear();
        resetNmeaReceiver();
        resetGpsValues();
        pendingKey = KeyNone;
        window = new TfrmMain;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
        tab = window->gps();
        QVERIFY(tab);
    }

    void cleanup()
    {
        if (QMessageBox* box = failureBox()) box->close();
        window->close();
        QVERIFY(!tab->link()->readerRunning());
        delete window;
        window = nullptr;
        tab = nullptr;
        devicePowerOff();
        while (devicePass()) {
        }
    }

    void tabFollowsTheLayoutTable()
    {
        auto* tabs = window->findChild<QTabWidget*>("PageControl1");
        QCOMPARE(tabs->widget(1), static_cast<QWidget*>(tab));
        QCOMPARE(tabs->tabText(1), QString("GPS (NMEA Protocol)"));
        QStringList captions;
        for (const QGroupBox* group : tab->findChildren<QGroupBox*>()) captions << group->title();
        QVERIFY(captions.contains(" Communication Settings "));
        QVERIFY(captions.contains(" Communications Window "));
        auto* settings = portBox()->parentWidget();
        QCOMPARE(settings->geometry(), QRect(0, 8, 505, 97));
        QCOMPARE(portBox()->geometry().topLeft(), QPoint(96, 24));
        QCOMPARE(portBox()->width(), 145);
        QCOMPARE(speedBox()->geometry().topLeft(), QPoint(96, 56));
        QCOMPARE(button("Button5")->text(), QString("&Connect"));
        QCOMPARE(button("Button5")->geometry(), QRect(272, 24, 89, 49));
        QCOMPARE(button("Button12")->text(), QString("&Disconnect"));
        QCOMPARE(button("Button12")->geometry(), QRect(384, 24, 89, 49));
        QCOMPARE(portBox()->currentText(), QString("COM1"));
        QCOMPARE(speedBox()->currentText(), QString("9600"));
        const QStringList ports{"COM 1 (/dev/ttyS0)", "COM 2 (/dev/ttyS1)", "COM 3 (/dev/ttyS2)", "COM 4 (/dev/ttyS3)"};
        for (int i = 0; i < 4; ++i) QCOMPARE(portBox()->itemText(i), ports[i]);
        const int last = portBox()->count() - 1;
        for (int i = 4; i < last - 1; ++i) QVERIFY(portBox()->itemText(i).startsWith("/dev/"));
        QCOMPARE(portBox()->itemText(last - 1), QString("FlightGear NMEA (UDP)"));
        QCOMPARE(portBox()->itemText(last), QString("gpsd"));
        QVERIFY(portBox()->itemData(last, Qt::ToolTipRole).toString().contains("bare LF") ||
                portBox()->itemData(last, Qt::ToolTipRole).toString().contains("line feed without"));
        QStringList speeds;
        for (int i = 0; i < speedBox()->count(); ++i) speeds << speedBox()->itemText(i);
        QCOMPARE(speeds, QStringList({"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}));
        QCOMPARE(tab->memo()->objectName(), QString("Memo1"));
        QCOMPARE(tab->memo()->maximumBlockCount(), 2000);
        QVERIFY(tab->memo()->isReadOnly());
        QCOMPARE(tab->link()->state(), GpsLink::State::Disconnected);
        QVERIFY(!tab->link()->readerRunning());  // the thread starts with the first command
    }

    void portAndSpeedRules_data()
    {
        QTest::addColumn<QString>("portText");
        QTest::addColumn<QString>("speedText");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("baudRate");
        QTest::newRow("initial texts") << "COM1" << "9600" << "/dev/ttyS0" << 9600;
        QTest::newRow("COM 1") << "COM 1" << "1200" << "/dev/ttyS0" << 1200;
        QTest::newRow("COM2") << "COM2" << "2400" << "/dev/ttyS1" << 2400;
        QTest::newRow("COM 2") << "COM 2" << "4800" << "/dev/ttyS1" << 4800;
        QTest::newRow("COM 3") << "COM 3" << "19200" << "/dev/ttyS2" << 19200;
        QTest::newRow("COM3") << "COM3" << "38400" << "/dev/ttyS2" << 38400;
        QTest::newRow("COM 4") << "COM 4" << "57600" << "/dev/ttyS3" << 57600;
        QTest::newRow("COM4") << "COM4" << "115200" << "/dev/ttyS3" << 115200;
        QTest::newRow("unlisted speed") << "COM 3" << "14400" << "/dev/ttyS2" << 115200;
        QTest::newRow("COM5 is COM4") << "COM5" << "300" << "/dev/ttyS3" << 115200;
        QTest::newRow("COM 0 is COM4") << "COM 0" << "" << "/dev/ttyS3" << 115200;
        QTest::newRow("lower case is COM4") << "com1" << "9600 " << "/dev/ttyS3" << 115200;
        QTest::newRow("two blanks is COM4") << "COM  1" << "4800.0" << "/dev/ttyS3" << 115200;
        QTest::newRow("empty") << "" << "96OO" << "/dev/ttyS3" << 115200;
        QTest::newRow("device path") << "/dev/ttyUSB0" << "4800" << "/dev/ttyUSB0" << 4800;
        QTest::newRow("by-id path") << "/dev/serial/by-id/usb-GPS_Receiver-if00" << "9600"
                                    << "/dev/serial/by-id/usb-GPS_Receiver-if00" << 9600;
        QTest::newRow("relative path is COM4") << "dev/ttyUSB0" << "57600" << "/dev/ttyS3" << 57600;
    }

    void portAndSpeedRules()
    {
        QFETCH(QString, portText);
        QFETCH(QString, speedText);
        QFETCH(QString, device);
        QFETCH(int, baudRate);
        portBox()->setEditText(portText);
        speedBox()->setEditText(speedText);
        QCOMPARE(tab->chosenDevice(), device);
        QCOMPARE(tab->chosenBaudRate(), baudRate);
        QCOMPARE(serialDeviceForPortText(portText), device);
        QCOMPARE(baudRateForSpeedText(speedText), baudRate);
    }

    void choosingFromTheListsSelectsThatPortAndSpeed()
    {
        portBox()->setCurrentIndex(2);
        QCOMPARE(portBox()->currentText(), QString("COM 3 (/dev/ttyS2)"));
        QCOMPARE(comPortNumber(portBox()->currentText()), 3);
        QCOMPARE(tab->chosenDevice(), QString("/dev/ttyS2"));
        speedBox()->setCurrentIndex(2);
        QCOMPARE(tab->chosenBaudRate(), 4800);
        speedBox()->setCurrentIndex(7);
        QCOMPARE(tab->chosenBaudRate(), 115200);
    }

    void logSplitsIntoFixEpochs()
    {
        // Epochs start at RMC; what comes before the first RMC is an epoch of its own; comments,
        // blank lines and junk are left out; LF-only lines get CR LF.
        const std::vector<NmeaEpoch> epochs = splitNmeaLog("# header\n$GPGGA,1*00\n\n$GPRMC,1*00\r\n$GPGSV,1*00\n"
                                                           "junk\n  $GNRMC,2*00\n$PGRME,3*00\n$GPGGA,2*00");
        QCOMPARE(epochs.size(), size_t{3});
        QCOMPARE(epochs[0], NmeaEpoch({"$GPGGA,1*00\r\n"}));
        QCOMPARE(epochs[1], NmeaEpoch({"$GPRMC,1*00\r\n", "$GPGSV,1*00\r\n"}));
        QCOMPARE(epochs[2], NmeaEpoch({"$GNRMC,2*00\r\n", "$PGRME,3*00\r\n", "$GPGGA,2*00\r\n"}));
        // Without RMC, GGA starts the epochs.
        const std::vector<NmeaEpoch> gga = splitNmeaLog("$GPGGA,1*00\n$GPGSA,1*00\n$GPGGA,2*00\n$GPGSV,2*00\n");
        QCOMPARE(gga.size(), size_t{2});
        QCOMPARE(gga[1], NmeaEpoch({"$GPGGA,2*00\r\n", "$GPGSV,2*00\r\n"}));
        // Neither: a sentence a second.
        QCOMPARE(splitNmeaLog("$GPGSV,1*00\n$GPGSV,2*00\n").size(), size_t{2});
        QVERIFY(splitNmeaLog("# nothing but comments\n\n").empty());
        QCOMPARE(nmeaSentenceType("$GPRMC,1"), std::string_view("RMC"));
        QCOMPARE(nmeaSentenceType("$PSTI,030"), std::string_view());

        // The real logs: one epoch per RMC, plus the sentences before the first one.
        for (const char* name : {"skytraq-fix.log", "quectel.log"}) {
            const QStringList lines = logSentences(logPath(name));
            QVERIFY2(!lines.isEmpty(), name);
            QFile file(logPath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray text = file.readAll();
            const std::vector<NmeaEpoch> log = splitNmeaLog(std::string_view(text.constData(), size_t(text.size())));
            const qsizetype rmc = lines.filter(QRegularExpression("^\\$..RMC,")).size();
            QCOMPARE(qsizetype(log.size()), rmc + (lines[0].mid(3, 3) == "RMC" ? 0 : 1));
            size_t sentences = 0;
            for (const NmeaEpoch& epoch : log) sentences += epoch.size();
            QCOMPARE(qsizetype(sentences), lines.size());
            QVERIFY(QString::fromStdString(log[1][0]).startsWith("$GPRMC,"));
        }
    }

    void receiverOnAPseudoTerminalFeedsTheWindowAndTheInstrument()
    {
        FakeReceiver receiver;
        QVERIFY(receiver.open());
        connectTo(receiver.path);
        QCOMPARE(tab->link()->state(), GpsLink::State::Connected);
        QVERIFY(!failureBox());
        QCOMPARE(tab->status(), QString("Connected to %1 at 4800 bit/s").arg(receiver.path));
        receiver.releaseSlave();

        // One sentence at a time, with the main loop's GPS step after each, as a receiver at 4800
        // bit/s delivers them: every one is shown and every wanted one is processed.
        const QStringList lines = logSentences(logPath("skytraq-fix.log"));
        QVERIFY(lines.size() > 90);
        QStringList shown;
        for (const QString& line : lines) {
            QVERIFY(receiver.writeLine(line));
            if (const QString text = acceptedText(line); !text.isEmpty()) shown << text;
            QTRY_COMPARE(memoLines(tab).size(), shown.size());
            runPendingGpsHandlers();
        }
        QCOMPARE(memoLines(tab), shown);
        QCOMPARE(shown, acceptedTexts(lines));
        QCOMPARE(shown.size(), lines.size());  // every checksum in this log is right

        const QStringList rmc = lastOf(lines, "$GPRMC");
        QVERIFY(std::fabs(gpsLatitude - degrees(rmc[3], rmc[4])) < 2e-5);
        QVERIFY(std::fabs(gpsLongitude - degrees(rmc[5], rmc[6])) < 2e-5);
        QVERIFY(std::fabs(gpsLatitude - 44.06873) < 1e-4);
        QVERIFY(gpsLongitude < -121.3);
        QCOMPARE(gpsTrack, int16_t(159));
        const QStringList gga = lastOf(lines, "$GPGGA");
        QCOMPARE(gpsAltitudeMetres, int32_t(gga[9].toDouble()));
        QCOMPARE(gpsSatellitesUsed, uint8_t(gga[7].toInt()));
        const QStringList gsa = lastOf(lines, "$GPGSA");
        QCOMPARE(gpsFixType, uint8_t(3));
        QCOMPARE(gpsFixValid, uint8_t(1));
        QCOMPARE(gpsUsedPrn[0], uint8_t(gsa[3].toInt()));
        QCOMPARE(gpsPdop, gsa[15].toFloat());
        int inView = 0;
        const QList<ExpectedSatellite> satellites = lastSatelliteGroup(lines, inView);
        QCOMPARE(inView, 14);
        QCOMPARE(gpsSatellitesInView, uint8_t(inView));
        QCOMPARE(satellites.size(), 14);
        for (int i = 0; i < satellites.size(); ++i) {
            QCOMPARE(gpsSatellites[i].prn, uint8_t(satellites[i].prn));
            QCOMPARE(gpsSatellites[i].elevation, uint8_t(satellites[i].elevation));
            QCOMPARE(gpsSatellites[i].azimuth, uint16_t(satellites[i].azimuth));
            QCOMPARE(gpsSatellites[i].snr, uint8_t(satellites[i].snr));
        }
        QCOMPARE(std::atomic_ref<uint8_t>(gpsDataReceived).load(), uint8_t(1));
    }

    void aWholeLogAtOnceArrivesInOrder()
    {
        FakeReceiver receiver;
        QVERIFY(receiver.open());
        connectTo(receiver.path, "115200");
        QCOMPARE(tab->link()->state(), GpsLink::State::Connected);
        const QStringList lines = logSentences(logPath("quectel.log"));
        QByteArray bytes;
        for (const QString& line : lines) bytes += line.toLatin1() + "\r\n";
        QVERIFY(bytes.size() > 10000);  // more than one read's worth
        QVERIFY(receiver.write(bytes));
        const QStringList shown = acceptedTexts(lines);
        QTRY_COMPARE(memoLines(tab).size(), shown.size());
        QCOMPARE(memoLines(tab), shown);
        // A sentence split over several writes is still one sentence.
        const QString line = withChecksum("GPTXT,01,01,02,SPLIT SENTENCE");
        QVERIFY(receiver.write(line.left(7).toLatin1()));
        QTest::qWait(50);
        QVERIFY(receiver.write(line.mid(7).toLatin1() + "\r"));
        QTest::qWait(50);
        QVERIFY(receiver.write("\n"));
        QTRY_COMPARE(memoLines(tab).size(), shown.size() + 1);
        QCOMPARE(memoLines(tab).last(), line);
    }

    void theWindowKeepsTheLatest2000Lines()
    {
        FakeReceiver receiver;
        QVERIFY(receiver.open());
        connectTo(receiver.path, "115200");
        QByteArray bytes;
        for (int i = 0; i < 2300; ++i) bytes += withChecksum(QString("GPTXT,01,01,02,LINE %1").arg(i)).toLatin1() + "\r\n";
        QVERIFY(receiver.write(bytes));
        QTRY_COMPARE(lastMemoLine(tab), withChecksum("GPTXT,01,01,02,LINE 2299"));
        const QStringList shown = memoLines(tab);
        QCOMPARE(shown.size(), 2000);
        QCOMPARE(tab->memo()->blockCount(), 2000);
        QCOMPARE(shown.first(), withChecksum("GPTXT,01,01,02,LINE 300"));
    }

    void theRunningInstrumentTakesTheSentences()
    {
        // The instrument's own main loop, not the test, runs the handlers here.
        QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        skipNotices();
        FakeReceiver receiver;
        QVERIFY(receiver.open());
        connectTo(receiver.path);
        const QStringList lines = logSentences(logPath("skytraq-fix.log"));
        const QString rmcLine = lines.filter("$GPRMC,").last();
        const QStringList rmc = rmcLine.section('*', 0, 0).split(',');
        QVERIFY(receiver.writeLine(rmcLine));
        QTRY_VERIFY(std::fabs(gpsLatitude - degrees(rmc[3], rmc[4])) < 2e-5);
        QTRY_COMPARE(gpsFixValid, uint8_t(1));
        // A GSV group one message at a time, each taken before the next arrives.
        int inView = 0;
        const QList<ExpectedSatellite> satellites = lastSatelliteGroup(lines, inView);
        const QStringList gsv = lines.filter("$GPGSV,");
        for (int m = 0; m < 4; ++m) {
            QVERIFY(receiver.writeLine(gsv[gsv.size() - 4 + m]));
            QTRY_COMPARE(gpsSatellites[4 * m].prn, uint8_t(satellites[4 * m].prn));
        }
        QCOMPARE(gpsSatellitesInView, uint8_t(14));
        QCOMPARE(gpsSatellites[13].prn, uint8_t(satellites[13].prn));
        QTRY_COMPARE(memoLines(tab).size(), 5);  // the window may show them after the instrument took them
    }

    void unpluggingTheReceiverEndsTheLinkCleanly()
    {
        FakeReceiver receiver;
        QVERIFY(receiver.open());
        connectTo(receiver.path);
        QCOMPARE(tab->link()->state(), GpsLink::State::Connected);
        receiver.releaseSlave();
        QVERIFY(receiver.writeLine(withChecksum("GPTXT,01,01,02,BEFORE")));
        QTRY_COMPARE(memoLines(tab).size(), 1);
        QVERIFY(receiver.write("$GPTXT,01,01,02,CUT OFF BY THE UNPLUGGING"));
        QTest::qWait(50);
        receiver.unplug();
        QTRY_COMPARE(tab->link()->state(), GpsLink::State::Disconnected);
        QTRY_VERIFY(tab->status().startsWith("Disconnected: the receiver's port failed"));
        QVERIFY(!failureBox());
        QVERIFY(tab->link()->readerRunning());
        QCOMPARE(memoLines(tab).size(), 1);

        // The link works again with another receiver, from its first sentence on.
        FakeReceiver second;
        QVERIFY(second.open());
        connectTo(second.path);
        QCOMPARE(tab->link()->state(), GpsLink::State::Connected);
        QCOMPARE(tab->link()->portOpens(), 2);
        QVERIFY(second.writeLine(withChecksum("GPTXT,01,01,02,AFTER")));
        QTRY_COMPARE(memoLines(tab).size(), 2);
        QTest::mouseClick(button("Button12"), Qt::LeftButton);
        QCOMPARE(tab->link()->state(), GpsLink::State::Disconnected);
        QCOMPARE(tab->status(), QString("Disconnected"));
    }

    // Random bytes at 115200 baud with a good sentence now and then, the receiver unplugged and
    // plugged back every few seconds: the link ends and opens again each time, the memo keeps its
    // 2000 lines and the process does not grow. CORVEX_SERIAL_SOAK_SECONDS sets the length (past
    // five minutes, raise QTEST_FUNCTION_TIMEOUT too, in milliseconds).
    void soakRandomBytesWithUnplugs()
    {
        const int seconds = qEnvironmentVariableIsSet("CORVEX_SERIAL_SOAK_SECONDS")
                                ? qEnvironmentVariableIntValue("CORVEX_SERIAL_SOAK_SECONDS")
                                : 4;
        const auto residentBytes = [] {
            QFile statm("/proc/self/statm");
            if (!statm.open(QIODevice::ReadOnly)) return 0LL;
            return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
        };
        quint32 state = 20261207;
        const auto random = [&state] { return state = state * 1664525u + 1013904223u; };
        QElapsedTimer clock;
        clock.start();
        long long baseline = 0;
        int cycles = 0;
        while (clock.elapsed() < seconds * 1000LL) {
            FakeReceiver receiver;
            QVERIFY(receiver.open());
            connectTo(receiver.path, "115200");
            QCOMPARE(tab->link()->state(), GpsLink::State::Connected);
            receiver.releaseSlave();
            const int plugged = 1000 + static_cast<int>(random() % 3000);  // 1 to 4 s
            QElapsedTimer stretch;
            stretch.start();
            while (stretch.elapsed() < plugged) {
                QByteArray chunk(1152, '\0');  // a tenth of a second at 115200 baud
                for (char& c : chunk) c = static_cast<char>(random() >> 24);
                const QByteArray good = withChecksum(QString("GPTXT,01,01,02,SOAK %1").arg(random() % 1000)).toLatin1();
                chunk.replace(static_cast<int>(random() % 1000), good.size(), good + "\r\n");
                QVERIFY(receiver.write(chunk));
                QTest::qWait(100);
            }
            receiver.unplug();
            QTRY_COMPARE(tab->link()->state(), GpsLink::State::Disconnected);
            if (++cycles == 1) baseline = residentBytes();
        }
        QVERIFY(tab->memo()->document()->blockCount() <= 2000);
        const long long growth = residentBytes() - baseline;
        qInfo("serial soak: %d plug cycles in %lld s, memo %d lines, resident growth %lld KiB", cycles,
              clock.elapsed() / 1000, tab->memo()->document()->blockCount(), growth / 1024);
        QVERIFY2(growth < 32LL << 20, "the process grew by more than 32 MiB");
    }

    void connectTwiceDoesNotReopen()
    {
        FakeReceiver receiver;
        QVERIFY(receiver.open());
        connectTo(receiver.path);
        QCOMPARE(tab->link()->portOpens(), 1);
        receiver.releaseSlave();
        // Half a sentence before the second click, the rest after it: one sentence.
        const QString line = withChecksum("GPTXT,01,01,02,ACROSS THE SECOND CLICK");
        QVERIFY(receiver.write(line.left(12).toLatin1()));
        QTest::qWait(30);
        QTest::mouseClick(button("Button5"), Qt::LeftButton);
        QCOMPARE(tab->link()->portOpens(), 1);
        QCOMPARE(tab->link()->state(), GpsLink::State::Connected);
        QVERIFY(receiver.write(line.mid(12).toLatin1() + "\r\n"));
        QTRY_COMPARE(memoLines(tab), QStringList({line}));
        // Even with the boxes changed: the open port stays as it is.
        connectTo("COM 3", "1200");
        QCOMPARE(tab->link()->portOpens(), 1);
        QVERIFY(!failureBox());
        // "&Disconnect" closes it (the slave's last holder lets go) and "&Connect" opens it anew.
        QTest::mouseClick(button("Button12"), Qt::LeftButton);
        QTRY_VERIFY(!receiver.slaveHeldOpen());
        connectTo(receiver.path);
        QCOMPARE(tab->link()->portOpens(), 2);
        QVERIFY(receiver.slaveHeldOpen());
    }

    void aPortThatCannotBeOpenedSaysWhy()
    {
        const QString missing = "/dev/no-such-gps-receiver";
        connectTo(missing);
        QCOMPARE(tab->link()->state(), GpsLink::State::Disconnected);
        QCOMPARE(tab->link()->portOpens(), 0);
        QMessageBox* box = failureBox();
        QVERIFY(box);
        QTRY_VERIFY(box->isVisible());
        QVERIFY2(box->text().contains(missing), qPrintable(box->text()));
        QVERIFY2(box->text().contains("No such file or directory"), qPrintable(box->text()));
        QVERIFY(!box->text().contains("group"));
        QVERIFY(tab->status().startsWith("Disconnected"));
        box->close();
        QTRY_VERIFY(!failureBox());

        // Access denied: the text names the group that owns the device.
        FakeReceiver receiver;
        QVERIFY(receiver.open());
        const QString group = QFileInfo(receiver.path).group();
        QVERIFY(!group.isEmpty());
        QCOMPARE(deviceGroupName(receiver.path), group);
        const QString denied = portOpenFailureText(receiver.path, "Permission denied", true);
        QVERIFY(denied.contains(receiver.path));
        QVERIFY(denied.contains("Permission denied"));
        QVERIFY(denied.contains(QString("group \"%1\"").arg(group)));
        QVERIFY(!portOpenFailureText(receiver.path, "Device or resource busy", false).contains("group"));
        if (geteuid() == 0) return;  // the superuser is never refused
        QCOMPARE(::chmod(receiver.path.toLatin1().constData(), 0), 0);
        QVERIFY(devicePermissionDenied(receiver.path));
        connectTo(receiver.path);
        QCOMPARE(tab->link()->state(), GpsLink::State::Disconnected);
        QVERIFY(failureBox());
        QVERIFY2(failureBox()->text().contains(QString("group \"%1\"").arg(group)), qPrintable(failureBox()->text()));
    }

    void playbackRunsAtTheRecordedPaceThroughTheInstrument()
    {
        // The first six fixes of a log with satellites, one epoch per 200 ms, while the main
        // loop's GPS step runs every 2 ms. Only what holds however the threads are scheduled is
        // checked: a late reader or a busy window thread can only make a sentence later (or, for
        // the instrument, drop one whose type is still parked), never earlier.
        const QStringList all = logSentences(logPath("quectel.log"));
        QStringList lines;
        int rmcSeen = 0;
        for (const QString& line : all) {
            if (line.startsWith("$GPRMC,") && ++rmcSeen == 7) break;
            lines << line;
        }
        QVERIFY(!lines[0].startsWith("$GPRMC,"));  // so the sentences before the first RMC are epoch 0
        QTemporaryDir dir;
        const QString path = writeLogFile(dir, lines);
        QVERIFY(!path.isEmpty());
        const int epochs = 7;  // six RMC epochs and the sentences before the first

        QTimer gpsStep;
        connect(&gpsStep, &QTimer::timeout, [] { runPendingGpsHandlers(); });
        gpsStep.start(2);
        constexpr int kEpochMs = 200;
        QElapsedTimer clock;  // started before the playback's own clock
        QList<qint64> arrivals;  // when each accepted sentence reached the window thread
        const QMetaObject::Connection arrival =
            connect(tab->link(), &GpsLink::sentencesAccepted, this, [&](const QStringList& sentences) {
                for (qsizetype i = 0; i < sentences.size(); ++i) arrivals << clock.elapsed();
            });
        clock.start();
        QVERIFY(tab->playFile(path, kEpochMs));
        QVERIFY(tab->status().startsWith("Playing short.log"));
        // The end shows in the status once the last sentences are in the communications window.
        QTRY_VERIFY_WITH_TIMEOUT(tab->status().contains("end of the recorded log"), 20000);
        const qint64 took = clock.elapsed();
        disconnect(arrival);
        QCOMPARE(tab->link()->state(), GpsLink::State::Disconnected);
        QVERIFY2(took >= (epochs - 1) * kEpochMs, qPrintable(QString::number(took)));
        QCOMPARE(memoLines(tab), acceptedTexts(lines));
        // The counters say what the receiver made of the bytes.
        const NmeaCounters counted = tab->link()->counters();
        QCOMPARE(counted.accepted, static_cast<uint64_t>(acceptedTexts(lines).size()));
        QVERIFY(counted.bytes > 0);
        QTRY_VERIFY(tab->countersLabel()->toolTip().startsWith(QString("%1 bytes, %2 sentences accepted")
                                                                   .arg(counted.bytes).arg(counted.accepted)));

        // At the recorded pace: no epoch starts before its time, and its sentences are spread over
        // it (the last of several comes half an epoch or more after the epoch's start).
        QCOMPARE(arrivals.size(), acceptedTexts(lines).size());
        int epoch = 0, inEpoch = 0;
        qsizetype arrived = 0;
        qint64 first = -1, last = -1;
        QString early;  // the first epoch found early, if any
        auto checkEpoch = [&] {
            const qint64 start = qint64(epoch) * kEpochMs;
            const bool tooEarly = first < start || (inEpoch > 1 && last < start + kEpochMs / 2);
            if (early.isEmpty() && inEpoch > 0 && tooEarly)
                early = QString("epoch %1 (%2 sentences) from %3 to %4 ms").arg(epoch).arg(inEpoch).arg(first).arg(last);
        };
        for (const QString& line : lines) {
            if (line.startsWith("$GPRMC,")) {
                checkEpoch();
                ++epoch;
                inEpoch = 0;
            }
            if (acceptedText(line).isEmpty()) continue;
            const qint64 at = arrivals[arrived++];
            if (inEpoch++ == 0) first = at;
            last = at;
        }
        checkEpoch();
        QVERIFY2(early.isEmpty(), qPrintable(early));
        QCOMPARE(epoch + 1, epochs);

        // Through the instrument: the first sentence of each type found its slot free, so each
        // type was taken at least once, and whatever the handlers took came from the log.
        runPendingGpsHandlers();
        bool position = false, altitude = false, inView = false;
        for (const QString& line : lines) {
            const QStringList f = line.section('*', 0, 0).split(',');
            if (f[0] == "$GPRMC")
                position |= std::fabs(gpsLatitude - degrees(f[3], f[4])) < 2e-5 &&
                            std::fabs(gpsLongitude - degrees(f[5], f[6])) < 2e-5;
            if (f[0] == "$GPGGA") altitude |= gpsAltitudeMetres == int32_t(f[9].toDouble());
            if (f[0] == "$GPGSV") inView |= gpsSatellitesInView == f[3].toInt();
        }
        QVERIFY2(position, qPrintable(QString("%1 %2").arg(gpsLatitude).arg(gpsLongitude)));
        QVERIFY2(altitude, qPrintable(QString::number(gpsAltitudeMetres)));
        QVERIFY2(inView && gpsSatellitesInView > 0, qPrintable(QString::number(gpsSatellitesInView)));
        QVERIFY(gpsLatitude < -36.7);
        // Each satellite in the table stands where a GSV message of the log put it.
        for (int i = 0; i < 16; ++i) {
            if (gpsSatellites[i].prn == 0) continue;
            bool found = false;
            for (const QString& line : lines.filter("$GPGSV,")) {
                const QStringList f = line.section('*', 0, 0).split(',');
                const int slot = 4 + 4 * (i % 4);
                found |= f[2].toInt() == i / 4 + 1 && slot < f.size() && f[slot].toInt() == gpsSatellites[i].prn;
            }
            QVERIFY2(found, qPrintable(QString("satellite %1: PRN %2").arg(i).arg(gpsSatellites[i].prn)));
        }
    }

    void disconnectStopsThePlayback()
    {
        QVERIFY(tab->playFile(logPath("quectel.log"), 100));
        QTRY_VERIFY(memoLines(tab).size() > 10);
        QTest::mouseClick(button("Button12"), Qt::LeftButton);
        QCOMPARE(tab->link()->state(), GpsLink::State::Disconnected);
        QCOMPARE(tab->status(), QString("Disconnected"));
        const qsizetype stopped = memoLines(tab).size();
        QTest::qWait(300);
        QCOMPARE(memoLines(tab).size(), stopped);
        QVERIFY(stopped < logSentences(logPath("quectel.log")).size());
    }

    void connectWhilePlayingStopsThePlaybackAndOpensThePort()
    {
        FakeReceiver receiver;
        QVERIFY(receiver.open());
        QVERIFY(tab->playFile(logPath("quectel.log"), 100));
        QTRY_VERIFY(memoLines(tab).size() > 5);
        connectTo(receiver.path);
        QCOMPARE(tab->link()->state(), GpsLink::State::Connected);
        QCOMPARE(tab->link()->portOpens(), 1);
        tab->memo()->clear();
        QTest::qWait(300);
        QCOMPARE(memoLines(tab).size(), 0);
        QVERIFY(receiver.writeLine(withChecksum("GPTXT,01,01,02,FROM THE PORT")));
        QTRY_COMPARE(memoLines(tab), QStringList({withChecksum("GPTXT,01,01,02,FROM THE PORT")}));
        // And playing closes the port.
        receiver.releaseSlave();
        QVERIFY(tab->playFile(logPath("quectel.log"), 100));
        QCOMPARE(tab->link()->state(), GpsLink::State::Playing);
        QTRY_VERIFY(!receiver.slaveHeldOpen());
    }

    void aFileWithoutSentencesIsRefused()
    {
        QTemporaryDir dir;
        const QString path = writeLogFile(dir, {});
        QVERIFY(!tab->playFile(path));
        QVERIFY(failureBox());
        QVERIFY(failureBox()->text().contains("holds no NMEA sentences"));
        failureBox()->close();
        QTRY_VERIFY(!failureBox());
        QVERIFY(!tab->playFile(dir.filePath("missing.log")));
        QVERIFY(failureBox());
        QCOMPARE(tab->link()->state(), GpsLink::State::Disconnected);
    }

    void networkAddressRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("udpPort");  // 0: refused
        QTest::addColumn<QString>("gpsdHost");  // "": refused
        QTest::addColumn<int>("gpsdPort");
        QTest::newRow("defaults") << "5501" << 5501 << "5501" << 2947;
        QTest::newRow("host and port") << "gps.local:3000" << 0 << "gps.local" << 3000;
        QTest::newRow("port only") << " :65535 " << 0 << "localhost" << 65535;
        QTest::newRow("port 0, letters") << "0" << 0 << "0" << 2947;
        QTest::newRow("past the highest") << "host:65536" << 0 << "" << 0;
        QTest::newRow("empty") << "" << 0 << "" << 0;
    }

    void networkAddressRules()
    {
        QFETCH(QString, text);
        QFETCH(int, udpPort);
        QFETCH(QString, gpsdHost);
        QFETCH(int, gpsdPort);
        QCOMPARE(networkPortForText(text), udpPort);
        QString host;
        int port = 0;
        QCOMPARE(gpsdAddressForText(text, host, port), !gpsdHost.isEmpty());
        if (!gpsdHost.isEmpty()) QCOMPARE(QString("%1:%2").arg(host).arg(port), QString("%1:%2").arg(gpsdHost).arg(gpsdPort));
    }

    void networkSourcesAreRememberedBetweenRuns()
    {
        auto* label = tab->findChild<QLabel*>("SecondLabel");
        portBox()->setCurrentIndex(portBox()->findText("gpsd"));
        QCOMPARE(label->text(), QString("gpsd at:"));
        QCOMPARE(speedBox()->currentText(), QString("localhost:2947"));
        speedBox()->setEditText("gps.local:3000");
        portBox()->setCurrentIndex(portBox()->findText("FlightGear NMEA (UDP)"));
        QCOMPARE(label->text(), QString("UDP Port:"));
        QCOMPARE(speedBox()->currentText(), QString("5501"));
        speedBox()->setEditText("5600");
        portBox()->setEditText("COM2");
        QCOMPARE(label->text(), QString("Baud Rate:"));
        QCOMPARE(speedBox()->currentText(), QString("9600"));
        speedBox()->setEditText("4800");
        portBox()->setCurrentIndex(portBox()->findText("gpsd"));
        window->close();
        delete window;
        window = new TfrmMain;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        tab = window->gps();
        QCOMPARE(portBox()->currentText(), QString("gpsd"));
        QCOMPARE(speedBox()->currentText(), QString("gps.local:3000"));
        QCOMPARE(tab->chosenBaudRate(), 4800);
        portBox()->setCurrentIndex(portBox()->findText("FlightGear NMEA (UDP)"));
        QCOMPARE(speedBox()->currentText(), QString("5600"));
    }

    void flightGearNmeaOverUdpGivesTheGpsPageItsPosition()
    {
        const QByteArray capture = fileBytes(kFlightGearCapture);
        QVERIFY2(capture.contains("$GPRMC,") && !capture.contains('\r'), qPrintable(kFlightGearCapture));
        const QStringList lines = QString::fromLatin1(capture).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(qsizetype(capture.count('\n')), lines.size());
        // One datagram a fix, as FlightGear sends them.
        QList<QByteArray> datagrams;
        for (const QString& line : lines) {
            if (line.startsWith("$GPRMC,") || datagrams.isEmpty()) datagrams << QByteArray();
            datagrams.last() += line.toLatin1() + '\n';
        }
        const int port = freeUdpPort();
        connectSource("FlightGear NMEA (UDP)", QString::number(port));
        QCOMPARE(tab->link()->state(), GpsLink::State::Connected);
        QCOMPARE(tab->status(),
                 QString("Listening for FlightGear NMEA on UDP 127.0.0.1:%1; bare LF line ends repaired to CR LF").arg(port));
        QUdpSocket flightGear;
        QStringList shown;
        for (const QByteArray& datagram : datagrams) {
            QCOMPARE(flightGear.writeDatagram(datagram, QHostAddress::LocalHost, quint16(port)), qint64(datagram.size()));
            for (const QByteArray& line : datagram.split('\n'))
                if (const QString text = acceptedText(QString::fromLatin1(line)); !text.isEmpty()) shown << text;
            QTRY_COMPARE(memoLines(tab).size(), shown.size());
            runPendingGpsHandlers();
        }
        QCOMPARE(memoLines(tab), shown);
        QCOMPARE(shown.size(), lines.size());  // every sentence, with its line end repaired
        const QStringList rmc = lastOf(lines, "$GPRMC");
        QCOMPARE(gpsFixValid, uint8_t(1));
        QVERIFY(std::fabs(gpsLatitude - degrees(rmc[3], rmc[4])) < 2e-5);
        QVERIFY(std::fabs(gpsLongitude - degrees(rmc[5], rmc[6])) < 2e-5);
        // Near San Francisco International, where the flight began.
        QVERIFY2(std::fabs(gpsLatitude - 37.62) < 0.2 && std::fabs(gpsLongitude + 122.38) < 0.3,
                 qPrintable(QString("%1 %2").arg(gpsLatitude).arg(gpsLongitude)));
        const NmeaCounters counted = tab->link()->counters();
        QCOMPARE(counted.repairedLineEnds, uint64_t(lines.size()));
        QCOMPARE(counted.rejected(), uint64_t{0});
        QCOMPARE(counted.bytes, uint64_t(capture.size() + lines.size()));
        QTRY_VERIFY(tab->countersLabel()->toolTip().endsWith(QString("; %1 line ends repaired").arg(lines.size())));

        // The same bytes from a serial port: every sentence refused for its line end.
        FakeReceiver receiver;
        QVERIFY(receiver.open());
        connectTo(receiver.path);
        QCOMPARE(tab->status(), QString("Connected to %1 at 4800 bit/s").arg(receiver.path));
        QVERIFY(receiver.write(capture));
        QTRY_COMPARE(tab->link()->counters().bytes, uint64_t(capture.size()));
        QCOMPARE(tab->link()->counters().accepted, uint64_t{0});
        QCOMPARE(tab->link()->counters().badLineEnd, uint64_t(lines.size()));
        QCOMPARE(tab->link()->counters().repairedLineEnds, uint64_t{0});
    }

    void aBusyUdpPortIsReportedAndConnectTriesAgain()
    {
        QUdpSocket other;
        QVERIFY(other.bind(QHostAddress::LocalHost, 0));
        const int port = other.localPort();
        connectSource("FlightGear NMEA (UDP)", QString::number(port));
        QCOMPARE(tab->link()->state(), GpsLink::State::Disconnected);
        QCOMPARE(tab->status(), QString("Disconnected: UDP port %1 cannot be used").arg(port));
        QVERIFY(failureBox());
        QVERIFY2(failureBox()->text().contains(QString("UDP port %1 on 127.0.0.1 cannot be listened on").arg(port)),
                 qPrintable(failureBox()->text()));
        failureBox()->close();
        QTRY_VERIFY(!failureBox());
        other.close();
        QTest::mouseClick(button("Button5"), Qt::LeftButton);
        QCOMPARE(tab->link()->state(), GpsLink::State::Connected);
        QVERIFY(tab->status().startsWith("Listening for FlightGear NMEA"));
        QVERIFY(!failureBox());
    }

    // A real gpsd shares a receiver (a pseudo-terminal fed with a recorded log): asked for NMEA,
    // with its own reports left out, it gives the instrument each fix's position, as the serial
    // link does.
    void gpsdSharesAReceiverWithTheSamePositions()
    {
        QString program = QStandardPaths::findExecutable("gpsd");
        if (program.isEmpty()) program = QStandardPaths::findExecutable("gpsd", {"/usr/sbin", "/usr/local/sbin", "/sbin"});
        QVERIFY2(!program.isEmpty(), "gpsd is not installed (scripts/corvex installs it)");
        FakeReceiver receiver;
        QVERIFY(receiver.open());
        const int port = freeTcpPort();
        QProcess gpsd;
        gpsd.setProcessChannelMode(QProcess::MergedChannels);
        gpsd.start(program, {"-N", "-n", "-S", QString::number(port), receiver.path});
        QVERIFY(gpsd.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        for (bool listening = false; !listening; QTest::qWait(50)) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, quint16(port));
            listening = probe.waitForConnected(500);
            QVERIFY2(clock.elapsed() < 10000 && gpsd.state() == QProcess::Running, gpsd.readAll().constData());
        }
        connectSource("gpsd", QString("127.0.0.1:%1").arg(port));
        QTRY_VERIFY2(tab->status().startsWith("Connected to gpsd"), qPrintable(tab->status()));

        // gpsd first hunts for the receiver's speed and kind, dropping what it reads meanwhile: the
        // log is fed until gpsd passes on a sentence, and then fix by fix.
        const QStringList lines = logSentences(logPath("skytraq-fix.log"));
        clock.restart();
        for (qsizetype i = 0; memoLines(tab).isEmpty(); i = (i + 1) % lines.size()) {
            QVERIFY2(clock.elapsed() < 20000, gpsd.readAll().constData());
            QVERIFY(receiver.writeLine(lines[i]));
            QTest::qWait(10);
        }
        QTest::qWait(300);  // what gpsd still had of the feeding, then the handlers' slots free
        runPendingGpsHandlers();
        int compared = 0;
        for (const QString& line : lines) {
            QVERIFY(receiver.writeLine(line));
            if (!line.startsWith("$GPRMC,")) continue;
            QTRY_VERIFY2_WITH_TIMEOUT(lastMemoLine(tab) == acceptedText(line), qPrintable(line), 10000);
            runPendingGpsHandlers();
            const QStringList rmc = line.section('*', 0, 0).split(',');
            QVERIFY(std::fabs(gpsLatitude - degrees(rmc[3], rmc[4])) < 2e-5);
            QVERIFY(std::fabs(gpsLongitude - degrees(rmc[5], rmc[6])) < 2e-5);
            ++compared;
        }
        QCOMPARE(compared, 11);
        QCOMPARE(gpsFixValid, uint8_t(1));
        QVERIFY(tab->link()->counters().gpsdReports >= 3);  // the version, the devices and the watch
        QCOMPARE(tab->link()->counters().rejected(), uint64_t{0});

        // gpsd goes away: the link ends and says why; "&Connect" tries again, and says why not.
        gpsd.terminate();
        QVERIFY(gpsd.waitForFinished(5000));
        QTRY_VERIFY2(tab->status().startsWith(QString("Disconnected: gpsd at 127.0.0.1:%1: ").arg(port)), qPrintable(tab->status()));
        QTest::mouseClick(button("Button5"), Qt::LeftButton);
        QTRY_VERIFY2(tab->status().endsWith("Connection refused"), qPrintable(tab->status()));
        QCOMPARE(tab->link()->state(), GpsLink::State::Disconnected);
    }

    void closingTheWindowClosesThePortAndStopsTheReader()
    {
        FakeReceiver receiver;
        QVERIFY(receiver.open());
        connectTo(receiver.path);
        receiver.releaseSlave();
        QVERIFY(receiver.slaveHeldOpen());
        QVERIFY(tab->link()->readerRunning());
        // Sentences still streaming in while the window closes.
        QByteArray bytes;
        for (int i = 0; i < 200; ++i) bytes += withChecksum(QString("GPTXT,01,01,02,CLOSING %1").arg(i)).toLatin1() + "\r\n";
        QVERIFY(receiver.write(bytes));
        window->close();
        QVERIFY(!tab->link()->readerRunning());
        QCOMPARE(tab->link()->state(), GpsLink::State::Disconnected);
        QVERIFY(!receiver.slaveHeldOpen());
        QCoreApplication::processEvents();

        // The link starts its reader again when it is used after that.
        FakeReceiver second;
        QVERIFY(second.open());
        QVERIFY(tab->link()->openPort(second.path, 9600).opened);
        second.releaseSlave();
        QVERIFY(tab->link()->readerRunning());
        QVERIFY(second.writeLine(withChecksum("GPTXT,01,01,02,AGAIN")));
        QTRY_COMPARE(lastMemoLine(tab), withChecksum("GPTXT,01,01,02,AGAIN"));
        tab->shutdown();  // the window is closed already, so closing it again does nothing
        QVERIFY(!tab->link()->readerRunning());
        QVERIFY(!second.slaveHeldOpen());
    }
};

QTEST_MAIN(GpsLinkTest)
#include "test_gps_link.moc"

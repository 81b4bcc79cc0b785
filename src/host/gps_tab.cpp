// The GPS tab: the port and speed rules of "&Connect", the network sources, the communications
// window fed from the reader thread, and "Play NMEA file..." for users without a receiver.
#include "host/gps_tab.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "host/gps_link.h"
#include "links/nmea_log.h"
#include "host/serial_choice.h"
#include "storage/storage.h"

namespace {

QStringList speedItems() { return {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}; }

// The communications window keeps this many of the latest sentences.
constexpr int kMemoLines = 2000;

// The port box lists the devices present each time it is opened, so a receiver plugged in
// after start-up shows up; the text typed or chosen stays.
class PortComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    void refreshItems()
    {
        const QString text = currentText();
        const QSignalBlocker quiet(this);  // the text stays; only the list changes
        clear();
        addItems(portBoxItems());
        for (int i = 0; i < count(); ++i)
            if (const GpsSource source = gpsSourceForPortText(itemText(i)); source != GpsSource::Serial)
                setItemData(i, GpsTab::sourceDescription(source), Qt::ToolTipRole);
        setCurrentIndex(-1);
        setEditText(text);
    }
    void showPopup() override
    {
        refreshItems();
        QComboBox::showPopup();
    }
};

QLabel* makeLabel(const QString& caption, int left, int top, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

}  // namespace

GpsTab::GpsTab(QWidget* parent) : QWidget(parent)
{
    setObjectName("TabSheet2");
    gpsLink = new GpsLink(this);
    connect(gpsLink, &GpsLink::sentencesAccepted, this, &GpsTab::appendSentences);
    connect(gpsLink, &GpsLink::linkEnded, this, &GpsTab::linkEnded);
    connect(gpsLink, &GpsLink::linkEstablished, this, &GpsTab::gpsdEstablished);

    auto* settings = new QGroupBox(" Communication Settings ", this);
    settings->setObjectName("GroupBox1");
    settings->setGeometry(0, 8, 505, 97);
    makeLabel("Com Port:", 24, 32, settings);
    auto* ports = new PortComboBox(settings);
    ports->setObjectName("ComboBox1");
    ports->setEditable(true);
    ports->setInsertPolicy(QComboBox::NoInsert);
    ports->setGeometry(96, 24, 145, ports->sizeHint().height());
    ports->refreshItems();
    ports->setEditText("COM1");
    ComboBox1 = ports;

    SecondLabel = makeLabel("Baud Rate:", 24, 64, settings);
    SecondLabel->setObjectName("SecondLabel");
    ComboBox2 = new QComboBox(settings);
    ComboBox2->setObjectName("ComboBox2");
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    ComboBox2->addItems(speedItems());
    ComboBox2->setGeometry(96, 56, 145, ComboBox2->sizeHint().height());
    ComboBox2->setEditText("9600");
    secondTexts[int(GpsSource::FlightGearUdp)] = QString::number(kFlightGearNmeaPort);
    secondTexts[int(GpsSource::Gpsd)] = QString("localhost:%1").arg(kGpsdPort);
    connect(ComboBox1, &QComboBox::currentTextChanged, this, &GpsTab::sourceChosen);
    for (QComboBox* box : {ComboBox1, ComboBox2}) connect(box, &QComboBox::currentTextChanged, this, &GpsTab::settingsChanged);

    Button5 = new QPushButton("&Connect", settings);
    Button5->setObjectName("Button5");
    Button5->setGeometry(272, 24, 89, 49);
    Button12 = new QPushButton("&Disconnect", settings);
    Button12->setObjectName("Button12");
    Button12->setGeometry(384, 24, 89, 49);
    connect(Button5, &QPushButton::clicked, this, &GpsTab::Button5Click);
    connect(Button12, &QPushButton::clicked, this, &GpsTab::Button12Click);

    // Playback and the link's state sit in a row between the two groups.
    PlayButton = new QPushButton("Play NMEA file...", this);
    PlayButton->setObjectName("PlayButton");
    PlayButton->setGeometry(8, 112, 121, 25);
    connect(PlayButton, &QPushButton::clicked, this, &GpsTab::PlayButtonClick);
    LinkStatus = new QLabel(this);
    LinkStatus->setObjectName("LinkStatus");
    LinkStatus->setGeometry(140, 112, 365, 14);
    Counters = new QLabel(this);
    Counters->setObjectName("NmeaCounters");
    Counters->setGeometry(140, 126, 365, 14);
    setStatus("Disconnected");
    showCounters();
    countersTimer.setInterval(250);  // while the tab is shown
    connect(&countersTimer, &QTimer::timeout, this, &GpsTab::showCounters);

    auto* window = new QGroupBox(" Communications Window ", this);
    window->setObjectName("GroupBox2");
    window->setGeometry(0, 144, 505, 305);
    Memo1 = new QPlainTextEdit(window);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setMaximumBlockCount(kMemoLines);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Memo1);
}

GpsTab::~GpsTab() { shutdown(); }

void GpsTab::showEvent(QShowEvent* event)
{
    showCounters();
    countersTimer.start();
    QWidget::showEvent(event);
}

void GpsTab::hideEvent(QHideEvent* event)
{
    countersTimer.stop();
    QWidget::hideEvent(event);
}

QString GpsTab::chosenDevice() const { return serialDeviceForPortText(ComboBox1->currentText()); }

int GpsTab::chosenBaudRate() const { return baudRateForSpeedText(secondBoxText(GpsSource::Serial)); }

GpsSource GpsTab::chosenSource() const { return gpsSourceForPortText(ComboBox1->currentText()); }

QString GpsTab::secondBoxText(GpsSource source) const
{
    return source == shownSource ? ComboBox2->currentText() : secondTexts[int(source)];
}

QString GpsTab::sourceDescription(GpsSource source)
{
    switch (source) {
    case GpsSource::FlightGearUdp:
        return QString("NMEA datagrams on 127.0.0.1, as FlightGear sends them with "
                       "--nmea=socket,out,1,127.0.0.1,%1,udp. A line feed without its carriage return "
                       "is given one before the receiver sees it; the line ends so repaired are counted.")
            .arg(kFlightGearNmeaPort);
    case GpsSource::Gpsd:
        return QString("The raw NMEA of the receiver gpsd shares (host:port, localhost:%1 by default). "
                       "gpsd's own reports are left out, and a line feed without its carriage return is "
                       "given one before the receiver sees it; the line ends so repaired are counted.")
            .arg(kGpsdPort);
    case GpsSource::Serial: break;
    }
    return {};
}

void GpsTab::sourceChosen()
{
    // The second box follows the source: the speed for a port, the address for a network source,
    // each kept while another is shown.
    const GpsSource source = chosenSource();
    if (source == shownSource) return;
    secondTexts[int(shownSource)] = ComboBox2->currentText();
    shownSource = source;
    ComboBox2->clear();
    if (source == GpsSource::Serial)
        ComboBox2->addItems(speedItems());
    else if (source == GpsSource::FlightGearUdp)
        ComboBox2->addItem(QString::number(kFlightGearNmeaPort));
    else
        ComboBox2->addItem(QString("localhost:%1").arg(kGpsdPort));
    ComboBox2->setCurrentIndex(-1);
    ComboBox2->setEditText(secondTexts[int(source)]);
    SecondLabel->setText(source == GpsSource::Serial ? "Baud Rate:" : source == GpsSource::Gpsd ? "gpsd at:" : "UDP Port:");
    SecondLabel->adjustSize();
    ComboBox1->setToolTip(sourceDescription(source));
    ComboBox2->setToolTip(source == GpsSource::FlightGearUdp ? "The UDP port on 127.0.0.1"
                          : source == GpsSource::Gpsd       ? "gpsd's host and port"
                                                            : QString());
}

void GpsTab::connectPort(const QString& device)
{
    ComboBox1->setEditText(device);
    Button5Click();
}

void GpsTab::Button5Click()
{
    // An open link is not reopened, whatever the boxes say, unless another kind of source is chosen.
    const GpsSource source = chosenSource();
    if (gpsLink->state() == GpsLink::State::Connected && source == linkSource) return;
    linkSource = source;
    if (source != GpsSource::Serial) {
        connectNetwork(source);
        return;
    }
    const QString device = chosenDevice();
    const int baudRate = chosenBaudRate();
    // A stable name under /dev/serial/by-id is a link to the device itself.
    const QString target = QFileInfo(device).isSymLink() ? QFileInfo(device).canonicalFilePath() : device;
    gpsLink->resetCounters();
    const GpsLink::OpenResult result = gpsLink->openPort(target.isEmpty() ? device : target, baudRate);
    if (!result.opened) {
        setStatus(QString("Disconnected: %1 could not be opened").arg(device));
        showFailure(portOpenFailureText(device, result.error, devicePermissionDenied(target.isEmpty() ? device : target)));
        return;
    }
    setStatus(QString("Connected to %1 at %2 bit/s").arg(device).arg(baudRate));
}

void GpsTab::connectNetwork(GpsSource source)
{
    const QString address = secondBoxText(source);
    if (source == GpsSource::FlightGearUdp) {
        const int port = networkPortForText(address);
        if (port == 0) {
            gpsLink->close();
            setStatus("Disconnected");
            showFailure(QString("\"%1\" is not a UDP port: give a number from 1 to 65535.").arg(address));
            return;
        }
        gpsLink->resetCounters();
        const GpsLink::OpenResult result = gpsLink->listenUdp(port);
        if (!result.opened) {
            setStatus(QString("Disconnected: UDP port %1 cannot be used").arg(port));
            showFailure(QString("The UDP port %1 on 127.0.0.1 cannot be listened on: %2.\n\nAnother program "
                                "(or another copy of the simulator) may be using it; choose another port here "
                                "and in FlightGear's --nmea option.")
                            .arg(port)
                            .arg(result.error));
            return;
        }
        setStatus(QString("Listening for FlightGear NMEA on UDP 127.0.0.1:%1; bare LF line ends repaired to CR LF").arg(port));
        return;
    }
    QString host;
    int port = 0;
    if (!gpsdAddressForText(address, host, port)) {
        gpsLink->close();
        setStatus("Disconnected");
        showFailure(QString("\"%1\" is not an address of gpsd: give host:port, for example localhost:%2.")
                        .arg(address)
                        .arg(kGpsdPort));
        return;
    }
    gpsdName = QString("%1:%2").arg(host).arg(port);
    gpsLink->resetCounters();
    // Before the command: the connection may already stand or have failed when it returns.
    setStatus(QString("Connecting to gpsd at %1...").arg(gpsdName));
    gpsLink->connectGpsd(host, port);
}

void GpsTab::gpsdEstablished()
{
    setStatus(QString("Connected to gpsd at %1 (raw NMEA; bare LF line ends repaired to CR LF)").arg(gpsdName));
}

void GpsTab::Button12Click()
{
    gpsLink->close();
    setStatus("Disconnected");
}

void GpsTab::PlayButtonClick()
{
    const QString path = QFileDialog::getOpenFileName(this, "Play NMEA file", lastNmeaFile,
                                                      "NMEA logs (*.log *.nmea *.txt);;All files (*)");
    if (!path.isEmpty()) playFile(path);
}

bool GpsTab::playFile(const QString& path, int epochMs)
{
    std::string text;  // a pipe or device of the name is refused, never waited on
    if (!readPlainFile(QFile::encodeName(path).constData(), text)) {
        showFailure(QString("The file %1 cannot be read: %2.").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    std::vector<NmeaEpoch> epochs = splitNmeaLog(text);
    if (epochs.empty()) {
        showFailure(QString("The file %1 holds no NMEA sentences.").arg(path));
        return false;
    }
    const size_t count = epochs.size();
    lastNmeaFile = path;
    emit settingsChanged();
    gpsLink->resetCounters();
    gpsLink->play(std::move(epochs), epochMs);
    setStatus(QString("Playing %1 (%2 fixes)").arg(QFileInfo(path).fileName()).arg(count));
    return true;
}

void GpsTab::shutdown()
{
    gpsLink->shutdown();
    setStatus("Disconnected");
}

void GpsTab::appendSentences(const QStringList& sentences) { Memo1->appendPlainText(sentences.join('\n')); }

void GpsTab::linkEnded(const QString& reason) { setStatus("Disconnected: " + reason); }

void GpsTab::showFailure(const QString& text)
{
    // Not modal to the program's loop: the instrument keeps running while the box is up.
    auto* box = new QMessageBox(QMessageBox::Warning, "Corvex", text, QMessageBox::Ok, this);
    box->setObjectName("GpsLinkFailure");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void GpsTab::setStatus(const QString& text)
{
    // Never cut mid-text: a text too long for the row shows its first clause (a long file name is
    // elided at its end), and the whole of it is the tooltip.
    statusText = text;
    QString shown = text;
    if (const QFontMetrics metrics = LinkStatus->fontMetrics(); metrics.horizontalAdvance(text) > LinkStatus->width()) {
        qsizetype clause = -1;
        for (const char* mark : {"; ", " ("})
            if (const qsizetype at = text.indexOf(mark); at > 0 && (clause < 0 || at < clause)) clause = at;
        if (clause > 0) shown = text.left(clause) + "...";
    }
    LinkStatus->setText(LinkStatus->fontMetrics().elidedText(shown, Qt::ElideRight, LinkStatus->width()));
    LinkStatus->setToolTip(text);
}

void GpsTab::showCounters()
{
    const NmeaCounters now = gpsLink->counters();
    if (now == shownCounters && !Counters->text().isEmpty()) return;
    shownCounters = now;
    const QString text = nmeaCountersText(now);
    Counters->setText(Counters->fontMetrics().elidedText(text, Qt::ElideRight, Counters->width()));
    Counters->setToolTip(text);
    // Bytes that make no sentence at all are the sign of a wrong speed or line ending.
    const bool suspicious = now.rejected() > 0 || (now.bytes > 200 && now.accepted == 0);
    Counters->setStyleSheet(suspicious ? "color: #b00000" : "");
}

void GpsTab::restoreSettings(const QSettings& stored)
{
    const QString port = stored.value("gps/port").toString();
    // The second box's texts first, then the port's text, which shows the one of its source.
    const std::pair<const char*, GpsSource> keys[] = {
        {"gps/speed", GpsSource::Serial}, {"gps/udpPort", GpsSource::FlightGearUdp}, {"gps/gpsdAddress", GpsSource::Gpsd}};
    for (const auto& [key, source] : keys) {
        const QString text = stored.value(key).toString();
        if (text.isEmpty()) continue;
        if (source == shownSource)
            ComboBox2->setEditText(text);
        else
            secondTexts[int(source)] = text;
    }
    if (!port.isEmpty()) ComboBox1->setEditText(port);
    lastNmeaFile = stored.value("gps/lastNmeaFile").toString();
}

void GpsTab::storeSettings(QSettings& stored) const
{
    stored.setValue("gps/port", ComboBox1->currentText());
    stored.setValue("gps/speed", secondBoxText(GpsSource::Serial));
    stored.setValue("gps/udpPort", secondBoxText(GpsSource::FlightGearUdp));
    stored.setValue("gps/gpsdAddress", secondBoxText(GpsSource::Gpsd));
    stored.setValue("gps/lastNmeaFile", lastNmeaFile);
}

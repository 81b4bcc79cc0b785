// Window layout, key clicks and power buttons; the instrument runs through the PassDriver.
#include "host/main_window.h"

#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "device.h"
#include "host/display_panel.h"
#include "host/gps_tab.h"
#include "host/inputs_tab.h"
#include "host/jpeg_image.h"
#include "host/key_area.h"
#include "host/pass_driver.h"
#include "settings/settings.h"

namespace {

constexpr int kClientWidth = 1065;
constexpr int kClientHeight = 496;
constexpr int kStatusBarHeight = 19;

QPushButton* makeButton(const QString& caption, const QString& name, const QRect& geometry, QWidget* parent,
                        bool bold16 = false)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    if (bold16) {
        QFont font = button->font();
        font.setBold(true);
        font.setPixelSize(16);
        button->setFont(font);
    }
    return button;
}

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("frmMain");
    setWindowTitle("Corvex EMS Generation 1 Simulator");
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);

    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight - kStatusBarHeight);
    setCentralWidget(client);
    // Before the first power-on the readings beside the bars use the factory settings, which
    // power-on loads anyway.
    loadDefaultSettings();
    driver = new PassDriver(this);
    buildPanelSide();
    buildTabs();

    auto* file = menuBar()->addMenu("&File");
    QAction* exit = file->addAction("&Exit");
    exit->setObjectName("Exit1");
    connect(exit, &QAction::triggered, this, &TfrmMain::Exit1Click);
    statusBar()->setObjectName("StatusBar1");
    statusBar()->setFixedHeight(kStatusBarHeight);
    statusBar()->setSizeGripEnabled(false);

    connect(driver, &PassDriver::passesDone, Panel1, &DisplayPanel::frameReady);
    // The readings follow the settings and the senders as the passes leave them, at the pace
    // of the host tick.
    readingsTimer.setInterval(HOST_TICK_MS);
    connect(&readingsTimer, &QTimer::timeout, this, [this] {
        if (deviceIsOn()) inputsTab->refreshReadings();
    });
    readingsTimer.start();
    adjustSize();
    setFixedSize(sizeHint());
}

TfrmMain::~TfrmMain() { devicePowerOff(); }

void TfrmMain::buildPanelSide()
{
    QWidget* client = centralWidget();
    Image1 = new QLabel(client);
    Image1->setObjectName("Image1");
    Image1->setGeometry(0, 0, 550, 477);
    Image1->setScaledContents(true);
    QFile picture(":/panel/front_panel.jpg");
    if (picture.open(QIODevice::ReadOnly)) {
        const QImage image = decodeJpeg(picture.readAll());
        if (!image.isNull()) Image1->setPixmap(QPixmap::fromImage(image));
    }

    Panel1 = new DisplayPanel(client);
    Panel1->setGeometry(34, 65, 480, 273);
    connect(Panel1, &DisplayPanel::graphicsFailed, this, &TfrmMain::showGraphicsFailure, Qt::QueuedConnection);

    const struct {
        const char* name;
        int left, top, size;
        uint8_t code;
    } areas[] = {{"Image2", 24, 416, 41, 1},  {"Image3", 104, 416, 41, 2}, {"Image4", 184, 416, 41, 3},
                 {"Image5", 264, 416, 41, 4}, {"Image7", 344, 416, 41, 5}, {"Image8", 464, 400, 49, 6}};
    for (size_t i = 0; i < keyAreas.size(); ++i) {
        const auto& a = areas[i];
        keyAreas[i] = new KeyArea(a.code, a.name, client);
        keyAreas[i]->setGeometry(a.left, a.top, a.size, a.size);
        connect(keyAreas[i], &KeyArea::clicked, this, &TfrmMain::keyClick);
    }

    Button3 = makeButton("+", "Button3", {456, 448, 25, 25}, client, true);
    Button4 = makeButton("-", "Button4", {496, 448, 27, 25}, client, true);
    connect(Button3, &QPushButton::clicked, this, [this] { keyClick(7); });
    connect(Button4, &QPushButton::clicked, this, [this] { keyClick(8); });
    Button1 = makeButton("&On", "Button1", {344, 16, 75, 25}, client);
    Button2 = makeButton("&Off", "Button2", {440, 16, 75, 25}, client);
    connect(Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmMain::Button2Click);
}

void TfrmMain::buildTabs()
{
    PageControl1 = new QTabWidget(centralWidget());
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(552, 0, 513, 477);
    inputsTab = new InputsTab;
    PageControl1->addTab(inputsTab, "EMS");
    gpsTab = new GpsTab;
    PageControl1->addTab(gpsTab, "GPS (NMEA Protocol)");
    auto* gps = new QWidget;
    gps->setObjectName("TabSheet3");
    auto* group = new QGroupBox(" GPS Communications Window ", gps);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(new QPlainTextEdit(group));
    (new QVBoxLayout(gps))->addWidget(group);
    const int hidden = PageControl1->addTab(gps, "GPS");
    PageControl1->setTabVisible(hidden, false);
    PageControl1->setCurrentIndex(0);
}

void TfrmMain::Button1Click()
{
    if (deviceIsOn()) return;
    inputsTab->powerOn();
    driver->powerOn();
}

void TfrmMain::Button2Click() { driver->powerOff(); }

void TfrmMain::Exit1Click() { close(); }

void TfrmMain::keyClick(uint8_t keyCode) { devicePressKey(keyCode); }

void TfrmMain::closeEvent(QCloseEvent* event)
{
    driver->powerOff();
    gpsTab->shutdown();  // closes the port and ends its reader thread
    event->accept();
}

void TfrmMain::showGraphicsFailure(const QString& message)
{
    QMessageBox::warning(this, "Corvex", message);
}

// Window layout, menus, keys and power; the instrument runs through the PassDriver.
#include "host/main_window.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QScreen>
#include <QWindow>
#include <cmath>
#include <vector>

#include "device.h"
#include "display/framebuffer.h"
#include "host/display_panel.h"
#include "host/ecu_co_tab.h"
#include "host/flight_sim_tab.h"
#include "host/front_panel.h"
#include "host/gps_tab.h"
#include "host/inputs_tab.h"
#include "host/key_area.h"
#include "host/key_map.h"
#include "host/panel_lamps.h"
#include "host/pass_driver.h"
#include "host/presets.h"
#include "host/save_dialog.h"
#include "host/scenario_recorder.h"
#include "scenario/scenario_commands.h"
#include "settings/sdcard.h"
#include "settings/settings_file.h"
#include "host/trends_tab.h"
#include "images/png_io.h"
#include "settings/settings.h"
#include "ui/screen.h"

namespace {

constexpr int kTabsWidth = 513;  // the side panel's least width, unless its controls need more
constexpr int kGap = 2;
constexpr int kStatusBarHeight = 19;

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("frmMain");
    setWindowTitle("Corvex EMS Generation 1 Simulator");
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);

    // Before the first power-on the readings beside the bars use the factory settings, which
    // power-on loads anyway.
    loadDefaultSettings();
    client = new QWidget(this);
    client->installEventFilter(this);
    setCentralWidget(client);
    driver = new PassDriver(this);
    // The front panel and the side tabs share the width; the splitter between them sets the
    // side panel's width (at a whole zoom the window is sized to the panel and that width).
    splitter = new QSplitter(Qt::Horizontal, client);
    splitter->setObjectName("PanelSplitter");
    splitter->setHandleWidth(kGap);
    splitter->setChildrenCollapsible(false);
    panelHolder = new QWidget(splitter);
    panelHolder->installEventFilter(this);
    frontPanel = new FrontPanel(panelHolder);
    connect(frontPanel->display(), &DisplayPanel::graphicsFailed, this, &TfrmMain::showGraphicsFailure,
            Qt::QueuedConnection);
    connect(frontPanel, &FrontPanel::keyClicked, this, &TfrmMain::keyClick);
    connect(frontPanel, &FrontPanel::turned, this, &TfrmMain::turnKnob);
    connect(frontPanel->onButton(), &QPushButton::clicked, this, &TfrmMain::Button1Click);
    connect(frontPanel->offButton(), &QPushButton::clicked, this, &TfrmMain::Button2Click);
    for (const panel::LampPlace& lamp : panel::kLamps)
        frontPanel->lamps()->addLamp({lamp.name, toQRect(lamp.place), QColor::fromRgb(lamp.colour),
                                      lamp.id == panel::Lamp::Power ? deviceIsOn : deviceAlarmLampLit});
    buildTabs();
    splitter->addWidget(panelHolder);
    splitter->addWidget(PageControl1);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    sideMinimum = std::max(kTabsWidth, PageControl1->minimumSizeHint().width());
    PageControl1->setMinimumWidth(sideMinimum);
    sideWidth = sideMinimum;
    connect(splitter, &QSplitter::splitterMoved, this, [this] {
        sideWidth = splitter->sizes().value(1, sideMinimum);
        settingsChanged();
    });
    buildMenus();
    statusBar()->setObjectName("StatusBar1");
    statusBar()->setFixedHeight(kStatusBarHeight);
    statusBar()->setSizeGripEnabled(false);
    buildPresetBar();

    auto* keys = new KeyboardKeys(this, frontPanel->display());
    connect(keys, &KeyboardKeys::pressed, this, [this](uint8_t code) {
        if (KeyArea* area = frontPanel->keyArea(code)) area->setPressed(true);
        keyClick(code);
    });
    connect(keys, &KeyboardKeys::released, this, [this](uint8_t code) {
        if (KeyArea* area = frontPanel->keyArea(code)) area->setPressed(false);
    });

    connect(driver, &PassDriver::frameDrawn, frontPanel->display(), &DisplayPanel::frameReady);
    // A GIF being recorded takes the frame the display is handed, at its steps of the
    // instrument's time (a pass a millisecond); while it records, every batch's last pass draws.
    connect(driver, &PassDriver::frameDrawn, this, [this] {
        if (gif.due(driver->passesRun())) gif.sample(framebuffer, driver->passesRun());
    });
    // The lamps follow the instrument pass by pass (the ALARM lamp the announcement); a refresh
    // repaints only when a lamp changed.
    connect(driver, &PassDriver::passesDone, frontPanel->lamps(), &PanelLamps::refresh);
    connect(driver, &PassDriver::stopped, this, &TfrmMain::powerStateChanged);
    // The readings follow the settings and the senders as the passes leave them, at the pace
    // of the host tick.
    readingsTimer.setInterval(HOST_TICK_MS);
    connect(&readingsTimer, &QTimer::timeout, this, [this] { inputsTab->refreshReadings(); });

    // A fresh start shows an engine at idle, every input within its limits.
    applyPreset(inputsTab, inputPresets()[1]);
    powerStateChanged();
    restoreSettings();
    storeTimer.setSingleShot(true);
    storeTimer.setInterval(500);
    connect(&storeTimer, &QTimer::timeout, this, &TfrmMain::storeSettings);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TfrmMain::settingsChanged);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TfrmMain::updateTitle);
    connect(trendsTab, &TrendsTab::recordingLoaded, this, &TfrmMain::updateTitle);
    connect(recallAction, &QAction::toggled, this, &TfrmMain::settingsChanged);
    connect(gpsTab, &GpsTab::settingsChanged, this, &TfrmMain::settingsChanged);
    settingsRestored = true;
    frontPanel->display()->setFocus();
}

TfrmMain::~TfrmMain() { devicePowerOff(); }

DisplayPanel* TfrmMain::displayPanel() const { return frontPanel->display(); }

void TfrmMain::buildTabs()
{
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName("PageControl1");
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
    auto* trends = trendsTab = new TrendsTab;
    trends->setObjectName("TrendsTab");
    PageControl1->addTab(trends, "Trends");
    flightSimTab = new FlightSimTab(inputsTab);
    PageControl1->addTab(flightSimTab, "Flight simulator");
    PageControl1->addTab(new EcuCoTab, "ECU / CO");
    PageControl1->setCurrentIndex(0);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (presetBar) presetBar->setVisible(index == 0);
    });
}

void TfrmMain::buildMenus()
{
    auto* file = menuBar()->addMenu("&File");
    QAction* power = powerAction = file->addAction("&Power On/Off");
    power->setObjectName("PowerToggle");
    power->setShortcut(QKeySequence("Ctrl+O"));
    power->setShortcutContext(Qt::ApplicationShortcut);
    connect(power, &QAction::triggered, this, [this] { deviceIsOn() ? Button2Click() : Button1Click(); });
    // The instrument starts from the factory settings; this preference recalls the card's file
    // at each power-on, as RECALL SETTINGS FROM SD CARD would.
    QAction* recall = recallAction = file->addAction("Recall the Card's Settings at Power-&On");
    recall->setObjectName("RecallAtPowerOn");
    recall->setCheckable(true);
    QAction* shot = file->addAction("&Save Screenshot...");
    shot->setObjectName("SaveScreenshot");
    shot->setShortcut(QKeySequence("Ctrl+S"));
    shot->setShortcutContext(Qt::ApplicationShortcut);
    connect(shot, &QAction::triggered, this, &TfrmMain::saveScreenshotAs);
    QAction* recording = file->addAction("Open &Recording...");
    recording->setObjectName("OpenRecording");
    connect(recording, &QAction::triggered, this, [this] {
        // The card's folder, where the instrument writes DATALOG.CSV.
        const QString path = QFileDialog::getOpenFileName(this, "Open Recording", QFile::decodeName(sdCardFolder()),
                                                          "Recordings (*.CSV *.csv)");
        if (path.isEmpty()) return;
        if (!trendsTab->openRecording(path)) QMessageBox::warning(this, "Open Recording", QString("%1 cannot be read.").arg(path));
        else PageControl1->setCurrentWidget(trendsTab);
    });
    connect(trendsTab, &TrendsTab::recordingLoaded, this, [this](bool ok, const QString& message) {
        if (!ok && !message.isEmpty()) QMessageBox::warning(this, "Open Recording", message);
        else if (ok) statusBar()->showMessage(message, 5000);
    });
    QAction* charts = file->addAction("Save &Charts...");
    charts->setObjectName("SaveCharts");
    connect(charts, &QAction::triggered, this, [this] {
        PageControl1->setCurrentWidget(trendsTab);
        const QString path = askSavePath(this, "Save Charts", "charts.png", "PNG pictures (*.png)", "png");
        QString error;
        if (path.isEmpty()) return;
        if (!trendsTab->saveCharts(path, &error)) QMessageBox::warning(this, "Save Charts", QString("%1 was not saved: %2").arg(path, error));
        else statusBar()->showMessage("Charts saved to " + path, 5000);
    });
    scenarios = new ScenarioRecorder(this);
    QAction* record = recordAction = file->addAction("&Record Scenario...");
    record->setObjectName("RecordScenario");
    record->setCheckable(true);
    connect(record, &QAction::triggered, this, &TfrmMain::recordScenarioClick);
    QAction* play = file->addAction("P&lay Scenario...");
    play->setObjectName("PlayScenario");
    connect(play, &QAction::triggered, this, &TfrmMain::playScenarioClick);
    QAction* gifRecord = gifAction = file->addAction("Record &GIF...");
    gifRecord->setObjectName("RecordGif");
    gifRecord->setCheckable(true);
    connect(gifRecord, &QAction::triggered, this, &TfrmMain::recordGifClick);
    connect(scenarios, &ScenarioRecorder::playFinished, this, [this](const QString& message) {
        updateTitle();
        statusBar()->showMessage(message.isEmpty() ? "Scenario played" : "Scenario " + message, 5000);
    });
    file->addSeparator();
    QAction* exit = file->addAction("&Exit");
    exit->setObjectName("Exit1");
    connect(exit, &QAction::triggered, this, &TfrmMain::Exit1Click);

    auto* view = menuBar()->addMenu("&View");
    zoomActions = new QActionGroup(this);
    const struct {
        const char* caption;
        Zoom zoom;
    } zooms[] = {{"Zoom &1x", Zoom::X1}, {"Zoom &2x", Zoom::X2}, {"Zoom &3x", Zoom::X3}, {"&Fit to Window", Zoom::Fit}};
    for (const auto& z : zooms) {
        QAction* action = view->addAction(z.caption);
        action->setCheckable(true);
        action->setData(static_cast<int>(z.zoom));
        action->setChecked(z.zoom == Zoom::X1);
        zoomActions->addAction(action);
        connect(action, &QAction::triggered, this, [this, zoom = z.zoom] { setZoom(zoom); });
    }

    auto* help = menuBar()->addMenu("&Help");
    QAction* keys = help->addAction("&Keys");
    keys->setObjectName("HelpKeys");
    connect(keys, &QAction::triggered, this, &TfrmMain::showKeys);
    QAction* guide = help->addAction("&User's Guide");
    guide->setObjectName("HelpGuide");
    connect(guide, &QAction::triggered, this, &TfrmMain::showGuide);
    QAction* about = help->addAction("&About");
    about->setObjectName("HelpAbout");
    connect(about, &QAction::triggered, this, &TfrmMain::showAbout);
}

void TfrmMain::buildPresetBar()
{
    // The presets sit in the status bar while the EMS tab is shown: one click each.
    presetBar = new QWidget;
    presetBar->setObjectName("PresetBar");
    auto* row = new QHBoxLayout(presetBar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    for (const InputPreset& preset : inputPresets()) {
        auto* button = new QPushButton(preset.title, presetBar);
        button->setObjectName("Preset " + preset.title);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedHeight(kStatusBarHeight - 2);
        button->setToolTip("Set the inputs for: " + preset.title);
        connect(button, &QPushButton::clicked, this, [this, preset] { applyPreset(inputsTab, preset); });
        row->addWidget(button);
    }
    row->addStretch();
    statusBar()->addWidget(presetBar, 1);
}

namespace {

// The panel's scale for a whole zoom: the nearest whole number of device pixels per framebuffer
// pixel (at least one), so the display stays sharp at any screen scale (at 1.5, 1x becomes 4/3).
double wholePixelScale(int zoom, qreal ratio)
{
    return std::max(1.0, std::round(zoom * ratio)) / ratio;
}

}  // namespace

bool TfrmMain::zoomFits(Zoom zoom) const
{
    if (zoom == Zoom::X1 || zoom == Zoom::Fit || !screen()) return true;
    const double factor = wholePixelScale(static_cast<int>(zoom), devicePixelRatioF());
    const QSize frame = isVisible() ? frameGeometry().size() - geometry().size() : QSize();
    const QSize needed(static_cast<int>(std::lround(FrontPanel::kWidth * factor)) + kGap + sideMinimum + frame.width(),
                       static_cast<int>(std::lround(FrontPanel::kHeight * factor)) + menuBar()->sizeHint().height() +
                           kStatusBarHeight + frame.height());
    const QSize area = screen()->availableGeometry().size();
    return needed.width() <= area.width() && needed.height() <= area.height();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Another screen may offer other zooms; the frame is known only now.
    if (QWindow* window = windowHandle(); window && !screenWatched) {
        screenWatched = true;
        connect(window, &QWindow::screenChanged, this, [this] { setZoom(zoomChoice); });
        setZoom(zoomChoice);
    }
}

void TfrmMain::setZoom(Zoom zoom)
{
    if (!zoomFits(zoom)) {
        statusBar()->showMessage(QString("Zoom %1x is larger than the screen: the display fits the window instead")
                                     .arg(static_cast<int>(zoom)),
                                 5000);
        zoom = Zoom::Fit;
    }
    zoomChoice = zoom;
    for (QAction* action : zoomActions->actions()) {
        action->setChecked(action->data().toInt() == static_cast<int>(zoom));
        action->setEnabled(zoomFits(static_cast<Zoom>(action->data().toInt())));
    }
    if (zoom == Zoom::Fit) {
        client->setMinimumSize(FrontPanel::kWidth + kGap + sideMinimum, FrontPanel::kHeight);
        client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        panelHolder->setMinimumWidth(FrontPanel::kWidth);
        panelHolder->setMaximumWidth(QWIDGETSIZE_MAX);
        splitter->setSizes({std::max(FrontPanel::kWidth, client->width() - kGap - sideWidth), sideWidth});
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        layoutClient();
        keepOnScreen();
        settingsChanged();
        return;
    }
    const double factor = wholePixelScale(static_cast<int>(zoom), devicePixelRatioF());
    const int panelWidth = static_cast<int>(std::lround(FrontPanel::kWidth * factor));
    // The side panel keeps its width as far as the screen has room for it.
    int side = sideWidth;
    if (screen()) {
        const int frame = isVisible() ? frameGeometry().width() - geometry().width() : 0;
        side = std::max(sideMinimum, std::min(side, screen()->availableGeometry().width() - frame - panelWidth - kGap));
    }
    const QSize size(panelWidth + kGap + side,
                     std::max(static_cast<int>(std::lround(FrontPanel::kHeight * factor)), FrontPanel::kHeight));
    client->setFixedSize(size);
    panelHolder->setFixedWidth(panelWidth);
    splitter->setSizes({panelWidth, side});
    frontPanel->setScale(factor);
    layoutClient();
    adjustSize();
    setFixedSize(sizeHint());
    keepOnScreen();
    settingsChanged();
}

void TfrmMain::keepOnScreen()
{
    if (!isVisible() || !screen()) return;
    const QRect area = screen()->availableGeometry();
    const QSize frame = frameGeometry().size() - geometry().size();
    if (zoomChoice == Zoom::Fit && (width() + frame.width() > area.width() || height() + frame.height() > area.height()))
        resize(std::min(width(), area.width() - frame.width()), std::min(height(), area.height() - frame.height()));
    // Too large still (a whole zoom is not, but the panel's least size may be): the top left
    // corner stays in the area, with the menu bar.
    const QRect now = frameGeometry();
    const int x = std::max(area.left(), std::min(now.left(), area.right() + 1 - now.width()));
    const int y = std::max(area.top(), std::min(now.top(), area.bottom() + 1 - now.height()));
    if (x != now.left() || y != now.top()) move(x, y);
}

void TfrmMain::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    settingsChanged();
}

void TfrmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    settingsChanged();
}

void TfrmMain::layoutClient()
{
    // The side panel takes the whole height beside the front panel.
    splitter->setGeometry(0, 0, client->width(), std::max(client->height(), FrontPanel::kHeight));
    if (zoomChoice == Zoom::Fit) {
        const double across = static_cast<double>(panelHolder->width()) / FrontPanel::kWidth;
        const double down = static_cast<double>(panelHolder->height()) / FrontPanel::kHeight;
        frontPanel->setScale(std::max(1.0, std::min(across, down)));
    }
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == client || watched == panelHolder) && event->type() == QEvent::Resize) layoutClient();
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::Button1Click()
{
    if (deviceIsOn()) return;
    scenarios->record("power on");
    inputsTab->powerOn();
    driver->powerOn();
    if (recallAction->isChecked()) recallAtPowerOn();
    scenarios->poweredOn();
    powerStateChanged();
}

void TfrmMain::recallAtPowerOn()
{
    char path[1100];
    const QString file = sdCardPath(SETTINGS_FILE_NAME, path, sizeof path) ? QFile::decodeName(path) : SETTINGS_FILE_NAME;
    if (!hostControls.sdCardMounted)
        statusBar()->showMessage("Factory settings: no SD card to recall " + file + " from", 10000);
    else if (!loadSettingsFile())
        statusBar()->showMessage("Factory settings: " + file + " cannot be recalled", 10000);
    else
        statusBar()->showMessage("Recalled the settings from " + file, 5000);
}

void TfrmMain::Button2Click()
{
    if (deviceIsOn()) scenarios->record("power off");
    driver->powerOff();
    powerStateChanged();
}

void TfrmMain::powerStateChanged()
{
    const bool on = deviceIsOn();
    frontPanel->onButton()->setEnabled(!on);
    frontPanel->offButton()->setEnabled(on);
    frontPanel->lamps()->refresh();
    // While off nothing changes the readings but the bars themselves.
    if (on) readingsTimer.start();
    else readingsTimer.stop();
}

void TfrmMain::Exit1Click() { close(); }

void TfrmMain::keyClick(uint8_t keyCode)
{
    scenarios->record(QString("key ") + scenarioKeyName(keyCode));
    devicePressKey(keyCode);
    driver->catchUp();
}

void TfrmMain::turnKnob(int detents)
{
    // One detent, one step; like clicks, a turn while a key is pending is lost.
    const uint8_t key = detents > 0 ? KeyKnobPlus : KeyKnobMinus;
    scenarios->record(QString("key ") + scenarioKeyName(key));
    devicePressKey(key);
    driver->catchUp();
}

void TfrmMain::updateTitle()
{
    QStringList parts{"Corvex EMS Generation 1 Simulator"};
    const QString scenario = QFileInfo(scenarioFile).fileName();
    if (scenarios->recording()) parts << "recording " + scenario;
    else if (scenarios->playing()) parts << "playing " + scenario;
    if (gif.isOpen()) parts << "recording GIF " + QFileInfo(QString::fromStdString(gif.path())).fileName();
    if (PageControl1->currentWidget() == trendsTab && !trendsTab->recordingFile().isEmpty())
        parts << QFileInfo(trendsTab->recordingFile()).fileName();
    setWindowTitle(parts.join(" - "));
}

void TfrmMain::restoreSettings()
{
    const QSettings stored;
    sideWidth = std::max(sideMinimum, stored.value("window/splitter").toList().value(1, sideMinimum).toInt());
    const int zoom = stored.value("window/zoom", 1).toInt();
    setZoom(zoom >= 0 && zoom <= 3 ? static_cast<Zoom>(zoom) : Zoom::X1);
    // Where the window was, on whichever screen it opens now: showEvent keeps it on that screen.
    if (zoomChoice == Zoom::Fit && stored.contains("window/size")) resize(stored.value("window/size").toSize());
    if (stored.contains("window/position")) move(stored.value("window/position").toPoint());
    const int tab = stored.value("window/tab", 0).toInt();
    PageControl1->setCurrentIndex(tab >= 0 && tab < PageControl1->count() && PageControl1->isTabVisible(tab) ? tab : 0);
    gpsTab->restoreSettings(stored);
    recallAction->setChecked(stored.value("instrument/recallAtPowerOn", false).toBool());
}

void TfrmMain::storeSettings() const
{
    QSettings stored;
    stored.setValue("window/zoom", static_cast<int>(zoomChoice));
    stored.setValue("window/size", size());
    stored.setValue("window/position", pos());
    stored.setValue("window/tab", PageControl1->currentIndex());
    stored.setValue("window/splitter", QVariantList{panelHolder->width(), sideWidth});
    gpsTab->storeSettings(stored);
    stored.setValue("instrument/recallAtPowerOn", recallAction->isChecked());
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    storeSettings();
    QString error;
    if (gif.isOpen() && !stopGif(&error)) QMessageBox::warning(this, "Record GIF", error);
    driver->powerOff();
    gpsTab->shutdown();  // closes the port and ends its reader thread
    event->accept();
}

void TfrmMain::showGraphicsFailure(const QString& message)
{
    QMessageBox::warning(this, "Corvex", message);
}

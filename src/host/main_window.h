// TfrmMain: the simulator's one window. The front-panel picture with the live display and its
// keys on the left, the tabs of simulated inputs and the GPS link on the right.
#pragma once
#include <QMainWindow>
#include <QTimer>

#include "images/gif_writer.h"

class QAction;
class QActionGroup;
class QSplitter;
class QTabWidget;
class QWidget;
class DisplayPanel;
class FrontPanel;
class PassDriver;
class InputsTab;
class GpsTab;
class ScenarioRecorder;
class TrendsTab;
class FlightSimTab;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // Zoom choices of the View menu; Fit follows the window's size.
    enum class Zoom { X1 = 1, X2 = 2, X3 = 3, Fit = 0 };

    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    DisplayPanel* displayPanel() const;
    FrontPanel* front() const { return frontPanel; }
    PassDriver* passDriver() const { return driver; }
    InputsTab* inputs() const { return inputsTab; }
    GpsTab* gps() const { return gpsTab; }
    TrendsTab* trends() const { return trendsTab; }
    FlightSimTab* flightSim() const { return flightSimTab; }
    QTabWidget* tabs() const { return PageControl1; }
    ScenarioRecorder* recorder() const { return scenarios; }
    // File > Power On/Off (Ctrl+O).
    QAction* powerToggle() const { return powerAction; }
    // File > Recall the Card's Settings at Power-On (kept between runs, off at first).
    QAction* recallAtPowerOnAction() const { return recallAction; }
    // File > Play Scenario without its dialog; a script that cannot be read is shown in a message box.
    bool playScenario(const QString& path);

    // A whole zoom that would not fit the screen's available area is not offered: it falls back
    // to Fit. Every zoom is snapped to whole device pixels per framebuffer pixel.
    void setZoom(Zoom zoom);
    bool zoomFits(Zoom zoom) const;
    Zoom zoom() const { return zoomChoice; }
    // Writes the Framebuffer as the runner's 480 x 272 indexed PNG. False when it cannot.
    static bool saveScreenshot(const QString& path);
    static bool saveScreenshot(const QString& path, const uint8_t* pixels);
    // File > Record GIF without its dialog: the display as an animated GIF, sampled fps times a
    // second of the instrument's time (its passes) as they are presented, until stopGif. False
    // with the reason when the file cannot be written (also at the stop).
    bool startGif(const QString& path, unsigned fps = GifWriter::kDefaultFps, QString* error = nullptr);
    bool stopGif(QString* error = nullptr);
    bool recordingGif() const { return gif.isOpen(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTabs();
    void buildMenus();
    void buildPresetBar();
    void Button1Click();  // "&On"
    void Button2Click();  // "&Off"
    void recallAtPowerOn();
    void Exit1Click();    // "&File" / "&Exit"
    void keyClick(uint8_t keyCode);
    void turnKnob(int detents);
    void powerStateChanged();
    void layoutClient();
    void saveScreenshotAs();
    void recordScenarioClick();
    void recordGifClick();
    void playScenarioClick();
    void showKeys();
    void showAbout();
    void showGuide();
    // The title names what runs: a scenario recorded or played, a GIF recorded, the recording on
    // the Trends tab while it is shown.
    void updateTitle();
    void showGraphicsFailure(const QString& message);
    void restoreSettings();
    void storeSettings() const;
    // The choices are stored shortly after each change, so a killed program keeps them.
    void settingsChanged() { if (settingsRestored) storeTimer.start(); }
    // The whole window inside the available area of its screen, moved (and a Fit window made
    // smaller) where it is not.
    void keepOnScreen();

    QWidget* client = nullptr;
    QSplitter* splitter = nullptr;  // the front panel's holder | the side tabs
    QWidget* panelHolder = nullptr;
    int sideMinimum = 0;  // the side panel's least width: what its controls need
    int sideWidth = 0;    // the side panel's width, as last set by the splitter
    FrontPanel* frontPanel = nullptr;
    QTabWidget* PageControl1 = nullptr;
    InputsTab* inputsTab = nullptr;
    GpsTab* gpsTab = nullptr;
    PassDriver* driver = nullptr;
    ScenarioRecorder* scenarios = nullptr;
    QWidget* presetBar = nullptr;
    QActionGroup* zoomActions = nullptr;
    QAction* powerAction = nullptr;
    QAction* recordAction = nullptr;
    QAction* gifAction = nullptr;
    QAction* recallAction = nullptr;
    TrendsTab* trendsTab = nullptr;
    FlightSimTab* flightSimTab = nullptr;
    Zoom zoomChoice = Zoom::X1;
    bool screenWatched = false;
    QTimer readingsTimer;
    QTimer storeTimer;
    bool settingsRestored = false;
    GifWriter gif;
    QString scenarioFile;  // the scenario recorded or played
};

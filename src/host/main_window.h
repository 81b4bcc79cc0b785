// TfrmMain: the simulator's one window. The front-panel picture with the live display and its
// keys on the left, the tabs of simulated inputs and the GPS link on the right.
#pragma once
#include <QMainWindow>
#include <QTimer>
#include <array>

class QLabel;
class QPushButton;
class QTabWidget;
class DisplayPanel;
class KeyArea;
class PassDriver;
class InputsTab;
class GpsTab;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    DisplayPanel* displayPanel() const { return Panel1; }
    PassDriver* passDriver() const { return driver; }
    InputsTab* inputs() const { return inputsTab; }
    GpsTab* gps() const { return gpsTab; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPanelSide();
    void buildTabs();
    void Button1Click();  // "&On"
    void Button2Click();  // "&Off"
    void Exit1Click();    // "&File" / "&Exit"
    void keyClick(uint8_t keyCode);
    void showGraphicsFailure(const QString& message);

    QLabel* Image1 = nullptr;
    DisplayPanel* Panel1 = nullptr;
    std::array<KeyArea*, 6> keyAreas{};  // Image2, Image3, Image4, Image5, Image7, Image8
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    InputsTab* inputsTab = nullptr;
    GpsTab* gpsTab = nullptr;
    PassDriver* driver = nullptr;
    QTimer readingsTimer;
};

// The "ECU / CO" tab: stands in for the engine computer and the CO detector as the "EMS" tab
// stands in for the sensors. Its values reach the instrument as a data link would deliver them,
// and it shows the last command the instrument sent to the detector.
#pragma once
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

class EcuCoTab : public QWidget {
    Q_OBJECT
public:
    explicit EcuCoTab(QWidget* parent = nullptr);

    // The link delivers the tab's values to the instrument (also every 100 ms, since power-on
    // clears the link flag and the detector's identity until they report again).
    void deliver();
    // The last command sent to the detector, in sending order ("" before the first).
    QString lastCommand() const;

private:
    QLineEdit* statusField(const QString& name);
    void refreshCommand();

    QCheckBox* linkBox = nullptr;
    QCheckBox* laneABox = nullptr;
    QCheckBox* laneBBox = nullptr;
    QLineEdit* engineStatus = nullptr;
    QLineEdit* sensorStatusA = nullptr;
    QLineEdit* sensorStatusB = nullptr;
    QLineEdit* deviceStatusA = nullptr;
    QLineEdit* deviceStatusB = nullptr;
    QDoubleSpinBox* engineHours = nullptr;
    QDoubleSpinBox* ecuHoursBox = nullptr;
    QSpinBox* throttle = nullptr;
    QSpinBox* ambientPressure = nullptr;
    QLineEdit* model = nullptr;
    QLineEdit* softwareVersion = nullptr;
    QLineEdit* serialNumber = nullptr;
    QLineEdit* commandLine = nullptr;
    QTimer linkTimer;
};

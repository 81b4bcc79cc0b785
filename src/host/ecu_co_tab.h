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

    // The links deliver the tab's values to the instrument, every 100 ms and on every change of a
    // box, as a connected device reports (power-on clears the link flag and the detector's
    // identity until they report again): the engine computer's data only while "Link" is ticked,
    // the detector's identity only while "Connected" is ticked. Unticked, the instrument keeps
    // what it last received.
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
    QCheckBox* detectorBox = nullptr;
    QLineEdit* model = nullptr;
    QLineEdit* softwareVersion = nullptr;
    QLineEdit* serialNumber = nullptr;
    QLineEdit* commandLine = nullptr;
    QTimer linkTimer;
};

// Builds the "ECU / CO" tab and delivers its values to the engine computer and CO detector
// variables of the instrument; the last command is decoded from coCommand.
#include "host/ecu_co_tab.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cstring>

#include "time/ecu_co.h"

namespace {

uint32_t hexValue(const QLineEdit* field)
{
    bool ok = false;
    const uint32_t value = field->text().toUInt(&ok, 16);
    return ok ? value : 0;
}

template <size_t N> void copyText(char (&to)[N], const QLineEdit* field)
{
    const QByteArray bytes = field->text().toLatin1().left(static_cast<int>(N - 1));
    std::memset(to, 0, N);
    std::memcpy(to, bytes.constData(), static_cast<size_t>(bytes.size()));
}

QLineEdit* identityField(const QString& name, const QString& text, int length, QWidget* parent)
{
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setMaxLength(length);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression("[ -~]*"), field));
    return field;
}

}  // namespace

EcuCoTab::EcuCoTab(QWidget* parent) : QWidget(parent)
{
    setObjectName("TabSheetEcuCo");
    auto* layout = new QVBoxLayout(this);

    auto* ecu = new QGroupBox(" Engine Computer ", this);
    auto* form = new QFormLayout(ecu);
    auto* boxes = new QHBoxLayout;
    linkBox = new QCheckBox("Link", ecu);
    linkBox->setObjectName("EcuLink");
    laneABox = new QCheckBox("Lane A data", ecu);
    laneABox->setObjectName("EcuLaneA");
    laneBBox = new QCheckBox("Lane B data", ecu);
    laneBBox->setObjectName("EcuLaneB");
    for (QCheckBox* box : {linkBox, laneABox, laneBBox}) boxes->addWidget(box);
    form->addRow(boxes);
    form->addRow("Engine status (hex):", engineStatus = statusField("EngineStatus"));
    form->addRow("Sensor status A (hex):", sensorStatusA = statusField("SensorStatusA"));
    form->addRow("Sensor status B (hex):", sensorStatusB = statusField("SensorStatusB"));
    form->addRow("Device status A (hex):", deviceStatusA = statusField("DeviceStatusA"));
    form->addRow("Device status B (hex):", deviceStatusB = statusField("DeviceStatusB"));
    auto hoursBox = [ecu](const QString& name) {
        auto* box = new QDoubleSpinBox(ecu);
        box->setObjectName(name);
        box->setRange(0, 99999.99);
        box->setDecimals(2);
        return box;
    };
    form->addRow("Engine hours:", engineHours = hoursBox("EngineHours"));
    form->addRow("ECU hours:", ecuHoursBox = hoursBox("EcuHours"));
    throttle = new QSpinBox(ecu);
    throttle->setObjectName("ThrottlePosition");
    throttle->setRange(0, 100);
    throttle->setSuffix(" %");
    form->addRow("Throttle position:", throttle);
    ambientPressure = new QSpinBox(ecu);
    ambientPressure->setObjectName("AmbientPressure");
    ambientPressure->setRange(0, 1200);
    ambientPressure->setValue(1013);
    ambientPressure->setSuffix(" hPa");
    form->addRow("Ambient pressure:", ambientPressure);
    layout->addWidget(ecu);

    auto* co = new QGroupBox(" CO Detector ", this);
    auto* coForm = new QFormLayout(co);
    detectorBox = new QCheckBox("Connected", co);
    detectorBox->setObjectName("CoConnected");
    coForm->addRow(detectorBox);
    coForm->addRow("Model:", model = identityField("CoModel", "CG1", 3, co));
    coForm->addRow("Software version:", softwareVersion = identityField("CoSoftwareVersion", "2.07", 4, co));
    coForm->addRow("Serial number:", serialNumber = identityField("CoSerialNumber", "104233", 6, co));
    commandLine = new QLineEdit(co);
    commandLine->setObjectName("CoLastCommand");
    commandLine->setReadOnly(true);
    coForm->addRow("Last command received:", commandLine);
    layout->addWidget(co);
    layout->addStretch();

    for (QCheckBox* box : {linkBox, laneABox, laneBBox, detectorBox}) connect(box, &QCheckBox::toggled, this, &EcuCoTab::deliver);
    connect(&linkTimer, &QTimer::timeout, this, &EcuCoTab::deliver);
    linkTimer.start(100);
    deliver();
}

QLineEdit* EcuCoTab::statusField(const QString& name)
{
    auto* field = new QLineEdit("00000000", this);
    field->setObjectName(name);
    field->setMaxLength(8);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f]{0,8}"), field));
    connect(field, &QLineEdit::textEdited, this, &EcuCoTab::deliver);
    return field;
}

void EcuCoTab::deliver()
{
    refreshCommand();
    if (detectorBox->isChecked()) {
        copyText(coModel, model);
        copyText(coSoftwareVersion, softwareVersion);
        copyText(coSerialNumber, serialNumber);
    }
    ecuLinkPresent = linkBox->isChecked() ? 1 : 0;
    if (ecuLinkPresent == 0) return;
    ecuLaneFlags = static_cast<uint16_t>((laneABox->isChecked() ? 1 : 0) | (laneBBox->isChecked() ? 2 : 0));
    ecuEngineStatus = hexValue(engineStatus);
    ecuSensorStatusA = hexValue(sensorStatusA);
    ecuSensorStatusB = hexValue(sensorStatusB);
    ecuDeviceStatusA = hexValue(deviceStatusA);
    ecuDeviceStatusB = hexValue(deviceStatusB);
    ecuEngineHours = static_cast<float>(engineHours->value());
    ecuHours = static_cast<float>(ecuHoursBox->value());
    ecuThrottlePosition = throttle->value();
    ecuAmbientPressure = ambientPressure->value();
}

QString EcuCoTab::lastCommand() const
{
    char text[64];
    return QString::fromLatin1(coCommandAsSent(text, sizeof text));
}

void EcuCoTab::refreshCommand()
{
    const QString command = lastCommand();
    if (commandLine->text() != command) commandLine->setText(command);
}

// Builds the tab from the shared table of input controls; each bar writes its device input
// through setInputControl when moved (never at start, so inputs start at 0 as on the real panel).
#include "host/inputs_tab.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>

namespace {

constexpr int kRowTop = 16;
constexpr int kRowStep = 24;

QGroupBox* makeGroup(const QString& caption, const QRect& geometry, QWidget* parent)
{
    auto* group = new QGroupBox(caption, parent);
    group->setGeometry(geometry);
    return group;
}

}  // namespace

InputsTab::InputsTab(QWidget* parent) : QWidget(parent)
{
    setObjectName("TabSheet1");
    using enum InputControl;
    auto* misc = makeGroup(" Miscellaneous ", {8, 0, 241, 113}, this);
    int row = 0;
    for (const InputControl id : {Oat, Map, Rpm, Rotor}) addRow(misc, row++, id);
    auto* fuel = makeGroup(" Fuel ", {8, 120, 241, 137}, this);
    row = 0;
    for (const InputControl id : {FuelFlow1, FuelLevel1, FuelFlow2, FuelLevel2, FuelPressure}) addRow(fuel, row++, id);
    auto* analog = makeGroup(" Analog Inputs ", {8, 264, 241, 113}, this);
    row = 0;
    for (const InputControl id : {Input1, Input2, Input3, Input4}) addRow(analog, row++, id);
    auto* power = makeGroup(" Power ", {8, 384, 241, 65}, this);
    addRow(power, 0, Volts);
    addRow(power, 1, Current);
    auto* thermocouples = makeGroup(" Thermocouples ", {256, 0, 249, 329}, this);
    for (int i = 0; i < 13; ++i) addRow(thermocouples, i, static_cast<InputControl>(static_cast<int>(Tc1) + i));
    auto* co = makeGroup(" CO Guardian", {256, 336, 249, 73}, this);
    addRow(co, 0, CoPpm, 24);

    const struct {
        SwitchControl id;
        QWidget* parent;
        QPoint at;
    } boxes[] = {{SwitchControl::CoAlarm, co, {16, 48}},
                 {SwitchControl::CoUnitOk, co, {112, 48}},
                 {SwitchControl::ZedaOn, this, {264, 424}},
                 {SwitchControl::SdCardMounted, this, {384, 424}}};
    for (const auto& b : boxes) {
        const SwitchControlInfo& info = switchControls[static_cast<int>(b.id)];
        auto* box = new QCheckBox(info.caption, b.parent);
        box->setObjectName(info.name);
        box->move(b.at);
        box->adjustSize();
        box->setChecked(info.start);
        setSwitchControl(b.id, info.start);
        connect(box, &QCheckBox::toggled, this, [id = b.id](bool ticked) { setSwitchControl(id, ticked); });
    }
}

void InputsTab::addRow(QWidget* group, int row, InputControl id, int top)
{
    const InputControlInfo& info = inputControls[static_cast<int>(id)];
    const int y = top >= 0 ? top : kRowTop + kRowStep * row;
    auto* caption = new QLabel(info.caption, group);
    caption->setGeometry(8, y, 80, 17);
    auto* value = new QLabel("0", group);
    value->setObjectName(QString(info.name).replace("ScrollBar", "Label"));
    value->setGeometry(48, y, 60, 17);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* bar = new QScrollBar(Qt::Horizontal, group);
    bar->setObjectName(info.name);
    bar->setGeometry(112, y, 121, 17);
    bar->setRange(info.minimum, info.maximum);
    bar->setPageStep(0);
    bar->setSingleStep(1);
    bar->setValue(info.start);
    bar->setFocusPolicy(Qt::WheelFocus);
    caption->raise();
    bars[static_cast<int>(id)] = bar;
    labels[static_cast<int>(id)] = value;
    connect(bar, &QScrollBar::valueChanged, this, [this, id](int position) { scrollBarChange(id, position); });
}

void InputsTab::scrollBarChange(InputControl id, int position)
{
    setInputControl(id, position);
    labels[static_cast<int>(id)]->setText(QString::number(position));
}

void InputsTab::powerOn()
{
    QScrollBar* rpm = scrollBar(InputControl::Rpm);
    valueLabel(InputControl::Rpm)->setText(QString::number(rpm->value()));
}

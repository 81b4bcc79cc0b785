// Builds the tab from the shared table of input controls. Every bar writes its device input
// through setInputControl, at start-up too, so the instrument always sees what the bars show.
#include "host/inputs_tab.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

#include "device_readings.h"
#include "host/input_bar.h"
#include "host/scenario_recorder.h"

namespace {

constexpr int kRowTop = 16;
constexpr int kRowStep = 24;
constexpr int kGap = 6;
constexpr int kMostBarLeft = 140;  // bars stay at least about 90 pixels long

// The width of the longest count a control can have.
int countWidth(const QFontMetrics& metrics, const InputControlInfo& info)
{
    return std::max(metrics.horizontalAdvance(QString::number(info.minimum)),
                    metrics.horizontalAdvance(QString::number(info.maximum)));
}

// Where every bar (with its reading above it) starts: right of the widest caption and count.
int barLeftFor(const QFontMetrics& metrics)
{
    int widest = 0;
    for (const InputControlInfo& info : inputControls)
        widest = std::max(widest, metrics.horizontalAdvance(info.caption) + kGap + countWidth(metrics, info));
    return std::min(8 + widest + kGap, kMostBarLeft);
}

QGroupBox* makeGroup(const QString& caption, const QRect& geometry, QWidget* parent)
{
    auto* group = new QGroupBox(caption, parent);
    group->setGeometry(geometry);
    return group;
}

// Counts one plain arrow press or wheel detent moves: about one unit the instrument shows.
int usefulStep(InputControl id)
{
    using enum InputControl;
    switch (id) {
    case Oat: case Cjc: return 8;          // about 1 degree
    case Map: return 2;                    // about 1 mb
    case Rpm: return 10;
    case Rotor: return 10;
    case FuelFlow1: case FuelFlow2: return 1;
    case Volts: return 1;
    case CoPpm: return 1;
    case FuelLevel1: case FuelLevel2: case FuelPressure:
    case Input1: case Input2: case Input3: case Input4: case Current: return 10;
    default: return 1;                     // thermocouples: 1 degree
    }
}

}  // namespace

InputsTab::InputsTab(QWidget* parent) : QWidget(parent)
{
    setObjectName("TabSheet1");
    barLeft = barLeftFor(fontMetrics());
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
    } places[] = {{SwitchControl::CoAlarm, co, {16, 48}},
                  {SwitchControl::CoUnitOk, co, {112, 48}},
                  {SwitchControl::ZedaOn, this, {264, 424}},
                  {SwitchControl::SdCardMounted, this, {384, 424}}};
    for (const auto& b : places) {
        const SwitchControlInfo& info = switchControls[static_cast<int>(b.id)];
        auto* box = new QCheckBox(info.caption, b.parent);
        box->setObjectName(info.name);
        box->move(b.at);
        box->adjustSize();
        box->setChecked(info.start);
        setSwitchControl(b.id, info.start);
        connect(box, &QCheckBox::toggled, this, [id = b.id, caption = info.caption](bool ticked) {
            if (ScenarioRecorder* recorder = scenarioRecorder())
                recorder->record(QString("check %1 %2").arg(caption).arg(ticked ? 1 : 0));
            setSwitchControl(id, ticked);
        });
        boxes[static_cast<int>(b.id)] = box;
    }
    refreshReadings();
}

void InputsTab::addRow(QWidget* group, int row, InputControl id, int top)
{
    const InputControlInfo& info = inputControls[static_cast<int>(id)];
    const int y = top >= 0 ? top : kRowTop + kRowStep * row;
    // The count takes the width of its longest value just left of the bar, the caption what is
    // left of the row: the two never overlap.
    const int count = countWidth(group->fontMetrics(), info);
    const int countLeft = barLeft - kGap - count;
    auto* caption = new QLabel(info.caption, group);
    caption->setGeometry(8, y, countLeft - kGap - 8, 17);
    auto* value = new QLabel(group);
    value->setObjectName(QString(info.name).replace("ScrollBar", "Label"));
    value->setGeometry(countLeft, y, count, 17);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setToolTip("Double-click to type a count or a value with its unit");
    value->installEventFilter(this);
    auto* bar = new InputBar(usefulStep(id), group);
    bar->setReversed(inputReadsDownward(id));  // right raises the reading, whichever way the count goes
    bar->setObjectName(info.name);
    // The reading's line starts a little above the caption's, the bar fills the rest of the row.
    const int barTop = y - 3 + InputBar::kReadingHeight;
    bar->setGeometry(barLeft, barTop, group->width() - barLeft - 8, y + kRowStep - 3 - barTop);
    bar->setRange(info.minimum, info.maximum);
    bar->setPageStep(0);
    bar->setSingleStep(1);
    bar->setValue(info.start);
    bar->setFocusPolicy(Qt::WheelFocus);
    caption->raise();
    value->raise();
    bars[static_cast<int>(id)] = bar;
    labels[static_cast<int>(id)] = value;
    scrollBarChange(id, info.start);  // the instrument starts with what the bar shows
    connect(bar, &QScrollBar::valueChanged, this, [this, id](int position) { scrollBarChange(id, position); });
}

void InputsTab::scrollBarChange(InputControl id, int position)
{
    if (ScenarioRecorder* recorder = scenarioRecorder())
        recorder->record(QString("input %1 %2").arg(inputControls[static_cast<int>(id)].caption).arg(position));
    setInputControl(id, position);
    labels[static_cast<int>(id)]->setText(QString::number(position));
    char text[32];
    formatInputReading(inputReading(id, position), text, sizeof text);
    bars[static_cast<int>(id)]->setReadingText(QString::fromUtf8(text));
}

void InputsTab::refreshReadings()
{
    for (int i = 0; i < INPUT_CONTROL_COUNT; ++i) {
        char text[32];
        formatInputReading(inputReading(static_cast<InputControl>(i), bars[i]->value()), text, sizeof text);
        bars[i]->setReadingText(QString::fromUtf8(text));
        bars[i]->setReversed(inputReadsDownward(static_cast<InputControl>(i)));  // the settings may turn it
    }
}

void InputsTab::powerOn()
{
    InputBar* rpm = scrollBar(InputControl::Rpm);
    valueLabel(InputControl::Rpm)->setText(QString::number(rpm->value()));
}

bool InputsTab::applyTypedValue(InputControl id, const QString& typed)
{
    static const QRegularExpression pattern(R"(^\s*(-?\d+(?:[.,]\d*)?)\s*(.*?)\s*$)");
    const QRegularExpressionMatch match = pattern.match(typed);
    if (!match.hasMatch()) return false;
    QString number = match.captured(1);
    number.replace(',', '.');
    const QString unit = match.captured(2);
    const InputControlInfo& info = inputControls[static_cast<int>(id)];
    int32_t position = 0;
    if (unit.isEmpty() && !number.contains('.')) {
        position = number.toInt();
    } else {
        const InputReading reading = inputReading(id, bars[static_cast<int>(id)]->value());
        // The unit may be left out or written loosely ("rpm", "C", "l/h").
        const QString wanted = QString::fromUtf8(reading.unit).remove(QChar(0xB0)).toLower();
        const QString given = QString(unit).remove(QChar(0xB0)).remove(' ').toLower();
        if (!reading.known || (!given.isEmpty() && given != wanted)) return false;
        const double scaled = number.toDouble() * std::pow(10.0, reading.decimals);
        if (!std::isfinite(scaled) || std::fabs(scaled) > 1e9) return false;
        if (!inputPositionForReading(id, static_cast<int32_t>(std::lround(scaled)), position)) return false;
    }
    if (position < info.minimum || position > info.maximum) return false;
    bars[static_cast<int>(id)]->setValue(position);
    return true;
}

bool InputsTab::setByCaption(const QString& caption, int value, bool isCheck)
{
    const QByteArray name = caption.toUtf8();
    if (isCheck) {
        const SwitchControlInfo* info = findSwitchControl(name.constData());
        if (!info) return false;
        boxes[static_cast<int>(info->id)]->setChecked(value != 0);
        return true;
    }
    const InputControlInfo* info = findInputControl(name.constData());
    if (!info || value < info->minimum || value > info->maximum) return false;
    bars[static_cast<int>(info->id)]->setValue(value);
    return true;
}

void InputsTab::openEditor(InputControl id)
{
    closeEditor(false);
    QLabel* label = labels[static_cast<int>(id)];
    editing = id;
    editor = new QLineEdit(label->parentWidget());
    editor->setObjectName("ValueEditor");
    editor->setGeometry(48, label->y() - 1, 185, 19);
    editor->setText(label->text());
    editor->setToolTip("A count, or a value with its unit (e.g. 2400 RPM); Return applies, Escape cancels");
    editor->selectAll();
    editor->installEventFilter(this);
    editor->show();
    editor->setFocus(Qt::MouseFocusReason);  // opened by a double-click: the user's own field
    connect(editor, &QLineEdit::returnPressed, this, [this] { closeEditor(true); });
}

void InputsTab::closeEditor(bool apply)
{
    if (!editor) return;
    QLineEdit* closing = editor;
    if (apply && !applyTypedValue(editing, closing->text())) {
        closing->setStyleSheet("background: #ffd0d0");  // stays open for a correction
        return;
    }
    editor = nullptr;
    closing->removeEventFilter(this);
    closing->deleteLater();
    bars[static_cast<int>(editing)]->setFocus();
}

bool InputsTab::eventFilter(QObject* watched, QEvent* event)
{
    if (editor && watched == editor) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            closeEditor(false);
            return true;
        }
        if (event->type() == QEvent::FocusOut) closeEditor(false);
        return false;
    }
    if (event->type() == QEvent::MouseButtonDblClick)
        for (int i = 0; i < INPUT_CONTROL_COUNT; ++i)
            if (watched == labels[i]) {
                openEditor(static_cast<InputControl>(i));
                return true;
            }
    return QWidget::eventFilter(watched, event);
}

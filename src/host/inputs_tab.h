// The "EMS" tab: one scroll bar per simulated sensor input in six framed groups, and the check
// boxes for the CO detector, the remote sensor unit and the SD card.
#pragma once
#include <QWidget>
#include <array>

#include "device_inputs.h"

class QLabel;
class QLineEdit;
class QCheckBox;
class InputBar;

class InputsTab : public QWidget {
    Q_OBJECT
public:
    explicit InputsTab(QWidget* parent = nullptr);

    InputBar* scrollBar(InputControl id) const { return bars[static_cast<int>(id)]; }
    QLabel* valueLabel(InputControl id) const { return labels[static_cast<int>(id)]; }
    QCheckBox* checkBox(SwitchControl id) const { return boxes[static_cast<int>(id)]; }
    // At every power-on the instrument reads the RPM bar; its label then shows the position too.
    void powerOn();
    // Redraws each bar's engineering reading (after passes, and when a bar moves).
    void refreshReadings();
    // The value editor a double-click on a value label opens (null when none is open).
    QLineEdit* valueEditor() const { return editor; }
    // Applies a typed value: a count, or a reading with its unit ("2400 RPM", "14.2 V").
    // False, changing nothing, when the text is neither or outside the bar's range.
    bool applyTypedValue(InputControl id, const QString& text);
    // Sets a bar or a check box as the runner's "input"/"check" lines name them.
    bool setByCaption(const QString& caption, int value, bool isCheck);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addRow(QWidget* group, int row, InputControl id, int top = -1);
    void scrollBarChange(InputControl id, int position);
    void openEditor(InputControl id);
    void closeEditor(bool apply);

    std::array<InputBar*, INPUT_CONTROL_COUNT> bars{};
    std::array<QLabel*, INPUT_CONTROL_COUNT> labels{};
    std::array<QCheckBox*, 4> boxes{};
    QLineEdit* editor = nullptr;
    InputControl editing = InputControl::Oat;
    int barLeft = 0;  // where every row's bar starts, clear of the widest caption and count
};

// The "EMS" tab: one scroll bar per simulated sensor input in six framed groups, and the check
// boxes for the CO detector, the remote sensor unit and the SD card.
#pragma once
#include <QWidget>
#include <array>

#include "device_inputs.h"

class QLabel;
class QScrollBar;
class QCheckBox;

class InputsTab : public QWidget {
    Q_OBJECT
public:
    explicit InputsTab(QWidget* parent = nullptr);

    QScrollBar* scrollBar(InputControl id) const { return bars[static_cast<int>(id)]; }
    QLabel* valueLabel(InputControl id) const { return labels[static_cast<int>(id)]; }
    // At every power-on the instrument reads the RPM bar; its label then shows the position too.
    void powerOn();

private:
    void addRow(QWidget* group, int row, InputControl id, int top = -1);
    void scrollBarChange(InputControl id, int position);

    std::array<QScrollBar*, INPUT_CONTROL_COUNT> bars{};
    std::array<QLabel*, INPUT_CONTROL_COUNT> labels{};
};

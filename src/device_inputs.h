// The simulated sensor inputs as the host offers them: one scroll bar per input and four check
// boxes. Both the window and the scenario runner build their controls from this table, and a
// bar's change reaches the instrument only through setInputControl.
#pragma once
#include <cstdint>

enum class InputControl : uint8_t {
    Oat, Map, Rpm, Rotor,
    FuelFlow1, FuelLevel1, FuelFlow2, FuelLevel2, FuelPressure,
    Input1, Input2, Input3, Input4,
    Volts, Current,
    Tc1, Tc2, Tc3, Tc4, Tc5, Tc6, Tc7, Tc8, Tc9, Tc10, Tc11, Tc12, Cjc,
    CoPpm,
};
constexpr int INPUT_CONTROL_COUNT = 29;

struct InputControlInfo {
    InputControl id;
    const char* caption;  // as the control shows it, e.g. "Fuel Flow1:" or "TC1"
    const char* name;     // the window's control name, e.g. "ScrollBar29"
    int32_t minimum;
    int32_t maximum;
    int32_t start;        // the bar's position when the program starts
};

extern const InputControlInfo inputControls[INPUT_CONTROL_COUNT];
const InputControlInfo* findInputControl(const char* caption);

// A bar moved to position: its device input takes the value (the "Rotor:" bar also works out
// rotorPercent). Returns false, changing nothing, for a position outside the bar's range.
bool setInputControl(InputControl id, int32_t position);

enum class SwitchControl : uint8_t { CoAlarm, CoUnitOk, ZedaOn, SdCardMounted };
struct SwitchControlInfo {
    SwitchControl id;
    const char* caption;  // "Alarm", "Unit OK", "ZEDA On/Off", "SD Card Mounted"
    const char* name;     // "CheckBox5" ...
    bool start;
};
extern const SwitchControlInfo switchControls[4];
const SwitchControlInfo* findSwitchControl(const char* caption);
void setSwitchControl(SwitchControl id, bool ticked);

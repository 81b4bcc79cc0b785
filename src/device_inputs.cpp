// The input panel's controls and what each one writes into the instrument.
#include "device_inputs.h"

#include <cstring>

#include "device.h"
#include "engine/inputs.h"
#include "settings/settings.h"

const InputControlInfo inputControls[INPUT_CONTROL_COUNT] = {
    {InputControl::Oat, "OAT:", "ScrollBar11", 0, 4096, 0},
    {InputControl::Map, "MAP:", "ScrollBar33", 0, 4096, 0},
    {InputControl::Rpm, "RPM:", "ScrollBar24", 1, 31000, 31000},
    {InputControl::Rotor, "Rotor:", "ScrollBar34", 1, 99999, 1},
    {InputControl::FuelFlow1, "Fuel Flow1:", "ScrollBar29", 0, 65535, 0},
    {InputControl::FuelLevel1, "Fuel Level1:", "ScrollBar30", 0, 4096, 0},
    {InputControl::FuelFlow2, "Fuel Flow2:", "ScrollBar31", 0, 65535, 0},
    {InputControl::FuelLevel2, "Fuel Level2:", "ScrollBar32", 0, 4096, 0},
    {InputControl::FuelPressure, "Fuel Pressure:", "ScrollBar2", 0, 4096, 0},
    {InputControl::Input1, "Input 1:", "ScrollBar25", 0, 4096, 0},
    {InputControl::Input2, "Input 2:", "ScrollBar26", 0, 4096, 0},
    {InputControl::Input3, "Input 3:", "ScrollBar27", 0, 4096, 0},
    {InputControl::Input4, "Input 4:", "ScrollBar28", 0, 4096, 0},
    {InputControl::Volts, "Volts:", "ScrollBar10", 0, 4096, 0},
    {InputControl::Current, "Current:", "ScrollBar1", 0, 4096, 0},
    {InputControl::Tc1, "TC1", "ScrollBar12", -200, 1200, 0},
    {InputControl::Tc2, "TC2", "ScrollBar13", -200, 1200, 0},
    {InputControl::Tc3, "TC3", "ScrollBar14", -200, 1200, 0},
    {InputControl::Tc4, "TC4", "ScrollBar15", -200, 1200, 0},
    {InputControl::Tc5, "TC5", "ScrollBar16", -200, 1200, 0},
    {InputControl::Tc6, "TC6", "ScrollBar17", -200, 1200, 0},
    {InputControl::Tc7, "TC7", "ScrollBar18", -200, 1200, 0},
    {InputControl::Tc8, "TC8", "ScrollBar19", -200, 1200, 0},
    {InputControl::Tc9, "TC9", "ScrollBar20", -200, 1200, 0},
    {InputControl::Tc10, "TC10", "ScrollBar21", -200, 1200, 0},
    {InputControl::Tc11, "TC11", "ScrollBar22", -200, 1200, 0},
    {InputControl::Tc12, "TC12", "ScrollBar23", -200, 1200, 0},
    {InputControl::Cjc, "CJC:", "ScrollBar38", 0, 4096, 2240},
    {InputControl::CoPpm, "CO PPM:", "ScrollBar41", 0, 999, 0},
};

const SwitchControlInfo switchControls[4] = {
    {SwitchControl::CoAlarm, "Alarm", "CheckBox5", false},
    {SwitchControl::CoUnitOk, "Unit OK", "CheckBox6", false},
    {SwitchControl::ZedaOn, "ZEDA On/Off", "CheckBox4", true},
    {SwitchControl::SdCardMounted, "SD Card Mounted", "CheckBox3", true},
};

const InputControlInfo* findInputControl(const char* caption)
{
    for (const InputControlInfo& c : inputControls)
        if (std::strcmp(c.caption, caption) == 0) return &c;
    return nullptr;
}

const SwitchControlInfo* findSwitchControl(const char* caption)
{
    for (const SwitchControlInfo& c : switchControls)
        if (std::strcmp(c.caption, caption) == 0) return &c;
    return nullptr;
}

bool setInputControl(InputControl id, int32_t position)
{
    const InputControlInfo& info = inputControls[static_cast<int>(id)];
    if (position < info.minimum || position > info.maximum) return false;
    const auto u16 = static_cast<uint16_t>(position);
    switch (id) {
    case InputControl::Oat: rawOat = u16; hostControls.oatBar = u16; break;
    case InputControl::Map: rawMap = static_cast<int16_t>(position); break;
    case InputControl::Rpm: rpmPeriod = u16; hostControls.rpmBar = u16; break;
    case InputControl::Rotor: {
        rotorRpm = position;
        // The full scale is kept at 100..99000 by its setup screen; a recalled 0 must not divide.
        const int32_t fullScale = settings.rpm2FullScale > 0 ? settings.rpm2FullScale : 1;
        rotorPercent = static_cast<int32_t>(static_cast<int64_t>(position) * 100 / fullScale);
        break;
    }
    case InputControl::FuelFlow1: rawFuelFlow[0] = u16; break;
    case InputControl::FuelLevel1: rawFuelLevel[0] = u16; break;
    case InputControl::FuelFlow2: rawFuelFlow[1] = u16; break;
    case InputControl::FuelLevel2: rawFuelLevel[1] = u16; break;
    case InputControl::FuelPressure: rawFuelPressure = u16; break;
    case InputControl::Input1: rawAnalog[0] = u16; break;
    case InputControl::Input2: rawAnalog[1] = u16; break;
    case InputControl::Input3: rawAnalog[2] = u16; break;
    case InputControl::Input4: rawAnalog[3] = u16; break;
    case InputControl::Volts: rawVolts = u16; break;
    case InputControl::Current: rawCurrent = u16; break;
    case InputControl::Cjc: rawCjc = u16; break;
    case InputControl::CoPpm: coPpm = u16; break;
    default: tcInput[static_cast<int>(id) - static_cast<int>(InputControl::Tc1)] = static_cast<int16_t>(position); break;
    }
    return true;
}

void setSwitchControl(SwitchControl id, bool ticked)
{
    switch (id) {
    case SwitchControl::CoAlarm: hostControls.coAlarm = ticked; break;
    case SwitchControl::CoUnitOk: hostControls.coUnitOk = ticked; break;
    case SwitchControl::ZedaOn: hostControls.zedaOn = ticked; break;
    case SwitchControl::SdCardMounted: hostControls.sdCardMounted = ticked; break;
    }
}

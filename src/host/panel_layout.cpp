// The front panel's tables.
#include "host/panel_layout.h"

#include <cstring>

#include "ui/screen.h"

namespace panel {

const KeyPlace kKeyPlaces[6] = {
    {"Image2", {24, 416, 41, 41}, KeySoft1},  {"Image3", {104, 416, 41, 41}, KeySoft2},
    {"Image4", {184, 416, 41, 41}, KeySoft3}, {"Image5", {264, 416, 41, 41}, KeySoft4},
    {"Image7", {344, 416, 41, 41}, KeySoft5}, {"Image8", {464, 400, 49, 49}, KeyKnobPress},
};

const ButtonPlace kButtons[4] = {
    {Button::KnobPlus, "Button3", "+", {456, 448, 25, 25}, 16, true},
    {Button::KnobMinus, "Button4", "-", {496, 448, 27, 25}, 16, true},
    {Button::On, "Button1", "&On", {344, 16, 75, 25}, 11, false},
    {Button::Off, "Button2", "&Off", {440, 16, 75, 25}, 11, false},
};

const LampPlace kLamps[2] = {
    {Lamp::Power, "Power", {316, 21, 16, 16}, 0x28E63C},
    {Lamp::Alarm, "ALARM", {340, 21, 16, 16}, 0xEB1E1E},
};

const KeyBinding kKeyBindings[12] = {
    {"F1", KeySoft1, "soft key 1"},
    {"F2", KeySoft2, "soft key 2"},
    {"F3", KeySoft3, "soft key 3"},
    {"F4", KeySoft4, "soft key 4"},
    {"F5", KeySoft5, "soft key 5"},
    {"Return", KeyKnobPress, "knob press"},
    {"Enter", KeyKnobPress, "knob press"},
    {"Space", KeyKnobPress, "knob press"},
    {"Up", KeyKnobPlus, "knob clockwise (+)"},
    {"Right", KeyKnobPlus, "knob clockwise (+)"},
    {"Down", KeyKnobMinus, "knob anticlockwise (-)"},
    {"Left", KeyKnobMinus, "knob anticlockwise (-)"},
};

const Preset kPresets[7] = {
    {"Engine off", "engine_off.scn"},
    {"Idle", "idle.scn"},
    {"Take-off", "take_off.scn"},
    {"Cruise", "cruise.scn"},
    {"Low oil pressure", "low_oil_pressure.scn"},
    {"High CHT", "high_cht.scn"},
    {"Fuel low", "fuel_low.scn"},
};

uint8_t instrumentKeyForName(const char* keyName)
{
    for (const KeyBinding& b : kKeyBindings)
        if (std::strcmp(b.keyName, keyName) == 0) return b.code;
    return 0;
}

}  // namespace panel

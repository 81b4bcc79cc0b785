// The front panel's tables.
#include "panel/panel_layout.h"

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

const KeyBinding kKeyBindings[16] = {
    {"F1", KeySoft1, "soft key 1 (the round buttons under the display, left to right)", true, false},
    {"F2", KeySoft2, "soft key 2", true, false},
    {"F3", KeySoft3, "soft key 3", true, false},
    {"F4", KeySoft4, "soft key 4", true, false},
    {"F5", KeySoft5, "soft key 5", true, false},
    {"Return", KeyKnobPress, "knob press", true, false},
    {"Enter", KeyKnobPress, "knob press", true, false},
    {"Space", KeyKnobPress, "knob press", true, false},
    {"Right", KeyKnobPlus, "knob clockwise (+)", true, false},
    {"Left", KeyKnobMinus, "knob anticlockwise (-)", true, false},
    {"Up", KeyKnobPlus, "a value up (knob +); in a menu or list the cursor up (knob -)", true, true},
    {"Down", KeyKnobMinus, "a value down (knob -); in a menu or list the cursor down (knob +)", true, true},
    {"Wheel up", KeyKnobPlus, "over the display or the knob: knob clockwise (+), a detent a turn", false, false},
    {"Wheel down", KeyKnobMinus, "over the display or the knob: knob anticlockwise (-)", false, false},
    {"Ctrl+O", 0, "power on / off", false, false},
    {"Ctrl+S", 0, "save the display as a PNG", false, false},
};

const char* const kKeyRule =
    "The keys act whichever tab is shown. Only a control you clicked, reached with Tab or typed into "
    "keeps keys from the instrument: a text field all of them, until Esc or a click on the display; "
    "a scroll bar the arrows (Shift: one count).";

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
    for (const KeyBinding& b : kKeyBindings) {
        if (!b.keyboard || std::strcmp(b.keyName, keyName) != 0) continue;
        if (b.followsCursor && knobMovesCursor) return b.code == KeyKnobPlus ? KeyKnobMinus : KeyKnobPlus;
        return b.code;
    }
    return 0;
}

}  // namespace panel

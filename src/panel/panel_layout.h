// The front panel as every host draws it (the window and the web page): the picture's size, where
// the display, the keys, the buttons and the lamps sit on it at zoom 1, which keyboard key stands
// for which instrument key, and the preset buttons. Plain C++: the window builds its widgets from these tables and
// the web page receives them through its glue.
#pragma once
#include <cstdint>

namespace panel {

struct Rect {
    int left, top, width, height;
};

constexpr int kWidth = 550;  // the panel picture at zoom 1
constexpr int kHeight = 477;
constexpr Rect kDisplay = {34, 65, 480, 273};

// The round key areas on the picture: the five soft keys and the knob (a click presses it).
struct KeyPlace {
    const char* name;  // the window's control name
    Rect place;
    uint8_t code;      // instrument key code
};
extern const KeyPlace kKeyPlaces[6];

// The host's buttons drawn over the picture.
enum class Button : uint8_t { KnobPlus, KnobMinus, On, Off };
struct ButtonPlace {
    Button id;
    const char* name;     // the window's control name
    const char* caption;  // "&" marks the window's mnemonic
    Rect place;
    int fontPixels;
    bool bold;
};
extern const ButtonPlace kButtons[4];

// The lamps beside "&On": the power lamp, lit while the instrument runs, and the ALARM lamp, lit
// while an alarm waits for ACK.
enum class Lamp : uint8_t { Power, Alarm };
struct LampPlace {
    Lamp id;
    const char* name;
    Rect place;
    uint32_t colour;  // 0xRRGGBB when lit
};
extern const LampPlace kLamps[2];

// The keyboard keys of the instrument, by the key's name as Help > Keys shows it ("F1", "Return",
// "Up"): each host turns its own key events into these names. Rows that are not keyboard keys
// (the wheel, the shortcuts) are there for the help and the guides' table.
struct KeyBinding {
    const char* keyName;
    uint8_t code;          // instrument key code; 0 for a shortcut of the host
    const char* action;    // as Help > Keys and the guides show it
    bool keyboard;         // a keyboard key the instrument takes (not the wheel or a shortcut)
    bool followsCursor;    // Up and Down: the other turn while the knob moves a cursor, so Down
                           // moves it down a list and Up raises a value
};
extern const KeyBinding kKeyBindings[16];
// What the help adds under the table: which control keeps keys from the instrument.
extern const char* const kKeyRule;

// The presets' buttons below the panel, in their order: the caption and the script of
// data/presets/ that sets every input.
struct Preset {
    const char* title;
    const char* file;
};
extern const Preset kPresets[7];

// The instrument key a keyboard key's name stands for now (Up and Down follow the cursor); 0 for none.
uint8_t instrumentKeyForName(const char* keyName);

}  // namespace panel

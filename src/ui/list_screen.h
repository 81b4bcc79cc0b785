// The list engine behind every list-type setup screen: each screen describes its lines as data
// (label, setting, kind, limits, step rule) and adds its own quirks through a few optional hooks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "settings/settings_field.h"

struct SettingsTable;

enum class LineKind : uint8_t {
    OnOff,        // "OFF"/"ON"; plus and minus both toggle
    Choice,       // an index min..max into choices; wraps both ways
    Number,       // plus adds the step, minus subtracts it; wraps (or stops) at the limits
    Calibration,  // plus adds 1, minus subtracts 1, stopping at the limits
    Action,       // the label alone; the knob press runs action
};

// The step multipliers a line offers, in the order KeySoft3 cycles them, with the label shown
// for each; one knob step moves the value by multiplier x factor. A shared stepMultiplier that
// the line does not offer counts as the line's first multiplier (a millibar line with its
// multipliers 10, 100, 1000 takes 1 as 10; a line of 1 and 10 takes 100 as 1).
struct StepRule {
    uint16_t multipliers[4] = {};  // unused places 0
    const char* labels[4] = {};
    int32_t factor = 1;
};

extern const StepRule stepsOneTen;               // "X1" "X10"
extern const StepRule stepsTenthsOneTen;         // "X0.1" "X1.0" (values kept in tenths)
extern const StepRule stepsOneTenHundred;        // "X1" "X10" "X100"
extern const StepRule stepsTenthsOneTenHundred;  // "X0.1" "X1" "X10"

struct Limits {
    int32_t min;
    int32_t max;
};

struct ListLine {
    const char* label = "";
    LineKind kind = LineKind::Number;
    // The setting the line edits; sender sub-record fields are taken on the screen's listChannel,
    // and item is the element of an array field. Its limits are those the settings tables give
    // the setup screens (limitsOf, screenSpan in settings/settings_table.h).
    SettingsField field{};
    // A value kept outside the settings (calibration block, working copies) instead of a field.
    int32_t (*get)() = nullptr;
    void (*set)(int32_t value) = nullptr;
    int32_t min = 0;  // the limits of a value without a field (get and set)
    int32_t max = 0;
    Limits (*limits)() = nullptr;  // limits of a value without a field that follow other settings
    const char* const* choices = nullptr;  // Choice: a text for each index min..max
    // Value text; without it numbers are "%d", choices their text, on/off "OFF"/"ON".
    void (*format)(char* text, size_t size, int32_t value) = nullptr;
    const StepRule* steps = nullptr;          // nullptr: step 1, and KeySoft3 does nothing here
    const StepRule* (*stepRule)() = nullptr;  // a rule that follows a unit; replaces steps
    bool stopAtLimits = false;                // Number: stop at the limits instead of wrapping
    // A change rule of its own (wraps that are not plain): the value after one knob step in
    // direction +1 or -1, where step is what the line's step rule gives (multiplier x factor).
    int32_t (*next)(int32_t value, int direction, int32_t step) = nullptr;
    bool (*offered)() = nullptr;  // nullptr: always offered
    void (*action)() = nullptr;   // Action: run by the knob press
    void (*changed)() = nullptr;  // after the value changed (derived values, dependent fields)
    uint8_t item = 0;             // element of an array field, and the number of a numbered label
    bool numbered = false;        // the label is a format taking item + 1 ("DISPLAY %d: ")
    // Label text that follows other values (a tank point's contents, the channel's function);
    // replaces label.
    void (*formatLabel)(char* text, size_t size, uint8_t item) = nullptr;
    // The record field lives in when it is not the settings (e.g. a working copy), and the
    // settings table of that kind of record, which holds the field's limits.
    void* (*record)() = nullptr;
    const SettingsTable* table = nullptr;
};

// The line shapes most screens use.
constexpr ListLine onOff(const char* label, SettingsField field, bool (*offered)() = nullptr)
{
    return {.label = label, .kind = LineKind::OnOff, .field = field, .offered = offered};
}
// choices: a text for each value the settings table gives the field.
constexpr ListLine choice(const char* label, SettingsField field, const char* const* choices,
                          bool (*offered)() = nullptr)
{
    return {.label = label, .kind = LineKind::Choice, .field = field, .choices = choices, .offered = offered};
}

void backToParentMenu();  // ui/tile_menu.h

struct ListScreen {
    const char* menuName = "";
    const char* screenName = "";
    // Titles that change with the channel or mode; replaces menuName and screenName.
    void (*titles)(const char*& menu, const char*& screen) = nullptr;
    std::span<const ListLine> lines;
    // Lines of the table in use right now (the rest are not offered); nullptr: all.
    uint8_t (*usedLines)() = nullptr;
    uint8_t visibleRows = 11;  // rows shown at once; the cursor scrolls the list within them
    uint8_t softKeys = 1;      // drawSoftKeyBar flags
    void (*back)() = backToParentMenu;  // KeySoft2 (nullptr: the screen's handleKey takes it)
    void (*leave)() = nullptr;  // run when left by EXIT or BACK
    // A screen's own keys, tried first; returns true when it consumed the key.
    bool (*handleKey)(uint8_t key, const ListLine* line) = nullptr;
    void (*drawExtra)() = nullptr;  // drawn after the lines, before the soft keys
    // A cursor left on a line that went away stays there (nothing is selected; the next
    // clockwise step goes to line 0) instead of moving to the last line offered.
    bool cursorStaysOnHiddenLine = false;
};

// The channel a per-channel screen shows: 0..3 the analog inputs, OWN_SENSOR_CHANNEL the fuel
// pressure sender or the main current sensor. Set by whoever opens the screen.
extern uint8_t listChannel;

// One pass of a list screen: draw the title, indicator, lines and step label, then act on the
// pending key and consume it.
void runListScreen(const ListScreen& screen);

// The lines offered right now (indexes into screen.lines), at most 64.
int offeredLines(const ListScreen& screen, uint8_t* indexes);

// A line's value and limits as the engine sees them (for screens' hooks and tests).
int32_t lineValue(const ListLine& line);
void setLineValue(const ListLine& line, int32_t value);
Limits lineLimits(const ListLine& line);
// The multiplier in force on a line, and the value change of one knob step.
uint16_t lineMultiplier(const ListLine& line);
int32_t lineStep(const ListLine& line);

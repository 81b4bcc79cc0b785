// The list engine behind every list-type setup screen: each screen describes its lines as data
// (label, value, kind, limits, steps) and adds its own quirks through a few optional hooks.
#pragma once
#include <cstddef>
#include <cstdint>

enum class LineKind : uint8_t {
    OnOff,        // "OFF"/"ON"; plus and minus both toggle
    Choice,       // an index 0..max into choices; wraps both ways
    Number,       // plus adds the step, minus subtracts it; wraps (or stops) at the limits
    Calibration,  // plus adds 1, minus subtracts 1, stopping at the limits
    Action,       // the label alone; the knob press runs action
};

enum class StepSet : uint8_t {
    None,       // always 1; KeySoft3 does nothing on this line
    OneTen,     // 1 <-> 10
    OneTenHundred,  // 1 -> 10 -> 100 -> 1
};

struct ListLine {
    const char* label = "";
    LineKind kind = LineKind::Number;
    int32_t (*get)() = nullptr;
    void (*set)(int32_t value) = nullptr;
    int32_t min = 0;
    int32_t max = 0;
    const char* const* choices = nullptr;  // Choice: max + 1 texts
    // Value text; without it numbers are "%d", choices their text, on/off "OFF"/"ON".
    void (*format)(char* text, size_t size, int32_t value) = nullptr;
    StepSet steps = StepSet::None;
    bool tenths = false;        // the step label reads "X0.1"/"X1.0" (values kept in tenths)
    bool stopAtLimits = false;  // Number: stop at the limits instead of wrapping
    bool (*offered)() = nullptr;  // nullptr: always offered
    void (*action)() = nullptr;   // Action: run by the knob press
    void (*changed)() = nullptr;  // after the value changed (derived values)
};

struct ListScreen {
    const char* menuName = "";
    const char* screenName = "";
    const ListLine* lines = nullptr;
    uint8_t lineCount = 0;
    uint8_t softKeys = 1;  // drawSoftKeyBar flags
    void (*back)() = nullptr;     // KeySoft2: back to the parent menu
    void (*leave)() = nullptr;    // run when left by EXIT or BACK
    // Smallest step the unit in use allows (e.g. 10 for millibars); nullptr: 1.
    uint16_t (*minimumStep)() = nullptr;
    // A screen's own keys, tried first; returns true when it consumed the key.
    bool (*handleKey)(uint8_t key, const ListLine* line) = nullptr;
    void (*drawExtra)() = nullptr;  // drawn after the lines, before the soft keys
};

// One pass of a list screen: draw the title, indicator, lines and step label, then act on the
// pending key and consume it.
void runListScreen(const ListScreen& screen);

// The lines offered right now (indexes into screen.lines), at most 64.
int offeredLines(const ListScreen& screen, uint8_t* indexes);

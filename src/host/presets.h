// Input presets: scenario scripts of "input" and "check" lines (data/presets) that set the
// EMS tab's bars and boxes in one go, so the instrument reaches a believable state at once.
#pragma once
#include <QString>
#include <vector>

class InputsTab;

struct InputPreset {
    QString title;     // the button's caption, e.g. "Cruise"
    QString resource;  // the script, e.g. ":/presets/cruise.scn"
};

const std::vector<InputPreset>& inputPresets();
// Applies a script's lines to the tab's controls. False with the first bad line in error.
bool applyPresetText(InputsTab* inputs, const QString& text, QString* error = nullptr);
bool applyPreset(InputsTab* inputs, const InputPreset& preset, QString* error = nullptr);

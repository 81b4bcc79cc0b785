// Cursor movement, edit mode, step multipliers and value changes for list-type setup screens.
#include "ui/list_screen.h"

#include <algorithm>
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "settings/settings_table.h"
#include "ui/screen.h"

const StepRule stepsOneTen = {{1, 10}, {"X1", "X10"}};
const StepRule stepsTenthsOneTen = {{1, 10}, {"X0.1", "X1.0"}};
const StepRule stepsOneTenHundred = {{1, 10, 100}, {"X1", "X10", "X100"}};
const StepRule stepsTenthsOneTenHundred = {{1, 10, 100}, {"X0.1", "X1", "X10"}};

uint8_t listChannel = 0;

namespace {

constexpr int kMaxLines = 64;
const char* const kOnOff[] = {"OFF", "ON"};

const StepRule* ruleOf(const ListLine& line) { return line.stepRule ? line.stepRule() : line.steps; }

// Index of the multiplier in force within the rule: the shared one if offered, else the first.
int stepIndex(const StepRule& rule)
{
    for (int i = 0; i < 4 && rule.multipliers[i] != 0; ++i)
        if (rule.multipliers[i] == stepMultiplier) return i;
    return 0;
}

void formatValue(const ListLine& line, char* text, size_t size)
{
    text[0] = '\0';
    if (line.kind == LineKind::Action || (!line.get && !line.field.bound())) return;
    const int32_t value = lineValue(line);
    if (line.format) {
        line.format(text, size, value);
    } else if (line.kind == LineKind::OnOff) {
        std::snprintf(text, size, "%s", kOnOff[value ? 1 : 0]);
    } else if (line.kind == LineKind::Choice) {
        const Limits limits = lineLimits(line);
        const bool known = line.choices && value >= limits.min && value <= limits.max;
        std::snprintf(text, size, "%s", known ? line.choices[value - limits.min] : "?");
    } else {
        std::snprintf(text, size, "%d", static_cast<int>(value));
    }
}

void labelText(const ListLine& line, char* text, size_t size)
{
    if (line.formatLabel) line.formatLabel(text, size, line.item);
    else if (line.numbered) std::snprintf(text, size, line.label, line.item + 1);
    else std::snprintf(text, size, "%s", line.label);
}

int32_t changedValue(const ListLine& line, int32_t value, int direction)
{
    if (line.next) return line.next(value, direction, lineStep(line));
    const Limits limits = lineLimits(line);
    switch (line.kind) {
    case LineKind::OnOff:
        return value ? 0 : 1;
    case LineKind::Choice:
        if (direction > 0) return value >= limits.max || value < limits.min ? limits.min : value + 1;
        return value <= limits.min || value > limits.max ? limits.max : value - 1;
    case LineKind::Calibration:
        return std::clamp(value + direction, limits.min, std::max(limits.min, limits.max));
    case LineKind::Number: {
        const int64_t next = static_cast<int64_t>(value) + direction * static_cast<int64_t>(lineStep(line));
        if (next > limits.max) return line.stopAtLimits ? limits.max : limits.min;
        if (next < limits.min) return line.stopAtLimits ? limits.min : limits.max;
        return static_cast<int32_t>(next);
    }
    case LineKind::Action:
        break;
    }
    return value;
}

void changeLine(const ListLine& line, int direction)
{
    if (line.kind == LineKind::Action) return;
    if (!(line.get && line.set) && !line.field.bound()) return;
    setLineValue(line, changedValue(line, lineValue(line), direction));
    if (line.changed) line.changed();
}

void nextStep(const ListLine& line)
{
    const StepRule* rule = ruleOf(line);
    if (!rule) return;
    const int i = stepIndex(*rule);
    const int next = i + 1 < 4 && rule->multipliers[i + 1] != 0 ? i + 1 : 0;
    stepMultiplier = rule->multipliers[next];
}

void drawStepLabel(const ListLine& line)
{
    const StepRule* rule = ruleOf(line);
    if (!rule) return;
    const char* label = rule->labels[stepIndex(*rule)];
    drawText(186, 254, label ? label : "", 8, AlignCentre, COLOUR_WHITE);
}

void* recordOf(const ListLine& line)
{
    return line.record ? line.record() : settingsRecord(line.field.record, listChannel);
}

}  // namespace

int32_t lineValue(const ListLine& line)
{
    if (line.get) return line.get();
    if (!line.field.bound()) return 0;
    return static_cast<int32_t>(line.field.load(recordOf(line), std::min<int>(line.item, line.field.count - 1)));
}

void setLineValue(const ListLine& line, int32_t value)
{
    if (line.set) {
        line.set(value);
    } else if (line.field.bound()) {
        line.field.store(recordOf(line), value, std::min<int>(line.item, line.field.count - 1));
    }
}

Limits lineLimits(const ListLine& line)
{
    if (line.limits) return line.limits();
    const SettingLimits* limits = line.field.bound() ? limitsOf(line.field, line.table) : nullptr;
    if (!limits) return {line.min, line.max};
    const SettingSpan span = screenSpan(*limits, settings, static_cast<const uint8_t*>(recordOf(line)));
    return {span.min, span.max};
}

uint16_t lineMultiplier(const ListLine& line)
{
    const StepRule* rule = ruleOf(line);
    return rule ? rule->multipliers[stepIndex(*rule)] : 1;
}

int32_t lineStep(const ListLine& line)
{
    const StepRule* rule = ruleOf(line);
    return rule ? rule->multipliers[stepIndex(*rule)] * rule->factor : 1;
}

int offeredLines(const ListScreen& screen, uint8_t* indexes)
{
    const int size = static_cast<int>(screen.lines.size());
    const int used = screen.usedLines ? std::min<int>(screen.usedLines(), size) : size;
    int count = 0;
    for (int i = 0; i < used && count < kMaxLines; ++i)
        if (!screen.lines[i].offered || screen.lines[i].offered()) indexes[count++] = static_cast<uint8_t>(i);
    return count;
}

void runListScreen(const ListScreen& screen)
{
    uint8_t offered[kMaxLines];
    const int count = offeredLines(screen, offered);
    // A line that went away may leave the cursor past the end.
    if (!screen.cursorStaysOnHiddenLine && count > 0 && cursorLine >= count) cursorLine = static_cast<uint8_t>(count - 1);
    if (count == 0) cursorLine = 0;

    const char* menu = screen.menuName;
    const char* name = screen.screenName;
    if (screen.titles) screen.titles(menu, name);
    drawPageTitle(menu, name);
    drawScrollIndicator(cursorLine, count);
    const int rows = std::clamp<int>(screen.visibleRows, 1, 11);
    listTop = cursorLine > rows - 1 ? static_cast<uint8_t>(cursorLine - (rows - 1)) : 0;
    char label[48], value[48];
    for (int i = listTop; i < count && i - listTop < rows; ++i) {
        const ListLine& line = screen.lines[offered[i]];
        labelText(line, label, sizeof label);
        formatValue(line, value, sizeof value);
        drawMenuRow(i - listTop, label, value);
    }
    const ListLine* current = cursorLine < count ? &screen.lines[offered[cursorLine]] : nullptr;
    if (current) drawStepLabel(*current);
    if (screen.drawExtra) screen.drawExtra();
    drawSoftKeyBar(screen.softKeys);

    knobMovesCursor = editMode == 0 ? 1 : 0;
    const uint8_t key = takeKey();
    if (key == KeyNone) return;
    if (screen.handleKey && screen.handleKey(key, current)) return;
    switch (key) {
    case KeySoft1:
        if (screen.leave) screen.leave();
        goHome();
        break;
    case KeySoft2:
        if (!screen.back) break;
        if (screen.leave) screen.leave();
        editMode = 0;
        screen.back();
        break;
    case KeySoft3:
        if (current) nextStep(*current);
        break;
    case KeyKnobPress:
        if (current && current->kind == LineKind::Action) {
            if (current->action) current->action();
        } else {
            editMode = static_cast<uint8_t>(1 - editMode);
        }
        break;
    case KeyKnobPlus:
    case KeyKnobMinus: {
        const int direction = key == KeyKnobPlus ? 1 : -1;
        if (editMode == 1 && current) {
            changeLine(*current, direction);
        } else if (count > 0) {
            if (direction > 0) cursorLine = cursorLine + 1 >= count ? 0 : static_cast<uint8_t>(cursorLine + 1);
            else cursorLine = cursorLine == 0 ? static_cast<uint8_t>(count - 1) : static_cast<uint8_t>(cursorLine - 1);
        }
        break;
    }
    default:
        break;
    }
}

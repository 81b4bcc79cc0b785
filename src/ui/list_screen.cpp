// Cursor movement, edit mode, step multipliers and value changes for list-type setup screens.
#include "ui/list_screen.h"

#include <algorithm>
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "ui/screen.h"

namespace {

constexpr int kMaxLines = 64;
const char* const kOnOff[] = {"OFF", "ON"};

uint16_t smallestStep(const ListScreen& screen)
{
    return screen.minimumStep ? screen.minimumStep() : 1;
}

uint16_t largestStep(StepSet steps)
{
    switch (steps) {
    case StepSet::OneTen: return 10;
    case StepSet::OneTenHundred: return 100;
    default: return 1;
    }
}

// The multiplier in force on a line: the shared one, kept within what the line and unit allow.
uint16_t stepFor(const ListScreen& screen, const ListLine& line)
{
    if (line.steps == StepSet::None) return 1;
    return std::clamp<uint16_t>(stepMultiplier, smallestStep(screen), largestStep(line.steps));
}

void formatValue(const ListLine& line, char* text, size_t size)
{
    text[0] = '\0';
    if (line.kind == LineKind::Action || !line.get) return;
    const int32_t value = line.get();
    if (line.format) {
        line.format(text, size, value);
    } else if (line.kind == LineKind::OnOff) {
        std::snprintf(text, size, "%s", kOnOff[value ? 1 : 0]);
    } else if (line.kind == LineKind::Choice) {
        const bool known = line.choices && value >= line.min && value <= line.max;
        std::snprintf(text, size, "%s", known ? line.choices[value] : "?");
    } else {
        std::snprintf(text, size, "%d", static_cast<int>(value));
    }
}

int32_t changedValue(const ListScreen& screen, const ListLine& line, int32_t value, int direction)
{
    switch (line.kind) {
    case LineKind::OnOff:
        return value ? 0 : 1;
    case LineKind::Choice:
        if (direction > 0) return value >= line.max || value < line.min ? line.min : value + 1;
        return value <= line.min || value > line.max ? line.max : value - 1;
    case LineKind::Calibration:
        return std::clamp(value + direction, line.min, line.max);
    case LineKind::Number: {
        const int32_t next = value + direction * static_cast<int32_t>(stepFor(screen, line));
        if (next > line.max) return line.stopAtLimits ? line.max : line.min;
        if (next < line.min) return line.stopAtLimits ? line.min : line.max;
        return next;
    }
    case LineKind::Action:
        break;
    }
    return value;
}

void changeLine(const ListScreen& screen, const ListLine& line, int direction)
{
    if (line.kind == LineKind::Action || !line.get || !line.set) return;
    line.set(changedValue(screen, line, line.get(), direction));
    if (line.changed) line.changed();
}

void nextStep(const ListScreen& screen, const ListLine& line)
{
    if (line.steps == StepSet::None) return;
    const uint16_t lowest = smallestStep(screen), highest = largestStep(line.steps);
    const uint16_t current = stepFor(screen, line);
    stepMultiplier = current >= highest ? lowest : static_cast<uint16_t>(current * 10);
}

void drawStepLabel(const ListScreen& screen, const ListLine& line)
{
    if (line.steps == StepSet::None) return;
    const uint16_t step = stepFor(screen, line);
    const char* label;
    if (line.tenths) label = step == 1 ? "X0.1" : "X1.0";
    else label = step == 1 ? "X1" : step == 10 ? "X10" : "X100";
    drawText(186, 254, label, 8, AlignCentre, COLOUR_WHITE);
}

}  // namespace

int offeredLines(const ListScreen& screen, uint8_t* indexes)
{
    int count = 0;
    for (int i = 0; i < screen.lineCount && count < kMaxLines; ++i)
        if (!screen.lines[i].offered || screen.lines[i].offered()) indexes[count++] = static_cast<uint8_t>(i);
    return count;
}

void runListScreen(const ListScreen& screen)
{
    uint8_t offered[kMaxLines];
    const int count = offeredLines(screen, offered);
    // A line that went away may leave the cursor past the end.
    if (count > 0 && cursorLine >= count) cursorLine = static_cast<uint8_t>(count - 1);

    drawPageTitle(screen.menuName, screen.screenName);
    drawScrollIndicator(cursorLine, count);
    listTop = cursorLine > 10 ? static_cast<uint8_t>(cursorLine - 10) : 0;
    char value[48];
    for (int i = 0; i < count; ++i) {
        const ListLine& line = screen.lines[offered[i]];
        formatValue(line, value, sizeof value);
        drawMenuRow(i - listTop, line.label, value);
    }
    const ListLine* current = count > 0 ? &screen.lines[offered[cursorLine]] : nullptr;
    if (current) drawStepLabel(screen, *current);
    if (screen.drawExtra) screen.drawExtra();
    drawSoftKeyBar(screen.softKeys);

    const uint8_t key = pendingKey;
    pendingKey = KeyNone;
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
        if (current) nextStep(screen, *current);
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
            changeLine(screen, *current, direction);
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

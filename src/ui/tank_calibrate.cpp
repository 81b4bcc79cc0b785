// TANK 1 CALIBRATE and TANK 2 CALIBRATE: the six level sender readings at 0, 20 .. 100 percent
// of the tank, stored from the live reading (SENDER) or set by the knob (MANUAL); leaving them
// requires a monotonic calibration.
#include <array>
#include <cstdio>
#include <cstring>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/fuel.h"
#include "settings/settings_field.h"
#include "ui/fuel_setup.h"
#include "ui/list_screen.h"

uint8_t calibrationMode = 0;

namespace {

constexpr int kPoints = 6;
constexpr uint8_t kCalibrateLine = 6;  // "CALIBRATE TANK" on TANK SETUP
constexpr int32_t kTopReading = 4096;

const char* const kModes[] = {"SENDER", "MANUAL"};

bool manual() { return calibrationMode == 1; }

// Readings step in MANUAL mode only: past 4096 to 0, below 0 to 4096.
const StepRule* pointSteps() { return manual() ? &stepsOneTenHundred : nullptr; }
int32_t nextReading(int32_t value, int direction, int32_t step)
{
    if (!manual()) return value;
    if (direction > 0) return value + step > kTopReading ? 0 : value + step;
    return value < step ? kTopReading : value - step;
}

// The label is what the point stands for: i fifths of the tank.
template <int Tank> void pointLabel(char* text, size_t n, uint8_t i)
{
    const int32_t size = Tank == 0 ? settings.tank1Size : settings.tank2Size;
    if (fuelUnitIsGallons()) std::snprintf(text, n, "%.1fG: ", size * (i * 20) * 0.001);
    else if (settings.tankLitreResolution == 1) std::snprintf(text, n, "%.1fL: ", size * (i * 20) * 0.001);
    else std::snprintf(text, n, "%dL: ", static_cast<int>(i * size * 20 / 100));
}

template <int Tank> constexpr std::array<ListLine, 1 + kPoints> calibrateLines()
{
    std::array<ListLine, 1 + kPoints> lines{};
    lines[0] = {.label = "MODE: ", .kind = LineKind::Choice, .get = [] { return int32_t{calibrationMode}; },
                .set = [](int32_t v) { calibrationMode = static_cast<uint8_t>(v); }, .max = 1, .choices = kModes};
    for (int i = 0; i < kPoints; ++i)
        lines[1 + i] = {.field = Tank == 0 ? SETTING(tank1Calibration) : SETTING(tank2Calibration),
                        .stepRule = pointSteps, .next = nextReading, .item = static_cast<uint8_t>(i),
                        .formatLabel = pointLabel<Tank>};
    return lines;
}

const std::array<ListLine, 1 + kPoints> kTank1Lines = calibrateLines<0>();
const std::array<ListLine, 1 + kPoints> kTank2Lines = calibrateLines<1>();

// A failing slope check shows the message and comes back here; nothing else changes.
template <int Tank> bool slopeChecked()
{
    if (tankCalibrationMonotonic(Tank)) return true;
    openScreen(slopeErrorScreen);
    return false;
}

template <int Tank> bool handleKey(uint8_t key, const ListLine* line)
{
    switch (key) {
    case KeySoft1:
        if (slopeChecked<Tank>()) {
            updateFuelLayout();
            goHome();
        }
        return true;
    case KeySoft2:
        if (slopeChecked<Tank>()) {
            updateFuelLayout();
            returnToScreen(Tank == 0 ? tank1SetupScreen : tank2SetupScreen, kCalibrateLine);
        }
        return true;
    case KeyKnobPress:
        if (manual() || !line || !line->field.bound()) return false;
        setLineValue(*line, fuelLevelInput[Tank]);
        return true;
    default:
        return false;
    }
}

template <int Tank> void drawLiveReading()
{
    char text[32];
    std::snprintf(text, sizeof text, "TANK %d ADC: %u ", Tank + 1, static_cast<unsigned>(fuelLevelInput[Tank]));
    drawText(100, 200, text, 10, AlignLeft, COLOUR_RED);
}

const ListScreen kTank1 = {.menuName = "TANK 1 SETUP", .screenName = "TANK 1 CALIBRATE", .lines = kTank1Lines,
                           .handleKey = handleKey<0>, .drawExtra = drawLiveReading<0>};

const ListScreen kTank2 = {.menuName = "TANK 2 SETUP", .screenName = "TANK 2 CALIBRATE", .lines = kTank2Lines,
                           .handleKey = handleKey<1>, .drawExtra = drawLiveReading<1>};

template <int Tank> void calibrateScreen() { runListScreen(Tank == 0 ? kTank1 : kTank2); }

}  // namespace

void tank1CalibrateScreen() { calibrateScreen<0>(); }
void tank2CalibrateScreen() { calibrateScreen<1>(); }

bool tankCalibrationMonotonic(int tank)
{
    uint16_t p[kPoints];  // copied out: the record is packed
    std::memcpy(p, tank == 0 ? settings.tank1Calibration : settings.tank2Calibration, sizeof p);
    const bool rising = p[0] <= p[kPoints - 1];
    for (int i = 0; i + 1 < kPoints; ++i)
        if (rising ? p[i] >= p[i + 1] : p[i] <= p[i + 1]) return false;
    return true;
}

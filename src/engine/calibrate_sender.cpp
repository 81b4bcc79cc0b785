// CALIBRATE SENDER: the user curve of one sender, point by point (displayed value and ADC reading),
// on a working copy that BACK stores and EXIT drops; the live reading is shown for reference.
#include <algorithm>
#include <array>
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/inputs.h"
#include "engine/senders.h"
#include "engine/setup_screens.h"
#include "settings/settings_field.h"
#include "settings/settings_table.h"
#include "ui/list_screen.h"
#include "ui/screen.h"
#include "ui/widget_texts.h"

SenderCurve workingCurve = {};
uint8_t workingCurveTemperature = 0;
uint8_t workingCurveReturnLine = 0;

namespace {

constexpr int kPoints = 16;

SenderCurve& senderCurve()
{
    if (workingCurveTemperature) return settings.temperatureSender[listChannel % 4].curve;
    return reinterpret_cast<PressureSenderConfig*>(settingsRecord(FieldRecord::PressureSender, listChannel))->curve;
}

uint8_t pressureUnit()
{
    return reinterpret_cast<PressureSenderConfig*>(settingsRecord(FieldRecord::PressureSender, listChannel))
        ->pressureUnit;
}

// Whole numbers for temperatures and psi, tenths for bar and psi(0.1).
bool valuesInTenths() { return !workingCurveTemperature && pressureUnit() != 1; }

const StepRule kWholeValueSteps = {{1, 10}, {"X1", "X10"}};
const StepRule kTenthsValueSteps = {{1, 10}, {"X0.1", "X1"}};
const StepRule* valueSteps() { return valuesInTenths() ? &kTenthsValueSteps : &kWholeValueSteps; }

void formatValue(char* text, size_t size, int32_t v)
{
    if (workingCurveTemperature) {
        std::snprintf(text, size, "%03d %s", static_cast<int>(v), temperatureUnitText(settings.temperatureUnit));
        return;
    }
    const char* unit = pressureUnitText(pressureUnit());
    if (valuesInTenths()) std::snprintf(text, size, "%.1f %s", v * 0.1, unit);
    else std::snprintf(text, size, "%03d %s", static_cast<int>(v), unit);
}

void formatReading(char* text, size_t size, int32_t v) { std::snprintf(text, size, "%04d", static_cast<int>(v)); }

// Past the top a value starts again at 0, below 1 at the top; otherwise it moves by the whole step.
template <int32_t Top> int32_t wrapped(int32_t value, int direction, int32_t step)
{
    if (direction > 0) return value > Top - 1 ? 0 : value + step;
    return value < 1 ? Top : value - step;
}

void* working() { return &workingCurve; }

constexpr SettingsField pointField(int k, size_t member)
{
    return SettingsField{static_cast<uint16_t>(offsetof(SenderCurve, points) + k * sizeof(SenderPoint) + member),
                         FieldWidth::I16, 1};
}

// Line 0 the point count, then a DISPLAY and an ADC line for every point.
constexpr std::array<ListLine, 1 + 2 * kPoints> makeLines()
{
    std::array<ListLine, 1 + 2 * kPoints> lines{};
    lines[0] = {.label = "POINTS: ", .field = RECORD_FIELD(SenderCurve, pointCount), .record = working,
                .table = &senderCurveTable};
    for (int k = 0; k < kPoints; ++k) {
        lines[1 + 2 * k] = {.label = "DISPLAY %d: ", .field = pointField(k, offsetof(SenderPoint, value)),
                            .format = formatValue, .stepRule = valueSteps, .next = wrapped<999>,
                            .item = static_cast<uint8_t>(k), .numbered = true, .record = working,
                            .table = &senderCurveTable};
        lines[2 + 2 * k] = {.label = "ADC %d: ", .field = pointField(k, offsetof(SenderPoint, reading)),
                            .format = formatReading, .steps = &stepsOneTenHundred, .next = wrapped<4095>,
                            .item = static_cast<uint8_t>(k), .numbered = true, .record = working,
                            .table = &senderCurveTable};
    }
    return lines;
}

const std::array<ListLine, 1 + 2 * kPoints> kLines = makeLines();

uint8_t usedLines() { return static_cast<uint8_t>(1 + 2 * std::clamp<int>(workingCurve.pointCount, 1, kPoints)); }

void drawLiveReading()
{
    char text[48];
    const unsigned reading = listChannel < 4 ? analogInput[listChannel] : rawFuelPressure;
    std::snprintf(text, sizeof text, "%s SENDER ADC: %u", workingCurveTemperature ? "TEMPERATURE" : "PRESSURE",
                  reading);
    drawText(100, 230, text, 10, AlignLeft, COLOUR_RED);
}

void storeAndGoBack()
{
    senderCurve() = workingCurve;
    returnToScreen(returnScreen, workingCurveReturnLine);
}

const ListScreen kScreen = {
    .titles = [](const char*& menu, const char*& screen) {
        menu = workingCurveTemperature ? "TEMPERATURE SETUP" : "PRESSURE SETUP";
        screen = "CALIBRATE SENDER";
    },
    .lines = kLines,
    .usedLines = usedLines,
    .visibleRows = 10,
    .back = storeAndGoBack,
    .drawExtra = drawLiveReading,
};

}  // namespace

void openCalibrateSender(bool temperature)
{
    workingCurveTemperature = temperature ? 1 : 0;
    openScreen(calibrateSenderScreen);
}

void enterCalibrateSender()
{
    workingCurve = senderCurve();
    workingCurveReturnLine = cursorLine;
    returnScreen = currentScreen;
}

void calibrateSenderScreen() { runListScreen(kScreen); }

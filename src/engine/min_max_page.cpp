// The MIN/MAX pop-up: the kept minimum and maximum values of the basic channels on the left, the
// sender inputs on the right and the thermocouple maxima below in columns of four; RESET sets
// every minimum and maximum to the present value.
#include "engine/min_max_page.h"

#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/engine.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "gps/gps.h"
#include "settings/settings.h"
#include "ui/home.h"
#include "ui/screen.h"
#include "ui/widget_texts.h"
#include "ui/widgets.h"

namespace {

constexpr int kRowStep = 15;
constexpr int kFirstRow = 40;
// The CO monitor's maximum is never raised, so it always reads 0.
constexpr int kCoMaximum = 0;

// One column of label-value lines, each on the next row.
struct Column {
    int labelX, valueX, y;
    void line(const char* label, const char* value)
    {
        drawText(labelX, y, label, 8, AlignLeft, COLOUR_SILVER);
        drawText(valueX, y, value, 8, AlignLeft, COLOUR_WHITE);
        y += kRowStep;
    }
};

void drawBasicChannels()
{
    Column left{30, 165, kFirstRow};
    char label[40], value[40];
    char minText[16], maxText[16];
    formatTenths(minText, sizeof minText, voltsMin);
    formatTenths(maxText, sizeof maxText, voltsMax);
    std::snprintf(value, sizeof value, "%s/%s", minText, maxText);
    left.line("VOLTS: (V)", value);
    std::snprintf(label, sizeof label, "OAT (%s):", temperatureUnitText(settings.oatUnit));
    std::snprintf(value, sizeof value, "%d/%d", oatMin, oatMax);
    left.line(label, value);
    const struct {
        uint8_t mode, labelIndex;
        int32_t maximum;
    } rpms[] = {{settings.rpm1DisplayMode, settings.rpm1Label, rpmMax},
                {settings.rpm2DisplayMode, settings.rpm2Label, rotorMax}};
    for (const auto& r : rpms) {
        if (r.mode >= 2) continue;
        std::snprintf(label, sizeof label, "%s%s", rpmLabelText(r.labelIndex), r.mode == 0 ? " RPM:" : " RPM (%):");
        std::snprintf(value, sizeof value, "%d", static_cast<int>(r.maximum));
        left.line(label, value);
    }
    if (settings.mapDisplayOn == 1) {
        std::snprintf(label, sizeof label, "MAP (%s):", mapUnitText(settings.mapUnit));
        std::snprintf(value, sizeof value, "%d/%d", mapMin, mapMax);
        left.line(label, value);
    }
    if (settings.coMonitorType == 1) {
        std::snprintf(value, sizeof value, "%d", kCoMaximum);
        left.line("CO (PPM)", value);
    }
    if (settings.fuelSpeedSource == 2) {
        std::snprintf(label, sizeof label, "GPS GS (%s):", speedUnitText(settings.fuelUnit));
        std::snprintf(value, sizeof value, "%u", static_cast<unsigned>(gpsSpeedMax));
        left.line(label, value);
    }
}

// One sender input's maximum by its function; "CH3 (A):" style for current.
void senderLine(Column& right, int input, const char* name)
{
    char label[40], value[40];
    switch (analogInputFunction(input)) {
    case SENDER_FUNCTION_PRESSURE: {
        const uint8_t unit = settings.pressureSender[input].pressureUnit;
        std::snprintf(label, sizeof label, "%s (%s):", name, pressureUnitText(unit));
        formatPressure(value, sizeof value, pressureMax[input], unit);
        break;
    }
    case SENDER_FUNCTION_TEMPERATURE:
        std::snprintf(label, sizeof label, "%s (%s):", name, temperatureUnitText(settings.temperatureUnit));
        std::snprintf(value, sizeof value, "%d", tempMax[input]);
        break;
    case SENDER_FUNCTION_CURRENT:
        std::snprintf(label, sizeof label, "%s (A):", name);
        std::snprintf(value, sizeof value, "%d/%d", auxCurrentMin[input], auxCurrentMax[input]);
        break;
    default: return;
    }
    right.line(label, value);
}

void drawSenders()
{
    Column right{270, 380, kFirstRow};
    static const char* const names[4] = {"OT", "OP", "CH3", "CH4"};
    for (int input = 0; input < 4; ++input) senderLine(right, input, names[input]);
    char label[40], value[40];
    if (settings.fuelPressureOn == 1) {
        const uint8_t unit = settings.fuelPressureSender.pressureUnit;
        std::snprintf(label, sizeof label, "FUEL P (%s):", pressureUnitText(unit));
        formatPressure(value, sizeof value, fuelPressureMax, unit);
        right.line(label, value);
    }
    if (settings.currentOn == 1) {
        std::snprintf(value, sizeof value, "%d/%d", currentMin, currentMax);
        right.line("AMPS (A):", value);
    }
}

void drawThermocoupleMaxima()
{
    const int egts = settings.egtChannels;
    int channels = egts + settings.chtChannels;
    if (channels > 12) channels = 12;
    const char* unit = temperatureUnitText(settings.temperatureUnit);
    int x = 30, y = 155;
    char label[40], value[16];
    for (int i = 0; i < channels; ++i) {
        if (i < egts) std::snprintf(label, sizeof label, "EGT %d (%s):", i + 1, unit);
        else std::snprintf(label, sizeof label, "CHT %d (%s):", i - egts + 1, unit);
        std::snprintf(value, sizeof value, "%d", tcMax[i]);
        drawText(x, y, label, 8, AlignLeft, COLOUR_SILVER);
        drawText(x + 90, y, value, 8, AlignLeft, COLOUR_WHITE);
        y += kRowStep;
        if (i % 4 == 3) {  // four to a column
            x += 140;
            y = 155;
        }
    }
}

}  // namespace

void minMaxPopup()
{
    overlayTimeout = 10;
    drawPopupKeyBar("MIN/MAX", "EXIT", "RESET", "", "", "");
    fillRect(11, 11, 469, 228, COLOUR_BLACK);
    drawRect(10, 10, 470, 227, COLOUR_WHITE);
    drawText(240, 15, "MIN/MAX", 10, AlignCentre, COLOUR_RED);
    drawBasicChannels();
    drawSenders();
    drawThermocoupleMaxima();

    const uint8_t key = takeKey();
    if (key == KeySoft1) overlayTimeout = 0;
    else if (key == KeySoft2) resetMinMax();
}

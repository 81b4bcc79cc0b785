// ADC VALUES: a diagnostic page of the MAIN MENU listing the raw engine inputs as the instrument
// receives them, on two pages (the converters and timers, then the thermocouples).
#include <cstdio>
#include <iterator>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "engine/thermocouples.h"
#include "settings/menus.h"
#include "ui/screen.h"
#include "ui/tile_menu.h"

namespace {

// The second RPM channel's pulse period: the host delivers that channel already in RPM.
constexpr int kRpm2Period = 0;

void drawValue(int column, int row, const char* format, int value)
{
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    drawText(column == 0 ? 0 : 220, 50 + 18 * row, text, 8, AlignLeft, COLOUR_WHITE);
}

void drawConverterPage()
{
    static const struct { int8_t column, row; const char* format; } kLines[] = {
        {0, 0, "MAP: %d"}, {1, 0, "VOLTS: %d"}, {1, 1, "CURRENT: %d"}, {0, 2, "RPM 1: %d"},
        {0, 3, "RPM 2: %d"}, {1, 3, "OAT: %d"}, {0, 5, "FUEL FLOW 1: %d"}, {1, 5, "OIL TEMPERATURE: %d"},
        {0, 6, "FUEL FLOW 2: %d"}, {1, 6, "OIL PRESSURE: %d"}, {0, 7, "FUEL LEVEL 1: %d"},
        {0, 8, "FUEL LEVEL 2: %d"}, {1, 8, "AUX 1/3/CHT 1: %d"}, {0, 9, "FUEL PRESSURE: %d"},
        {1, 9, "AUX 2/4/CHT 2: %d"},
    };
    const int values[] = {
        mapInput, rawVolts, rawCurrent, rpmPeriod, kRpm2Period, rawOat, rawFuelFlow[0], rawAnalog[0],
        rawFuelFlow[1], rawAnalog[1], rawFuelLevel[0], rawFuelLevel[1], rawAnalog[2], rawFuelPressure,
        rawAnalog[3],
    };
    static_assert(std::size(kLines) == std::size(values));
    for (size_t i = 0; i < std::size(kLines); ++i) drawValue(kLines[i].column, kLines[i].row, kLines[i].format, values[i]);
    drawText(400, 230, "PAGE 1", 8, AlignLeft, COLOUR_WHITE);
}

void drawThermocouplePage()
{
    char format[24];
    for (int channel = 0; channel < 12; ++channel) {
        std::snprintf(format, sizeof format, "TC CHANNEL %d: %%d", channel + 1);
        drawValue(channel / 6, channel % 6, format, tcInput[channel]);
    }
    drawValue(0, 7, "CJC TEMPERATURE: %d\xB0" "C", cjcTemp);
    drawText(400, 230, "PAGE 2", 8, AlignLeft, COLOUR_WHITE);
}

}  // namespace

void adcValuesScreen()
{
    if (cursorLine > 1) cursorLine = 0;
    drawPageTitle("", "ADC VALUES");
    drawScrollIndicator(cursorLine, 2);
    if (cursorLine == 0) drawConverterPage();
    else drawThermocouplePage();
    const uint8_t key = exitBackKey(backToParentMenu);
    switch (key) {
    case KeyKnobPlus:
    case KeyKnobMinus:
        cursorLine = static_cast<uint8_t>(1 - cursorLine);
        break;
    default:
        break;
    }
}

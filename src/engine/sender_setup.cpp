// The sender setup screen of the four analog inputs (OIL TEMPERATURE, OIL PRESSURE, ANALOG AUX 1/3
// and 2/4): the input's function, then the lines of that function's record on listChannel.
#include <cstdio>

#include "engine/sender_lines.h"
#include "engine/senders.h"
#include "engine/setup_screens.h"
#include "ui/list_screen.h"
#include "ui/screen.h"
#include "ui/tile_menu.h"

namespace {

// EMS SETUP places the four inputs on items 6..9.

const char* const kScreenNames[4] = {"OIL TEMPERATURE SETUP", "OIL PRESSURE SETUP", "ANALOG AUX 1/3",
                                     "ANALOG AUX 2/4"};
const char* const kFunctions[4] = {"OFF", "PRESSURE", "TEMPERATURE", "CURRENT"};

uint8_t channel() { return listChannel % 4; }

uint8_t& functionSetting()
{
    uint8_t* const functions[4] = {&settings.oilTempFunction, &settings.oilPressureFunction,
                                   &settings.aux13Function, &settings.aux24Function};
    return *functions[channel()];
}

// The oil inputs are switched on and off in their one function; the auxiliary inputs choose.
uint8_t fixedFunction()
{
    return channel() == 0 ? SENDER_FUNCTION_TEMPERATURE : channel() == 1 ? SENDER_FUNCTION_PRESSURE : 0;
}

void functionLabel(char* text, size_t size, uint8_t)
{
    static const char* const kLabels[4] = {"OIL TEMPERATURE DISPLAY: ", "OIL PRESSURE DISPLAY: ", "FUNCTION: ",
                                           "FUNCTION: "};
    std::snprintf(text, size, "%s", kLabels[channel()]);
}

void formatFunction(char* text, size_t size, int32_t value)
{
    if (fixedFunction()) std::snprintf(text, size, "%s", value ? "ON" : "OFF");
    else std::snprintf(text, size, "%s", value >= 0 && value <= 3 ? kFunctions[value] : "?");
}

int32_t nextFunction(int32_t value, int direction, int32_t)
{
    if (fixedFunction()) return value ? SENDER_FUNCTION_OFF : fixedFunction();
    if (value < 0 || value > 3) return SENDER_FUNCTION_OFF;
    return (value + (direction > 0 ? 1 : 3)) % 4;
}

const std::array<ListLine, 1> kFunctionLine = {{
    {.kind = LineKind::Choice, .get = [] { return int32_t{functionSetting()}; },
     .set = [](int32_t v) { functionSetting() = static_cast<uint8_t>(v); }, .max = 3, .format = formatFunction,
     .next = nextFunction, .formatLabel = functionLabel},
}};

const auto kLines = senderlines::joinLines(kFunctionLine, senderlines::pressureLines(),
                                           senderlines::temperatureLines(), senderlines::currentLines());

const ListScreen kScreen = {
    .titles = [](const char*& menu, const char*& screen) {
        menu = "EMS SETUP";
        screen = kScreenNames[channel()];
    },
    .lines = kLines,
};

}  // namespace

void senderSetupScreen()
{
    listChannel %= 4;  // one of the four inputs, never the fuel pressure or main current records
    runListScreen(kScreen);
}

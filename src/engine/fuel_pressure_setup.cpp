// FUEL PRESSURE SETUP: the fuel pressure input on and off, then the pressure sender lines for its
// own record. Opened from FUEL SETUP, whose line it returns to.
#include "engine/sender_lines.h"
#include "engine/setup_screens.h"
#include "settings/menus.h"
#include "ui/list_screen.h"
#include "ui/screen.h"

ScreenFunction fuelPressureSetupParent = nullptr;
uint8_t fuelPressureSetupParentLine = 0;

namespace {

const std::array<ListLine, 1> kDisplayLine = {{
    onOff("FUEL PRESSURE DISPLAY: ", SETTING(fuelPressureOn)),
}};

const auto kLines = senderlines::joinLines(kDisplayLine, senderlines::pressureLines());

void backToParent()
{
    returnToScreen(fuelPressureSetupParent ? fuelPressureSetupParent : emsSetupScreen, fuelPressureSetupParentLine);
}

const ListScreen kScreen = {.menuName = "FUEL SETUP", .screenName = "FUEL PRESSURE SETUP", .lines = kLines,
                            .back = backToParent};

}  // namespace

void openFuelPressureSetup(ScreenFunction parent, uint8_t parentLine)
{
    fuelPressureSetupParent = parent;
    fuelPressureSetupParentLine = parentLine;
    openScreen(fuelPressureSetupScreen);
}

void fuelPressureSetupScreen()
{
    listChannel = OWN_SENSOR_CHANNEL;  // the fuel pressure sender's record, whoever opened the screen
    runListScreen(kScreen);
}

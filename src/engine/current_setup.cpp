// CURRENT SETUP: the main current sensor on and off, its scale, alarm limits, zero and span.
#include "engine/sender_lines.h"
#include "engine/setup_screens.h"
#include "ui/list_screen.h"
#include "ui/tile_menu.h"

namespace {


const std::array<ListLine, 1> kDisplayLine = {{
    onOff("CURRENT DISPLAY: ", SETTING(currentOn)),
}};

const auto kLines = senderlines::joinLines(kDisplayLine, senderlines::currentLines());

const ListScreen kScreen = {.menuName = "EMS SETUP", .screenName = "CURRENT SETUP", .lines = kLines};

}  // namespace

void currentSetupScreen()
{
    listChannel = OWN_SENSOR_CHANNEL;  // the main sensor's record, whoever opened the screen
    runListScreen(kScreen);
}

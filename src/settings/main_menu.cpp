// The MAIN MENU: seven tiles leading to the setup screens, the flight log and the ADC values.
// A tile whose screen is not part of the instrument yet opens nothing.
#include "display/icons.h"

#include <iterator>
#include "gps/gps_setup.h"
#include "settings/menus.h"
#include "time/data_recording.h"
#include "time/flight_log.h"
#include "time/timers_setup.h"
#include "ui/tile_menu.h"

namespace {


const MenuTile kMainTiles[] = {
    {.label1 = "FLIGHT", .label2 = "LOG", .icon = &iconFlightLog, .opens = flightLogMenuScreen},
    {.label1 = "EMS", .label2 = "SETUP", .icon = &iconEngine, .opens = emsSetupScreen},
    {.label1 = "GPS", .label2 = "SETUP", .icon = &iconGps, .opens = gpsSetupScreen},
    {.label1 = "TIMERS", .label2 = "SETUP", .icon = &iconTimer, .opens = timersSetupScreen},
    {.label1 = "DATA REC", .label2 = "SETUP", .icon = &iconSdCard, .opens = dataRecordingSetupScreen},
    {.label1 = "MISC", .label2 = "SETUP", .icon = &iconQuestion, .opens = miscSetupScreen},
    {.label1 = "ADC", .label2 = "VALUES", .icon = &iconAdc, .opens = adcValuesScreen},
};

const TileMenu kMainMenu = {.title = "MAIN MENU", .tiles = kMainTiles};

}  // namespace

void mainMenuScreen() { runTileMenu(kMainMenu); }

void backToParentMenu()
{
    const ScreenFunction from = currentScreen;
    if (const int tile = tileOpening(kMainMenu, from); tile >= 0) {
        openMainMenu(static_cast<uint8_t>(tile));
    } else if (const int item = tileOpening(emsSetupMenu(), from); item >= 0) {
        returnToScreen(emsSetupScreen, static_cast<uint8_t>(item));
    }
}

// MISCELLANEOUS SETUP: the aircraft registration editor, saving and recalling the settings file,
// and the remote unit's protocol.
#include "device.h"

#include <iterator>
#include "settings/menus.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "ui/home.h"
#include "ui/list_screen.h"
#include "ui/tile_menu.h"

namespace {

const char* const kProtocols[] = {"NORMAL", "EXTENDED"};

void openRegistration() { openScreen(registrationScreen); }

// Both file actions come back here, from "DONE" as from "INSERT" / "SD CARD".
void fileAction(bool (*action)())
{
    returnScreen = miscSetupScreen;
    if (sdCardPresent) action();
    else openScreen(sdCardMessageScreen);
}

void save() { fileAction(saveSettingsFile); }
void recall() { fileAction(recallSettingsFile); }

const ListLine kMiscLines[] = {
    {.label = "AIRCRAFT REGISTRATION", .kind = LineKind::Action, .action = openRegistration},
    {.label = "SAVE SETTINGS TO SD CARD", .kind = LineKind::Action, .action = save},
    {.label = "RECALL SETTINGS FROM SD CARD", .kind = LineKind::Action, .action = recall},
    choice("ZEDA PROTOCOL: ", SETTING(zedaProtocol), kProtocols),
};


const ListScreen kMiscSetup = {.menuName = "", .screenName = "MISCELLANEOUS SETUP", .lines = kMiscLines};

}  // namespace

void miscSetupScreen() { runListScreen(kMiscSetup); }

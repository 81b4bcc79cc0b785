// The three pop-up menus of the home pages as tables of items: the engine page's quick menu, the
// short menu of pages 1 and 2, and the information display menu of page 3.
#include "engine/fuel.h"
#include "engine/min_max_page.h"
#include "settings/settings.h"
#include "time/documents.h"
#include "time/flight.h"
#include "ui/home.h"
#include "ui/popup_menu.h"
#include "ui/popups.h"

namespace {

void showPopup(void (*popup)()) { overlayScreen = popup; }

bool anyFlowOn() { return settings.flow1On == 1 || settings.flow2On == 1; }
bool anyThermocouple() { return settings.egtChannels > 0 || settings.chtChannels > 0; }
bool anyEgt() { return settings.egtChannels > 0; }
bool manualFlightDetection() { return settings.flightDetectAuto == 0; }

const char* flightLabel() { return flightInProgress != 0 ? "STOP FLIGHT" : "START FLIGHT"; }

void startOrStopFlight()
{
    if (flightInProgress != 0) stopFlight();
    else startFlight();
    closePopup();
}

void openRefill() { openFuelRefill(settings.tank1Source == 1 ? 1 : 2); }

const PopupMenuItem kQuickItems[] = {
    {.label = "MENU", .action = openMenuScreen},
    {.label = "BACKLIGHT", .action = [] { showPopup(backlightPopup); }},
    {.label = "MIN/MAX", .action = [] { showPopup(minMaxPopup); }},
    {.label = "TIMER", .action = openTimerPopup},
    {.label = "FUEL TOTALS", .shown = anyFlowOn, .action = [] { showPopup(fuelTotalsPopup); }},
    {.label = "CRUISE MODE", .shown = anyThermocouple, .action = [] { showPopup(cruiseModePopup); }},
    {.label = "LEAN MODE", .shown = anyEgt, .action = [] { showPopup(leanModePopup); }},
    {.label = "CRUISE SPEED", .action = openCruiseSpeedPopup},
    {.label = "FUEL REFILL", .shown = fuelRefillOffered, .action = openRefill},
    {.dynamicLabel = flightLabel, .shown = manualFlightDetection, .action = startOrStopFlight},
    {.label = "EXIT", .action = closePopup},
};

const PopupMenuItem kPageItems[] = {
    {.label = "MENU", .action = openMenuScreen},
    {.label = "BACKLIGHT", .action = [] { showPopup(backlightPopup); }},
    {.label = "EXIT", .action = closePopup},
};

void browseDocuments(uint8_t checklists)
{
    browseChecklists = checklists;
    openDocumentBrowser();
}

const PopupMenuItem kInformationItems[] = {
    {.label = "MENU", .action = openMenuScreen},
    {.label = "BACKLIGHT", .action = [] { showPopup(backlightPopup); }},
    {.label = "CHECKLISTS", .action = [] { browseDocuments(1); }},
    {.label = "INFO PAGES", .action = [] { browseDocuments(0); }},
    {.label = "EXIT", .action = closePopup},
};

template <size_t N> constexpr PopupMenu menuOf(const PopupMenuItem (&items)[N])
{
    return {items, static_cast<uint8_t>(N)};
}

constexpr PopupMenu kQuickMenu = menuOf(kQuickItems);
constexpr PopupMenu kPageMenu = menuOf(kPageItems);
constexpr PopupMenu kInformationMenu = menuOf(kInformationItems);

}  // namespace

bool fuelRefillOffered()
{
    const uint8_t layout = fuelLayout;
    const bool layoutTakesRefill = layout == 0 || layout == 1 || layout == 10 || layout == 12 || layout == 13 ||
                                   layout == 14 ||
                                   (layout == 11 && (settings.tank1Source != 0 || settings.tank2Source != 0));
    return layoutTakesRefill && (settings.tank1Source == 1 || settings.tank2Source == 1);
}

void quickMenuScreen() { runPopupMenu(kQuickMenu); }
void pageMenuScreen() { runPopupMenu(kPageMenu); }
void informationMenuScreen() { runPopupMenu(kInformationMenu); }

void openHomePageMenu()
{
    switch (homePage) {
    case 0: openPopupMenu(kQuickMenu, quickMenuScreen); break;
    case 1:
    case 2: openPopupMenu(kPageMenu, pageMenuScreen); break;
    case 3: openPopupMenu(kInformationMenu, informationMenuScreen); break;
    default: break;
    }
}

// The EMS SETUP menu: fifteen tiles on two pages, one per engine sensor setup screen, with the
// drawn probe, "CO" and engine-computer pictures. A tile whose screen is not part of the
// instrument yet opens nothing.
#include "display/framebuffer.h"

#include <iterator>
#include "display/icons.h"
#include "display/text.h"
#include "engine/setup_screens.h"
#include "settings/menus.h"
#include "ui/list_screen.h"
#include "time/ecu_co.h"
#include "ui/tile_menu.h"
#include "ui/fuel_setup.h"

namespace {

// A thermocouple probe: a two-line body narrowing to a bulb in the given colour.
void drawProbe(int x, int y, const char* name, uint8_t bulbColour)
{
    for (const int row : {y, y + 1, y + 29, y + 30}) drawHLine(x, x + 27, row, COLOUR_WHITE);
    drawLine(x + 27, y, x + 37, y + 10, COLOUR_WHITE);
    drawLine(x + 27, y, x + 37, y + 11, COLOUR_WHITE);
    drawLine(x + 27, y + 29, x + 37, y + 19, COLOUR_WHITE);
    drawLine(x + 27, y + 30, x + 37, y + 20, COLOUR_WHITE);
    drawText(x, y + 8, name, 8, AlignLeft, COLOUR_WHITE);
    // The bulb, row by row: offset from y, first and last column offsets from x.
    static constexpr struct { int8_t row, from, to; } kBulb[] = {
        {10, 39, 42}, {11, 37, 44}, {12, 36, 45}, {13, 36, 45}, {14, 35, 46}, {15, 35, 46},
        {16, 35, 46}, {17, 36, 45}, {18, 36, 45}, {19, 37, 44}, {20, 39, 42},
    };
    for (const auto& span : kBulb) drawHLine(x + span.from, x + span.to, y + span.row, bulbColour);
}

void drawEgtProbe() { drawProbe(282, 62, "EGT", COLOUR_RED); }
void drawChtProbe() { drawProbe(410, 62, "CHT", COLOUR_LIME); }

void drawCrossedCo()
{
    drawText(176, 159, "CO", 20, AlignCentre, COLOUR_LIME);
    drawThickLine(156, 159, 196, 199, COLOUR_RED);
    drawThickLine(196, 159, 156, 199, COLOUR_RED);
}

void drawEnginePlate()
{
    fillRect(262, 164, 345, 192, COLOUR_RED);
    drawText(304, 167, "ROTAX", 12, AlignCentre, COLOUR_WHITE);
}

bool coolantOnAux13() { return ecuLinkPresent == 1; }

// Items 6..9 open the sender setup screen on their input (0..3).
template <uint8_t Input> void selectInput() { listChannel = Input; }

const MenuTile kEmsTiles[] = {
    {.label1 = "RPM 1", .label2 = "SETUP", .icon = &iconRpm, .opens = rpm1SetupScreen},
    {.label1 = "RPM 2", .label2 = "SETUP", .icon = &iconRpm, .opens = rpm2SetupScreen},
    {.label1 = "EGT", .label2 = "SETUP", .picture = drawEgtProbe, .opens = egtSetupScreen},
    {.label1 = "CHT", .label2 = "SETUP", .picture = drawChtProbe, .opens = chtSetupScreen},
    {.label1 = "FUEL", .label2 = "SETUP", .icon = &iconFuel, .opens = fuelSetupScreen},
    {.label1 = "MANIFOLD", .label2 = "PRESSURE", .icon = &iconManifold, .opens = mapSetupScreen},
    {.label1 = "OIL", .label2 = "TEMP", .icon = &iconSender, .opens = senderSetupScreen, .prepare = selectInput<0>},
    {.label1 = "OIL", .label2 = "PRESSURE", .icon = &iconSender, .opens = senderSetupScreen, .prepare = selectInput<1>},
    {.label1 = "ANALOG", .label2 = "AUX 1/3", .icon = &iconSender, .opens = senderSetupScreen, .prepare = selectInput<2>,
     .alternative = coolantOnAux13, .alternative1 = "COOLANT", .alternative2 = "TEMP"},
    {.label1 = "ANALOG", .label2 = "AUX 2/4", .icon = &iconSender, .opens = senderSetupScreen, .prepare = selectInput<3>},
    {.label1 = "VOLTS", .label2 = "SETUP", .icon = &iconBattery, .opens = voltsSetupScreen},
    {.label1 = "CURRENT", .label2 = "SETUP", .icon = &iconBattery, .opens = currentSetupScreen},
    {.label1 = "OAT", .label2 = "SETUP", .icon = &iconThermometer, .opens = oatSetupScreen},
    {.label1 = "CO MONITOR", .label2 = "SETUP", .picture = drawCrossedCo, .opens = coMonitorSetupScreen},
    {.label1 = "ROTAX", .label2 = "912iS", .picture = drawEnginePlate, .opens = ecuScreen},
};

const TileMenu kEmsSetupMenu = {.title = "EMS SETUP", .tiles = kEmsTiles, .back = backToParentMenu};

}  // namespace

void emsSetupScreen() { runTileMenu(kEmsSetupMenu); }

const TileMenu& emsSetupMenu() { return kEmsSetupMenu; }

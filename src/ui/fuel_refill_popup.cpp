// The tank refill pop-up: the contents of a CALCULATED tank entered as three digits after
// refuelling, in the tank's own units (tenths of a gallon, whole litres or tenths of a litre);
// EXIT loads the tank's remaining fuel (limited to the tank size), FULL the tank size.
// Tank 1's entry leads on to tank 2's when both are calculated.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/fuel.h"
#include "settings/settings.h"
#include "ui/digit_editor.h"
#include "ui/home.h"
#include "ui/popup_menu.h"
#include "ui/popups.h"
#include "ui/screen.h"

int32_t refillLevel[2] = {};

namespace {

constexpr DigitEditor kRefillDigits = {3, nullptr};

struct TankRefill {
    const char* caption;
    const char* prompt;
    // The record is packed: its fields are read by value, never through a reference.
    int16_t (*size)();
    uint16_t (*kFactor)();
};

const TankRefill kTanks[2] = {
    {"TANK 1", "ENTER YOUR FUEL LEVEL 1", [] { return int16_t{settings.tank1Size}; },
     [] { return uint16_t{settings.flow1KFactor}; }},
    {"TANK 2", "ENTER YOUR FUEL LEVEL 2", [] { return int16_t{settings.tank2Size}; },
     [] { return uint16_t{settings.flow2KFactor}; }},
};

// Stores the entry as the tank's remaining fuel, then goes on to tank 2 or closes.
void applyRefill(int index)
{
    const TankRefill& tank = kTanks[index];
    int32_t& level = refillLevel[index];
    if (tank.size() < level) level = tank.size();
    if (level < 0) level = 0;  // a negative size or entry leaves an empty tank, never a debt
    // Widened, so that a large tank with a large K-factor fills up rather than wrapping round.
    int64_t pulses = static_cast<int64_t>(scaledK(tank.kFactor())) * level;
    if (tankUnitsAreTenths()) pulses /= 10;
    fuelRemainingPulses[index] = static_cast<int32_t>(std::min<int64_t>(pulses, INT32_MAX));
    if (index == 0 && settings.tank2Source == 1) openFuelRefill(2);
    else closePopup();
}

void refillPopup(int index)
{
    const TankRefill& tank = kTanks[index];
    keepPopupOpen();
    drawPopupKeyBar(tank.caption, "EXIT", "FULL", "", "", "");
    fillRect(125, 80, 355, 190, COLOUR_BLACK);
    drawRect(125, 80, 355, 190, COLOUR_WHITE);
    drawText(240, 85, "USE THE ROTARY", 8, AlignCentre, COLOUR_WHITE);
    drawText(240, 105, "CONTROL TO MANUALLY", 8, AlignCentre, COLOUR_WHITE);
    drawText(240, 125, tank.prompt, 8, AlignCentre, COLOUR_WHITE);
    // Tens, units and tenths of a gallon (or of a litre at 0.1 L resolution), as the tank counts.
    if (tankUnitsAreTenths()) {
        drawEditDigit(204, 150, 0, AlignLeft);
        drawEditDigit(230, 150, 1, AlignCentre);
        drawText(243, 150, ".", 16, AlignCentre, COLOUR_WHITE);
        drawEditDigit(250, 150, 2, AlignLeft);
        drawText(280, 157, fuelUnitIsGallons() ? "G" : "L", 12, AlignLeft, COLOUR_WHITE);
    } else {
        drawEditDigit(214, 150, 0, AlignLeft);
        drawEditDigit(240, 150, 1, AlignCentre);
        drawEditDigit(250, 150, 2, AlignLeft);
        drawText(280, 157, "L", 12, AlignLeft, COLOUR_WHITE);
    }

    const uint8_t key = takeKey();
    switch (key) {
    case KeySoft1: applyRefill(index); break;
    case KeySoft2:
        refillLevel[index] = tank.size();
        applyRefill(index);
        break;
    default:
        if (editDigitsByKey(kRefillDigits, key) == DigitKey::Changed) refillLevel[index] = editDigitsValue(3);
        break;
    }
}

}  // namespace

void openFuelRefill(int tank)
{
    const int index = tank == 2 ? 1 : 0;
    char text[12];  // of which the first three characters are taken
    std::snprintf(text, sizeof text, "%03u", static_cast<unsigned>(fuelLevel[index]));
    loadEditDigits(text, 3);
    // The entry starts as the level shown, so EXIT without a change keeps the tank as it is.
    refillLevel[index] = editDigitsValue(3);
    overlayScreen = index == 0 ? fuelRefillTank1Popup : fuelRefillTank2Popup;
}

void fuelRefillTank1Popup() { refillPopup(0); }
void fuelRefillTank2Popup() { refillPopup(1); }

// The home page's pop-up menus and pop-ups, each an overlayScreen drawn over the page: the quick
// menu (engine page), the page menu (pages 1 and 2), the information display menu (page 3), and
// the backlight, TIMER, lean mode, cruise mode, cruising speed, fuel refill and fuel totals
// pop-ups. The MIN/MAX pop-up is in engine/min_max_page.h.
#pragma once
#include <cstdint>

// The knob press on a home page: opens the menu of the page shown.
void openHomePageMenu();

void quickMenuScreen();
void pageMenuScreen();
void informationMenuScreen();

void backlightPopup();
void timerPopup();
void leanModePopup();
void cruiseModePopup();
void cruiseSpeedPopup();
void fuelRefillTank1Popup();
void fuelRefillTank2Popup();
void fuelTotalsPopup();

// Values entered in the refill pop-ups, tank 1 and tank 2, in tank units.
extern int32_t refillLevel[2];

// Opening a pop-up from the menu: loads its digits and cursor and installs it.
void openTimerPopup();
void openCruiseSpeedPopup();
void openFuelRefill(int tank);  // 1 or 2

// Whether the quick menu offers "FUEL REFILL", and the tank it opens (1 or 2).
bool fuelRefillOffered();

// The pop-ups stay open while they are shown: each pass renews the timeout of 10 slow steps.
void keepPopupOpen();
// The boxed text of the backlight, TIMER and cruising-speed pop-ups: a black box with a white
// frame and three centred white lines at y 85, 105 and 125.
void drawPopupBox(int left, int top, int right, int bottom, const char* line1, const char* line2,
                  const char* line3);

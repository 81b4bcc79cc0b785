// The setup side reached from the MAIN MENU: the tile menus, the miscellaneous setup and its
// registration editor, and the diagnostic ADC VALUES page the main menu opens.
#pragma once
#include <cstdint>

#include "time/ecu_co.h"  // ecuLinkPresent: the EMS SETUP menu and the AUX 1/3 screens read it

// mainMenuScreen and openMainMenu are part of the screen framework (ui/screen.h).
void emsSetupScreen();
void miscSetupScreen();
void registrationScreen();
void adcValuesScreen();  // engine/adc_values.cpp

struct TileMenu;
const TileMenu& emsSetupMenu();

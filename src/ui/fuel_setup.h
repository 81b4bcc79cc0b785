// The fuel setup screens: FUEL SETUP, TANK 1/2 SETUP, TANK 1/2 CALIBRATE and the SLOPE ERROR
// message. Leaving any of them derives fuelLayout anew.
#pragma once
#include <cstdint>

#include "ui/screen.h"

void fuelSetupScreen();
void tank1SetupScreen();
void tank2SetupScreen();
void tank1CalibrateScreen();
void tank2CalibrateScreen();
void slopeErrorScreen();

// FUEL SETUP's place in the EMS SETUP menu.

extern uint8_t calibrationMode;           // TANK CALIBRATE: 0 SENDER (store the live reading), 1 MANUAL
extern uint8_t fuelSetupReturnLine;       // the FUEL SETUP line that opened a tank or fuel pressure screen
extern ScreenFunction slopeReturnScreen;  // where SLOPE ERROR goes back to

// Back to FUEL SETUP with the cursor on the line that opened the screen now showing (TANK SETUP
// and the fuel pressure setup screen use it for BACK).
void backToFuelSetup();

// The slope check of a tank's (0 or 1) six calibration points: strictly rising when point 0 is
// not above point 5, strictly falling otherwise.
bool tankCalibrationMonotonic(int tank);

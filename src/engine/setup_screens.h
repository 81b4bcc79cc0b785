// Engine sensor setup screens built on the list engine, opened from the EMS SETUP tiles; BACK
// returns to EMS SETUP with the cursor on the screen's own tile.
#pragma once
#include <cstdint>

#include "settings/settings.h"

void mapSetupScreen();
void rpm1SetupScreen();
void rpm2SetupScreen();
void egtSetupScreen();
void chtSetupScreen();
void voltsSetupScreen();
void oatSetupScreen();

// CALIBRATE SENDER: a working copy of one sender's curve, edited point by point and copied back
// by BACK (EXIT discards it).
extern SenderCurve workingCurve;
extern uint8_t workingCurveTemperature;  // 1: a temperature curve, 0: a pressure curve
extern uint8_t workingCurveReturnLine;   // the "CALIBRATE SENDER" line of the screen that opened it
// Opens CALIBRATE SENDER from the screen now showing, for the sender on listChannel.
void openCalibrateSender(bool temperature);
void calibrateSenderScreen();

// Where the sensor setup screens go on BACK, with the cursor on their place in EMS SETUP.
void backToEmsSetup(uint8_t position);

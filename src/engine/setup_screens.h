// Engine sensor setup screens built on the list engine, opened from the EMS SETUP menu (FUEL
// PRESSURE SETUP from FUEL SETUP).
#pragma once
#include <cstdint>

#include "settings/settings.h"
#include "ui/screen.h"

void mapSetupScreen();
void rpm1SetupScreen();
void rpm2SetupScreen();
void egtSetupScreen();
void chtSetupScreen();
void voltsSetupScreen();
void oatSetupScreen();
// The four analog inputs' setup screen, on the input chosen by listChannel (0..3).
void senderSetupScreen();
void currentSetupScreen();

// FUEL PRESSURE SETUP: opened from a line of FUEL SETUP (parent), to which BACK returns with the
// cursor on that line.
void fuelPressureSetupScreen();
void openFuelPressureSetup(ScreenFunction parent, uint8_t parentLine);
extern ScreenFunction fuelPressureSetupParent;
extern uint8_t fuelPressureSetupParentLine;

// ZERO CURRENT SENSOR for the current sensor on listChannel; answers return to the screen that
// opened it, on its "ZERO CURRENT SENSOR" line.
void openZeroCurrentSensor();
void zeroCurrentSensorScreen();

// CALIBRATE SENDER: a working copy of one sender's curve, edited point by point and copied back
// by BACK (EXIT discards it).
extern SenderCurve workingCurve;
extern uint8_t workingCurveTemperature;  // 1: a temperature curve, 0: a pressure curve
extern uint8_t workingCurveReturnLine;   // the "CALIBRATE SENDER" line of the screen that opened it
// Opens CALIBRATE SENDER from the screen now showing, for the sender on listChannel.
void openCalibrateSender(bool temperature);
// Its entry (the screen table's): the working copy taken, the way back remembered.
void enterCalibrateSender();
void calibrateSenderScreen();

// Where the sensor setup screens go on BACK, with the cursor on their place in EMS SETUP.

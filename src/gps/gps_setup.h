// GPS SETUP: whether a GPS is connected, its baud rate, the position format, altitude unit,
// course reference and where the magnetic variation comes from.
#pragma once

void gpsSetupScreen();

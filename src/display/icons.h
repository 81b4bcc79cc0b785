// The fourteen built-in icons (MIF blocks, 50 x 50, the manifold 50 x 42), drawn with drawImage.
#pragma once
#include "display/image.h"

extern const Icon iconExclamation;  // white ring, red exclamation mark
extern const Icon iconQuestion;     // white ring, red question mark
extern const Icon iconRpm;          // white ring with a yellow arc and pointer
extern const Icon iconFuel;         // blue fuel pump
extern const Icon iconManifold;     // yellow manifold, 50 x 42
extern const Icon iconSender;       // sender with thermometer and gauge marks
extern const Icon iconBattery;      // olive battery
extern const Icon iconThermometer;  // thermometer with red bulb
extern const Icon iconFlightLog;    // white sheet with coloured text lines
extern const Icon iconEngine;       // engine cylinder with thermometer
extern const Icon iconGps;          // satellites above the ground
extern const Icon iconTimer;        // clock face
extern const Icon iconSdCard;       // blue SD card
extern const Icon iconAdc;          // coloured signal traces

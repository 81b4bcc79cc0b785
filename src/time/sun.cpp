// Sunrise, sunset and magnetic variation.
#include "time/sun.h"

#include "gps/gps.h"

float sunEventHours = 0;
bool sunEventFound = false;

void computeSunEvent(uint8_t) {}
void computeMagneticVariation() {}
float yearFraction(uint8_t, uint8_t) { return 0; }

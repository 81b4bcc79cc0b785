// Sunrise and sunset at the aircraft's position, and the magnetic variation of the world
// magnetic model at that position and date.
#pragma once
#include <cstdint>

// Local hours (UTC plus the offset) of the last computed sunrise or sunset; not folded into 0..24.
extern float sunEventHours;
// Whether the last computation found the event at all (false in polar day or night).
extern bool sunEventFound;

void computeSunEvent(uint8_t rising);
void computeMagneticVariation();
// Part of the year elapsed before the given day.
float yearFraction(uint8_t month, uint8_t day);

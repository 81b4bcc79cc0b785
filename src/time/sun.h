// Sunrise and sunset at the aircraft's position, and the magnetic variation of the world
// magnetic model at that position and date.
#pragma once
#include <cstdint>

// Local hours (UTC plus the offset) of the last computed sunrise or sunset; not folded into 0..24.
extern float sunEventHours;
// Whether the last computation found the event at all (false in polar day or night; sunEventHours
// then keeps its previous value).
extern bool sunEventFound;

// Sunrise (rising 1) or sunset (rising 0) on the UTC date of rtcDateTime at the GPS position.
void computeSunEvent(uint8_t rising);
// autoVariation from the GPS position and altitude on the UTC date; loads the model afresh first.
void computeMagneticVariation();
// Part of the year elapsed before the given day.
float yearFraction(uint8_t month, uint8_t day);

// The magnetic model on its own. Geodetic position (degrees, altitude in km above the ellipsoid),
// time as a decimal year. Components in nT in the local geodetic frame, angles in degrees.
struct MagneticField {
    double north, east, down;
    double horizontalIntensity, totalIntensity;
    double declination, inclination;
};

// Places the model's coefficients with their Schmidt semi-normalisation and recursion constants.
void loadMagneticModel();
// The field of the loaded model (loads it when that has not happened yet).
MagneticField evaluateMagneticModel(double altitudeKm, double latitude, double longitude, double time);
// The declination the instrument uses: 0 where the horizontal field is under 100 nT or within
// 0.001 degree of a geographic pole.
float magneticVariationAt(double altitudeKm, double latitude, double longitude, double time);

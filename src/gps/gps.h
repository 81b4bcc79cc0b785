// The GPS values the instrument keeps from the receiver's sentences: fix, position, speed,
// course, altitude, dilution of precision and the satellites in view.
#pragma once
#include <cstdint>

struct SatelliteInfo {
    uint8_t prn;
    uint8_t elevation;  // degrees, 0..90
    uint16_t azimuth;   // degrees, 0..359
    uint8_t snr;        // dB, 0 when not tracked
    uint8_t spare;
};

extern uint8_t gpsFixValid;
// 1 while the last RMC carried a position (0 from power-on and once the fix is lost until one
// does); a GSA can report a fix before the RMC with its position.
extern uint8_t gpsPositionValid;
extern uint8_t gpsFixType;         // 0 none, 2 two-dimensional, 3 three-dimensional
extern float gpsLatitude;          // degrees, north positive
extern float gpsLongitude;         // degrees, east positive
extern uint16_t gpsGroundSpeed;    // in the speed unit of the fuel unit setting
extern uint16_t gpsSpeedMax;
extern int16_t gpsTrack;           // degrees true
extern int16_t gpsMagneticTrack;   // degrees magnetic
extern int32_t gpsAltitudeMetres;
extern int32_t gpsAltitudeFeet;
extern uint8_t gpsSatellitesUsed;
extern uint8_t gpsUsedPrn[16];
extern float gpsPdop, gpsHdop, gpsVdop;
extern uint8_t gpsSatellitesInView;
extern SatelliteInfo gpsSatellites[16];
extern float autoVariation;        // degrees, east positive

// The fix and its position: what the magnetic variation and the data recording need.
inline bool gpsFixHasPosition() { return gpsFixValid == 1 && gpsPositionValid == 1; }

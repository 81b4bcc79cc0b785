// Storage of the GPS values (zero until the first sentence arrives).
#include "gps/gps.h"

uint8_t gpsFixValid = 0;
uint8_t gpsPositionValid = 0;
uint8_t gpsFixType = 0;
float gpsLatitude = 0;
float gpsLongitude = 0;
uint16_t gpsGroundSpeed = 0;
uint16_t gpsSpeedMax = 0;
int16_t gpsTrack = 0;
int16_t gpsMagneticTrack = 0;
int32_t gpsAltitudeMetres = 0;
int32_t gpsAltitudeFeet = 0;
uint8_t gpsSatellitesUsed = 0;
uint8_t gpsUsedPrn[16] = {};
float gpsPdop = 0, gpsHdop = 0, gpsVdop = 0;
uint8_t gpsSatellitesInView = 0;
SatelliteInfo gpsSatellites[16] = {};
float autoVariation = 0;

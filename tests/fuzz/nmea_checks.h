// What must hold of the GPS values after any sentence, whatever the receiver kept or dropped;
// shared by the NMEA targets.
#pragma once
#include <cstring>
#include <initializer_list>

#include "fuzz_support.h"
#include "gps/gps.h"
#include "gps/nmea.h"
#include "time/clock.h"

inline void checkGpsValues()
{
    require(nmeaState <= 5);
    require(nmeaLength <= NMEA_MAX_BODY);
    for (const char* slot : {rmcSentence, ggaSentence, gsaSentence, gsvSentence})
        require(strnlen(slot, NMEA_SLOT_SIZE) < NMEA_SLOT_SIZE);
    require(gpsFixValid <= 1);
    require(gpsTrack >= 0 && gpsTrack <= 359);
    require(gpsMagneticTrack >= 0 && gpsMagneticTrack <= 359);
    require(gpsGroundSpeed <= gpsSpeedMax);
    for (int k = 12; k < 16; ++k) require(gpsUsedPrn[k] == 0);
    for (int i = 0; i < 16; ++i) {
        const SatelliteInfo& s = gpsSatellites[i];
        require(s.elevation <= 90 && s.azimuth <= 359);
        if (i >= gpsSatellitesInView) require(s.prn == 0 && s.elevation == 0 && s.azimuth == 0 && s.snr == 0);
    }
    require(rtcDateTime.month >= 1 && rtcDateTime.month <= 12);
    require(rtcDateTime.day >= 1 && rtcDateTime.day <= 31);
    require(rtcDateTime.hour <= 23 && rtcDateTime.minute <= 59 && rtcDateTime.second <= 59);
}

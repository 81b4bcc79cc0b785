// Named variables of the NMEA receiver (state, body, sentence slots and their pending flags) and
// of the GPS values; the satellite table is printed field by field, gpsSatellites.prn[i] and so on.
#include "gps/gps.h"
#include "gps/nmea.h"
#include "scenario/variable_table.h"

namespace {

constexpr int kSatellites = sizeof gpsSatellites / sizeof gpsSatellites[0];

// One field of every satellite entry, as an array that steps over the whole entries.
template <typename T> DeviceVariable satelliteField(const char* name, T& firstEntryField)
{
    return {name, &firstEntryField, typeOf<T>(), kSatellites, false, static_cast<int>(sizeof(SatelliteInfo))};
}

}  // namespace

void addGpsVariables(std::vector<DeviceVariable>& v)
{
    v.insert(v.end(), {
        VAR(nmeaState), VAR(nmeaLength), VAR(nmeaBody), VAR(nmeaChecksumText), VAR(rmcSentence),
        VAR(ggaSentence), VAR(gsaSentence), VAR(gsvSentence), VAR(rmcPending), VAR(ggaPending),
        VAR(gsaPending), VAR(gsvPending), VAR(gpsDataReceived), VAR(gpsSentenceAge), VAR(gpsFixValid),
        VAR(gpsPositionValid), VAR(gpsFixType), VAR(gpsLatitude), VAR(gpsLongitude), VAR(gpsGroundSpeed), VAR(gpsSpeedMax),
        VAR(gpsTrack), VAR(gpsMagneticTrack), VAR(gpsAltitudeMetres), VAR(gpsAltitudeFeet),
        VAR(gpsSatellitesUsed), VAR(gpsUsedPrn), VAR(gpsPdop), VAR(gpsHdop), VAR(gpsVdop),
        VAR(gpsSatellitesInView),
        satelliteField("gpsSatellites.prn", gpsSatellites[0].prn),
        satelliteField("gpsSatellites.elevation", gpsSatellites[0].elevation),
        satelliteField("gpsSatellites.azimuth", gpsSatellites[0].azimuth),
        satelliteField("gpsSatellites.snr", gpsSatellites[0].snr),
    });
}

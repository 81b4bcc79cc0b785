// Named variables of the NMEA receiver (state, body, sentence slots and their pending flags) and
// of the GPS values; the satellite table is printed field by field, gpsSatellites.prn[i] and so on.
#include "gps/gps.h"
#include "gps/nmea.h"
#include "runner/variable_table.h"

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
        scalar("nmeaState", nmeaState),
        scalar("nmeaLength", nmeaLength),
        text("nmeaBody", nmeaBody),
        text("nmeaChecksumText", nmeaChecksumText),
        text("rmcSentence", rmcSentence),
        text("ggaSentence", ggaSentence),
        text("gsaSentence", gsaSentence),
        text("gsvSentence", gsvSentence),
        scalar("rmcPending", rmcPending),
        scalar("ggaPending", ggaPending),
        scalar("gsaPending", gsaPending),
        scalar("gsvPending", gsvPending),
        scalar("gpsDataReceived", gpsDataReceived),
        scalar("gpsSentenceAge", gpsSentenceAge),
        scalar("gpsFixValid", gpsFixValid),
        scalar("gpsFixType", gpsFixType),
        scalar("gpsLatitude", gpsLatitude),
        scalar("gpsLongitude", gpsLongitude),
        scalar("gpsGroundSpeed", gpsGroundSpeed),
        scalar("gpsSpeedMax", gpsSpeedMax),
        scalar("gpsTrack", gpsTrack),
        scalar("gpsMagneticTrack", gpsMagneticTrack),
        scalar("gpsAltitudeMetres", gpsAltitudeMetres),
        scalar("gpsAltitudeFeet", gpsAltitudeFeet),
        scalar("gpsSatellitesUsed", gpsSatellitesUsed),
        array("gpsUsedPrn", gpsUsedPrn),
        scalar("gpsPdop", gpsPdop),
        scalar("gpsHdop", gpsHdop),
        scalar("gpsVdop", gpsVdop),
        scalar("gpsSatellitesInView", gpsSatellitesInView),
        satelliteField("gpsSatellites.prn", gpsSatellites[0].prn),
        satelliteField("gpsSatellites.elevation", gpsSatellites[0].elevation),
        satelliteField("gpsSatellites.azimuth", gpsSatellites[0].azimuth),
        satelliteField("gpsSatellites.snr", gpsSatellites[0].snr),
    });
}

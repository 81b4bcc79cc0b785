// libFuzzer target for the NMEA receiver and its four sentence handlers: any bytes, the handlers run
// after every line as the main loop would, under settings picked by the input's first bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "fuzz_support.h"
#include "gps/gps.h"
#include "gps/nmea.h"
#include "settings/settings.h"
#include "time/clock.h"

namespace {

// A broken property is reported to the fuzzer as a crash.
// What must hold after any input, whatever the receiver kept or dropped.
void checkProperties()
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
    for (int i = gpsSatellitesInView; i < 16; ++i) {
        const SatelliteInfo& s = gpsSatellites[i];
        require(s.prn == 0 && s.elevation == 0 && s.azimuth == 0 && s.snr == 0);
    }
    require(rtcDateTime.month >= 1 && rtcDateTime.month <= 12);
    require(rtcDateTime.day >= 1 && rtcDateTime.day <= 31);
    require(rtcDateTime.hour <= 23 && rtcDateTime.minute <= 59 && rtcDateTime.second <= 59);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    resetNmeaReceiver();
    resetGpsValues();
    loadDefaultSettings();
    // The first bytes (comment bytes, as far as the receiver is concerned) choose the settings.
    uint8_t pick[4] = {};
    std::memcpy(pick, data, size < sizeof pick ? size : sizeof pick);
    settings.fuelUnit = static_cast<uint8_t>(pick[0] % 6);
    settings.rtcSourceGps = pick[1] & 1;
    settings.gpsVariationMode = (pick[1] >> 1) & 1;
    settings.utcOffsetMinutes = static_cast<int16_t>(((pick[1] >> 2) % 53 - 26) * 30);
    settings.gpsManualVariation = static_cast<int16_t>((pick[2] | pick[3] << 8) % 361 - 180);
    autoVariation = static_cast<float>(static_cast<int8_t>(pick[3])) * 1.5f;
    rtcDateTime = secondsToDateTime(1767225600);  // 2026-01-01 00:00:00

    for (size_t i = 0; i < size; ++i) {
        if (nmeaReceiveByte(data[i])) require(std::strlen(nmeaAcceptedSentence()) <= NMEA_MAX_BODY);
        if (data[i] == '\n') runPendingGpsHandlers();
    }
    runPendingGpsHandlers();
    checkProperties();
    return 0;
}

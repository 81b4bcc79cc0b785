// libFuzzer target for the NMEA receiver and its four sentence handlers: any bytes, the handlers run
// after every line as the main loop would, under settings picked by the input's first bytes; the
// GPS page is drawn from what they kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "display/framebuffer.h"
#include "gps/gps_page.h"
#include "nmea_checks.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = (buildTrigTables(), true);
    (void)once;
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
        if (data[i] == '\n') {
            runPendingGpsHandlers();
            checkGpsValues();
        }
    }
    runPendingGpsHandlers();
    checkGpsValues();
    drawGpsPage();  // the sky view and the signal bars from whatever was kept
    return 0;
}

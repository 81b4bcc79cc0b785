// libFuzzer target for the window's NMEA log playback: any text split into fix epochs, each epoch's
// sentences then played to the receiver as the GPS tab does, the handlers run after every sentence
// and the GPS page drawn at the end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "display/framebuffer.h"
#include "gps/gps_page.h"
#include "links/nmea_log.h"
#include "nmea_checks.h"
#include "settings/settings.h"

namespace {

// The lines a split must keep: those starting with "$" after leading blanks.
size_t sentenceCount(std::string_view log)
{
    size_t count = 0;
    for (size_t at = 0; at < log.size();) {
        const size_t start = log.find_first_not_of(" \t", at);
        if (start != std::string_view::npos && log[start] == '$') ++count;
        const size_t end = log.find('\n', at);
        at = end == std::string_view::npos ? log.size() : end + 1;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = (buildTrigTables(), true);
    (void)once;
    const std::string_view log(reinterpret_cast<const char*>(data), size);
    const std::vector<NmeaEpoch> epochs = splitNmeaLog(log);

    // Every kept line once, in order, as the receiver gets it; an epoch opens only at its marker.
    size_t sentences = 0;
    for (size_t e = 0; e < epochs.size(); ++e) {
        require(!epochs[e].empty());
        for (size_t i = 0; i < epochs[e].size(); ++i) {
            const std::string& s = epochs[e][i];
            require(s.size() >= 3 && s.front() == '$' && s.compare(s.size() - 2, 2, "\r\n") == 0);
            require(s.find('\n') == s.size() - 1);
            const char last = s[s.size() - 3];
            require(last != ' ' && last != '\t' && last != '\r');
            // Typed as the split types it, without the line end.
            const std::string_view type = nmeaSentenceType(std::string_view(s).substr(0, s.size() - 2));
            require(type.empty() || type.size() == 3);
            const std::string_view opening = epochs[e][0];
            if (i > 0 && e > 0) require(type != nmeaSentenceType(opening.substr(0, opening.size() - 2)));
        }
        sentences += epochs[e].size();
    }
    require(sentences == sentenceCount(log));

    resetNmeaReceiver();
    resetGpsValues();
    loadDefaultSettings();
    settings.rtcSourceGps = 1;
    rtcDateTime = secondsToDateTime(1767225600);  // 2026-01-01 00:00:00
    for (const NmeaEpoch& epoch : epochs)
        for (const std::string& sentence : epoch) {
            for (const char c : sentence) nmeaReceiveByte(static_cast<uint8_t>(c));
            runPendingGpsHandlers();
            checkGpsValues();
        }
    drawGpsPage();
    return 0;
}

// Splitting a recorded NMEA log into fix epochs for playback at the recording's pace.
#include "links/nmea_log.h"

namespace {

std::vector<std::string_view> sentenceLines(std::string_view log)
{
    std::vector<std::string_view> lines;
    while (!log.empty()) {
        const size_t end = log.find('\n');
        std::string_view line = log.substr(0, end);
        log = end == std::string_view::npos ? std::string_view{} : log.substr(end + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        if (!line.empty() && line.front() == '$') lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::string_view nmeaSentenceType(std::string_view sentence)
{
    const size_t comma = sentence.find(',');
    const std::string_view address = sentence.substr(0, comma);
    // "$" + two talker letters + three type letters
    if (address.size() != 6 || address[0] != '$' || address[1] == 'P') return {};
    return address.substr(3);
}

std::vector<NmeaEpoch> splitNmeaLog(std::string_view log)
{
    const std::vector<std::string_view> lines = sentenceLines(log);
    bool hasRmc = false, hasGga = false;
    for (const std::string_view line : lines) {
        hasRmc |= nmeaSentenceType(line) == "RMC";
        hasGga |= nmeaSentenceType(line) == "GGA";
    }
    const std::string_view marker = hasRmc ? "RMC" : hasGga ? "GGA" : "";

    std::vector<NmeaEpoch> epochs;
    for (const std::string_view line : lines) {
        if (epochs.empty() || marker.empty() || nmeaSentenceType(line) == marker) epochs.emplace_back();
        epochs.back().push_back(std::string(line) + "\r\n");
    }
    return epochs;
}

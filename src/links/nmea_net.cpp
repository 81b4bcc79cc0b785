// The network GPS sources' byte repairs.
#include "links/nmea_net.h"

size_t LineEndRepair::repair(std::string_view piece, std::string& out)
{
    size_t inserted = 0;
    for (const char byte : piece) {
        if (byte == '\n' && !lastWasCr) {
            out += '\r';
            ++inserted;
        }
        out += byte;
        lastWasCr = byte == '\r';
    }
    return inserted;
}

size_t GpsdReportFilter::filter(std::string_view piece, std::string& out)
{
    size_t reports = 0;
    size_t at = 0;
    while (at < piece.size()) {
        if (atLineStart && piece[at] == '{') {
            inReport = true;
            ++reports;
        }
        const size_t end = piece.find('\n', at);
        const size_t stop = end == std::string_view::npos ? piece.size() : end + 1;
        if (!inReport) out.append(piece.substr(at, stop - at));
        atLineStart = end != std::string_view::npos;
        if (atLineStart) inReport = false;
        at = stop;
    }
    return reports;
}

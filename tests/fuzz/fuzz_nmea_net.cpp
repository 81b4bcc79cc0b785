// libFuzzer target for the network GPS sources' byte repairs: any bytes, cut into pieces of a
// length the first byte chooses, through gpsd's report filter and the line-end repair as the GPS
// link runs them. The pieces' boundaries change nothing; no bare LF comes out; the repair only
// inserts CRs before LFs and says how many; the filter only drops whole lines starting with "{".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "links/nmea_net.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const size_t pieceLength = data[0] % 32 + 1;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    // In pieces, and at once.
    LineEndRepair repair, wholeRepair;
    GpsdReportFilter filter, wholeFilter;
    std::string filtered, repaired, wholeFiltered, wholeRepaired;
    size_t inserted = 0, reports = 0;
    std::string piecesFiltered;
    for (size_t at = 0; at < input.size(); at += pieceLength) {
        filtered.clear();
        reports += filter.filter(input.substr(at, pieceLength), filtered);
        piecesFiltered += filtered;
        inserted += repair.repair(filtered, repaired);
    }
    const size_t wholeReports = wholeFilter.filter(input, wholeFiltered);
    const size_t wholeInserted = wholeRepair.repair(wholeFiltered, wholeRepaired);
    require(piecesFiltered == wholeFiltered && repaired == wholeRepaired);
    require(reports == wholeReports && inserted == wholeInserted);

    // The filter keeps the lines that do not start with "{", whole and in order, and counts the others.
    std::string kept;
    size_t dropped = 0;
    for (size_t at = 0; at < input.size();) {
        const size_t end = input.find('\n', at);
        const size_t stop = end == std::string_view::npos ? input.size() : end + 1;
        if (input[at] == '{')
            ++dropped;
        else
            kept.append(input.substr(at, stop - at));
        at = stop;
    }
    require(wholeFiltered == kept && wholeReports == dropped);

    // The repair: no LF without its CR; the input again once the inserted CRs are taken out, every
    // CR LF it had kept as it was; as many CRs inserted as it says.
    for (size_t i = 0; i < repaired.size(); ++i)
        if (repaired[i] == '\n') require(i > 0 && repaired[i - 1] == '\r');
    require(repaired.size() == piecesFiltered.size() + inserted);
    size_t j = 0;
    for (size_t i = 0; i < piecesFiltered.size(); ++i) {
        const char byte = piecesFiltered[i];
        if (byte == '\n' && (i == 0 || piecesFiltered[i - 1] != '\r')) {
            require(j < repaired.size() && repaired[j] == '\r');
            ++j;
        }
        require(j < repaired.size() && repaired[j] == byte);
        ++j;
    }
    require(j == repaired.size());
    return 0;
}

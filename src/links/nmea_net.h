// What the network GPS sources do to their bytes before the NMEA receiver sees them: gpsd's own
// reports are left out, and a line feed without its carriage return gets one. Plain C++ with its
// state kept between pieces, so a datagram or a read may end anywhere.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Many programs that send NMEA over a network end their lines with a line feed alone, which the
// receiver rejects. Each LF not preceded by a CR (in this piece or at the end of the one before)
// becomes CR LF; every other byte, a lone CR included, passes as it is.
class LineEndRepair {
public:
    // Appends the repaired bytes of `piece` to `out` and returns the number of CRs inserted.
    size_t repair(std::string_view piece, std::string& out);
    // A new stream: nothing before it counts as a CR.
    void reset() { lastWasCr = false; }

private:
    bool lastWasCr = false;
};

// gpsd answers a watch with reports of its own, one JSON object a line ("{" first), between the
// receiver's sentences. The lines that start with "{" are dropped whole, up to and including their
// LF; everything else passes.
class GpsdReportFilter {
public:
    // Appends the bytes of `piece` outside gpsd's reports to `out` and returns the number of
    // reports that began in it.
    size_t filter(std::string_view piece, std::string& out);
    void reset()
    {
        atLineStart = true;
        inReport = false;
    }

private:
    bool atLineStart = true;
    bool inReport = false;
};

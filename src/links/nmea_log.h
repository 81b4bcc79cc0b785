// Recorded NMEA logs for playback: the log's sentences grouped into fix epochs, one epoch per
// second of the recording.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// The sentences of one fix epoch, each as the receiver gets it: "$...*hh" ended by CR LF.
using NmeaEpoch = std::vector<std::string>;

// Lines that begin with "$" (after leading blanks) are sentences; comments ("#") and any other
// lines are left out. An epoch starts at each RMC sentence, or at each GGA sentence when the log
// has no RMC (any talker); when it has neither, every sentence is an epoch of its own. Sentences
// before the first epoch's start form an epoch of their own.
std::vector<NmeaEpoch> splitNmeaLog(std::string_view log);
// The three-letter sentence type of "$GPRMC,..." ("RMC"); "" for proprietary or short addresses.
std::string_view nmeaSentenceType(std::string_view sentence);

// The receiver's states (0 idle, 1 body, 2 and 3 checksum, 4 CR, 5 LF) tell why a sentence that
// was being framed is dropped.
#include "host/nmea_counters.h"

#include <QStringList>

#include "gps/nmea.h"

NmeaCounters& NmeaCounters::operator+=(const NmeaCounters& more)
{
    bytes += more.bytes;
    accepted += more.accepted;
    badChecksum += more.badChecksum;
    tooLong += more.tooLong;
    badLineEnd += more.badLineEnd;
    repairedLineEnds += more.repairedLineEnds;
    gpsdReports += more.gpsdReports;
    return *this;
}

bool feedNmeaByte(uint8_t byte, NmeaCounters& counters)
{
    const uint8_t before = nmeaState;
    const bool accepted = nmeaReceiveByte(byte);
    ++counters.bytes;
    if (accepted) {
        ++counters.accepted;
    } else if (before == 1 && nmeaState == 0) {
        ++counters.tooLong;
    } else if (before == 4 && nmeaState == 0) {
        ++counters.badLineEnd;
    } else if (before == 5) {
        if (byte == '\n') ++counters.badChecksum;
        else ++counters.badLineEnd;
    }
    return accepted;
}

QString nmeaCountersText(const NmeaCounters& c)
{
    QString text = QString("%1 bytes, %2 sentences accepted, %3 rejected").arg(c.bytes).arg(c.accepted).arg(c.rejected());
    QStringList reasons;
    if (c.badChecksum) reasons << QString("%1 bad checksum").arg(c.badChecksum);
    if (c.tooLong) reasons << QString("%1 too long").arg(c.tooLong);
    if (c.badLineEnd) reasons << QString("%1 bad line end").arg(c.badLineEnd);
    if (!reasons.isEmpty()) text += " (" + reasons.join(", ") + ")";
    if (c.repairedLineEnds) text += QString("; %1 line ends repaired").arg(c.repairedLineEnds);
    if (c.gpsdReports) text += QString("; %1 gpsd reports skipped").arg(c.gpsdReports);
    return text;
}

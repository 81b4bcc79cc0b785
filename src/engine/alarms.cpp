// Alarm words and the set/clear rule.
#include "engine/alarms.h"

uint32_t alarmFlags = 0;
uint32_t alarmAcked = 0;

const char* const alarmMessageTexts[25] = {
    "ALARM",        "FUEL LEVEL 1",       "FUEL LEVEL 2",        " RPM LOW",     " RPM HIGH",
    " RPM LOW",     " RPM HIGH",          "EGT/CHT HIGH",        "MAP LOW",      "MAP HIGH",
    "VOLTS LOW",    "VOLTS HIGH",         "OAT LOW",             "OAT HIGH",     "CARBON MONOXIDE",
    " FUEL PRESSURE LOW", " FUEL PRESSURE HIGH", "CURRENT LOW",  "CURRENT HIGH", " PRESSURE LOW",
    " PRESSURE HIGH", " TEMP LOW",        " TEMP HIGH",          "CURRENT LOW",  "CURRENT HIGH",
};

void raiseAlarm(uint32_t bit) { alarmFlags |= bit; }

void clearAlarm(uint32_t bit)
{
    alarmFlags &= ~bit;
    alarmAcked &= ~bit;
}

void updateAlarm(uint32_t bit, bool due)
{
    if (due) raiseAlarm(bit);
    else clearAlarm(bit);
}

// When an alarm is announced: a bit must hold through whole slow steps before the pop-up shows it,
// and be gone through whole slow steps before the pop-up lets it go, so a value hovering on its
// limit neither raises nor drops a line; ACK silences an alarm until its bit clears.
#include "engine/alarm_messages.h"
#include "engine/alarms.h"

uint32_t alarmAnnounced = 0;
uint32_t alarmSetThisStep = UINT32_MAX;
uint32_t alarmSeenThisStep = 0;
uint8_t alarmSetSteps[ALARM_BIT_COUNT] = {};
uint8_t alarmClearSteps[ALARM_BIT_COUNT] = {};
uint8_t alarmTextIndex[ALARM_BIT_COUNT] = {};

namespace {

uint8_t countUp(uint8_t n) { return n < UINT8_MAX ? static_cast<uint8_t>(n + 1) : n; }

}  // namespace

void resetAlarmAnnouncements()
{
    alarmAnnounced = alarmSeenThisStep = 0;
    alarmSetThisStep = UINT32_MAX;
    for (int b = 0; b < ALARM_BIT_COUNT; ++b) alarmSetSteps[b] = alarmClearSteps[b] = alarmTextIndex[b] = 0;
}

void trackAlarmPass()
{
    alarmSetThisStep &= alarmFlags;
    alarmSeenThisStep |= alarmFlags;
    recordAlarmTexts();
}

void alarmSlowStep()
{
    // The flags as they stand now belong to the step that ends here; with no pass since the last
    // step they are all there is to go by. A bit set in the first pass after a step counts that
    // step as steady, so two steps in a row take two seconds.
    const uint32_t steadySet = alarmSetThisStep & alarmFlags;
    const uint32_t seen = alarmSeenThisStep | alarmFlags;
    for (int b = 0; b < ALARM_BIT_COUNT; ++b) {
        const uint32_t bit = 1u << b;
        if (steadySet & bit) {
            alarmSetSteps[b] = countUp(alarmSetSteps[b]);
            alarmClearSteps[b] = 0;
        } else if (!(seen & bit)) {
            alarmClearSteps[b] = countUp(alarmClearSteps[b]);
            alarmSetSteps[b] = 0;
        } else {  // set and clear within the step: on its limit
            alarmSetSteps[b] = alarmClearSteps[b] = 0;
        }
        if (alarmSetSteps[b] >= ALARM_ANNOUNCE_STEPS && !(alarmAcked & bit)) alarmAnnounced |= bit;
        if (alarmClearSteps[b] >= ALARM_WITHDRAW_STEPS) alarmAnnounced &= ~bit;
    }
    alarmSetThisStep = UINT32_MAX;
    alarmSeenThisStep = 0;
}

void acknowledgeAlarms(uint32_t bits)
{
    bits &= alarmAnnounced;
    alarmAcked |= bits & alarmFlags;
    alarmAnnounced &= ~bits;
}

// Alarm messages and their announcement: which text describes each alarm bit, when an alarm has
// held long enough to be announced, and the pilot's acknowledgement.
#pragma once
#include <cstddef>
#include <cstdint>

// Alarm bits are the low 16 bits of alarmFlags; per-bit state is kept by bit number.
constexpr int ALARM_BIT_COUNT = 16;

// An alarm is announced once its bit has been set on every pass through this many slow steps in
// a row, and withdrawn (unless acknowledged first) once it has been clear on every pass through
// as many. A step in which the bit was both set and clear (a value on its limit) resets both
// counts, so a flickering bit changes nothing that is shown.
constexpr uint8_t ALARM_ANNOUNCE_STEPS = 2;
constexpr uint8_t ALARM_WITHDRAW_STEPS = 2;

extern uint32_t alarmAnnounced;       // alarms shown in the alarm pop-up, waiting for ACK
extern uint32_t alarmSetThisStep;     // bits set on every pass since the last slow step
extern uint32_t alarmSeenThisStep;    // bits set on some pass since the last slow step
extern uint8_t alarmSetSteps[ALARM_BIT_COUNT];    // slow steps in a row each bit was steadily set
extern uint8_t alarmClearSteps[ALARM_BIT_COUNT];  // slow steps in a row each bit was steadily clear
// The message text (index into alarmMessageTexts) that described each bit on the latest pass it
// was set: low or high as its value stood then. 0 ("ALARM") before a bit was ever set.
extern uint8_t alarmTextIndex[ALARM_BIT_COUNT];

// Power-on: nothing announced, no counts.
void resetAlarmAnnouncements();
// Once per pass, right after the engine inputs: notes which bits held and records their texts.
void trackAlarmPass();
// Part of trackAlarmPass: the text of every set bit as its value stands in this pass.
void recordAlarmTexts();
// Once per slow step: counts steady steps, announces and withdraws.
void alarmSlowStep();
// ACK: the given announced alarms become acknowledged (as far as they still hold) and leave the
// pop-up; they stay silent until their bit clears and is set again.
void acknowledgeAlarms(uint32_t bits);

// One line of the alarm pop-up.
struct AlarmLine {
    uint32_t bit = 0;
    char text[32] = {};
};
constexpr int ALARM_LINE_LIMIT = 16;

// The announced alarms as display lines, in the order of the message table: a text that begins
// with a space gets the channel's label in front ("OIL PRESSURE LOW", "ENGINE RPM HIGH").
// Returns the number of lines (at most ALARM_LINE_LIMIT).
int announcedAlarmLines(AlarmLine (&lines)[ALARM_LINE_LIMIT]);

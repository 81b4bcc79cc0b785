// The alarm words: one bit per channel, set while its alarm condition holds, never latched.
#pragma once
#include <cstdint>

constexpr uint32_t ALARM_RPM = 0x0001;
constexpr uint32_t ALARM_MAP = 0x0002;
constexpr uint32_t ALARM_OAT = 0x0004;
constexpr uint32_t ALARM_VOLTS = 0x0008;
constexpr uint32_t ALARM_TANK1 = 0x0010;
constexpr uint32_t ALARM_TANK2 = 0x0020;
constexpr uint32_t ALARM_EGT_CHT = 0x0080;
constexpr uint32_t ALARM_AUX1 = 0x0100;
constexpr uint32_t ALARM_AUX2 = 0x0200;
constexpr uint32_t ALARM_AUX3 = 0x0400;
constexpr uint32_t ALARM_AUX4 = 0x0800;
constexpr uint32_t ALARM_CO = 0x2000;
constexpr uint32_t ALARM_FUEL_PRESSURE = 0x4000;
constexpr uint32_t ALARM_CURRENT = 0x8000;

extern uint32_t alarmFlags;
extern uint32_t alarmAcked;  // alarms the pilot acknowledged (ACK); cleared with their flag

void raiseAlarm(uint32_t bit);
void clearAlarm(uint32_t bit);
// raiseAlarm when due, else clearAlarm: the one call each channel makes per pass.
void updateAlarm(uint32_t bit, bool due);

// Texts of the alarm messages, in the instrument's order (the alarm pop-up shows them).
extern const char* const alarmMessageTexts[25];

// TIMERS SETUP and its sub-screens: Hobbs minimum RPM, the Hobbs time behind the Hobbs code,
// changing the code, the maintenance timer, UTC offset, clock source and the UTC date and time.
#pragma once
#include <cstdint>

// The code accepted in place of the current one when the Hobbs code is changed.
constexpr uint16_t HOBBS_MASTER_CODE = 7302;

// The new code between ENTER NEW CODE and CONFIRM NEW CODE; afterwards the outcome the code
// message shows: 1 "CODE" / "CHANGED", anything else "INCORRECT" / "CODE".
extern uint16_t newHobbsCode;

// The date and time being edited on SET UTC DATE & TIME.
struct DateEntry {
    uint16_t year;
    uint8_t month;
    uint8_t day;
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
};
extern DateEntry dateEntry;

// The rows of TIMERS SETUP that the sub-screens come back to.
constexpr uint8_t TIMERS_ROW_HOBBS_TIME = 1;
constexpr uint8_t TIMERS_ROW_HOBBS_CODE = 2;
constexpr uint8_t TIMERS_ROW_MAINTENANCE = 3;
constexpr uint8_t TIMERS_ROW_UTC_DATE_TIME = 6;

void timersSetupScreen();
void enterHobbsCodeScreen();
void hobbsTimeScreen();
void enterCurrentCodeScreen();
void enterNewCodeScreen();
void confirmNewCodeScreen();
void codeMessageScreen();
void maintenanceTimerScreen();
void utcDateTimeScreen();

// Back to TIMERS SETUP with the cursor on row, not editing.
void openTimersSetup(uint8_t row);

// editDigits from the Hobbs meter: four hour digits and the tenths; the cursor on the first digit.
void loadHobbsDigits();
// editDigits from the maintenance timer's hours (at most 999); the cursor on the first digit.
void loadMaintenanceDigits();
// dateEntry from the real-time clock.
void loadDateEntry();

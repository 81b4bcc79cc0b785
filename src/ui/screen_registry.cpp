// The one table of screen and pop-up functions by name, with what opening each one resets and runs.
// A new screen is one line here.
#include "ui/screen_registry.h"

#include <iterator>
#include <cstring>

#include "engine/fuel.h"
#include "engine/min_max_page.h"
#include "engine/setup_screens.h"
#include "gps/gps_setup.h"
#include "settings/menus.h"
#include "time/data_recording.h"
#include "time/digit_entry.h"
#include "time/documents.h"
#include "time/ecu_co.h"
#include "time/flight_log.h"
#include "ui/fuel_setup.h"
#include "ui/popups.h"
#include "ui/home.h"
#include "time/timers_setup.h"

namespace {

#define SCREEN(f) {#f, f, false}
#define OVERLAY(f) {#f, f, true}
// A screen whose opening resets less than a menu's, or has an entry of its own.
#define ENTERED(f, resets, enter) {#f, f, false, resets, enter}

// The screen being left is where these go back to.
void returnHere() { returnScreen = currentScreen; }
void slopeReturnHere() { slopeReturnScreen = currentScreen; }
void resetCalibrationMode() { calibrationMode = 0; }
// The data recording setup clears its free disk space count; the pass counts it again.
void clearFreeSpace() { freeSpaceCount = 0; }
void showNewestFlight() { flightLogViewPos = 0; }

const RegisteredScreen kScreens[] = {
    SCREEN(homeScreen),
    // From the quick menu's MENU: the step stays as it was.
    ENTERED(mainMenuScreen, ResetCursor | ResetListTop | ResetEdit, nullptr),
    ENTERED(messageScreen, ResetNothing, nullptr),
    ENTERED(sdCardMessageScreen, ResetNothing, nullptr),
    SCREEN(mapSetupScreen),
    SCREEN(rpm1SetupScreen),
    SCREEN(rpm2SetupScreen),
    SCREEN(egtSetupScreen),
    SCREEN(chtSetupScreen),
    SCREEN(voltsSetupScreen),
    SCREEN(oatSetupScreen),
    // A working copy of the curve of the sender on listChannel; BACK returns to the line that opened it.
    ENTERED(calibrateSenderScreen, ResetCursor | ResetListTop | ResetEdit, enterCalibrateSender),
    SCREEN(senderSetupScreen),
    SCREEN(currentSetupScreen),
    SCREEN(fuelPressureSetupScreen),
    ENTERED(zeroCurrentSensorScreen, ResetCursor | ResetEdit, returnHere),
    SCREEN(emsSetupScreen),
    SCREEN(fuelSetupScreen),
    // From FUEL SETUP's links, with the fuel layout brought up to date; the step stays.
    ENTERED(tank1SetupScreen, ResetCursor | ResetListTop, updateFuelLayout),
    ENTERED(tank2SetupScreen, ResetCursor | ResetListTop, updateFuelLayout),
    // In SENDER mode, from the tank's CALIBRATE TANK line; the step stays.
    ENTERED(tank1CalibrateScreen, ResetCursor | ResetListTop, resetCalibrationMode),
    ENTERED(tank2CalibrateScreen, ResetCursor | ResetListTop, resetCalibrationMode),
    ENTERED(slopeErrorScreen, ResetNothing, slopeReturnHere),
    SCREEN(miscSetupScreen),
    ENTERED(registrationScreen, ResetCursor | ResetEdit, nullptr),
    SCREEN(adcValuesScreen),
    SCREEN(flightLogMenuScreen),
    // From the FLIGHT LOG menu, whose line and step stay for BACK.
    ENTERED(flightLogViewScreen, ResetNothing, showNewestFlight),
    // The NO / YES questions start on NO.
    ENTERED(eraseFlightLogScreen, ResetCursor, nullptr),
    ENTERED(dataRecordingSetupScreen, ResetAll, clearFreeSpace),
    ENTERED(createRecordingFileScreen, ResetCursor, nullptr),
    ENTERED(noFilesScreen, ResetNothing, nullptr),
    SCREEN(ecuScreen),
    SCREEN(coMonitorSetupScreen),
    OVERLAY(documentListScreen),
    SCREEN(timersSetupScreen),
    // The digit screens of TIMERS SETUP start on their first digit, with their digits loaded; the
    // list's top and step stay for the way back.
    ENTERED(enterHobbsCodeScreen, ResetCursor | ResetEdit, clearCodeDigits),
    ENTERED(hobbsTimeScreen, ResetCursor | ResetEdit, loadHobbsDigits),
    ENTERED(enterCurrentCodeScreen, ResetCursor, clearCodeDigits),
    ENTERED(enterNewCodeScreen, ResetCursor, clearCodeDigits),
    ENTERED(confirmNewCodeScreen, ResetCursor, clearCodeDigits),
    ENTERED(codeMessageScreen, ResetNothing, nullptr),
    ENTERED(maintenanceTimerScreen, ResetCursor | ResetEdit, loadMaintenanceDigits),
    ENTERED(utcDateTimeScreen, ResetCursor | ResetEdit, loadDateEntry),
    SCREEN(gpsSetupScreen),
    OVERLAY(quickMenuScreen),
    OVERLAY(pageMenuScreen),
    OVERLAY(informationMenuScreen),
    OVERLAY(backlightPopup),
    OVERLAY(timerPopup),
    OVERLAY(leanModePopup),
    OVERLAY(cruiseModePopup),
    OVERLAY(cruiseSpeedPopup),
    OVERLAY(fuelRefillTank1Popup),
    OVERLAY(fuelRefillTank2Popup),
    OVERLAY(fuelTotalsPopup),
    OVERLAY(minMaxPopup),
};

#undef SCREEN
#undef OVERLAY
#undef ENTERED

}  // namespace

const RegisteredScreen* registeredScreens(size_t& count)
{
    count = std::size(kScreens);
    return kScreens;
}

const RegisteredScreen* registeredScreen(ScreenFunction function)
{
    for (const RegisteredScreen& s : kScreens)
        if (s.function == function) return &s;
    return nullptr;
}

const char* screenName(ScreenFunction function)
{
    if (!function) return "none";
    const RegisteredScreen* s = registeredScreen(function);
    return s ? s->name : nullptr;
}

bool findScreen(const char* name, ScreenFunction& function)
{
    if (std::strcmp(name, "none") == 0) {
        function = nullptr;
        return true;
    }
    for (const RegisteredScreen& s : kScreens)
        if (std::strcmp(s.name, name) == 0) {
            function = s.function;
            return true;
        }
    return false;
}

// The one table of screen and pop-up functions by name. A new screen is one line here.
#include "ui/screen_registry.h"

#include <iterator>
#include <cstring>

#include "engine/min_max_page.h"
#include "engine/setup_screens.h"
#include "gps/gps_setup.h"
#include "settings/menus.h"
#include "time/data_recording.h"
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

const RegisteredScreen kScreens[] = {
    SCREEN(homeScreen),
    SCREEN(mainMenuScreen),
    SCREEN(messageScreen),
    SCREEN(sdCardMessageScreen),
    SCREEN(mapSetupScreen),
    SCREEN(rpm1SetupScreen),
    SCREEN(rpm2SetupScreen),
    SCREEN(egtSetupScreen),
    SCREEN(chtSetupScreen),
    SCREEN(voltsSetupScreen),
    SCREEN(oatSetupScreen),
    SCREEN(calibrateSenderScreen),
    SCREEN(senderSetupScreen),
    SCREEN(currentSetupScreen),
    SCREEN(fuelPressureSetupScreen),
    SCREEN(zeroCurrentSensorScreen),
    SCREEN(emsSetupScreen),
    SCREEN(fuelSetupScreen),
    SCREEN(tank1SetupScreen),
    SCREEN(tank2SetupScreen),
    SCREEN(tank1CalibrateScreen),
    SCREEN(tank2CalibrateScreen),
    SCREEN(slopeErrorScreen),
    SCREEN(miscSetupScreen),
    SCREEN(registrationScreen),
    SCREEN(adcValuesScreen),
    SCREEN(flightLogMenuScreen),
    SCREEN(flightLogViewScreen),
    SCREEN(eraseFlightLogScreen),
    SCREEN(dataRecordingSetupScreen),
    SCREEN(createRecordingFileScreen),
    SCREEN(noFilesScreen),
    SCREEN(ecuScreen),
    SCREEN(coMonitorSetupScreen),
    OVERLAY(documentListScreen),
    SCREEN(timersSetupScreen),
    SCREEN(enterHobbsCodeScreen),
    SCREEN(hobbsTimeScreen),
    SCREEN(enterCurrentCodeScreen),
    SCREEN(enterNewCodeScreen),
    SCREEN(confirmNewCodeScreen),
    SCREEN(codeMessageScreen),
    SCREEN(maintenanceTimerScreen),
    SCREEN(utcDateTimeScreen),
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

}  // namespace

const RegisteredScreen* registeredScreens(size_t& count)
{
    count = std::size(kScreens);
    return kScreens;
}

const char* screenName(ScreenFunction function)
{
    if (!function) return "none";
    for (const RegisteredScreen& s : kScreens)
        if (s.function == function) return s.name;
    return nullptr;
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

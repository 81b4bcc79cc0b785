// The instrument as a freshly started program, switched off: every device variable at its
// initial value, the host's controls at their defaults and the settings at the factory values.
// The one reset list; the runner's scenarios and the tests start from it.
#include <cstring>

#include "device.h"
#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/airspeed.h"
#include "engine/alarm_messages.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/inputs.h"
#include "engine/senders.h"
#include "engine/setup_screens.h"
#include "settings/menus.h"
#include "ui/digit_editor.h"
#include "ui/fuel_setup.h"
#include "ui/popups.h"
#include "engine/thermocouples.h"
#include "gps/gps.h"
#include "gps/nmea.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/data_recording.h"
#include "time/documents.h"
#include "time/ecu_co.h"
#include "time/flight.h"
#include "time/flight_log.h"
#include "time/memory.h"
#include "time/sun.h"
#include "time/timers.h"
#include "time/timers_setup.h"
#include "ui/home.h"
#include "ui/list_screen.h"
#include "ui/screen.h"
#include "ui/widgets.h"

namespace {

template <typename T> void zero(T& v) { std::memset(&v, 0, sizeof v); }

void resetHostAndPower()
{
    hostControls = HostControls{};
    setSdCardFolder("SDCARD");
    devicePhase = DevicePhase::Off;
    noticePassCount = 0;
    powerOffRequest = 0;
    sdCardPresent = 0;
    remoteUnitOn = 0;
    coUnitFault = 0;
    variationStepCount = 0;
    instrumentSerialNumber = 0;
}

void resetScreens()
{
    currentScreen = homeScreen;
    returnScreen = homeScreen;
    messageFailed = 0;
    pendingKey = KeyNone;
    cursorLine = listTop = editMode = knobMovesCursor = 0;
    stepMultiplier = 1;
    listChannel = 0;
    homePage = 0;
    overlayScreen = nullptr;
    overlayTimeout = 0;
    menuItemCount = 0;
    oatCoCycle = 0;
    egtSelected = chtSelected = 0;
    infoDisplayMode = 0;
    zero(documentText);
    documentLineCount = documentCursor = 0;
    coDataValid = 0;
    clearEcuCoData();
    ecuLinkPresent = 0;
    browseChecklists = 0;
    documentFileCount = directoryEntryCount = documentSelected = 0;
    zero(documentNames);
    calibrationMode = 0;
    fuelSetupReturnLine = 0;
    slopeReturnScreen = homeScreen;
    zero(editDigits);
    zero(refillLevel);
    zero(workingCurve);
    workingCurveTemperature = 0;
    workingCurveReturnLine = 0;
    fuelPressureSetupParent = emsSetupScreen;
    fuelPressureSetupParentLine = 4;  // the FUEL SETUP tile
    lastTextStartX = lastTextEndX = 0;
    clearScreen();
    clearBackground();
}

void resetInputs()
{
    rawVolts = rawCurrent = rawOat = 0;
    rawMap = 0;
    rpmPeriod = 0;
    rotorRpm = rotorPercent = 0;
    coPpm = 0;
    zero(tcInput);
    rawCjc = 0;
    zero(rawFuelFlow);
    zero(rawFuelLevel);
    rawFuelPressure = 0;
    zero(rawAnalog);
    airspeed = 0;
    airspeedValid = 0;
}

void resetEngineValues()
{
    resetCalibration();
    calibration.currentZero = 0;  // power-on keeps it; a fresh program starts without a zero
    voltsFilter = 0;
    volts = 0;
    oatCelsius = oat = 0;
    mapInput = 0;
    mapFilterAcc = 0;
    mapMb = map = 0;
    rpm = rpmPercent = 0;
    currentTenths = current = 0;
    voltsMin = voltsMax = 0;
    oatMin = oatMax = mapMin = mapMax = 0;
    rpmMax = rotorMax = 0;
    currentMin = currentMax = 0;
    alarmFlags = alarmAcked = 0;
    resetAlarmAnnouncements();

    cjcInput = 0;
    cjcTemp = 0;
    zero(tcFeed);
    zero(tc);
    zero(tcCelsius);
    zero(tcMax);
    zero(leanPeak);
    zero(leanDelta);
    zero(leanPeakOrder);
    leanNextOrder = 1;
    leanActive = leanDeltaMode = 0;

    zero(analogInput);
    zero(pressureValue);
    zero(pressureMax);
    zero(tempValue);
    zero(tempCelsius);
    zero(tempMax);
    zero(auxCurrentTenths);
    zero(auxCurrent);
    zero(auxCurrentMin);
    zero(auxCurrentMax);
    fuelPressure = fuelPressureMax = 0;
}

void resetFuel()
{
    zero(injectorDuty);
    resetFuelTimingInputs();
    zero(flowInput);
    zero(fuelFlow);
    zero(fuelLevelInput);
    zero(fuelLevelFilterAcc);
    zero(fuelLevelOpen);
    zero(fuelLevel);
    clearFuelAccumulators();
    fuelRange = fuelEndurance = 0;
}

void resetTime()
{
    rtcDateTime = DateTime{};
    localDateTime = DateTime{};
    utcSeconds = localSeconds = 0;
    hostUtcSeconds = 0;
    clockOffsetSeconds = 0;
    newHobbsCode = 0;
    dateEntry = DateEntry{};
    blinkTickCount = blinkPhase = slowStepTickCount = 0;
    hobbsHours = 0;
    hobbsHundredths = hobbsStepCount = 0;
    maintHours = 0;
    maintMinutes = maintStepCount = 0;
    stopwatchSeconds = stopwatchPreset = 0;
    stopwatchUp = stopwatchRunning = stopwatchEnabled = 0;
    egtScanCount = chtScanCount = 0;
    zero(currentFlight);
    flightInProgress = 0;
    sunEventHours = 0;
    sunEventFound = false;
    clearMemory();  // Hobbs, maintenance, clock offset, the flight in hand and the log
    memoryChangeCount = 0;
    flightLogViewPos = 0;
    flightDetectStartCount = flightDetectStopCount = 0;
    freeSpaceCount = 0;
    recordingPaused = 0;
    recordedLines = 0;
}

}  // namespace

void resetWorkingValues()
{
    const uint16_t currentZero = calibration.currentZero;
    resetEngineValues();
    calibration.currentZero = currentZero;
    resetFuel();
    resetNmeaReceiver();
    resetGpsValues();
    autoVariation = 0;
    variationStepCount = 0;
    // The blink and the one-second step count host ticks from here, as in a fresh runner.
    blinkTickCount = blinkPhase = slowStepTickCount = 0;
}

void resetDevice()
{
    resetHostAndPower();
    resetScreens();
    resetInputs();
    resetEngineValues();
    resetFuel();
    resetTime();
    resetNmeaReceiver();
    resetGpsValues();
    autoVariation = 0;
    // The record starts empty (fields the defaults skip stay 0), then takes the factory values,
    // which also derive the RPM factor and the fuel layout.
    zero(settings);
    loadDefaultSettings();
}

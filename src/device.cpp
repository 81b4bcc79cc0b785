// Power-on sequence, the two start-up notices and the main-loop pass, one pass per call.
#include "device.h"

#include <cstdio>

#include "display/framebuffer.h"
#include "display/image.h"
#include "display/text.h"
#include "engine/alarm_messages.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/inputs.h"
#include "gps/gps.h"
#include "gps/nmea.h"
#include "settings/menus.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "time/data_recording.h"
#include "time/ecu_co.h"
#include "time/flight.h"
#include "time/flight_log.h"
#include "time/sun.h"
#include "time/timers.h"
#include "ui/home.h"
#include "ui/widgets.h"
#include "ui/screen.h"

HostControls hostControls;

uint8_t powerOffRequest = 0;
uint8_t sdCardPresent = 0;
uint8_t remoteUnitOn = 0;
uint8_t coUnitFault = 0;
uint16_t variationStepCount = 0;
uint32_t instrumentSerialNumber = 0;  // nothing assigns it: the splash shows seven zeros

DevicePhase devicePhase = DevicePhase::Off;
uint16_t noticePassCount = 0;
bool deviceDrawEveryPass = false;

namespace {

constexpr double kSoftwareVersion = 1.12;

bool frameWanted = false;  // a key or a power-on not yet shown

// Runs a pass with the display switch set for it; drawing is on again between passes.
struct PassDrawing {
    explicit PassDrawing(PassView view) { displayDrawing = view == PassView::Seen || deviceDrawEveryPass; }
    ~PassDrawing()
    {
        if (displayDrawing) frameWanted = false;
        displayDrawing = true;
    }
};

void drawSplashNotice()
{
    clearScreen();
    copyBackground();
    char text[32];
    drawText(0, 255, settings.aircraftRegistration, 8, AlignLeft, COLOUR_WHITE);
    std::snprintf(text, sizeof text, "s/n: %07u", static_cast<unsigned>(instrumentSerialNumber % 10000000u));
    drawText(479, 240, text, 8, AlignRight, COLOUR_WHITE);
    std::snprintf(text, sizeof text, "Version %0.2f", kSoftwareVersion);
    drawText(479, 255, text, 8, AlignRight, COLOUR_WHITE);
}

void drawExpiryNotice()
{
    clearScreen();
    drawRect(69, 96, 411, 176, COLOUR_WHITE);
    fillRect(70, 97, 410, 175, COLOUR_RED);
    drawText(240, 104, "MAINTENANCE TIMER", 16, AlignCentre, COLOUR_WHITE);
    drawText(240, 138, "HAS EXPIRED", 16, AlignCentre, COLOUR_WHITE);
}

// Steps 10 to 12 of the power-on sequence, after the notices.
void finishPowerOn()
{
    // 10. Alarm state cleared.
    alarmFlags = 0;
    alarmAcked = 0;
    resetAlarmAnnouncements();
    pendingKey = KeyNone;
    // 11. Fuel layout and RPM factor derived from the settings.
    updateFuelLayout();
    updateRpmFactor();
    // 12. RPM input as its control stands; fuel-flow timing inputs preset.
    rpmPeriod = hostControls.rpmBar;
    resetFuelTimingInputs();
}

void mainLoopPass()
{
    // The host's check boxes, as they stand at the start of the pass.
    updateAlarm(ALARM_CO, hostControls.coAlarm);
    coUnitFault = hostControls.coUnitOk ? 0 : 1;
    sdCardPresent = hostControls.sdCardMounted ? 1 : 0;
    remoteUnitOn = hostControls.zedaOn ? 1 : 0;
    processEngineInputs();
    trackAlarmPass();
    knobMovesCursor = 0;
    currentScreen();
    refreshClock();
    runPendingGpsHandlers();
    // The count runs with the fix; the computation waits for the fix's position (a GSA can report
    // the fix a slow step before the RMC with the position arrives).
    if (gpsFixHasPosition() && variationStepCount > 600) {
        variationStepCount = 0;
        computeMagneticVariation();
    }
}

// A notice pass: ends the notice (discarding its key) when a key waits or its time is up.
bool noticePass(void (*draw)())
{
    if (pendingKey != KeyNone || noticePassCount >= NOTICE_PASSES) {
        pendingKey = KeyNone;
        noticePassCount = 0;
        return false;
    }
    draw();
    ++noticePassCount;
    return true;
}

}  // namespace

void devicePowerOn()
{
    if (devicePhase != DevicePhase::Off) return;  // a second "&On" while running is ignored
    // 1. Power request, and the OAT input as its control stands.
    powerOffRequest = 0;
    rawOat = hostControls.oatBar;
    // 2. Calibration block back to its defaults.
    resetCalibration();
    // 3. Factory settings.
    loadDefaultSettings();
    // 4. Fuel accumulators and the home page cleared. The Hobbs and maintenance meters, the flight
    // log and the flight in hand are non-volatile; the flight time of a finished flight is cleared.
    clearFuelAccumulators();
    resetTimersAtPowerOn();
    resetFlightAtPowerOn();
    resetRecordingAtPowerOn();
    homePage = 0;
    // 5. Minimum and maximum values reset; trigonometric tables built.
    resetMinMax();
    buildTrigTables();
    // 6. CO monitor state unknown until it reports.
    coUnitFault = 1;
    coDataValid = 0;
    resetEcuCoAtPowerOn();
    // 7. GPS state, the magnetic-variation counter, the edit step and the card.
    gpsSatellitesInView = 0;
    gpsFixValid = gpsPositionValid = 0;
    gpsSentenceAge = GPS_AGE_IDLE;
    variationStepCount = 600;
    stepMultiplier = 1;
    sdCardPresent = 1;
    // 8. The splash picture into the background buffer (black where the card has none).
    clearBackground();
    char splashPath[1100];
    if (sdCardPath("SPLASH.MIF", splashPath, sizeof splashPath)) loadImageFile(0, 0, splashPath);
    // 9. The splash, then the maintenance notice if the timer has expired.
    pendingKey = KeyNone;
    noticePassCount = 0;
    devicePhase = DevicePhase::SplashNotice;
    frameWanted = true;
}

void devicePowerOff() { powerOffRequest = 1; }

bool deviceIsOn() { return devicePhase != DevicePhase::Off; }

bool deviceFrameWanted() { return frameWanted; }

bool devicePass(PassView view)
{
    const PassDrawing drawing(view);
    switch (devicePhase) {
    case DevicePhase::Off:
        return false;
    case DevicePhase::SplashNotice:
        if (noticePass(drawSplashNotice)) return true;
        devicePhase = DevicePhase::ExpiryNotice;
        [[fallthrough]];
    case DevicePhase::ExpiryNotice:
        if (maintenanceExpired() && noticePass(drawExpiryNotice)) return true;
        finishPowerOn();
        devicePhase = DevicePhase::Running;
        [[fallthrough]];
    case DevicePhase::Running:
        if (powerOffRequest) {
            devicePhase = DevicePhase::Off;
            return false;
        }
        mainLoopPass();
        return true;
    }
    return false;
}

bool deviceAlarmLampLit() { return devicePhase == DevicePhase::Running && alarmAnnounced != 0; }

void devicePressKey(uint8_t code)
{
    if (code >= KeySoft1 && code <= KeyKnobMinus && pendingKey == KeyNone) {
        pendingKey = code;
        frameWanted = true;
    }
}

// The seam between a host (window, scenario runner, tests) and the instrument's core: power, one
// main-loop pass per call, keys, host switches and the host's clock. The core reads nothing else.
#pragma once
#include <cstdint>

// Where the instrument is in its power cycle. The two notices are passes of their own.
enum class DevicePhase : uint8_t { Off, SplashNotice, ExpiryNotice, Running };

// Passes each notice lasts unless a key ends it; at 1000 passes a second, 2.5 s.
constexpr uint16_t NOTICE_PASSES = 2500;
// The host runs passes at this steady rate.
constexpr int PASSES_PER_SECOND = 1000;
// The host tick's period.
constexpr int HOST_TICK_MS = 100;

// What the instrument reads of the host's input panel by itself: the four check boxes, once at
// the start of every pass, and the OAT and RPM bars' positions, at every power-on.
struct HostControls {
    bool coAlarm = false;       // "Alarm"
    bool coUnitOk = false;      // "Unit OK"
    bool zedaOn = true;         // "ZEDA On/Off"
    bool sdCardMounted = true;  // "SD Card Mounted"
    uint16_t oatBar = 0;        // "OAT:"
    uint16_t rpmBar = 31000;    // "RPM:"
};
extern HostControls hostControls;

extern uint8_t powerOffRequest;
extern uint8_t sdCardPresent;
extern uint8_t remoteUnitOn;
extern uint8_t coUnitFault;
extern uint16_t variationStepCount;
extern uint32_t instrumentSerialNumber;

extern DevicePhase devicePhase;
extern uint16_t noticePassCount;

// "&On": begins the power-on sequence (ignored unless the instrument is off). The notices and
// the main loop then run one pass per devicePass call.
void devicePowerOn();
// "&Off", "&Exit", closing the window: the loop ends before its next pass.
void devicePowerOff();

// Whether anyone will look at the frame a pass leaves. Every pass runs all of its logic (keys,
// values, alarms, timers, recording, screen changes); an unseen pass writes no pixel, so the
// Framebuffer keeps the frame of the last seen pass. A host marks as seen the pass before each
// look at the display: a present, a screenshot, an "expect screen", a GIF frame, a power-off.
enum class PassView : uint8_t { Unseen, Seen };
// Debug switch: every pass draws, seen or not (the frames seen are the same either way).
extern bool deviceDrawEveryPass;
// True from a stored key or a power-on until the next seen pass: the host draws the next pass
// and shows it at once instead of at its next frame.
bool deviceFrameWanted();

// Runs one pass of whatever the instrument is doing. Returns false, running nothing, when the
// instrument is off (or has just finished its last pass after a power-off request).
bool devicePass(PassView view = PassView::Seen);
bool deviceIsOn();

// The instrument as a freshly started program, switched off: every device variable at its initial
// value, the host's controls at their defaults, the settings at the factory values.
void resetDevice();
// While off: the values the instrument works out as it runs (engine values, their filters and
// alarms, fuel, the GPS receiver and values, the phase of the blink and the one-second step) as a
// freshly started program has them; the settings, the memory values, the calibration's current
// zero, the screens and the inputs are kept. A recording starts from here, as the runner does.
void resetWorkingValues();

// The front panel's "ALARM" lamp: lit while an announced alarm waits for ACK, whatever screen the
// display shows; dark while the instrument is off or starting.
bool deviceAlarmLampLit();

// A key click: stored only if no key is pending; a key pressed while another waits is lost.
void devicePressKey(uint8_t code);

// Runs the instrument's main-loop passes at a steady rate of real time, between window events,
// and the 100 ms host tick.
#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

#include "device.h"

class PassDriver : public QObject {
    Q_OBJECT
public:
    explicit PassDriver(QObject* parent = nullptr);

    // "&On": starts the power-on sequence and the passes (a second "&On" while on is ignored).
    void powerOn();
    // "&Off": the instrument stops after the pass in hand.
    void powerOff();
    // "&Off" carried through at once: passes run until the instrument has stopped (a power-on
    // notice ends on a key instead of its time), then stopped() as after the last timed pass.
    void finishPowerOff();
    // Runs the passes due by now at once (after a key, so that it is handled and shown without
    // waiting for the next batch). Nothing in lockstep or while off.
    void catchUp();
    bool running() const { return passTimer.isActive() || (lockstepTimer.isActive() && deviceOn()); }
    uint64_t passesRun() const { return passCount; }

    // Lockstep: time goes by in simulated milliseconds as corvex-ems-run counts it (one pass a
    // ms while on, the host tick every 100 ms, the PC clock from clockUtc on), paced by real time.
    // Scenarios are recorded and played in it, so a replay sees exactly the same passes.
    void startLockstep(uint32_t clockUtc);
    void stopLockstep();
    bool inLockstep() const { return lockstepTimer.isActive(); }
    uint64_t lockstepMs() const { return simulatedMs; }
    // Runs action between passes once the lockstep time reaches atMs (one pending at a time).
    void atLockstepMs(uint64_t atMs, std::function<void()> action);

    // Which passes draw: the last of a batch when the display's next frame is due (at most the
    // screen's refresh rate), or at once after a key or power-on; with every set (a GIF being
    // recorded), the last of every batch. Lockstep draws the last pass of every batch and the
    // pass before a scenario's action, so a recording's last frame is the runner's.
    void setFrameEveryBatch(bool every) { frameEveryBatch = every; }
    uint64_t passesDrawn() const { return drawnCount; }

signals:
    // After each batch of passes; the lamps and the memory follow it.
    void passesDone();
    // After a batch whose last pass was drawn: the Framebuffer holds a new frame to show.
    void frameDrawn();
    // The instrument has finished its last pass after a power-off request.
    void stopped();

private:
    void runDuePasses();
    bool frameDue() const;
    bool pass(PassView view);
    void runLockstep();
    static bool deviceOn();

    QTimer passTimer;
    QTimer tickTimer;
    QElapsedTimer clock;
    QElapsedTimer sinceStart;  // time base of the trend samples
    uint64_t passCount = 0;      // passes run since the program started
    uint64_t passesStarted = 0;  // passes run in this power cycle
    QTimer lockstepTimer;
    QElapsedTimer lockstepClock;
    uint64_t simulatedMs = 0;
    uint64_t lockstepLagMs = 0;  // real time skipped after stalls
    uint32_t lockstepClockUtc = 0;
    bool lockstepPassing = false;  // the last lockstep pass ran (for stopped())
    uint64_t breakMs = 0;
    std::function<void()> breakAction;
    QElapsedTimer sinceDrawn;  // real time since the last drawn pass
    int frameIntervalMs = 16;  // the screen's refresh period
    bool frameEveryBatch = false;
    uint64_t drawnCount = 0;
};

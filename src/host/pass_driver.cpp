// A precise short timer lets passes catch up with real time in small batches; window events are
// handled between batches, never in the middle of a pass.
#include "host/pass_driver.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "device.h"
#include "host/memory_store.h"
#include "trends/trend_buffer.h"
#include "time/clock.h"
#include "ui/screen.h"

namespace {

// Passes run in batches, one for each frame the screen shows (about 16 at the steady rate), so
// the window thread wakes only at the screen's rate; a key runs the passes due at once. Lockstep
// runs four at a time, as scenarios are recorded and played in it.
constexpr int kPassTimerMs = 4;
// After a stall (a modal dialog, a debugger), passes do not race to catch up.
constexpr uint64_t kMaxPassesPerBatch = 50;

uint32_t pcClockUtcSeconds()
{
    return static_cast<uint32_t>(QDateTime::currentSecsSinceEpoch());
}

}  // namespace

PassDriver::PassDriver(QObject* parent) : QObject(parent)
{
    passTimer.setTimerType(Qt::PreciseTimer);
    passTimer.setInterval(kPassTimerMs);
    connect(&passTimer, &QTimer::timeout, this, &PassDriver::runDuePasses);
    tickTimer.setTimerType(Qt::PreciseTimer);
    tickTimer.setInterval(HOST_TICK_MS);
    connect(&tickTimer, &QTimer::timeout, this, [this] {
        hostTick();
        sampleTrendsAfterTick(static_cast<double>(sinceStart.elapsed()) / 1000.0);
    });
    sinceStart.start();
    tickTimer.start();
    lockstepTimer.setTimerType(Qt::PreciseTimer);
    lockstepTimer.setInterval(kPassTimerMs);
    connect(&lockstepTimer, &QTimer::timeout, this, &PassDriver::runLockstep);
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->refreshRate() >= 1)
        frameIntervalMs = std::max(1, static_cast<int>(1000 / screen->refreshRate()));
    passTimer.setInterval(frameIntervalMs);
    sinceDrawn.start();
}

void PassDriver::catchUp()
{
    if (passTimer.isActive()) runDuePasses();
}

bool PassDriver::frameDue() const
{
    // A timer may fire a little early: a frame within 2 ms of its time is due.
    return frameEveryBatch || deviceFrameWanted() || sinceDrawn.elapsed() + 2 >= frameIntervalMs;
}

bool PassDriver::pass(PassView view)
{
    const bool drawn = view == PassView::Seen || deviceDrawEveryPass;
    const bool ran = devicePass(view);
    if (ran && drawn) {
        ++drawnCount;
        sinceDrawn.restart();
    }
    return ran;
}

bool PassDriver::deviceOn() { return deviceIsOn(); }

void PassDriver::powerOn()
{
    if (deviceIsOn()) return;
    if (inLockstep()) {
        hostUtcSeconds = lockstepClockUtc + static_cast<uint32_t>(simulatedMs / 1000);
        devicePowerOn();
        lockstepPassing = true;
        return;
    }
    hostUtcSeconds = pcClockUtcSeconds();
    devicePowerOn();
    passesStarted = 0;
    clock.start();
    passTimer.start();
}

void PassDriver::powerOff() { devicePowerOff(); }

void PassDriver::finishPowerOff()
{
    if (!deviceIsOn()) return;
    devicePowerOff();
    // A notice ignores the request until it ends; each key ends one. At most the two notices,
    // then the pass that stops.
    for (;;) {
        if (devicePhase != DevicePhase::Running) devicePressKey(KeySoft1);
        if (!devicePass()) break;
        ++passCount;
    }
    passTimer.stop();
    lockstepPassing = false;
    saveMemoryStore();
    emit passesDone();
    emit stopped();
}

void PassDriver::runDuePasses()
{
    const uint64_t due = static_cast<uint64_t>(clock.elapsed()) * PASSES_PER_SECOND / 1000;
    if (due <= passesStarted) return;
    uint64_t batch = due - passesStarted;
    if (batch > kMaxPassesPerBatch) {
        passesStarted = due - kMaxPassesPerBatch;
        batch = kMaxPassesPerBatch;
    }
    hostUtcSeconds = pcClockUtcSeconds();
    const bool show = frameDue();
    for (uint64_t i = 0; i < batch; ++i) {
        ++passesStarted;
        if (!pass(show && i + 1 == batch ? PassView::Seen : PassView::Unseen)) {
            passTimer.stop();
            saveMemoryStore();
            emit passesDone();
            emit stopped();
            return;
        }
        ++passCount;
    }
    saveMemoryStoreIfChanged();
    emit passesDone();
    if (show) emit frameDrawn();
}

void PassDriver::startLockstep(uint32_t clockUtc)
{
    passTimer.stop();
    tickTimer.stop();
    simulatedMs = 0;
    lockstepLagMs = 0;
    lockstepClockUtc = clockUtc;
    hostUtcSeconds = clockUtc;
    lockstepPassing = deviceIsOn();
    breakAction = nullptr;
    lockstepClock.start();
    lockstepTimer.start();
}

void PassDriver::stopLockstep()
{
    if (!inLockstep()) return;
    lockstepTimer.stop();
    breakAction = nullptr;
    tickTimer.start();
    if (deviceIsOn()) {
        passesStarted = 0;
        clock.start();
        passTimer.start();
    }
}

void PassDriver::atLockstepMs(uint64_t atMs, std::function<void()> action)
{
    breakMs = atMs;
    breakAction = std::move(action);
}

// The runner's order for each millisecond: the pending action, the pass, then the tick.
void PassDriver::runLockstep()
{
    const uint64_t due = static_cast<uint64_t>(lockstepClock.elapsed()) - lockstepLagMs;
    uint64_t steps = 0;
    while (simulatedMs < due && steps++ < kMaxPassesPerBatch && inLockstep()) {
        if (breakAction && simulatedMs >= breakMs) {
            auto action = std::move(breakAction);
            breakAction = nullptr;
            action();
            if (!inLockstep()) break;
            continue;
        }
        ++simulatedMs;
        hostUtcSeconds = lockstepClockUtc + static_cast<uint32_t>(simulatedMs / 1000);
        const bool last = simulatedMs >= due || steps >= kMaxPassesPerBatch || (breakAction && simulatedMs >= breakMs);
        if (pass(last ? PassView::Seen : PassView::Unseen)) {
            ++passCount;
            lockstepPassing = true;
        } else if (lockstepPassing) {
            lockstepPassing = false;
            saveMemoryStore();
            emit stopped();
        }
        if (simulatedMs % HOST_TICK_MS == 0) hostTick();
    }
    // Simulated time does not race after a stall: it resumes from where it stopped.
    if (due > simulatedMs + kMaxPassesPerBatch) lockstepLagMs += due - simulatedMs - kMaxPassesPerBatch;
    saveMemoryStoreIfChanged();
    emit passesDone();
    emit frameDrawn();
}

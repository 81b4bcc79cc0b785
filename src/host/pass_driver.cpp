// A precise short timer lets passes catch up with real time in small batches; window events are
// handled between batches, never in the middle of a pass.
#include "host/pass_driver.h"

#include <QDateTime>

#include "device.h"
#include "host/memory_store.h"
#include "trends/trend_buffer.h"
#include "time/clock.h"

namespace {

// Passes run in small batches: four at a time at the steady rate keeps keys and scroll bars
// within 4 ms of the instrument while waking the window thread only 250 times a second.
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
    for (uint64_t i = 0; i < batch; ++i) {
        ++passesStarted;
        if (!devicePass()) {
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
        if (devicePass()) {
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
}

// Runs the instrument's main-loop passes at a steady rate of real time, between window events,
// and the 100 ms host tick.
#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class PassDriver : public QObject {
    Q_OBJECT
public:
    explicit PassDriver(QObject* parent = nullptr);

    // "&On": starts the power-on sequence and the passes (a second "&On" while on is ignored).
    void powerOn();
    // "&Off": the instrument stops after the pass in hand.
    void powerOff();
    bool running() const { return passTimer.isActive(); }
    uint64_t passesRun() const { return passCount; }

signals:
    // After each batch of passes; the display uses it to present a changed frame.
    void passesDone();
    // The instrument has finished its last pass after a power-off request.
    void stopped();

private:
    void runDuePasses();

    QTimer passTimer;
    QTimer tickTimer;
    QElapsedTimer clock;
    QElapsedTimer sinceStart;  // time base of the trend samples
    uint64_t passCount = 0;      // passes run since the program started
    uint64_t passesStarted = 0;  // passes run in this power cycle
};

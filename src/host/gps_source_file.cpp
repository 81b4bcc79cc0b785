// The GPS link's file source: a recorded log played at its pace, an epoch's sentences spread over
// its time.
#include <QTimer>

#include <algorithm>

#include "host/gps_reader.h"

void FileSource::play(std::vector<NmeaEpoch>&& log, int msPerEpoch)
{
    reader.closeSources();
    epochs = std::move(log);
    epochMs = std::max(msPerEpoch, 1);
    epochIndex = 0;
    sentenceIndex = 0;
    if (!timer) {
        timer = new QTimer(&reader);
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, &reader, [this] { playDue(); });
    }
    session = reader.startStream(GpsLink::State::Playing);
    clock.start();
    playDue();
}

void FileSource::close()
{
    if (timer) timer->stop();
    epochs.clear();
}

void FileSource::release()
{
    close();
    delete timer;
    timer = nullptr;
}

qint64 FileSource::dueTime(size_t epoch, size_t sentence) const
{
    // The sentences of an epoch are spread over its time, as a receiver sends them one after the
    // other, so the main loop takes each one (a sentence type still parked is dropped).
    const qint64 size = static_cast<qint64>(epochs[epoch].size());
    return static_cast<qint64>(epoch) * epochMs + static_cast<qint64>(sentence) * epochMs / size;
}

void FileSource::playDue()
{
    const qint64 now = clock.elapsed();
    while (epochIndex < epochs.size() && dueTime(epochIndex, sentenceIndex) <= now) {
        const std::string& text = epochs[epochIndex][sentenceIndex];
        reader.feed(text.data(), text.size());
        if (++sentenceIndex == epochs[epochIndex].size()) {
            ++epochIndex;
            sentenceIndex = 0;
        }
    }
    reader.publish();
    if (epochIndex < epochs.size()) {
        timer->start(static_cast<int>(dueTime(epochIndex, sentenceIndex) - now));
        return;
    }
    epochs.clear();
    reader.reportEnded(session, "end of the recorded log");
}

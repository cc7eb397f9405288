#include "sound/SinkOutput.h"

#include "base/Logging.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>

SinkOutput::SinkOutput(const QAudioDevice &device, const QAudioFormat &format, const QString &name)
    : sink(std::make_unique<QAudioSink>(device, format, this)), member(name)
{
    connect(sink.get(), &QAudioSink::stateChanged, this, &SinkOutput::forwardState);
    stopLater.setSingleShot(true);
    connect(&stopLater, &QTimer::timeout, sink.get(), &QAudioSink::stop);
}

void SinkOutput::forwardState(QAudio::State state)
{
    // Stopped with an error: the audio server went away, and this sink will not play again.
    if (state == QAudio::StoppedState && sink->error() != QAudio::NoError) {
        qCDebug(lcSound).noquote() << "lost" << member << sink->error();
        emit failed();
        return;
    }
    // The sink also goes idle when it was not fed in time (a busy or stopped process) while its
    // device still holds data. Only idle at the end of the data means the sound ran out: passing
    // an underrun on restarted the menu music at start-up. A pull-mode sink that went idle on an
    // empty read no longer asks for data until its device announces some: announce it, or the
    // sound stays silent until its next start.
    if (state == QAudio::IdleState && source && !source->atEnd()) {
        emit fade.readyRead();
        return;
    }
    emit stateChanged(state);
}

SinkOutput::~SinkOutput()
{
    sink->stop();
}

void SinkOutput::applyVolume()
{
    sink->setVolume(volume());
    // The volume reaches only what is written from now on: a muted channel is also paused, so
    // that what the audio server already holds is not heard either; unmuting plays it on.
    const QAudio::State state = sink->state();
    if (volume() == 0 && (state == QAudio::ActiveState || state == QAudio::IdleState))
        sink->suspend();
    else if (volume() > 0 && state == QAudio::SuspendedState)
        sink->resume();
}

void SinkOutput::start(QIODevice *device)
{
    qCDebug(lcSound).noquote() << "play" << member;
    source = device;
    stopLater.stop();
    if (sink->state() != QAudio::StoppedState)
        sink->stop();
    fade.start(device, sink->format(), gain(), fadeMilliseconds(), EndSilenceMilliseconds,
               leadMilliseconds());
    sink->setVolume(volume());
    // Left alone, a restarted sink asks the server for the buffer it was granted the time before
    // and is granted less: after a dozen starts an effect has a few milliseconds of buffer and
    // underruns before it is heard. 0 asks for the backend's own size at every start.
    sink->setBufferSize(0);
    sink->start(&fade);
    // Started while muted: held like the others until unmuted.
    if (volume() == 0)
        sink->suspend();
}

int SinkOutput::heldMilliseconds() const
{
    const QAudio::State state = sink->state();
    if (state != QAudio::ActiveState && state != QAudio::IdleState)
        return 0;
    return int(sink->format().durationForBytes(sink->bufferSize() - sink->bytesFree()) / 1000);
}

void SinkOutput::stop()
{
    qCDebug(lcSound).noquote() << "stop" << member;
    source = nullptr;
    fade.fadeOut();
    if (sink->state() != QAudio::ActiveState) {
        stopLater.stop();
        sink->stop();
        return;
    }
    // The sink's buffer is heard before the fade: stop after both, with time to spare.
    const qint64 held = sink->format().durationForBytes(sink->bufferSize()) / 1000;
    stopLater.start(int(qBound(qint64(0), held, qint64(2000))) + 2 * fadeMilliseconds() + 100);
}

#include "sound/WaveFile.h"

#include "sound/ArrivingDevice.h"
#include "sound/AudioOutput.h"
#include "sound/AudioOutputFactory.h"
#include "sound/LoopDevice.h"
#include "sound/SoundBytes.h"
#include "sound/WavData.h"

#include <QAudioFormat>
#include <QBuffer>
#include <QTimer>

WaveFile::WaveFile(const std::vector<unsigned char> &bytes)
    : data(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()))
{
    findSamples();
}

WaveFile::WaveFile(std::vector<unsigned char> &&bytes) : storage(std::move(bytes))
{
    if (!storage.empty())
        data = QByteArray::fromRawData(reinterpret_cast<const char *>(storage.data()),
                                       qsizetype(storage.size()));
    findSamples();
}

WaveFile::WaveFile(std::shared_ptr<const SoundBytes> bytes) : arriving(std::move(bytes))
{
    // Where the samples start is in the header: what has arrived is looked at first, then a
    // longer front is waited for, and a header that does not fit waits for the whole sound.
    const char *block = reinterpret_cast<const char *>(arriving->data());
    for (const std::size_t want : {std::size_t(0), std::size_t(4096), std::size_t(65536)}) {
        const std::size_t front = want > 0 ? arriving->waitFor(want) : arriving->size();
        if (arriving->isFinished())
            break;
        qsizetype offset = 0, length = 0;
        if (WavData::findSamples(QByteArray::fromRawData(block, qsizetype(front)), &offset,
                                 &length)) {
            // The same chunks lead to the data chunk in the whole block, whose end is known.
            data = QByteArray::fromRawData(block, qsizetype(arriving->capacity()));
            findSamples();
            return;
        }
    }
    arriving->waitFor(arriving->capacity());
    takeArrived();
}

void WaveFile::takeArrived()
{
    const std::size_t n = arriving->size();
    data = n > 0 ? QByteArray::fromRawData(reinterpret_cast<const char *>(arriving->data()),
                                           qsizetype(n))
                 : QByteArray();
    findSamples();
}

void WaveFile::findSamples()
{
    // A RIFF header played as samples clicks at every start; only the data chunk is heard.
    if (!WavData::findSamples(data, &sampleOffset, &sampleLength)) {
        sampleOffset = 0;
        sampleLength = data.size();
    }
    // Whole frames only, so that a looping track never slips out of step at its wrap.
    if (frameBytes > 0)
        sampleLength -= sampleLength % frameBytes;
}

void WaveFile::settle()
{
    if (!arriving || settled || !arriving->isFinished())
        return;
    settled = true;
    if (arriving->isWhole())
        return;
    // The devices read the old extent: they are made again at the next play.
    stop();
    dropDevices();
    takeArrived();
}

void WaveFile::dropDevices()
{
    gate.reset();
    buffer.reset();
    loopDevice.reset();
}

WaveFile::~WaveFile()
{
    // The sink must go before the device it reads from: the other order crashes inside the sink.
    output.reset();
}

QByteArray WaveFile::samples() const
{
    return QByteArray::fromRawData(data.constData() + sampleOffset, sampleLength);
}

void WaveFile::createOutput(const QAudioFormat &audioFormat, AudioOutputFactory &outputs,
                            const QString &name, double level, int fade)
{
    if (output || factory)
        return;
    // Whole frames only, so that a looping track never slips out of step at its wrap.
    frameBytes = audioFormat.bytesPerFrame();
    if (frameBytes > 0)
        sampleLength -= sampleLength % frameBytes;
    factory = &outputs;
    format = audioFormat;
    member = name;
    gain = level;
    fadeMs = fade;
    makeOutput();
}

void WaveFile::setVolume(double value)
{
    volume = value;
    if (output)
        output->setVolume(value);
}

void WaveFile::makeOutput()
{
    if (output) {
        // It may be the sender of the signal being handled: it goes from the event loop.
        output->disconnect(this);
        output.release()->deleteLater();
    }
    broken = false;
    playing = false;
    output = factory->createOutput(format, member);
    if (!output)
        return;
    output->setGain(gain);
    output->setFadeMilliseconds(fadeMs);
    output->setLeadMilliseconds(leadMs);
    output->setVolume(volume);
    connect(output.get(), &AudioOutput::stateChanged, this, &WaveFile::finishedPlaying);
    connect(output.get(), &AudioOutput::failed, this, &WaveFile::lost);
}

void WaveFile::lost()
{
    // Made anew only at a play: the server may still be away, and nothing here may wait for it.
    broken = true;
    if (!playing || !loop)
        return;
    // Music plays on by itself once the server is back, trying again now and then meanwhile.
    if (!retry) {
        retry = std::make_unique<QTimer>();
        retry->setSingleShot(true);
        connect(retry.get(), &QTimer::timeout, this, [this] {
            if (playing && broken)
                play();
        });
    }
    retry->start(RetryMilliseconds);
}

void WaveFile::setLead(int milliseconds)
{
    leadMs = milliseconds;
    if (output)
        output->setLeadMilliseconds(milliseconds);
}

int WaveFile::heldMilliseconds() const
{
    return output ? output->heldMilliseconds() : 0;
}

void WaveFile::setLoop(bool value)
{
    // Takes effect at the next play(): a sound already playing keeps its device.
    loop = value;
}

QIODevice *WaveFile::device() const
{
    return loop ? static_cast<QIODevice *>(loopDevice.get())
                : static_cast<QIODevice *>(buffer.get());
}

void WaveFile::play()
{
    // An empty sound has nothing to be heard: the channel is not even started.
    if (!factory || sampleLength == 0)
        return;
    if (broken || !output)
        makeOutput();
    if (!output) {
        // No audio device yet: a loop tries again, as if its channel had been lost.
        playing = loop;
        lost();
        return;
    }
    if (!buffer)
        buffer = std::make_unique<QBuffer>();
    if (!loopDevice)
        loopDevice = std::make_unique<LoopDevice>(samples());
    if (!buffer->isOpen() && buffer->buffer().isEmpty())
        buffer->setData(samples());
    // A sink does not resume when only its device is rewound: stop, rewind, start.
    if (playing)
        output->stop();
    QIODevice *source = device();
    source->close();
    const bool still = arriving && !arriving->isWhole();
    // Unbuffered while still decoding, so that nothing reads ahead past what has arrived.
    source->open(still ? QIODevice::ReadOnly | QIODevice::Unbuffered : QIODevice::ReadOnly);
    if (still) {
        // Reads wait for their bytes. The channel no longer holds the old gate.
        gate = std::make_unique<ArrivingDevice>(source, arriving, sampleOffset, sampleLength);
        gate->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        source = gate.get();
    }
    playing = true;
    output->start(source);
}

void WaveFile::stop()
{
    playing = false;
    if (!output)
        return;
    output->stop();
    if (buffer)
        buffer->close();
    if (loopDevice)
        loopDevice->close();
    if (gate)
        gate->close();
}

void WaveFile::finishedPlaying(QAudio::State state)
{
    if (state != QAudio::IdleState || !playing)
        return;
    stop();
    if (loop)
        play();
}

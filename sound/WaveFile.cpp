#include "sound/WaveFile.h"

#include "sound/AudioOutput.h"
#include "sound/AudioOutputFactory.h"
#include "sound/LoopDevice.h"
#include "sound/WavData.h"

#include <QAudioFormat>
#include <QBuffer>

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

void WaveFile::findSamples()
{
    // A RIFF header played as samples clicks at every start; only the data chunk is heard.
    if (!WavData::findSamples(data, &sampleOffset, &sampleLength)) {
        sampleOffset = 0;
        sampleLength = data.size();
    }
}

WaveFile::~WaveFile()
{
    // The sink must go before the device it reads from: the other order crashes inside the sink.
    delete output;
    output = nullptr;
    delete buffer;
    buffer = nullptr;
    delete loopDevice;
    loopDevice = nullptr;
}

QByteArray WaveFile::samples() const
{
    return QByteArray::fromRawData(data.constData() + sampleOffset, sampleLength);
}

void WaveFile::createOutput(const QAudioFormat &format, AudioOutputFactory &factory,
                            const QString &member)
{
    if (output)
        return;
    // Whole frames only, so that a looping track never slips out of step at its wrap.
    const int frame = format.bytesPerFrame();
    if (frame > 0)
        sampleLength -= sampleLength % frame;
    output = factory.createOutput(format, member);
    if (output)
        connect(output, &AudioOutput::stateChanged, this, &WaveFile::finishedPlaying);
}

void WaveFile::setLoop(bool value)
{
    // Takes effect at the next play(): a sound already playing keeps its device.
    loop = value;
}

QIODevice *WaveFile::device() const
{
    return loop ? static_cast<QIODevice *>(loopDevice) : static_cast<QIODevice *>(buffer);
}

void WaveFile::play()
{
    // An empty sound has nothing to be heard: the channel is not even started.
    if (!output || sampleLength == 0)
        return;
    if (!buffer)
        buffer = new QBuffer();
    if (!loopDevice)
        loopDevice = new LoopDevice(samples());
    if (!buffer->isOpen() && buffer->buffer().isEmpty())
        buffer->setData(samples());
    // A sink does not resume when only its device is rewound: stop, rewind, start.
    if (playing)
        output->stop();
    QIODevice *source = device();
    source->close();
    source->open(QIODevice::ReadOnly);
    playing = true;
    output->start(source);
}

void WaveFile::stop()
{
    if (!output)
        return;
    playing = false;
    output->stop();
    if (buffer)
        buffer->close();
    if (loopDevice)
        loopDevice->close();
}

void WaveFile::finishedPlaying(QAudio::State state)
{
    if (state != QAudio::IdleState || !playing)
        return;
    stop();
    if (loop)
        play();
}

#pragma once
// A read-only pass-through over a sound's device while the sound is still decoding: a read
// waits until the bytes it would hand out have arrived, so a channel started on the front of
// the menu music never plays bytes that are not there yet. Once the whole sound has arrived it
// only passes reads on.
#include <QIODevice>
#include <memory>

class SoundBytes;

class ArrivingDevice : public QIODevice
{
    Q_OBJECT
public:
    // source reads the length samples that start offset bytes into bytes; it must be open.
    ArrivingDevice(QIODevice *source, std::shared_ptr<const SoundBytes> bytes, qint64 offset,
                   qint64 length);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    bool open(OpenMode mode) override;

protected:
    qint64 readData(char *out, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice *source;
    std::shared_ptr<const SoundBytes> bytes;
    qint64 offset;
    qint64 length;
    qint64 served = 0;
};

#pragma once
// A read-only device over a block of samples that wraps from its end to its start, so a sink
// pulling from it plays the block over and over with no gap and never runs dry.
#include <QByteArray>
#include <QIODevice>

class LoopDevice : public QIODevice
{
    Q_OBJECT
public:
    explicit LoopDevice(const QByteArray &samples);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    bool open(OpenMode mode) override;
    // How many bytes have been read since the last open.
    qint64 bytesServed() const { return served; }

protected:
    qint64 readData(char *out, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray samples;
    qint64 position = 0;
    qint64 served = 0;
};

#pragma once
// Finds the sample bytes of a RIFF/WAVE file: the payload of its "data" chunk.
#include <QByteArray>

class WavData
{
public:
    // True when bytes is a well-formed WAVE file with a "data" chunk; *offset and *length then
    // give the chunk's payload (cut short to what the file really holds).
    static bool findSamples(const QByteArray &bytes, qsizetype *offset, qsizetype *length);
    // True when bytes is a WAVE file whose "fmt " chunk describes PCM; gives its sample rate,
    // channel count and bits per sample.
    static bool findFormat(const QByteArray &bytes, int *rate, int *channels, int *bits);

private:
    // The payload of the first chunk called id: its offset and length in bytes.
    static bool findChunk(const QByteArray &bytes, const char *id, qsizetype *offset,
                          qsizetype *length);
};

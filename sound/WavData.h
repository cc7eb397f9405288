#pragma once
// Finds the sample bytes of a RIFF/WAVE file: the payload of its "data" chunk.
#include <QByteArray>

class WavData
{
public:
    // True when bytes is a well-formed WAVE file with a "data" chunk; *offset and *length then
    // give the chunk's payload (cut short to what the file really holds).
    static bool findSamples(const QByteArray &bytes, qsizetype *offset, qsizetype *length);
};

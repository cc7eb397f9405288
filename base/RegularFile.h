#pragma once
// Reading a file the player may have replaced by anything: only a regular file is read, and
// opening never waits (a FIFO or a device is refused at once).
#include <QByteArray>
#include <QString>

class QFile;

class RegularFile
{
public:
    // Opens the regular file at path read-only into file; false for anything else.
    static bool open(const QString &path, QFile *file);
    // Reads at most limit bytes of the regular file at path into data; false for anything that
    // is not a readable regular file.
    static bool read(const QString &path, qint64 limit, QByteArray *data);
};

#include "TestFiles.h"

#include "base/ArchiveWords.h"
#include "sound/Archive.h"
#include "sound/ArchiveBuffer.h"
#include "sound/AudioSet.h"

#include <QFile>
#include <QtTest>

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

bool writeSilentArchive(const QString &path, std::initializer_list<const char *> names)
{
    if (!Archive::keyCipher(AudioSet::ArchiveKey))
        return false;
    Archive archive;
    const std::vector<unsigned char> bytes(4096, 0);
    for (const char *name : names) {
        ArchiveBuffer buffer;
        buffer.loadBytes(bytes.data(), bytes.size());
        buffer.setEntryName(name);
        archive.addEntry(buffer);
    }
    const ArchiveWords words = ArchiveWords::draw();
    return archive.write(path.toStdString(), 0, words.a, words.b);
}

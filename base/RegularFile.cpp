#include "base/RegularFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool RegularFile::open(const QString &path, QFile *file)
{
    // Without O_NONBLOCK opening a FIFO waits for a writer that never comes.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

bool RegularFile::read(const QString &path, qint64 limit, QByteArray *data)
{
    QFile file;
    if (!open(path, &file))
        return false;
    *data = file.read(limit);
    return file.error() == QFileDevice::NoError;
}

#include "app/ScoreFile.h"

#include "base/Logging.h"
#include "base/Notice.h"
#include "base/RegularFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The file a save replaces. A symbolic link is followed only while every link on the way and
// the file at its end belong to the user running the game, as the kernel's protected links
// allow; a link into someone else's file, or anything but a regular file, is refused.
bool saveTarget(const QString &path, QString *target, struct stat *st)
{
    QString at = path;
    for (int hops = 0; hops < 8; ++hops) {
        if (::lstat(QFile::encodeName(at).constData(), st) != 0) {
            *target = at;
            st->st_mode = 0;
            // A missing file is made; a dangling link is not followed.
            return errno == ENOENT && hops == 0;
        }
        if (!S_ISLNK(st->st_mode)) {
            *target = at;
            return S_ISREG(st->st_mode) && (hops == 0 || st->st_uid == ::geteuid());
        }
        if (st->st_uid != ::geteuid())
            return false;
        at = QFileInfo(at).symLinkTarget();
    }
    return false;
}

// The new file takes the old one's permission bits (none at all included). Written in place,
// the file already has them.
bool keepMode(int fd, mode_t old)
{
    struct stat now;
    return old == 0 || (::fstat(fd, &now) == 0 && (now.st_mode & 0777) == (old & 0777)) ||
           ::fchmod(fd, old & 0777) == 0;
}
} // namespace

ScoreFile::ScoreFile(const QString &path) : filePath(path) {}

void ScoreFile::load(int *table) const
{
    removeLeftovers();
    if (!QFileInfo::exists(filePath))
        write(table);
    read(table);
}

void ScoreFile::removeLeftovers() const
{
    // A save killed between linking its temporary file and renaming it leaves "NAME.XXXXXX".
    const QFileInfo info(filePath);
    const QRegularExpression ours(QStringLiteral("^") +
                                  QRegularExpression::escape(info.fileName()) +
                                  QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    const QDir dir = info.dir();
    const QStringList names = dir.entryList({info.fileName() + QStringLiteral(".??????")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        struct stat st;
        const QString path = dir.filePath(name);
        if (ours.match(name).hasMatch() && ::lstat(QFile::encodeName(path).constData(), &st) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            QFile::remove(path);
    }
}

QString ScoreFile::format(const int *table)
{
    QString text = QStringLiteral("Tovira Game") + QStringLiteral("\n");
    for (int n = 1; n <= Count; ++n) {
        text += QStringLiteral("game") + QString::number(n) + QStringLiteral("=") +
                QString::number(table[n - 1]) + QStringLiteral("\n");
    }
    return text;
}

bool ScoreFile::write(const int *table) const
{
    // Written beside the old file and renamed over it, so a crash mid-write leaves the old
    // file or the new one, never a truncated one. The write is unbuffered and synced before the
    // rename: a buffered stream's failure (a full disk) would go unseen and the rename would
    // put an empty file in place of the scores.
    QString target;
    struct stat st;
    if (!saveTarget(filePath, &target, &st)) {
        qDebug() << "configWriteError";
        qCDebug(lcScores) << "no file to write at" << filePath;
        return false;
    }
    QSaveFile file(target);
    // A writable file in a folder the player cannot write is rewritten in place.
    file.setDirectWriteFallback(true);
    const QByteArray text = format(table).toUtf8();
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered) &&
        file.write(text) == text.size() && file.error() == QFileDevice::NoError &&
        keepMode(file.handle(), st.st_mode) && ::fsync(file.handle()) == 0 && file.commit();
    if (!written) {
        file.cancelWriting();
        qDebug() << "configWriteError";
        qCDebug(lcScores) << "writing" << target << "failed:" << file.errorString();
    }
    return written;
}

static void parseDevice(QIODevice &in, int *table)
{
    // The header is taken up to the first zero byte, as a C string would be.
    QByteArray first = in.readLine();
    const int nul = first.indexOf('\0');
    if (nul >= 0)
        first.truncate(nul);
    if (!QString::fromUtf8(first).contains(QStringLiteral("Tovira Game")))
        return;

    static const QRegularExpression key(QStringLiteral("^game[\\d]+="));
    static const QRegularExpression lineEnd(QStringLiteral("\\n$"));
    int slot = 0;
    while (!in.atEnd()) {
        QString line = QString::fromUtf8(in.readLine());
        line.remove(key);
        line.remove(lineEnd);
        bool ok = false;
        const int value = line.toInt(&ok, 10);
        if (ok && slot <= ScoreFile::Count - 1)
            table[slot++] = value;
    }
}

void ScoreFile::parse(const QByteArray &text, int *table)
{
    // Only the first MaxBytes count, and a line cut there is dropped rather than read short.
    QByteArray copy = text.left(MaxBytes);
    if (text.size() > MaxBytes)
        copy.truncate(copy.lastIndexOf('\n') + 1);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    parseDevice(buffer, table);
}

void ScoreFile::read(int *table) const
{
    // One byte over the bound tells parse() that the file was cut.
    QByteArray text;
    if (!RegularFile::read(filePath, MaxBytes + 1, &text)) {
        Notice::show(QCoreApplication::translate("Scene", "あああ"),
                     QCoreApplication::translate("Scene", "オープンエラー"));
        return;
    }
    parse(text, table);
}

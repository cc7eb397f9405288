#include "app/ScoreFile.h"

#include "base/Logging.h"
#include "base/Notice.h"
#include "base/RegularFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// Paths stay bytes from here on, exactly as the system gives them: a folder whose name is not
// valid UTF-8 would not survive a round trip through QString. A relative path stays relative.
namespace
{
QByteArray folderOf(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    return slash < 0    ? QByteArrayLiteral(".")
           : slash == 0 ? QByteArrayLiteral("/")
                        : path.left(slash);
}

QByteArray baseName(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// Two copies of the game in one folder take turns at the file: each save reads, merges and
// replaces it under an advisory lock on the folder. The kernel drops the lock with its process,
// so a copy that was killed never blocks the other. When the lock cannot be had (a folder that
// cannot be opened, or a copy stuck for seconds) the save goes on without it.
class FolderLock
{
public:
    explicit FolderLock(const QByteArray &folder)
        : fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        for (int tries = 0; fd >= 0 && tries < 200; ++tries) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
                return;
            if (errno != EWOULDBLOCK && errno != EINTR)
                break;
            QThread::msleep(10);
        }
        qCWarning(lcScores) << "saving without the folder lock";
    }
    ~FolderLock()
    {
        if (fd >= 0)
            ::close(fd);
    }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    int fd;
};

// The file a save replaces. A symbolic link is followed only while every link on the way and
// the file at its end belong to the user running the game, as the kernel's protected links
// allow; a link into someone else's file, or anything but a regular file, is refused.
bool saveTarget(const QByteArray &path, QByteArray *target, struct stat *st)
{
    QByteArray at = path;
    for (int hops = 0; hops < 8; ++hops) {
        if (::lstat(at.constData(), st) != 0) {
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
        char link[4096];
        const ssize_t n = ::readlink(at.constData(), link, sizeof link);
        if (n <= 0 || n == ssize_t(sizeof link))
            return false;
        const QByteArray to(link, int(n));
        at = to.startsWith('/') ? to : folderOf(at) + '/' + to;
    }
    return false;
}

bool writeAll(int fd, const QByteArray &text)
{
    for (qint64 done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.constData() + done, size_t(text.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The new file takes the old one's permission bits (none at all included); a new file gets the
// usual ones the umask leaves. The write is synced before the rename: a failure the disk
// reports late (a full disk) must fail the save, not put an empty file in place of the scores.
bool fill(int fd, const QByteArray &text, mode_t old)
{
    return writeAll(fd, text) && (old == 0 || ::fchmod(fd, old & 0777) == 0) && ::fsync(fd) == 0;
}

// Saves write "NAME.saving-XXXXXX" beside the file and rename it over the file; nothing else
// that starts with the file's name is ever the game's.
const char SavingInfix[] = ".saving-";

QByteArray savingName(const QByteArray &target)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name = target + SavingInfix;
    for (int i = 0; i < 6; ++i)
        name += letters[QRandomGenerator::system()->bounded(int(sizeof letters) - 1)];
    return name;
}

// Replaces target with text: written beside it and renamed over it, so a crash mid-write leaves
// the old file or the new one. A writable file in a folder the player cannot write is
// rewritten in place.
bool replaceFile(const QByteArray &target, mode_t old, const QByteArray &text)
{
    QByteArray temp;
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < 16; ++tries) {
        temp = savingName(target);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        if (old == 0 || (errno != EACCES && errno != EPERM && errno != EROFS))
            return false;
        fd = ::open(target.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        const bool written = fd >= 0 && fill(fd, text, 0);
        if (fd >= 0)
            ::close(fd);
        return written;
    }
    const bool written = fill(fd, text, old);
    if (::close(fd) == 0 && written && ::rename(temp.constData(), target.constData()) == 0)
        return true;
    ::unlink(temp.constData());
    return false;
}

// A file the game cannot read is linked (or else copied) to "NAME.unreadable", or the next free
// "NAME.unreadable.N", before a save replaces it, so the player can still recover it by hand.
bool keepAside(const QByteArray &path, const QByteArray &text)
{
    for (int n = 1; n < 100; ++n) {
        QByteArray aside = path + ".unreadable";
        if (n > 1)
            aside += '.' + QByteArray::number(n);
        bool kept = ::linkat(AT_FDCWD, path.constData(), AT_FDCWD, aside.constData(),
                             AT_SYMLINK_FOLLOW) == 0;
        if (!kept && errno == EEXIST)
            continue;
        if (!kept) {
            const int fd = ::open(aside.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd < 0 && errno == EEXIST)
                continue;
            kept = fd >= 0 && fill(fd, text, 0);
            if (fd >= 0)
                ::close(fd);
        }
        if (kept)
            qCWarning(lcScores).noquote()
                << "the score file could not be read; it was kept as" << QFile::decodeName(aside);
        return kept;
    }
    return false;
}
} // namespace

ScoreFile::ScoreFile(const QString &path) : filePath(path) {}

void ScoreFile::load(int *table) const
{
    {
        FolderLock lock(folderOf(QFile::encodeName(filePath)));
        removeLeftovers();
    }
    // A dangling link counts as missing, and the save then refuses it.
    struct stat st;
    if (::stat(QFile::encodeName(filePath).constData(), &st) != 0 && errno == ENOENT)
        write(table);
    read(table);
}

void ScoreFile::removeLeftovers() const
{
    // A save killed between making its file and renaming it leaves "NAME.saving-XXXXXX".
    const QByteArray path = QFile::encodeName(filePath), folder = folderOf(path);
    const QByteArray prefix = baseName(path) + SavingInfix;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        const QByteArray tail = name.mid(prefix.size());
        struct stat st;
        const QByteArray leftover = folder + '/' + name;
        if (name.startsWith(prefix) && tail.size() == 6 &&
            std::all_of(tail.begin(), tail.end(),
                        [](char c) { return isalnum(uchar(c)) && uchar(c) < 128; }) &&
            ::lstat(leftover.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid())
            ::unlink(leftover.constData());
    }
    ::closedir(dir);
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

bool ScoreFile::write(int *table) const
{
    FolderLock lock(folderOf(QFile::encodeName(filePath)));
    QByteArray old;
    if (RegularFile::read(filePath, MaxBytes + 1, &old)) {
        int stored[Count];
        std::copy(table, table + Count, stored);
        const int found = parse(old, stored);
        for (int i = 0; found > 0 && i < Count; ++i)
            table[i] = std::max(table[i], stored[i]);
        // Anything that holds more than a bare header but not the ten values (another encoding,
        // other line ends, a damaged line) may be the only copy of a player's scores.
        const QByteArray bare = old.trimmed();
        const bool unreadable =
            found < Count && !bare.isEmpty() && bare != QByteArrayLiteral("Tovira Game");
        if (unreadable && !keepAside(QFile::encodeName(filePath), old)) {
            qDebug() << "configWriteError";
            qCWarning(lcScores) << "an unreadable score file could not be kept aside; not replaced";
            return false;
        }
    }
    return replace(format(table).toUtf8());
}

bool ScoreFile::replace(const QByteArray &text) const
{
    QByteArray target;
    struct stat st;
    if (!saveTarget(QFile::encodeName(filePath), &target, &st)) {
        qDebug() << "configWriteError";
        qCDebug(lcScores) << "no file to write at" << filePath;
        return false;
    }
    if (!replaceFile(target, st.st_mode, text)) {
        qDebug() << "configWriteError";
        qCDebug(lcScores) << "writing" << QFile::decodeName(target) << "failed:" << strerror(errno);
        return false;
    }
    return true;
}

static int parseDevice(QIODevice &in, int *table)
{
    // The header is taken up to the first zero byte, as a C string would be.
    QByteArray first = in.readLine();
    const int nul = first.indexOf('\0');
    if (nul >= 0)
        first.truncate(nul);
    if (!QString::fromUtf8(first).contains(QStringLiteral("Tovira Game")))
        return -1;

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
    return slot;
}

int ScoreFile::parse(const QByteArray &text, int *table)
{
    // Only the first MaxBytes count, and a line cut there is dropped rather than read short.
    QByteArray copy = text.left(MaxBytes);
    if (text.size() > MaxBytes)
        copy.truncate(copy.lastIndexOf('\n') + 1);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    return parseDevice(buffer, table);
}

void ScoreFile::read(int *table) const
{
    // One byte over the bound tells parse() that the file was cut.
    QByteArray text;
    if (!RegularFile::read(filePath, MaxBytes + 1, &text)) {
        //: The title of the message box telling that the score file cannot be read.
        Notice::show(QCoreApplication::translate("Scene", "あああ"),
                     QCoreApplication::translate("Scene", "オープンエラー"));
        return;
    }
    parse(text, table);
}

// The best-score file: what is read from hand-made files and what is written.
#include "AsOtherUser.h"
#include "app/ScoreFile.h"
#include "base/Notice.h"

#include <QtTest>
#include <array>
#include <functional>

#include <fcntl.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace
{
QVector<int> parsed(const QByteArray &text, int fill = -1)
{
    int table[ScoreFile::Count];
    std::fill(table, table + ScoreFile::Count, fill);
    ScoreFile::parse(text, table);
    return QVector<int>(table, table + ScoreFile::Count);
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

void put(const QString &path, const QByteArray &data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

// Runs body in a child process (its own mount namespace or limits stay there) and returns its
// exit status; a signal counts as 128 + its number.
int inChild(const std::function<int()> &body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool sawWriteError = false;
void watchWriteError(QtMsgType, const QMessageLogContext &, const QString &text)
{
    sawWriteError = sawWriteError || text == QLatin1String("configWriteError");
}

QByteArray fileWith(std::initializer_list<QByteArray> lines, const QByteArray &eol = "\n")
{
    QByteArray out;
    for (const QByteArray &l : lines)
        out += l + eol;
    return out;
}
} // namespace

class TestScoreFile : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    QStringList notices;

private slots:
    void init()
    {
        notices.clear();
        Notice::setHandler([this](const QString &t, const QString &x) { notices << t + "|" + x; });
    }
    void cleanup() { Notice::setHandler(nullptr); }

    // Values fill the table in file order; the number after "game" is not used.
    void valuesFillSlotsInFileOrder()
    {
        QCOMPARE(parsed(fileWith({"Tovira Game", "game1=5", "game2=10", "game3=15", "game4=20",
                                  "game5=25", "game6=30", "game7=35", "game8=40", "game9=45",
                                  "game10=50"})),
                 QVector<int>({5, 10, 15, 20, 25, 30, 35, 40, 45, 50}));
        QCOMPARE(parsed(fileWith({"Tovira Game", "game2=7", "game1=3"})).mid(0, 3),
                 QVector<int>({7, 3, -1}));
    }

    // Malformed lines are skipped without using a slot; bare numbers and negatives count.
    void skippedLinesBareNumbersAndNegatives()
    {
        QCOMPARE(
            parsed(fileWith({"Tovira Game", "game1=1", "game3=abc", "", "42", "game4=-17", "x=9"}))
                .mid(0, 4),
            QVector<int>({1, 42, -17, -1}));
    }

    // The header may carry other text around it; without it the table is untouched.
    void headerRules()
    {
        QCOMPARE(parsed(fileWith({"## Tovira Game v2 ##", "game1=8"})).first(), 8);
        QCOMPARE(parsed(fileWith({"tovira game", "game1=8"})), QVector<int>(10, -1));
        QCOMPARE(parsed(fileWith({"game1=8", "game2=9"})), QVector<int>(10, -1));
        QCOMPARE(parsed(QByteArray()), QVector<int>(10, -1));
    }

    // Lines after the tenth stored value are read and ignored.
    void moreThanTenLines()
    {
        QList<QByteArray> lines{"Tovira Game"};
        for (int i = 1; i <= 14; ++i)
            lines << "game" + QByteArray::number(i) + "=" + QByteArray::number(i * 100);
        QByteArray text;
        for (const auto &l : lines)
            text += l + "\n";
        QCOMPARE(parsed(text), QVector<int>({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}));
    }

    // A file written on Windows (CRLF) reads the same, and so does a last line with no break.
    void crlfAndMissingFinalBreak()
    {
        QCOMPARE(parsed(fileWith({"Tovira Game", "game1=11", "game2=22"}, "\r\n")).mid(0, 2),
                 QVector<int>({11, 22}));
        QCOMPARE(parsed("Tovira Game\ngame1=4\ngame2=6").mid(0, 2), QVector<int>({4, 6}));
    }

    // The written text is the header and ten key lines; it reads back unchanged.
    void writeThenReadRoundTrips()
    {
        const QString path = dir.filePath("round.conf");
        int table[10] = {0, -5, 2147483647, -2147483647 - 1, 4, 5, 6, 7, 8, 9};
        ScoreFile file(path);
        file.write(table);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.startsWith("Tovira Game\ngame1=0\ngame2=-5\ngame3=2147483647\n"));
        QVERIFY(text.endsWith("game10=9\n"));
        QCOMPARE(text.count('\n'), 11);
        int back[10] = {};
        file.read(back);
        QCOMPARE(QVector<int>(back, back + 10), QVector<int>(table, table + 10));
        QVERIFY(notices.isEmpty());
    }

    // A missing file is created with zeros, then read.
    void missingFileIsCreatedWithZeros()
    {
        const QString path = dir.filePath("fresh.conf");
        int table[10] = {};
        ScoreFile(path).load(table);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), ScoreFile::format(table).toUtf8());
        QVERIFY(f.size() > 0);
    }

    // An unreadable file shows the notice once per read and keeps the table.
    void unreadableFileShowsNoticeAndKeepsTable()
    {
        const QString path = dir.filePath("adir");
        QDir().mkpath(path); // a folder cannot be opened as a file
        int table[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        QTest::ignoreMessage(QtDebugMsg, "configWriteError");
        ScoreFile file(path);
        file.write(table);
        file.read(table);
        QCOMPARE(notices, QStringList{"あああ|オープンエラー"});
        QCOMPARE(table[9], 10);
    }

    // Replacing the file never leaves stray temporary files beside it.
    void writeLeavesOnlyTheFile()
    {
        QTemporaryDir own;
        const QString path = own.filePath("tovira.conf");
        int table[10] = {3};
        for (int i = 0; i < 20; ++i) {
            table[1] = i;
            ScoreFile(path).write(table);
        }
        QCOMPARE(QDir(own.path()).entryList(QDir::Files), QStringList{"tovira.conf"});
        int back[10] = {};
        ScoreFile(path).read(back);
        QCOMPARE(back[1], 19);
    }
    // What takes the score file's place. The read never waits and never reads on without end,
    // the write never goes into anything but the player's own regular file, and a rewrite keeps
    // the file's permission bits.
    void hostileFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("rootOnly");
        QTest::addColumn<bool>("written"); // the write succeeds
        QTest::addColumn<bool>("notice");  // the read shows "オープンエラー"
        QTest::addColumn<int>("first");    // table entries 0 and 1 after the read (-1 untouched)
        QTest::addColumn<int>("second");
        QTest::newRow("fifo") << "fifo" << false << false << true << -1 << -1;
        QTest::newRow("link to /dev/zero") << "zero" << false << false << true << -1 << -1;
        QTest::newRow("100 MB, values past 64 KiB") << "huge" << false << true << false << 7 << -1;
        QTest::newRow("header line past 64 KiB")
            << "longHeader" << false << true << false << -1 << -1;
        QTest::newRow("own link to own file") << "ownLink" << false << true << false << 5 << -1;
        QTest::newRow("link to another's file") << "toOther" << true << false << false << -1 << -1;
        QTest::newRow("another's link") << "otherLink" << true << false << false << 5 << -1;
        QTest::newRow("mode 000") << "mode000" << true << true << false << -1 << -1;
        QTest::newRow("folder not writable")
            << "lockedFolder" << false << true << false << -1 << -1;
    }
    void hostileFiles()
    {
        QFETCH(QString, kind);
        QFETCH(bool, rootOnly);
        if (rootOnly && ::geteuid() != 0)
            QSKIP("needs root to hand files to another user");
        QTemporaryDir own;
        const QString folder = own.filePath("f"), path = folder + "/tovira.conf";
        const QString other = own.filePath("other");
        QDir().mkpath(folder);
        const QByteArray precious = "not a score file\n";
        put(other, precious);
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path), 0644), 0);
        } else if (kind == "zero") {
            QVERIFY(QFile::link("/dev/zero", path));
        } else if (kind == "huge") {
            put(path, "Tovira Game\ngame1=7\n");
            QVERIFY(QFile::resize(path, 100 * 1024 * 1024));
            QFile f(path);
            QVERIFY(f.open(QIODevice::Append));
            f.write("\ngame2=8\n");
        } else if (kind == "longHeader") {
            put(path, QByteArray(70000, 'x') + "Tovira Game\ngame1=9\n");
        } else if (kind == "ownLink" || kind == "otherLink") {
            put(other, "Tovira Game\ngame1=5\n");
            QVERIFY(QFile::link(other, path));
            if (kind == "otherLink")
                QCOMPARE(
                    ::lchown(QFile::encodeName(path), AsOtherUser::Nobody, AsOtherUser::Nobody), 0);
        } else if (kind == "toOther") {
            QCOMPARE(::chown(QFile::encodeName(other), AsOtherUser::Nobody, AsOtherUser::Nobody),
                     0);
            QVERIFY(QFile::link(other, path));
        } else if (kind == "mode000") {
            put(path, "Tovira Game\n");
            QCOMPARE(::chmod(QFile::encodeName(path), 0), 0);
        } else if (kind == "lockedFolder") {
            put(path, "Tovira Game\n");
            QCOMPARE(::chmod(QFile::encodeName(path), 0666), 0);
            QCOMPARE(::chmod(QFile::encodeName(folder), 0555), 0);
            QCOMPARE(::chmod(QFile::encodeName(own.path()), 0755), 0);
        }
        struct stat before;
        QCOMPARE(::lstat(QFile::encodeName(path), &before), 0);
        const QByteArray otherBefore = contents(other);

        int back[ScoreFile::Count];
        std::fill(back, back + ScoreFile::Count, -1);
        ScoreFile(path).read(back);
        QTEST(!notices.isEmpty(), "notice");
        QTEST(back[0], "first");
        QTEST(back[1], "second");

        int table[ScoreFile::Count] = {1, 2};
        // A save keeps the larger of each entry in the table and in the file.
        const int merged[ScoreFile::Count] = {qMax(1, back[0]), qMax(2, back[1])};
        sawWriteError = false;
        const QtMessageHandler previous = qInstallMessageHandler(watchWriteError);
        bool written;
        {
            AsOtherUser player(kind == "lockedFolder");
            written = ScoreFile(path).write(table);
        }
        qInstallMessageHandler(previous);
        QTEST(written, "written");
        QCOMPARE(sawWriteError, !written);
        struct stat after;
        QCOMPARE(::lstat(QFile::encodeName(path), &after), 0);
        // still a FIFO or a link, with the same permission bits
        QCOMPARE(after.st_mode, before.st_mode);
        if (written)
            QCOMPARE(contents(path), ScoreFile::format(merged).toUtf8());
        else
            QCOMPARE(contents(other), otherBefore);
        ::chmod(QFile::encodeName(folder), 0755);
    }

    // A full disk fails the write before anything replaces the old file: through a real small
    // filesystem where the machine allows one, and through the file size limit anywhere.
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("tmpfs");
        QTest::newRow("full tmpfs") << true;
        QTest::newRow("file size limit") << false;
    }
    void fullDiskKeepsTheOldFile()
    {
        QFETCH(bool, tmpfs);
        QTemporaryDir own;
        const QString folder = own.filePath("disk"), path = folder + "/tovira.conf";
        QDir().mkpath(folder);
        const int old[ScoreFile::Count] = {1, 2, 3};
        int better[ScoreFile::Count] = {100000, 200000, 300000, 400000, 500000};
        const int status = inChild([&] {
            if (tmpfs) {
                if (::unshare(CLONE_NEWNS) != 0 ||
                    ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                    ::mount("tmpfs", QFile::encodeName(folder), "tmpfs", 0, "size=16k") != 0)
                    return 77;
                put(path, ScoreFile::format(old).toUtf8());
                QFile fill(folder + "/fill");
                fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
                while (fill.write(QByteArray(512, 'x')) == 512) {
                }
            } else {
                put(path, ScoreFile::format(old).toUtf8());
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit small{60, 60};
                ::setrlimit(RLIMIT_FSIZE, &small);
            }
            sawWriteError = false;
            qInstallMessageHandler(watchWriteError);
            const bool written = ScoreFile(path).write(better);
            return (written ? 1 : 0) | (sawWriteError ? 0 : 2) |
                   (contents(path) == ScoreFile::format(old).toUtf8() ? 0 : 4) |
                   (QDir(folder).entryList(QDir::Files).contains("tovira.conf") ? 0 : 8);
        });
        if (status == 77)
            QSKIP("no private mount namespace here (needs root)");
        QCOMPARE(status, 0);
    }

    // Leftovers of a save killed before its rename are removed at start-up; the player's own
    // copies beside the file, whatever their names, are not.
    void loadRemovesOnlyLeftoversOfASave()
    {
        QTemporaryDir own;
        const QString path = own.filePath("tovira.conf");
        const QStringList kept = {"other.conf.saving-aB3xY9", "tovira.conf.202401",
                                  "tovira.conf.BACKUP",       "tovira.conf.backup",
                                  "tovira.conf.before",       "tovira.conf.saved1",
                                  "tovira.conf.saving-aB3xY", "tovira.conf.saving-aB3xY9z"};
        for (const QString &name : kept + QStringList{"tovira.conf.saving-aB3xY9"})
            put(own.filePath(name), "x");
        int table[ScoreFile::Count] = {};
        ScoreFile(path).load(table);
        QStringList left = QDir(own.path()).entryList(QDir::Files), expected = kept;
        expected << "tovira.conf";
        left.sort();
        expected.sort();
        QCOMPARE(left, expected);
    }

    // Two copies of the game: a save never lowers a best that the other copy wrote, and the
    // table then holds the larger of each entry.
    void saveKeepsTheLargerOfEachEntry()
    {
        QTemporaryDir own;
        const QString path = own.filePath("tovira.conf");
        const int first[ScoreFile::Count] = {0, 500, 3, -4};
        QVERIFY(ScoreFile(path).replace(ScoreFile::format(first).toUtf8()));
        int second[ScoreFile::Count] = {0, 125, 7, -9};
        QVERIFY(ScoreFile(path).write(second));
        const int larger[ScoreFile::Count] = {0, 500, 7, -4};
        QCOMPARE(QVector<int>(second, second + 10), QVector<int>(larger, larger + 10));
        QCOMPARE(contents(path), ScoreFile::format(larger).toUtf8());
    }

    // A file the game cannot read is kept aside, once and never over an earlier one, before a
    // save replaces it; a file that is only the header holds nothing to keep.
    void unreadableFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("kept");
        const QByteArray good = ScoreFile::format(std::array<int, 10>{5, 6}.data()).toUtf8();
        const QString wide = QString::fromUtf8(good);
        QTest::newRow("UTF-16") << QByteArray("\xff\xfe") +
                                       QByteArray(reinterpret_cast<const char *>(wide.utf16()),
                                                  int(wide.size() * 2))
                                << true;
        QTest::newRow("CR line ends") << QByteArray(good).replace('\n', '\r') << true;
        QTest::newRow("damaged first line") << good.mid(2) << true;
        QTest::newRow("a damaged value line") << QByteArray(good).replace("=6", "=six") << true;
        QTest::newRow("only the header") << QByteArray("Tovira Game\r\n") << false;
    }
    void unreadableFileIsKeptAside()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, kept);
        QTemporaryDir own;
        const QString path = own.filePath("tovira.conf");
        put(path, text);
        int table[ScoreFile::Count] = {1};
        ScoreFile(path).load(table);
        QVERIFY(ScoreFile(path).write(table));
        QCOMPARE(contents(path), ScoreFile::format(table).toUtf8());
        QCOMPARE(QFile::exists(path + ".unreadable"), kept);
        if (!kept)
            return;
        QCOMPARE(contents(path + ".unreadable"), text);
        // A readable file is not kept again; the next unreadable one goes beside the first.
        QVERIFY(ScoreFile(path).write(table));
        QVERIFY(!QFile::exists(path + ".unreadable.2"));
        put(path, "damaged\n");
        QVERIFY(ScoreFile(path).write(table));
        QCOMPARE(contents(path + ".unreadable"), text);
        QCOMPARE(contents(path + ".unreadable.2"), QByteArray("damaged\n"));
    }

    // The game saves in a folder whose name is not valid UTF-8, by the path as the system
    // gives it.
    void savesInAFolderNamedWithAnyBytes()
    {
        QTemporaryDir own;
        const QByteArray folder = QFile::encodeName(own.path()) + "/\xff\xfe";
        QCOMPARE(::mkdir(folder.constData(), 0755), 0);
        const int status = inChild([&] {
            if (::chdir(folder.constData()) != 0)
                return 3;
            int table[ScoreFile::Count] = {7};
            ScoreFile("./tovira.conf").load(table);
            table[0] = 9;
            return ScoreFile("./tovira.conf").write(table) ? 0 : 1;
        });
        QCOMPARE(status, 0);
        QFile f;
        const int fd = ::open((folder + "/tovira.conf").constData(), O_RDONLY);
        QVERIFY(fd >= 0 && f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        QVERIFY(f.readAll().startsWith("Tovira Game\ngame1=9\n"));
        // QTemporaryDir cannot name what it did not make.
        ::unlink((folder + "/tovira.conf").constData());
        ::rmdir(folder.constData());
    }
};
QTEST_GUILESS_MAIN(TestScoreFile)
#include "tst_scorefile.moc"

// The best-score file: what is read from hand-made files and what is written.
#include "app/Notice.h"
#include "app/ScoreFile.h"

#include <QtTest>

namespace {
QVector<int> parsed(const QByteArray &text, int fill = -1)
{
    int table[ScoreFile::Count];
    std::fill(table, table + ScoreFile::Count, fill);
    ScoreFile::parse(text, table);
    return QVector<int>(table, table + ScoreFile::Count);
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
        QCOMPARE(parsed(fileWith({"Tovira Game", "game1=1", "game3=abc", "", "42", "game4=-17",
                                  "x=9"}))
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
        const int table[10] = {0, -5, 2147483647, -2147483647 - 1, 4, 5, 6, 7, 8, 9};
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
};

QTEST_GUILESS_MAIN(TestScoreFile)
#include "tst_scorefile.moc"

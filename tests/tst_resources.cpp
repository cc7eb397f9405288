// The built resuorce.rcc serves every picture of the art contract at its listed size, and the
// font can draw every character of every text the game shows.
#include <QDirIterator>
#include <QFontDatabase>
#include <QRawFont>
#include <QRegularExpression>
#include <QResource>
#include <QtTest>

namespace {
struct ContractEntry {
    QString path;
    QSize size;
};

QList<ContractEntry> readContract()
{
    QList<ContractEntry> entries;
    QFile f(QStringLiteral(TOVIRA_ART_CONTRACT));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return entries;
    static const QRegularExpression line(QStringLiteral("^(\\S+)\\s+(\\d+)x(\\d+)\\s+\\S+"));
    while (!f.atEnd()) {
        const QString text = QString::fromUtf8(f.readLine()).trimmed();
        const QRegularExpressionMatch m = line.match(text);
        if (text.startsWith('#') || !m.hasMatch())
            continue;
        entries.append({m.captured(1), QSize(m.captured(2).toInt(), m.captured(3).toInt())});
    }
    return entries;
}

// Characters of the texts the game draws: string literals of the code, and the text files and
// SVG texts of the pictures.
QString drawnCharacters()
{
    QString all;
    static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    const QStringList codeDirs = {"app", "launcher", "games", "story", "sound"};
    for (const QString &d : codeDirs) {
        QDirIterator it(QStringLiteral(TOVIRA_SOURCE_DIR) + "/" + d, {"*.cpp", "*.h"},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            f.open(QIODevice::ReadOnly);
            const QString text = QString::fromUtf8(f.readAll());
            auto m = literal.globalMatch(text);
            while (m.hasNext())
                all += m.next().captured(1);
        }
    }
    QDirIterator it(QStringLiteral(TOVIRA_SOURCE_DIR) + "/assets", {"*.txt", "*.svg"},
                    QDir::Files, QDirIterator::Subdirectories);
    static const QRegularExpression svgText(QStringLiteral("<text[^>]*>([^<]*)<"));
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains("/font/") || path.endsWith("contract.txt"))
            continue;
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(f.readAll());
        if (path.endsWith(".svg")) {
            auto m = svgText.globalMatch(text);
            while (m.hasNext())
                all += m.next().captured(1);
        } else {
            all += text;
        }
    }
    return all;
}
} // namespace

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc")));
    }

    // Every listed picture loads from the resource file at exactly its listed size.
    void everyContractPictureIsServedAtItsSize()
    {
        const QList<ContractEntry> entries = readContract();
        QVERIFY(entries.size() >= 2);
        for (const ContractEntry &e : entries) {
            const QImage image(QStringLiteral(":/") + e.path);
            QVERIFY2(!image.isNull(), qPrintable(e.path));
            QVERIFY2(image.size() == e.size, qPrintable(e.path));
        }
        QVERIFY(!QImage(":/img/BG").isNull());
        QCOMPARE(QImage(":/icon/ICON").size(), QSize(256, 256));
    }

    // The font is served under the family the screens ask for.
    void fontHasTheGamesFamily()
    {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/font/tanuki"));
        QVERIFY(id >= 0);
        QCOMPARE(QFontDatabase::applicationFontFamilies(id).value(0),
                 QString("Tanuki Permanent Marker"));
    }

    // Every character of every drawn text has a glyph in the subset font.
    void fontCoversEveryDrawnCharacter()
    {
        QRawFont font(QStringLiteral(TOVIRA_SOURCE_DIR "/assets/font/tanuki.ttf"), 24);
        QVERIFY(font.isValid());
        const QString text = drawnCharacters();
        QVERIFY(text.contains(QStringLiteral("オープンエラー")));
        QString missing;
        for (const QChar c : text) {
            if (c.unicode() < 0x20 || c.isSpace() || c.isSurrogate())
                continue;
            if (!font.supportsCharacter(c) && !missing.contains(c))
                missing += c;
        }
        QVERIFY2(missing.isEmpty(), qPrintable("missing from the font: " + missing));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"

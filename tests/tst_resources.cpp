// The built resuorce.rcc serves every picture of the art contract at its listed size, and the
// font can draw every character of every text the game shows, translations included; damaged
// files are refused; every text in code has its English and Japanese translation built in.
#include "base/ResourceFile.h"

#include <QDirIterator>
#include <QFontDatabase>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QResource>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

#include <sys/stat.h>

namespace
{
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

// One entry of a Qt Linguist .ts file: where it is asked for, and its translations (one per
// plural form); type is "unfinished", "vanished" or "obsolete" for an entry not in use.
struct Message {
    QString context, source, comment, type;
    QStringList translations;
    bool numerus = false;
};

QList<Message> readTranslations(const QString &language)
{
    QList<Message> messages;
    QFile f(QStringLiteral(TOVIRA_SOURCE_DIR "/translations/tovira_") + language + ".ts");
    if (!f.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&f);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            messages.append({context,
                             {},
                             {},
                             {},
                             {},
                             xml.attributes().value("numerus") == QLatin1String("yes")});
        else if (xml.name() == QLatin1String("source"))
            messages.last().source = xml.readElementText();
        else if (xml.name() == QLatin1String("comment"))
            messages.last().comment = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            messages.last().type = xml.attributes().value("type").toString();
            if (!messages.last().numerus)
                messages.last().translations << xml.readElementText();
        } else if (xml.name() == QLatin1String("numerusform"))
            messages.last().translations << xml.readElementText();
    }
    return messages;
}

// Characters of the texts the game draws: string literals of the code, their translations, and
// the text files and SVG texts of the pictures.
QString drawnCharacters()
{
    QString all;
    for (const QString &language : {QStringLiteral("en"), QStringLiteral("ja")})
        for (const Message &m : readTranslations(language))
            all += m.translations.join(QString());
    static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    const QStringList codeDirs = {"app", "launcher", "games", "story", "sound"};
    for (const QString &d : codeDirs) {
        QDirIterator it(QStringLiteral(TOVIRA_SOURCE_DIR) + "/" + d, {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            f.open(QIODevice::ReadOnly);
            const QString text = QString::fromUtf8(f.readAll());
            auto m = literal.globalMatch(text);
            while (m.hasNext())
                all += m.next().captured(1);
        }
    }
    QDirIterator it(QStringLiteral(TOVIRA_SOURCE_DIR) + "/assets", {"*.txt", "*.svg"}, QDir::Files,
                    QDirIterator::Subdirectories);
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

// A resource file rcc packs from files of the given contents under one name, "lang/a": the first
// without a language, each other one in a <qresource lang="..."> of its own.
QByteArray packedInLanguages(const QList<QPair<QString, QByteArray>> &variants)
{
    QTemporaryDir dir;
    QString qrc = QStringLiteral("<RCC>\n");
    for (int i = 0; i < variants.size(); ++i) {
        QFile file(dir.filePath(QString::number(i)));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(variants[i].second);
        const QString lang = i ? QStringLiteral(" lang=\"%1\"").arg(variants[i].first) : QString();
        qrc += QStringLiteral("<qresource prefix=\"/lang\"%1><file alias=\"a\">%2</file>"
                              "</qresource>\n")
                   .arg(lang, file.fileName());
    }
    QFile out(dir.filePath("a.qrc"));
    if (!out.open(QIODevice::WriteOnly))
        return {};
    out.write((qrc + "</RCC>\n").toUtf8());
    out.close();
    const QString rcc = dir.filePath("a.rcc");
    QProcess::execute(QStringLiteral(TOVIRA_RCC), {"-binary", out.fileName(), "-o", rcc});
    QFile packed(rcc);
    return packed.open(QIODevice::ReadOnly) ? packed.readAll() : QByteArray();
}

// The built file with one big-endian field of 16 or 32 bits set to value.
QByteArray patched(QByteArray data, qint64 at, quint32 value, int bits = 32)
{
    if (bits == 16)
        qToBigEndian(quint16(value), data.data() + at);
    else
        qToBigEndian(value, data.data() + at);
    return data;
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

    // Damaged, odd or missing resource files are refused before Qt registers them, so no read
    // of a resource crashes; the built file is accepted.
    void hostileFilesAreRefused_data()
    {
        QTest::addColumn<QString>("special");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("accepted");
        QFile f(QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray rcc = f.readAll();
        const auto *d = reinterpret_cast<const uchar *>(rcc.constData());
        QCOMPARE(qFromBigEndian<quint32>(d + 4), 3u); // the format rcc writes today
        const quint32 size = quint32(rcc.size()), tree = qFromBigEndian<quint32>(d + 8);
        const quint32 data = qFromBigEndian<quint32>(d + 12), nodeSize = 22;
        quint32 file = tree + nodeSize; // the first node that is not a folder
        while (qFromBigEndian<quint16>(d + file + 4) & 2)
            file += nodeSize;
        const quint32 payload = data + qFromBigEndian<quint32>(d + file + 10);
        const auto row = [](const char *name, const QByteArray &bytes, bool accepted = false,
                            const QString &special = QString()) {
            QTest::newRow(name) << special << bytes << accepted;
        };
        row("built file", rcc, true);
        // The pictures of a language other than Japanese lie beside the Japanese ones under the
        // same names, as rcc packs a <qresource lang="..."> block.
        const QByteArray languages = packedInLanguages({{"ja", "ja"}, {"en", "en"}, {"de", "de"}});
        QVERIFY(!languages.isEmpty());
        row("one name in three languages", languages, true);
        row("empty", QByteArray());
        row("header cut short", rcc.left(16));
        row("wrong magic", "qrez" + rcc.mid(4));
        row("format 4", patched(rcc, 4, 4));
        row("tree past the end", patched(rcc, 8, size));
        row("data past the end", patched(rcc, 12, size + 1));
        row("names past the end", patched(rcc, 16, size + 1));
        row("root is a file", patched(rcc, tree + 4, 0, 16));
        row("root's children past the end", patched(rcc, tree + 6, 0x7fffffff));
        row("root is its own child", patched(rcc, tree + 10, 0));
        row("two folders share children",
            patched(rcc, tree + nodeSize + 10,
                    qFromBigEndian<quint32>(d + tree + 2 * nodeSize + 10)));
        row("name past the end", patched(rcc, tree + nodeSize, 0x7ffffff0));
        row("payload past the end", patched(rcc, file + 10, size));
        row("payload length past the end", patched(rcc, payload, 0x7fffffff));
        row("cut in half", rcc.left(rcc.size() / 2));
        // Found by the fuzzer: a zstd entry whose frame header is cut before its size.
        row("zstd frame without its size",
            QByteArray::fromHex("717265730000000300000086000000180000003c00000004000000017800000017"
                                "27b52ffdc1387500004054"
                                "6f76697261200a0100292a460000000000040006d6540066006f006e0074000300"
                                "0070370069006d00670005"
                                "00655bf40062002e007400780074000500645bf40061002e007400780074000500"
                                "665bf40063002e00740078"
                                "0074000000000002000000020000000100000000000000000000000e0002000000"
                                "0200000004000000000000"
                                "0000000000000002000000010000000300000000000000000000003a0000000000"
                                "0100000020000001a252b5"
                                "92680000002a00040000000100000005000001a252b592680000001a0000000000"
                                "0100000000000001a252b5"
                                "9268"));
        row("fifo", {}, false, "fifo");
        row("link to /dev/zero", {}, false, "zero");
        row("folder", {}, false, "folder");
        row("missing", {}, false, "missing");
    }
    void hostileFilesAreRefused()
    {
        QFETCH(QString, special);
        QFETCH(QByteArray, data);
        QTemporaryDir dir;
        const QString path = dir.filePath("resuorce.rcc");
        if (special == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path), 0644), 0);
        else if (special == "zero")
            QVERIFY(QFile::link("/dev/zero", path));
        else if (special == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (special.isEmpty()) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(data);
        }
        QTEST(ResourceFile::registerFile(path), "accepted");
        // each language is served its own file, any other the one without a language
        if (QTest::currentDataTag() == QLatin1String("one name in three languages")) {
            const QLocale before;
            for (const char *lang : {"en", "de", "fr"}) {
                QLocale::setDefault(QLocale(QString::fromLatin1(lang)));
                QFile a(":/lang/a");
                QVERIFY(a.open(QIODevice::ReadOnly));
                QCOMPARE(a.readAll(), QByteArray(lang == QByteArray("fr") ? "ja" : lang));
            }
            QLocale::setDefault(before);
        }
        // every registered resource reads whole
        QDirIterator it(QStringLiteral(":/"), QDir::Files, QDirIterator::Subdirectories);
        int files = 0;
        while (it.hasNext()) {
            QFile entry(it.next());
            QVERIFY(entry.open(QIODevice::ReadOnly));
            entry.readAll();
            ++files;
        }
        QVERIFY(files > 100);
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

    // Every text in code goes through Qt Linguist: each literal of a tr() or translate() call has
    // an entry in both languages' files, every English entry is finished and free of Japanese,
    // and the .qm files built into the game give the English and, for Japanese, the source.
    void everyTextInCodeIsTranslated()
    {
        const QList<Message> english = readTranslations("en"), japanese = readTranslations("ja");
        QVERIFY(english.size() >= 20);
        QCOMPARE(japanese.size(), english.size());
        QTranslator en, ja;
        QVERIFY(en.load(":/i18n/tovira_en.qm"));
        QVERIFY(ja.load(":/i18n/tovira_ja.qm"));
        static const QRegularExpression japaneseCharacter(
            QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
        QSet<QString> sources;
        for (const Message &m : english) {
            const QByteArray where = (m.context + ": " + m.source).toUtf8();
            sources << m.source;
            QVERIFY2(m.type.isEmpty(), where.constData());
            QCOMPARE(m.translations.size(), m.numerus ? 2 : 1);
            for (const QString &t : m.translations)
                QVERIFY2(!t.isEmpty() && !t.contains(japaneseCharacter), where.constData());
            const QByteArray context = m.context.toUtf8(), source = m.source.toUtf8(),
                             comment = m.comment.toUtf8();
            const int n = m.numerus ? 2 : -1;
            QCOMPARE(en.translate(context, source, comment.isEmpty() ? nullptr : comment.data(), n),
                     m.translations.last());
            QCOMPARE(ja.translate(context, source, comment.isEmpty() ? nullptr : comment.data(), n),
                     m.source);
        }
        // The code's texts, each found in the files (lupdate brings new ones in).
        static const QRegularExpression call(QStringLiteral(
            "\\b(?:tr|translate\\(\\s*\"\\w+\"\\s*,)\\(?\\s*\"((?:[^\"\\\\]|\\\\.)*)\""));
        int calls = 0;
        for (const QString &d : {"app", "launcher", "games", "story", "sound", "base"}) {
            QDirIterator it(QStringLiteral(TOVIRA_SOURCE_DIR "/") + d, {"*.cpp"}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile f(it.next());
                QVERIFY(f.open(QIODevice::ReadOnly));
                auto m = call.globalMatch(QString::fromUtf8(f.readAll()));
                for (; m.hasNext(); ++calls) {
                    const QString text = m.next().captured(1).replace("\\\"", "\"");
                    QVERIFY2(sources.contains(text), qPrintable(f.fileName() + ": " + text));
                }
            }
        }
        QVERIFY(calls >= english.size());
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

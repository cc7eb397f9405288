// The shared art keeps its promises to the pictures built on it: every element other pictures
// place exists and stays in its documented box, no picture points at a missing element, the rows
// where the game writes numbers stay plain paper, and the launcher's pictures fit their slots.
#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QResource>
#include <QSvgRenderer>
#include <QtTest>

namespace {
const QString kSource = QStringLiteral(TOVIRA_SOURCE_DIR);

// The definitions of every shared file, as the asset tool copies them into each picture.
QString sharedDefs()
{
    QString defs;
    QDir shared(kSource + "/assets/art/shared");
    static const QRegularExpression block("<defs\\b[^>]*>(.*)</defs>",
                                          QRegularExpression::DotMatchesEverythingOption);
    for (const QString &name : shared.entryList({"*.svg"}, QDir::Files, QDir::Name)) {
        QFile f(shared.filePath(name));
        f.open(QIODevice::ReadOnly);
        defs += block.match(QString::fromUtf8(f.readAll())).captured(1);
    }
    return defs;
}

QString withDefs(const QString &svg)
{
    static const QRegularExpression root("<svg\\b[^>]*>");
    const QRegularExpressionMatch m = root.match(svg);
    QString out = svg;
    if (m.hasMatch())
        out.insert(m.capturedEnd(), "<defs>" + sharedDefs() + "</defs>");
    return out;
}

// SVG sources of the contract, as (picture path, source file) pairs.
QList<QPair<QString, QString>> contractSvgSources()
{
    QList<QPair<QString, QString>> sources;
    QFile f(QStringLiteral(TOVIRA_ART_CONTRACT));
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    static const QRegularExpression line("^(\\S+)\\s+\\d+x\\d+\\s+svg:([^\\s#]+)");
    while (!f.atEnd()) {
        const QRegularExpressionMatch m = line.match(QString::fromUtf8(f.readLine()).trimmed());
        if (m.hasMatch())
            sources.append({m.captured(1), m.captured(2)});
    }
    return sources;
}

QStringList *g_svgWarnings = nullptr;
void collectSvgWarnings(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    if (g_svgWarnings)
        g_svgWarnings->append(msg);
}

// Renders one shared element alone (placed through <use>) into a picture of the given size.
QImage renderElement(const QString &id, const QSize &size)
{
    const QString doc = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                                       "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"%1\" "
                                       "height=\"%2\" viewBox=\"0 0 %1 %2\"><use xlink:href=\"#%3\"/></svg>")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(id);
    QSvgRenderer renderer(withDefs(doc).toUtf8());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    renderer.render(&p);
    return image;
}

// Bounding box of the opaque pixels of a picture.
QRect inkBounds(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 40)
                box |= QRect(x, y, 1, 1);
    return box;
}

// True when every pixel of `r` is opaque and light, so black digits read on it.
bool isPlainPaper(const QImage &image, const QRect &r, QString *why)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) < 250 || qGray(c) < 215) {
                *why = QStringLiteral("pixel (%1, %2) is #%3").arg(x).arg(y).arg(c, 8, 16, QChar('0'));
                return false;
            }
        }
    return true;
}
} // namespace

class TestArt : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc")));
    }

    void sharedElementsStayInsideTheirBoxes_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QRect>("box");
        QTest::addColumn<bool>("standsOnBottom");
        for (const char *who : {"tovira", "kohru", "tavel", "luneta"})
            for (const char *mood : {"neutral", "happy", "surprised", "sad"}) {
                const QString id = QStringLiteral("%1_%2").arg(who, mood);
                QTest::newRow(qPrintable(id)) << id << QRect(0, 0, 300, 400) << true;
            }
        for (const char *hand : {"hand_rock", "hand_paper", "hand_scissors"})
            QTest::newRow(hand) << QString(hand) << QRect(0, 0, 200, 200) << true;
        QTest::newRow("panel_score") << "panel_score" << QRect(0, 0, 130, 90) << false;
        QTest::newRow("panel_timer") << "panel_timer" << QRect(0, 0, 360, 90) << false;
        QTest::newRow("panel_count") << "panel_count" << QRect(0, 0, 220, 90) << false;
        QTest::newRow("button") << "button" << QRect(0, 0, 200, 60) << false;
        QTest::newRow("logo") << "logo" << QRect(0, 0, 440, 180) << false;
        QTest::newRow("frame_info") << "frame_info" << QRect(0, 0, 290, 400) << false;
    }

    // An element others place by its documented box draws inside it (characters and hands reach
    // the bottom edge, where their feet or wrist stand); moving it would shift every picture.
    void sharedElementsStayInsideTheirBoxes()
    {
        QFETCH(QString, id);
        QFETCH(QRect, box);
        QFETCH(bool, standsOnBottom);
        const int pad = 40;
        const QImage image = renderElement(id, box.size() + QSize(pad, pad));
        const QRect ink = inkBounds(image);
        QVERIFY2(!ink.isEmpty(), qPrintable(id + " draws nothing"));
        QVERIFY2(box.contains(ink), qPrintable(QStringLiteral("%1 draws over (%2, %3, %4, %5)")
                                                   .arg(id)
                                                   .arg(ink.x())
                                                   .arg(ink.y())
                                                   .arg(ink.width())
                                                   .arg(ink.height())));
        if (standsOnBottom)
            QVERIFY2(ink.bottom() >= box.bottom() - 6, qPrintable(id + " floats above its base"));
    }

    // QtSvg only warns when <use> names a missing id and then draws nothing in its place.
    void noContractPictureRefersToAMissingElement()
    {
        const auto sources = contractSvgSources();
        QVERIFY(sources.size() > 30);
        QStringList broken;
        for (const auto &entry : sources) {
            QFile f(kSource + "/assets/art/" + entry.second);
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(entry.second));
            QStringList warnings;
            g_svgWarnings = &warnings;
            const QtMessageHandler previous = qInstallMessageHandler(collectSvgWarnings);
            QSvgRenderer renderer(withDefs(QString::fromUtf8(f.readAll())).toUtf8());
            qInstallMessageHandler(previous);
            g_svgWarnings = nullptr;
            QVERIFY2(renderer.isValid(), qPrintable(entry.second));
            for (const QString &w : warnings)
                if (w.contains("undefined") || w.contains("Could not resolve"))
                    broken << entry.first + ": " + w;
        }
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join('\n')));
    }

    // The game writes the best and current score in black, centred in (20, 40, 90, 20) and
    // (20, 70, 90, 20) with the panel drawn at (0, 10), inking the lines y 35..48 and 65..78 of
    // the panel: those lines must be paper, not labels.
    void scorePanelRowsArePlainPaper()
    {
        const QImage panel = renderElement("panel_score", QSize(130, 90));
        QString why;
        QVERIFY2(isPlainPaper(panel, QRect(22, 35, 86, 14), &why), qPrintable("best row: " + why));
        QVERIFY2(isPlainPaper(panel, QRect(22, 65, 86, 14), &why), qPrintable("score row: " + why));
    }

    // The launcher writes the total in (782, 64, 147, 20) and the pointed game's best in
    // (782, 111, 147, 20) over the board drawn at (762, 18).
    void launcherScoreBoardRowsArePlainPaper()
    {
        const QImage board(":/img/lancher/SCORE");
        QVERIFY(!board.isNull());
        QString why;
        QVERIFY2(isPlainPaper(board, QRect(22, 48, 143, 16), &why), qPrintable("total row: " + why));
        QVERIFY2(isPlainPaper(board, QRect(22, 95, 143, 16), &why), qPrintable("best row: " + why));
    }

    // Entry rectangles take their size from the pictures: entries must not overlap each other,
    // the information card or the score board, and an ending keeps its size when it unlocks.
    void launcherPicturesFitTheirSlots()
    {
        auto rectOf = [](const QString &name, int x, int y) {
            const QImage image(":/img/lancher/" + name);
            return QRect(QPoint(x, y), image.size());
        };
        QList<QRect> entries;
        for (int i = 0; i < 10; ++i)
            entries << rectOf(QStringLiteral("GAME%1").arg(i), i < 5 ? 400 : 534,
                              i < 5 ? 82 * i + 157 : 82 * i - 253);
        const QPoint story[4] = {{25, 340}, {193, 340}, {25, 443}, {193, 443}};
        const char *locked[4] = {"OP", "ED01_0", "ED02_0", "ED03_0"};
        for (int j = 0; j < 4; ++j)
            entries << rectOf(locked[j], story[j].x(), story[j].y());
        for (int j = 1; j < 4; ++j)
            QCOMPARE(rectOf(QStringLiteral("ED0%1_1").arg(j), 0, 0).size(), entries[9 + j].size());
        const QRect scene(0, 0, 1020, 572);
        const QRect score = rectOf("SCORE", 762, 18);
        QVERIFY(scene.contains(score));
        for (int i = 0; i <= 10; ++i) {
            const QRect info = rectOf(QStringLiteral("INFO%1").arg(i), 714, 156);
            QVERIFY2(scene.contains(info) && !info.intersects(score), qPrintable(QString::number(i)));
            for (const QRect &e : entries)
                QVERIFY(!e.intersects(info));
        }
        for (int a = 0; a < entries.size(); ++a) {
            QVERIFY2(!entries[a].isEmpty() && scene.contains(entries[a]), qPrintable(QString::number(a)));
            QVERIFY(!entries[a].intersects(score));
            for (int b = a + 1; b < entries.size(); ++b)
                QVERIFY2(!entries[a].intersects(entries[b]), qPrintable(QStringLiteral("%1/%2").arg(a).arg(b)));
        }
    }
};

QTEST_MAIN(TestArt)
#include "tst_art.moc"

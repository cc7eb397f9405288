// The shared art keeps its promises to the pictures built on it: every element other pictures
// place exists and stays in its documented box, no picture points at a missing element, the rows
// where the game writes numbers stay plain paper, and the launcher's pictures fit their slots.
// Each picture comes in the languages the contract gives it, and every language's texts are its
// own and drawable in the font.
#include "base/ResourceFile.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFontDatabase>
#include <QImageReader>
#include <QPainter>
#include <QRawFont>
#include <QRegularExpression>
#include <QResource>
#include <QSvgRenderer>
#include <QtTest>

namespace
{
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

// A picture of the contract, its size and whether it is drawn again in English ("ja+en") or
// the same in every language ("neutral").
struct Marked {
    QString path;
    QSize size;
    bool english;
};

QList<Marked> contractMarks()
{
    QList<Marked> marked;
    QFile f(QStringLiteral(TOVIRA_ART_CONTRACT));
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    static const QRegularExpression line(
        "^(\\S+)\\s+(\\d+)x(\\d+)\\s+\\S+\\s+(neutral|ja\\+en)\\s");
    while (!f.atEnd()) {
        const QRegularExpressionMatch m = line.match(QString::fromUtf8(f.readLine()));
        if (m.hasMatch())
            marked.append({m.captured(1), QSize(m.captured(2).toInt(), m.captured(3).toInt()),
                           m.captured(4) != "neutral"});
    }
    return marked;
}

// The bytes a resource path serves while the default locale has the given language.
QByteArray served(const QString &path, QLocale::Language language)
{
    QLocale::setDefault(QLocale(language));
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool hasJapanese(const QString &text)
{
    static const QRegularExpression japanese("[\\x{3000}-\\x{30ff}\\x{3400}-\\x{4dbf}\\x{4e00}-"
                                             "\\x{9fff}\\x{ff00}-\\x{ffef}]");
    return text.contains(japanese);
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
    const QString doc =
        QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" "
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
                *why =
                    QStringLiteral("pixel (%1, %2) is #%3").arg(x).arg(y).arg(c, 8, 16, QChar('0'));
                return false;
            }
        }
    return true;
}
// The source of a contract picture with the shared definitions, and with the element
// `<g id="without">...</g>` (a plain group of shapes) taken out when one is named.
QByteArray sourceOf(const QString &file, const QString &without = QString())
{
    QFile f(kSource + "/assets/art/" + file);
    f.open(QIODevice::ReadOnly);
    QString svg = QString::fromUtf8(f.readAll());
    if (!without.isEmpty())
        svg.remove(QRegularExpression("<g id=\"" + without + "\">.*?</g>",
                                      QRegularExpression::DotMatchesEverythingOption));
    return withDefs(svg).toUtf8();
}

// "x,y x,y ..." as a polygon.
QPolygon points(const QString &list)
{
    QPolygon polygon;
    for (const QString &point : list.split(' '))
        polygon << QPoint(point.section(',', 0, 0).toInt(), point.section(',', 1, 1).toInt());
    return polygon;
}

// The contract picture drawn from its source at `scale`, without the elements that match
// `without` when one is given.
QImage renderSource(const QString &file, int scale, const QString &without = QString())
{
    QString svg = QString::fromUtf8(sourceOf(file));
    if (!without.isEmpty())
        svg.remove(QRegularExpression(without));
    QSvgRenderer renderer(svg.toUtf8());
    QImage image(renderer.defaultSize() * scale, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    renderer.render(&p);
    return image;
}

// The pixels where two drawings of a picture differ: what the element left out of one draws.
QList<QPoint> differ(const QImage &a, const QImage &b)
{
    QList<QPoint> at;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q)) +
                    qAbs(qAlpha(p) - qAlpha(q)) >
                24)
                at << QPoint(x, y);
        }
    return at;
}
} // namespace

class TestArt : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc")));
        QVERIFY(ResourceFile::registerFile(QStringLiteral(TOVIRA_GAME_DIR "/resuorce2x.rcc"),
                                           QStringLiteral("/x2")));
        QVERIFY(QFontDatabase::addApplicationFont(TOVIRA_SOURCE_DIR "/assets/font/tanuki.ttf") >=
                0);
    }

    // Under an English locale a picture marked ja+en is served as its own English picture at
    // its size, single and double; a neutral one is the Japanese picture itself.
    void everyPictureComesInItsLanguages()
    {
        const QLocale before;
        const QList<Marked> marked = contractMarks();
        int english = 0;
        for (const Marked &m : marked)
            for (const int scale : {1, 2}) {
                const QString path = (scale == 1 ? ":/" : ":/x2/") + m.path;
                const QByteArray ja = served(path, QLocale::Japanese);
                const QByteArray en = served(path, QLocale::English);
                QVERIFY2(!ja.isEmpty(), qPrintable(path));
                if (!m.english) {
                    QVERIFY2(en == ja, qPrintable(path + " differs in English"));
                    continue;
                }
                ++english;
                QVERIFY2(en != ja, qPrintable(path + " is the Japanese picture in English"));
                QBuffer buffer;
                buffer.setData(en);
                QCOMPARE(QImageReader(&buffer).size(), m.size * scale);
            }
        QLocale::setDefault(before);
        QVERIFY(english > 0 && english < 2 * marked.size());
    }

    // Every text a language draws, from its picture table (the text after " = ") or its story
    // files, is in that language alone and has every character in the font.
    void everyLanguagesTextsAreItsOwnAndDrawable_data()
    {
        QTest::addColumn<QString>("file");
        QDirIterator tables(kSource + "/assets/art/text", {"*.txt"}, QDir::Files);
        QDirIterator stories(kSource + "/assets/story", {"*.txt"}, QDir::Files,
                             QDirIterator::Subdirectories);
        for (QDirIterator *it : {&tables, &stories})
            while (it->hasNext()) {
                const QString file = it->next();
                if (QFileInfo(file).dir().dirName() != "story") // assets/story/*.txt: Japanese
                    QTest::newRow(qPrintable(file.mid(kSource.size() + 1))) << file;
            }
    }
    void everyLanguagesTextsAreItsOwnAndDrawable()
    {
        QFETCH(QString, file);
        const QRawFont font(kSource + "/assets/font/tanuki.ttf", 24);
        QVERIFY(font.isValid());
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        const bool table = file.contains("/art/text/");
        int texts = 0;
        for (const QString &raw : QString::fromUtf8(f.readAll()).split('\n')) {
            const QString line = raw.trimmed();
            if (line.isEmpty() || line.startsWith('#') || line.startsWith('['))
                continue;
            const QString text = table ? line.section(" =", 1).section('}', -1).trimmed() : line;
            QVERIFY2(!hasJapanese(text), qPrintable(line));
            for (const QChar c : text)
                QVERIFY2(font.supportsCharacter(c), qPrintable(QString(c) + " in " + line));
            texts += !text.isEmpty();
        }
        QVERIFY(texts > 10);
    }

    // A label and the frame or figure beside it, each an element of the picture's source: the
    // label's ink keeps 2 px clear of what the other draws, at scale 1 and 2.
    void labelsKeepClearOfTheirFrames_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("frame");
        const QString rim = QStringLiteral("<use xlink:href=\"#frame_story_rim\"/>");
        QTest::newRow("opening tile") << "lancher/op.svg"
                                      << "<text[^>]*>オープニング</text>" << rim;
        for (const char *file :
             {"lancher/ed1_locked.svg", "lancher/ed2_locked.svg", "lancher/ed3_locked.svg"})
            QTest::newRow(file) << file << "<text[^>]*>合計で解放</text>" << rim;
        QTest::newRow("Janken card") << "lancher/info7.svg"
                                     << "<text[^>]*>[^<]*あなたの手</text>"
                                     << "<use xlink:href=\"#hand_rock\"[^>]*rotate\\(70[^>]*/>";
    }
    void labelsKeepClearOfTheirFrames()
    {
        QFETCH(QString, file);
        QFETCH(QString, label);
        QFETCH(QString, frame);
        for (const int scale : {1, 2}) {
            const QImage whole = renderSource(file, scale);
            const QList<QPoint> ink = differ(whole, renderSource(file, scale, label));
            QImage framed(whole.size(), QImage::Format_Grayscale8);
            framed.fill(0);
            for (const QPoint &p : differ(whole, renderSource(file, scale, frame)))
                framed.setPixel(p, 255);
            QVERIFY(!ink.isEmpty());
            // the rings of pixels round the ink, up to 4 per scale, that the frame leaves open
            const int most = 4 * scale;
            int margin = most;
            for (const QPoint &p : ink)
                for (int dy = -most; dy <= most; ++dy)
                    for (int dx = -most; dx <= most; ++dx)
                        if (framed.valid(p + QPoint(dx, dy)) &&
                            qGray(framed.pixel(p + QPoint(dx, dy))))
                            margin = qMin(margin, qMax(qAbs(dx), qAbs(dy)) - 1);
            qInfo("%s at %d: %d px clear", qPrintable(file), scale, margin);
            QVERIFY2(
                margin >= 2 * scale,
                qPrintable(QString("at scale %1 the label keeps %2 px").arg(scale).arg(margin)));
        }
    }

    // The Shooting card's gallery starts under an awning with stripes, not a plain red band: no
    // red run in the illustration's top 30 rows is longer than 60 px.
    void shootingCardHasNoPlainBand()
    {
        const QImage card = renderSource("lancher/info3.svg", 1);
        int longest = 0;
        for (int y = 64; y < 94; ++y)
            for (int x = 12, run = 0; x < 275; ++x) {
                const QRgb c = card.pixel(x, y);
                run = qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 110 ? run + 1 : 0;
                longest = qMax(longest, run);
            }
        QVERIFY2(longest <= 60, qPrintable(QString("a red run of %1 px").arg(longest)));
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
        QTest::newRow("panel_score") << "panel_score" << QRect(0, 0, 120, 110) << false;
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
    // (20, 70, 90, 20) with the panel drawn at (0, 10), inking x 22..107 (eight digits) and y
    // 35..48 and 65..78 of the panel: those lines and 2 px round them must be paper, not labels.
    void scorePanelRowsArePlainPaper()
    {
        const QImage panel = renderElement("panel_score", QSize(120, 110));
        QString why;
        QVERIFY2(isPlainPaper(panel, QRect(20, 33, 90, 18), &why), qPrintable("best row: " + why));
        QVERIFY2(isPlainPaper(panel, QRect(20, 63, 90, 18), &why), qPrintable("score row: " + why));
    }

    // The launcher writes the total in (782, 64, 147, 20) and the pointed game's best in
    // (782, 111, 147, 20) over the board drawn at (762, 18).
    void launcherScoreBoardRowsArePlainPaper()
    {
        const QImage board(":/img/lancher/SCORE");
        QVERIFY(!board.isNull());
        QString why;
        QVERIFY2(isPlainPaper(board, QRect(22, 48, 143, 16), &why),
                 qPrintable("total row: " + why));
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
            QVERIFY2(scene.contains(info) && !info.intersects(score),
                     qPrintable(QString::number(i)));
            for (const QRect &e : entries)
                QVERIFY(!e.intersects(info));
        }
        for (int a = 0; a < entries.size(); ++a) {
            QVERIFY2(!entries[a].isEmpty() && scene.contains(entries[a]),
                     qPrintable(QString::number(a)));
            QVERIFY(!entries[a].intersects(score));
            for (int b = a + 1; b < entries.size(); ++b)
                QVERIFY2(!entries[a].intersects(entries[b]),
                         qPrintable(QStringLiteral("%1/%2").arg(a).arg(b)));
        }
    }
    void shootingTargetsFillTheirHitShapes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPolygon>("shape");
        QTest::newRow("KOHRU01")
            << "kohru01"
            << points("50,80 117,0 213,0 307,107 270,215 300,315 45,290 36,212 66,139");
        QTest::newRow("TOVIRA01") << "tovira01"
                                  << points("100,44 190,22 235,130 290,195 190,340 190,395 27,255");
        QTest::newRow("TOVIRA02")
            << "tovira02"
            << points("110,34 190,27 256,133 237,296 176,306 163,430 96,430 99,285 30,277 30,220");
        QTest::newRow("TOVIRA03") << "tovira03"
                                  << points("85,47 177,20 230,102 211,167 285,220 270,248 223,273 "
                                            "217,290 263,362 38,318 12,246 34,124");
        QTest::newRow("TOVIRA04") << "tovira04"
                                  << points("120,32 184,0 352,74 300,198 203,267 96,219 57,146");
    }

    // A target is a figure on the board cut along the polygon a shot is tested against: the
    // picture covers the polygon and draws nothing beyond its edge, the figure alone (board
    // taken out) covers a good part of it, and a good target's face lies in the bonus zone. The
    // cast's big head must fit the narrow zone, so the figure leaves part of the board bare.
    void shootingTargetsFillTheirHitShapes()
    {
        QFETCH(QString, name);
        QFETCH(QPolygon, shape);
        const QImage picture =
            QImage(":/img/shooting/" + name.toUpper()).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!picture.isNull());
        QSvgRenderer figureOnly(sourceOf("shooting/" + name + ".svg", "shoot_board"));
        QImage figure(picture.size(), QImage::Format_ARGB32);
        figure.fill(Qt::transparent);
        QPainter p(&figure);
        figureOnly.render(&p, QRectF(QPointF(0, 0), picture.size()));
        p.end();
        // inside: the polygon as a shot tests it; near: its edge drawn 4 px wide around it
        QImage area(picture.size(), QImage::Format_ARGB32);
        area.fill(Qt::black);
        QPainter a(&area);
        a.setPen(QPen(Qt::red, 8));
        a.drawPolygon(shape);
        a.setPen(Qt::NoPen);
        a.setBrush(Qt::white);
        a.drawPolygon(shape, Qt::OddEvenFill);
        a.end();
        int inside = 0, covered = 0, byFigure = 0, ink = 0, beyond = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const bool opaque = qAlpha(picture.pixel(x, y)) >= 128;
                ink += opaque;
                if (area.pixel(x, y) == qRgb(255, 255, 255)) {
                    ++inside;
                    covered += opaque;
                    byFigure += qAlpha(figure.pixel(x, y)) >= 128;
                } else if (area.pixel(x, y) == qRgb(0, 0, 0)) {
                    beyond += opaque;
                }
            }
        qInfo("%s: picture covers %.3f, figure %.3f, %.4f of the ink beyond the edge",
              qPrintable(name), double(covered) / inside, double(byFigure) / inside,
              double(beyond) / ink);
        QVERIFY(double(covered) / inside >= 0.97);
        QVERIFY(double(beyond) / ink <= 0.01);
        QVERIFY(double(byFigure) / inside >= 0.35);
        if (name.startsWith("tovira")) {
            QSvgRenderer source(sourceOf("shooting/" + name + ".svg"));
            QVERIFY2(source.elementExists("shoot_face"), "the face is the group shoot_face");
            const QRectF head = source.transformForElement("shoot_face")
                                    .mapRect(source.boundsOnElement("shoot_face"));
            QVERIFY2(QRectF(114, 27, 76, 119).contains(head),
                     qPrintable(QString("head at (%1, %2, %3, %4)")
                                    .arg(head.x())
                                    .arg(head.y())
                                    .arg(head.width())
                                    .arg(head.height())));
        }
    }
};

QTEST_MAIN(TestArt)
#include "tst_art.moc"

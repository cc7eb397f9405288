#include "FlatPictures.h"

FlatPictures::FlatPictures()
{
    ok = swap(real(), flatFile());
    previous() =
        qInstallMessageHandler([](QtMsgType t, const QMessageLogContext &c, const QString &m) {
            if (t == QtDebugMsg &&
                (m.contains(QLatin1String("rror")) || m.contains(QLatin1String(":/"))))
                complaints().append(m);
            previous()(t, c, m);
        });
}
FlatPictures::~FlatPictures()
{
    qInstallMessageHandler(previous());
    if (ok)
        swap(flatFile(), real());
}

QtMessageHandler &FlatPictures::previous()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}
QStringList &FlatPictures::complaints()
{
    static QStringList list;
    return list;
}

QString FlatPictures::at(const QImage &screen, QPoint p, int dim)
{
    const QRgb px = screen.pixel(p);
    const auto near = [&](int a, int b) { return qAbs(a * (255 - dim) / 255 - b) <= 2; };
    for (auto it = colours().cbegin(); it != colours().cend(); ++it)
        if (near(qRed(it.value()), qRed(px)) && near(qGreen(it.value()), qGreen(px)) &&
            near(qBlue(it.value()), qBlue(px)))
            return it.key();
    return QColor(px).name();
}

void FlatPictures::table(const QList<Row> &rows)
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("shows");
    for (const auto &[screen, at, shows] : rows)
        QTest::addRow("%d@%d,%d", screen, at.x(), at.y()) << screen << at << shows;
}

FlatPictures::Expected FlatPictures::row()
{
    QFETCH(int, screen);
    QFETCH(QPoint, at);
    QFETCH(QString, shows);
    return {screen, at, shows};
}

void FlatPictures::reload(Game_Base &game)
{
    game.releaseResources();
    game.createResources();
    game.initGame();
}

bool FlatPictures::shows(const QImage &screen, QPoint p, const QString &picture)
{
    if (picture.contains(QLatin1Char('&'))) {
        const QRgb a = colour(picture.section(QLatin1Char('&'), 0, 0)),
                   b = colour(picture.section(QLatin1Char('&'), 1)), px = screen.pixel(p);
        const auto half = [](int x, int y, int z) { return qAbs((x + y) / 2 - z) <= 3; };
        if (half(qRed(a), qRed(b), qRed(px)) && half(qGreen(a), qGreen(b), qGreen(px)) &&
            half(qBlue(a), qBlue(b), qBlue(px)))
            return true;
        qWarning().noquote() << "found" << QColor(px).name() << "instead of" << picture;
        return false;
    }
    const QString name = picture.section(QLatin1Char('@'), 0, 0);
    const QString found = at(screen, p, picture.section(QLatin1Char('@'), 1).toInt());
    if (!complaints().isEmpty()) {
        qWarning().noquote() << "reported missing:" << complaints().join(QLatin1Char(' '));
        complaints().clear();
        return false;
    }
    const bool match = QRegularExpression(QLatin1Char('^') + name).match(found).hasMatch();
    if (!match)
        qWarning().noquote() << "found" << found << "instead of" << picture;
    return match;
}

QList<FlatPictures::DrawnText>
FlatPictures::drawnTexts(const std::function<void(QPainter &)> &paint, const QColor &pen)
{
    struct Engine : QPaintEngine {
        Engine() : QPaintEngine(AllFeatures) {}
        QList<DrawnText> seen;
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawTextItem(const QPointF &p, const QTextItem &t) override
        {
            seen << DrawnText{painter()->combinedTransform(), p, t.font(), t.text(),
                              painter()->pen().color()};
        }
        void drawImage(const QRectF &, const QImage &, const QRectF &,
                       Qt::ImageConversionFlags) override
        {
        }
        void drawPath(const QPainterPath &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawPolygon(const QPoint *, int, PolygonDrawMode) override {}
        void drawRects(const QRectF *, int) override {}
        void drawRects(const QRect *, int) override {}
        Type type() const override { return User; }
    };
    struct Device : QPaintDevice {
        Engine engine;
        QPaintEngine *paintEngine() const override { return const_cast<Engine *>(&engine); }
        int metric(PaintDeviceMetric m) const override
        {
            return m == PdmWidth    ? 1024
                   : m == PdmHeight ? 576
                   : m == PdmDepth  ? 32
                   : m == PdmDpiX || m == PdmDpiY || m == PdmPhysicalDpiX || m == PdmPhysicalDpiY
                       ? 96
                   : m == PdmDevicePixelRatioScaled ? 65536
                                                    : 1;
        }
    } device;
    QPainter painter(&device);
    painter.setPen(pen);
    paint(painter);
    painter.end();
    return device.engine.seen;
}

int FlatPictures::draw(unsigned int seed, int n)
{
    while (n--)
        seed = seed * 214013u + 2531011u;
    return int((seed >> 16) & 0x7fff);
}

QString FlatPictures::real()
{
    return QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc");
}
bool FlatPictures::swap(const QString &out, const QString &in)
{
    if (in.isEmpty())
        return false;
    QResource::unregisterResource(out);
    return QResource::registerResource(in);
}
QHash<QString, QRgb> &FlatPictures::colours()
{
    static QHash<QString, QRgb> map;
    return map;
}
// Reads the contract, paints the pictures, and packs them once per run.
QString FlatPictures::flatFile()
{
    static QTemporaryDir dir;
    static const QString packed = [] {
        QFile contract(QStringLiteral(TOVIRA_ART_CONTRACT));
        if (!dir.isValid() || !contract.open(QIODevice::ReadOnly))
            return QString();
        QString qrc = QStringLiteral("<RCC><qresource prefix=\"/\">\n");
        QTextStream in(&contract);
        for (int n = 1; !in.atEnd(); ++n) {
            const QStringList f = in.readLine().simplified().split(QLatin1Char(' '));
            if (f.size() < 2 || f[0].startsWith(QLatin1Char('#')))
                continue;
            const QStringList wh = f[1].split(QLatin1Char('x'));
            // Spread over the cube so no two pictures are near in colour.
            const quint32 h = quint32(n) * 2654435761u;
            const QRgb c = qRgb(h >> 24, (h >> 16) & 0xff, (h >> 8) & 0xff);
            colours().insert(f[0], c);
            QImage img(wh.value(0).toInt(), wh.value(1).toInt(), QImage::Format_ARGB32);
            img.fill(c);
            if (f[0].endsWith(QLatin1String("/FG")) || f[0].endsWith(QLatin1String("/BG02"))) {
                QPainter p(&img);
                p.setCompositionMode(QPainter::CompositionMode_Source);
                p.fillRect(img.rect().adjusted(16, 16, -16, -16), Qt::transparent);
                // The outermost ring is open too: there the picture under the overlay shows, and
                // one drawn a pixel off leaves its edge bare.
                p.setPen(Qt::transparent);
                p.drawRect(img.rect().adjusted(0, 0, -1, -1));
            }
            const QString file = QString(f[0]).replace(QLatin1Char('/'), QLatin1Char('_'));
            img.save(dir.filePath(file + QStringLiteral(".png")));
            qrc += QStringLiteral("<file alias=\"%1\">%2.png</file>\n").arg(f[0], file);
        }
        // The game's font stays: Qt reads a font added from the resources again whenever it
        // makes the face at a new size, and would fall back to another face without it.
        qrc += QStringLiteral("<file alias=\"font/tanuki\">%1</file>\n")
                   .arg(QStringLiteral(TOVIRA_SOURCE_DIR "/assets/font/tanuki.ttf"));
        QFile out(dir.filePath(QStringLiteral("flat.qrc")));
        if (!out.open(QIODevice::WriteOnly))
            return QString();
        out.write((qrc + QStringLiteral("</qresource></RCC>\n")).toUtf8());
        out.close();
        const QString rcc = dir.filePath(QStringLiteral("flat.rcc"));
        const int rc = QProcess::execute(
            QStringLiteral(TOVIRA_RCC),
            {QStringLiteral("-binary"), out.fileName(), QStringLiteral("-o"), rcc});
        return rc == 0 ? rcc : QString();
    }();
    return packed;
}

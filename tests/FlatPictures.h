#pragma once
// Every picture of the art contract replaced by a flat colour of its own at its contract size,
// packed at test time into a resource file that the games load instead of resuorce.rcc. A screen
// painted with it says which picture shows at a point, whatever the art looks like. Overlays
// (".../FG", Shooting's BG02) keep only a 16 px frame, so what lies under them still shows.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QResource>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>
#include <memory>
#include <tuple>

class FlatPictures
{
public:
    // Puts the flat set in place of the real pictures while it lives; pictures load afresh.
    // Every picture is there, so no screen may report one missing while the set is in place.
    FlatPictures()
    {
        ok = swap(real(), flatFile());
        previous() = qInstallMessageHandler([](QtMsgType t, const QMessageLogContext &c,
                                               const QString &m) {
            if (t == QtDebugMsg && (m.contains(QLatin1String("rror")) || m.contains(QLatin1String(":/"))))
                complaints().append(m);
            previous()(t, c, m);
        });
    }
    ~FlatPictures()
    {
        qInstallMessageHandler(previous());
        if (ok)
            swap(flatFile(), real());
    }
    FlatPictures(const FlatPictures &) = delete;
    // Lifts a test case's flat set for one test that needs the real pictures (their paper,
    // their ink) and puts it back when the test ends, however it ends.
    struct Lift {
        std::unique_ptr<FlatPictures> &set;
        explicit Lift(std::unique_ptr<FlatPictures> &flat) : set(flat) { set.reset(); }
        ~Lift() { set = std::make_unique<FlatPictures>(); }
    };
    FlatPictures &operator=(const FlatPictures &) = delete;
    bool ok = false;
    static QtMessageHandler &previous()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    static QStringList &complaints()
    {
        static QStringList list;
        return list;
    }

    // The colour of a picture, by its resource path without ":/" ("img/updown/UP").
    static QRgb colour(const QString &path) { return colours().value(path); }
    // The picture whose colour is at p (under black of alpha dim, if given), or the pixel as
    // "#rrggbb" when none is.
    static QString at(const QImage &screen, QPoint p, int dim = 0)
    {
        const QRgb px = screen.pixel(p);
        const auto near = [&](int a, int b) { return qAbs(a * (255 - dim) / 255 - b) <= 2; };
        for (auto it = colours().cbegin(); it != colours().cend(); ++it)
            if (near(qRed(it.value()), qRed(px)) && near(qGreen(it.value()), qGreen(px)) &&
                near(qBlue(it.value()), qBlue(px)))
                return it.key();
        return QColor(px).name();
    }

    // A table of what shows where: the screen (0 play, 1 question, 2 result), the point, and
    // the picture (a prefix of its path) or the colour expected there.
    using Row = std::tuple<int, QPoint, QString>;
    static void table(const QList<Row> &rows)
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("shows");
        for (const auto &[screen, at, shows] : rows)
            QTest::addRow("%d@%d,%d", screen, at.x(), at.y()) << screen << at << shows;
    }
    // The picture is a pattern matched at the start of the path; "path@alpha" asks for the picture under black of that alpha, "a&b" for a drawn at half
    // opacity over b.
    static bool shows(const QImage &screen, QPoint p, const QString &picture)
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
    // The n-th draw (from 1) of the generator after seed: state * 214013 + 2531011, bits 16..30.
    static int draw(unsigned int seed, int n)
    {
        while (n--)
            seed = seed * 214013u + 2531011u;
        return int((seed >> 16) & 0x7fff);
    }
    // The texts an item draws in one paint, in order: no font needed to tell them apart.
    template <class Item> static QStringList texts(Item &item)
    {
        struct Engine : QPaintEngine {
            QStringList seen;
            bool begin(QPaintDevice *) override { return true; }
            bool end() override { return true; }
            void updateState(const QPaintEngineState &) override {}
            void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
            void drawTextItem(const QPointF &, const QTextItem &t) override { seen << t.text(); }
            void drawImage(const QRectF &, const QImage &, const QRectF &,
                           Qt::ImageConversionFlags) override {}
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
                return m == PdmWidth ? 1024 : m == PdmHeight ? 576 : m == PdmDepth ? 32
                       : m == PdmDpiX || m == PdmDpiY || m == PdmPhysicalDpiX ||
                               m == PdmPhysicalDpiY ? 96
                       : m == PdmDevicePixelRatioScaled ? 65536 : 1;
            }
        } device;
        QPainter painter(&device);
        item.paint(&painter, nullptr, nullptr);
        painter.end();
        return device.engine.seen;
    }
    // The item painted on a white page.
    template <class Item> static QImage paint(Item &item)
    {
        QImage page(1024, 576, QImage::Format_ARGB32_Premultiplied);
        page.fill(Qt::white);
        QPainter painter(&page);
        item.paint(&painter, nullptr, nullptr);
        return page;
    }

private:
    static QString real() { return QStringLiteral(TOVIRA_GAME_DIR "/resuorce.rcc"); }
    static bool swap(const QString &out, const QString &in)
    {
        if (in.isEmpty())
            return false;
        QResource::unregisterResource(out);
        return QResource::registerResource(in);
    }
    static QHash<QString, QRgb> &colours()
    {
        static QHash<QString, QRgb> map;
        return map;
    }
    // Reads the contract, paints the pictures, and packs them once per run.
    static QString flatFile()
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
            const int rc = QProcess::execute(QStringLiteral(TOVIRA_RCC),
                                             {QStringLiteral("-binary"), out.fileName(),
                                              QStringLiteral("-o"), rcc});
            return rc == 0 ? rcc : QString();
        }();
        return packed;
    }
};

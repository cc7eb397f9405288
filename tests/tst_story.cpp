// The picture stories: fade-in, page turning by real clicks, restarts, missing pages, the paint
// after the last page, the four real stories' pictures, and the scene's switch to and from them.
#include "GameHarness.h"
#include "SoundRecorder.h"
#include "TestFiles.h"
#include "app/Scene.h"
#include "base/ArchiveWords.h"
#include "launcher/Item_Lancher.h"
#include "sound/Archive.h"
#include "sound/ArchiveBuffer.h"
#include "sound/AudioSet.h"
#include "story/Adv_ED1.h"
#include "story/Adv_ED2.h"
#include "story/Adv_ED3.h"
#include "story/Adv_OP.h"

#include <QGraphicsView>
#include <QResource>
#include <QStyleOptionGraphicsItem>
#include <QtTest>

namespace
{

const QSize PageSize(320, 180);

QColor pageColour(int i)
{
    return QColor(30 + 20 * i, 200 - 15 * i, 90 + 10 * i);
}

// Writes IMG0..IMG<count-1> as solid pictures of their own colour, leaving out `missing`.
QString writePages(const QString &dir, int count, int missing = -1)
{
    for (int i = 0; i < count; ++i) {
        if (i == missing)
            continue;
        QImage img(PageSize, QImage::Format_RGB32);
        img.fill(pageColour(i));
        img.save(dir + QStringLiteral("/IMG%1").arg(i), "PNG");
    }
    return dir + QStringLiteral("/IMG");
}

// One painted frame of the item, on a background of `under` so an empty paint shows.
QImage frame(Adv_Base &story, QColor under = QColor(255, 0, 255))
{
    QImage img(story.boundingRect().size().toSize(), QImage::Format_ARGB32_Premultiplied);
    img.fill(under);
    QPainter p(&img);
    QStyleOptionGraphicsItem option;
    story.paint(&p, &option, nullptr);
    return img;
}

void paintFrames(Adv_Base &story, int n)
{
    for (int i = 0; i < n; ++i)
        frame(story);
}

// Pixels of the red "next" mark in the bottom-right fifth of a frame.
int nextMarks(const QImage &img)
{
    int n = 0;
    for (int y = img.height() * 4 / 5; y < img.height(); ++y)
        for (int x = img.width() * 4 / 5; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += c.red() > 180 && c.green() < 80 && c.blue() < 100;
        }
    return n;
}

QColor centre(const QImage &img)
{
    return img.pixelColor(img.width() / 2, img.height() / 2);
}

// A shown view on a scene whose repaints the test makes itself, so it alone decides how many
// frames a story has painted.
struct Stage {
    QGraphicsScene scene;
    QGraphicsView view;
    explicit Stage(QGraphicsScene *on = nullptr)
    {
        view.setScene(on ? on : &scene);
        view.setViewportUpdateMode(QGraphicsView::NoViewportUpdate);
        view.setFrameShape(QFrame::NoFrame);
        view.resize(1024, 576);
        view.show();
    }
    // A real press and release on the middle of item.
    void click(QGraphicsItem *item, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPointF at = item->mapToScene(item->boundingRect().center());
        QTest::mouseClick(view.viewport(), button, {}, view.mapFromScene(at));
    }
    // A quick double click at a scene point as a real mouse gives it: press, release, press,
    // double click, release.
    void doubleClick(const QPointF &at)
    {
        const QPoint p = view.mapFromScene(at);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, p);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, p);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, p);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, p);
    }
};

// Just enough of a sound archive for the three music tracks and the four extras.
bool writeMusicArchive(const QString &path)
{
    return writeSilentArchive(
        path, {"bgm/BGM_1.wav", "bgm/BGM_2.wav", "bgm/BGM_3.wav", "e3", "e4", "e5", "e6"});
}

} // namespace

class TestStory : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir pagesDir;
    QString oldCwd;

private slots:
    void initTestCase()
    {
        QVERIFY(pagesDir.isValid());
        oldCwd = QDir::currentPath();
        QVERIFY(QResource::registerResource(TOVIRA_GAME_DIR "/resuorce.rcc"));
    }
    void cleanup() { AudioSet::destroyInstance(); }
    void cleanupTestCase() { QDir::setCurrent(oldCwd); }

    void aStoryEndsAfterExactlyPageCountClicks_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("index");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("key"); // turns pages instead of clicks when set
        QTest::newRow("ten pages") << 10 << 0 << Qt::LeftButton << 0;
        QTest::newRow("seven pages, right button") << 7 << 2 << Qt::RightButton << 0;
        QTest::newRow("three pages, middle button") << 3 << 1 << Qt::MiddleButton << 0;
        QTest::newRow("Space") << 3 << 0 << Qt::LeftButton << int(Qt::Key_Space);
        QTest::newRow("Enter") << 3 << 0 << Qt::LeftButton << int(Qt::Key_Return);
        QTest::newRow("Right arrow") << 3 << 0 << Qt::LeftButton << int(Qt::Key_Right);
    }

    // The veil lifts over the first 100 frames and no click counts until it is gone; then the
    // pageCount-th click (of any button, or Space, Enter or the Right arrow) ends the story
    // with its index. Left in the scene after that, the story draws nothing and does not end
    // again. A page that can be turned shows the "next" mark; each turn to a page sounds.
    void aStoryEndsAfterExactlyPageCountClicks()
    {
        QFETCH(int, pages);
        QFETCH(int, index);
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, key);
        Stage stage;
        Adv_Base story(0, 0, {writePages(pagesDir.path(), pages), pages, index});
        stage.scene.addItem(&story);
        QSignalSpy ended(&story, &Adv_Base::playLancher);
        story.startStory();
        const auto turn = [&] {
            if (key)
                QTest::keyClick(&stage.view, Qt::Key(key));
            else
                stage.click(&story, button);
        };
        QCOMPARE(story.boundingRect(), QRectF(QPointF(0, 0), PageSize));

        QCOMPARE(centre(frame(story)), QColor(Qt::black));
        for (int i = 2; i < 99; ++i) {
            frame(story);
            turn();
        }
        QCOMPARE(nextMarks(frame(story)), 0); // the 99th
        QVERIFY(story.getFade() > 0);
        turn();
        QCOMPARE(story.getPage(), 0);
        frame(story);
        QCOMPARE(story.getFade(), 0.0);
        const std::shared_ptr<SoundRecorder> recorder = GameHarness::recordEverySound();
        QVERIFY(recorder);

        for (int i = 0; i < pages - 1; ++i) {
            const QImage shown = frame(story);
            QCOMPARE(centre(shown), pageColour(i));
            QVERIFY(nextMarks(shown) > 20);
            turn();
            QCOMPARE(story.getPage(), i + 1);
        }
        QVERIFY(ended.isEmpty());
        QCOMPARE(recorder->playCount(AudioSet::memberOf(AudioSet::Effect::PageTurned)), pages - 1);
        turn();
        QCOMPARE(ended.size(), 1);
        QCOMPARE(recorder->events().filter("play ").size(), pages - 1);
        QCOMPARE(ended.at(0).at(0).toInt(), index);

        QCOMPARE(centre(frame(story, Qt::magenta)), QColor(Qt::magenta));
        stage.click(&story);
        QCOMPARE(ended.size(), 1);
    }

    // A second showing starts over at page 0 behind a fresh veil.
    void aSecondStartShowsPageZeroWithAFreshFade()
    {
        Stage stage;
        Adv_Base story(0, 0, {writePages(pagesDir.path(), 3), 3, 0});
        stage.scene.addItem(&story);
        QSignalSpy ended(&story, &Adv_Base::playLancher);
        story.startStory();
        paintFrames(story, 101);
        for (int i = 0; i < 3; ++i)
            stage.click(&story);
        QCOMPARE(ended.size(), 1);

        story.stopStory();
        QVERIFY(!story.isStarted());
        story.startStory();
        QCOMPARE(story.getPage(), 0);
        QCOMPARE(story.getFade(), 1.0);
        QCOMPARE(centre(frame(story)), QColor(Qt::black));
        stage.click(&story);
        QCOMPARE(story.getPage(), 0);
        QCOMPARE(ended.size(), 1);
    }

    void aMissingPageStillTakesItsClick_data()
    {
        QTest::addColumn<int>("missing");
        QTest::newRow("a middle page") << 2;
        QTest::newRow("the first page") << 0;
    }

    // A page that cannot be loaded is reported, shows as nothing and still needs its click;
    // without a first page the story keeps a full-size area, so it can still be clicked away.
    void aMissingPageStillTakesItsClick()
    {
        QFETCH(int, missing);
        QTemporaryDir dir;
        const QString prefix = writePages(dir.path(), 4, missing);
        Stage stage;
        Adv_Base story(0, 0, {prefix, 4, 3});
        stage.scene.addItem(&story);
        QSignalSpy ended(&story, &Adv_Base::playLancher);
        const QByteArray message =
            "ImageReadError: \"" + prefix.toUtf8() + QByteArray::number(missing) + '"';
        QTest::ignoreMessage(QtDebugMsg, message.constData());
        story.startStory();
        QVERIFY(story.pageImage(missing).isNull());
        if (missing == 0)
            QCOMPARE(story.boundingRect(),
                     QRectF(0, 0, Adv_Base::FallbackWidth, Adv_Base::FallbackHeight));
        paintFrames(story, 101);

        for (int i = 0; i < 4; ++i) {
            QCOMPARE(story.getPage(), i);
            if (i == missing)
                QCOMPARE(centre(frame(story, Qt::magenta)), QColor(Qt::magenta));
            stage.click(&story);
        }
        QCOMPARE(ended.size(), 1);
    }

    void theRealStoriesHaveAllTheirPages_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("pages");
        QTest::newRow("opening") << 0 << 10;
        QTest::newRow("first ending") << 1 << 7;
        QTest::newRow("second ending") << 2 << 7;
        QTest::newRow("last ending") << 3 << 10;
    }

    // Every page of the four stories is in the resource file at the view's size, and no two
    // pages of a story are the same picture.
    void theRealStoriesHaveAllTheirPages()
    {
        QFETCH(int, index);
        QFETCH(int, pages);
        Adv_OP op(0, 0);
        Adv_ED1 ed1(0, 0);
        Adv_ED2 ed2(0, 0);
        Adv_ED3 ed3(0, 0);
        Adv_Base *story = QList<Adv_Base *>{&op, &ed1, &ed2, &ed3}.at(index);
        QCOMPARE(story->getPageCount(), pages);
        QCOMPARE(story->pos(), QPointF(-2, -2));
        QVERIFY(!(story->flags() & QGraphicsItem::ItemIsMovable));
        story->startStory();
        QCOMPARE(story->boundingRect(), QRectF(0, 0, 1024, 576));
        QSet<size_t> seen;
        for (int i = 0; i < pages; ++i) {
            const QImage page = story->pageImage(i);
            QCOMPARE(page.size(), QSize(1024, 576));
            seen.insert(qHashBits(page.constBits(), size_t(page.sizeInBytes())));
        }
        QCOMPARE(seen.size(), pages);
    }

    // QtSvg draws nothing where a page names an element that does not exist, so a renamed cast
    // member would silently vanish from the stories.
    void everyStoryPageNamesExistingElements()
    {
        const QString art = QStringLiteral(TOVIRA_SOURCE_DIR "/assets/art/");
        static const QRegularExpression idRe("\\bid=\"([^\"]+)\"");
        static const QRegularExpression refRe("(?:href=\"#|url\\(#)([^\")]+)");
        auto read = [](const QString &path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };
        QSet<QString> ids;
        QStringList sources = QDir(art + "shared").entryList({"*.svg"});
        for (QString &name : sources)
            name = art + "shared/" + name;
        sources << art + "story/props.svg";
        for (const QString &path : sources)
            for (const auto &m : idRe.globalMatch(read(path)))
                ids.insert(m.captured(1));
        const QStringList pages = QDir(art + "story").entryList({"*.svg"});
        QCOMPARE(pages.size(), 10 + 7 + 7 + 10 + 1);
        QStringList missing;
        for (const QString &page : pages)
            for (const auto &m : refRe.globalMatch(read(art + "story/" + page)))
                if (!ids.contains(m.captured(1)))
                    missing << page + ": " + m.captured(1);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
    }

    // The scene swaps the launcher for the opening with the story music, and after the last
    // click brings the launcher back with the menu music without rewriting the score file.
    void theSceneSwitchesToAStoryAndBackWithoutTouchingTheScores()
    {
        QTemporaryDir dir;
        QVERIFY(GameHarness::loadArt());
        QVERIFY(QDir::setCurrent(dir.path()));
        QVERIFY(writeMusicArchive(dir.filePath("music.fka")));
        auto recorder = std::make_shared<SoundRecorder>();
        QVERIFY(AudioSet::createInstance(recorder, dir.filePath("music.fka")));

        {
            Scene scene(nullptr, 1024, 576);
            Stage stage(&scene);
            QFile conf(dir.filePath("tovira.conf"));
            QVERIFY(conf.exists());
            const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
            QVERIFY(conf.open(QIODevice::ReadWrite));
            QVERIFY(conf.setFileTime(old, QFileDevice::FileModificationTime));
            conf.close();

            Item_Lancher *launcher = scene.getLauncher();
            Adv_Base *opening = scene.getStory(0);
            QVERIFY(qobject_cast<Adv_OP *>(opening));
            recorder->clear();
            scene.slot_playAdv(0);
            QCOMPARE(scene.items(), QList<QGraphicsItem *>{opening});
            QVERIFY(launcher->scene() == nullptr);
            QCOMPARE(recorder->events(), (QStringList{"stop bgm1", "play bgm3"}));

            paintFrames(*opening, 101);
            for (int i = 0; i < 9; ++i) {
                QVERIFY(opening->scene() == &scene);
                stage.click(opening);
            }
            // The last page turned by a quick double click with the pointer where SameGame's
            // tile (from (400, 239)) lies on the menu: the menu comes back and nothing starts.
            stage.doubleClick(QPointF(430, 265));
            QVERIFY(opening->scene() == nullptr);
            QCOMPARE(scene.items(), QList<QGraphicsItem *>{launcher});
            QCOMPARE(recorder->events(),
                     (QStringList{"stop bgm1", "play bgm3", "stop bgm3", "play bgm1"}));
            QCOMPARE(QFileInfo(conf).lastModified(), old);

            // A second showing of another story works the same way.
            scene.slot_playAdv(3);
            QCOMPARE(scene.items(), QList<QGraphicsItem *>{scene.getStory(3)});
            scene.slot_playLancher(3);
            QCOMPARE(scene.items(), QList<QGraphicsItem *>{launcher});
        }
        AudioSet::destroyInstance();
        QDir::setCurrent(oldCwd);
    }
};

QTEST_MAIN(TestStory)
#include "tst_story.moc"

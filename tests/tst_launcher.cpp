// The launcher: entries, hover feedback on the information picture and the score board, clicks
// through real mouse events, and the endings unlocking with the total of the best scores.
#include "GameHarness.h"
#include "launcher/Item_Lancher.h"

#include "SoundRecorder.h"
#include "launcher/Lanch_SoundPanel.h"
#include "sound/AudioSet.h"
#include "sound/SoundSettings.h"

#include <QSettings>

#include <QFontDatabase>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
#include <QResource>
#include <QtTest>
#include <climits>
#include <memory>

namespace
{
QStringList messages;

void capture(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg)
        messages << text;
}

QImage picture(const QString &path)
{
    QImage image(path);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void scoresTotalling(int *table, int total)
{
    for (int i = 0; i < 10; ++i)
        table[i] = 0;
    table[0] = total / 2;
    table[8] = total - total / 2;
}
} // namespace

class TestLauncher : public QObject, GameView
{
    Q_OBJECT
private:
    QStringList missingMessages;
    std::shared_ptr<SoundRecorder> recorder;
    // The launcher stands at the scene's origin: its item points are scene points.
    Item_Lancher *launcher = nullptr;

    QImage paintFrame()
    {
        QImage frame(1020, 572, QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        QPainter painter(&frame);
        launcher->paint(&painter, nullptr, nullptr);
        return frame;
    }

private slots:
    void initTestCase()
    {
        // First without the resource file, to see every failure reported.
        QtMessageHandler old = qInstallMessageHandler(capture);
        {
            Item_Lancher bare(0, 0);
            int table[10] = {30000};
            bare.setScores(table);
            QCOMPARE(bare.gameRect(0).size(), QSizeF(0, 0));
        }
        qInstallMessageHandler(old);
        missingMessages = messages;

        QVERIFY(GameHarness::loadArt());
        QVERIFY(recorder = GameHarness::recordSounds());
    }
    void cleanupTestCase() { AudioSet::destroyInstance(); }

    void init()
    {
        QVERIFY(show());
        launcher = new Item_Lancher(0, 0);
        launcher->setWidth(1020);
        launcher->setHeight(572);
        scene->addItem(launcher);
    }
    void cleanup()
    {
        close();
        launcher = nullptr;
    }

    // The sound button lies in a free corner, over no entry, picture or board; its panel opens
    // over the information picture only. Arrows move the volumes in tenths and store them.
    void theSoundPanelLiesClearAndTakesArrows()
    {
        const QRectF button = Lanch_SoundPanel::buttonRect();
        for (int i = 0; i < Item_Lancher::GameCount; ++i)
            QVERIFY(!button.intersects(launcher->gameRect(i)));
        for (int j = 0; j < Item_Lancher::StoryCount; ++j) {
            QVERIFY(!button.intersects(launcher->storyRect(j)));
            QVERIFY(!Lanch_SoundPanel::panelRect().intersects(launcher->storyRect(j)));
        }
        QVERIFY(!button.intersects(QRectF(762, 18, 190, 132)));  // the score board
        QVERIFY(!button.intersects(QRectF(714, 156, 290, 400))); // the information picture
        QVERIFY(QRectF(0, 0, 1020, 572).contains(button));
        QVERIFY(QRectF(714, 156, 290, 400).contains(Lanch_SoundPanel::panelRect()));

        QStandardPaths::setTestModeEnabled(true);
        AudioSet *audio = AudioSet::getInstance();
        audio->setMusicVolume(1.0);
        audio->setEffectsVolume(1.0);
        moveTo(button.center());
        click(button.center());
        QVERIFY(launcher->getSoundPanel().isOpen());
        key(Qt::Key_Left);
        key(Qt::Key_Left);
        key(Qt::Key_Down);
        key(Qt::Key_Left);
        QCOMPARE(audio->musicVolume(), 0.8);
        QCOMPARE(audio->effectsVolume(), 0.9);
        QCOMPARE(QSettings(SoundSettings::filePath(), QSettings::IniFormat)
                     .value("sound/effectsVolume")
                     .toDouble(),
                 0.9);
        // A click on a track sets its volume by the place; Escape closes the panel.
        const QRectF track = Lanch_SoundPanel::trackRect(Lanch_SoundPanel::Music);
        click(QPointF(track.left() + track.width() * 0.3, track.center().y()));
        QCOMPARE(audio->musicVolume(), 0.3);
        key(Qt::Key_Escape);
        QVERIFY(!launcher->getSoundPanel().isOpen());
        audio->setMusicVolume(1.0);
        audio->setEffectsVolume(1.0);
    }

    // Every picture that fails to load is reported with its own message, in loading order.
    void missingPicturesAreReported()
    {
        QStringList expected;
        expected << "ImageReadError: \":/img/lancher/BG\"";
        for (int i = 0; i < 10; ++i)
            expected << QString("ImageReadError: \":/img/lancher/GAME%1\"").arg(i);
        expected << "ImageReadError: /img/lancher/OP"
                 << "ImageReadError: /img/lancher/ED01_0"
                 << "ImageReadError: /img/lancher/ED02_0"
                 << "ImageReadError: /img/lancher/ED03_0";
        for (int i = 0; i < 11; ++i)
            expected << QString("ImageReadError: \":/img/lancher/INFO%1\"").arg(i);
        expected << "ImageReadError: /img/lancher/SCORE"
                 << "ImageReadError: /img/lancher/ED01_1";
        QCOMPARE(missingMessages, expected);
    }

    // Entries sit in two columns of five rows and take their pictures' sizes; the launcher
    // places itself one pixel up and left.
    void entriesSitInTwoColumns()
    {
        QCOMPARE(launcher->pos(), QPointF(-1, -1));
        const int rows[5] = {157, 239, 321, 403, 485};
        for (int i = 0; i < 10; ++i) {
            const QRectF r = launcher->gameRect(i);
            QCOMPARE(r.topLeft(), QPointF(i < 5 ? 400 : 534, rows[i % 5]));
            QCOMPARE(r.size(), QSizeF(picture(QString(":/img/lancher/GAME%1").arg(i)).size()));
            QVERIFY(!r.isEmpty());
            for (int j = 0; j < i; ++j)
                QVERIFY(!r.intersects(launcher->gameRect(j)));
        }
        QCOMPARE(launcher->storyRect(0).topLeft(), QPointF(25, 340));
        QCOMPARE(launcher->storyRect(3).topLeft(), QPointF(193, 443));
        QVERIFY(!launcher->storyRect(1).isEmpty());
    }

    // Pointing at a game shows its information picture and best score; empty space keeps
    // them; a story entry shows the welcome card and an empty second line.
    void hoverFollowsThePointer()
    {
        int table[10] = {0, 0, 0, 1234567, 0, 0, 0, 0, 0, 42};
        launcher->setScores(table);
        QCOMPARE(launcher->currentInfoPicture(), picture(":/img/lancher/INFO10"));
        QCOMPARE(launcher->hoverScoreText(), QString());

        moveTo(launcher->gameRect(3).center());
        QCOMPARE(launcher->getHoverIndex(), 3);
        QCOMPARE(launcher->currentInfoPicture(), picture(":/img/lancher/INFO3"));
        QCOMPARE(launcher->hoverScoreText(), QString("1,234,567"));
        QVERIFY(AudioSet::getInstance()->isSilent());

        moveTo(QPointF(300, 60));
        QCOMPARE(launcher->getHoverIndex(), 3);
        QCOMPARE(launcher->hoverScoreText(), QString("1,234,567"));
        QVERIFY(!AudioSet::getInstance()->isSilent());

        moveTo(launcher->gameRect(9).center());
        QCOMPARE(launcher->currentInfoPicture(), picture(":/img/lancher/INFO9"));
        QCOMPARE(launcher->hoverScoreText(), QString("42"));

        moveTo(launcher->storyRect(2).center());
        QCOMPARE(launcher->getHoverIndex(), -1);
        QCOMPARE(launcher->currentInfoPicture(), picture(":/img/lancher/INFO10"));
        QCOMPARE(launcher->hoverScoreText(), QString());
        QVERIFY(AudioSet::getInstance()->isSilent());
    }

    // The information picture is painted at (714, 156): two hovers differ only inside it and
    // around the two lit entries.
    void paintedInformationPictureFollowsTheHover()
    {
        moveTo(launcher->gameRect(6).center());
        const QImage updown = paintFrame();
        moveTo(launcher->gameRect(2).center());
        const QImage typing = paintFrame();
        const QRect info(714, 156, 290, 400);
        const QRect board(782, 111, 147, 20);
        const int m = 8; // the light's reach beyond the entry
        const QRect lit6 = QRect(534, 157 + 82, 128, 76).adjusted(-m, -m, m, m),
                    lit2 = QRect(400, 157 + 2 * 82, 128, 76).adjusted(-m, -m, m, m);
        int inside = 0;
        for (int y = 0; y < 572; ++y)
            for (int x = 0; x < 1020; ++x) {
                if (updown.pixel(x, y) == typing.pixel(x, y))
                    continue;
                QVERIFY2(info.contains(x, y) || board.contains(x, y) || lit6.contains(x, y) ||
                             lit2.contains(x, y),
                         qPrintable(QString("changed at %1,%2").arg(x).arg(y)));
                inside += info.contains(x, y);
            }
        QVERIFY(inside > 5000);
    }

    // The entry under the pointer lights up, at the entry's place, and goes dark when the
    // pointer leaves it; a locked ending, which cannot be chosen, stays dark.
    void theEntryUnderThePointerLights_data()
    {
        QTest::addColumn<QRect>("entry");
        QTest::addColumn<bool>("lights");
        QTest::newRow("Setsuna") << QRect(400, 157, 128, 76) << true;
        QTest::newRow("sibling") << QRect(534, 485, 128, 76) << true;
        QTest::newRow("opening") << QRect(25, 340, 160, 95) << true;
        QTest::newRow("locked ending") << QRect(193, 443, 160, 95) << false;
    }
    void theEntryUnderThePointerLights()
    {
        QFETCH(QRect, entry);
        QFETCH(bool, lights);
        moveTo(QPointF(300, 60));
        const QImage dark = paintFrame();
        moveTo(entry.center());
        const QImage lit = paintFrame();
        const int m = 8; // the light's reach beyond the entry
        const QRect around = entry.adjusted(-m, -m, m, m);
        const QRect info(714, 18, 310, 554); // the information card and the score board
        // the mean change of grey inside the entry and on its rim, and the pixels changed
        // elsewhere
        qint64 change = 0, rim = 0, rimPixels = 0, elsewhere = 0;
        for (int y = 0; y < 572; ++y)
            for (int x = 0; x < 1020; ++x) {
                const int d = qAbs(qGray(lit.pixel(x, y)) - qGray(dark.pixel(x, y)));
                if (entry.contains(x, y)) {
                    change += d;
                } else if (around.contains(x, y)) {
                    rim += d;
                    ++rimPixels;
                } else if (!info.contains(x, y)) {
                    elsewhere += d > 0;
                }
            }
        const double inEntry = double(change) / (entry.width() * entry.height());
        qInfo("grey change %.1f inside the entry, %.1f on its rim", inEntry,
              double(rim) / rimPixels);
        QCOMPARE(elsewhere, 0);
        if (lights) {
            QVERIFY(inEntry >= 8);
            QVERIFY(double(rim) / rimPixels >= 40);
        } else {
            QCOMPARE(change + rim, 0);
        }
        moveTo(QPointF(300, 60));
        QCOMPARE(paintFrame().copy(around), dark.copy(around));
    }

    // A click on each game entry asks for that game, the sibling program's included.
    void clickingAGameEntryEmitsItsIndex()
    {
        QSignalSpy games(launcher, &Item_Lancher::signal_playGame);
        QSignalSpy stories(launcher, &Item_Lancher::signal_playAdv);
        for (int i = 0; i < 10; ++i) {
            click(launcher->gameRect(i).center());
            QCOMPARE(games.count(), i + 1);
            QCOMPARE(games.last().at(0).toInt(), i);
        }
        click(QPointF(300, 60));
        click(launcher->gameRect(4).bottomRight() + QPointF(2, 2));
        QCOMPARE(games.count(), 10);
        QCOMPARE(stories.count(), 0);
    }

    // Without a mouse: Tab walks the opening, the unlocked endings, the games row by row
    // (Setsuna, Slide, SameGame, UpDown, ...), then the sound and the language button; the
    // arrows move to the nearest entry their way;
    // the information picture follows the light and Enter or Space opens the lit entry.
    void keysWalkTheEntriesInReadingOrder()
    {
        const int scores[10] = {30000};
        launcher->setFocus();
        launcher->setScores(scores);
        QSignalSpy games(launcher, &Item_Lancher::signal_playGame);
        QSignalSpy stories(launcher, &Item_Lancher::signal_playAdv);
        // Other keys light nothing, and Alt+Enter (full screen) opens nothing.
        key(Qt::Key_F11);
        QTest::keyClick(view.get(), Qt::Key_Return, Qt::AltModifier);
        QCOMPARE(stories.count(), 0);
        key(Qt::Key_Tab);
        QTest::keyClick(view.get(), Qt::Key_Return, Qt::AltModifier);
        QCOMPARE(stories.count(), 0);
        key(Qt::Key_Return);
        QCOMPARE(stories.count(), 1);
        QCOMPARE(stories.last().at(0).toInt(), 0);
        key(Qt::Key_Tab); // the first ending, unlocked at 30,000
        key(Qt::Key_Tab); // the other two are locked: Setsuna
        QCOMPARE(launcher->getHoverIndex(), 0);
        const QList<int> order = {5, 1, 6, 2, 7, 3, 8, 4, 9};
        for (int game : order) {
            key(Qt::Key_Tab);
            QCOMPARE(launcher->getHoverIndex(), game);
        }
        // After the games the sound button, then the language button under it.
        QSignalSpy language(launcher, &Item_Lancher::signal_switchLanguage);
        key(Qt::Key_Tab);
        key(Qt::Key_Tab);
        key(Qt::Key_Return);
        QCOMPARE(language.count(), 1);
        key(Qt::Key_Tab); // round to the opening
        QCOMPARE(launcher->getHoverIndex(), -1);
        key(Qt::Key_Backtab);
        key(Qt::Key_Up); // the sound button, over the language button: Space opens its panel
        key(Qt::Key_Space);
        QVERIFY(launcher->getSoundPanel().isOpen());
        key(Qt::Key_Return);
        QVERIFY(!launcher->getSoundPanel().isOpen());
        QCOMPARE(language.count(), 1);
        key(Qt::Key_Backtab);
        QCOMPARE(launcher->getHoverIndex(), 9);
        // The arrows: up the second column, across to the first, down it.
        key(Qt::Key_Up);
        QCOMPARE(launcher->getHoverIndex(), 8);
        key(Qt::Key_Left);
        QCOMPARE(launcher->getHoverIndex(), 3);
        key(Qt::Key_Up);
        key(Qt::Key_Up);
        QCOMPARE(launcher->getHoverIndex(), 1);
        key(Qt::Key_Space);
        QCOMPARE(games.count(), 1);
        QCOMPARE(games.last().at(0).toInt(), 1);
        // Left of the games lie the stories: the light leaves the games.
        key(Qt::Key_Left);
        QCOMPARE(launcher->getHoverIndex(), -1);
        QCOMPARE(stories.count(), 1);
    }

    // At a zero total the endings show their locked pictures and ignore clicks; the opening
    // always starts.
    void endingsAreLockedAtZero()
    {
        const int zeros[10] = {};
        launcher->setScores(zeros);
        QSignalSpy stories(launcher, &Item_Lancher::signal_playAdv);
        QCOMPARE(launcher->storyPicture(0), picture(":/img/lancher/OP"));
        QCOMPARE(launcher->storyPicture(1), picture(":/img/lancher/ED01_0"));
        QCOMPARE(launcher->storyPicture(2), picture(":/img/lancher/ED02_0"));
        QCOMPARE(launcher->storyPicture(3), picture(":/img/lancher/ED03_0"));
        for (int j = 1; j < 4; ++j)
            click(launcher->storyRect(j).center());
        QCOMPARE(stories.count(), 0);
        click(launcher->storyRect(0).center());
        QCOMPARE(stories.count(), 1);
        QCOMPARE(stories.at(0).at(0).toInt(), 0);
    }

    void endingsUnlockAtTheirTotals_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("open");
        QTest::newRow("29,999") << 29999 << 0;
        QTest::newRow("30,000") << 30000 << 1;
        QTest::newRow("59,999") << 59999 << 1;
        QTest::newRow("60,000") << 60000 << 2;
        QTest::newRow("99,999") << 99999 << 2;
        QTest::newRow("100,000") << 100000 << 3;
    }

    // An ending opens exactly when the total reaches its score: picture and click agree.
    void endingsUnlockAtTheirTotals()
    {
        QFETCH(int, total);
        QFETCH(int, open);
        int table[10];
        scoresTotalling(table, total);
        launcher->setScores(table);
        QCOMPARE(launcher->getTotalScore(), qint64(total));
        QSignalSpy stories(launcher, &Item_Lancher::signal_playAdv);
        for (int j = 1; j < 4; ++j) {
            const bool unlocked = j <= open;
            QCOMPARE(launcher->isStoryUnlocked(j), unlocked);
            const QString name = QString(":/img/lancher/ED0%1_%2").arg(j).arg(unlocked ? 1 : 0);
            QCOMPARE(launcher->storyPicture(j), picture(name));
            click(launcher->storyRect(j).center());
            QCOMPARE(stories.count(), open >= j ? j : open);
        }
    }

    // Best scores near the int maximum from a hand-edited file add up without wrapping.
    void totalDoesNotWrap()
    {
        int table[10];
        for (int &v : table)
            v = INT_MAX;
        launcher->setScores(table);
        QCOMPARE(launcher->getTotalScore(), 10 * qint64(INT_MAX));
        for (int j = 0; j < 4; ++j)
            QVERIFY(launcher->isStoryUnlocked(j));
        table[0] = INT_MAX;
        table[1] = 1;
        for (int i = 2; i < 10; ++i)
            table[i] = 0;
        launcher->setScores(table);
        QCOMPARE(launcher->getTotalScore(), qint64(INT_MAX) + 1);
        QVERIFY(launcher->isStoryUnlocked(3));
    }

    // Story indexes outside 0..3 never start a story.
    void unknownStoryIndexesDoNothing()
    {
        int table[10];
        scoresTotalling(table, 100000);
        launcher->setScores(table);
        QSignalSpy stories(launcher, &Item_Lancher::signal_playAdv);
        launcher->slot_playAdv(-1);
        launcher->slot_playAdv(4);
        QCOMPARE(stories.count(), 0);
        launcher->slot_playAdv(3);
        QCOMPARE(stories.count(), 1);
    }
};

QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"

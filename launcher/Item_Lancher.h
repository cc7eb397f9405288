#pragma once
// The main menu: ten game entries in two columns, four story entries, an information picture
// that follows the pointer and a score board with the total of the best scores and the best
// score of the entry under the pointer. The endings unlock at totals of 30000, 60000, 100000.
// A sound button in the corner beside the board opens the music and effects volume sliders; the
// language button under it asks for the other language.
#include "launcher/Lanch_Base.h"
#include "launcher/Lanch_SoundPanel.h"

#include <QFont>
#include <QImage>
#include <QRectF>
#include <QVector>

class Item_Lancher : public Lanch_Base
{
    Q_OBJECT
public:
    static constexpr int GameCount = 10;
    static constexpr int StoryCount = 4;
    static constexpr int InfoCount = 11;
    static constexpr int NoGameInfo = 10;

    Item_Lancher(int x, int y);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    QRectF opaqueRect() const override;

    // Takes a copy of the ten best scores, sums them and unlocks the endings the total reaches.
    void setScores(const int *table);
    // Loads every picture again: from the double-size set once the screen shows the game
    // enlarged, in the default locale's language after a switch.
    void reloadPictures();

    // Total needed to open story entry index (0 for the opening).
    static qint64 unlockScore(int index);
    bool isStoryUnlocked(int index) const;

    // Entry rectangles in item coordinates, sized by their pictures (empty when one is missing).
    QRectF gameRect(int index) const;
    QRectF storyRect(int index) const;

    qint64 getTotalScore() const { return totalScore; }
    int getHoverIndex() const { return hoverIndex; }
    // The information picture now shown and the text of the board's second line.
    const QImage &currentInfoPicture() const;
    QString hoverScoreText() const;
    const QImage &storyPicture(int index) const { return storyPictures[index]; }
    const Lanch_SoundPanel &getSoundPanel() const { return soundPanel; }

signals:
    void signal_playGame(int index);
    void signal_playAdv(int index);
    // The language button was chosen, by the pointer or the keys.
    void signal_switchLanguage();

public slots:
    void slot_playGame(int index);
    void slot_playAdv(int index);

protected:
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    // The second click of a double click whose first click closed a story (or landed anywhere
    // but on an entry) opens nothing: an entry opens on the first click of a double click.
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;
    // The arrows, Tab and Shift+Tab light the entries as the pointer does (the information
    // picture follows); Enter or Space opens the lit one.
    // While the sound panel is open, its own keys go to it first.
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    // The entries the keys move over, in reading order: the four stories (a locked one empty),
    // the games row by row, then the sound and the language button.
    QVector<QRectF> keyEntries() const;
    int litEntry() const;
    void lightEntry(int entry);
    void openEntry(int entry);
    // Decodes one more information picture, and asks to be called again while any is left.
    void decodeNextInfoPicture();
    void loadPictures();
    void loadStoryPicture(int index, bool unlocked);
    // The entry under p: 0..9 a game, 10..13 a story, -1 none.
    int entryAt(const QPointF &p) const;
    // The corner button under p: SoundButton, LanguageButton or -1.
    static int buttonAt(const QPointF &p);

    QImage background;
    QImage gamePictures[GameCount];
    QImage storyPictures[StoryCount];
    // Shown on hover only (but the no-game one): decoded one at a time once the first frame is
    // painted, or at their first showing if that comes sooner.
    mutable QImage infoPictures[InfoCount];
    mutable bool infoDecoded[InfoCount] = {};
    bool infoDecodingStarted = false;
    QImage scorePicture;
    int scores[GameCount] = {};
    // 64 bits: ten best scores from a hand-edited file may each be near the int maximum.
    qint64 totalScore = 0;
    int hoverIndex = -1;
    // The entry (as entryAt tells) the pointer was last over, so each new one sounds once.
    int pointedEntry = -1;
    bool doubleClicked = false;
    // The entry under the pointer right now, lit; -1 for none. hoverIndex outlives the pointer.
    int pointedGame = -1;
    int pointedStory = -1;
    enum { SoundButton, LanguageButton, ButtonCount };
    int pointedButton = -1;
    Lanch_SoundPanel soundPanel;
    QFont font;
};

#pragma once
// The stage of the whole program: owns every screen and the best-score table, paints the common
// background and switches screens when one asks for it. Exactly one screen is shown at a time.
#include <QGraphicsScene>
#include <QImage>

class ScoreFile;

class Scene : public QGraphicsScene
{
    Q_OBJECT
public:
    static constexpr int ScoreCount = 10;
    static constexpr int SiblingIndex = 9;

    Scene(QObject *parent, int width, int height);
    ~Scene() override;

    void readScores();
    void writeScores();
    void loadScores();

    const int *getScores() const { return scores; }

public slots:
    void slot_playGame(int index);
    void slot_playAdv(int index);
    void slot_playLancher(int index, int score);
    void slot_playLancher(int index);

protected:
    void drawBackground(QPainter *painter, const QRectF &rect) override;

private:
    void startSibling();

    QString *configPath = nullptr;
    QImage *background = nullptr;
    int scores[ScoreCount] = {};
};

#pragma once
// A small game for the tests: it follows the frame's life cycle the way the real games do
// (a 1 ms frame timer, Escape pauses, the base handles the question and the result screen) and
// counts every life-cycle call.
#include "games/frame/Game_Base.h"
#include "games/frame/Game_Score.h"

#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStringList>
#include <QTimer>

class TestGame : public Game_Base
{
public:
    explicit TestGame(const QString &name = QStringLiteral("Janken"))
    {
        setName(name);
        setPos(-2, -2);
    }
    ~TestGame() override { TestGame::releaseResources(); }

    void releaseResources() override
    {
        calls << "release";
        delete frameTimer;
        frameTimer = nullptr;
    }
    void createResources() override
    {
        calls << "create";
        frameTimer = new QTimer(this);
    }
    void initGame() override
    {
        calls << "init";
        setWidth(1020);
        setHeight(572);
        resultShown = false;
        setQuestionShown(false);
        setFocus();
        connect(frameTimer, &QTimer::timeout, this, &TestGame::slot_update, Qt::UniqueConnection);
        frameTimer->start(1);
    }
    void retryGame() override
    {
        calls << "retry";
        getScore()->resetScore();
        initGame();
    }
    void pauseGame() override
    {
        calls << "pause";
        frameTimer->stop();
        setQuestionShown(true);
    }
    void resumeGame() override
    {
        calls << "resume";
        frameTimer->start(1);
        setQuestionShown(false);
    }
    void exitGame() override
    {
        calls << "exit";
        emit endGame(getName(), qMax(getScore()->getBest(), getScore()->getScore()));
    }

    void showResult() { resultShown = true; }
    int count(const QString &call) const { return calls.count(call); }

    bool isPlaying() const override { return !resultShown; }
    void paintGame(QPainter *painter) override
    {
        if (resultShown) {
            painter->fillRect(boundingRect(), Qt::black);
            drawDialog(painter, QStringLiteral("終了！"), QStringLiteral("もう一度"),
                       QStringLiteral("メニューに戻る"));
        }
    }

    QStringList calls;
    QTimer *frameTimer = nullptr;
    bool resultShown = false;

protected:
    void keyReleaseEvent(QKeyEvent *event) override
    {
        if (isQuestionShown() || resultShown) {
            Game_Base::keyReleaseEvent(event);
            return;
        }
        if (event->key() == Qt::Key_Escape)
            pauseGame();
    }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override
    {
        if (isQuestionShown()) {
            Game_Base::mouseReleaseEvent(event);
        } else if (resultShown) {
            if (isHoverLeft())
                retryGame();
            else if (isHoverRight())
                exitGame();
        }
    }
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override
    {
        if (isQuestionShown() || resultShown)
            Game_Base::hoverMoveEvent(event);
    }
};

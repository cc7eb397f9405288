#pragma once
// The rules of the shooting gallery without painting: the live targets and popups, shots and
// their effect on score, combo and clock, the spawn roll and the countdown clock that follows
// the monotonic clock. The game item draws what this holds, once per painted frame.
#include <QList>
#include <QPoint>
#include <QString>
#include <QTime>
#include <functional>

class Game_Score;
class Game_Shooting_Target;
class Game_Shooting_Bonus;
class Game_Shooting_Combo;

class Game_Shooting_Gallery
{
public:
    static constexpr int GoodPoints = 100;
    static constexpr int SpawnOdds = 50;

    explicit Game_Shooting_Gallery(Game_Score *score);
    ~Game_Shooting_Gallery();

    Game_Shooting_Gallery(const Game_Shooting_Gallery &) = delete;
    Game_Shooting_Gallery &operator=(const Game_Shooting_Gallery &) = delete;

    // A new play: 50 seconds, no combo, clock read from now. Live objects go on fading out.
    void reset(qint64 now);
    // Deletes every live target and popup.
    void clearAll();

    // A mouse press at p (scene position rounded to whole pixels).
    void shoot(const QPoint &p);
    // One play frame's spawn roll: a new target one time in fifty.
    void rollSpawn();
    // A target at a random place (x 100..799, y 100..199).
    void spawnTarget();

    // Subtracts the time since the last play frame on the monotonic clock (now in milliseconds);
    // false once the clock has run out.
    bool advanceClock(qint64 now);
    bool isTimeUp() const { return timeUp; }
    // "mm:ss:zz", the time left down to hundredths.
    QString clockText() const;
    QTime getRemaining() const { return remaining; }
    void setRemaining(const QTime &value) { remaining = value; }

    int getComboCount() const { return comboCount; }
    const QList<Game_Shooting_Target *> &getTargets() const { return targets; }
    const QList<Game_Shooting_Bonus *> &getBonuses() const { return bonuses; }
    const QList<Game_Shooting_Combo *> &getCombos() const { return combos; }
    // Takes a target made elsewhere (tests place targets where they need them).
    void addTarget(Game_Shooting_Target *target) { targets.append(target); }

    // One frame of a list: for each object its opacity and position (which moves it), then the
    // object is removed once it has faded out. The visitor draws.
    template <typename T>
    using Visitor = std::function<void(T &object, double opacity, const QPoint &position)>;
    void stepTargets(const Visitor<Game_Shooting_Target> &visit);
    void stepBonuses(const Visitor<Game_Shooting_Bonus> &visit);
    void stepCombos(const Visitor<Game_Shooting_Combo> &visit);

private:
    void addBonus(const QPoint &point, bool plus);
    void addCombo(const QPoint &point);
    void clearCombos();

    Game_Score *score;
    QTime remaining{0, 1, 0, 0};
    qint64 lastTick = 0;
    bool shotTaken = false;
    bool timeUp = false;
    int comboCount = 0;
    QList<Game_Shooting_Target *> targets;
    QList<Game_Shooting_Bonus *> bonuses;
    QList<Game_Shooting_Combo *> combos;
};

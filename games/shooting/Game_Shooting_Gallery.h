#pragma once
// The rules of the shooting gallery without painting: the live targets and popups, shots and
// their effect on score, combo and clock, the spawn roll and the countdown clock that follows
// the monotonic clock. The game item draws what this holds, once per painted frame.
#include "base/Game_Countdown.h"
#include "games/shooting/Game_Shooting_Bonus.h"
#include "games/shooting/Game_Shooting_Combo.h"
#include "games/shooting/Game_Shooting_Target.h"

#include <QPoint>
#include <QString>
#include <QTime>
#include <functional>
#include <memory>
#include <vector>

class Game_Score;

class Game_Shooting_Gallery
{
public:
    // Live objects, oldest first.
    template <typename T> using List = std::vector<std::unique_ptr<T>>;

    explicit Game_Shooting_Gallery(Game_Score *record);

    // A new play: 50 seconds, no combo, clock read from now. Live objects go on fading out.
    void reset(qint64 now);
    // Deletes every live target and popup.
    void clearAll();

    // What a shot did.
    enum class Shot { None, Missed, Hit, Bonus, Bad };
    // A mouse press at p (scene position rounded to whole pixels); None once the time is up.
    Shot shoot(const QPoint &p);
    // One play frame's spawn roll: a new target one time in fifty.
    void rollSpawn();
    // A target at a random place (x 100..799, y 100..199).
    void spawnTarget();

    // Subtracts the time since the last play frame on the monotonic clock (now in milliseconds);
    // false once the clock has run out.
    bool advanceClock(qint64 now);
    bool isTimeUp() const { return timeUp; }
    // "mm:ss:zz", the time left down to hundredths.
    QString clockText() const { return clock.text(); }
    QTime getRemaining() const { return clock.getRemaining(); }
    void setRemaining(const QTime &value) { clock.start(value, clock.getLastTick()); }
    Game_Countdown &getCountdown() { return clock; }

    int getComboCount() const { return comboCount; }
    const List<Game_Shooting_Target> &getTargets() const { return targets; }
    const List<Game_Shooting_Bonus> &getBonuses() const { return bonuses; }
    const List<Game_Shooting_Combo> &getCombos() const { return combos; }
    // Takes a target made elsewhere (tests place targets where they need them) and returns it.
    Game_Shooting_Target *addTarget(std::unique_ptr<Game_Shooting_Target> target);

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
    // remaining (one minute until the first play starts) and lastTick
    Game_Countdown clock;
    bool shotTaken = false;
    bool timeUp = false;
    int comboCount = 0;
    List<Game_Shooting_Target> targets;
    List<Game_Shooting_Bonus> bonuses;
    List<Game_Shooting_Combo> combos;
};

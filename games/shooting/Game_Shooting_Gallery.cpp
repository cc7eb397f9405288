#include "games/shooting/Game_Shooting_Gallery.h"

#include "base/Random.h"
#include "games/frame/Game_Score.h"
#include "games/shooting/Game_Shooting_Bonus.h"
#include "games/shooting/Game_Shooting_Combo.h"
#include "games/shooting/Game_Shooting_Target.h"

#include <QPolygon>

namespace
{
template <typename T>
void stepList(QList<T *> &list, const Game_Shooting_Gallery::Visitor<T> &visit)
{
    for (int i = 0; i < list.size();) {
        T *object = list[i];
        const double opacity = object->nextOpacity();
        const QPoint position = object->takePosition();
        if (visit)
            visit(*object, opacity, position);
        if (object->nextOpacity() < 0) {
            delete object;
            list.removeAt(i);
        } else {
            ++i;
        }
    }
}
} // namespace

Game_Shooting_Gallery::Game_Shooting_Gallery(Game_Score *score) : score(score) {}

Game_Shooting_Gallery::~Game_Shooting_Gallery()
{
    clearAll();
}

void Game_Shooting_Gallery::reset(qint64 now)
{
    remaining = QTime(0, 0, 50, 0);
    shotTaken = false;
    timeUp = false;
    comboCount = 0;
    lastTick = now;
}

void Game_Shooting_Gallery::clearAll()
{
    qDeleteAll(targets);
    targets.clear();
    qDeleteAll(bonuses);
    bonuses.clear();
    qDeleteAll(combos);
    combos.clear();
    comboCount = 0;
}

void Game_Shooting_Gallery::shoot(const QPoint &p)
{
    if (timeUp)
        return;
    if (targets.isEmpty()) {
        clearCombos();
        shotTaken = false;
        return;
    }
    // Every target's polygon is asked for, so every target moves one step per shot.
    for (Game_Shooting_Target *target : targets) {
        const QPolygon polygon = target->hitPolygon();
        if (shotTaken || target->isHit() || !polygon.containsPoint(p, Qt::OddEvenFill))
            continue;
        shotTaken = true;
        target->setHit();
        if (target->isGood()) {
            if (target->bonusRect().contains(p)) {
                remaining = remaining.addSecs(1);
                addBonus(p, true);
            }
            score->setScore(score->getScore() + GoodPoints);
            addCombo(p);
        } else {
            remaining = remaining.addSecs(-5);
            addBonus(p, false);
            clearCombos();
        }
    }
    if (!shotTaken)
        clearCombos();
    shotTaken = false;
}

void Game_Shooting_Gallery::rollSpawn()
{
    if (Random::draw() % SpawnOdds == 0)
        spawnTarget();
}

void Game_Shooting_Gallery::spawnTarget()
{
    const int x = Random::draw() % 700 + 100;
    const int y = Random::draw() % 100 + 100;
    targets.append(new Game_Shooting_Target(x, y));
}

void Game_Shooting_Gallery::addBonus(const QPoint &point, bool plus)
{
    bonuses.append(new Game_Shooting_Bonus(point.x(), point.y(), plus));
}

void Game_Shooting_Gallery::addCombo(const QPoint &point)
{
    comboCount += 1;
    combos.append(new Game_Shooting_Combo(point.x(), point.y()));
}

void Game_Shooting_Gallery::clearCombos()
{
    qDeleteAll(combos);
    combos.clear();
    comboCount = 0;
}

bool Game_Shooting_Gallery::advanceClock(qint64 now)
{
    // Capped at an hour, far past any allowance, so a very long gap cannot wrap the day round.
    const qint64 elapsed = qMin<qint64>(now - lastTick, 3600 * 1000);
    if (elapsed > 0)
        remaining = remaining.addMSecs(-int(elapsed));
    // Below zero the time of day wraps to 23:59, far above any allowance.
    if (remaining.minute() > 40) {
        timeUp = true;
        return false;
    }
    lastTick = now;
    return true;
}

QString Game_Shooting_Gallery::clockText() const
{
    QString text = remaining.toString(QStringLiteral("mm:ss:zzz"));
    text.chop(1);
    return text;
}

void Game_Shooting_Gallery::stepTargets(const Visitor<Game_Shooting_Target> &visit)
{
    stepList(targets, visit);
}

void Game_Shooting_Gallery::stepBonuses(const Visitor<Game_Shooting_Bonus> &visit)
{
    stepList(bonuses, visit);
}

void Game_Shooting_Gallery::stepCombos(const Visitor<Game_Shooting_Combo> &visit)
{
    stepList(combos, visit);
}

#include "games/shooting/Game_Shooting_Gallery.h"

#include "base/Random.h"
#include "games/frame/Game_Score.h"

#include <QPolygon>

namespace
{
const int GoodPoints = 100;
// One play frame in this many, on average, brings a new target.
const int SpawnOdds = 50;

template <typename T>
void stepList(Game_Shooting_Gallery::List<T> &list, const Game_Shooting_Gallery::Visitor<T> &visit)
{
    for (auto it = list.begin(); it != list.end();) {
        T &object = **it;
        const double opacity = object.nextOpacity();
        const QPoint position = object.takePosition();
        if (visit)
            visit(object, opacity, position);
        // The next object takes the place of a faded one and is handled in the same pass.
        it = object.nextOpacity() < 0 ? list.erase(it) : it + 1;
    }
}
} // namespace

Game_Shooting_Gallery::Game_Shooting_Gallery(Game_Score *record) : score(record)
{
    clock.start(QTime(0, 1, 0, 0), 0);
}

void Game_Shooting_Gallery::reset(qint64 now)
{
    clock.start(QTime(0, 0, 50, 0), now);
    shotTaken = false;
    timeUp = false;
    comboCount = 0;
}

void Game_Shooting_Gallery::clearAll()
{
    targets.clear();
    bonuses.clear();
    combos.clear();
    comboCount = 0;
}

Game_Shooting_Target *Game_Shooting_Gallery::addTarget(std::unique_ptr<Game_Shooting_Target> target)
{
    targets.push_back(std::move(target));
    return targets.back().get();
}

Game_Shooting_Gallery::Shot Game_Shooting_Gallery::shoot(const QPoint &p)
{
    if (timeUp)
        return Shot::None;
    if (targets.empty()) {
        clearCombos();
        shotTaken = false;
        return Shot::Missed;
    }
    Shot result = Shot::Missed;
    // Every target's polygon is asked for, so every target moves one step per shot.
    for (const auto &target : targets) {
        const QPolygon polygon = target->hitPolygon();
        if (shotTaken || target->isHit() || !polygon.containsPoint(p, Qt::OddEvenFill))
            continue;
        shotTaken = true;
        target->setHit();
        if (target->isGood()) {
            result = Shot::Hit;
            if (target->bonusRect().contains(p)) {
                clock.subtract(-1000);
                addBonus(p, true);
                result = Shot::Bonus;
            }
            score->setScore(score->getScore() + GoodPoints);
            addCombo(p);
        } else {
            clock.subtract(5000);
            addBonus(p, false);
            clearCombos();
            result = Shot::Bad;
        }
    }
    if (!shotTaken)
        clearCombos();
    shotTaken = false;
    return result;
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
    targets.push_back(std::make_unique<Game_Shooting_Target>(x, y));
}

void Game_Shooting_Gallery::addBonus(const QPoint &point, bool plus)
{
    bonuses.push_back(std::make_unique<Game_Shooting_Bonus>(point.x(), point.y(), plus));
}

void Game_Shooting_Gallery::addCombo(const QPoint &point)
{
    comboCount += 1;
    combos.push_back(std::make_unique<Game_Shooting_Combo>(point.x(), point.y()));
}

void Game_Shooting_Gallery::clearCombos()
{
    combos.clear();
    comboCount = 0;
}

bool Game_Shooting_Gallery::advanceClock(qint64 now)
{
    clock.advance(now);
    // The last tick stays once time is up, as no clock is drawn.
    if (clock.isOver()) {
        timeUp = true;
        return false;
    }
    clock.setLastTick(now);
    return true;
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

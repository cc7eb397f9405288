#include "games/shooting/Game_Shooting_Pictures.h"

#include "base/Picture.h"
#include "games/shooting/Game_Shooting_Bonus.h"
#include "games/shooting/Game_Shooting_Target.h"

#include <QDebug>
#include <QHash>

namespace
{
// Target and popup pictures are decoded once and then shared by every later start.
bool loadShared(QImage &image, const QString &path)
{
    static QHash<QString, QImage> decoded;
    // The double-size set, once on, and another language's are kept apart from the pictures
    // decoded before.
    const QString key = Picture::currentSet() + path;
    auto it = decoded.constFind(key);
    if (it == decoded.constEnd()) {
        QImage fresh;
        if (!Picture::load(fresh, path)) {
            image = QImage();
            return false;
        }
        it = decoded.insert(key, fresh);
    }
    image = *it;
    return true;
}

void loadSprite(QImage &image, const char *name)
{
    const QString path = QStringLiteral(":/img/shooting/") + QLatin1String(name);
    if (!loadShared(image, path))
        qDebug().noquote() << QStringLiteral("imgReadError: ") + path.mid(1);
}
} // namespace

void Game_Shooting_Pictures::load()
{
    const QString dir = QStringLiteral(":/img/shooting/");
    Picture::load(background, dir + "BG01", dir + "BG01");
    foreground.load(dir + "BG02", dir + "BG02");
    Picture::load(crosshair, dir + "TARGET", QStringLiteral("imgReadError: /img/shooting/TARGET"));
    Picture::load(scorePicture, dir + "SCORE", QStringLiteral("imgReadError: /img/shooting/SCORE"));
    Picture::load(timerPicture, dir + "TIMER", QStringLiteral("imgReadError: /img/shooting/TIMER"));
    loadSprite(tovira[0], "TOVIRA00");
    for (int shape = 1; shape < int(tovira.size()); ++shape) {
        const QString path = dir + QStringLiteral("TOVIRA0%1").arg(shape);
        if (!loadShared(tovira[shape], path))
            qDebug() << "imgReadError:" << path;
    }
    loadSprite(kohru, "KOHRU01");
    loadSprite(kohruHit, "KOHRU00");
    loadSprite(plus, "PLUS");
    loadSprite(minus, "MINUS");
}

const QImage &Game_Shooting_Pictures::of(const Game_Shooting_Target &target) const
{
    if (!target.isGood())
        return target.isHit() ? kohruHit : kohru;
    const int shape = target.getShape();
    return tovira[target.isHit() || shape < 1 || shape > 4 ? 0 : shape];
}

const QImage &Game_Shooting_Pictures::of(const Game_Shooting_Bonus &bonus) const
{
    return bonus.isPlus() ? plus : minus;
}

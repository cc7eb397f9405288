#include "games/frame/Game_PanelPictures.h"

#include "base/Picture.h"

void Game_PanelPictures::loadPanel(const QString &folder)
{
    const QString bg = QLatin1Char(':') + folder + QStringLiteral("BG");
    Picture::load(background, bg, bg);
    load(score, folder, QStringLiteral("SCORE"));
    load(timer, folder, QStringLiteral("TIMER"));
}

bool Game_PanelPictures::load(QImage &image, const QString &folder, const QString &name)
{
    return Picture::load(image, QLatin1Char(':') + folder + name,
                         QStringLiteral("imgReadError: ") + folder + name);
}

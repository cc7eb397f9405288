#include "app/Scene.h"

#include "app/ScoreFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QProcess>

Scene::Scene(QObject *parent, int width, int height) : QGraphicsScene(parent)
{
    setSceneRect(0, 0, width - 4, height - 4);

    background = new QImage();
    background->load(QStringLiteral(":/img/BG"));
    if (background->format() != QImage::Format_ARGB32_Premultiplied && !background->isNull())
        *background = background->convertToFormat(QImage::Format_ARGB32_Premultiplied);

    configPath = new QString(tr("./tovira.conf"));
    loadScores();

    slot_playLancher(-1, 0);
}

Scene::~Scene()
{
    delete background;
    background = nullptr;
    delete configPath;
    configPath = nullptr;
}

void Scene::drawBackground(QPainter *painter, const QRectF &rect)
{
    painter->drawImage(QPointF(0, 0), *background);
    QGraphicsScene::drawBackground(painter, rect);
}

void Scene::readScores()
{
    ScoreFile(*configPath).read(scores);
}

void Scene::writeScores()
{
    ScoreFile(*configPath).write(scores);
}

void Scene::loadScores()
{
    ScoreFile(*configPath).load(scores);
}

void Scene::slot_playGame(int index)
{
    if (index == SiblingIndex) {
        startSibling();
        return;
    }
}

void Scene::startSibling()
{
    // The sibling program lives in the working directory and gets this program's path as its
    // only argument; the argument list never passes through a shell.
    const QString sibling = QDir::current().absoluteFilePath(QStringLiteral("veldranix.exe"));
    QProcess::startDetached(sibling, {QCoreApplication::applicationFilePath()},
                            QDir::currentPath());
    QCoreApplication::quit();
}

void Scene::slot_playAdv(int index)
{
    Q_UNUSED(index);
}

void Scene::slot_playLancher(int index)
{
    Q_UNUSED(index);
    update();
}

void Scene::slot_playLancher(int index, int score)
{
    if (index >= 0 && index < ScoreCount && scores[index] < score)
        scores[index] = score;
    writeScores();
    readScores();
}

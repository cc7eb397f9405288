// Figures for the picture stories: how long each story takes to start (every page decoded and
// premultiplied at once) and what one painted frame costs under the veil and without it.
// Run from the game folder (it reads ./resuorce.rcc): ../bench/bench_story [frames]
#include "story/Adv_ED1.h"
#include "story/Adv_ED2.h"
#include "story/Adv_ED3.h"
#include "story/Adv_OP.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QResource>
#include <QStyleOptionGraphicsItem>
#include <cstdio>

namespace
{
double msPerFrame(Adv_Base &story, int frames)
{
    QImage target(1024, 576, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&target);
    QStyleOptionGraphicsItem option;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < frames; ++i)
        story.paint(&painter, &option, nullptr);
    return clock.nsecsElapsed() / 1e6 / frames;
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int frames = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 300;
    if (!QResource::registerResource(QStringLiteral("resuorce.rcc"))) {
        std::fprintf(stderr, "run from the game folder: no ./resuorce.rcc\n");
        return 1;
    }
    Adv_OP op(0, 0);
    Adv_ED1 ed1(0, 0);
    Adv_ED2 ed2(0, 0);
    Adv_ED3 ed3(0, 0);
    const char *names[] = {"opening", "first ending", "second ending", "last ending"};
    Adv_Base *stories[] = {&op, &ed1, &ed2, &ed3};
    for (int i = 0; i < 4; ++i) {
        QElapsedTimer clock;
        clock.start();
        stories[i]->startStory();
        const double startMs = clock.nsecsElapsed() / 1e6;
        std::printf("%-14s start (%2d pages decoded): %7.1f ms\n", names[i],
                    stories[i]->getPageCount(), startMs);
    }
    std::printf("paint, first %d frames (veil lifting): %.3f ms per frame\n", 100,
                msPerFrame(op, 100));
    std::printf("paint, %d frames after the veil:       %.3f ms per frame\n", frames,
                msPerFrame(op, frames));
    return 0;
}

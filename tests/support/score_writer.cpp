// Rewrites a score file over and over through the game's own score file code, alternating two
// tables, until it is killed. The durability test kills it at random moments.
#include "app/ScoreFile.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: score_writer FILE\n");
        return 2;
    }
    ScoreFile file(QString::fromLocal8Bit(argv[1]));
    int a[ScoreFile::Count] = {1, 22, 333, 4444, 55555, 666666, 7777777, 88888888, 999999999, 0};
    int b[ScoreFile::Count] = {-9, 8, -7, 6, -5, 4, -3, 2, -1, 2147483647};
    // The file exists before the first kill can land, so every kill finds an old file to keep.
    if (!file.write(a))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    for (unsigned long n = 0;; ++n)
        file.write(n % 2 ? b : a);
}

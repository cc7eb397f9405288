// Rewrites a score file over and over through the game's own score file code, until it is
// killed: "score_writer FILE" replaces it with two tables in turn (the durability test kills it
// at random moments); "score_writer FILE ENTRY COUNT" saves COUNT tables whose entry ENTRY
// climbs from 1 to COUNT, each merged with the file as the game saves (two at once must end
// with both entries at COUNT).
#include "app/ScoreFile.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: score_writer FILE [ENTRY COUNT]\n");
        return 2;
    }
    ScoreFile file(QString::fromLocal8Bit(argv[1]));
    if (argc == 4) {
        const int entry = std::atoi(argv[2]), count = std::atoi(argv[3]);
        for (int n = 1; n <= count; ++n) {
            int table[ScoreFile::Count] = {};
            table[entry] = n;
            if (!file.write(table))
                return 1;
        }
        return 0;
    }
    const int a[ScoreFile::Count] = {1,      22,      333,      4444,      55555,
                                     666666, 7777777, 88888888, 999999999, 0};
    const int b[ScoreFile::Count] = {-9, 8, -7, 6, -5, 4, -3, 2, -1, 2147483647};
    const QByteArray textA = ScoreFile::format(a).toUtf8(), textB = ScoreFile::format(b).toUtf8();
    // The file exists before the first kill can land, so every kill finds an old file to keep.
    if (!file.replace(textA))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    for (unsigned long n = 0;; ++n)
        file.replace(n % 2 ? textB : textA);
}

#pragma once
// Decodes the first screen's largest pictures on a thread of its own while start-up goes on
// (icon, font, window), so that the screens find them ready when they load them. A picture is
// handed out once; what was not asked for is dropped when start-up ends.
#include <QImage>
#include <QString>
#include <QStringList>

class PicturePrefetch
{
public:
    // Starts decoding paths, in order, as Picture::load would (premultiplied, in place).
    static void start(const QStringList &paths);
    // When path was prefetched and not yet taken: waits for it, moves it into image, true (the
    // image is empty when it could not be decoded). False otherwise.
    static bool take(const QString &path, QImage &image);
    // Waits for the thread and drops the pictures nobody took.
    static void finish();
};

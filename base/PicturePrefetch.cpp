#include "base/PicturePrefetch.h"

#include <QHash>
#include <QSet>

#include <future>
#include <mutex>

namespace
{
struct Prefetched {
    std::mutex mutex;
    QStringList paths;
    std::shared_future<QHash<QString, QImage>> done;
    QSet<QString> taken; // handed out already, so not handed out twice
    bool started = false;
};

Prefetched &state()
{
    static Prefetched s;
    return s;
}
} // namespace

void PicturePrefetch::start(const QStringList &paths)
{
    Prefetched &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.started || paths.isEmpty())
        return;
    s.started = true;
    s.paths = paths;
    s.done = std::async(std::launch::async, [paths] {
                 QHash<QString, QImage> images;
                 for (const QString &path : paths) {
                     QImage image;
                     if (image.load(path) &&
                         image.format() != QImage::Format_ARGB32_Premultiplied)
                         image = std::move(image).convertToFormat(
                             QImage::Format_ARGB32_Premultiplied);
                     images.insert(path, image);
                 }
                 return images;
             }).share();
}

bool PicturePrefetch::take(const QString &path, QImage &image)
{
    Prefetched &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.started || !s.paths.contains(path) || s.taken.contains(path))
        return false;
    image = s.done.get().value(path);
    s.taken.insert(path);
    return true;
}

void PicturePrefetch::finish()
{
    Prefetched &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.started)
        return;
    s.done.wait();
    s.done = std::shared_future<QHash<QString, QImage>>();
    s.paths.clear();
}

#include "sound/SoundBytes.h"

#include <algorithm>

SoundBytes::SoundBytes(std::size_t capacity)
    : block(new unsigned char[capacity > 0 ? capacity : 1]), room(capacity)
{
}

void SoundBytes::arrived(std::size_t n)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        ready = std::min(n, room);
    }
    changed.notify_all();
}

void SoundBytes::finish(bool ok)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
        failed = !ok;
    }
    changed.notify_all();
}

std::size_t SoundBytes::waitFor(std::size_t n) const
{
    std::unique_lock<std::mutex> lock(mutex);
    n = std::min(n, room);
    changed.wait(lock, [&] { return finished || ready >= n; });
    return failed ? 0 : ready;
}

bool SoundBytes::isFinished() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return finished;
}

bool SoundBytes::isWhole() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return finished && !failed && ready == room;
}

std::size_t SoundBytes::size() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return failed ? 0 : ready;
}

#include "sound/SoundDecoder.h"

#include <new>

SoundDecoder::SoundDecoder(std::unique_ptr<Archive> source, std::vector<std::string> names,
                           std::vector<char> allowed, std::vector<std::size_t> decodeOrder)
    : archive(std::move(source)), jobs(names.size()), order(std::move(decodeOrder))
{
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        jobs[i].name = std::move(names[i]);
        jobs[i].allowed = i < allowed.size() && allowed[i];
    }
}

SoundDecoder::~SoundDecoder()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    for (std::thread &t : workers)
        t.join();
}

void SoundDecoder::start(unsigned threads, std::function<void()> onReady)
{
    ready = std::move(onReady);
    for (unsigned i = 0; i < threads; ++i)
        workers.emplace_back(&SoundDecoder::work, this);
}

void SoundDecoder::work()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        while (nextInOrder < order.size() && jobs[order[nextInOrder]].state != State::Pending)
            ++nextInOrder;
        if (nextInOrder == order.size())
            return;
        const std::size_t job = order[nextInOrder++];
        decode(job, lock);
        if (ready) {
            lock.unlock();
            ready();
            lock.lock();
        }
    }
}

// Called with the lock held; reads without it.
void SoundDecoder::decode(std::size_t job, std::unique_lock<std::mutex> &lock)
{
    Job &j = jobs[job];
    j.state = State::Running;
    const std::string name = j.name;
    const bool allowed = j.allowed;
    lock.unlock();
    std::vector<unsigned char> bytes;
    bool ok = false;
    try {
        ok = allowed && archive->read(name, &bytes);
    } catch (const std::bad_alloc &) {
        ok = false;
    }
    if (!ok)
        bytes = std::vector<unsigned char>();
    lock.lock();
    j.bytes.swap(bytes);
    j.ok = ok;
    j.state = State::Done;
    finished.notify_all();
}

bool SoundDecoder::isDone(std::size_t job) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return jobs[job].state == State::Done;
}

bool SoundDecoder::take(std::size_t job, const std::vector<unsigned char> **bytes)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (jobs[job].state == State::Pending) {
        decode(job, lock);
        if (ready) {
            lock.unlock();
            ready();
            lock.lock();
        }
    }
    finished.wait(lock, [&] { return jobs[job].state == State::Done; });
    // A finished job's bytes no longer change, so they can be read without the lock.
    *bytes = &jobs[job].bytes;
    return jobs[job].ok;
}

std::vector<unsigned char> SoundDecoder::surrender(std::size_t job)
{
    std::lock_guard<std::mutex> lock(mutex);
    return std::move(jobs[job].bytes);
}

#include "sound/SoundDecoder.h"

#include "base/Logging.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

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
    // Decoding gives way to the thread that builds and paints the window: on a busy machine the
    // first frame comes first, and the menu music needs only the front of its loop by then.
    const id_t self = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, self);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, self, std::min(19, nice + BackgroundNice));
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

// Takes the room for a job's bytes on the decoding thread and shows it to waiting callers.
class SoundDecoder::JobSink : public Archive::Sink
{
public:
    JobSink(SoundDecoder &owner, std::size_t index) : decoder(owner), job(index) {}
    unsigned char *room(std::size_t bytes) override
    {
        block = std::make_shared<SoundBytes>(bytes);
        {
            std::lock_guard<std::mutex> lock(decoder.mutex);
            decoder.jobs[job].bytes = block;
        }
        decoder.finished.notify_all();
        return block->data();
    }
    void arrived(std::size_t bytes) override { block->arrived(bytes); }

    std::shared_ptr<SoundBytes> block;

private:
    SoundDecoder &decoder;
    std::size_t job;
};

// Called with the lock held; reads without it.
void SoundDecoder::decode(std::size_t job, std::unique_lock<std::mutex> &lock)
{
    Job &j = jobs[job];
    j.state = State::Running;
    const std::string name = j.name;
    const bool allowed = j.allowed;
    lock.unlock();
    JobSink sink(*this, job);
    bool ok = false;
    try {
        ok = allowed && archive->read(name, sink);
    } catch (const std::bad_alloc &) {
        ok = false;
    }
    if (sink.block)
        sink.block->finish(ok);
    if (!ok)
        qCDebug(lcArchive).noquote() << "entry" << QString::fromStdString(name)
                                     << (allowed ? "could not be read" : "is not read here");
    lock.lock();
    if (!ok)
        j.bytes.reset();
    j.ok = ok;
    j.state = State::Done;
    finished.notify_all();
}

bool SoundDecoder::isDone(std::size_t job) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return jobs[job].state == State::Done;
}

void SoundDecoder::startIfPending(std::size_t job, std::unique_lock<std::mutex> &lock)
{
    if (jobs[job].state != State::Pending)
        return;
    decode(job, lock);
    if (ready) {
        lock.unlock();
        ready();
        lock.lock();
    }
}

std::shared_ptr<SoundBytes> SoundDecoder::take(std::size_t job, bool *ok)
{
    std::unique_lock<std::mutex> lock(mutex);
    startIfPending(job, lock);
    finished.wait(lock, [&] { return jobs[job].state == State::Done; });
    if (ok)
        *ok = jobs[job].ok;
    return jobs[job].bytes;
}

std::shared_ptr<SoundBytes> SoundDecoder::arriving(std::size_t job)
{
    std::unique_lock<std::mutex> lock(mutex);
    startIfPending(job, lock);
    finished.wait(lock, [&] { return jobs[job].state == State::Done || jobs[job].bytes; });
    return jobs[job].bytes;
}

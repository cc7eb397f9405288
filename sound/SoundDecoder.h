#pragma once
// Decodes a list of archive entries on worker threads, in a given order, while the caller goes
// on. The caller may ask for any entry at any time: it gets it at once when it is decoded,
// waits for it when a worker is on it, and decodes it itself when no worker has started it, so
// that nothing it asks for waits behind other entries. Each entry is inflated straight into a
// block of its decoded size, which a caller may take while it is still filling.
#include "sound/Archive.h"
#include "sound/SoundBytes.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SoundDecoder
{
public:
    // How much nicer the workers are than the rest of the process.
    static constexpr int BackgroundNice = 10;

    // Entry names are read from archive in order (a list of indexes into names); a name not
    // allowed fails without being read.
    SoundDecoder(std::unique_ptr<Archive> archive, std::vector<std::string> names,
                 std::vector<char> allowed, std::vector<std::size_t> order);
    // Stops the workers after the entries they are on.
    ~SoundDecoder();

    // Starts threads workers; ready() is called on the decoding thread after every entry.
    void start(unsigned threads, std::function<void()> ready);
    bool isDone(std::size_t job) const;
    // The decoded bytes of job, waiting for (or doing) its decoding first; null when its read
    // failed. *ok tells whether it succeeded.
    std::shared_ptr<SoundBytes> take(std::size_t job, bool *ok);
    // The bytes of job as soon as its decoding has begun (doing it first when no worker has
    // started it): they may still be arriving. Null when its read failed before that.
    std::shared_ptr<SoundBytes> arriving(std::size_t job);

private:
    enum class State { Pending, Running, Done };
    struct Job {
        std::string name;
        bool allowed = true;
        State state = State::Pending;
        bool ok = false;
        std::shared_ptr<SoundBytes> bytes;
    };
    class JobSink;

    void work();
    void decode(std::size_t job, std::unique_lock<std::mutex> &lock);
    void startIfPending(std::size_t job, std::unique_lock<std::mutex> &lock);

    std::unique_ptr<Archive> archive;
    std::vector<Job> jobs;
    std::vector<std::size_t> order;
    std::size_t nextInOrder = 0;
    bool stopping = false;
    std::function<void()> ready;
    mutable std::mutex mutex;
    std::condition_variable finished;
    std::vector<std::thread> workers;
};

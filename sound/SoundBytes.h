#pragma once
// A decoded sound in one block of its final size, filled from the front by a decoding thread
// while readers may already use the part that has arrived: the menu music can start on its
// first second while the rest of it is still inflating.
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>

class SoundBytes
{
public:
    // Room for capacity bytes, left uninitialised: pages that are never written are never taken
    // from the system, so a directory that overstates a size costs nothing.
    explicit SoundBytes(std::size_t capacity);

    unsigned char *data() { return block.get(); }
    const unsigned char *data() const { return block.get(); }
    std::size_t capacity() const { return room; }

    // Writer: the first n bytes are final.
    void arrived(std::size_t n);
    // Writer: decoding is over. A failed block offers no bytes from then on.
    void finish(bool ok);

    // Waits until the first n bytes (at most the capacity) have arrived or decoding is over;
    // returns how many leading bytes may be read.
    std::size_t waitFor(std::size_t n) const;
    bool isFinished() const;
    // Once finished: true when decoding succeeded and filled the whole capacity.
    bool isWhole() const;
    // The leading bytes that may be read now (none once decoding has failed).
    std::size_t size() const;

private:
    std::unique_ptr<unsigned char[]> block;
    std::size_t room;
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::size_t ready = 0;
    bool finished = false;
    bool failed = false;
};

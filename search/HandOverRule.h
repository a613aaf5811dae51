// When the files the walk has gathered are worth waking an idle scanner for.
//
// Waking a sleeping scanner and letting it sleep again costs about as much kernel time as
// opening and reading a few small files. Where folders hold one file each, batches that left
// with eight files made a search cost 1.2 to 1.5 times the CPU time of one thread. So
// a batch goes to an idle scanner early only once it holds a chunk's worth of bytes (reading
// them dwarfs the wake-up), or once its first file has waited long enough that the rows would
// seem to stall; else it leaves when full. Wake-ups are then bounded by the bytes read and by
// the time spent, never by the number of files or folders.
#pragma once

#include <chrono>
#include <cstdint>

namespace quennet {

class HandOverRule {
  public:
    using Clock = std::chrono::steady_clock;

    // The longest a gathered file waits for a batch to fill while a scanner is idle: short
    // enough that no one sees the rows stall, long enough that a slow walk does not pay a
    // wake-up for every few files (under Wine one thread takes about 0.4 ms a file, reading
    // included, on a tree of one-file folders, and each wake-up is a round trip to the server).
    static constexpr std::chrono::milliseconds kLongestGathering{20};

    // `bytesWorthAWakeUp`: the bytes a batch must hold to leave early (a scanner's chunk).
    explicit HandOverRule(std::int64_t bytesWorthAWakeUp) : bytesWorthAWakeUp_(bytesWorthAWakeUp) {}

    // A new batch's first file arrives at `now`.
    void Begin(Clock::time_point now) {
        since_ = now;
        bytes_ = 0;
    }
    // A file of `size` bytes (-1 when not known: reading it is counted as a small file) joins.
    void Add(std::int64_t size) {
        if (size > 0)
            bytes_ += size;
    }
    // Whether the batch should go to a scanner that has nothing to do.
    bool WorthAWakeUp(Clock::time_point now) const {
        return bytes_ >= bytesWorthAWakeUp_ || now - since_ >= kLongestGathering;
    }

  private:
    std::int64_t bytesWorthAWakeUp_;
    Clock::time_point since_{};
    std::int64_t bytes_ = 0;
};

} // namespace quennet

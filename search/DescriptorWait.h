// Waiting for a descriptor to come back when the process has none left, for every reader of a
// search (the pool's scanners, and the walk when it reads alone). A wait ends as soon as a
// descriptor is handed back; one closed elsewhere in the process is not told of, so the open
// is tried again now and then too. A wait that sees none come back for a while gives up, and
// until one does come back every later wait gives up at once: a process short of descriptors
// costs that while once, not once for every file it cannot open.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace quennet {

class DescriptorWait {
  public:
    // How often a waiter tries again without being told, and after how many such tries with
    // nothing handed back it gives up (about two seconds).
    static constexpr auto kRetryEvery = std::chrono::milliseconds(10);
    static constexpr unsigned kTriesBeforeGivingUp = 200;

    explicit DescriptorWait(unsigned triesBeforeGivingUp = kTriesBeforeGivingUp)
        : triesBeforeGivingUp_(triesBeforeGivingUp) {}

    // One reader's wait for one file, from just before its first open.
    struct Waiter {
        std::uint64_t Seen = 0; // descriptors handed back when it last looked
        unsigned Tries = 0;     // since one was last handed back
    };
    Waiter Begin();
    // A descriptor was closed: wakes the waiters.
    void Returned();
    // After an open refused for want of a descriptor: true when it is worth trying again (one
    // came back, or a moment passed), false once the wait is given up. The caller looks at
    // its stop request between tries.
    bool Wait(Waiter& waiter);

  private:
    const unsigned triesBeforeGivingUp_;
    std::mutex mutex_;
    std::condition_variable returned_;
    std::uint64_t handedBack_ = 0;
    bool givenUp_ = false; // since the last one handed back
};

} // namespace quennet

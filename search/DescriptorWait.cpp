#include "search/DescriptorWait.h"

namespace quennet {

DescriptorWait::Waiter DescriptorWait::Begin() {
    std::lock_guard<std::mutex> lock(mutex_);
    return Waiter{handedBack_, 0};
}

void DescriptorWait::Returned() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++handedBack_;
        givenUp_ = false;
    }
    returned_.notify_all();
}

bool DescriptorWait::Wait(Waiter& waiter) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (handedBack_ == waiter.Seen) {
        if (givenUp_)
            return false;
        // The stop request is set without a word to this wait, and so may a descriptor come
        // back from outside the search: both are looked for again after a moment.
        returned_.wait_for(lock, kRetryEvery, [&] { return handedBack_ != waiter.Seen; });
    }
    if (handedBack_ != waiter.Seen) {
        waiter.Seen = handedBack_;
        waiter.Tries = 0;
    } else if (++waiter.Tries >= triesBeforeGivingUp_) {
        givenUp_ = true;
        return false;
    }
    return true;
}

} // namespace quennet

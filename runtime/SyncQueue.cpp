#include "runtime/SyncQueue.h"

namespace quennet {

SyncQueue::SyncQueue() : event_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

bool SyncQueue::Push(const std::shared_ptr<Call>& call) {
    bool wake;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(call);
        wake = !wakePending_;
        wakePending_ = true;
    }
    if (wake)
        SetEvent(event_.get());
    return wake;
}

void SyncQueue::WaitDone(const Call& call) {
    std::unique_lock<std::mutex> lock(mutex_);
    doneSignal_.wait(lock, [&] { return call.done; });
}

bool SyncQueue::Drain(const std::function<void(const std::exception_ptr&)>& unhandled,
                      const std::function<bool()>& pause, bool* remaining) {
    bool ranAny = false;
    if (remaining)
        *remaining = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wakePending_ = false;
    }
    // One call at a time: a call may itself run a message loop (a message box) in which
    // the following calls are served.
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (calls_.empty())
                break;
            call = calls_.front();
            calls_.pop_front();
        }
        ranAny = true;
        std::exception_ptr error;
        try {
            call->run();
        } catch (...) {
            error = std::current_exception();
        }
        if (error && !call->waited)
            unhandled(error);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            call->error = error;
            call->done = true;
        }
        doneSignal_.notify_all();
        if (pause && pause()) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (remaining)
                *remaining = !calls_.empty();
            break;
        }
    }
    return ranAny;
}

} // namespace quennet

// The queue behind TApplication::Synchronize: workers push calls, the user-interface thread
// runs them. A call that someone waits for carries its exception back to the waiter.
#pragma once

#include "runtime/Handles.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace quennet {

class SyncQueue {
  public:
    struct Call {
        std::function<void()> run;
        bool waited = false;
        bool done = false;
        std::exception_ptr error;
    };

    SyncQueue();

    // Adds a call; true when the user-interface thread needs a wake-up message (none is
    // pending yet), so that a burst of calls posts one message.
    bool Push(const std::shared_ptr<Call>& call);
    // Blocks until `call` has run.
    void WaitDone(const Call& call);
    // Runs the waiting calls one by one; calls not waited for hand their exception to
    // `unhandled`. After each call, `pause` may end the run early with calls left waiting;
    // `remaining` (when given) then tells so. Whether any call ran.
    bool Drain(const std::function<void(const std::exception_ptr&)>& unhandled,
               const std::function<bool()>& pause = {}, bool* remaining = nullptr);
    HANDLE Event() const { return event_.get(); }

  private:
    std::mutex mutex_;
    std::condition_variable doneSignal_;
    std::deque<std::shared_ptr<Call>> calls_;
    bool wakePending_ = false;
    KernelHandle event_; // auto-reset, set on every push
};

} // namespace quennet

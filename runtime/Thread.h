// A worker thread. Derive, put the work in Execute, construct, then Start. Execute checks
// Terminated() where it can stop; the user-interface thread asks with Terminate() and waits
// with WaitFor(), which keeps running the worker's Synchronize calls while it waits.
//
//   class TMyThread : public TThread {
//       void Execute() override {
//           while (!Terminated()) { ...; Synchronize([&] { list.AddRow(row); }); }
//       }
//   };
//   auto worker = std::make_unique<TMyThread>();
//   worker->Start();
//   ...
//   worker->Terminate();
//   worker->WaitFor();
//
// A derived class must not be destroyed while Execute runs: Terminate and WaitFor first
// (the base destructor does so too, but then Execute may still touch the derived part).
#pragma once

#include "runtime/Handles.h"

#include <atomic>
#include <exception>
#include <functional>

namespace quennet {

class TThread {
  public:
    TThread();
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    bool Finished() const { return finished_; }
    // Waits for the end of Execute (and OnTerminate). On the user-interface thread the wait
    // keeps serving Synchronize calls, so a worker's last call on the window can run.
    void WaitFor();
    HANDLE Handle() const { return handle_.get(); }
    DWORD ThreadId() const { return threadId_; }
    // What escaped Execute, if anything.
    std::exception_ptr FatalException() const { return fatal_; }

    // Runs on the user-interface thread after Execute has returned, before the thread ends.
    std::function<void(TThread& Sender)> OnTerminate;

    // Runs `call` on the user-interface thread and waits for it; its exception comes out here.
    static void Synchronize(std::function<void()> call);
    // Runs `call` on the user-interface thread later, without waiting.
    static void Queue(std::function<void()> call);

  protected:
    virtual void Execute() = 0;

  private:
    static unsigned __stdcall ThreadMain(void* self);

    KernelHandle handle_;
    DWORD threadId_ = 0;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::exception_ptr fatal_;
};

// Waits for `handle` on the user-interface thread while running queued Synchronize calls
// and sent messages (not input: the user cannot act on the window meanwhile).
void WaitServingSynchronize(HANDLE handle);

} // namespace quennet

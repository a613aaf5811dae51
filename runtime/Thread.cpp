#include "runtime/Thread.h"

#include "runtime/Application.h"
#include "runtime/SystemError.h"

#include <process.h>

namespace quennet {

TThread::TThread() {
    Application(); // fixes the user-interface thread before any worker asks for it
}

TThread::~TThread() {
    if (handle_) {
        Terminate();
        WaitFor(); // also when Execute is over: the thread may still be on its way out
    }
}

void TThread::Start() {
    if (handle_)
        return;
    unsigned id = 0;
    handle_.reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &TThread::ThreadMain, this, 0, &id)));
    if (!handle_)
        throw ESystemError("Thread creation error");
    threadId_ = id;
}

unsigned __stdcall TThread::ThreadMain(void* self) {
    auto* thread = static_cast<TThread*>(self);
    try {
        thread->Execute();
    } catch (...) {
        thread->fatal_ = std::current_exception();
    }
    if (thread->OnTerminate) {
        try {
            Synchronize([thread] { thread->OnTerminate(*thread); });
        } catch (...) {
            if (!thread->fatal_)
                thread->fatal_ = std::current_exception();
        }
    }
    thread->finished_ = true;
    return 0;
}

void TThread::WaitFor() {
    if (!handle_)
        return;
    if (Application().IsMainThread())
        WaitServingSynchronize(handle_.get());
    else
        WaitForSingleObject(handle_.get(), INFINITE);
}

void TThread::Synchronize(std::function<void()> call) {
    Application().Synchronize(std::move(call));
}

void TThread::Queue(std::function<void()> call) {
    Application().Queue(std::move(call));
}

void WaitServingSynchronize(HANDLE handle) {
    HANDLE handles[2] = {handle, Application().SyncEvent()};
    for (;;) {
        DWORD result = MsgWaitForMultipleObjects(2, handles, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0 || result == WAIT_FAILED)
            return;
        if (result == WAIT_OBJECT_0 + 1) {
            Application().CheckSynchronize();
        } else {
            MSG message; // PeekMessage delivers the messages other threads send us
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        }
    }
}

} // namespace quennet

// The application object: its title, main form and message loop, the error box for
// exceptions that reach the loop, and calls run on the user-interface thread for workers.
//
//   int main() {
//       OleScope ole;
//       Application().SetTitle("...");
//       TForm1 form;
//       Application().Run(form);   // shows it; returns when it is closed
//   }
//
// Application() must first be called on the user-interface thread (any form, timer or
// thread does so); that thread is the one Synchronize runs calls on.
#pragma once

#include "runtime/Handles.h"
#include "runtime/SyncQueue.h"

#include <exception>
#include <functional>
#include <string>

namespace quennet {

class TForm;

class TApplication {
  public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }

    // Makes `mainForm` the main form (unless one is set), shows it and runs the loop until
    // the main form is closed or Terminate is called.
    void Run(TForm& mainForm);
    void Run();
    // Waits for one message and handles it; false when it was WM_QUIT.
    bool HandleMessage();
    // Handles every message that is waiting, without waiting for more.
    void ProcessMessages();
    // Ends Run once the message being handled returns, also when a loop of the system's
    // inside it (Wine's move and size loop) takes the quit message for itself.
    void Terminate();

    // The application's error box (caption: the title; error icon; one OK button) with the
    // exception's message. Used for every exception that escapes a handler.
    void HandleException(const std::exception_ptr& error);
    void ShowException(const std::string& message);

    bool IsMainThread() const { return GetCurrentThreadId() == mainThreadId_; }
    DWORD MainThreadId() const { return mainThreadId_; }
    // A hidden window of the runtime: wake-ups for queued calls and the timers' messages.
    HWND UtilityWindow() const { return utility_.get(); }

    // Runs `call` on the user-interface thread and waits for it; an exception thrown by
    // `call` comes out here. On the user-interface thread itself the call runs at once.
    void Synchronize(std::function<void()> call);
    // Runs `call` on the user-interface thread later, without waiting; its exceptions go to
    // the error box.
    void Queue(std::function<void()> call);
    // Runs the waiting calls (user-interface thread only); whether any ran.
    bool CheckSynchronize();
    // Signalled whenever a call is queued, for waits that must keep serving calls.
    HANDLE SyncEvent() const { return syncQueue_.Event(); }

  private:
    static LRESULT CALLBACK UtilityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool PreTranslate(MSG& message);
    // The wake-up: runs queued calls for a slice of time, then serves the waiting input and
    // painting before the rest, so a worker that keeps the queue full cannot starve them.
    void ServeQueue();
    // Translates and dispatches one message; an exception from a handler goes to the error box.
    void Dispatch(MSG& message);

    std::string title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    DWORD mainThreadId_;
    OwnedWindow utility_;
    SyncQueue syncQueue_;
};

TApplication& Application();

// Message of the utility window that asks for the queued calls to run.
constexpr UINT WM_QUENNET_SYNC = WM_APP + 0x3F0;

} // namespace quennet

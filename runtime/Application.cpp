#include "runtime/Application.h"

#include "runtime/Exception.h"
#include "runtime/Form.h"
#include "runtime/MessageBoxes.h"
#include "runtime/Timer.h"

#include <chrono>

namespace quennet {

namespace {

const char kUtilityClass[] = "QuennetRuntime";

// How long one wake-up runs queued calls while other messages wait.
constexpr auto kQueueSlice = std::chrono::milliseconds(40);

} // namespace

std::string ExceptionMessage(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return e.message();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

TApplication& Application() {
    static TApplication application;
    return application;
}

TApplication::TApplication() : mainThreadId_(GetCurrentThreadId()) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TApplication::UtilityProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kUtilityClass;
    RegisterClassExA(&wc);
    utility_.reset(CreateWindowExA(0, kUtilityClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleA(nullptr), nullptr));
}

TApplication::~TApplication() = default;

LRESULT CALLBACK TApplication::UtilityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_QUENNET_SYNC:
            Application().ServeQueue();
            return 0;
        case WM_TIMER:
            TTimer::Dispatch(wParam);
            return 0;
        default:
            break;
        }
    } catch (...) {
        Application().HandleException(std::current_exception());
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void TApplication::Run(TForm& mainForm) {
    if (!mainForm_)
        mainForm_ = &mainForm;
    mainForm.Show();
    Run();
}

void TApplication::Run() {
    terminated_ = false;
    while (!terminated_ && HandleMessage()) {
    }
    // The quit message that Terminate posted is taken if it still waits, so that it cannot
    // end a later loop.
    if (terminated_) {
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    terminated_ = false;
}

void TApplication::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

bool TApplication::PreTranslate(MSG& message) {
    TForm* form = TForm::FormOf(message.hwnd);
    return form && form->PreTranslateMessage(message);
}

void TApplication::Dispatch(MSG& message) {
    try {
        if (!PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } catch (...) {
        HandleException(std::current_exception());
    }
}

bool TApplication::HandleMessage() {
    MSG message;
    if (GetMessageA(&message, nullptr, 0, 0) <= 0)
        return false;
    Dispatch(message);
    return true;
}

void TApplication::ProcessMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // leave it for the loop
            return;
        }
        Dispatch(message);
    }
}

void TApplication::HandleException(const std::exception_ptr& error) {
    ShowException(ExceptionMessage(error));
}

void TApplication::ShowException(const std::string& message) {
    ShowMessageBox(message, title_, MB_OK | MB_ICONERROR);
}

void TApplication::Synchronize(std::function<void()> call) {
    if (IsMainThread()) {
        call();
        return;
    }
    auto queued = std::make_shared<SyncQueue::Call>();
    queued->run = std::move(call);
    queued->waited = true;
    if (syncQueue_.Push(queued))
        PostMessageA(utility_.get(), WM_QUENNET_SYNC, 0, 0);
    syncQueue_.WaitDone(*queued);
    if (queued->error)
        std::rethrow_exception(queued->error);
}

void TApplication::Queue(std::function<void()> call) {
    auto queued = std::make_shared<SyncQueue::Call>();
    queued->run = std::move(call);
    if (syncQueue_.Push(queued))
        PostMessageA(utility_.get(), WM_QUENNET_SYNC, 0, 0);
}

void TApplication::ServeQueue() {
    const auto end = std::chrono::steady_clock::now() + kQueueSlice;
    bool remaining = false;
    syncQueue_.Drain([this](const std::exception_ptr& error) { HandleException(error); },
                     [&] { return std::chrono::steady_clock::now() >= end; }, &remaining);
    if (!remaining)
        return;
    // A posted wake-up comes before input and painting, so with the queue kept full they
    // would wait for the end of the work: they are served here first.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT | PM_QS_PAINT)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // leave it for the loop
            break;
        }
        Dispatch(message);
    }
    PostMessageA(utility_.get(), WM_QUENNET_SYNC, 0, 0);
}

bool TApplication::CheckSynchronize() {
    if (!IsMainThread())
        return false;
    return syncQueue_.Drain([this](const std::exception_ptr& error) { HandleException(error); });
}

} // namespace quennet

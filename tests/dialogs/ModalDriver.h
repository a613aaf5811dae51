// Acts on a modal window from a second thread while the user-interface thread runs the
// window's own loop, as a user at the keyboard would.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <thread>

namespace quennet::test {

// The window that has the keyboard focus in `thread`.
inline HWND FocusOfThread(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Closes `window` as its close box does if it is still open after `milliseconds`, so a key
// that went nowhere fails the test instead of hanging it.
inline void CloseIfStillOpen(HWND window, int milliseconds = 2000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (IsWindowVisible(window) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (IsWindowVisible(window))
        PostMessageA(window, WM_CLOSE, 0, 0);
}

inline void PostKey(HWND window, WORD key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

// Once `window` is shown, runs `steps` with it on a thread of its own; joined on destruction.
class WhenShown {
  public:
    WhenShown(HWND window, std::function<void(HWND)> steps)
        : uiThread_(GetCurrentThreadId()), thread_([this, window, steps] {
              const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
              // Shown, and the keyboard focus inside it, as a user would wait for.
              auto ready = [&] {
                  const HWND focus = FocusOfThread(uiThread_);
                  return IsWindowVisible(window) && focus && (focus == window || IsChild(window, focus));
              };
              while (!ready() && std::chrono::steady_clock::now() < until)
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              std::this_thread::sleep_for(std::chrono::milliseconds(50));
              steps(window);
          }) {}
    ~WhenShown() { thread_.join(); }
    WhenShown(const WhenShown&) = delete;
    WhenShown& operator=(const WhenShown&) = delete;

    DWORD UiThread() const { return uiThread_; }

  private:
    DWORD uiThread_;
    std::thread thread_;
};

inline void Wait(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace quennet::test

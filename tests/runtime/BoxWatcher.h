// Finds a message box from a second thread while the user-interface thread sits in it,
// reads what it shows and presses one of its buttons.
#pragma once

#include "runtime/Application.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace quennet::test {

struct BoxSeen {
    bool found = false;
    std::string text;
    std::vector<std::string> buttons; // captions, in window order
    HICON icon = nullptr;
};

class BoxWatcher {
  public:
    // Presses the button whose caption is `press` (or the first button when empty).
    BoxWatcher(std::string caption, std::string press = "")
        : caption_(std::move(caption)), press_(std::move(press)), thread_([this] { Watch(); }) {}
    ~BoxWatcher() {
        if (thread_.joinable())
            thread_.join();
    }

    // Serves the user-interface thread's messages until the box has been seen and closed.
    const BoxSeen& Serve() {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done_ && std::chrono::steady_clock::now() < until) {
            Application().ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        thread_.join();
        return seen_;
    }

  private:
    void Watch() {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(8);
        HWND box = nullptr;
        while (!box && std::chrono::steady_clock::now() < until) {
            box = FindWindowA("#32770", caption_.c_str());
            if (!box)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (box) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50)); // let it finish its set-up
            seen_.found = true;
            char text[4096] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            seen_.text = text;
            HWND pressed = nullptr;
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                char cls[32] = "";
                GetClassNameA(child, cls, sizeof cls);
                if (lstrcmpiA(cls, "Button") == 0 && IsWindowVisible(child)) {
                    GetWindowTextA(child, text, sizeof text);
                    seen_.buttons.push_back(text);
                    if (!pressed && (press_.empty() || press_ == text))
                        pressed = child;
                } else if (lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_ICON)) {
                    seen_.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
                }
            }
            if (pressed)
                PostMessageA(pressed, BM_CLICK, 0, 0);
            else
                PostMessageA(box, WM_CLOSE, 0, 0);
            while (IsWindow(box) && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        done_ = true;
    }

    std::string caption_;
    std::string press_;
    BoxSeen seen_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// Pumps messages until `condition` holds or `ms` have passed.
template <class Condition> bool PumpUntil(Condition condition, int ms = 3000) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        Application().ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace quennet::test

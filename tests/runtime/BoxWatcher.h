// Finds a message box from a second thread while the user-interface thread sits in it,
// reads what it shows and presses one of its buttons.
#pragma once

#include "runtime/Application.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace quennet::test {

struct BoxSeen {
    bool found = false;
    std::string text;
    std::vector<std::string> buttons; // captions, in window order
    HICON icon = nullptr;
    RECT rect{}; // on the screen
    // The text's room in the box and the widest run without a space in the box's font: the
    // box wraps its text at spaces, and cuts off a run wider than the room.
    int textRoom = 0;
    int widestRun = 0;
    int textRight = 0;   // the text's right edge in the box's client area
    int clientWidth = 0; // the box's client area, which clips the text too
};

class BoxWatcher {
  public:
    // Presses the button whose caption is `press` (or the first button when empty). An
    // `answerWhen` holds the answer back, once the box is up, until it says true: for tests of
    // what goes on while the box waits. It is asked on the watching thread.
    BoxWatcher(std::string caption, std::string press = "", std::function<bool()> answerWhen = {})
        : caption_(std::move(caption)), press_(std::move(press)), answerWhen_(std::move(answerWhen)),
          thread_([this] { Watch(); }) {}
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
            while (answerWhen_ && !answerWhen_() && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            seen_.found = true;
            GetWindowRect(box, &seen_.rect);
            char text[4096] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            seen_.text = text;
            Measure(GetDlgItem(box, 0xFFFF));
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

    void Measure(HWND label) {
        RECT room{};
        GetClientRect(label, &room);
        seen_.textRoom = room.right - room.left;
        MapWindowPoints(label, GetParent(label), reinterpret_cast<POINT*>(&room), 2);
        seen_.textRight = room.right;
        RECT client{};
        GetClientRect(GetParent(label), &client);
        seen_.clientWidth = client.right;
        wchar_t wide[4096] = L"";
        GetWindowTextW(label, wide, 4096);
        HDC dc = GetDC(label);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
        for (const wchar_t* run = wide; *run;) {
            const wchar_t* end = run;
            while (*end && *end != L'\r' && *end != L'\n' && *end != L' ')
                ++end;
            SIZE size{};
            GetTextExtentPoint32W(dc, run, static_cast<int>(end - run), &size);
            seen_.widestRun = std::max(seen_.widestRun, static_cast<int>(size.cx));
            run = *end ? end + 1 : end;
        }
        SelectObject(dc, old);
        ReleaseDC(label, dc);
    }

    std::string caption_;
    std::string press_;
    std::function<bool()> answerWhen_;
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

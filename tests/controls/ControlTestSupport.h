// Helpers for the controls' Windows tests: a shown host form, a message pump, a sound log
// and rendering a control into a bitmap whose pixels can be read.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/Sounds.h"
#include "runtime/Application.h"
#include "runtime/Form.h"

namespace quennet::testing {

inline void Pump(DWORD milliseconds = 0) {
    const DWORD start = GetTickCount();
    do {
        Application().ProcessMessages();
        if (milliseconds)
            Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

// Records every sound and beep the controls ask for, in order, instead of playing it.
class SoundLog {
  public:
    SoundLog() {
        previous_ = SetControlSoundPlayer([this](ControlSound sound, int number) {
            events.push_back(sound == ControlSound::Click  ? "click"
                             : sound == ControlSound::Beep ? "beep"
                                                           : "wave" + std::to_string(number));
            if (onSound)
                onSound();
        });
    }
    ~SoundLog() { SetControlSoundPlayer(previous_); }
    SoundLog(const SoundLog&) = delete;
    SoundLog& operator=(const SoundLog&) = delete;

    std::vector<std::string> events;
    std::function<void()> onSound;

  private:
    SoundPlayer previous_;
};

class HostForm : public TForm {
  public:
    HostForm() {
        SetBounds(20, 20, 400, 300);
        SetPosition(poDesigned);
    }
};

// One shown form for the whole test program: hiding or destroying a top-level window costs
// Wine two seconds without a window manager, so tests add their controls here and remove
// them again.
inline HostForm& SharedForm() {
    static HostForm form;
    if (!form.Visible() || !form.HandleAllocated()) {
        form.Show();
        Application().ProcessMessages();
    }
    form.SetModalResult(mrNone);
    return form;
}

// A 24-bit bitmap of the given size that a control paints into; pixels read as COLORREF.
class Canvas {
  public:
    Canvas(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        old_ = SelectObject(dc_.get(), bitmap_.get());
    }
    ~Canvas() { SelectObject(dc_.get(), old_); }
    HDC dc() const { return dc_.get(); }
    COLORREF At(int x, int y) const {
        GdiFlush();
        return GetPixel(dc_.get(), x, y);
    }
    int Count(COLORREF color, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += At(x, y) == color;
        return n;
    }

  private:
    MemoryDC dc_;
    GdiBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

inline LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

// Puts the real cursor where a simulated mouse message says it is, so the runtime's
// enter/leave tracking sees the same thing.
inline void MoveCursorTo(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
}

inline void MouseMove(HWND window, int x, int y, WPARAM keys = 0) {
    MoveCursorTo(window, x, y);
    SendMessageA(window, WM_MOUSEMOVE, keys, At(x, y));
}

} // namespace quennet::testing

#include "runtime/Dpi.h"

#include "runtime/Handles.h"

namespace quennet {

namespace {

using GetDpiForWindowProc = UINT(WINAPI*)(HWND);

// Looked up at run time: older Windows and some Wine builds do not have it.
GetDpiForWindowProc GetDpiForWindowEntry() {
    static const GetDpiForWindowProc entry = [] {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        return user32 ? reinterpret_cast<GetDpiForWindowProc>(
                            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                      : nullptr;
    }();
    return entry;
}

int ScreenDpi() {
    WindowDC screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kDesignDpi;
}

} // namespace

int WindowDpi(HWND window) {
    if (window) {
        if (GetDpiForWindowProc entry = GetDpiForWindowEntry()) {
            const UINT dpi = entry(window);
            if (dpi > 0)
                return static_cast<int>(dpi);
        }
    }
    return ScreenDpi();
}

} // namespace quennet

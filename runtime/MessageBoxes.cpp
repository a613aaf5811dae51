#include "runtime/MessageBoxes.h"

#include <windows.h>

namespace quennet {

void ShowErrorBox(const std::string& text) {
    MessageBoxA(GetActiveWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

void ShowInformationBox(const std::string& text, const std::string& caption) {
    MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

namespace {

// Windows has no Yes + Cancel box. It is an OK + Cancel box whose OK button is renamed
// "&Yes" the moment the box is activated, before it is first drawn; Cancel keeps its
// meaning for Escape and the close box, which a Yes + No box would not give.
thread_local HHOOK renameHook = nullptr;

LRESULT CALLBACK RenameOkToYes(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK hook = renameHook;
    char className[16] = "";
    if (code == HCBT_ACTIVATE && GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className) &&
        lstrcmpA(className, "#32770") == 0) {
        auto box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextA(box, IDOK, "&Yes");
        UnhookWindowsHookEx(hook);
        renameHook = nullptr;
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

} // namespace

bool ConfirmYesCancel(const std::string& text, const std::string& caption) {
    renameHook = SetWindowsHookExA(WH_CBT, &RenameOkToYes, nullptr, GetCurrentThreadId());
    int answer = MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OKCANCEL | MB_ICONQUESTION);
    if (renameHook) { // the box never came up
        UnhookWindowsHookEx(renameHook);
        renameHook = nullptr;
    }
    return answer == IDOK;
}

} // namespace quennet

#include "runtime/MessageBoxes.h"

#include "runtime/Handles.h"

#include <windows.h>

namespace quennet {

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

bool IsBreakAfter(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// A run without spaces, as lines no wider than `width` pixels, joined by line breaks. A cut
// goes after the last backslash that fits, unless that would leave a short line; never
// inside a surrogate pair.
std::wstring BrokenRun(HDC dc, std::wstring run, int width) {
    std::wstring lines;
    for (;;) {
        int fit = 0;
        SIZE size{};
        GetTextExtentExPointW(dc, run.c_str(), static_cast<int>(run.size()), width, &fit, nullptr, &size);
        if (fit >= static_cast<int>(run.size()))
            return lines + run;
        size_t cut = fit > 0 ? static_cast<size_t>(fit) : 1;
        for (size_t at = cut; at > cut / 2; --at)
            if (IsBreakAfter(run[at - 1])) {
                cut = at;
                break;
            }
        if (cut < run.size() && IS_LOW_SURROGATE(run[cut]) && cut > 1)
            --cut;
        lines += run.substr(0, cut) + L"\r\n";
        run.erase(0, cut);
    }
}

// The text with every run of characters between spaces and line ends wider than the widest
// line a box on this monitor can show broken into lines.
std::wstring FittedToMonitor(const std::wstring& text, HWND owner) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor))
        return text;
    // A third of the monitor: well inside the width at which the box wraps its text itself
    // (about half the monitor), whose font may be a little wider than the one measured here.
    const int width = (monitor.rcWork.right - monitor.rcWork.left) / 3;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (width <= 0 || !SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return text;
    WindowDC dc(nullptr); // the screen's
    GdiFont font(CreateFontIndirectW(&metrics.lfMessageFont));
    if (!dc.get() || !font)
        return text;
    SelectGuard selected(dc.get(), font.get());
    std::wstring fitted;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(L" \t\r\n", start);
        if (end == std::wstring::npos)
            end = text.size();
        fitted += BrokenRun(dc.get(), text.substr(start, end - start), width);
        if (end < text.size())
            fitted += text[end];
        start = end + 1;
    }
    return fitted;
}

// Under Wine the box makes its text a few pixels narrower than the widest line it measured,
// which cuts off the end of a line it cannot wrap (the characters are lost, not moved to the
// next line): its label is widened to the widest run, the box with it, kept on its monitor.
void GiveTheLongestRunRoom(HWND box) {
    const HWND label = GetDlgItem(box, 0xFFFF);
    if (!label)
        return;
    const int length = GetWindowTextLengthW(label);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(label, &text[0], length + 1)));
    WindowDC dc(label);
    SelectGuard font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    int widest = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L" \t\r\n", start);
        if (end == std::wstring::npos)
            end = text.size();
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), text.c_str() + start, static_cast<int>(end - start), &size);
        widest = size.cx > widest ? static_cast<int>(size.cx) : widest;
        start = end + 1;
    }
    // With a little to spare: the label's own wrapping cuts a run that only just fits.
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    RECT room{};
    GetClientRect(label, &room);
    const int extra = widest + 2 * metrics.tmAveCharWidth - (room.right - room.left);
    if (extra <= 0)
        return;
    RECT place{};
    GetWindowRect(label, &place);
    SetWindowPos(label, nullptr, 0, 0, place.right - place.left + extra, place.bottom - place.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The buttons stay centred under the text.
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[16] = L"";
        GetClassNameW(child, kind, 16);
        if (lstrcmpiW(kind, L"Button") != 0)
            continue;
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&place), 2);
        SetWindowPos(child, nullptr, place.left + extra / 2, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST), &monitor);
    GetWindowRect(box, &place);
    const int width = place.right - place.left + extra;
    int left = place.left - extra / 2;
    if (left + width > monitor.rcWork.right)
        left = monitor.rcWork.right - width;
    if (left < monitor.rcWork.left)
        left = monitor.rcWork.left;
    SetWindowPos(box, nullptr, left, place.top, width, place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Set up each box the moment it is activated, before it is first drawn. Windows has no
// Yes + Cancel box: it is an OK + Cancel box whose OK button is renamed "&Yes"; Cancel keeps
// its meaning for Escape and the close box, which a Yes + No box would not give.
thread_local HHOOK boxHook = nullptr;
thread_local bool okReadsYes = false;

LRESULT CALLBACK SetUpBox(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK hook = boxHook;
    wchar_t className[16] = L"";
    if (code == HCBT_ACTIVATE && GetClassNameW(reinterpret_cast<HWND>(wParam), className, 16) &&
        lstrcmpW(className, L"#32770") == 0) {
        auto box = reinterpret_cast<HWND>(wParam);
        if (okReadsYes)
            SetDlgItemTextW(box, IDOK, L"&Yes");
        GiveTheLongestRunRoom(box);
        UnhookWindowsHookEx(hook);
        boxHook = nullptr;
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

int ShowBox(const std::string& text, const std::string& caption, unsigned type, bool yes) {
    const HWND owner = GetActiveWindow();
    okReadsYes = yes;
    boxHook = SetWindowsHookExW(WH_CBT, &SetUpBox, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxW(owner, FittedToMonitor(Wide(text), owner).c_str(), Wide(caption).c_str(), type);
    if (boxHook) { // the box never came up
        UnhookWindowsHookEx(boxHook);
        boxHook = nullptr;
    }
    return answer;
}

} // namespace

int ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) {
    return ShowBox(text, caption, type, false);
}

void ShowErrorBox(const std::string& text) {
    ShowMessageBox(text, "Error", MB_OK | MB_ICONERROR);
}

void ShowInformationBox(const std::string& text, const std::string& caption) {
    ShowMessageBox(text, caption, MB_OK | MB_ICONINFORMATION);
}

bool ConfirmYesCancel(const std::string& text, const std::string& caption) {
    return ShowBox(text, caption, MB_OKCANCEL | MB_ICONQUESTION, true) == IDOK;
}

} // namespace quennet

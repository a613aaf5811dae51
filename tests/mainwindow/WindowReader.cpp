// window-reader: reads the running main window from another process, as any other program
// could, for the tests that drive it with the real keyboard (xdotool).
//
// Usage: window-reader focus          the focused control of the window's thread: class|text
//        window-reader rows           the results list, one name|folder|size line per row
//        window-reader status PANEL   a status bar panel's text
//        window-reader rect           the window's rectangle: left top right bottom
//        window-reader visible        "yes" when the window exists and is visible
//        window-reader selected       the selected rows' names, one a line
//        window-reader selectedcount  how many rows are selected
//        window-reader focusedrow     the focused row's screen rectangle: left top right bottom
//        window-reader menu           a shown popup menu's screen position: left top, or nothing
//        window-reader lookin         the look-in box's first visible character (its index)
//                                     and text: index|text
//        window-reader namecolumn     the middle of the "Name" column's header on the screen: x y
//        window-reader box CAPTION    a shown message box's text, or nothing
//        window-reader boxrect CAPTION  its rectangle on the screen and the screen's size:
//                                     left top right bottom width height
//        window-reader sizes          the results list's "Size" column, one row a line
//        window-reader history        the entries of the combo box the focus is in, one a line
//        window-reader dropped        "yes" when the list of the combo box the focus is in is open
//        window-reader selection      the focused edit's selection: start end
//        window-reader lookincount    how many entries the look-in list has
//        window-reader matches        the results list's "Match" column, one row a line
//        window-reader matchcell ROW  that row's "Match" cell on the screen: left top right bottom
//        window-reader statuspanel N  the middle of status bar panel N on the screen: x y
//        window-reader label PREFIX   the text of the window's first label that begins with PREFIX
//        window-reader spinup N       the middle of the up arrow of the Nth spin box from the top
//                                     (0 the buffer size, 1 the minimum, 2 the maximum): x y
// Exit status 2 when the window is not found.
#include <windows.h>
#include <commctrl.h>

#include "tests/mainwindow/RemoteControls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace quennet::remote;

const char* const kCaption = "Quennet by Ketrel --- Visit www.morvane.com";

std::string WindowText(HWND window) {
    char text[4096] = "";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                        &ignored);
    return text;
}

// The focused control of the window's thread.
HWND FocusOf(HWND form) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
    return info.hwndFocus;
}

struct Found {
    HWND list = nullptr;
    HWND status = nullptr;
    HWND lookIn = nullptr;
    std::vector<HWND> spinButtons;
    std::vector<HWND> labels;
};

// Asks the list (in the program's process) for a rectangle of row `row`, `request` saying
// which, and prints it in screen coordinates: left top right bottom.
bool PrintListRect(HWND list, UINT message, int row, RECT request) {
    RemoteBuffer rect(list, sizeof(RECT));
    if (!rect.Write(&request, sizeof request))
        return false;
    SendMessageA(list, message, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(rect.Address()));
    RECT r{};
    if (!rect.Read(&r, sizeof r))
        return false;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return true;
}

BOOL CALLBACK FindControls(HWND window, LPARAM data) {
    auto& found = *reinterpret_cast<Found*>(data);
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, WC_LISTVIEWA) == 0)
        found.list = window;
    if (lstrcmpiA(cls, STATUSCLASSNAMEA) == 0)
        found.status = window;
    if (lstrcmpiA(cls, WC_COMBOBOXEXA) == 0)
        found.lookIn = window;
    if (lstrcmpiA(cls, "Static") == 0 || lstrcmpiA(cls, "TLabel") == 0)
        found.labels.push_back(window);
    if (lstrcmpiA(cls, "TTimerSpeedButton") == 0)
        found.spinButtons.push_back(window);
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    HWND form = FindWindowA(nullptr, kCaption);
    if (command == "visible") {
        std::printf("%s\n", form && IsWindowVisible(form) ? "yes" : "no");
        return 0;
    }
    if (command == "box" || command == "boxrect") {
        // Message boxes are top-level windows of the dialog class, titled with their caption.
        HWND box = argc > 2 ? FindWindowA("#32770", argv[2]) : nullptr;
        if (!box || !IsWindowVisible(box))
            return 0;
        if (command == "box") {
            std::printf("%s\n", WindowText(GetDlgItem(box, 0xFFFF)).c_str());
        } else {
            RECT r{};
            GetWindowRect(box, &r);
            std::printf("%ld %ld %ld %ld %d %d\n", r.left, r.top, r.right, r.bottom, GetSystemMetrics(SM_CXSCREEN),
                        GetSystemMetrics(SM_CYSCREEN));
        }
        return 0;
    }
    if (!form)
        return 2;
    Found found;
    EnumChildWindows(form, FindControls, reinterpret_cast<LPARAM>(&found));
    if (command == "focus") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
        char cls[64] = "";
        if (info.hwndFocus)
            GetClassNameA(info.hwndFocus, cls, sizeof cls);
        std::printf("%s|%s\n", cls, info.hwndFocus ? WindowText(info.hwndFocus).c_str() : "");
    } else if (command == "history") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
        const HWND combo = info.hwndFocus ? GetParent(info.hwndFocus) : nullptr;
        char cls[64] = "";
        if (combo)
            GetClassNameA(combo, cls, sizeof cls);
        if (lstrcmpiA(cls, "ComboBox") == 0) {
            const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
            // Asked in UTF-16: Wine hands another process only the first character of the
            // ANSI text of an entry.
            for (int i = 0; i < count; ++i) {
                wchar_t wide[1100] = L"";
                char text[3300] = "";
                if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 1100)
                    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
                WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
                std::printf("%s\n", text);
            }
        }
    } else if (command == "dropped") {
        HWND combo = FocusOf(form);
        for (char cls[64] = ""; combo; combo = GetParent(combo)) {
            GetClassNameA(combo, cls, sizeof cls);
            if (lstrcmpiA(cls, "ComboBox") == 0 || lstrcmpiA(cls, WC_COMBOBOXEXA) == 0)
                break;
        }
        std::printf("%s\n", combo && SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) ? "yes" : "no");
    } else if (command == "selection") {
        const auto selection = static_cast<DWORD>(SendMessageA(FocusOf(form), EM_GETSEL, 0, 0));
        std::printf("%u %u\n", LOWORD(selection), HIWORD(selection));
    } else if (command == "lookincount" && found.lookIn) {
        std::printf("%ld\n", static_cast<long>(SendMessageA(found.lookIn, CB_GETCOUNT, 0, 0)));
    } else if (command == "rows" && found.list) {
        const int count = static_cast<int>(SendMessageA(found.list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row)
            std::printf("%s|%s|%s\n", CellText(found.list, row, 0).c_str(), CellText(found.list, row, 1).c_str(),
                        CellText(found.list, row, 2).c_str());
    } else if (command == "status" && found.status && argc > 2) {
        std::printf("%s\n", StatusText(found.status, std::atoi(argv[2])).c_str());
    } else if (command == "statuspanel" && found.status && argc > 2) {
        RemoteBuffer rect(found.status, sizeof(RECT));
        RECT r{};
        if (!SendMessageA(found.status, SB_GETRECT, std::atoi(argv[2]), reinterpret_cast<LPARAM>(rect.Address())) ||
            !rect.Read(&r, sizeof r))
            return 1;
        MapWindowPoints(found.status, nullptr, reinterpret_cast<POINT*>(&r), 2);
        std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    } else if (command == "label" && argc > 2) {
        for (const HWND label : found.labels) {
            const std::string text = WindowText(label);
            if (text.rfind(argv[2], 0) == 0) {
                std::printf("%s\n", text.c_str());
                break;
            }
        }
    } else if (command == "selectedcount" && found.list) {
        std::printf("%ld\n", static_cast<long>(SendMessageA(found.list, LVM_GETSELECTEDCOUNT, 0, 0)));
    } else if (command == "selected" && found.list) {
        for (int row = -1;;) {
            row = static_cast<int>(SendMessageA(found.list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
            if (row < 0)
                break;
            std::printf("%s\n", CellText(found.list, row, 0).c_str());
        }
    } else if (command == "focusedrow" && found.list) {
        const int row = static_cast<int>(SendMessageA(found.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (row < 0 || !PrintListRect(found.list, LVM_GETITEMRECT, row, RECT{LVIR_LABEL, 0, 0, 0}))
            return 1;
    } else if (command == "menu") {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu && IsWindowVisible(menu)) {
            RECT r{};
            GetWindowRect(menu, &r);
            std::printf("%ld %ld\n", r.left, r.top);
        }
    } else if (command == "lookin" && found.lookIn) {
        // A single-line edit answers with the index of its first visible character.
        const auto edit = reinterpret_cast<HWND>(SendMessageA(found.lookIn, CBEM_GETEDITCONTROL, 0, 0));
        std::printf("%ld|%s\n", static_cast<long>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0)),
                    WindowText(edit).c_str());
    } else if (command == "namecolumn" && found.list) {
        const auto header = reinterpret_cast<HWND>(SendMessageA(found.list, LVM_GETHEADER, 0, 0));
        RECT r{};
        if (!header || !GetWindowRect(header, &r))
            return 1;
        const long width = static_cast<long>(SendMessageA(found.list, LVM_GETCOLUMNWIDTH, 0, 0));
        std::printf("%ld %ld\n", r.left + width / 2, (r.top + r.bottom) / 2);
    } else if (command == "sizes" && found.list) {
        const int count = static_cast<int>(SendMessageA(found.list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row)
            std::printf("%s\n", CellText(found.list, row, 2).c_str());
    } else if (command == "matches" && found.list) {
        const int count = static_cast<int>(SendMessageA(found.list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row)
            std::printf("%s\n", CellText(found.list, row, 3).c_str());
    } else if (command == "matchcell" && found.list && argc > 2) {
        // left: the part, top: the column
        if (!PrintListRect(found.list, LVM_GETSUBITEMRECT, std::atoi(argv[2]), RECT{LVIR_BOUNDS, 3, 0, 0}))
            return 1;
    } else if (command == "spinup" && argc > 2) {
        // Two arrows a box, the up one above: sorted from the top, the up arrows are every other.
        std::vector<RECT> arrows;
        for (HWND button : found.spinButtons) {
            RECT r{};
            GetWindowRect(button, &r);
            arrows.push_back(r);
        }
        std::sort(arrows.begin(), arrows.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
        const std::size_t index = 2 * static_cast<std::size_t>(std::atoi(argv[2]));
        if (index >= arrows.size())
            return 1;
        const RECT& r = arrows[index];
        std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    } else if (command == "rect") {
        RECT r{};
        GetWindowRect(form, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    } else {
        return 1;
    }
    return 0;
}

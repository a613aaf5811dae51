// repaint-probe: looks at the running quennet.exe from another process, for
// repaint-xdotool.sh, which moves the mouse with xdotool as a user does.
//
// Usage: repaint-probe where
//          prints shell assignments: the window's rectangle, its client size, the splitter's
//          centre, the widths of the panel and the list, the list header's height and the
//          Search button's centre;
//        repaint-probe stale NAME
//          captures the window from the screen, has it repainted from scratch, captures it
//          again and prints how many pixels differ; when some do, both captures are kept as
//          NAME-before.bmp and NAME-after.bmp. Exits 1 when a pixel differs;
//        repaint-probe close
//          closes the window as its close box would and waits for the program to end.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Found {
    HWND form = nullptr;
    HWND splitter = nullptr;
    HWND panel = nullptr;
    HWND list = nullptr;
    HWND header = nullptr;
    HWND search = nullptr;
};

BOOL CALLBACK FindControl(HWND window, LPARAM data) {
    auto& found = *reinterpret_cast<Found*>(data);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "TSplitter") == 0)
        found.splitter = window;
    else if (lstrcmpA(name, "TScrollBox") == 0)
        found.panel = window;
    else if (lstrcmpiA(name, WC_LISTVIEWA) == 0)
        found.list = window;
    else if (lstrcmpiA(name, WC_HEADERA) == 0 && GetParent(window) == found.list)
        found.header = window;
    char text[32] = "";
    GetWindowTextA(window, text, sizeof text);
    if (lstrcmpA(name, "TGradientButton") == 0 && lstrcmpA(text, "Search") == 0)
        found.search = window;
    return TRUE;
}

Found FindWindowParts() {
    Found found;
    for (int i = 0; i < 200 && !found.form; ++i) {
        found.form = FindWindowA("QuennetForm", nullptr);
        if (!found.form)
            Sleep(50);
    }
    if (found.form)
        EnumChildWindows(found.form, FindControl, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The program has handled everything sent or posted to it so far, its painting included.
void WaitForIdle(HWND form) {
    DWORD_PTR ignored = 0;
    for (int i = 0; i < 5; ++i) {
        SendMessageTimeoutA(form, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        Sleep(100);
    }
}

int Width(const RECT& r) {
    return r.right - r.left;
}

int Where(const Found& found) {
    RECT form, client, splitter, panel, list, header{}, search{};
    GetWindowRect(found.form, &form);
    GetClientRect(found.form, &client);
    GetWindowRect(found.splitter, &splitter);
    GetWindowRect(found.panel, &panel);
    GetWindowRect(found.list, &list);
    if (found.header)
        GetWindowRect(found.header, &header);
    if (found.search)
        GetWindowRect(found.search, &search);
    std::printf("form_left=%ld\nform_top=%ld\nform_right=%ld\nform_bottom=%ld\n", form.left, form.top,
                form.right, form.bottom);
    std::printf("client_width=%ld\nclient_height=%ld\n", client.right, client.bottom);
    std::printf("splitter_x=%ld\nsplitter_y=%ld\n", (splitter.left + splitter.right) / 2,
                (splitter.top + splitter.bottom) / 2);
    std::printf("panel_width=%d\npanel_height=%ld\n", Width(panel), panel.bottom - panel.top);
    std::printf("list_left=%ld\nlist_top=%ld\nlist_width=%d\nlist_height=%ld\n", list.left, list.top,
                Width(list), list.bottom - list.top);
    RECT listClient{};
    GetClientRect(found.list, &listClient);
    std::printf("list_client_width=%ld\n", listClient.right);
    std::printf("header_width=%d\nheader_height=%ld\n", Width(header), header.bottom - header.top);
    std::printf("search_x=%ld\nsearch_y=%ld\n", (search.left + search.right) / 2,
                (search.top + search.bottom) / 2);
    std::printf("maximized=%d\n", IsZoomed(found.form) ? 1 : 0);
    return 0;
}

// The window's pixels as the screen shows them, top row first, 0x00RRGGBB.
std::vector<DWORD> Capture(const RECT& r) {
    const int w = Width(r), h = r.bottom - r.top;
    std::vector<DWORD> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = source[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

void SaveBitmap(const std::string& path, const std::vector<DWORD>& pixels, int w, int h) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = -h;
    info.biPlanes = 1;
    info.biBitCount = 32;
    const DWORD bytes = static_cast<DWORD>(pixels.size() * sizeof(DWORD));
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(pixels.data()), bytes);
}

int Stale(const Found& found, const std::string& name) {
    WaitForIdle(found.form);
    RECT r;
    GetWindowRect(found.form, &r);
    const std::vector<DWORD> before = Capture(r);
    RedrawWindow(found.form, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    WaitForIdle(found.form);
    const std::vector<DWORD> after = Capture(r);
    const int w = Width(r);
    long differing = 0;
    RECT box{w, r.bottom - r.top, -1, -1};
    for (size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i]) {
            ++differing;
            const long x = static_cast<long>(i % static_cast<size_t>(w)),
                       y = static_cast<long>(i / static_cast<size_t>(w));
            box = RECT{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                       std::max(box.bottom, y)};
        }
    std::printf("%s: %ld stale pixels", name.c_str(), differing);
    if (differing) {
        std::printf(" within (%ld,%ld)-(%ld,%ld) of the window", box.left, box.top, box.right, box.bottom);
        SaveBitmap(name + "-before.bmp", before, w, r.bottom - r.top);
        SaveBitmap(name + "-after.bmp", after, w, r.bottom - r.top);
    }
    std::printf("\n");
    return differing ? 1 : 0;
}

int Close(const Found& found) {
    DWORD id = 0;
    GetWindowThreadProcessId(found.form, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    PostMessageA(found.form, WM_CLOSE, 0, 0);
    if (process) {
        WaitForSingleObject(process, 20000);
        CloseHandle(process);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const Found found = FindWindowParts();
    if (!found.form || !found.splitter || !found.panel || !found.list) {
        std::fprintf(stderr, "repaint-probe: no Quennet window\n");
        return 2;
    }
    if (command == "where")
        return Where(found);
    if (command == "stale" && argc == 3)
        return Stale(found, argv[2]);
    if (command == "close")
        return Close(found);
    std::fprintf(stderr, "usage: repaint-probe where | stale NAME | close\n");
    return 2;
}

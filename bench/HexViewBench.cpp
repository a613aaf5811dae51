// hexview-bench FILE SIZE_GB: the viewer on a sparse file of SIZE_GB gigabytes with a match
// near its end. Makes the file (holes, no room on disk), then measures in this process:
// the time from the opening call to the end of the first paint, and the working set's growth
// while viewing and while scrolling through the whole file (thumb positions, pages and lines,
// each painted). Prints one "name value" line per figure.
#include "dialogs/hexview.h"
#include "runtime/Application.h"
#include "runtime/Handles.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace quennet;

namespace {
std::int64_t WorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<std::int64_t>(counters.WorkingSetSize);
}

bool MakeSparseFile(const std::string& path, std::int64_t size, std::int64_t match) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file)
        return false;
    LARGE_INTEGER at{};
    at.QuadPart = size;
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()))
        return false;
    at.QuadPart = match;
    DWORD written = 0;
    return SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) &&
           WriteFile(file.get(), "needle", 6, &written, nullptr) && written == 6;
}

// Every message waiting handled, the control painted now.
void Paint(TForm4& form) {
    UpdateWindow(form.hexedit.Handle());
    Application().ProcessMessages();
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: hexview-bench FILE SIZE_GB\n");
        return 2;
    }
    const std::string path = argv[1];
    const std::int64_t size = static_cast<std::int64_t>(std::atoll(argv[2])) << 30;
    const std::int64_t match = size - 4096 + 17;
    if (!MakeSparseFile(path, size, match)) {
        std::fprintf(stderr, "cannot make %s\n", path.c_str());
        return 1;
    }
    THexOleSession ole;
    TForm4 form;
    const size_t cut = path.find_last_of("\\/");
    const std::string folder = path.substr(0, cut + 1), name = path.substr(cut + 1);
    form.hexedit.Handle();
    Application().ProcessMessages();
    const std::int64_t before = WorkingSet();

    const auto start = std::chrono::steady_clock::now();
    form.Prepare(folder, name, match, 6);
    form.Show();
    Paint(form);
    const double firstPaint = Seconds(start);
    const std::int64_t selected = form.hexedit.SelStart();
    std::int64_t peak = WorkingSet();

    // Through the whole file: 400 thumb positions from top to bottom, then pages and lines.
    const HWND control = form.hexedit.Handle();
    const auto scrolling = std::chrono::steady_clock::now();
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    GetScrollInfo(control, SB_VERT, &info);
    const int last = info.nMax - static_cast<int>(info.nPage) + 1;
    for (int k = 0; k <= 400; ++k) {
        SCROLLINFO at{sizeof(at), SIF_POS, 0, 0, 0, static_cast<int>(static_cast<std::int64_t>(last) * k / 400), 0};
        SetScrollInfo(control, SB_VERT, &at, FALSE);
        SendMessageA(control, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
        Paint(form);
        peak = std::max(peak, WorkingSet());
    }
    for (int k = 0; k < 200; ++k) {
        SendMessageA(control, WM_VSCROLL, MAKEWPARAM(k < 100 ? SB_PAGEUP : SB_LINEDOWN, 0), 0);
        Paint(form);
        peak = std::max(peak, WorkingSet());
    }
    const double scrollSeconds = Seconds(scrolling);
    const std::int64_t topRow = form.hexedit.Model().TopRow();
    form.hexedit.CloseFile();
    form.Hide();
    Application().ProcessMessages();
    const std::int64_t after = WorkingSet();

    std::printf("file_gb %lld\n", static_cast<long long>(size >> 30));
    std::printf("first_paint_s %.3f\n", firstPaint);
    std::printf("selection_at %lld of match %lld\n", static_cast<long long>(selected),
                static_cast<long long>(match));
    std::printf("scroll_paints 601 in %.3f s (ended at row %lld)\n", scrollSeconds, static_cast<long long>(topRow));
    std::printf("working_set_growth_mb %.1f\n", static_cast<double>(peak - before) / (1 << 20));
    std::printf("working_set_after_close_mb %.1f\n", static_cast<double>(after - before) / (1 << 20));
    DeleteFileA(path.c_str());
    return 0;
}

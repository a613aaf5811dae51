// window-probe: drives quennet.exe from another process, as a user's click would, and
// measures what a user feels on a large result set: the time from the click on Search to
// the end of the search, the longest wait for the window to answer a message meanwhile, the
// memory the rows take, and how soon Stop takes effect.
//
// Usage: window-probe QUENNET_EXE FOLDER
//          prints "key value" lines for bench/window.sh;
//        window-probe --sort-after MS QUENNET_EXE FOLDER
//          the same search with a click on the "Name" header MS milliseconds after the
//          click on Search (no Stop); for bench/window.sh --sort;
//        window-probe --show QUENNET_EXE FOLDER
//          starts the program on FOLDER, searches it and prints the status bar's texts and
//          the first rows, leaving the window open (scripts/run.sh shows it to a user
//          without a display);
//        window-probe --close
//          closes the window as its close box would.
//        --phrase TEXT before QUENNET_EXE (with or without --sort-after): the search looks
//          for TEXT in the files' content, put into the phrase field before the click.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include "tests/mainwindow/RemoteControls.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace quennet::remote;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct Found {
    HWND search = nullptr;
    HWND list = nullptr;
    HWND status = nullptr;
    HWND header = nullptr;
};

// The phrase field: the second edit field from the top (the name field is the first).
struct EditFields {
    HWND byTop[2] = {nullptr, nullptr};
    LONG top[2] = {0, 0};
};

BOOL CALLBACK FindEditFields(HWND window, LPARAM data) {
    auto& edits = *reinterpret_cast<EditFields*>(data);
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") != 0)
        return TRUE;
    RECT r;
    GetWindowRect(window, &r);
    for (int i = 0; i < 2; ++i) {
        if (!edits.byTop[i] || r.top < edits.top[i]) {
            if (i == 0) {
                edits.byTop[1] = edits.byTop[0];
                edits.top[1] = edits.top[0];
            }
            edits.byTop[i] = window;
            edits.top[i] = r.top;
            break;
        }
    }
    return TRUE;
}

bool SetPhrase(HWND form, const std::string& phrase) {
    EditFields edits;
    EnumChildWindows(form, FindEditFields, reinterpret_cast<LPARAM>(&edits));
    if (!edits.byTop[1])
        return false;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(edits.byTop[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(phrase.c_str()), SMTO_NORMAL, 5000,
                        &ignored);
    return true;
}

BOOL CALLBACK FindControls(HWND window, LPARAM data) {
    auto& found = *reinterpret_cast<Found*>(data);
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    char text[64] = "";
    GetWindowTextA(window, text, sizeof text);
    if (lstrcmpA(cls, "TGradientButton") == 0 && lstrcmpA(text, "Search") == 0)
        found.search = window;
    if (lstrcmpiA(cls, WC_LISTVIEWA) == 0)
        found.list = window;
    if (lstrcmpiA(cls, STATUSCLASSNAMEA) == 0)
        found.status = window;
    if (lstrcmpiA(cls, WC_HEADERA) == 0)
        found.header = window;
    return TRUE;
}

// The button's caption, asked as any other program would; the time the window took to answer
// goes into `worst`.
std::string Caption(HWND button, double& worst) {
    char text[64] = "";
    DWORD_PTR ignored = 0;
    const auto start = Clock::now();
    // A long timeout: a window that stops answering is measured, not cut short.
    SendMessageTimeoutA(button, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 300000,
                        &ignored);
    const double took = Seconds(Clock::now() - start);
    if (took > worst)
        worst = took;
    return text;
}

void Click(HWND button) {
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
}

SIZE_T WorkingSet(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    return counters.WorkingSetSize;
}

// The first search of the window: from the click until the caption reads "Search" again
// with "Done" in the status bar (a short search may end before "Stop" is ever seen).
// With `sortAfter` >= 0, the "Name" header is clicked that many seconds after Search.
bool RunOneSearch(const Found& found, double& worst, double& seconds, double sortAfter = -1) {
    const auto start = Clock::now();
    Click(found.search);
    bool done = false;
    while (!done && Seconds(Clock::now() - start) < 600) {
        if (sortAfter >= 0 && Seconds(Clock::now() - start) >= sortAfter) {
            sortAfter = -1;
            Click(found.header); // the header's first item is "Name"
        }
        if (Caption(found.search, worst) == "Search" && StatusText(found.status, 0) == "Done")
            done = true;
        else // often enough to see any wait near the 100 ms goal, seldom enough not to slow it
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    seconds = Seconds(Clock::now() - start);
    return done;
}

HWND WaitForWindow(Found& found) {
    HWND form = nullptr;
    for (int i = 0; i < 400 && (!found.search || !found.list || !found.status); ++i) {
        form = FindWindowA("QuennetForm", nullptr);
        if (form)
            EnumChildWindows(form, FindControls, reinterpret_cast<LPARAM>(&found));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return found.search && found.list && found.status ? form : nullptr;
}

bool Start(const char* exe, const char* folder, PROCESS_INFORMATION& process) {
    std::string command = std::string("\"") + exe + "\" \"" + folder + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "window-probe: cannot start %s\n", exe);
        return false;
    }
    WaitForInputIdle(process.hProcess, 20000);
    return true;
}

int Show(const char* exe, const char* folder) {
    PROCESS_INFORMATION process{};
    if (!Start(exe, folder, process))
        return 1;
    Found found;
    if (!WaitForWindow(found)) {
        std::fprintf(stderr, "window-probe: the window did not appear\n");
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    double worst = 0, seconds = 0;
    RunOneSearch(found, worst, seconds);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::printf("Status bar: [%s] [%s] [%s] [%s]\n", StatusText(found.status, 0).c_str(),
                StatusText(found.status, 1).c_str(), StatusText(found.status, 2).c_str(),
                StatusText(found.status, 3).c_str());
    const int rows = static_cast<int>(SendMessageA(found.list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows && row < 5; ++row)
        std::printf("  %s  %s  %s\n", CellText(found.list, row, 0).c_str(),
                    CellText(found.list, row, 1).c_str(), CellText(found.list, row, 2).c_str());
    if (rows > 5)
        std::printf("  ... %d rows in all\n", rows);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--show")
        return Show(argv[2], argv[3]);
    if (argc == 2 && std::string(argv[1]) == "--close") {
        HWND form = FindWindowA("QuennetForm", nullptr);
        if (!form)
            return 1;
        DWORD id = 0;
        GetWindowThreadProcessId(form, &id);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
        PostMessageA(form, WM_CLOSE, 0, 0);
        if (process) {
            WaitForSingleObject(process, 20000);
            CloseHandle(process);
        }
        return 0;
    }
    std::string phrase;
    if (argc >= 5 && std::string(argv[1]) == "--phrase") {
        phrase = argv[2];
        argv += 2;
        argc -= 2;
    }
    double sortAfter = -1;
    if (argc == 5 && std::string(argv[1]) == "--sort-after") {
        sortAfter = std::atof(argv[2]) / 1000;
        argv += 2;
        argc -= 2;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: window-probe [--phrase TEXT] [--sort-after MS] QUENNET_EXE FOLDER | --show QUENNET_EXE FOLDER | "
                             "--close\n");
        return 2;
    }
    std::string command = std::string("\"") + argv[1] + "\" \"" + argv[2] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "window-probe: cannot start %s\n", argv[1]);
        return 1;
    }
    WaitForInputIdle(process.hProcess, 20000);
    HWND form = nullptr;
    Found found;
    for (int i = 0; i < 400 && (!found.search || !found.list || !found.header); ++i) {
        form = FindWindowA("QuennetForm", nullptr);
        if (form)
            EnumChildWindows(form, FindControls, reinterpret_cast<LPARAM>(&found));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!found.search || !found.list) {
        std::fprintf(stderr, "window-probe: the window did not appear\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    if (!phrase.empty() && !SetPhrase(form, phrase)) {
        std::fprintf(stderr, "window-probe: no phrase field found\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    const SIZE_T before = WorkingSet(process.hProcess);
    double worst = 0, seconds = 0;
    const bool ran = RunOneSearch(found, worst, seconds, sortAfter);
    const LRESULT rows = SendMessageA(found.list, LVM_GETITEMCOUNT, 0, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const SIZE_T after = WorkingSet(process.hProcess);
    if (sortAfter >= 0) {
        // The rows must end in name order: a look at the first few. A sort may still run on
        // its own thread after "Done" and swap its result in while they are read, so they
        // are read until two reads 300 ms apart agree.
        auto firstRows = [&] {
            std::vector<std::string> names;
            for (int row = 0; row < 50 && row < rows; ++row)
                names.push_back(CellText(found.list, row, 0));
            return names;
        };
        const auto done = Clock::now();
        std::vector<std::string> seen = firstRows();
        double settled = -1;
        while (Seconds(Clock::now() - done) < 60) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            std::vector<std::string> again = firstRows();
            if (again == seen) {
                settled = Seconds(Clock::now() - done) - 0.3;
                break;
            }
            seen = std::move(again);
        }
        bool ordered = settled >= 0;
        for (std::size_t row = 1; row < seen.size(); ++row)
            if (lstrcmpA(seen[row - 1].c_str(), seen[row].c_str()) > 0) {
                std::fprintf(stderr, "window-probe: rows %zu and %zu out of order: [%s] [%s]\n", row - 1, row,
                             seen[row - 1].c_str(), seen[row].c_str());
                ordered = false;
            }
        std::printf("sorted_settle_seconds %.3f\n", settled);
        PostMessageA(form, WM_CLOSE, 0, 0);
        WaitForSingleObject(process.hProcess, 60000);
        std::printf("sorted_searched %d\n", ran && ordered ? 1 : 0);
        std::printf("sorted_rows %ld\n", static_cast<long>(rows));
        std::printf("sorted_search_seconds %.3f\n", seconds);
        std::printf("sorted_worst_answer_ms %.1f\n", worst * 1000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return ran && ordered ? 0 : 1;
    }

    // Stop while the rows stream in: the time from the click to "Search" again.
    double stopWorst = 0, stopSeconds = -1;
    Click(found.search);
    const auto start = Clock::now();
    while (Caption(found.search, stopWorst) == "Search" && Seconds(Clock::now() - start) < 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const LRESULT rowsAtStop = SendMessageA(found.list, LVM_GETITEMCOUNT, 0, 0);
    const auto stopClick = Clock::now();
    Click(found.search);
    while (Seconds(Clock::now() - stopClick) < 30) {
        if (Caption(found.search, stopWorst) == "Search") {
            stopSeconds = Seconds(Clock::now() - stopClick);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    PostMessageA(form, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 20000);
    std::printf("searched %d\n", ran ? 1 : 0);
    std::printf("rows %ld\n", static_cast<long>(rows));
    std::printf("search_seconds %.3f\n", seconds);
    std::printf("worst_answer_ms %.1f\n", worst * 1000);
    std::printf("working_set_before %llu\n", static_cast<unsigned long long>(before));
    std::printf("working_set_after %llu\n", static_cast<unsigned long long>(after));
    std::printf("rows_when_stopped %ld\n", static_cast<long>(rowsAtStop));
    std::printf("stop_seconds %.3f\n", stopSeconds);
    std::printf("stop_worst_answer_ms %.1f\n", stopWorst * 1000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ran && rows > 0 ? 0 : 1;
}

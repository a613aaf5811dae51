// window-probe: drives quennet.exe from another process, as a user's click would, and
// measures what a user feels on a large result set: the time from the click on Search to
// the end of the search, the longest wait for the window to answer a message meanwhile, the
// memory the rows take, and how soon Stop takes effect.
//
// Usage: window-probe QUENNET_EXE FOLDER
// Prints "key value" lines for bench/window.sh.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct Found {
    HWND search = nullptr;
    HWND list = nullptr;
};

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
    return TRUE;
}

// The button's caption, asked as any other program would; the time the window took to answer
// goes into `worst`.
std::string Caption(HWND button, double& worst) {
    char text[64] = "";
    DWORD_PTR ignored = 0;
    const auto start = Clock::now();
    SendMessageTimeoutA(button, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
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

// Waits for the caption to leave "Search" and come back to it.
bool RunOneSearch(HWND button, double& worst, double& seconds) {
    const auto start = Clock::now();
    Click(button);
    bool started = false;
    while (Seconds(Clock::now() - start) < 600) {
        const std::string caption = Caption(button, worst);
        if (caption != "Search")
            started = true;
        else if (started)
            break;
        // Often enough to see any wait near the 100 ms goal, seldom enough not to slow it.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    seconds = Seconds(Clock::now() - start);
    return started;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: window-probe QUENNET_EXE FOLDER\n");
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
    for (int i = 0; i < 400 && (!found.search || !found.list); ++i) {
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
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    const SIZE_T before = WorkingSet(process.hProcess);
    double worst = 0, seconds = 0;
    const bool ran = RunOneSearch(found.search, worst, seconds);
    const LRESULT rows = SendMessageA(found.list, LVM_GETITEMCOUNT, 0, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const SIZE_T after = WorkingSet(process.hProcess);

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

// quennet-cli: the search engine from a terminal.
#include "cli/CliFrontEnd.h"
#include "search/Masks.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::atomic<bool> g_interrupt{false};

#ifdef _WIN32
BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) {
        g_interrupt.store(true);
        return TRUE;
    }
    return FALSE;
}
#else
void OnSigint(int) {
    g_interrupt.store(true);
}
#endif

} // namespace

int main(int argc, char** argv) {
    using namespace quennet::cli;
    const auto options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
        std::fputs(kUsage, stderr);
        return kExitBadInput;
    }
    quennet::LeadBytes::LoadFromPlatform();
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = OnSigint;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
#endif
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    CliFrontEnd frontEnd(*options, stdout, stderr);
    return frontEnd.Run(g_interrupt);
}

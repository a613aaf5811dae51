// quennet-cli: the search engine from a terminal.
#include "cli/CliFrontEnd.h"
#include "search/Masks.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <new>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
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

int Search(int argc, char** argv) {
    using namespace quennet::cli;
    const ParsedCommandLine parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.Options) {
        if (parsed.Error.empty())
            std::fputs(kUsage, stderr);
        else
            std::fprintf(stderr, "%s\n", parsed.Error.c_str());
        return kExitBadInput;
    }
    const CliOptions& options = *parsed.Options;
    quennet::LeadBytes::LoadFromPlatform();
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = OnSigint;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
#endif
#ifdef _WIN32
    // The list's lines end with CR LF already; text mode would make that CR CR LF.
    if (options.Csv)
        _setmode(_fileno(stdout), _O_BINARY);
#endif
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    CliFrontEnd frontEnd(options, stdout, stderr);
    return frontEnd.Run(g_interrupt);
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Search(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("Out of memory.\n", stderr);
        return quennet::cli::kExitError;
    }
}

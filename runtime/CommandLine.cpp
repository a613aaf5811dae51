#include "runtime/CommandLine.h"

#include <windows.h>

namespace quennet {

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> args;
    size_t i = 0;
    const size_t n = commandLine.size();
    for (;;) {
        while (i < n && static_cast<unsigned char>(commandLine[i]) <= ' ')
            ++i;
        if (i >= n)
            break;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || static_cast<unsigned char>(commandLine[i]) > ' ')) {
            if (commandLine[i] == '"')
                quoted = !quoted;
            else
                arg += commandLine[i];
            ++i;
        }
        args.push_back(arg);
    }
    return args;
}

std::string ParamStr(int index) {
    if (index < 0)
        return std::string();
    std::vector<std::string> args = SplitCommandLine(GetCommandLineA());
    return static_cast<size_t>(index) < args.size() ? args[static_cast<size_t>(index)] : std::string();
}

int ParamCount() {
    auto count = static_cast<int>(SplitCommandLine(GetCommandLineA()).size());
    return count > 0 ? count - 1 : 0;
}

std::string ExeName() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace quennet

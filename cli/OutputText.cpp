#include "cli/OutputText.h"

#include <algorithm>

#ifdef _WIN32
#include "search/WidePath.h"

#include <io.h>
#include <windows.h>
#endif

namespace quennet::cli {

OutputText::OutputText(std::FILE* stream) : stream_(stream) {
#ifdef _WIN32
    const int fd = _fileno(stream);
    HANDLE handle = fd >= 0 ? reinterpret_cast<HANDLE>(_get_osfhandle(fd)) : INVALID_HANDLE_VALUE;
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode))
        console_ = handle;
#endif
}

void OutputText::Write(std::string_view text) {
#ifdef _WIN32
    if (console_) {
        pending_.append(text);
        return;
    }
#endif
    std::fwrite(text.data(), 1, text.size(), stream_);
}

void OutputText::Flush() {
#ifdef _WIN32
    if (console_) {
        // Whole text at once: a character split between two writes would not convert.
        const std::wstring wide = Utf8ToWide(pending_);
        pending_.clear();
        std::size_t done = 0;
        while (done < wide.size()) {
            DWORD written = 0;
            const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 16384));
            if (!WriteConsoleW(console_, wide.data() + done, ask, &written, nullptr) || written == 0)
                break;
            done += written;
        }
        return;
    }
#endif
    std::fflush(stream_);
}

} // namespace quennet::cli

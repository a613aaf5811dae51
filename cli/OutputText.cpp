#include "cli/OutputText.h"

#include <algorithm>
#include <cerrno>

#ifdef _WIN32
#include "base/WidePath.h"

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

void OutputText::Fail(int error) {
#ifdef _WIN32
    // The C runtime reports a pipe whose reader has gone as EINVAL; the system says what it is.
    const DWORD cause = GetLastError();
    if (cause == ERROR_NO_DATA || cause == ERROR_BROKEN_PIPE || cause == ERROR_PIPE_NOT_CONNECTED)
        error = EPIPE;
#endif
    failed_ = true;
    error_ = error;
}

void OutputText::Write(std::string_view text) {
    if (failed_)
        return;
#ifdef _WIN32
    if (console_) {
        pending_.append(text);
        return;
    }
#endif
    if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size())
        Fail(errno);
}

void OutputText::Flush() {
    if (failed_)
        return;
#ifdef _WIN32
    if (console_) {
        // Whole text at once: a character split between two writes would not convert.
        const std::wstring wide = Utf8ToWide(pending_);
        pending_.clear();
        std::size_t done = 0;
        while (done < wide.size()) {
            DWORD written = 0;
            const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 16384));
            if (!WriteConsoleW(console_, wide.data() + done, ask, &written, nullptr) || written == 0) {
                Fail(EIO);
                break;
            }
            done += written;
        }
        return;
    }
#endif
    if (std::fflush(stream_) != 0)
        Fail(errno);
}

} // namespace quennet::cli

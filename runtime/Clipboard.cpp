#include "runtime/Clipboard.h"

#include "base/WidePath.h"
#include "runtime/Handles.h"

#include <cstring>

namespace quennet {

bool SetClipboardText(HWND owner, const std::string& utf8) {
    const std::wstring text = Utf8ToWide(utf8);
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    {
        GlobalLockGuard<wchar_t> data(memory.get());
        if (!data)
            return false;
        std::memcpy(data.get(), text.c_str(), bytes);
    }
    // Opened only once the text is ready: the clipboard is shared by every program.
    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr;
    if (placed)
        memory.release(); // the clipboard owns it now
    CloseClipboard();
    return placed;
}

} // namespace quennet

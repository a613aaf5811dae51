// Reading the main window's controls from another process, as any other program could: the
// tools that drive the window from outside (the tests' window-reader, the benchmarks'
// window-probe) share these. A control's text must be asked for into memory of the process
// that owns the control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace quennet::remote {

// A buffer inside the process that owns `window`.
class RemoteBuffer {
  public:
    RemoteBuffer(HWND window, SIZE_T size) : size_(size) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        if (process_)
            memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (memory_)
            VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    void* Address() const { return memory_; }
    bool Write(const void* data, SIZE_T size) {
        return memory_ && WriteProcessMemory(process_, memory_, data, size, nullptr);
    }
    bool Read(void* data, SIZE_T size) const {
        return memory_ && ReadProcessMemory(process_, memory_, data, size, nullptr);
    }
    std::string ReadText() {
        std::string text(size_, '\0');
        if (!memory_ || !ReadProcessMemory(process_, memory_, text.data(), size_, nullptr))
            return {};
        return text.c_str();
    }

  private:
    SIZE_T size_;
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
};

inline std::string CellText(HWND list, int row, int column) {
    RemoteBuffer item(list, sizeof(LVITEMA));
    RemoteBuffer text(list, 1024);
    LVITEMA request{};
    request.iSubItem = column;
    request.pszText = static_cast<char*>(text.Address());
    request.cchTextMax = 1024;
    if (!item.Write(&request, sizeof request))
        return {};
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(item.Address()));
    return text.ReadText();
}

inline std::string StatusText(HWND status, int panel) {
    RemoteBuffer buffer(status, 1024);
    const LRESULT length = SendMessageA(status, SB_GETTEXTLENGTHA, panel, 0);
    if (LOWORD(length) >= 1024 || !buffer.Address())
        return {};
    SendMessageA(status, SB_GETTEXTA, panel, reinterpret_cast<LPARAM>(buffer.Address()));
    return buffer.ReadText();
}

} // namespace quennet::remote

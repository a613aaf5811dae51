#include "mainwindow/FileActions.h"

#include "runtime/Handles.h"

#include <vector>

namespace quennet {

namespace {

// A list of one name for the shell: the text, then the empty name that ends the list.
std::vector<char> DoubleNulTerminated(const std::string& text) {
    std::vector<char> list(text.begin(), text.end());
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

std::string FolderOf(const std::string& filePath) {
    const size_t cut = filePath.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : filePath.substr(0, cut + 1);
}

struct FolderIdentity {
    bool known = false;
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
};

FolderIdentity IdentityOf(const std::string& folder) {
    // Backup semantics: the only way to open a folder itself.
    FileHandle handle(CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !GetFileInformationByHandle(handle.get(), &info))
        return FolderIdentity();
    return FolderIdentity{true, info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::string FullPathWithoutSlash(const std::string& path) {
    char buffer[MAX_PATH * 2] = "";
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    std::string full = length > 0 && length < sizeof buffer ? std::string(buffer, length) : path;
    while (full.size() > 3 && (full.back() == '\\' || full.back() == '/'))
        full.pop_back();
    return full;
}

} // namespace

std::string WindowsFolder() {
    char buffer[500] = "";
    GetWindowsDirectoryA(buffer, sizeof buffer);
    return buffer;
}

std::string NotepadCommandLine(const std::string& filePath) {
    return WindowsFolder() + "\\notepad.exe " + filePath;
}

std::string ExplorerCommandLine(const std::string& folder) {
    return WindowsFolder() + "\\explorer.exe " + folder;
}

void OpenWithNotepad(const std::string& filePath) {
    WinExec(NotepadCommandLine(filePath).c_str(), SW_SHOWNORMAL);
}

void OpenFolderInExplorer(const std::string& folder) {
    WinExec(ExplorerCommandLine(folder).c_str(), SW_SHOWMAXIMIZED);
}

bool IsSameFolder(const std::string& first, const std::string& second) {
    const FolderIdentity a = IdentityOf(first);
    const FolderIdentity b = IdentityOf(second);
    if (a.known && b.known)
        return a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
    return lstrcmpiA(FullPathWithoutSlash(first).c_str(), FullPathWithoutSlash(second).c_str()) == 0;
}

int RunFileOperation(HWND owner, TFileOperation operation, const std::string& filePath,
                     const std::string& destination) {
    // The destination proposed is the file's own folder and Enter accepts it. The shell of
    // Windows refuses that; others may "move" the file onto itself or copy it over itself.
    if (operation != TFileOperation::Delete && IsSameFolder(FolderOf(filePath), destination))
        return kSameFolderRefused;
    std::vector<char> from = DoubleNulTerminated(filePath);
    std::vector<char> to = DoubleNulTerminated(destination);
    SHFILEOPSTRUCTA record{};
    record.hwnd = owner;
    record.wFunc = static_cast<UINT>(operation);
    record.pFrom = from.data();
    record.pTo = operation == TFileOperation::Delete ? nullptr : to.data();
    record.fFlags = FOF_NOCONFIRMATION | FOF_ALLOWUNDO;
    const int result = SHFileOperationA(&record);
    if (result == 0 && operation != TFileOperation::Copy &&
        GetFileAttributesA(filePath.c_str()) != INVALID_FILE_ATTRIBUTES)
        return kStillInPlace;
    return result;
}

} // namespace quennet

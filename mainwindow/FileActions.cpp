#include "mainwindow/FileActions.h"

#include "runtime/Handles.h"
#include "search/WidePath.h"

#include <cstdio>
#include <vector>

namespace quennet {

namespace {

// SHFileOperation takes no "\\?\" paths: MAX_PATH characters with the ending NUL.
constexpr size_t kShellPathLimit = MAX_PATH - 1;

// A list of one name for the shell: the text, then the empty name that ends the list.
std::vector<wchar_t> DoubleNulTerminated(const std::wstring& text) {
    std::vector<wchar_t> list(text.begin(), text.end());
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

std::string FolderOf(const std::string& filePath) {
    const size_t cut = filePath.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : filePath.substr(0, cut + 1);
}

std::string NameOf(const std::string& filePath) {
    const size_t cut = filePath.find_last_of("\\/");
    return cut == std::string::npos ? filePath : filePath.substr(cut + 1);
}

std::string WithBackslash(const std::string& folder) {
    return !folder.empty() && folder.back() != '\\' && folder.back() != '/' ? folder + "\\" : folder;
}

DWORD AttributesOf(const std::wstring& path) {
    return GetFileAttributesW(path.c_str());
}

struct FolderIdentity {
    bool known = false;
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
};

FolderIdentity IdentityOf(const std::string& folder) {
    // Backup semantics: the only way to open a folder itself.
    FileHandle handle(CreateFileW(LongPathW(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !GetFileInformationByHandle(handle.get(), &info))
        return FolderIdentity();
    return FolderIdentity{true, info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::wstring FullPathWithoutSlash(const std::string& path) {
    const std::wstring wide = Utf8ToWide(path);
    wchar_t buffer[MAX_PATH * 2] = L"";
    DWORD length = GetFullPathNameW(wide.c_str(), MAX_PATH * 2, buffer, nullptr);
    std::wstring full = length > 0 && length < MAX_PATH * 2 ? std::wstring(buffer, length) : wide;
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/'))
        full.pop_back();
    return full;
}

// A path the programs we start can open: a long one in its short form, where the volume has
// short names.
std::string OpenablePath(const std::string& path) {
    const std::wstring wide = Utf8ToWide(path);
    if (wide.size() <= kShellPathLimit)
        return path;
    const std::wstring extended = LongPathW(path);
    std::vector<wchar_t> buffer(extended.size() + 8);
    const DWORD length =
        GetShortPathNameW(extended.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size())
        return path;
    std::wstring shortPath(buffer.data(), length);
    if (shortPath.compare(0, 4, L"\\\\?\\") == 0)
        shortPath.erase(0, 4);
    return WideToUtf8(shortPath);
}

void Start(const std::string& commandLine, int show) {
    std::wstring line = Utf8ToWide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

int ShellOperation(HWND owner, UINT function, const std::wstring& from, const std::wstring& to, FILEOP_FLAGS flags) {
    std::vector<wchar_t> fromList = DoubleNulTerminated(from);
    std::vector<wchar_t> toList = DoubleNulTerminated(to);
    SHFILEOPSTRUCTW record{};
    record.hwnd = owner;
    record.wFunc = function;
    record.pFrom = fromList.data();
    record.pTo = function == FO_DELETE ? nullptr : toList.data();
    record.fFlags = flags;
    return SHFileOperationW(&record);
}

} // namespace

std::string FileOperationFailure(int result) {
    switch (result) {
    case kSameFolderRefused:
        return "it is already in that folder";
    case kStillInPlace:
        return "it could not be taken out of its folder";
    case kNotOneFile:
        return "its name holds a character this system could not give, so it does not name one file";
    case kPathTooLong:
        return "the path is longer than the shell's file operations take (259 characters)";
    case kNotRecycled:
        return "the file of the same name at the destination could not be put in the Recycle Bin";
    case kFolderInTheWay:
        return "a folder of the same name is at the destination";
    case 5:
    case 0x78: // DE_ACCESSDENIEDSRC
        return "access was denied";
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "the shell reported error %d", result);
        return text;
    }
    }
}

std::string WindowsFolder() {
    wchar_t buffer[500] = L"";
    GetWindowsDirectoryW(buffer, 500);
    return WideToUtf8(buffer);
}

std::string NotepadCommandLine(const std::string& filePath) {
    return WindowsFolder() + "\\notepad.exe " + OpenablePath(filePath);
}

std::string ExplorerCommandLine(const std::string& folder) {
    return WindowsFolder() + "\\explorer.exe " + OpenablePath(folder);
}

void OpenWithNotepad(const std::string& filePath) {
    Start(NotepadCommandLine(filePath), SW_SHOWNORMAL);
}

void OpenFolderInExplorer(const std::string& folder) {
    Start(ExplorerCommandLine(folder), SW_SHOWMAXIMIZED);
}

bool IsSameFolder(const std::string& first, const std::string& second) {
    const FolderIdentity a = IdentityOf(first);
    const FolderIdentity b = IdentityOf(second);
    if (a.known && b.known)
        return a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
    return lstrcmpiW(FullPathWithoutSlash(first).c_str(), FullPathWithoutSlash(second).c_str()) == 0;
}

int RunFileOperation(HWND owner, TFileOperation operation, const std::string& filePath,
                     const std::string& destination) {
    // A name the ANSI functions could not give comes back with "?": the shell would take it as
    // a pattern and act on every file it matches.
    if (filePath.find_first_of("?*") != std::string::npos)
        return kNotOneFile;
    const std::wstring from = Utf8ToWide(filePath);
    if (from.size() > kShellPathLimit)
        return kPathTooLong;
    if (operation != TFileOperation::Delete) {
        // The destination proposed is the file's own folder and Enter accepts it. The shell of
        // Windows refuses that; others may "move" the file onto itself or copy it over itself.
        if (IsSameFolder(FolderOf(filePath), destination))
            return kSameFolderRefused;
        const std::wstring target = Utf8ToWide(WithBackslash(destination) + NameOf(filePath));
        if (target.size() > kShellPathLimit || Utf8ToWide(destination).size() > kShellPathLimit)
            return kPathTooLong;
        const DWORD there = AttributesOf(target);
        if (there != INVALID_FILE_ATTRIBUTES && (there & FILE_ATTRIBUTE_DIRECTORY))
            return kFolderInTheWay;
        // Replaced without a question, but never beyond undo.
        if (there != INVALID_FILE_ATTRIBUTES &&
            (ShellOperation(owner, FO_DELETE, target, std::wstring(),
                            FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_SILENT | FOF_NOERRORUI) != 0 ||
             AttributesOf(target) != INVALID_FILE_ATTRIBUTES))
            return kNotRecycled;
    }
    const int result = ShellOperation(owner, static_cast<UINT>(operation), from, Utf8ToWide(destination),
                                      FOF_NOCONFIRMATION | FOF_ALLOWUNDO);
    if (result == 0 && operation != TFileOperation::Copy && AttributesOf(from) != INVALID_FILE_ATTRIBUTES)
        return kStillInPlace;
    return result;
}

} // namespace quennet

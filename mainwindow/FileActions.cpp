#include "mainwindow/FileActions.h"

#include "runtime/Handles.h"
#include "base/WidePath.h"

#include <cstdint>
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
    const int result = SHFileOperationW(&record);
    // The user said no in one of the shell's dialogs (the warning before a file would be
    // destroyed rather than recycled).
    return result == 0 && record.fAnyOperationsAborted ? ERROR_CANCELLED : result;
}

} // namespace

std::string FileOperationFailure(int result) {
    switch (result) {
    case kSameFolderRefused:
        return "it is already in that folder";
    case kStillInPlace:
        return "it could not be taken out of its folder";
    case kPathTooLong:
        return "the path is longer than the shell's file operations take (259 characters)";
    case kReplacedInUse:
        return "the file of the same name at the destination is in use, so it was left as it was";
    case kFolderInTheWay:
        return "a folder of the same name is at the destination";
    case kNotArrived:
        return "the shell reported it done, yet no complete copy of it is at the destination";
    case kNoSource:
        return "it is no longer there";
    case kStillThere:
        return "the shell reported it done, yet it is still there";
    case kInUse:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "it is in use by another program";
    case ERROR_CANCELLED:
        return "it was cancelled";
    case ERROR_ACCESS_DENIED:
    case 0x78: // DE_ACCESSDENIEDSRC
        return "access was denied";
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "the shell reported error %d", result);
        return text;
    }
    }
}

std::string FileOperationReport(const TFileOperationResult& result) {
    std::string report = result.Done() ? std::string() : FileOperationFailure(result.Error);
    if (result.Replaced.empty())
        return report;
    if (!report.empty())
        report += "; ";
    if (result.ReplacedKeptAs.empty())
        return result.Done() ? report : report + result.Replaced + ", which it would have replaced, is as it was";
    return report + (result.Done() ? result.Replaced + ", which it replaced, could not be put in the Recycle Bin"
                                   : result.Replaced + ", which it would have replaced, could not be put back") +
           " and is kept as " + result.ReplacedKeptAs;
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

namespace {

constexpr FILEOP_FLAGS kFlags = FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_WANTNUKEWARNING;

// The file's size, or -1 when there is no file (a folder counts as none).
std::int64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

// Whether another program holds the file open so that no one may have `access` to it (DELETE
// to move or delete it, GENERIC_READ to copy it). Only a sharing violation counts: other
// refusals are the shell's to find and tell.
bool HeldWithoutSharing(const std::wstring& path, DWORD access) {
    FileHandle probe(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
}

// "folder\stem (replaced).ext", then "(replaced 2)" and on: a name the user recognises in the
// Recycle Bin, which restores beside the new file rather than over it.
std::wstring ReplacedName(const std::wstring& path, int attempt) {
    const size_t slash = path.find_last_of(L"\\/");
    const size_t dot = path.find_last_of(L'.');
    const size_t cut = dot != std::wstring::npos && dot > slash + 1 ? dot : path.size();
    std::wstring mark = L" (replaced";
    if (attempt > 1)
        mark += L" " + std::to_wstring(attempt);
    mark += L")";
    return path.substr(0, cut) + mark + path.substr(cut);
}

// Moves the file at `target` aside in its folder; the new name, or empty (nothing changed).
std::wstring SetAside(const std::wstring& target) {
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const std::wstring aside = ReplacedName(target, attempt);
        if (aside.size() > kShellPathLimit)
            return std::wstring(); // the shell could not recycle it from there
        if (MoveFileExW(target.c_str(), aside.c_str(), 0))
            return aside;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return std::wstring();
    }
    return std::wstring();
}

bool Recycle(HWND owner, const std::wstring& path) {
    return ShellOperation(owner, FO_DELETE, path, std::wstring(), kFlags | FOF_SILENT) == 0 &&
           AttributesOf(path) == INVALID_FILE_ATTRIBUTES;
}

TFileOperationResult Finished(int error) {
    TFileOperationResult result;
    result.Error = error;
    return result;
}

} // namespace

TFileOperationResult RunFileOperation(HWND owner, TFileOperation operation, const std::string& filePath,
                                      const std::string& destination) {
    const std::wstring from = Utf8ToWide(filePath);
    if (from.size() > kShellPathLimit)
        return Finished(kPathTooLong);
    const std::int64_t size = FileSize(from);
    if (size < 0)
        return Finished(kNoSource);
    if (operation == TFileOperation::Delete) {
        if (HeldWithoutSharing(from, DELETE))
            return Finished(kInUse);
        const int error = ShellOperation(owner, FO_DELETE, from, std::wstring(), kFlags);
        return Finished(error != 0 ? error : AttributesOf(from) != INVALID_FILE_ATTRIBUTES ? kStillThere : 0);
    }
    // The destination proposed is the file's own folder and Enter accepts it. The shell of
    // Windows refuses that; others may "move" the file onto itself or copy it over itself.
    if (IsSameFolder(FolderOf(filePath), destination))
        return Finished(kSameFolderRefused);
    const std::string targetPath = WithBackslash(destination) + NameOf(filePath);
    const std::wstring target = Utf8ToWide(targetPath);
    if (target.size() > kShellPathLimit || Utf8ToWide(destination).size() > kShellPathLimit)
        return Finished(kPathTooLong);
    const DWORD there = AttributesOf(target);
    if (there != INVALID_FILE_ATTRIBUTES && (there & FILE_ATTRIBUTE_DIRECTORY))
        return Finished(kFolderInTheWay);

    TFileOperationResult result;
    std::wstring aside;
    if (there != INVALID_FILE_ATTRIBUTES) {
        result.Replaced = targetPath;
        aside = SetAside(target);
        if (aside.empty()) {
            result.Error = kReplacedInUse;
            result.Replaced.clear(); // untouched: nothing to tell of it
            return result;
        }
    }
    result.Error = ShellOperation(owner, static_cast<UINT>(operation), from, Utf8ToWide(destination), kFlags);
    const bool sourceLeft = AttributesOf(from) != INVALID_FILE_ATTRIBUTES;
    if (result.Error == 0 && FileSize(target) != size)
        result.Error = kNotArrived;
    else if (result.Error == 0 && operation == TFileOperation::Move && sourceLeft)
        result.Error = kStillInPlace;

    if (!result.Done()) {
        if (sourceLeft && HeldWithoutSharing(from, operation == TFileOperation::Copy ? GENERIC_READ : DELETE))
            result.Error = kInUse; // the shell's code, if it gave one, says less
        // A copy the shell left half-written is its own, not the user's, while the source is
        // whole where it was.
        if (sourceLeft && AttributesOf(target) != INVALID_FILE_ATTRIBUTES && FileSize(from) == size)
            DeleteFileW(target.c_str());
        if (!aside.empty() && !MoveFileExW(aside.c_str(), target.c_str(), 0))
            result.ReplacedKeptAs = WideToUtf8(aside);
        return result;
    }
    if (!aside.empty() && !Recycle(owner, aside))
        result.ReplacedKeptAs = WideToUtf8(aside);
    else
        result.Replaced.clear(); // in the Recycle Bin, as the user asked
    return result;
}

} // namespace quennet

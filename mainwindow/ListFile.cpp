#include "mainwindow/ListFile.h"

#include "mainwindow/FileActions.h"
#include "runtime/SystemError.h"
#include "base/UniqueHandle.h"
#include "base/WidePath.h"

#include <windows.h>

namespace quennet {

namespace {

std::string Reason(DWORD code) {
    const std::string text = SystemErrorText(code);
    return text.empty() ? "error " + std::to_string(code) : text;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return L".";
    return path.substr(0, slash + 1);
}

} // namespace

std::string SaveListFile(const std::string& path, const ListSnapshot& rows, ListFormat format) {
    const std::wstring target = Utf8ToWide(path);
    wchar_t temporary[MAX_PATH + 1] = L"";
    // Makes the file, empty, under a name no one else has: nothing of another program's is
    // replaced by ours.
    if (!GetTempFileNameW(FolderOf(target).c_str(), L"qnl", 0, temporary))
        return Reason(GetLastError());
    DWORD failure = ERROR_SUCCESS;
    {
        FileHandle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file)
            failure = GetLastError();
        const bool written =
            file && WriteList(rows, format, [&](const std::string& piece) {
                DWORD done = 0;
                if (WriteFile(file.get(), piece.data(), static_cast<DWORD>(piece.size()), &done, nullptr) &&
                    done == piece.size())
                    return true;
                failure = GetLastError();
                if (failure == ERROR_SUCCESS)
                    failure = ERROR_DISK_FULL; // a short write: no room for the rest
                return false;
            });
        // On disk before it takes the name: a crash after the rename must not leave it empty.
        if (written && !FlushFileBuffers(file.get()))
            failure = GetLastError();
    }
    if (failure == ERROR_SUCCESS && !MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING))
        failure = GetLastError();
    if (failure != ERROR_SUCCESS) {
        DeleteFileW(temporary);
        return Reason(failure);
    }
    return {};
}

} // namespace quennet

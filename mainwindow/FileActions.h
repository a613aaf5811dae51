// The operations of the results list's menu on one file: the shell's move, copy and delete,
// and the programs started for a file or its folder.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace quennet {

enum class TFileOperation : UINT { Move = FO_MOVE, Copy = FO_COPY, Delete = FO_DELETE };

// Returned for a Move or Copy into the file's own folder, which is never run.
constexpr int kSameFolderRefused = 0x71; // the shell's DE_SAMEFILE

// The Windows folder without a trailing backslash.
std::string WindowsFolder();
// "<Windows>\notepad.exe <path>" and "<Windows>\explorer.exe <folder>", paths unquoted.
std::string NotepadCommandLine(const std::string& filePath);
std::string ExplorerCommandLine(const std::string& folder);
void OpenWithNotepad(const std::string& filePath);
void OpenFolderInExplorer(const std::string& folder);

// Returned for a Move or Delete that the shell reported done while the file is still where it
// was (Wine's shell reports success for a file it could not move).
constexpr int kStillInPlace = -1;

// One SHFileOperationA call for one file: no confirmation, undo allowed (deleted files go
// to the Recycle Bin). 0 on success. `owner` owns any dialog the shell shows.
int RunFileOperation(HWND owner, TFileOperation operation, const std::string& filePath,
                     const std::string& destination = std::string());

// Whether two paths name the same folder, whatever their spelling.
bool IsSameFolder(const std::string& first, const std::string& second);

} // namespace quennet

// The operations of the results list's menu on one file: the shell's move, copy and delete,
// and the programs started for a file or its folder. Paths are the program's UTF-8 strings;
// the system is called through its wide-character functions.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace quennet {

enum class TFileOperation : UINT { Move = FO_MOVE, Copy = FO_COPY, Delete = FO_DELETE };

// Results of RunFileOperation besides the shell's own codes (0 is success). The shell's codes
// are small positive numbers; these are the program's own refusals.
enum TFileRefusal : int {
    kSameFolderRefused = 0x71, // the shell's DE_SAMEFILE: a Move or Copy into the file's own folder
    kStillInPlace = -1,        // the shell reported done, yet the file is where it was
    kNotOneFile = -2,          // the path holds "?" or "*": the shell would take it as a pattern
    kPathTooLong = -3,         // longer than the shell's file operations take
    kNotRecycled = -4,         // a file of the same name at the destination could not be recycled
    kFolderInTheWay = -5,      // a folder of the same name is at the destination
};

// Why an operation failed, for the user: "it is already in that folder" and the like.
std::string FileOperationFailure(int result);

// The Windows folder without a trailing backslash.
std::string WindowsFolder();
// "<Windows>\notepad.exe <path>" and "<Windows>\explorer.exe <folder>", paths unquoted; a
// path too long for the programs is given in its short form.
std::string NotepadCommandLine(const std::string& filePath);
std::string ExplorerCommandLine(const std::string& folder);
void OpenWithNotepad(const std::string& filePath);
void OpenFolderInExplorer(const std::string& folder);

// One SHFileOperationW call for one file: no confirmation, undo allowed (deleted files go to
// the Recycle Bin). A Move or Copy first recycles a file of the same name at the destination,
// so that replacing it can be undone. 0 on success. `owner` owns any dialog the shell shows.
int RunFileOperation(HWND owner, TFileOperation operation, const std::string& filePath,
                     const std::string& destination = std::string());

// Whether two paths name the same folder, whatever their spelling.
bool IsSameFolder(const std::string& first, const std::string& second);

} // namespace quennet

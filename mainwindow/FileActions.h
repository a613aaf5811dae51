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
// are small positive numbers; these are the program's own refusals and findings.
enum TFileRefusal : int {
    kSameFolderRefused = 0x71, // the shell's DE_SAMEFILE: a Move or Copy into the file's own folder
    kStillInPlace = -1,        // the shell reported done, yet the file is where it was
    kPathTooLong = -3,         // longer than the shell's file operations take
    kReplacedInUse = -4,       // the file of the same name at the destination could not be moved aside
    kFolderInTheWay = -5,      // a folder of the same name is at the destination
    kNotArrived = -6,          // the shell reported done, yet the destination has no complete copy
    kNoSource = -7,            // the file is no longer there
    kStillThere = -8,          // a Delete the shell reported done, yet the file is there
    kInUse = -9,               // held open by a program that lets no one delete or move it
};

// What became of one file's Move, Copy or Delete.
struct TFileOperationResult {
    int Error = 0; // 0 when done; otherwise a TFileRefusal or the shell's code
    // A Move or Copy over a file of the same name: that file's path, and where it is now when
    // it is not where it was (failure) nor in the Recycle Bin (success): moved aside and not
    // put back, or not recycled.
    std::string Replaced;
    std::string ReplacedKeptAs;
    bool Done() const { return Error == 0; }
};

// Why an operation failed, for the user: "it is already in that folder" and the like.
std::string FileOperationFailure(int result);
// The whole story of one file after "path: ": why it failed, what became of the file it would
// have replaced; empty when it was done and nothing needs telling.
std::string FileOperationReport(const TFileOperationResult& result);

// The Windows folder without a trailing backslash.
std::string WindowsFolder();
// "<Windows>\notepad.exe <path>" and "<Windows>\explorer.exe <folder>", paths unquoted; a
// path too long for the programs is given in its short form.
std::string NotepadCommandLine(const std::string& filePath);
std::string ExplorerCommandLine(const std::string& folder);
void OpenWithNotepad(const std::string& filePath);
void OpenFolderInExplorer(const std::string& folder);

// One file's Move, Copy or Delete through SHFileOperationW: no confirmation, undo allowed, a
// warning where a file would be destroyed rather than recycled. The result is checked on disk:
// an operation the shell reports done is done only when the file is gone from its place
// (Move, Delete) and a file of its size is at the destination (Move, Copy).
// A file of the same name at the destination is replaced only once the new one is complete:
// it is moved aside in its folder first, put back when the operation fails, and sent to the
// Recycle Bin (as "name (replaced).ext") when it succeeds. `owner` owns the shell's dialogs.
// The path must name the file itself (RowPath.h).
TFileOperationResult RunFileOperation(HWND owner, TFileOperation operation, const std::string& filePath,
                                      const std::string& destination = std::string());

// Whether two paths name the same folder, whatever their spelling.
bool IsSameFolder(const std::string& first, const std::string& second);

} // namespace quennet

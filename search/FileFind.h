// Folder enumeration with 64-bit sizes, the folder test and a folder's identity. Two back-ends
// meet one contract: Win32 (FindFirstFileExW/FindNextFileW, names turned into UTF-8, paths of
// any length) and POSIX (FolderListing).
#pragma once

#include <cstdint>
#include <string>

#include "base/UniqueHandle.h"
#ifndef _WIN32
#include "search/FolderListingPosix.h"
#endif

namespace quennet {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

inline constexpr std::uint32_t faReadOnly = 0x01;
inline constexpr std::uint32_t faHidden = 0x02;
inline constexpr std::uint32_t faSysFile = 0x04;
inline constexpr std::uint32_t faVolumeID = 0x08;
inline constexpr std::uint32_t faDirectory = 0x10;
inline constexpr std::uint32_t faArchive = 0x20;
inline constexpr std::uint32_t faAnyFile = 0x3F;
// A link, junction or other reparse point. With faDirectory: a folder reached through a link,
// the only way a walk can come back to a folder it is inside.
inline constexpr std::uint32_t faSymLink = 0x400;

// One open enumeration and its current entry. Move-only: the enumeration's owner closes it.
struct TSearchRec {
    std::uint32_t Attr = 0;
    std::string Name;
    std::uint32_t ExcludeMask = 0;
    // For a link that cannot be followed however often it is (a loop of links, POSIX), why:
    // the entry is then neither file nor folder, and worth telling of. 0 for any other entry.
    std::uint32_t LinkFault = 0;

    // 64-bit size. On POSIX it is looked up on first use, since most entries never need it.
    std::int64_t Size();
    // The size when telling it costs nothing (Win32 always; POSIX once looked up), else -1.
    std::int64_t SizeIfKnown() const;
    // The last write, in seconds since 1970 (UTC): from the listing on Win32; on POSIX looked
    // up with the size, in the same call.
    std::int64_t LastWriteTime();

#ifdef _WIN32
    FindHandle Handle; // INVALID_HANDLE_VALUE when no enumeration is open
    WIN32_FIND_DATAW FindData{};
    std::int64_t size_ = 0;
    // The folder listed, in the "\\?\" form with its trailing backslash, when the listing was
    // opened by FindFirstEntryIn: its files are opened as FolderW + their name, taken literally.
    std::wstring FolderW;
#else
    FolderListing Dir;
    std::int64_t size_ = -1;
    std::int64_t lastWrite_ = 0;
    bool sizeKnown_ = false;
#endif
};

#ifdef _WIN32
inline std::int64_t TSearchRec::SizeIfKnown() const { return size_; }
#else
inline std::int64_t TSearchRec::SizeIfKnown() const { return sizeKnown_ ? size_ : -1; }
#endif

// 0 on success, else the platform's error code (no enumeration left open).
std::uint32_t FindFirstEntry(const std::string& pattern, std::uint32_t attrMask, TSearchRec& rec);
// 0, or the platform's error code (the end of the folder gives kNoMoreFiles).
std::uint32_t FindNextEntry(TSearchRec& rec);
void CloseFindHandle(TSearchRec& rec);

extern const std::uint32_t kNoMoreFiles;

#ifdef _WIN32
// Lists `folder`, a path in the "\\?\" form ending in a backslash, taken as it is.
std::uint32_t FindFirstEntryIn(const std::wstring& folder, std::uint32_t attrMask, TSearchRec& rec);
#else
// Lists `folder`, an open listing read from its start; `rec` owns it until the caller takes it
// back from rec.Dir, whatever the result.
std::uint32_t FindFirstEntryIn(FolderListing folder, std::uint32_t attrMask, TSearchRec& rec);
#endif

// Errors that mean "it is not there" or "this user may not read it": a search skips such a file
// or folder in silence; any other error is reported.
bool IsAbsenceOrDenial(std::uint32_t error);
// The system's words for an error code.
std::string SystemErrorText(std::uint32_t error);

bool IsExistingFolder(const std::string& path);

// What makes a folder the same folder whatever path reaches it: its volume and its number on
// that volume. Links are followed.
struct FolderIdentity {
    std::uint64_t Volume = 0;
    std::uint64_t File = 0;
    bool operator==(const FolderIdentity& other) const { return Volume == other.Volume && File == other.File; }
};
// False when the folder cannot be reached.
bool GetFolderIdentity(const std::string& path, FolderIdentity& identity);

// The look-in check, of a folder as the walk takes it (on Windows "D:" is the drive's root and
// "D:\\sub" or "D:\sub." are "D:\sub"): an existing folder, and on Windows a path of the
// drive-letter form ("X:..."), so network paths are refused. Empty when `path` passes, else why
// it does not.
std::string LookInPathFault(const std::string& path);
inline bool IsValidLookInPath(const std::string& path) { return LookInPathFault(path).empty(); }

} // namespace quennet

// Reading of one file, for the content scan (in order, or in ranges) and for the hex viewer's
// pages. Win32: CreateFileW (any path length, any script) sharing the file with other programs,
// so files they have open are still read; POSIX: open/read/pread.
#pragma once

#include "base/UniqueHandle.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quennet {

struct TSearchRec;

// Why an open or a read failed, as far as a search cares.
enum class ReadFault {
    None,
    Absent,       // vanished, not a file any more, locked or denied to this user: skipped in silence
    NoDescriptor, // the process or the system has no descriptor left: worth waiting for one
    Other,        // an I/O error, a path too long, no memory: the file is reported as not read
};

// A folder whose files a pool of scanners opens by name. POSIX: a descriptor of the folder, so
// each open resolves one name, at any depth, never the whole path; Win32: the path alone.
class OpenFolder {
  public:
    // `path`: the folder's, with its trailing separator; `entry`: the current entry of the
    // folder's open enumeration (POSIX shares its descriptor).
    OpenFolder(std::shared_ptr<const std::string> path, const TSearchRec& entry);
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    // One copy for the folder's rows, kept after the folder is let go.
    const std::shared_ptr<const std::string>& SharedPath() const { return path_; }

  private:
    friend class FileReader;
    std::shared_ptr<const std::string> path_;
#ifdef _WIN32
    std::wstring wideFolder_; // as the listing had it, in the "\\?\" form: names are appended as they are
#else
    std::shared_ptr<const FileDescriptor> folder_; // the walk's own, shared
#endif
};

// What other programs may do with the file while it is open here.
enum class FileSharing {
    ReadWrite,       // the search, reading the file once in order: they may read and write it
    ReadWriteDelete, // the viewer, holding it while shown, read at random: rename and delete it too
    // (POSIX has no share modes: others may always do all of it.)
};

class FileReader {
  public:
    explicit FileReader(FileSharing sharing = FileSharing::ReadWrite) : sharing_(sharing) {}

    // False when the file cannot be opened (Fault() says why). `entry`, when given, is the
    // file's current entry in an open enumeration of its folder; POSIX opens the name relative
    // to that folder and saves the look-up of the whole path.
    bool Open(const std::string& path, const TSearchRec* entry = nullptr);
    bool Open(const OpenFolder& folder, const std::string& name);
    // The size now; -1 when it cannot be had.
    std::int64_t Size() const;
    // Reads up to `count` bytes; fewer only at the end of the file or on an error (Fault()).
    std::size_t Read(void* buffer, std::size_t count);
    // Reads up to `count` bytes at `offset`, for scanners that share one file in ranges.
    std::size_t ReadAt(void* buffer, std::size_t count, std::int64_t offset);
    void Close() { file_.reset(); }

    // Why the last open failed, or whether a read has failed since.
    ReadFault Fault() const;
    std::string FaultText() const;
    // The system's own code for that (errno, or Win32's last error), for a caller's own message.
    int FaultCode() const { return error_; }

  private:
#ifdef _WIN32
    FileHandle file_;
#else
    FileDescriptor file_;
#endif
    int error_ = 0; // errno, or Win32's last error
    FileSharing sharing_;
};

// Descriptors a pool of scanners may hold at once for its folders and files: the process's
// limit less those open now and a reserve for the walk and the output. No limit on Win32.
std::size_t DescriptorsToSpare();

} // namespace quennet

// Sequential reading of one file for the content scan. Win32: CreateFileA with read and
// write sharing, so files other programs have open are still read; POSIX: open/read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quennet {

struct TSearchRec;

class FileReader {
  public:
    FileReader() = default;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    ~FileReader() { Close(); }

    // False when the file cannot be opened (locked, denied, vanished). `entry`, when given, is
    // the file's current entry in an open enumeration of its folder; POSIX opens the name
    // relative to that folder and saves the look-up of the whole path.
    bool Open(const std::string& path, const TSearchRec* entry = nullptr);
    // The size now; -1 when it cannot be had.
    std::int64_t Size() const;
    // Reads up to `count` bytes; fewer only at the end of the file or on an error.
    std::size_t Read(void* buffer, std::size_t count);
    void Close();

  private:
#ifdef _WIN32
    void* handle_ = reinterpret_cast<void*>(-1); // INVALID_HANDLE_VALUE when closed
#else
    int fd_ = -1;
#endif
};

} // namespace quennet

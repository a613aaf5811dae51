// Sequential reading of one file for the content scan. Win32: CreateFileA with read and
// write sharing, so files other programs have open are still read; POSIX: open/read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quennet {

class FileReader {
public:
    FileReader() = default;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    ~FileReader() { Close(); }

    // False when the file cannot be opened (locked, denied, vanished, not a regular file).
    bool Open(const std::string& path);
    // The size at the moment of opening.
    std::int64_t Size() const { return size_; }
    // Reads up to `count` bytes; returns the number read, 0 at the end or on an error.
    std::size_t Read(void* buffer, std::size_t count);
    void Close();

private:
#ifdef _WIN32
    void* handle_ = reinterpret_cast<void*>(-1); // INVALID_HANDLE_VALUE when closed
#else
    int fd_ = -1;
#endif
    std::int64_t size_ = 0;
};

} // namespace quennet

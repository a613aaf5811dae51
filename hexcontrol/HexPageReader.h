#pragma once
// Random-access reading of the viewed file, for the paged data. HexPageReader is what the
// pages need; HexFilePageReader is the file behind it, read with the search's own reader.
#include "search/FileReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace quennet {

class HexPageReader {
  public:
    virtual ~HexPageReader() = default;
    // The size fixed when the file was opened; pages past it are never asked for.
    virtual std::int64_t Size() const = 0;
    // Up to count bytes at offset; fewer when the rest cannot be read (an error, or the file
    // has shrunk since it was opened), and FaultText then says why.
    virtual std::size_t ReadAt(std::int64_t offset, void* dst, std::size_t count) = 0;
    virtual std::string FaultText() const { return std::string(); }
};

class HexFilePageReader final : public HexPageReader {
  public:
    // Opens path for reading while others may read, write, rename and delete it. False when
    // it cannot be opened or sized; File() then says why.
    bool Open(const std::string& path);
    std::int64_t Size() const override { return size_; }
    std::size_t ReadAt(std::int64_t offset, void* dst, std::size_t count) override;
    std::string FaultText() const override;
    const FileReader& File() const { return file_; }

  private:
    FileReader file_{FileSharing::ReadWriteDelete};
    std::int64_t size_ = 0;
    bool shrunk_ = false; // the last short read met the file's new end, not an error
};

} // namespace quennet

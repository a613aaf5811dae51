// A folder's descriptor and the reading of its entries, straight from the kernel (getdents64).
//
// opendir and readdir cost a walk more than the listing itself: opendir resolves the whole path
// (fdopendir on a descriptor opened by name checks it with two more calls), and a scanner then
// opened each file by a path the kernel walked again component by component. Here a folder is
// opened by its name in its parent, one call, and its descriptor opens its files and
// subfolders too: it is shared with the scanners, who open the folder's files by name in it
// after the walk has moved on, without a copy of their own.
#pragma once

#include "base/UniqueHandle.h"

#include <dirent.h>

#include <cstddef>
#include <memory>

namespace quennet {

class FolderListing {
  public:
    FolderListing() = default;
    FolderListing(FolderListing&&) noexcept = default;
    FolderListing& operator=(FolderListing&&) noexcept = default;

    // `path` relative to the folder `at` (AT_FDCWD: the working folder). Empty on failure,
    // with errno set.
    static FolderListing Open(int at, const char* path);

    explicit operator bool() const { return descriptor_ && *descriptor_; }
    int Descriptor() const { return descriptor_ ? descriptor_->get() : -1; }
    // The descriptor, for as long as the caller holds it, the listing gone or not.
    std::shared_ptr<const FileDescriptor> Share() const { return descriptor_; }

    // The next entry, "." and ".." included; null at the end (errno 0) or on an error (errno
    // set). Valid until the next call.
    const dirent64* Next();
    // Back to the first entry.
    void Rewind();

  private:
    // Enough for a few hundred entries a call; allocated at the first read, since a folder
    // held only to open its files never needs it.
    static constexpr std::size_t kBufferSize = 32 * 1024;

    std::shared_ptr<const FileDescriptor> descriptor_;
    std::unique_ptr<char[]> buffer_;
    std::size_t position_ = 0;
    std::size_t filled_ = 0;
};

} // namespace quennet

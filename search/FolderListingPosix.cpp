#include "search/FolderListingPosix.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quennet {

FolderListing FolderListing::Open(int at, const char* path) {
    FolderListing listing;
    FileDescriptor descriptor(::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
    if (descriptor)
        listing.descriptor_ = std::make_shared<const FileDescriptor>(std::move(descriptor));
    return listing;
}

const dirent64* FolderListing::Next() {
    if (position_ >= filled_) {
        if (!buffer_)
            buffer_.reset(new char[kBufferSize]);
        const ssize_t read = ::getdents64(Descriptor(), buffer_.get(), kBufferSize);
        position_ = 0;
        filled_ = read > 0 ? static_cast<std::size_t>(read) : 0;
        if (read <= 0) {
            if (read == 0)
                errno = 0;
            return nullptr;
        }
    }
    const auto* entry = reinterpret_cast<const dirent64*>(buffer_.get() + position_);
    position_ += entry->d_reclen;
    return entry;
}

void FolderListing::Rewind() {
    ::lseek(Descriptor(), 0, SEEK_SET);
    position_ = filled_ = 0;
}

} // namespace quennet

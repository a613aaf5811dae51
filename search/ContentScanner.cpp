#include "search/ContentScanner.h"

#include "search/FileReader.h"

#include <algorithm>

namespace quennet {

ContentScanner::ContentScanner(const std::string& phrase, bool foldCase, std::size_t bufferSize,
                               const std::atomic<bool>& stopRequest, std::size_t chunkSize)
    : finder_(phrase, foldCase), bufferSize_(std::max<std::size_t>(bufferSize, 1)),
      chunkSize_(std::max<std::size_t>(chunkSize, 1)), stopRequest_(stopRequest) {}

bool ContentScanner::SearchBlock(const unsigned char* block, std::size_t size, std::int64_t blockOffset,
                                 std::int64_t& matchOffset) {
    const std::size_t keep = finder_.Length() - 1;
    if (!carry_.empty()) {
        // An occurrence that starts in the carried bytes ends within the first L-1 bytes here.
        joint_.assign(carry_.begin(), carry_.end());
        joint_.insert(joint_.end(), block, block + std::min(keep, size));
        const std::size_t at = finder_.Find(joint_.data(), joint_.size());
        if (at != PhraseFinder::npos && at < carry_.size()) {
            matchOffset = blockOffset - static_cast<std::int64_t>(carry_.size()) + static_cast<std::int64_t>(at);
            return true;
        }
    }
    const std::size_t at = finder_.Find(block, size);
    if (at != PhraseFinder::npos) {
        matchOffset = blockOffset + static_cast<std::int64_t>(at);
        return true;
    }
    if (keep == 0)
        return false;
    if (size >= keep) {
        carry_.assign(block + size - keep, block + size);
    } else {
        carry_.insert(carry_.end(), block, block + size);
        if (carry_.size() > keep)
            carry_.erase(carry_.begin(), carry_.end() - static_cast<std::ptrdiff_t>(keep));
    }
    return false;
}

bool ContentScanner::FileContainsPhrase(const std::string& path, std::int64_t& matchOffset) {
    if (finder_.Length() == 0)
        return false;
    FileReader file;
    if (!file.Open(path))
        return false;
    const std::int64_t size = file.Size();
    if (size <= 0)
        return false;
    if (!buffer_.data())
        buffer_.Allocate(bufferSize_);
    carry_.clear();

    std::int64_t requested = 0;
    while (requested < size) {
        // A stop is honoured between pieces; the file being read is then not listed.
        if (stopRequest_.load(std::memory_order_relaxed))
            return false;
        const std::size_t piece = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(bufferSize_), size - requested));
        std::size_t filled = 0;
        while (filled < piece) {
            const std::size_t ask = std::min(chunkSize_, piece - filled);
            const std::size_t got = file.Read(buffer_.data() + filled, ask);
            if (got > 0 && SearchBlock(buffer_.data() + filled, got, requested + static_cast<std::int64_t>(filled),
                                       matchOffset))
                return true;
            filled += got;
            if (got < ask)
                return false; // the file shrank: only the bytes read count
        }
        requested += static_cast<std::int64_t>(piece);
    }
    return false;
}

} // namespace quennet

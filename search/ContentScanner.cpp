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
            matchOffset =
                blockOffset - static_cast<std::int64_t>(carry_.size()) + static_cast<std::int64_t>(at);
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

bool ContentScanner::FileContainsPhrase(const std::string& path, std::int64_t& matchOffset,
                                        const TSearchRec* entry) {
    if (finder_.Length() == 0)
        return false;
    FileReader file;
    if (!file.Open(path, entry))
        return false;
    if (!buffer_.data())
        buffer_.Allocate(std::min(bufferSize_, chunkSize_));
    carry_.clear();

    // A read that returns less than asked ends the file. Most files fit in one chunk, so
    // their size is never asked for; a larger file's size is fixed after its first chunk,
    // and bytes appended later are not read.
    std::int64_t size = -1;
    std::int64_t requested = 0;
    for (;;) {
        const std::size_t intoPiece =
            static_cast<std::size_t>(requested % static_cast<std::int64_t>(bufferSize_));
        // A stop is honoured between pieces; the file being read is then not listed.
        if (intoPiece == 0 && stopRequest_.load(std::memory_order_relaxed))
            return false;
        std::size_t ask = std::min(chunkSize_, bufferSize_ - intoPiece);
        if (size >= 0) {
            if (requested >= size)
                return false;
            ask = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(ask), size - requested));
        }
        const std::size_t got = file.Read(buffer_.data(), ask);
        if (got > 0 && SearchBlock(buffer_.data(), got, requested, matchOffset))
            return true;
        requested += static_cast<std::int64_t>(got);
        if (got < ask)
            return false;
        if (size < 0)
            size = file.Size();
    }
}

} // namespace quennet

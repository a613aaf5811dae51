// Decides whether a file contains the phrase and where its first occurrence starts.
// The file is read from start to end in pieces of the request's buffer size; each piece is
// read in cache-sized chunks into one page-aligned buffer kept for the whole search and
// searched in place, so memory stays at about one buffer and the bytes are searched while
// they are still in the processor's cache.
#pragma once

#include "search/AlignedBuffer.h"
#include "search/PhraseFinder.h"
#include "search/SearchRequest.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace quennet {

class ContentScanner {
public:
    static constexpr std::size_t kDefaultChunkSize = 256 * 1024;

    // `bufferSize` and `chunkSize` are parameters so tests can make every match straddle a piece.
    ContentScanner(const std::string& phrase, bool foldCase, std::size_t bufferSize,
                   const std::atomic<bool>& stopRequest, std::size_t chunkSize = kDefaultChunkSize);

    // True with the offset of the first occurrence. A file that cannot be opened, or whose
    // scan a stop request cut short, does not contain the phrase.
    bool FileContainsPhrase(const std::string& path, std::int64_t& matchOffset);

private:
    // Feeds the next block of the file; true when an occurrence is found.
    bool SearchBlock(const unsigned char* block, std::size_t size, std::int64_t blockOffset,
                     std::int64_t& matchOffset);

    PhraseFinder finder_;
    std::size_t bufferSize_;
    std::size_t chunkSize_;
    const std::atomic<bool>& stopRequest_;
    AlignedBuffer buffer_;              // allocated at the first file that is read
    std::vector<unsigned char> carry_;  // the last L-1 bytes searched, for straddling matches
    std::vector<unsigned char> joint_;  // carry + the head of the next block
};

} // namespace quennet

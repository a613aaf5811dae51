// Finds the first match of a regular expression in a file fed to it block by block, as the
// content scanner reads it: the whole file in order, or a range of it that a pool of scanners
// shares.
//
// The file is cut in blocks of kBlockBytes from its start. The matches that start in a block
// are looked for as if the file ended where the next block ends: one search of at most two
// blocks, the library trying only the starts in the first. So a match sees at least one block
// past its start and at most two, the window held never exceeds two blocks (and the few
// characters before them that lookbehinds, ^ and \b look at), each block is searched once (a
// leading .* never goes over a long line again from every start), and a block's answer is the
// same however the file is read: every thread count, chunk size and range split finds the same
// first match. A file of up to two blocks is searched whole. The work of one block's search is
// bounded in proportion to its size (RegexPattern): past it the file is given up.
//
// A file that begins with a UTF-16 byte-order mark is matched as UTF-16 text (the mark itself
// is not text), in its own byte order; offsets and lengths are in bytes from the file's start.
#pragma once

#include "search/PhraseFinder.h"
#include "search/RegexPattern.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quennet {

class RegexFinder {
  public:
    static constexpr std::size_t kBlockBytes = 1024 * 1024;

    // What the search knows after a block.
    enum class Step {
        More,   // nothing decided yet: feed the next block
        Found,  // the first match that starts before `end` (Offset(), Length())
        None,   // none starts before `end`
        GaveUp, // the work on a block passed its bound: the file cannot be decided (GaveUpReason())
    };

    // Throws std::invalid_argument for a pattern that does not compile. `blockBytes`: a
    // parameter so tests can reach block borders with small files (even, at least 2).
    RegexFinder(const std::string& pattern, bool caseSensitive, const std::atomic<bool>& stopRequest,
                std::size_t blockBytes = kBlockBytes);

    // Reads up to `count` bytes of the file at `offset`; returns how many it read.
    using ReadAt = std::function<std::size_t(unsigned char* buffer, std::size_t count, std::int64_t offset)>;

    // Before a file is fed from `start` (0, or a range's first byte): a later start reads the
    // byte-order mark and the characters before `start` that a match there may look at.
    void Begin(const ReadAt& read, std::int64_t start);
    // The next block, which starts at `offset`, right after the previous one; `end`: matches
    // that start there or later do not count (kToEnd-like for a whole file).
    Step Feed(const unsigned char* block, std::size_t size, std::int64_t offset, std::int64_t end);
    // At the end of the file: what is still pending is decided with no more to come.
    Step Finish(std::int64_t end);

    // How far a scan whose matches start before `end` must read: to the end of the block after
    // the one `end - 1` lies in.
    std::int64_t ReadEnd(std::int64_t end) const;

    std::int64_t Offset() const { return foundOffset_; }
    std::int32_t Length() const { return foundLength_; }
    const std::string& GaveUpReason() const { return gaveUp_; }

  private:
    // Decides every block whose search has all its bytes (at the file's end, `final`: all).
    Step Decide(std::int64_t end, bool final);
    // The first unit at or after `from` that begins a character (a block may begin inside one,
    // which a search of the file would have begun before it).
    std::size_t CharacterStart(std::size_t from, std::size_t length) const;
    // Whether no candidate of the prefix starts at a pending start before `offset` (only the
    // window's last bytes may be pending) or in the block fed at `offset`.
    bool NoCandidateFrom(const unsigned char* block, std::size_t size, std::int64_t offset) const;
    // Drops the window's bytes that no match starting at `keepFrom` or later can look at.
    void Trim(std::int64_t keepFrom);
    void MakeUnits(std::size_t bytes);
    std::size_t UnitBytes() const { return wide_ ? 2 : 1; }
    std::int64_t WindowEnd() const { return windowOffset_ + static_cast<std::int64_t>(window_.size()); }
    std::int64_t BlockStart(std::int64_t offset) const { return offset / block_ * block_; }

    RegexPattern pattern_;
    std::optional<PhraseFinder> prefix_; // candidates for the 8-bit search, when the pattern has one
    const std::atomic<bool>& stopRequest_;
    std::int64_t block_;
    std::size_t contextBytes_; // kept before the next start, for lookbehinds

    bool markPending_ = true; // the file's first block is still to be seen
    bool wide_ = false;
    bool bigEndian_ = false;
    std::vector<unsigned char> window_;
    std::vector<char16_t> units_; // the window as UTF-16 units, in a UTF-16 file
    std::int64_t windowOffset_ = 0;
    std::int64_t next_ = 0; // the file offset of the first start not yet ruled out
    std::int64_t foundOffset_ = 0;
    std::int32_t foundLength_ = 0;
    std::string gaveUp_;
};

} // namespace quennet

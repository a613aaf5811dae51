// Finds the first match of a regular expression in a file fed to it block by block, as the
// content scanner reads it: the whole file in order, or a range of it that a pool of scanners
// shares. Each block is appended to a window that keeps only what a match may still need: the
// bytes of a partial match at the window's end (the library's partial matching says which) and
// a few characters before it for lookbehinds, ^ and \b. So a match across any chunk or range
// border is found at its offset, and the first match is the same however the file is cut.
//
// The bound: a match is at most kMaxMatchBytes long. A match that starts at P is looked for in
// the file as if it ended kMaxMatchBytes after P (or at its real end, if sooner); one that would
// need to look further is not a match there. So `a.*b` on a line of 100 MB cannot make the
// window grow without end, and every thread count and chunk size gives the same answer.
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
    static constexpr std::size_t kMaxMatchBytes = 1024 * 1024;

    // What the search knows after a block.
    enum class Step {
        More,   // nothing decided yet: feed the next block
        Found,  // the first match that starts before `end` (Offset(), Length())
        None,   // none starts before `end`
        GaveUp, // the library's match limit was hit: the file cannot be decided (GaveUpReason())
    };

    // Throws std::invalid_argument for a pattern that does not compile. `maxMatch`: a
    // parameter so tests can reach the bound with small files.
    RegexFinder(const std::string& pattern, bool caseSensitive, const std::atomic<bool>& stopRequest,
                std::size_t maxMatch = kMaxMatchBytes);

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

    std::int64_t Offset() const { return foundOffset_; }
    std::int32_t Length() const { return foundLength_; }
    const std::string& GaveUpReason() const { return gaveUp_; }
    std::size_t MaxMatch() const { return maxMatch_; }

  private:
    Step Search(std::int64_t end, bool final);
    // The earliest full or partial match at or after unit `from` of the window.
    RegexOutcome Attempt(std::size_t from, bool final) const;
    // The attempt at `start` again, on the file cut maxMatch_ bytes after it.
    RegexOutcome AttemptBounded(std::size_t start, std::int64_t startOffset) const;
    // Drops the window's bytes that no match starting at `keepFrom` or later can look at.
    void Trim(std::int64_t keepFrom);
    void MakeUnits();
    std::size_t UnitBytes() const { return wide_ ? 2 : 1; }
    // The units of the window a search may look at: before the file's end, not a character
    // whose last bytes are still to come (the library would take it for an invalid one).
    std::size_t CompleteUnits(bool final) const;
    std::int64_t WindowEnd() const { return windowOffset_ + static_cast<std::int64_t>(usable_ * UnitBytes()); }
    // Bytes of the character at unit `at`, at least one unit.
    std::size_t CharacterBytes(std::size_t at) const;

    RegexPattern pattern_;
    std::optional<PhraseFinder> prefix_; // candidates for the 8-bit search, when the pattern has one
    const std::atomic<bool>& stopRequest_;
    std::size_t maxMatch_;
    std::size_t contextBytes_; // kept before the next start, for lookbehinds

    bool markPending_ = true; // the file's first block is still to be seen
    bool wide_ = false;
    bool bigEndian_ = false;
    std::vector<unsigned char> window_;
    std::vector<char16_t> units_; // the window as UTF-16 units, in a UTF-16 file
    std::size_t usable_ = 0;      // of the window's units, by CompleteUnits
    std::int64_t windowOffset_ = 0;
    std::int64_t next_ = 0; // the file offset of the first start not yet ruled out
    std::int64_t foundOffset_ = 0;
    std::int32_t foundLength_ = 0;
    std::string gaveUp_;
};

} // namespace quennet

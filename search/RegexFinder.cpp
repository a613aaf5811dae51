#include "search/RegexFinder.h"

#include "search/Utf16PhraseFinder.h"

#include <algorithm>

namespace quennet {

namespace {

constexpr const char* kLimitReason =
    "The regular expression took too many steps in this file (the match limit): not searched to its end.";
constexpr const char* kFailedReason = "The regular expression could not be matched in this file.";
// Bytes of the longest character in either encoding.
constexpr std::size_t kCharacterBytes = 4;

std::size_t Utf8Length(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

RegexFinder::RegexFinder(const std::string& pattern, bool caseSensitive, const std::atomic<bool>& stopRequest,
                         std::size_t blockBytes)
    : pattern_(pattern, caseSensitive), stopRequest_(stopRequest),
      block_(static_cast<std::int64_t>(std::max<std::size_t>(blockBytes + blockBytes % 2, 2))) {
    contextBytes_ = pattern_.LookbehindCharacters() * kCharacterBytes;
    // A single character finds too many candidates to be worth the fast search.
    if (pattern_.RequiredPrefix().size() >= 2)
        prefix_.emplace(pattern_.RequiredPrefix(), pattern_.PrefixFolded());
}

void RegexFinder::Begin(const ReadAt& read, std::int64_t start) {
    window_.clear();
    units_.clear();
    gaveUp_.clear();
    windowOffset_ = start;
    next_ = start;
    wide_ = false;
    markPending_ = start == 0;
    if (start == 0)
        return;
    unsigned char head[kByteOrderMarkSize];
    const ByteOrderMark mark = ByteOrderMarkOf(head, read(head, kByteOrderMarkSize, 0));
    wide_ = mark != ByteOrderMark::None;
    bigEndian_ = mark == ByteOrderMark::BigEndian;
    // The text of a UTF-16 file starts after its mark, and its characters at even offsets
    // (ranges start there; the viewer's F3 may start anywhere).
    const std::int64_t textStart = wide_ ? static_cast<std::int64_t>(kByteOrderMarkSize) : 0;
    if (wide_)
        next_ = std::max(textStart, start + start % 2);
    std::int64_t context = std::min<std::int64_t>(static_cast<std::int64_t>(contextBytes_), start - textStart);
    if (wide_)
        context -= (start - context) % 2;
    if (context <= 0)
        return;
    window_.resize(static_cast<std::size_t>(context));
    if (read(window_.data(), window_.size(), start - context) != window_.size()) {
        window_.clear(); // the read fails again, and is reported, at the range itself
        return;
    }
    windowOffset_ = start - context;
}

RegexFinder::Step RegexFinder::Feed(const unsigned char* block, std::size_t size, std::int64_t offset,
                                    std::int64_t end) {
    if (markPending_ && offset == 0) {
        markPending_ = false;
        const ByteOrderMark mark = ByteOrderMarkOf(block, size);
        wide_ = mark != ByteOrderMark::None;
        bigEndian_ = mark == ByteOrderMark::BigEndian;
        if (wide_) {
            // The mark is not text: a line starts after it.
            block += kByteOrderMarkSize;
            size -= kByteOrderMarkSize;
            offset += kByteOrderMarkSize;
            windowOffset_ = next_ = offset;
        }
    }
    if (window_.empty()) {
        if (wide_ && offset < next_) {
            // The window of a UTF-16 file starts on a unit of its text.
            const std::size_t skip = std::min(size, static_cast<std::size_t>(next_ - offset));
            block += skip;
            size -= skip;
            offset += static_cast<std::int64_t>(skip);
        }
        windowOffset_ = offset;
    }
    // Nothing pending and no candidate in the block: no match starts in it, only its last bytes
    // can still begin one, and they are all the window needs, which spares copying the block
    // (a literal search's usual case, where the copy would cost a third of the time).
    // After such a block the starts still pending are its last L-1 bytes: a candidate among them
    // runs on into this block, so they are looked at with this block's first bytes.
    const std::size_t keep = prefix_ ? contextBytes_ + prefix_->Length() - 1 : 0;
    if (prefix_ && !wide_ && size > 2 * keep && NoCandidateFrom(block, size, offset)) {
        window_.assign(block + size - keep, block + size);
        windowOffset_ = offset + static_cast<std::int64_t>(size - keep);
        next_ = offset + static_cast<std::int64_t>(size - (prefix_->Length() - 1));
        return Decide(end, false);
    }
    window_.insert(window_.end(), block, block + size);
    return Decide(end, false);
}

RegexFinder::Step RegexFinder::Finish(std::int64_t end) {
    return Decide(end, true);
}

std::int64_t RegexFinder::ReadEnd(std::int64_t end) const {
    return BlockStart(std::max<std::int64_t>(end, 1) - 1) + 2 * block_;
}

void RegexFinder::MakeUnits(std::size_t bytes) {
    units_.resize(bytes / 2);
    const unsigned char* data = window_.data();
    const int high = bigEndian_ ? 0 : 1;
    for (std::size_t i = 0; i < units_.size(); ++i)
        units_[i] = static_cast<char16_t>(data[2 * i + high] << 8 | data[2 * i + 1 - high]);
}

std::size_t RegexFinder::CharacterStart(std::size_t from, std::size_t length) const {
    if (from == 0 || from >= length)
        return from;
    if (wide_) {
        const bool lowAfterHigh = (units_[from] & 0xFC00) == 0xDC00 && (units_[from - 1] & 0xFC00) == 0xD800;
        return lowAfterHigh ? from + 1 : from;
    }
    // The lead byte among the three before, if its character runs on past `from`.
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, from); ++back) {
        const unsigned char byte = window_[from - back];
        if (IsContinuation(byte))
            continue;
        std::size_t at = from;
        const std::size_t characterEnd = std::min(from - back + Utf8Length(byte), length);
        while (at < characterEnd && IsContinuation(window_[at]))
            ++at;
        return at;
    }
    return from;
}

bool RegexFinder::NoCandidateFrom(const unsigned char* block, std::size_t size, std::int64_t offset) const {
    const std::size_t tail = prefix_->Length() - 1;
    if (next_ > offset || next_ < offset - static_cast<std::int64_t>(tail) || WindowEnd() != offset)
        return false;
    const auto pending = static_cast<std::size_t>(offset - next_);
    if (pending > 0) {
        std::vector<unsigned char> border(window_.end() - static_cast<std::ptrdiff_t>(pending), window_.end());
        border.insert(border.end(), block, block + std::min(size, tail));
        if (prefix_->Find(border.data(), border.size()) != PhraseFinder::npos)
            return false;
    }
    return prefix_->Find(block, size) == PhraseFinder::npos;
}

void RegexFinder::Trim(std::int64_t keepFrom) {
    std::int64_t cut = std::max(windowOffset_, keepFrom - static_cast<std::int64_t>(contextBytes_));
    if (wide_)
        cut -= (cut - windowOffset_) % 2; // on a unit
    const std::size_t drop = std::min(static_cast<std::size_t>(cut - windowOffset_), window_.size());
    if (drop == 0)
        return;
    window_.erase(window_.begin(), window_.begin() + static_cast<std::ptrdiff_t>(drop));
    windowOffset_ += static_cast<std::int64_t>(drop);
}

RegexFinder::Step RegexFinder::Decide(std::int64_t end, bool final) {
    for (;;) {
        if (next_ >= end)
            return Step::None;
        // Between the searches of blocks, not within one: a stop does not wait for the file.
        if (stopRequest_.load(std::memory_order_relaxed))
            return Step::None;
        const std::int64_t blockStart = BlockStart(next_);
        const std::int64_t cut = blockStart + 2 * block_;
        if (!final && WindowEnd() < cut)
            return Step::More;
        const std::int64_t subjectEnd = std::min(cut, WindowEnd());
        // A match may still start at the file's very end (an empty one, \z).
        if (next_ > subjectEnd)
            return final ? Step::None : Step::More;
        const std::size_t unit = UnitBytes();
        const auto length = static_cast<std::size_t>(subjectEnd - windowOffset_) / unit;
        if (wide_)
            MakeUnits(length * unit);
        std::size_t from = static_cast<std::size_t>(next_ - windowOffset_) / unit;
        if (next_ == blockStart)
            from = CharacterStart(from, length);
        const std::int64_t lastStart = std::min(blockStart + block_, end) - 1;
        const auto last = static_cast<std::size_t>(lastStart - windowOffset_) / unit;
        if (from <= last) {
            const RegexOutcome outcome = wide_ ? pattern_.Match16(units_.data(), length, from, last)
                                               : pattern_.Match8(window_.data(), length, from, last);
            if (outcome.Result == RegexOutcome::Kind::Full) {
                foundOffset_ = windowOffset_ + static_cast<std::int64_t>(outcome.Start * unit);
                foundLength_ = static_cast<std::int32_t>((outcome.End - outcome.Start) * unit);
                return Step::Found;
            }
            if (outcome.Result != RegexOutcome::Kind::None) {
                gaveUp_ = outcome.Result == RegexOutcome::Kind::Limit ? kLimitReason : kFailedReason;
                return Step::GaveUp;
            }
        }
        next_ = blockStart + block_;
        Trim(next_);
    }
}

} // namespace quennet

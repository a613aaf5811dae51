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

} // namespace

RegexFinder::RegexFinder(const std::string& pattern, bool caseSensitive, const std::atomic<bool>& stopRequest,
                         std::size_t maxMatch)
    : pattern_(pattern, caseSensitive), stopRequest_(stopRequest), maxMatch_(std::max<std::size_t>(maxMatch, 2)) {
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
    // Nothing pending and no candidate in the block: only its last bytes can still begin a
    // match, and they are all the window needs, which spares copying the block (a literal
    // search's usual case, where the copy would cost a third of the time).
    const std::size_t keep = prefix_ ? contextBytes_ + prefix_->Length() - 1 : 0;
    if (prefix_ && !wide_ && next_ == offset && size > 2 * keep &&
        prefix_->Find(block, size) == PhraseFinder::npos) {
        window_.assign(block + size - keep, block + size);
        windowOffset_ = offset + static_cast<std::int64_t>(size - keep);
        next_ = offset + static_cast<std::int64_t>(size - (prefix_->Length() - 1));
        return Search(end, false);
    }
    window_.insert(window_.end(), block, block + size);
    return Search(end, false);
}

RegexFinder::Step RegexFinder::Finish(std::int64_t end) {
    return Search(end, true);
}

void RegexFinder::MakeUnits() {
    units_.resize(window_.size() / 2);
    const unsigned char* bytes = window_.data();
    const int high = bigEndian_ ? 0 : 1;
    for (std::size_t i = 0; i < units_.size(); ++i)
        units_[i] = static_cast<char16_t>(bytes[2 * i + high] << 8 | bytes[2 * i + 1 - high]);
}

std::size_t RegexFinder::CharacterBytes(std::size_t at) const {
    if (wide_) {
        const bool pair = at + 1 < units_.size() && (units_[at] & 0xFC00) == 0xD800 &&
                          (units_[at + 1] & 0xFC00) == 0xDC00;
        return pair ? 4 : 2;
    }
    const unsigned char lead = window_[at];
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(length, window_.size() - at);
}

std::size_t RegexFinder::CompleteUnits(bool final) const {
    if (wide_) {
        const bool highAtEnd = !final && !units_.empty() && (units_.back() & 0xFC00) == 0xD800;
        return units_.size() - (highAtEnd ? 1 : 0);
    }
    const std::size_t size = window_.size();
    if (final)
        return size;
    // The last lead byte among the last three, if its character runs past the end.
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, size); ++back) {
        const unsigned char byte = window_[size - back];
        if ((byte & 0xC0) == 0x80)
            continue;
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

RegexOutcome RegexFinder::Attempt(std::size_t from, bool final) const {
    if (wide_)
        return pattern_.Match16(units_.data(), usable_, from, !final, false);
    const unsigned char* data = window_.data();
    const std::size_t size = usable_;
    if (!prefix_)
        return pattern_.Match8(data, size, from, !final, false);
    // Every match starts with the prefix: the fast search finds the places, the pattern is
    // tried only there.
    const std::size_t length = prefix_->Length();
    while (from <= size) {
        const std::size_t at = prefix_->Find(data + from, size - from);
        if (at == PhraseFinder::npos)
            break;
        const RegexOutcome outcome = pattern_.Match8(data, size, from + at, !final, true);
        if (outcome.Result != RegexOutcome::Kind::None)
            return outcome;
        from += at + 1;
    }
    if (final)
        return {};
    // A start whose prefix runs past the window's end may still become a match.
    const std::size_t tail = std::max(from, size - std::min(size, length - 1));
    return pattern_.Match8(data, size, tail, true, false);
}

RegexOutcome RegexFinder::AttemptBounded(std::size_t start, std::int64_t startOffset) const {
    const std::size_t cut = static_cast<std::size_t>(startOffset + static_cast<std::int64_t>(maxMatch_) - windowOffset_) /
                            UnitBytes();
    // A match that would look past the cut is no match: the cut is not the file's end.
    if (wide_)
        return pattern_.Match16(units_.data(), std::min(cut, usable_), start, true, true);
    return pattern_.Match8(window_.data(), std::min(cut, usable_), start, true, true);
}

void RegexFinder::Trim(std::int64_t keepFrom) {
    std::int64_t cut = std::max(windowOffset_, keepFrom - static_cast<std::int64_t>(contextBytes_));
    if (wide_)
        cut -= (cut - windowOffset_) % 2; // on a unit
    const std::size_t drop = static_cast<std::size_t>(cut - windowOffset_);
    if (drop == 0)
        return;
    window_.erase(window_.begin(), window_.begin() + static_cast<std::ptrdiff_t>(drop));
    windowOffset_ = cut;
}

RegexFinder::Step RegexFinder::Search(std::int64_t end, bool final) {
    // The window changes only on the way out.
    if (wide_)
        MakeUnits();
    usable_ = CompleteUnits(final);
    for (;;) {
        if (next_ >= end)
            return Step::None;
        // Within one block, the bounded attempts may be many: a stop does not wait for them.
        if (stopRequest_.load(std::memory_order_relaxed))
            return Step::None;
        const std::size_t from = static_cast<std::size_t>(next_ - windowOffset_) / UnitBytes();
        // The next start may lie in a character held back until its last bytes come (a range
        // that begins inside one): wait for them rather than ask past the usable end.
        if (from > usable_)
            return final ? Step::None : Step::More;
        RegexOutcome outcome = Attempt(from, final);
        if (outcome.Result == RegexOutcome::Kind::None) {
            next_ = WindowEnd();
            Trim(next_);
            return final ? Step::None : Step::More;
        }
        if (outcome.Result == RegexOutcome::Kind::Limit || outcome.Result == RegexOutcome::Kind::Failed) {
            gaveUp_ = outcome.Result == RegexOutcome::Kind::Limit ? kLimitReason : kFailedReason;
            return Step::GaveUp;
        }
        const std::int64_t start = windowOffset_ + static_cast<std::int64_t>(outcome.Start * UnitBytes());
        if (start >= end)
            return Step::None;
        if (WindowEnd() - start > static_cast<std::int64_t>(maxMatch_)) {
            // The window holds more than a match there may look at: decide it on the bound.
            outcome = AttemptBounded(outcome.Start, start);
            if (outcome.Result == RegexOutcome::Kind::Limit || outcome.Result == RegexOutcome::Kind::Failed) {
                gaveUp_ = outcome.Result == RegexOutcome::Kind::Limit ? kLimitReason : kFailedReason;
                return Step::GaveUp;
            }
            if (outcome.Result != RegexOutcome::Kind::Full) {
                next_ = start + static_cast<std::int64_t>(
                                    CharacterBytes(static_cast<std::size_t>(start - windowOffset_) / UnitBytes()));
                continue;
            }
        }
        if (outcome.Result == RegexOutcome::Kind::Full) {
            foundOffset_ = start;
            foundLength_ = static_cast<std::int32_t>((outcome.End - outcome.Start) * UnitBytes());
            return Step::Found;
        }
        // Partial: the rest of it is in the blocks to come.
        next_ = start;
        Trim(next_);
        return Step::More;
    }
}

} // namespace quennet

#include "search/ContentScanner.h"

#include "search/FileReader.h"

#include <algorithm>

namespace quennet {

namespace {

// Searches the carried bytes joined to the head of the block, then the block, and carries
// the last length-1 bytes on. `find(data, size, fileOffsetOfData)` gives an index or npos.
template <class Find>
bool SearchWithCarry(const Find& find, std::size_t length, std::vector<unsigned char>& carry,
                     std::vector<unsigned char>& joint, const unsigned char* block, std::size_t size,
                     std::int64_t blockOffset, std::int64_t& matchOffset) {
    constexpr std::size_t npos = static_cast<std::size_t>(-1);
    const std::size_t keep = length - 1;
    if (!carry.empty()) {
        // An occurrence that starts in the carried bytes ends within the first L-1 bytes here.
        const std::int64_t jointOffset = blockOffset - static_cast<std::int64_t>(carry.size());
        joint.assign(carry.begin(), carry.end());
        joint.insert(joint.end(), block, block + std::min(keep, size));
        const std::size_t at = find(joint.data(), joint.size(), jointOffset);
        if (at != npos && at < carry.size()) {
            matchOffset = jointOffset + static_cast<std::int64_t>(at);
            return true;
        }
    }
    const std::size_t at = find(block, size, blockOffset);
    if (at != npos) {
        matchOffset = blockOffset + static_cast<std::int64_t>(at);
        return true;
    }
    if (keep == 0)
        return false;
    if (size >= keep) {
        carry.assign(block + size - keep, block + size);
    } else {
        carry.insert(carry.end(), block, block + size);
        if (carry.size() > keep)
            carry.erase(carry.begin(), carry.end() - static_cast<std::ptrdiff_t>(keep));
    }
    return false;
}

} // namespace

ContentScanner::ContentScanner(const std::string& phrase, const std::u16string& widePhrase, bool foldCase,
                               std::size_t bufferSize, const std::atomic<bool>& stopRequest,
                               std::size_t chunkSize, bool regularExpression)
    : finder_(phrase, foldCase), stopRequest_(stopRequest) {
    if (regularExpression)
        regex_.emplace(phrase, !foldCase, stopRequest);
    if (!widePhrase.empty() && !regex_) {
        littleEndian_.emplace(widePhrase, foldCase, false);
        bigEndian_.emplace(widePhrase, foldCase, true);
    }
    // With a UTF-16 form the first chunk must hold the whole mark.
    const std::size_t smallest = widePhrase.empty() && !regex_ ? 1 : kByteOrderMarkSize;
    bufferSize_ = std::max(bufferSize, smallest);
    chunkSize_ = std::max(chunkSize, smallest);
}

void ContentScanner::NoteByteOrderMark(const unsigned char* head, std::size_t size) {
    mark_ = ByteOrderMarkOf(head, size);
    wide_ = nullptr;
    if (littleEndian_ && mark_ != ByteOrderMark::None)
        wide_ = mark_ == ByteOrderMark::BigEndian ? &*bigEndian_ : &*littleEndian_;
}

void ContentScanner::SearchBytes(const unsigned char* block, std::size_t size, std::int64_t blockOffset) {
    const PhraseFinder& finder = finder_;
    bytes_.Found = SearchWithCarry(
        [&finder](const unsigned char* data, std::size_t length, std::int64_t) {
            return finder.Find(data, length);
        },
        finder_.Length(), bytes_.Carry, joint_, block, size, blockOffset, bytes_.Offset);
}

void ContentScanner::SearchUnits(const unsigned char* block, std::size_t size, std::int64_t blockOffset) {
    // The mark itself is not text.
    if (blockOffset < static_cast<std::int64_t>(kByteOrderMarkSize)) {
        const std::size_t skip = std::min(size, kByteOrderMarkSize - static_cast<std::size_t>(blockOffset));
        block += skip;
        size -= skip;
        blockOffset += static_cast<std::int64_t>(skip);
    }
    const Utf16PhraseFinder& finder = *wide_;
    units_.Found = SearchWithCarry(
        [&finder](const unsigned char* data, std::size_t length, std::int64_t offset) {
            return finder.Find(data, length, offset);
        },
        finder.Length(), units_.Carry, joint_, block, size, blockOffset, units_.Offset);
}

void ContentScanner::BeginFile() {
    for (FormSearch* form : {&bytes_, &units_}) {
        form->Carry.clear(); // keeps its memory: no allocation per file
        form->Found = false;
    }
    wide_ = nullptr;
    mark_ = ByteOrderMark::None;
}

const std::string& ContentScanner::GaveUpReason() const {
    static const std::string none;
    return regex_ ? regex_->GaveUpReason() : none;
}

bool ContentScanner::FeedRegex(const unsigned char* block, std::size_t size, std::int64_t blockOffset,
                               std::int64_t end) {
    regexStep_ = regex_->Feed(block, size, blockOffset, end);
    return regexStep_ != RegexFinder::Step::More;
}

std::int64_t ContentScanner::ReadEnd(std::int64_t end) const {
    // A regular expression reads on to where its last block's search ends.
    if (regex_)
        return regex_->ReadEnd(end);
    const std::size_t bytes = finder_.Length();
    return end + static_cast<std::int64_t>(wide_ ? std::max(bytes, wide_->Length()) : bytes) - 1;
}

const ContentScanner::FormSearch* ContentScanner::Earliest() const {
    // On a tie the bytes win: they are what a search without the mark finds.
    if (wide_ && units_.Found && (!bytes_.Found || units_.Offset < bytes_.Offset))
        return &units_;
    return bytes_.Found ? &bytes_ : nullptr;
}

bool ContentScanner::Conclude(PhraseMatch& match) const {
    const FormSearch* first = Earliest();
    if (!first)
        return false;
    match.Offset = first->Offset;
    match.Length = static_cast<std::int32_t>(first == &units_ ? wide_->Length() : finder_.Length());
    return true;
}

bool ContentScanner::Feed(const unsigned char* block, std::size_t size, std::int64_t blockOffset,
                          PhraseMatch& match) {
    if (!bytes_.Found)
        SearchBytes(block, size, blockOffset);
    if (wide_ && !units_.Found)
        SearchUnits(block, size, blockOffset);
    const FormSearch* first = Earliest();
    if (!first)
        return false;
    if (wide_) {
        // The other form has looked at every start whose occurrence ends within what was
        // searched; one that starts before this match but ends later may still come.
        const bool byUnits = first == &units_;
        const FormSearch& other = byUnits ? bytes_ : units_;
        const std::int64_t otherLength = static_cast<std::int64_t>(byUnits ? finder_.Length() : wide_->Length());
        const std::int64_t searchedTo = blockOffset + static_cast<std::int64_t>(size);
        if (!other.Found && searchedTo < first->Offset + otherLength - 1)
            return false;
    }
    return Conclude(match);
}

void ContentScanner::TakeLine(FileReader& file, const BytesInHand& inHand, PhraseMatch& match) {
    LineForm form = LineForm::Text;
    if (hexLines_)
        form = LineForm::HexBytes;
    else if (mark_ != ByteOrderMark::None) // also for a regular expression, which has no wide finder
        form = mark_ == ByteOrderMark::BigEndian ? LineForm::Utf16BigEndian : LineForm::Utf16LittleEndian;
    match.Line = TakeMatchLine(file, inHand, match.Offset, match.Length, form, lineBytes_);
}

bool ContentScanner::FileContainsPhrase(const std::string& path, PhraseMatch& match, const TSearchRec* entry) {
    if (finder_.Length() == 0)
        return false;
    FileReader file;
    return file.Open(path, entry) && FileContainsPhrase(file, match);
}

bool ContentScanner::FileContainsPhrase(FileReader& file, PhraseMatch& match, const SplitAt& split) {
    return ScanFrom(file, 0, kToEnd, match, &split, nullptr);
}

bool ContentScanner::RangeContainsPhrase(FileReader& file, std::int64_t start, std::int64_t end,
                                         PhraseMatch& match, const std::function<bool()>& giveUp) {
    return ScanFrom(file, start, end, match, nullptr, &giveUp);
}

bool ContentScanner::ScanFrom(FileReader& file, std::int64_t start, std::int64_t end, PhraseMatch& match,
                              const SplitAt* split, const std::function<bool()>* giveUp) {
    if (finder_.Length() == 0)
        return false;
    const std::size_t chunk = std::min(bufferSize_, chunkSize_);
    if (!buffer_.data())
        buffer_.Allocate(chunk);
    BeginFile();
    // A whole file is read in order, in pieces of the buffer size; a range at its offsets, in
    // chunks, as a piece of one chunk.
    const bool wholeFile = giveUp == nullptr;
    const std::int64_t piece = static_cast<std::int64_t>(wholeFile ? bufferSize_ : chunk);
    if (start > 0) {
        // A later range is UTF-16 when the file's first range is.
        unsigned char head[kByteOrderMarkSize];
        NoteByteOrderMark(head, file.ReadAt(head, kByteOrderMarkSize, 0));
    }
    if (regex_) {
        regex_->Begin([&file](unsigned char* to, std::size_t count,
                              std::int64_t offset) { return file.ReadAt(to, count, offset); },
                      start);
        regexStep_ = RegexFinder::Step::More;
    }

    // A read that returns less than asked ends the file. Most files fit in one chunk, so
    // their size is never asked for; a larger file's size is fixed after its first chunk,
    // and bytes appended later are not read.
    bool sizeAsked = !wholeFile;
    std::int64_t size = kToEnd;
    std::int64_t position = start;
    PhraseMatch found;
    BytesInHand inHand; // the last chunk read, where most lines are
    for (;;) {
        const std::int64_t intoPiece = (position - start) % piece;
        // A stop is honoured between pieces, or before every chunk of a file shared with other
        // scanners; the file being read is then not listed.
        if ((intoPiece == 0 || end < kToEnd) &&
            (stopRequest_.load(std::memory_order_relaxed) || (giveUp && (*giveUp)())))
            return false;
        // Past a range's end, on by L-1 bytes so an occurrence across it is found.
        const std::int64_t limit = end < kToEnd ? ReadEnd(end) : size;
        if (position >= limit)
            break;
        const std::size_t ask = static_cast<std::size_t>(
            std::min({static_cast<std::int64_t>(chunkSize_), piece - intoPiece, limit - position}));
        const std::size_t got =
            wholeFile ? file.Read(buffer_.data(), ask) : file.ReadAt(buffer_.data(), ask, position);
        if (position == 0)
            NoteByteOrderMark(buffer_.data(), got);
        if (got > 0)
            inHand = {buffer_.data(), got, position, false};
        inHand.ReachesEnd = got < ask; // the end of the file, or a read error
        if (got > 0 && (regex_ ? FeedRegex(buffer_.data(), got, position, end)
                               : Feed(buffer_.data(), got, position, found)))
            break;
        position += static_cast<std::int64_t>(got);
        if (got < ask)
            break;
        if (!sizeAsked) {
            sizeAsked = true;
            const std::int64_t now = file.Size();
            if (now >= 0)
                size = now;
            if (split && *split)
                end = (*split)(now);
        }
    }
    if (regex_) {
        // At a range's read limit every start before its end is decided; at the file's end
        // what is pending is decided now.
        const bool atLimit = end < kToEnd && position >= ReadEnd(end);
        if (regexStep_ == RegexFinder::Step::More && !atLimit)
            regexStep_ = regex_->Finish(end);
        if (regexStep_ != RegexFinder::Step::Found || regex_->Offset() >= end)
            return false;
        match.Offset = regex_->Offset();
        match.Length = regex_->Length();
        TakeLine(file, inHand, match);
        return true;
    }
    // An occurrence that starts past the end is the next range's.
    if (!Conclude(found) || found.Offset >= end)
        return false;
    match = found;
    TakeLine(file, inHand, match);
    return true;
}

} // namespace quennet

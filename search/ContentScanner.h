// Decides whether a file contains the phrase and where its first occurrence starts.
// The file is read from start to end in pieces of the request's buffer size (a stop request
// is honoured between pieces). Each piece is read in chunks into one page-aligned buffer that
// serves the whole search and is searched there in place, while the bytes are still in the
// processor's cache: reading a whole 25 MB piece first and then searching it costs a second
// trip through main memory, about a third more time on cached files. Only the last L-1 bytes
// of a chunk are carried over, so a phrase that straddles two chunks or pieces is still found.
//
// A file that begins with a UTF-16 byte-order mark is text as Windows tools save it: a Text
// phrase is looked for there in its UTF-16 form, in that file's byte order, as well as byte for
// byte (the mark may be chance, or the text may hold bytes the phrase matches as they are); the
// earliest match of either form wins. The mark is seen in the first chunk, so files without one
// pay a look at two bytes and nothing more.
//
// A regular expression goes through the same loop: each chunk is handed to a RegexFinder,
// which keeps what a match across the border needs (see there for the blocks it searches).
#pragma once

#include "search/AlignedBuffer.h"
#include "search/MatchLine.h"
#include "search/PhraseFinder.h"
#include "search/RegexFinder.h"
#include "search/SearchRequest.h"
#include "search/Utf16PhraseFinder.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quennet {

class FileReader;
struct TSearchRec;

struct PhraseMatch {
    std::int64_t Offset = 0; // of the first byte
    std::int32_t Length = 0; // bytes: twice the phrase's units in a UTF-16 file
    MatchLine Line;          // the line around it
};

class ContentScanner {
  public:
    // About the size of a core's second-level cache.
    static constexpr std::size_t kDefaultChunkSize = 1024 * 1024;

    // `widePhrase`: the phrase as UTF-16 units (folded like `phrase`), empty when files with a
    // byte-order mark are to be searched byte for byte too (a HEX search).
    // `bufferSize` and `chunkSize` are parameters so tests can make every match straddle a piece.
    // `regularExpression`: `phrase` is a pattern (`foldCase`: without "Case sensitive"); throws
    // std::invalid_argument when it does not compile.
    ContentScanner(const std::string& phrase, const std::u16string& widePhrase, bool foldCase,
                   std::size_t bufferSize, const std::atomic<bool>& stopRequest,
                   std::size_t chunkSize = kDefaultChunkSize, bool regularExpression = false);

    // Why the last file was given up (a regular expression's match limit), else empty: such a
    // file is reported as not read, never taken for one without a match.
    const std::string& GaveUpReason() const;

    // A HEX search shows the bytes around a match, not its line.
    void ShowMatchAsHex(bool hex) { hexLines_ = hex; }

    // True with the first occurrence. A file that cannot be opened, or whose scan a stop
    // request cut short, does not contain the phrase.
    // `entry`: the file's entry in the walk's open enumeration, when there is one.
    bool FileContainsPhrase(const std::string& path, PhraseMatch& match, const TSearchRec* entry = nullptr);

    // `end` of the last range of a file: it is read to its end, however long that is now.
    static constexpr std::int64_t kToEnd = INT64_MAX / 2;
    // Asked once, with the file's size, when a file turns out longer than one chunk: where this
    // scan stops (kToEnd: nowhere), the rest of the file being read by others in ranges.
    using SplitAt = std::function<std::int64_t(std::int64_t size)>;

    // The same for a file the caller opened. With `split`, a scan cut short at a range's end
    // reads on up to L-1 bytes, and an occurrence that starts past the end is the next range's.
    bool FileContainsPhrase(FileReader& file, PhraseMatch& match, const SplitAt& split = {});

    // For scanners sharing one file: the first occurrence that starts in [start, end), read on
    // up to L-1 bytes past `end` so an occurrence across the border is this range's. A stop
    // request, or `giveUp` turning true (an earlier range matched), is honoured before every
    // chunk rather than every piece: several threads would otherwise each finish a piece.
    bool RangeContainsPhrase(FileReader& file, std::int64_t start, std::int64_t end, PhraseMatch& match,
                             const std::function<bool()>& giveUp);

  private:
    // The one read-and-search loop: the first occurrence that starts in [start, end), the
    // whole file read in order (`split` asked once its size is known) when `giveUp` is null,
    // else a range read at its offsets.
    bool ScanFrom(FileReader& file, std::int64_t start, std::int64_t end, PhraseMatch& match,
                  const SplitAt* split, const std::function<bool()>* giveUp);

    // The search for one form of the phrase (its bytes, or its UTF-16 units) in one file.
    struct FormSearch {
        std::vector<unsigned char> Carry; // the last L-1 bytes searched, for straddling matches
        bool Found = false;
        std::int64_t Offset = 0; // of the first occurrence, once found
    };

    void BeginFile();
    // Feeds the next block of the file to every form not found yet; true once the first
    // occurrence is certain (no other form can still start before it), then in `match`.
    bool Feed(const unsigned char* block, std::size_t size, std::int64_t blockOffset, PhraseMatch& match);
    // At the end of what is read: the earliest occurrence of any form, if one was found.
    bool Conclude(PhraseMatch& match) const;
    const FormSearch* Earliest() const; // of the forms found so far, or null
    // How far reading must go for every occurrence that starts before a range's `end`.
    std::int64_t ReadEnd(std::int64_t end) const;
    void SearchBytes(const unsigned char* block, std::size_t size, std::int64_t blockOffset);
    void SearchUnits(const unsigned char* block, std::size_t size, std::int64_t blockOffset);
    // The line around `match`, from `inHand` or read back through `file`.
    void TakeLine(FileReader& file, const BytesInHand& inHand, PhraseMatch& match);
    // Takes the mark of a file whose first bytes are `head`, and the UTF-16 finder for it.
    void NoteByteOrderMark(const unsigned char* head, std::size_t size);

    // A regular expression's answer for the blocks fed so far; true once it is decided.
    bool FeedRegex(const unsigned char* block, std::size_t size, std::int64_t blockOffset, std::int64_t end);

    PhraseFinder finder_;
    std::optional<RegexFinder> regex_;
    RegexFinder::Step regexStep_ = RegexFinder::Step::More;
    std::optional<Utf16PhraseFinder> littleEndian_; // only for a Text phrase
    std::optional<Utf16PhraseFinder> bigEndian_;
    const Utf16PhraseFinder* wide_ = nullptr; // the file being read has a byte-order mark
    ByteOrderMark mark_ = ByteOrderMark::None; // the file's, for its lines
    std::size_t bufferSize_;
    std::size_t chunkSize_;
    const std::atomic<bool>& stopRequest_;
    AlignedBuffer buffer_; // one chunk, allocated at the first file that is read
    FormSearch bytes_;
    FormSearch units_;                 // only in a file with a byte-order mark
    std::vector<unsigned char> joint_; // carry + the head of the next block
    bool hexLines_ = false;
    std::vector<unsigned char> lineBytes_; // a line's bytes read back, when not in hand
};

} // namespace quennet

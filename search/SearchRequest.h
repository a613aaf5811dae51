// The criteria of one search, as the user gave them, and the request the searcher runs: the
// front end builds and checks it before anything starts.
#pragma once

#include "search/SizeBounds.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quennet {

// Messages of the checks, shown to the user as they stand.
inline constexpr const char* kInvalidDirectoryMessage = "Invalid directory.";
inline constexpr const char* kInvalidHexMessage = "Invalid HEX string !";
inline constexpr const char* kSizeOrderMessage = "Error: Maximum size is lower than minimum size !";

inline constexpr std::int32_t kMinBufferMegabytes = 1;
inline constexpr std::int32_t kMaxBufferMegabytes = 200;
inline constexpr std::int32_t kDefaultBufferMegabytes = 25;

// The phrase in the forms a search matches it, kept to find it again (the viewer's F3).
struct SearchedPhrase {
    std::string Bytes; // a regular expression's pattern, when RegularExpression
    std::u16string Wide;
    bool FoldCase = false;
    bool RegularExpression = false;
};

struct SearchRequest {
    std::vector<std::string> Roots; // walked in this order; filled in by the front end
    std::string NameMask = "*";
    std::string Phrase; // bytes; empty = no content criterion
    // A Text phrase as UTF-16 units, folded like Phrase, for files with a UTF-16 byte-order
    // mark; empty for a HEX phrase, which is never re-encoded.
    std::u16string WidePhrase;
    bool FoldCase = false;
    // Phrase is a regular expression (PCRE2 syntax, checked), FoldCase without "Case sensitive".
    bool RegularExpression = false;
    bool HexPhrase = false; // matches are shown as the bytes around them, not as lines
    std::int32_t BufferSize = kDefaultBufferMegabytes * 1048576;
    // Filters, each empty when unused: masks separated by ";", as checked by BuildSearchRequest.
    std::string OnlyMasks;       // a file must match one of them
    std::string SkipMasks;       // a file must match none of them
    std::string SkipFolderMasks; // a folder that matches one of them is not entered
    // Last-write time bounds, both inclusive, in seconds since 1970 (UTC).
    std::optional<std::int64_t> ChangedAfter;
    std::optional<std::int64_t> ChangedBefore;

    SearchedPhrase Searched() const { return {Phrase, WidePhrase, FoldCase, RegularExpression}; }
};

// What the criteria panel (or the command line) holds when a search starts.
struct SearchCriteria {
    std::string NameFragment;
    std::string PhraseText;
    bool HexNotation = false;
    bool RegularExpression = false; // PhraseText is a pattern (ignored with HexNotation)
    bool CaseSensitive = false;
    std::int32_t BufferMegabytes = kDefaultBufferMegabytes;
    // Its bounds are checked even when it is not enabled; the search itself reads the live
    // bounds (LiveSizeBounds), which a window lets the user change during a search.
    SizeCriterion Size;
    std::string OnlyMasks;
    std::string SkipMasks;
    std::string SkipFolderMasks;
    std::optional<std::int64_t> ChangedAfter;
    std::optional<std::int64_t> ChangedBefore;
};

// Which criterion a failed check is about, so that a front end can name its box or option.
enum class CriterionField { None, Size, Dates, Phrase, Name, Only, Skip, SkipFolders };

struct PreparedSearch {
    std::optional<SearchRequest> Request; // empty when a check failed
    std::string Error;                    // the message of the failed check
    CriterionField Field = CriterionField::None;
};

// The refusal of change-date bounds in reverse order, naming both in local time.
std::string DateOrderMessage(std::int64_t after, std::int64_t before);

// The checks and conversions made before a search starts, in their order: size order, date
// order, phrase
// (a regular expression that does not compile gives the library's message and position),
// buffer size, name pattern, then the filters' masks (an invalid mask gives TMask's message,
// without the name of its box, which the front end adds). Roots are left empty; the caller
// fills them in.
PreparedSearch BuildSearchRequest(const SearchCriteria& criteria);

// "*" + fragment + "*", without doubling a star the user already typed; "" gives "*".
std::string BuildNameMask(const std::string& fragment);

// Pairs of hex digits, spaces ignored anywhere; nullopt on any other character or an odd digit count.
std::optional<std::string> ParseHexPhrase(const std::string& text);

// A-Z become a-z; every other byte stays (no folding outside ASCII).
std::string FoldAsciiCase(std::string text);

// Max below Min is an error unless Max is 0, which means no upper limit.
bool SizeOrderValid(std::int32_t minKb, std::int32_t maxKb);

std::int32_t ClampBufferMegabytes(std::int32_t megabytes);

// The phrase field's text when the user switches notation.
std::string TextToHexNotation(const std::string& text);
std::string HexToTextNotation(const std::string& hex);

} // namespace quennet

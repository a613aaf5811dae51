#pragma once
// The viewer's own searches: F3's next occurrence of the searched phrase, with the search's
// matcher and case rule, and Ctrl+G's offset typed in hexadecimal or decimal.
#include "hexcontrol/HexData.h"
#include "search/PhraseFinder.h"
#include "search/RegexFinder.h"
#include "search/SearchRequest.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quennet {

// The first occurrence of finder's phrase that starts at from or later, or -1. The data is
// read a megabyte at a time, so a match that straddles two reads is found too.
HexPos HexFindNext(const HexData& data, HexPos from, const PhraseFinder& finder);

struct HexFound {
    HexPos At = -1;    // -1: none
    HexPos Length = 0; // bytes to select
};

// The next occurrence from `from` on, in the forms the search looks for in this data: the bytes,
// and after a UTF-16 byte-order mark also the units (a match starts on a unit); the earliest
// wins, the bytes on a tie. A regular expression's next match, by the search's own rules.
HexFound HexFindNext(const HexData& data, HexPos from, const SearchedPhrase& phrase);

// The same search done a slice at a time, so that a window can stay responsive (and the user
// can cancel) while a file of gigabytes is read: Step reads on for about `budget` bytes.
class HexFindJob {
  public:
    HexFindJob(const HexData& data, HexPos from, const SearchedPhrase& phrase);
    // The bytes of finder's phrase; finder must outlive the job.
    HexFindJob(const HexData& data, HexPos from, const PhraseFinder& finder);

    // Searches on; true once the search is over (Result then says where).
    bool Step(std::size_t budget);
    bool Done() const { return done_; }
    HexFound Result() const { return done_ ? found_ : HexFound{}; }
    // The next byte to be read: how far the search has come.
    HexPos Position() const { return from_; }

  private:
    bool StepRegex(std::size_t budget);

    // The earliest match in `count` bytes read at `offset`, relative to them, with its length.
    using Find = std::function<HexFound(const std::uint8_t*, std::size_t, HexPos)>;

    const HexData& data_;
    HexPos from_;
    HexPos shortest_ = 0; // of the forms looked for: a file shorter than this holds none
    HexPos longest_ = 0;  // consecutive reads overlap by this less one
    Find find_;
    std::shared_ptr<const void> finder_; // what find_ uses
    std::unique_ptr<RegexFinder> regex_;  // instead of find_, for a regular expression
    std::vector<std::uint8_t> chunk_;
    HexFound found_;
    bool done_ = false;
};

// An offset as the user types it: "0x1F", "1Fh" or digits with a letter a-f are hexadecimal,
// other digits decimal; blanks around are ignored. Nothing for anything else or an overflow.
std::optional<HexPos> ParseHexOffset(const std::string& text);

} // namespace quennet

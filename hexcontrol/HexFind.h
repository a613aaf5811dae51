#pragma once
// The viewer's own searches: F3's next occurrence of the searched phrase, with the search's
// matcher and case rule, and Ctrl+G's offset typed in hexadecimal or decimal.
#include "hexcontrol/HexData.h"
#include "search/PhraseFinder.h"
#include "search/SearchRequest.h"

#include <optional>
#include <string>

namespace quennet {

// The first occurrence of finder's phrase that starts at from or later, or -1. The data is
// read a megabyte at a time, so a match that straddles two reads is found too.
HexPos HexFindNext(const HexData& data, HexPos from, const PhraseFinder& finder);

struct HexFound {
    HexPos At = -1;    // -1: none
    HexPos Length = 0; // bytes to select
};

// The next occurrence from `from` on, in the form the search found in this data: after a
// UTF-16 byte-order mark the units (a match starts on a unit), otherwise the bytes.
HexFound HexFindNext(const HexData& data, HexPos from, const SearchedPhrase& phrase);

// An offset as the user types it: "0x1F", "1Fh" or digits with a letter a-f are hexadecimal,
// other digits decimal; blanks around are ignored. Nothing for anything else or an overflow.
std::optional<HexPos> ParseHexOffset(const std::string& text);

} // namespace quennet

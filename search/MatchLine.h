// The line around a file's first match, taken by the scanner that found it, so a results list
// shows why each file was found without opening it.
//
// Text: from the line break (CR or LF) before the match to the one after it, at most
// kLineCharacters characters, cut around the match with "…" where cut; tabs and other control
// characters shown as spaces. Bytes are read as UTF-8, a byte that starts no UTF-8 character as
// the ANSI code page's; a file with a UTF-16 byte-order mark is read as UTF-16. The characters
// that share a byte with the match are the matched part. HEX: the matched bytes and up to
// kHexContext bytes on either side, as hex pairs.
//
// Only a window of bytes around the match is ever looked at (a line may be a whole file): about
// four bytes a character on either side, enough for the characters shown, so the text depends on
// the match and the file alone, never on how the file was cut into chunks or ranges.
#pragma once

#include "search/SearchSink.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quennet {

class FileReader;

enum class LineForm { Text, Utf16LittleEndian, Utf16BigEndian, HexBytes };

inline constexpr std::size_t kLineCharacters = 200;
inline constexpr std::int64_t kHexContext = 8;

// The bytes [From, To) of the file that the line is taken from; To may lie past the file's end.
struct LineWindow {
    std::int64_t From = 0;
    std::int64_t To = 0;
};

LineWindow LineWindowFor(std::int64_t matchOffset, std::int32_t matchLength, LineForm form);

// The line from `bytes`, the file's bytes from `from` on. `reachesEnd`: the file ends after them.
MatchLine LineFromBytes(const unsigned char* bytes, std::size_t size, std::int64_t from, bool reachesEnd,
                        std::int64_t matchOffset, std::int32_t matchLength, LineForm form);

// The bytes a scanner has in hand: [Offset, Offset + Size) of the file.
struct BytesInHand {
    const unsigned char* Data = nullptr;
    std::size_t Size = 0;
    std::int64_t Offset = 0;
    bool ReachesEnd = false; // the file ends after them
};

// The line of a match, from the bytes in hand when they hold its window (most files fit in one
// chunk), else from the window read back through `file` into `scratch`.
MatchLine TakeMatchLine(FileReader& file, const BytesInHand& inHand, std::int64_t matchOffset,
                        std::int32_t matchLength, LineForm form, std::vector<unsigned char>& scratch);

} // namespace quennet

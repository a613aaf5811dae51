// Finds a phrase of UTF-16 code units in the bytes of a UTF-16 file of either byte order,
// folding the units A-Z to a-z while comparing when asked (the phrase is already folded).
// Only the units are folded, never a byte of a unit: U+4142 does not become U+6162.
// Matches start on unit boundaries only (even file offsets), so no unit is made of the
// halves of two neighbours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "search/PhraseFinder.h"

namespace quennet {

// The byte order that a file's first bytes announce with a mark, if they hold one.
enum class ByteOrderMark { None, LittleEndian, BigEndian };
constexpr std::size_t kByteOrderMarkSize = 2;
ByteOrderMark ByteOrderMarkOf(const unsigned char* head, std::size_t size);

class Utf16PhraseFinder {
  public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    Utf16PhraseFinder(std::u16string phrase, bool foldCase, bool bigEndian);

    // In bytes.
    std::size_t Length() const { return 2 * phrase_.size(); }

    // Index of the first occurrence that lies wholly inside data[0, size) and starts at an
    // even file offset, or npos. `dataOffset`: the file offset of data[0].
    std::size_t Find(const unsigned char* data, std::size_t size, std::int64_t dataOffset) const;

  private:
    char16_t UnitAt(const unsigned char* at) const;
    bool MatchesAt(const unsigned char* at) const;

    std::u16string phrase_;
    bool fold_;
    bool bigEndian_;
    // The phrase's bytes, when every match of the units is also a match of the bytes (folded
    // byte by byte): the fast byte search then finds the candidates, the units confirm them.
    std::optional<PhraseFinder> candidates_;
};

} // namespace quennet

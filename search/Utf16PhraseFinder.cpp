#include "search/Utf16PhraseFinder.h"

namespace quennet {

Utf16PhraseFinder::Utf16PhraseFinder(std::u16string phrase, bool foldCase, bool bigEndian)
    : phrase_(std::move(phrase)), fold_(foldCase), bigEndian_(bigEndian) {}

char16_t Utf16PhraseFinder::UnitAt(const unsigned char* at) const {
    const char16_t unit = bigEndian_ ? static_cast<char16_t>((at[0] << 8) | at[1])
                                     : static_cast<char16_t>((at[1] << 8) | at[0]);
    if (fold_ && unit >= u'A' && unit <= u'Z')
        return static_cast<char16_t>(unit + 0x20);
    return unit;
}

bool Utf16PhraseFinder::MatchesAt(const unsigned char* at) const {
    for (std::size_t k = 1; k < phrase_.size(); ++k)
        if (UnitAt(at + 2 * k) != phrase_[k])
            return false;
    return true;
}

std::size_t Utf16PhraseFinder::Find(const unsigned char* data, std::size_t size,
                                    std::int64_t dataOffset) const {
    const std::size_t length = Length();
    if (length == 0 || size < length)
        return npos;
    // UTF-16 files are rare among those searched: a plain loop over the units is enough.
    const char16_t first = phrase_[0];
    for (std::size_t i = (dataOffset & 1) ? 1 : 0; i + length <= size; i += 2)
        if (UnitAt(data + i) == first && MatchesAt(data + i))
            return i;
    return npos;
}

} // namespace quennet

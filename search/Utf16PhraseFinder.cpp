#include "search/Utf16PhraseFinder.h"

namespace quennet {

ByteOrderMark ByteOrderMarkOf(const unsigned char* head, std::size_t size) {
    if (size < kByteOrderMarkSize)
        return ByteOrderMark::None;
    if (head[0] == 0xFF && head[1] == 0xFE)
        return ByteOrderMark::LittleEndian;
    if (head[0] == 0xFE && head[1] == 0xFF)
        return ByteOrderMark::BigEndian;
    return ByteOrderMark::None;
}

Utf16PhraseFinder::Utf16PhraseFinder(std::u16string phrase, bool foldCase, bool bigEndian)
    : phrase_(std::move(phrase)), fold_(foldCase), bigEndian_(bigEndian) {
    std::string bytes;
    bool foldsAsBytes = true;
    for (char16_t unit : phrase_) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        for (char c : bigEndian_ ? std::string{high, low} : std::string{low, high}) {
            // A byte A-Z in the phrase would never be met by a byte folded to a-z.
            foldsAsBytes = foldsAsBytes && !(c >= 'A' && c <= 'Z');
            bytes.push_back(c);
        }
    }
    if (!fold_ || foldsAsBytes)
        candidates_.emplace(std::move(bytes), fold_);
}

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
    const char16_t first = phrase_[0];
    if (candidates_) {
        for (std::size_t from = 0; from + length <= size;) {
            const std::size_t at = candidates_->Find(data + from, size - from);
            if (at == PhraseFinder::npos)
                return npos;
            const std::size_t i = from + at;
            if (((dataOffset + static_cast<std::int64_t>(i)) & 1) == 0 &&
                (!fold_ || (UnitAt(data + i) == first && MatchesAt(data + i))))
                return i;
            from = i + 1;
        }
        return npos;
    }
    // A phrase with bytes A-Z inside its units (U+0141, for one): unit by unit.
    for (std::size_t i = (dataOffset & 1) ? 1 : 0; i + length <= size; i += 2)
        if (UnitAt(data + i) == first && MatchesAt(data + i))
            return i;
    return npos;
}

} // namespace quennet

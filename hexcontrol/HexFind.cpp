#include "hexcontrol/HexFind.h"

#include "search/Utf16PhraseFinder.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <vector>

namespace quennet {

namespace {

// `find(bytes, count, offsetOfBytes)` gives an index or npos.
template <class Find>
HexPos FindInPieces(const HexData& data, HexPos from, HexPos length, const Find& find) {
    constexpr std::size_t kChunk = 1 << 20;
    if (length == 0 || from < 0)
        return -1;
    std::vector<std::uint8_t> chunk;
    while (from + length <= data.Size()) {
        const auto count = static_cast<std::size_t>(std::min<HexPos>(kChunk, data.Size() - from));
        chunk.resize(count);
        data.Read(from, count, chunk.data());
        const std::size_t at = find(chunk.data(), count, from);
        if (at != PhraseFinder::npos)
            return from + static_cast<HexPos>(at);
        if (from + static_cast<HexPos>(count) >= data.Size())
            break;
        // The next read starts where a match cut by this one's end would start.
        from += static_cast<HexPos>(count) - length + 1;
    }
    return -1;
}

} // namespace

HexPos HexFindNext(const HexData& data, HexPos from, const PhraseFinder& finder) {
    return FindInPieces(data, from, static_cast<HexPos>(finder.Length()),
                        [&finder](const std::uint8_t* bytes, std::size_t count, HexPos) {
                            return finder.Find(bytes, count);
                        });
}

HexFound HexFindNext(const HexData& data, HexPos from, const SearchedPhrase& phrase) {
    ByteOrderMark mark = ByteOrderMark::None;
    if (!phrase.Wide.empty() && data.Size() >= static_cast<HexPos>(kByteOrderMarkSize)) {
        std::uint8_t head[kByteOrderMarkSize];
        data.Read(0, kByteOrderMarkSize, head);
        mark = ByteOrderMarkOf(head, kByteOrderMarkSize);
    }
    if (mark == ByteOrderMark::None) {
        const PhraseFinder finder(phrase.Bytes, phrase.FoldCase);
        return {HexFindNext(data, from, finder), static_cast<HexPos>(finder.Length())};
    }
    const Utf16PhraseFinder finder(phrase.Wide, phrase.FoldCase, mark == ByteOrderMark::BigEndian);
    const auto length = static_cast<HexPos>(finder.Length());
    // The mark itself is not text.
    from = std::max<HexPos>(from, static_cast<HexPos>(kByteOrderMarkSize));
    return {FindInPieces(data, from, length,
                         [&finder](const std::uint8_t* bytes, std::size_t count, HexPos offset) {
                             return finder.Find(bytes, count, offset);
                         }),
            length};
}

std::optional<HexPos> ParseHexOffset(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    std::string digits = text.substr(begin, end - begin);
    bool hex = false;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.erase(0, 2);
        hex = true;
    } else if (digits.size() > 1 && (digits.back() == 'h' || digits.back() == 'H')) {
        digits.pop_back();
        hex = true;
    }
    if (digits.empty())
        return std::nullopt;
    for (char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        hex = hex || !std::isdigit(static_cast<unsigned char>(c));
    }
    const int radix = hex ? 16 : 10;
    HexPos value = 0;
    for (char c : digits) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (value > (std::numeric_limits<HexPos>::max() - digit) / radix)
            return std::nullopt;
        value = value * radix + digit;
    }
    return value;
}

} // namespace quennet

#include "search/MatchLine.h"

#include "base/TextEncoding.h"
#include "search/FileReader.h"
#include "search/Utf16PhraseFinder.h"

#include <algorithm>
#include <string_view>

namespace quennet {

namespace {

// Bytes looked at on either side of the match: four a character (the longest UTF-8 character,
// or a UTF-16 surrogate pair) for every character shown, and a few more, since a decoding that
// starts inside a character finds its way back to the file's own within three bytes.
constexpr std::int64_t kBytesAround = 4 * static_cast<std::int64_t>(kLineCharacters) + 8;

// A count of characters known only to be more than a line can show.
constexpr std::size_t kMany = std::size_t{1} << 30;

struct Character {
    char32_t Code;
    std::size_t Start; // bytes of the window
    std::size_t End;
};

bool IsLineBreak(char32_t c) {
    return c == U'\n' || c == U'\r';
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void DecodeUtf8OrAnsi(const unsigned char* bytes, std::size_t size, std::vector<Character>& out) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    for (std::size_t at = 0; at < size;) {
        std::size_t length = 1;
        char32_t c = bytes[at];
        if (c >= 0x80) {
            if (auto decoded = DecodeUtf8At(text, at, length))
                c = *decoded;
            else
                c = AnsiCharacter(bytes[at]), length = 1;
        }
        out.push_back({c, at, at + length});
        at += length;
    }
}

void DecodeUtf16(const unsigned char* bytes, std::size_t size, bool bigEndian, std::vector<Character>& out) {
    const auto unitAt = [&](std::size_t at) -> char32_t {
        return bigEndian ? (bytes[at] << 8 | bytes[at + 1]) : (bytes[at + 1] << 8 | bytes[at]);
    };
    std::size_t at = 0;
    for (; at + 2 <= size;) {
        char32_t c = unitAt(at);
        std::size_t length = 2;
        if (c >= 0xD800 && c < 0xDC00 && at + 4 <= size) {
            const char32_t low = unitAt(at + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                length = 4;
            }
        }
        if (c >= 0xD800 && c < 0xE000)
            c = U'\xFFFD'; // half a pair
        out.push_back({c, at, at + length});
        at += length;
    }
    if (at < size)
        out.push_back({U'\xFFFD', at, size}); // an odd last byte
}

MatchLine HexLine(const unsigned char* bytes, std::size_t size, std::int64_t from, std::int64_t matchOffset,
                  std::int32_t matchLength) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    MatchLine line;
    line.Text.reserve(size * 3);
    for (std::size_t i = 0; i < size; ++i) {
        if (i > 0)
            line.Text.push_back(' ');
        line.Text.push_back(kDigits[bytes[i] >> 4]);
        line.Text.push_back(kDigits[bytes[i] & 0x0F]);
    }
    const std::int64_t before = std::min<std::int64_t>(matchOffset - from, static_cast<std::int64_t>(size));
    const std::int64_t matched =
        std::min<std::int64_t>(matchLength, static_cast<std::int64_t>(size) - before);
    if (matched > 0) {
        line.Start = static_cast<std::int32_t>(3 * before);
        line.Length = static_cast<std::int32_t>(3 * matched - 1);
    }
    return line;
}

// How many characters of each part a line of `before` + `matched` + `after` characters shows.
struct Cut {
    std::size_t Before, Matched, After;
    bool BeforeCut, MatchedCut, AfterCut;
};

Cut CutAroundMatch(std::size_t before, std::size_t matched, std::size_t after) {
    if (before + matched + after <= kLineCharacters)
        return {before, matched, after, false, false, false};
    if (matched + 2 > kLineCharacters) {
        // A phrase longer than a line: its start, between the marks.
        const bool beforeCut = before > 0;
        return {0, kLineCharacters - 1 - (beforeCut ? 1 : 0), 0, beforeCut, true, false};
    }
    // The room left is shared; a side that needs less gives the rest to the other. A cut side
    // spends one character of its room on the mark.
    const std::size_t room = kLineCharacters - matched;
    std::size_t beforeRoom = room / 2;
    std::size_t afterRoom = room - beforeRoom;
    if (before < beforeRoom) {
        afterRoom += beforeRoom - before;
        beforeRoom = before;
    } else if (after < afterRoom) {
        beforeRoom += afterRoom - after;
        afterRoom = after;
    }
    const bool beforeCut = before > beforeRoom;
    const bool afterCut = after > afterRoom;
    return {beforeCut ? beforeRoom - 1 : before, matched, afterCut ? afterRoom - 1 : after, beforeCut, false,
            afterCut};
}

void AppendShown(std::string& out, const std::vector<Character>& characters, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i)
        AppendUtf8(out, IsControl(characters[i].Code) ? U' ' : characters[i].Code);
}

} // namespace

LineWindow LineWindowFor(std::int64_t matchOffset, std::int32_t matchLength, LineForm form) {
    if (form == LineForm::HexBytes)
        return {std::max<std::int64_t>(0, matchOffset - kHexContext), matchOffset + matchLength + kHexContext};
    LineWindow window;
    window.From = std::max<std::int64_t>(0, matchOffset - kBytesAround);
    window.To = matchOffset + std::min<std::int64_t>(matchLength, kBytesAround) + kBytesAround;
    if (form != LineForm::Text) {
        // On UTF-16 units, after the byte-order mark.
        window.From = std::max<std::int64_t>(static_cast<std::int64_t>(kByteOrderMarkSize), window.From & ~std::int64_t{1});
        window.To += window.To & 1;
    }
    return window;
}

MatchLine LineFromBytes(const unsigned char* bytes, std::size_t size, std::int64_t from, bool reachesEnd,
                        std::int64_t matchOffset, std::int32_t matchLength, LineForm form) {
    if (matchOffset < from || matchOffset - from >= static_cast<std::int64_t>(size))
        return {}; // the file changed under the scan
    if (form == LineForm::HexBytes)
        return HexLine(bytes, size, from, matchOffset, matchLength);

    std::vector<Character> characters;
    characters.reserve(size);
    if (form == LineForm::Text)
        DecodeUtf8OrAnsi(bytes, size, characters);
    else
        DecodeUtf16(bytes, size, form == LineForm::Utf16BigEndian, characters);

    // The matched part: the characters that share a byte with the match.
    const auto matchStart = static_cast<std::size_t>(matchOffset - from);
    const std::size_t matchEnd = matchStart + static_cast<std::size_t>(matchLength);
    const auto byEnd = [](const Character& c, std::size_t at) { return c.End <= at; };
    const auto byStart = [](const Character& c, std::size_t at) { return c.Start < at; };
    const std::size_t first = static_cast<std::size_t>(
        std::lower_bound(characters.begin(), characters.end(), matchStart, byEnd) - characters.begin());
    const std::size_t last = static_cast<std::size_t>(
        std::lower_bound(characters.begin() + static_cast<std::ptrdiff_t>(first), characters.end(), matchEnd, byStart) -
        characters.begin());

    // Without a break in the window, the line runs on past it, further than a line shows.
    const std::int64_t textStart = form == LineForm::Text ? 0 : static_cast<std::int64_t>(kByteOrderMarkSize);
    std::size_t lineStart = first;
    while (lineStart > 0 && !IsLineBreak(characters[lineStart - 1].Code))
        --lineStart;
    const bool startSeen = lineStart > 0 || from <= textStart;
    std::size_t lineEnd = last;
    while (lineEnd < characters.size() && !IsLineBreak(characters[lineEnd].Code))
        ++lineEnd;
    const bool endSeen = lineEnd < characters.size() || reachesEnd;

    const Cut cut = CutAroundMatch(startSeen ? first - lineStart : kMany, last - first,
                                   endSeen ? lineEnd - last : kMany);
    MatchLine line;
    line.Text.reserve(kLineCharacters * 2);
    if (cut.BeforeCut)
        line.Text.append("\xE2\x80\xA6");
    AppendShown(line.Text, characters, first - cut.Before, first);
    line.Start = static_cast<std::int32_t>(line.Text.size());
    AppendShown(line.Text, characters, first, first + cut.Matched);
    line.Length = static_cast<std::int32_t>(line.Text.size()) - line.Start;
    if (cut.MatchedCut)
        line.Text.append("\xE2\x80\xA6");
    AppendShown(line.Text, characters, last, last + cut.After);
    if (cut.AfterCut)
        line.Text.append("\xE2\x80\xA6");
    return line;
}

MatchLine TakeMatchLine(FileReader& file, const BytesInHand& inHand, std::int64_t matchOffset,
                        std::int32_t matchLength, LineForm form, std::vector<unsigned char>& scratch) {
    const LineWindow window = LineWindowFor(matchOffset, matchLength, form);
    const std::int64_t inHandEnd = inHand.Offset + static_cast<std::int64_t>(inHand.Size);
    if (inHand.Data && window.From >= inHand.Offset && window.From < inHandEnd &&
        (window.To <= inHandEnd || inHand.ReachesEnd)) {
        const std::int64_t to = std::min(window.To, inHandEnd);
        return LineFromBytes(inHand.Data + (window.From - inHand.Offset), static_cast<std::size_t>(to - window.From),
                             window.From, inHand.ReachesEnd && window.To >= inHandEnd, matchOffset, matchLength,
                             form);
    }
    // The line began in an earlier chunk or range, or ends in a later one.
    const auto wanted = static_cast<std::size_t>(window.To - window.From);
    scratch.resize(wanted);
    const std::size_t got = file.ReadAt(scratch.data(), wanted, window.From);
    return LineFromBytes(scratch.data(), got, window.From, got < wanted, matchOffset, matchLength, form);
}

} // namespace quennet

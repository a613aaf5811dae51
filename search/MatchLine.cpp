#include "search/MatchLine.h"

#include "base/TextEncoding.h"
#include "search/FileReader.h"
#include "search/Utf16PhraseFinder.h"

#include <algorithm>
#include <cstring>
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
    std::uint32_t Start; // bytes of the window
    std::uint32_t End;
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

// Decodes [from, to) of the window.
void DecodeUtf8OrAnsi(const unsigned char* bytes, std::size_t from, std::size_t to, std::vector<Character>& out) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), to);
    for (std::size_t at = from; at < to;) {
        std::size_t length = 1;
        char32_t c = bytes[at];
        if (c >= 0x80) {
            if (auto decoded = DecodeUtf8At(text, at, length))
                c = *decoded;
            else
                c = AnsiCharacter(bytes[at]), length = 1;
        }
        out.push_back({c, static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(at + length)});
        at += length;
    }
}

char32_t Utf16UnitAt(const unsigned char* bytes, std::size_t at, bool bigEndian) {
    return bigEndian ? (bytes[at] << 8 | bytes[at + 1]) : (bytes[at + 1] << 8 | bytes[at]);
}

void DecodeUtf16(const unsigned char* bytes, std::size_t from, std::size_t size, bool bigEndian,
                 std::vector<Character>& out) {
    const auto unitAt = [&](std::size_t at) { return Utf16UnitAt(bytes, at, bigEndian); };
    std::size_t at = from;
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
        out.push_back({c, static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(at + length)});
        at += length;
    }
    if (at < size)
        out.push_back({U'\xFFFD', static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(size)}); // an odd last byte
}

// The bytes of the window the line lies in, found before anything is decoded (most lines are
// a few dozen bytes of a window of 1.6 KB): from after the last break before the match to the
// first break after it. A CR or LF byte is never part of a longer UTF-8 character; in UTF-16
// the breaks are looked for unit by unit.
struct LineBytes {
    std::size_t From;
    std::size_t To;
    bool StartSeen; // a break before the match is in the window
    bool EndSeen;
};

LineBytes FindLineBytes(const unsigned char* bytes, std::size_t size, std::size_t matchStart,
                        std::size_t matchEnd, LineForm form) {
    LineBytes line{0, size, false, false};
    if (form == LineForm::Text) {
        for (std::size_t at = matchStart; at > 0; --at)
            if (IsLineBreak(bytes[at - 1])) {
                line.From = at;
                line.StartSeen = true;
                break;
            }
        // memchr for the usual LF; a CR is looked for only before it.
        const std::size_t after = std::min(matchEnd, size);
        const void* feed = std::memchr(bytes + after, '\n', size - after);
        const std::size_t searchTo = feed ? static_cast<std::size_t>(static_cast<const unsigned char*>(feed) - bytes) : size;
        const void* ret = std::memchr(bytes + after, '\r', searchTo - after);
        if (ret || feed) {
            line.To = ret ? static_cast<std::size_t>(static_cast<const unsigned char*>(ret) - bytes) : searchTo;
            line.EndSeen = true;
        }
        return line;
    }
    const bool bigEndian = form == LineForm::Utf16BigEndian;
    // Units that end by the match's start, and units that start at or after its end.
    for (std::size_t at = matchStart & ~std::size_t{1}; at >= 2; at -= 2)
        if (IsLineBreak(Utf16UnitAt(bytes, at - 2, bigEndian))) {
            line.From = at;
            line.StartSeen = true;
            break;
        }
    for (std::size_t at = (matchEnd + 1) & ~std::size_t{1}; at + 2 <= size; at += 2)
        if (IsLineBreak(Utf16UnitAt(bytes, at, bigEndian))) {
            line.To = at;
            line.EndSeen = true;
            break;
        }
    return line;
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

bool AllAscii(const unsigned char* bytes, std::size_t size) {
    unsigned char any = 0;
    for (std::size_t i = 0; i < size; ++i)
        any |= bytes[i];
    return any < 0x80;
}

// The line from its parts: `append(from, to)` adds the characters [from, to) as shown.
template <class Append>
MatchLine BuildLine(std::size_t first, std::size_t last, std::size_t count, bool startSeen, bool endSeen,
                    const Append& append) {
    const Cut cut = CutAroundMatch(startSeen ? first : kMany, last - first, endSeen ? count - last : kMany);
    MatchLine line;
    line.Text.reserve(cut.Before + cut.Matched + cut.After + 9);
    if (cut.BeforeCut)
        line.Text.append("\xE2\x80\xA6");
    append(line.Text, first - cut.Before, first);
    line.Start = static_cast<std::int32_t>(line.Text.size());
    append(line.Text, first, first + cut.Matched);
    line.Length = static_cast<std::int32_t>(line.Text.size()) - line.Start;
    if (cut.MatchedCut)
        line.Text.append("\xE2\x80\xA6");
    append(line.Text, last, last + cut.After);
    if (cut.AfterCut)
        line.Text.append("\xE2\x80\xA6");
    return line;
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
    // An empty match may sit at the very end (\z), one past the last byte.
    const std::int64_t lastStart = static_cast<std::int64_t>(size) - (matchLength > 0 ? 1 : 0);
    if (matchOffset < from || matchOffset - from > lastStart)
        return {}; // the file changed under the scan
    if (form == LineForm::HexBytes)
        return HexLine(bytes, size, from, matchOffset, matchLength);

    const auto matchStart = static_cast<std::size_t>(matchOffset - from);
    const std::size_t matchEnd = matchStart + static_cast<std::size_t>(matchLength);
    const LineBytes lineBytes = FindLineBytes(bytes, size, matchStart, matchEnd, form);
    // Without a break in the window, the line runs on past it, further than a line shows.
    const std::int64_t textStart = form == LineForm::Text ? 0 : static_cast<std::int64_t>(kByteOrderMarkSize);
    const bool startSeen = lineBytes.StartSeen || from <= textStart;
    const bool endSeen = lineBytes.EndSeen || reachesEnd;

    // Most lines are ASCII: a character a byte, nothing to decode.
    const unsigned char* lineStart = bytes + lineBytes.From;
    if (form == LineForm::Text && AllAscii(lineStart, lineBytes.To - lineBytes.From)) {
        return BuildLine(matchStart - lineBytes.From, std::min(matchEnd, lineBytes.To) - lineBytes.From,
                         lineBytes.To - lineBytes.From, startSeen, endSeen,
                         [lineStart](std::string& out, std::size_t from, std::size_t to) {
                             const std::size_t at = out.size();
                             out.append(reinterpret_cast<const char*>(lineStart) + from, to - from);
                             for (std::size_t i = at; i < out.size(); ++i)
                                 if (IsControl(static_cast<unsigned char>(out[i])))
                                     out[i] = ' ';
                         });
    }

    std::vector<Character> characters;
    characters.reserve(lineBytes.To - lineBytes.From);
    if (form == LineForm::Text)
        DecodeUtf8OrAnsi(bytes, lineBytes.From, lineBytes.To, characters);
    else
        DecodeUtf16(bytes, lineBytes.From, lineBytes.To, form == LineForm::Utf16BigEndian, characters);

    // The matched part: the characters that share a byte with the match.
    const auto byEnd = [](const Character& c, std::size_t at) { return c.End <= at; };
    const auto byStart = [](const Character& c, std::size_t at) { return c.Start < at; };
    const std::size_t first = static_cast<std::size_t>(
        std::lower_bound(characters.begin(), characters.end(), matchStart, byEnd) - characters.begin());
    const std::size_t last = static_cast<std::size_t>(
        std::lower_bound(characters.begin() + static_cast<std::ptrdiff_t>(first), characters.end(), matchEnd, byStart) -
        characters.begin());

    return BuildLine(first, last, characters.size(), startSeen, endSeen,
                     [&characters](std::string& out, std::size_t from, std::size_t to) {
                         AppendShown(out, characters, from, to);
                     });
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

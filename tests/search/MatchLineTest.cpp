// The line a search carries with each content row: equal to a small model that decodes the
// whole file, whatever chunks, ranges and threads the scan used.
#include "base/TextEncoding.h"
#include "search/MatchLine.h"
#include "search/SearchRequest.h"

#include "TestTree.h"
#include "Utf16Bytes.h"

#include <gtest/gtest.h>

#include <map>

using namespace quennet;
using quennet::test::SearchRun;
using quennet::test::TempTree;
using quennet::test::Utf16Bytes;

namespace {

const std::string kEllipsis = "\xE2\x80\xA6";

// The line with its matched part in brackets, as failures print it.
std::string Marked(const MatchLine& line) {
    const auto start = static_cast<std::size_t>(line.Start);
    const auto length = static_cast<std::size_t>(line.Length);
    if (start + length > line.Text.size())
        return "<bad place> " + line.Text;
    return line.Text.substr(0, start) + "[" + line.Text.substr(start, length) + "]" +
           line.Text.substr(start + length);
}

std::string Utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}


// The model: the whole file decoded, the line found around the match, then cut by handing the
// room out one character at a time, after side first, a side that runs out dropping out.
MatchLine ModelLine(const std::string& file, std::int64_t offset, std::int32_t length) {
    struct Char {
        char32_t code;
        std::size_t start, end;
    };
    std::vector<Char> chars;
    const bool little = file.rfind("\xFF\xFE", 0) == 0, big = file.rfind("\xFE\xFF", 0) == 0;
    if (little || big) {
        std::u16string units;
        for (std::size_t i = 2; i + 1 < file.size(); i += 2) {
            const auto a = static_cast<unsigned char>(file[i]), b = static_cast<unsigned char>(file[i + 1]);
            units += static_cast<char16_t>(big ? (a << 8 | b) : (b << 8 | a));
        }
        for (std::size_t i = 0; i < units.size(); ++i) {
            char32_t c = units[i];
            std::size_t n = 1;
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
                c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00), n = 2;
            else if (c >= 0xD800 && c < 0xE000)
                c = 0xFFFD;
            chars.push_back({c, 2 + 2 * i, 2 + 2 * (i + n)});
            i += n - 1;
        }
    } else {
        for (std::size_t i = 0; i < file.size();) {
            std::size_t n = 1;
            const auto decoded = DecodeUtf8At(file, i, n);
            chars.push_back({decoded ? *decoded : AnsiCharacter(static_cast<unsigned char>(file[i])), i,
                             i + (decoded ? n : 1)});
            i += decoded ? n : 1;
        }
    }
    std::size_t first = 0;
    while (chars[first].end <= static_cast<std::size_t>(offset))
        ++first;
    std::size_t last = first;
    while (last < chars.size() && chars[last].start < static_cast<std::size_t>(offset + length))
        ++last;
    const auto isBreak = [](char32_t c) { return c == '\n' || c == '\r'; };
    std::size_t lineStart = first, lineEnd = last;
    while (lineStart > 0 && !isBreak(chars[lineStart - 1].code))
        --lineStart;
    while (lineEnd < chars.size() && !isBreak(chars[lineEnd].code))
        ++lineEnd;

    const std::size_t before = first - lineStart, matched = last - first, after = lineEnd - last;
    std::size_t showBefore = before, showMatched = matched, showAfter = after;
    bool cutBefore = false, cutMatched = false, cutAfter = false;
    if (before + matched + after > 200) {
        if (matched > 198) {
            cutBefore = before > 0;
            cutMatched = true;
            showBefore = showAfter = 0;
            showMatched = 199 - (cutBefore ? 1 : 0);
        } else {
            std::size_t slotsBefore = 0, slotsAfter = 0;
            for (std::size_t room = 200 - matched; room > 0;) {
                if (slotsAfter < after && room > 0)
                    ++slotsAfter, --room;
                if (slotsBefore < before && room > 0)
                    ++slotsBefore, --room;
            }
            cutBefore = slotsBefore < before;
            cutAfter = slotsAfter < after;
            showBefore = cutBefore ? slotsBefore - 1 : before;
            showAfter = cutAfter ? slotsAfter - 1 : after;
        }
    }
    const auto shown = [&](std::size_t from, std::size_t count) {
        std::string out;
        for (std::size_t i = from; i < from + count; ++i) {
            const char32_t c = chars[i].code;
            out += Utf8(c < 0x20 || (c >= 0x7F && c <= 0x9F) ? U' ' : c);
        }
        return out;
    };
    MatchLine line;
    line.Text = (cutBefore ? kEllipsis : "") + shown(first - showBefore, showBefore);
    line.Start = static_cast<std::int32_t>(line.Text.size());
    line.Text += shown(first, showMatched);
    line.Length = static_cast<std::int32_t>(line.Text.size()) - line.Start;
    line.Text += (cutMatched ? kEllipsis : "") + shown(last, showAfter) + (cutAfter ? kEllipsis : "");
    return line;
}

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

struct LineCase {
    std::string Name;
    std::string Content;
    std::string Expected; // marked; empty: the model alone decides
};

// Files whose "needle" sits where lines are hard to take; the long ones cross many chunks
// and ranges of the tiny sizes used below.
std::vector<LineCase> NeedleFiles() {
    const std::string a300 = Repeat("a", 300), b300 = Repeat("b", 300);
    return {
        {"start.txt", "needle here\nsecond line", "[needle] here"},
        {"end.txt", "first line\nends with needle", "ends with [needle]"},
        {"long.txt", "x\n" + a300 + "needle" + b300 + "\ny",
         kEllipsis + Repeat("a", 96) + "[needle]" + Repeat("b", 96) + kEllipsis},
        {"longstart.txt", Repeat("c", 150) + "\n" + Repeat("d", 180) + "needle end", ""},
        {"nobreaks.txt", Repeat("0123456789", 100) + "needle" + Repeat("z", 30),
         kEllipsis + "789" + Repeat("0123456789", 16) + "[needle]" + Repeat("z", 30)},
        {"crlf.txt", "one\r\ntwo needle\r\nthree", "two [needle]"},
        {"controls.txt", "a\tb\x01needle\x7f", "a b [needle] "},
        {"ansi.txt", "caf\xE9 needle \xC3\xA9t\xE9\x80", "caf\xC3\xA9 [needle] \xC3\xA9t\xC3\xA9\xE2\x82\xAC"},
        {"wide-le.txt", Utf16Bytes(u"line one\r\nthe needle is here\r\n", false), "the [needle] is here"},
        {"wide-be.txt", Utf16Bytes(u"line one\r\nthe needle is here\r\n", true), "the [needle] is here"},
        {"wide-long.txt", Utf16Bytes(u"\U0001F600" + std::u16string(150, u'\u00E9') + u"needle" +
                                    std::u16string(40, u'\U00002603') + u"\U0001F600\U0001F600", false),
         ""},
        {"multibyte.txt", Repeat("\xC3\xA9", 300) + "needle" + Repeat("\xE2\x82\xAC", 300), ""},
        {"emoji.txt", Repeat("\xF0\x9F\x98\x80", 300) + "needle" + Repeat("\xF0\x9F\x98\x80", 3), ""},
        {"broken.txt", Repeat("\xF0\x9F\x98", 250) + "needle" + Repeat("\xC3", 50), ""},
    };
}

// Tiny chunks and ranges, so lines start chunks and ranges before their match.
constexpr std::size_t kChunk = 16;

std::map<std::string, MatchLine> SearchLines(const TempTree& tree, const std::string& phrase, bool hex,
                                             std::size_t threads, bool regex = false) {
    SearchRun run;
    run.Criteria.PhraseText = phrase;
    run.Criteria.HexNotation = hex;
    run.Criteria.RegularExpression = regex;
    run.Run({tree.Root()}, kChunk, threads);
    EXPECT_TRUE(run.Sink.Errors.empty());
    std::map<std::string, MatchLine> lines;
    for (const ResultRow& row : run.Sink.Rows)
        lines[row.Name] = row.Line;
    return lines;
}

TEST(MatchLine, TextLinesEqualTheModelForAnyThreadCount) {
    TempTree tree;
    std::map<std::string, const LineCase*> cases;
    const auto files = NeedleFiles();
    for (const LineCase& file : files) {
        tree.File(file.Name, file.Content);
        cases[file.Name] = &file;
    }
    // A regular expression's match has its line as a phrase's has, in UTF-16 files too.
    for (const auto& [phrase, regex] : {std::pair{"needle", false}, std::pair{"ne+dle", true}})
    for (const std::size_t threads : {1, 2, 8}) {
        const auto lines = SearchLines(tree, phrase, false, threads, regex);
        ASSERT_EQ(lines.size(), files.size()) << threads << " threads, " << phrase;
        for (const auto& [name, line] : lines) {
            const LineCase& file = *cases.at(name);
            const bool wide = name.rfind("wide", 0) == 0;
            const std::size_t at = wide ? file.Content.find(std::string("n\0e\0e", 5)) - (name == "wide-be.txt")
                                        : file.Content.find("needle");
            const MatchLine model = ModelLine(file.Content, static_cast<std::int64_t>(at), wide ? 12 : 6);
            EXPECT_EQ(Marked(line), Marked(model)) << name << ", " << threads << " threads, " << phrase;
            if (!file.Expected.empty()) {
                EXPECT_EQ(Marked(model), file.Expected) << name;
            }
        }
    }
}

TEST(MatchLine, LongLinesAreCutToTheirLength) {
    const std::string content = "x\n" + Repeat("a", 300) + "needle" + Repeat("b", 300);
    const std::size_t at = content.find("needle");
    const MatchLine line = LineFromBytes(reinterpret_cast<const unsigned char*>(content.data()), content.size(), 0,
                                         true, static_cast<std::int64_t>(at), 6, LineForm::Text);
    // 192 letters, the phrase and two marks of one character each: 200 characters.
    EXPECT_EQ(line.Text.size(), 192 + 6 + 2 * kEllipsis.size());
    // A phrase longer than a line: its start, between marks.
    const std::string phrase = Repeat("p", 250);
    const std::string longMatch = "before " + phrase + " after";
    const MatchLine cut = LineFromBytes(reinterpret_cast<const unsigned char*>(longMatch.data()), longMatch.size(), 0,
                                        true, 7, 250, LineForm::Text);
    EXPECT_EQ(Marked(cut), Marked(ModelLine(longMatch, 7, 250)));
    EXPECT_EQ(Marked(cut), kEllipsis + "[" + Repeat("p", 198) + "]" + kEllipsis);
}

TEST(MatchLine, EmptyMatchAtTheFileEndShowsTheLastLine) {
    // \z, def\K or (?<=f)$ on "abc\ndef": an empty match at offset 7, one past the last byte.
    const std::string content = "abc\ndef";
    for (const LineForm form : {LineForm::Text, LineForm::Utf16LittleEndian}) {
        const std::string bytes = form == LineForm::Text ? content : Utf16Bytes(u"abc\ndef", false);
        const std::int64_t end = static_cast<std::int64_t>(bytes.size());
        const MatchLine line = LineFromBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0,
                                             true, end, 0, form);
        EXPECT_EQ(Marked(line), "def[]");
    }
}

TEST(MatchLine, HexSearchShowsEightBytesEitherSide) {
    TempTree tree;
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    tree.File("all.bin", bytes);
    tree.File("head.bin", "\x41\x42\x43");
    for (const std::size_t threads : {1, 2, 8}) {
        const auto lines = SearchLines(tree, "41 42", true, threads);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(Marked(lines.at("all.bin")), "39 3A 3B 3C 3D 3E 3F 40 [41 42] 43 44 45 46 47 48 49 4A");
        EXPECT_EQ(Marked(lines.at("head.bin")), "[41 42] 43");
    }
}

TEST(MatchLine, NamesOnlyRowsCarryNoLine) {
    TempTree tree;
    tree.File("one.txt", "needle");
    SearchRun run;
    run.Criteria.NameFragment = "one";
    run.Run({tree.Root()}, kChunk, 2);
    ASSERT_EQ(run.Sink.Rows.size(), 1u);
    EXPECT_TRUE(run.Sink.Rows[0].Line.Text.empty());
}

} // namespace

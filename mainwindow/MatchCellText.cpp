#include "mainwindow/MatchCellText.h"

#include <algorithm>
#include <string>

namespace quennet {

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// `from` moved back by up to `characters` whole UTF-8 characters.
std::size_t CharactersBack(std::string_view text, std::size_t from, int characters) {
    while (from > 0 && characters-- > 0) {
        --from;
        while (from > 0 && IsContinuationByte(text[from]))
            --from;
    }
    return from;
}

} // namespace

MatchCellStart ShownStartOfMatchLine(std::string_view line, std::size_t matchStart, std::size_t matchLength,
                                     int room, const std::function<int(std::string_view)>& width) {
    matchStart = std::min(matchStart, line.size());
    const std::size_t matchEnd = std::min(line.size(), matchStart + matchLength);
    if (matchStart == 0 || width(line.substr(0, matchEnd)) <= room)
        return {};
    auto shownFrom = [&](int context) {
        std::size_t start = CharactersBack(line, matchStart, context);
        while (start < matchStart && (line[start] == ' ' || line[start] == '\t'))
            ++start;
        return start;
    };
    std::size_t start = shownFrom(kContextBeforeMatch);
    // A match too wide for its context to show as well goes first.
    if (start < matchStart && width(std::string(kCutMark) + std::string(line.substr(start, matchEnd - start))) > room)
        start = matchStart;
    return {start, true};
}

} // namespace quennet

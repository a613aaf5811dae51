// Which part of a match line a "Match" cell shows. A line is shown from its start when the
// matched part fits in the cell that way; otherwise from shortly before the match, behind "…",
// so a match far into a line (or after a long indent) is seen without widening the column.
#pragma once

#include <functional>
#include <string_view>

namespace quennet {

inline constexpr std::string_view kCutMark = "\xE2\x80\xA6"; // "…"

// The characters kept before a match that does not fit from the line's start.
inline constexpr int kContextBeforeMatch = 8;

struct MatchCellStart {
    std::size_t Byte = 0; // where the shown text starts in the line
    bool Cut = false;     // kCutMark goes first
};

// `width` measures UTF-8 text in the cell's units; `room` is what the cell holds. Blanks at
// the start of a cut text are left out: an indent says nothing there.
MatchCellStart ShownStartOfMatchLine(std::string_view line, std::size_t matchStart, std::size_t matchLength,
                                     int room, const std::function<int(std::string_view)>& width);

} // namespace quennet

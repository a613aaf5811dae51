// The command line's own row forms: one line per row, for terminals and for scripts.
//   Path:    the folder and the name, as one full path.
//   Columns: name, folder, size text and match offset, separated by tabs.
// With a match line, it follows as a last field after a tab (its own tabs are spaces by then).
// A row ends with `end`: a line feed, or NUL (as find -print0), so that any name can be read
// back whole.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quennet {

enum class RowLineForm { Path, Columns };

void AppendRowLine(std::string& out, RowLineForm form, char end, std::string_view name, std::string_view folder,
                   std::int64_t size, std::int64_t matchOffset, const std::string* matchLine = nullptr);

} // namespace quennet

// The results list as text, one line per row: what the window's "Save list as..." writes and
// what quennet-cli --csv prints, so that scripts and the window agree.
//
// Columns: name, folder, size in bytes, size text, match offset and the line around the match
// (empty for a search by name alone), after one header line.
// Two forms: tab-separated (the default) and comma-separated for spreadsheets. In both a field
// that holds the separator, a double quote, a carriage return or a line feed is put in double
// quotes with its quotes doubled, as spreadsheets write and read them; every other field
// stands as it is. In the comma-separated form, a field that a spreadsheet would take for a
// formula (it starts with "=", "+", "-", "@", a tab or a CR) gets an apostrophe in front and
// quotes, so that it is shown as text and never run. Lines end with CR LF. Text is the program's UTF-8, byte for byte, with no
// byte-order mark here (a script reading the first column would find it glued to "Name"); the
// window puts one before its .csv for spreadsheets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quennet {

enum class ListFormat { TabSeparated, Csv };

// Csv for a name ending in ".csv" (any case), TabSeparated for any other.
ListFormat ListFormatForFileName(std::string_view fileName);

void AppendListHeader(std::string& out, ListFormat format);
void AppendListRow(std::string& out, ListFormat format, std::string_view name, std::string_view folder,
                   std::int64_t size, std::int64_t matchOffset, std::string_view matchLine);

} // namespace quennet

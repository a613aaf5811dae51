#include "output/ResultListFormat.h"

#include "output/SizeText.h"

namespace quennet {

namespace {

char Separator(ListFormat format) {
    return format == ListFormat::Csv ? ',' : '\t';
}

void AppendField(std::string& out, std::string_view field, ListFormat format) {
    const char special[] = {Separator(format), '"', '\r', '\n'};
    // A spreadsheet takes a cell that starts with one of these for a formula: a file named
    // "=HYPERLINK(...)" would run as one when the list is opened.
    const bool formulaStart = format == ListFormat::Csv && !field.empty() &&
                              std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
    if (!formulaStart && field.find_first_of(std::string_view(special, sizeof special)) == std::string_view::npos) {
        out.append(field.data(), field.size());
        return;
    }
    out.push_back('"');
    if (formulaStart)
        out.push_back('\'');
    for (char c : field) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

void AppendNumber(std::string& out, std::int64_t value) {
    // to_string would make a string per number; a million rows make two million of them.
    char digits[24];
    char* end = digits + sizeof digits;
    char* at = end;
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        *--at = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        *--at = '-';
    out.append(at, end);
}

} // namespace

ListFormat ListFormatForFileName(std::string_view fileName) {
    constexpr std::string_view extension = ".csv";
    if (fileName.size() < extension.size())
        return ListFormat::TabSeparated;
    const std::string_view tail = fileName.substr(fileName.size() - extension.size());
    for (std::size_t i = 0; i < extension.size(); ++i) {
        const char c = tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] - 'A' + 'a') : tail[i];
        if (c != extension[i])
            return ListFormat::TabSeparated;
    }
    return ListFormat::Csv;
}

void AppendListHeader(std::string& out, ListFormat format) {
    const char separator = Separator(format);
    out.append("Name");
    for (const char* title : {"In Folder", "Size in bytes", "Size", "Match offset", "Match line"}) {
        out.push_back(separator);
        out.append(title);
    }
    out.append("\r\n");
}

void AppendListRow(std::string& out, ListFormat format, std::string_view name, std::string_view folder,
                   std::int64_t size, std::int64_t matchOffset, std::string_view matchLine) {
    const char separator = Separator(format);
    AppendField(out, name, format);
    out.push_back(separator);
    AppendField(out, folder, format);
    out.push_back(separator);
    AppendNumber(out, size);
    out.push_back(separator);
    AppendField(out, GetSize(size), format);
    out.push_back(separator);
    AppendNumber(out, matchOffset);
    out.push_back(separator);
    AppendField(out, matchLine, format);
    out.append("\r\n");
}

} // namespace quennet

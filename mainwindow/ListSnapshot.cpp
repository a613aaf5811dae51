#include "mainwindow/ListSnapshot.h"

#include <cstring>

namespace quennet {

bool WriteList(const ListSnapshot& rows, ListFormat format,
               const std::function<bool(const std::string&)>& write, std::size_t pieceBytes) {
    std::string piece;
    piece.reserve(pieceBytes + 4096);
    // A spreadsheet opening the window's .csv reads UTF-8 only behind this mark; quennet-cli
    // --csv, read by scripts, goes without.
    if (format == ListFormat::Csv)
        piece = "\xEF\xBB\xBF";
    AppendListHeader(piece, format);
    for (const ListSnapshot::Row& row : rows.Rows) {
        const char* name = rows.Names.data() + row.NameStart;
        AppendListRow(piece, format, std::string_view(name, std::strlen(name)), rows.Folders[row.Folder],
                      row.Size, row.MatchOffset, rows.Lines.At(row.Line).Text);
        if (piece.size() >= pieceBytes) {
            if (!write(piece))
                return false;
            piece.clear();
        }
    }
    return piece.empty() || write(piece);
}

} // namespace quennet

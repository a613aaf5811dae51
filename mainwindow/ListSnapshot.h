// The results list's rows as they were at one moment, for writing them out on another
// thread while the list goes on changing (a search adding rows, a sort moving them).
//
// Taking one copies the store's flat arrays (names, folders, rows in list order): a million
// rows take tens of milliseconds on the window's thread; formatting and writing, which take
// the rest, happen elsewhere.
#pragma once

#include "mainwindow/MatchLineStore.h"
#include "output/ResultListFormat.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quennet {

struct ListSnapshot {
    struct Row {
        std::uint64_t NameStart; // in Names, zero-terminated
        std::int64_t Size;
        std::int64_t MatchOffset;
        std::uint32_t Folder; // index in Folders
        std::uint64_t Line;   // in Lines
    };
    std::vector<Row> Rows; // in list order
    std::vector<char> Names;
    std::vector<std::string> Folders;
    MatchLineStore Lines;
};

// Formats the header and every row (a .csv behind a UTF-8 byte-order mark), handing the text to `write` in pieces of about
// `pieceBytes`; stops at the first piece `write` refuses. Whether every piece was taken.
bool WriteList(const ListSnapshot& rows, ListFormat format,
               const std::function<bool(const std::string&)>& write,
               std::size_t pieceBytes = std::size_t(1) << 20);

} // namespace quennet

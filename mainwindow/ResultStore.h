// The rows of the results list, kept by the window itself and shown through the list view's
// owner-data mode. A whole-drive search can bring hundreds of thousands of rows, so a row
// is small: names live in one shared character store, the rows of one folder share one
// folder string, and the size is kept as a number (its text is made when a row is painted).
//
// Rows arrive in batches (Append, then Commit once per batch). In name order, a committed
// batch is merged into place: its rows are placed by binary search, after the rows of an
// equal name, so arrival order decides between equal names and nothing is sorted twice.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quennet {

struct ResultRow;

class ResultStore {
  public:
    // Compares two names as the list orders them (lstrcmpA on Windows): <0, 0 or >0.
    using NameCompare = int (*)(const char* a, const char* b);
    explicit ResultStore(NameCompare compare);

    // The number of rows shown: committed rows only.
    int Count() const { return static_cast<int>(order_.size()); }
    const char* Name(int row) const;
    const std::string& Folder(int row) const;
    std::int64_t Size(int row) const;
    std::int64_t MatchOffset(int row) const;

    // Queues a row; it is shown after the next Commit.
    void Append(const ResultRow& row);
    // Shows the queued rows: at the end in arrival order, or merged into name order.
    // Returns the number of rows it added.
    int Commit();
    void Clear(); // the sort mode stays: a search starts in arrival order by StopSortingByName
    void RemoveRow(int row);

    bool SortedByName() const { return sortedByName_; }
    // Sorts the shown rows by name (stable: equal names keep their order) and keeps every
    // later batch in that order until Clear.
    void SortByName();
    // Back to arrival order for the rows still to come; the shown rows stay where they are.
    void StopSortingByName() { sortedByName_ = false; }

    // Bytes held by the rows, names and folders.
    std::size_t MemoryUse() const;

  private:
    struct Row {
        std::uint64_t NameStart; // in names_, zero-terminated
        std::int64_t Size;
        std::int64_t MatchOffset;
        std::uint32_t Folder; // index in folders_
    };
    bool NameLess(std::uint32_t a, std::uint32_t b) const;

    NameCompare compare_;
    std::vector<Row> rows_;            // every row ever appended since Clear, in arrival order
    std::vector<std::uint32_t> order_; // the rows shown, as indices into rows_, in list order
    std::vector<char> names_;
    std::vector<std::string> folders_;
    std::size_t committed_ = 0; // rows_[committed_..] wait for Commit
    bool sortedByName_ = false;
};

} // namespace quennet

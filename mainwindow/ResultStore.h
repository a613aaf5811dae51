// The rows of the results list, kept by the window itself and shown through the list view's
// owner-data mode. A whole-drive search can bring millions of rows, so a row is small: names
// live in one shared character store, the rows of one folder share one folder string, the
// size is kept as a number (its text is made when a row is painted), and the match lines of
// a content search live in a store of their own, indexed only once a row has one.
//
// A row is known by its arrival number (RowKey), which stays with it through every sort,
// merge and removal; the list's order is a vector of those numbers. In name order each row
// gets a sort key once; the keys do most of the ordering with byte compares, and the names'
// own comparison only confirms it (NameOrder.h).
//
// Rows arrive in batches (Append, then Commit once per batch). In name order, a committed
// batch is merged into place, after the rows of an equal name, so arrival order decides
// between equal names. A list too large to sort within a frame is sorted on a thread of its
// own (NameSortJob) and its order swapped in later.
#pragma once

#include "mainwindow/ListSnapshot.h"
#include "mainwindow/NameSortJob.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace quennet {

struct ResultRow;

// A row's identity until the store is cleared.
struct RowKey {
    std::uint32_t Generation = 0; // which filling of the store: Clear starts a new one
    std::uint32_t Row = 0;        // the row's arrival number within it
    bool operator==(const RowKey& other) const {
        return Generation == other.Generation && Row == other.Row;
    }
};

class ResultStore {
  public:
    // About 10 ms of sorting under Wine (a call of lstrcmpA per row, 2 us each): above this
    // a sort goes to a thread of its own.
    static constexpr int kSortAtOnceLimit = 5000;

    // `makeKey` guesses the order of `compareNames`, which decides it.
    explicit ResultStore(SortKeyMaker makeKey, NameCompare compareNames = std::strcmp,
                         int sortAtOnceLimit = kSortAtOnceLimit);
    ~ResultStore();

    // The rows shown, by position: committed rows only.
    int Count() const { return static_cast<int>(order_.size()); }
    const char* Name(int row) const;
    const std::string& Folder(int row) const;
    std::int64_t Size(int row) const;
    std::int64_t MatchOffset(int row) const;
    std::int32_t MatchLength(int row) const;
    MatchLineView Line(int row) const; // empty for a search by name alone
    bool HasLines() const { return !lineOf_.empty(); }
    RowKey KeyAt(int row) const { return RowKey{generation_, order_[row]}; }
    // The positions of the given rows now, in the order given; -1 for a row no longer shown.
    std::vector<int> PositionsOf(const std::vector<RowKey>& rows) const;

    // Queues a row; it is shown after the next Commit.
    void Append(const ResultRow& row);
    // Shows the queued rows: at the end in arrival order, or merged into name order.
    // Returns the number of rows it added.
    int Commit();
    void Clear(); // the sort mode stays: a search starts in arrival order by StopSortingByName
    // Removes the rows that are still shown; returns how many.
    int RemoveRows(const std::vector<RowKey>& rows);

    bool SortedByName() const { return sortedByName_; }
    // Sorts the shown rows by name (equal names keep their order) and keeps every later batch
    // in that order until Clear. A large list is sorted on another thread: the order changes
    // when TakeFinishedSort finds it done.
    void SortByName();
    bool SortRunning() const { return job_ != nullptr; }
    // On the store's thread: swaps a finished sort in; true when the order changed.
    bool TakeFinishedSort();
    // Back to arrival order for the rows still to come; the shown rows stay where they are.
    void StopSortingByName();

    // The shown rows as they are now, in list order.
    ListSnapshot Snapshot() const;

    // Bytes held by the rows, names, folders and sort keys.
    std::size_t MemoryUse() const;

  private:
    struct Row {
        std::uint64_t NameStart; // in names_, zero-terminated
        std::int64_t Size;
        std::int64_t MatchOffset;
        std::int32_t MatchLength; // differs by file: UTF-16 files match twice the bytes
        std::uint32_t Folder; // index in folders_
        bool Removed;
    };
    static constexpr std::uint64_t kNoKey = ~std::uint64_t(0);

    bool KeyLess(std::uint32_t a, std::uint32_t b) const;
    bool NameLess(std::uint32_t a, std::uint32_t b) const;
    void MakeKeys(const std::vector<std::uint32_t>& rows);
    // Merges `batch` (rows not yet in order_) into name order.
    void MergeIntoOrder(std::vector<std::uint32_t> batch);
    // Sorts the shown rows on the job's thread; the first `inOrder` are in name order already.
    void StartJob(std::size_t inOrder);
    void StopJob();
    void ReapRetired();

    SortKeyMaker makeKey_;
    NameCompare compareNames_;
    int sortAtOnceLimit_;
    std::vector<Row> rows_;            // every row appended since Clear, in arrival order
    std::vector<std::uint32_t> order_; // the rows shown, as indices into rows_, in list order
    std::vector<char> names_;
    std::vector<std::string> folders_;
    MatchLineStore lines_;
    std::vector<std::uint64_t> lineOf_; // by row, in lines_; empty while no row has a line
    std::string keys_;                    // sort keys, made once a row is to be in name order
    std::vector<std::uint64_t> keyStart_; // by row: its key in keys_, or kNoKey
    std::size_t committed_ = 0;           // rows_[committed_..] wait for Commit
    std::uint32_t generation_ = 1;
    bool sortedByName_ = false;
    std::unique_ptr<NameSortJob> job_; // a sort of the rows below jobRows_, running
    std::size_t jobRows_ = 0;
    // Cancelled sorts still finishing: a sort cannot stop midway, and waiting would freeze.
    std::vector<std::unique_ptr<NameSortJob>> retired_;
};

} // namespace quennet

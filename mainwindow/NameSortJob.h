// The sort of a large results list by name, on a thread of its own so that the window keeps
// answering. It works on copies of the names, so the list may go on growing, shrinking or be
// cleared meanwhile; the store swaps the finished order in on the window's thread.
#pragma once

#include "mainwindow/NameOrder.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace quennet {

// Appends the sort key of `name` to `key`, with a terminating NUL and no other: keys compared
// with strcmp guess the order of the names' own comparison.
using SortKeyMaker = void (*)(const char* name, std::string& key);

class NameSortJob {
  public:
    // `rows`: the rows to sort; the first `inOrder` of them are in name order already (a
    // previous sort's result), the others in arrival order and all later arrivals. Those are
    // sorted alone and merged in, so a list sorted again as it grows costs about its new
    // rows. `nameStart[row]` is the start of the row's name in `names`. The thread starts at
    // once.
    NameSortJob(SortKeyMaker makeKey, NameCompare compareNames, std::vector<std::uint32_t> rows,
                std::size_t inOrder, std::vector<char> names, std::vector<std::uint64_t> nameStart);
    ~NameSortJob(); // waits for the thread
    NameSortJob(const NameSortJob&) = delete;
    NameSortJob& operator=(const NameSortJob&) = delete;

    bool Done() const { return done_.load(std::memory_order_acquire); }
    // Asks the thread to stop early; its result is then not to be used.
    void Cancel() { cancel_.store(true, std::memory_order_relaxed); }

    // Once Done: the rows in name order (equal names in arrival order), and each row's key
    // as an offset in Keys (the rows not sorted here have no entry of meaning).
    std::vector<std::uint32_t> Sorted;
    std::string Keys;
    std::vector<std::uint64_t> KeyStart; // indexed by row

  private:
    void Run();

    SortKeyMaker makeKey_;
    NameCompare compareNames_;
    std::size_t inOrder_;
    std::vector<char> names_;
    std::vector<std::uint64_t> nameStart_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> done_{false};
    std::thread thread_; // last: starts after every other member is ready
};

} // namespace quennet

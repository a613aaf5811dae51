// The sort of a large results list by name, on a thread of its own so that the window keeps
// answering. It works on copies of the names, so the list may go on growing, shrinking or be
// cleared meanwhile; the store swaps the finished order in on the window's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace quennet {

// Appends the sort key of `name` to `key`, with a terminating NUL: keys compare with strcmp
// as the list orders the names themselves, and contain no other NUL.
using SortKeyMaker = void (*)(const char* name, std::string& key);
// Compares two keys: <0, 0 or >0 (strcmp, or the system's own comparison of names).
using KeyCompare = int (*)(const char* a, const char* b);

class NameSortJob {
  public:
    // `rows`: the rows to sort, in arrival order; `nameStart[row]` is the start of the row's
    // name in `names`. The thread starts at once.
    NameSortJob(SortKeyMaker makeKey, KeyCompare compare, std::vector<std::uint32_t> rows, std::vector<char> names,
                std::vector<std::uint64_t> nameStart);
    ~NameSortJob(); // waits for the thread
    NameSortJob(const NameSortJob&) = delete;
    NameSortJob& operator=(const NameSortJob&) = delete;

    bool Done() const { return done_.load(std::memory_order_acquire); }
    // Asks the thread to stop early; its result is then not to be used.
    void Cancel() { cancel_.store(true, std::memory_order_relaxed); }

    // Once Done: the rows in name order (equal keys in arrival order), and each row's key
    // as an offset in Keys (the rows not sorted here have no entry of meaning).
    std::vector<std::uint32_t> Sorted;
    std::string Keys;
    std::vector<std::uint64_t> KeyStart; // indexed by row

  private:
    void Run();

    SortKeyMaker makeKey_;
    KeyCompare compare_;
    std::vector<char> names_;
    std::vector<std::uint64_t> nameStart_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> done_{false};
    std::thread thread_; // last: starts after every other member is ready
};

} // namespace quennet

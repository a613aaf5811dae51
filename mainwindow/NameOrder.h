// Names in exactly the order of the system's comparison (lstrcmpA in the window), with few
// calls to it.
//
// Under Wine lstrcmpA takes about 2 us a call and an LCMapString sort key about 8 us, and
// the sort keys do not order every pair as lstrcmpA does; a sort of a million names by
// lstrcmpA alone is 20 million calls, 40 s. So each name gets a cheap key once, made from the
// comparison's own weights of single characters (CollationTable), and rows are ordered by
// their keys with byte compares. The key is only a guess: every neighbouring pair is then
// checked with the comparison itself, and a row the guess put in the wrong place is moved
// to its exact place by a binary search. The result is the comparison's order whatever the
// key's quality; a good key makes it cost about one call per row.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quennet {

// Compares two names: <0, 0 or >0.
using NameCompare = int (*)(const char* a, const char* b);

// The weight of each byte in a comparison's order, learnt from the comparison on single
// characters: the first level (case and accents aside, some punctuation ignored) and the
// full order of the characters.
class CollationTable {
  public:
    explicit CollationTable(NameCompare compare);
    // Appends the key of `name` with a terminating NUL (and no other): the first-level
    // weights, a 1, then every character's rank.
    void AppendKey(const char* name, std::string& key) const;

  private:
    unsigned char primary_[256] = {}; // 0: not weighed at the first level
    unsigned char rank_[256] = {};
};

#ifdef _WIN32
// The results list's order of names: the system's own, lstrcmpA's.
int CompareNames(const char* a, const char* b);
// The key that guesses CompareNames's order, from lstrcmpA's own weights of single
// characters, learnt on first use.
void NameKey(const char* name, std::string& key);
#endif

// Sorts `rows` into the order of `exactLess` (a strict total order), using `keyLess` (a
// cheap guess at it) for the bulk of the work. `stop` is asked now and then; when it says
// true the sort ends early and returns false, the order then being of no use.
template <class KeyLess, class ExactLess, class Stop>
bool SortExactly(std::vector<std::uint32_t>& rows, KeyLess keyLess, ExactLess exactLess, Stop stop) {
    std::sort(rows.begin(), rows.end(), keyLess);
    // Where the key misleads badly, moving rows one by one would cost more than a sort by the
    // comparison alone.
    const std::size_t moveBudget = 4 * rows.size() + 1024;
    std::size_t moved = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (i % 4096 == 0 && stop())
            return false;
        if (exactLess(rows[i - 1], rows[i]))
            continue;
        const auto place = std::upper_bound(rows.begin(), rows.begin() + i, rows[i], exactLess);
        moved += static_cast<std::size_t>(rows.begin() + i - place);
        if (moved > moveBudget) {
            std::sort(rows.begin(), rows.end(), exactLess);
            return true;
        }
        std::rotate(place, rows.begin() + i, rows.begin() + i + 1);
    }
    return true;
}

// Merges the rows of `batch` into `order`, which is in the order of `exactLess`, so that the
// whole is; every new row is placed after the shown rows it equals if `exactLess` breaks
// ties that way. The key finds a place, the comparison confirms it with the two neighbours.
// A `stop` that says true while the batch is sorted leaves `order` as it was.
template <class KeyLess, class ExactLess, class Stop>
void MergeExactly(std::vector<std::uint32_t>& order, std::vector<std::uint32_t> batch, KeyLess keyLess,
                  ExactLess exactLess, Stop stop) {
    if (batch.empty() || !SortExactly(batch, keyLess, exactLess, stop))
        return;
    std::vector<std::uint32_t> merged;
    merged.reserve(order.size() + batch.size());
    auto from = order.begin();
    for (std::uint32_t row : batch) {
        auto place = std::upper_bound(from, order.end(), row, keyLess);
        // Before `from` lies the batch's previous row, which is less than this one.
        const bool fits = (place == order.end() || exactLess(row, *place)) &&
                          (place == from || exactLess(*(place - 1), row));
        if (!fits)
            place = std::upper_bound(from, order.end(), row, exactLess);
        merged.insert(merged.end(), from, place);
        merged.push_back(row);
        from = place;
    }
    merged.insert(merged.end(), from, order.end());
    order.swap(merged);
}

template <class KeyLess, class ExactLess>
void MergeExactly(std::vector<std::uint32_t>& order, std::vector<std::uint32_t> batch, KeyLess keyLess,
                  ExactLess exactLess) {
    MergeExactly(order, std::move(batch), keyLess, exactLess, [] { return false; });
}

} // namespace quennet

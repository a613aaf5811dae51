#include "mainwindow/NameSortJob.h"

#include <algorithm>
#include <cstring>

namespace quennet {

NameSortJob::NameSortJob(SortKeyMaker makeKey, NameCompare compareNames, std::vector<std::uint32_t> rows,
                         std::size_t inOrder, std::vector<char> names, std::vector<std::uint64_t> nameStart)
    : Sorted(std::move(rows)), makeKey_(makeKey), compareNames_(compareNames), inOrder_(std::min(inOrder, Sorted.size())),
      names_(std::move(names)), nameStart_(std::move(nameStart)), thread_([this] { Run(); }) {}

NameSortJob::~NameSortJob() {
    Cancel();
    thread_.join();
}

void NameSortJob::Run() {
    KeyStart.assign(nameStart_.size(), 0);
    std::size_t made = 0;
    for (std::uint32_t row : Sorted) {
        if (++made % 4096 == 0 && cancel_.load(std::memory_order_relaxed))
            break;
        KeyStart[row] = Keys.size();
        makeKey_(names_.data() + nameStart_[row], Keys);
    }
    if (!cancel_.load(std::memory_order_relaxed)) {
        // Rows of equal names keep their arrival order, which is the order of their numbers.
        const char* keys = Keys.data();
        const std::uint64_t* start = KeyStart.data();
        const char* names = names_.data();
        const std::uint64_t* nameStart = nameStart_.data();
        const NameCompare compareNames = compareNames_;
        const auto keyLess = [keys, start](std::uint32_t a, std::uint32_t b) {
            const int order = std::strcmp(keys + start[a], keys + start[b]);
            return order < 0 || (order == 0 && a < b);
        };
        const auto exactLess = [names, nameStart, compareNames](std::uint32_t a, std::uint32_t b) {
            const int order = compareNames(names + nameStart[a], names + nameStart[b]);
            return order < 0 || (order == 0 && a < b);
        };
        const auto stop = [this] { return cancel_.load(std::memory_order_relaxed); };
        if (inOrder_ == 0) {
            SortExactly(Sorted, keyLess, exactLess, stop);
        } else {
            std::vector<std::uint32_t> newcomers(Sorted.begin() + static_cast<std::ptrdiff_t>(inOrder_), Sorted.end());
            Sorted.resize(inOrder_);
            MergeExactly(Sorted, std::move(newcomers), keyLess, exactLess, stop);
        }
    }
    names_.clear();
    names_.shrink_to_fit();
    done_.store(true, std::memory_order_release);
}

} // namespace quennet

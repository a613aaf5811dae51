// The window's side of a search: the searcher's calls become one locked queue, and one wake-up
// a batch asks the window's thread to take what waits. The window's thread takes the rows, the
// fault and the end together, so every row is in the list before the end shows. Portable: the
// wake-up is the window's to give.
#pragma once

#include "mainwindow/NotReadList.h"
#include "search/SearchSink.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace quennet {

class WindowSink : public SearchSink {
  public:
    // Rows waiting for the window; the search waits beyond this.
    static constexpr std::size_t kMaxRowsInFlight = 4096;
    // Under Wine each wake-up of the window's thread is a server call, and waking it for every
    // few rows made a 200,000-row search half as fast again: the rows below a batch are
    // fetched by the window's own timer.
    static constexpr std::size_t kRowsPerWakeUp = 256;

    // `wake` asks the window's thread, without waiting, to call Take; it is called from a
    // search thread, at most once until the next Take. Should it throw, the rows wait for the
    // next batch or the window's timer.
    explicit WindowSink(std::function<void()> wake, std::size_t rowsPerWakeUp = kRowsPerWakeUp);

    // Window thread, before a search starts: forgets the last one's faults and end.
    void Reset();

    struct Taken {
        std::vector<ResultRow> Rows; // in walk order
        // Set once, at the first Take after the search's end, with the fault that broke it
        // off, if one did.
        bool Finished = false;
        std::optional<SearchError> Fault;
    };
    // Window thread: everything that waits.
    Taken Take();

    // Window thread, once finished: the files and folders left out and the first of them;
    // all of them, one a line; the files the filters left out.
    std::size_t NotReadCount() const;
    SearchError FirstNotRead() const;
    std::string NotReadText() const;
    std::uint64_t FilteredOutCount() const;

    // SearchSink. None of them throws but Row, for want of memory; a fault too large to
    // copy is kept as "Out of memory.".
    void Row(const ResultRow& row) override;
    void Error(const SearchError& error) override;
    void FilteredOut(std::uint64_t files) override;
    void Finish() override;

  private:
    // `lock` holds mutex_ and is released.
    void Wake(std::unique_lock<std::mutex>& lock);

    const std::function<void()> wake_;
    const std::size_t rowsPerWakeUp_;
    mutable std::mutex mutex_;
    std::condition_variable room_;
    std::vector<ResultRow> rows_;
    bool wakePending_ = false;
    bool finished_ = false;
    bool finishTaken_ = false;
    std::optional<SearchError> fault_;
    bool faultOutOfMemory_ = false;
    NotReadList notRead_;
    std::uint64_t filteredOut_ = 0;
};

} // namespace quennet

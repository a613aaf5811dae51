// The Search / Stop button, the locking of the criteria panel, the two progress timers and
// the status texts: the user-interface side of a search, and the front end that the worker
// talks to. All of it runs on the user-interface thread.
#pragma once

#include "runtime/Timer.h"
#include "search/SearchWorker.h"
#include "search/SizeBounds.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace quennet {

class TForm1;
class TWinControl;

class SearchControl : public SearchFrontEnd {
  public:
    explicit SearchControl(TForm1& form);
    ~SearchControl() override;

    // Starts a search, stops the running one, or does nothing while a stop is pending.
    void searchClick();
    // Makes a stop request to the running search, unless one is pending; false when no
    // search runs.
    bool Stop();
    bool Searching() const { return ActiveWorker != nullptr; }
    bool StopPending() const { return stopPending_; }
    // Closing: makes a stop request and waits for the worker's end, serving its steps
    // (FinishSearch among them) meanwhile.
    void StopAndWait();

    // Copies SpecSize, MinSize and MaxSize for the worker, which reads them for every file.
    void RefreshSizeBounds();
    // The phrase as the last search matched it, for the viewer's F3.
    const SearchedPhrase& Searched() const { return searched_; }
    // Whole seconds by the clock since the search started (ticks of a timer would be dropped
    // while the window's thread is busy).
    std::int32_t ElapsedSeconds() const;

    TTimer NowSearchingInANDnrOfFilesFound;
    TTimer counter;
    // Shows the rows that arrived since the last count update, when no more come for a while.
    TTimer showRows;
    SearchProgress Progress;

    // SearchFrontEnd
    void RunOnUiThread(const std::function<void()>& step) override;
    void PostToUiThread(std::function<void()> step) override;
    std::optional<SearchRequest> PrepareSearch() override;
    void AppendRow(const ResultRow& row) override;
    void ReportSearchError(const SearchError& error) override;
    void ReportUnread(const UnreadItem& item) override;
    void FinishSearch() override;
    std::size_t RowsPerWakeUp() const override { return kRowsPerWakeUp; }

  private:
    // Rows are handed over in batches of this many, and whatever waits below a batch is
    // fetched by the showRows timer.
    static constexpr std::size_t kRowsPerWakeUp = 256;

    void NowSearchingInANDnrOfFilesFoundTimer();
    void counterTimer();
    void ShowElapsedSeconds();
    // The list's count is updated at most every kShowRowsInterval: each update costs the
    // list view a layout, and the worker may hand over a few rows at a time.
    void ShowArrivedRows(bool now);
    // Step 1 of a search: the roots of the look-in choice; false after "Invalid directory.".
    bool BuildRoots();
    // FinishSearch: its steps, and what must happen even when one of them fails.
    void FinishSteps();
    // What holds after every search, also when a finishing step failed: the criteria usable,
    // the timers of a search off and auto-adjustment on, the button reading "Search", and the
    // focus back where it was when the search started.
    void UnlockPanel();
    void GiveBackFocus();
    void ReleaseWorker();

    TForm1& form_;
    std::shared_ptr<TMyThread> ActiveWorker;
    bool stopPending_ = false;
    std::vector<std::string> Roots;
    LiveSizeBounds sizeBounds_;
    SearchedPhrase searched_;
    std::chrono::steady_clock::time_point started_;
    bool timing_ = false;
    std::int32_t elapsedSeconds_ = 0; // shown; counts on while timing_
    TWinControl* focusAtStart_ = nullptr;
    // Files and folders the search left out: the end of the search says how many.
    std::size_t unreadCount_ = 0;
    UnreadItem firstUnread_;
    std::chrono::steady_clock::time_point rowsShown_;
};

} // namespace quennet

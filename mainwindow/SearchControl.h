// The Search / Stop button, the locking of the criteria panel, the two progress timers and
// the status texts: the window's side of a search. The window builds and checks the request,
// starts the searcher, and takes what the searcher pushes into its sink. All of it runs on the
// window's thread.
#pragma once

#include "mainwindow/SearchPhase.h"
#include "mainwindow/WindowSink.h"
#include "runtime/Timer.h"
#include "search/SearchWorker.h"
#include "search/SizeBounds.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quennet {

class TForm1;
class TWinControl;

class SearchControl {
  public:
    explicit SearchControl(TForm1& form);
    ~SearchControl();

    // Starts a search, stops the running one, or does nothing while a stop is pending.
    void searchClick();
    // Makes a stop request to the running search, unless one is pending; false when no
    // search runs.
    bool Stop();
    bool Searching() const { return phase_.Searching(); }
    bool StopPending() const { return phase_.Now() == SearchPhase::State::Stopping; }
    // Closing: makes a stop request and waits for the search's end, taking its rows meanwhile.
    void StopAndWait();

    // Copies SpecSize, MinSize and MaxSize for the searcher, which reads them for every file.
    void RefreshSizeBounds();
    // The files and folders the last search could not read, one "path: reason" a line.
    std::size_t NotReadCount() const { return sink_.NotReadCount(); }
    std::string NotReadText() const { return sink_.NotReadText(); }
    // The phrase as the last search matched it, for the viewer's F3.
    const SearchedPhrase& Searched() const { return searched_; }
    // Whole seconds by the clock since the search started (ticks of a timer would be dropped
    // while the window's thread is busy).
    std::int32_t ElapsedSeconds() const;

    TTimer NowSearchingInANDnrOfFilesFound;
    TTimer counter;
    // Takes the rows below a batch, which no wake-up brings, and shows them.
    TTimer showRows;
    SearchProgress Progress;

    // Before a search starts: clears the list, runs the checks, builds the request for
    // `roots` and locks the panel. nullopt when a check failed (its box has been shown).
    std::optional<SearchRequest> PrepareSearch(std::vector<std::string> roots);
    // The end of a search, or of an attempt whose check failed: the last rows shown, the
    // final texts, the panel unlocked.
    void FinishSearch();

  private:
    // The list's count is updated at most every kShowRowsInterval: each update costs the
    // list view a layout.
    void ShowArrivedRows(bool now);
    // Takes what the search pushed: the rows, and at its end the fault and the finish.
    void TakeFromSearch();
    void NowSearchingInANDnrOfFilesFoundTimer();
    void counterTimer();
    void ShowElapsedSeconds();
    // The roots of the look-in choice; false after "Invalid directory.".
    bool BuildRoots(std::vector<std::string>& roots);
    // The button's caption and state and the locked criteria, as phase_ says.
    void ApplyPhase();
    void FinishSteps();
    // What holds after every search, also when a finishing step failed: the criteria usable,
    // the timers of a search off and auto-adjustment on, the button reading "Search", and the
    // focus back where it was when the search started.
    void UnlockPanel();
    void GiveBackFocus();

    TForm1& form_;
    SearchPhase phase_;
    WindowSink sink_;
    std::shared_ptr<TMyThread> ActiveWorker;
    LiveSizeBounds sizeBounds_;
    SearchedPhrase searched_;
    std::chrono::steady_clock::time_point started_;
    bool timing_ = false;
    std::int32_t elapsedSeconds_ = 0; // shown; counts on while timing_
    TWinControl* focusAtStart_ = nullptr;
    std::chrono::steady_clock::time_point rowsShown_;
};

} // namespace quennet

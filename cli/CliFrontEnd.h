// The command line's side of a search: its main thread plays the user-interface thread,
// printing rows and status texts.
#pragma once

#include "cli/CliOptions.h"
#include "cli/OutputText.h"
#include "search/SearchWorker.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace quennet::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitInterrupted = 130;

class CliFrontEnd : public SearchFrontEnd {
  public:
    CliFrontEnd(const CliOptions& options, std::FILE* out, std::FILE* err);

    // Validates the folders, runs the search to its end and returns the exit status.
    // `interrupt` is polled: once it reads true, a stop request is made.
    int Run(const std::atomic<bool>& interrupt);

    void RunOnUiThread(const std::function<void()>& step) override;
    void PostToUiThread(std::function<void()> step) override;
    std::optional<SearchRequest> PrepareSearch() override;
    void AppendRow(const ResultRow& row) override;
    void ReportSearchError(const SearchError& error) override;
    void ReportUnread(const UnreadItem& item) override;
    void FinishSearch() override;

  protected:
    // Starts the search thread. Tests override it to make the start fail as the system would.
    virtual std::unique_ptr<TMyThread> StartWorker();

  private:
    // Runs every queued step, waiting until `until` for the first; returns how many ran.
    std::size_t ServeQueue(std::chrono::steady_clock::time_point until);
    void ProgressTick();
    void Status(const std::string& text);
    // One line to the error stream, at once.
    void Complain(const std::string& text);
    // After a write to the output: a failed one ends the search.
    void CheckOutput();
    // No memory for a step: the search ends with "Out of memory." and status 1.
    void OutOfMemory();
    // Inside a catch block: a step of this thread failed; the search ends with its fault.
    void StepFailed();

    const CliOptions& options_;
    OutputText out_;
    OutputText err_;
    std::thread::id uiThread_;
    TMyThread* worker_ = nullptr; // the search of Run, while it runs; not owned

    std::mutex queueMutex_;
    std::condition_variable queueSignal_;
    std::deque<std::function<void()>> queue_;

    SearchProgress progress_;
    LiveSizeBounds sizeBounds_;
    bool searching_ = false; // between PrepareSearch and FinishSearch
    bool finished_ = false;  // FinishSearch has run
    bool rowsUnflushed_ = false;
    int elapsedSeconds_ = 0;
    int exitStatus_ = kExitOk;
    bool unread_ = false; // a file or folder was left out: the search did not see everything
    bool outputLost_ = false;
    bool outOfMemory_ = false;
};

} // namespace quennet::cli

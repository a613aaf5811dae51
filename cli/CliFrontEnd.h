// The command line's front end: it builds and checks the request, starts the searcher and is
// its sink, writing each row as it comes, under a lock. Its own thread only waits: it flushes
// the rows that arrived, shows the progress and passes Ctrl+C on as a stop request.
#pragma once

#include "cli/CliOptions.h"
#include "cli/OutputText.h"
#include "search/SearchWorker.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace quennet::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitInterrupted = 130;

class CliFrontEnd : private SearchSink {
  public:
    CliFrontEnd(const CliOptions& options, std::FILE* out, std::FILE* err);

    // Checks the folders and the criteria, runs the search to its end and returns the exit
    // status. `interrupt` is polled: once it reads true, a stop request is made.
    int Run(const std::atomic<bool>& interrupt);

  protected:
    // Starts the searcher with this front end as its sink. Tests override it to make the
    // start fail as the system would.
    virtual std::unique_ptr<TMyThread> StartWorker(SearchRequest request);
    SearchSink& Sink() { return *this; }

  private:
    // SearchSink: called from the search's threads.
    void Begin() override;
    void Row(const ResultRow& row) override;
    void Error(const SearchError& error) override;
    void Finish() override;

    // The rest run with mutex_ held.
    void ProgressTick();
    void Status(const std::string& text);
    // One line to the error stream, at once.
    void Complain(const std::string& text);
    // After a write to the output: a failed one ends the search.
    void CheckOutput();
    // No memory for a step: the search ends with "Out of memory." and status 1.
    void OutOfMemory();
    // Inside a catch block on this thread: the search ends with the fault.
    void Failed();

    const CliOptions& options_;
    SearchProgress progress_;
    LiveSizeBounds sizeBounds_;

    std::mutex mutex_; // the two streams and everything below
    std::condition_variable wake_; // rows to flush, a stop wanted, the end
    OutputText out_;
    OutputText err_;
    std::string line_; // one row's text, its buffer kept from row to row
    bool searching_ = false; // between Begin and Finish
    bool finished_ = false;  // Finish has run
    bool rowsUnflushed_ = false;
    bool stopWanted_ = false; // the output is lost or memory ran out: the search is not worth going on with
    int elapsedSeconds_ = 0;
    int exitStatus_ = kExitOk;
    bool unread_ = false; // a file or folder was left out: the search did not see everything
    bool outputLost_ = false;
    bool outOfMemory_ = false;
};

} // namespace quennet::cli

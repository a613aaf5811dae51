#include "cli/CliFrontEnd.h"

#include "output/ResultListFormat.h"
#include "output/RowLines.h"
#include "search/FileFind.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

namespace quennet::cli {

using Clock = std::chrono::steady_clock;

CliFrontEnd::CliFrontEnd(const CliOptions& options, std::FILE* out, std::FILE* err)
    : options_(options), out_(out), err_(err) {}

void CliFrontEnd::Status(const std::string& text) {
    if (options_.Progress)
        Complain(text);
}

void CliFrontEnd::Complain(const std::string& text) {
    err_.Write(text);
    err_.Write("\n");
    err_.Flush();
}

void CliFrontEnd::OutOfMemory() {
    // Rows may be lost: the search is not worth going on with, and its status must say so.
    stopWanted_ = true;
    wake_.notify_one();
    exitStatus_ = kExitError;
    if (!outOfMemory_) {
        outOfMemory_ = true;
        Complain("Out of memory.");
    }
}

void CliFrontEnd::Failed() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    } catch (const std::exception& e) {
        stopWanted_ = true;
        exitStatus_ = kExitError;
        try {
            Complain(e.what());
        } catch (const std::exception&) {
            OutOfMemory();
        }
    }
}

void CliFrontEnd::CheckOutput() {
    if (!out_.Failed() || outputLost_)
        return;
    outputLost_ = true;
    // Rows that cannot be written are not worth finding.
    stopWanted_ = true;
    wake_.notify_one();
    // The reader of a pipe has gone (`| head`): end quietly, as other tools do.
    if (out_.Error() != EPIPE)
        Complain(std::string("write error: ") + std::strerror(out_.Error()));
    if (exitStatus_ == kExitOk)
        exitStatus_ = kExitError;
}

void CliFrontEnd::ProgressTick() {
    Status("Now searching in: " + progress_.CurrentFolder());
    Status(std::to_string(progress_.FilesFound.load()) + " files found.");
}

void CliFrontEnd::Begin() {
    std::lock_guard<std::mutex> lock(mutex_);
    searching_ = true;
    if (options_.Csv) {
        std::string header;
        AppendListHeader(header, ListFormat::Csv);
        out_.Write(header);
    }
    Status("Searching...");
    Status("0 files found.");
    Status("Search took 0 seconds.");
}

void CliFrontEnd::Row(const ResultRow& row) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (outputLost_)
        return;
    line_.clear();
    if (options_.Csv)
        AppendListRow(line_, ListFormat::Csv, row.Name, row.Folder, row.Size, row.MatchOffset, row.Line.Text);
    else
        AppendRowLine(line_, options_.Columns ? RowLineForm::Columns : RowLineForm::Path,
                      options_.NulTerminated ? '\0' : '\n', row.Name, row.Folder, row.Size, row.MatchOffset,
                      options_.MatchLine ? &row.Line.Text : nullptr);
    out_.Write(line_);
    // Rows reach a pipe or a terminal as they arrive, not when the search ends: the waiting
    // thread flushes them.
    if (!rowsUnflushed_) {
        rowsUnflushed_ = true;
        wake_.notify_one();
    }
    CheckOutput();
}

void CliFrontEnd::Error(const SearchError& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    switch (error.Fault) {
    case SearchError::Kind::NotRead:
        // As find does: the path and the reason on stderr, the search goes on, the status says so.
        Complain(error.Path + ": " + error.Message);
        unread_ = true;
        break;
    case SearchError::Kind::OutOfMemory:
        OutOfMemory();
        break;
    default:
        Complain(error.Message);
        if (exitStatus_ == kExitOk)
            exitStatus_ = error.Fault == SearchError::Kind::InvalidMask ? kExitBadInput : kExitError;
    }
}

void CliFrontEnd::Finish() {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true; // first: the texts below may find no memory
    wake_.notify_one();
    if (searching_) {
        searching_ = false;
        ProgressTick();
    }
    Status("Done");
}

std::unique_ptr<TMyThread> CliFrontEnd::StartWorker(SearchRequest request) {
    SearchOptions options;
    options.Threads = static_cast<std::size_t>(options_.Threads);
    return std::make_unique<TMyThread>(std::move(request), sizeBounds_, Sink(), progress_, std::move(options));
}

int CliFrontEnd::Run(const std::atomic<bool>& interrupt) {
    for (const std::string& root : options_.Roots) {
        if (const std::string fault = LookInPathFault(root); !fault.empty()) {
            // With several roots, the one refused and why.
            Complain("Invalid directory: " + root + " (" + fault + ")");
            return kExitBadInput;
        }
    }
    // Every check before anything starts: bad input leaves stdout empty.
    PreparedSearch prepared = BuildSearchRequest(options_.Criteria);
    if (!prepared.Request) {
        const char* option = prepared.Field == CriterionField::Only          ? "--only: "
                             : prepared.Field == CriterionField::Skip        ? "--skip: "
                             : prepared.Field == CriterionField::SkipFolders ? "--skip-dir: "
                             : prepared.Field == CriterionField::Phrase && options_.Criteria.RegularExpression
                                 ? "--regex: "
                                 : "";
        Complain(option + prepared.Error);
        return kExitBadInput;
    }
    prepared.Request->Roots = options_.Roots;
    sizeBounds_.Set(options_.Criteria.Size);

    std::unique_ptr<TMyThread> worker;
    try {
        worker = StartWorker(std::move(*prepared.Request));
    } catch (const std::system_error& e) {
        Complain(std::string("Cannot start the search thread: ") + e.what());
        return kExitError;
    } catch (const std::bad_alloc&) {
        Complain("Out of memory.");
        return kExitError;
    }
    bool interrupted = false;
    auto nextProgress = Clock::now() + std::chrono::milliseconds(500);
    auto nextSecond = Clock::now() + std::chrono::seconds(1);
    {
        std::unique_lock<std::mutex> lock(mutex_);
        // Finish is the searcher's last call; should it fail for want of memory, the thread
        // ends without it.
        while (!finished_ && !worker->Finished()) {
            try {
                // Wake at least every 100 ms to notice Ctrl+C.
                const auto until = std::min({nextProgress, nextSecond, Clock::now() + std::chrono::milliseconds(100)});
                wake_.wait_until(lock, until, [this] { return rowsUnflushed_ || stopWanted_ || finished_; });
                if (rowsUnflushed_ && !finished_) {
                    // Let the searcher gather rows for a millisecond: a flush for every row
                    // would cost a write for every row.
                    lock.unlock();
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    lock.lock();
                }
                if (rowsUnflushed_) {
                    out_.Flush();
                    rowsUnflushed_ = false;
                    CheckOutput();
                }
                if (interrupt.load() && !worker->Terminated()) {
                    worker->Terminate();
                    interrupted = true;
                }
                if (stopWanted_) {
                    worker->Terminate();
                    stopWanted_ = false; // asked once: the wait above must wait again
                }
                const auto now = Clock::now();
                if (now >= nextProgress) {
                    if (searching_)
                        ProgressTick();
                    nextProgress += std::chrono::milliseconds(500);
                }
                if (now >= nextSecond) {
                    if (searching_)
                        Status("Search took " + std::to_string(++elapsedSeconds_) + " seconds.");
                    nextSecond += std::chrono::seconds(1);
                }
            } catch (const std::exception&) {
                if (!lock.owns_lock())
                    lock.lock();
                Failed();
            }
        }
        if (worker->FaultUntold())
            OutOfMemory();
        out_.Flush();
        CheckOutput();
    }
    worker.reset(); // joins the searcher: nothing reaches the sink any more
    // A Ctrl+C during the run is told by the status even when the search ended before the
    // loop above saw it: the user asked to stop, and the shell should know.
    if (interrupt.load())
        interrupted = true;
    if (exitStatus_ != kExitOk)
        return exitStatus_;
    if (interrupted)
        return kExitInterrupted;
    return unread_ ? kExitError : kExitOk;
}

} // namespace quennet::cli

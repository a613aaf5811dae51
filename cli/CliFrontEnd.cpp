#include "cli/CliFrontEnd.h"

#include "search/FileFind.h"
#include "search/Masks.h"
#include "output/ResultListFormat.h"
#include "output/SizeText.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <new>
#include <system_error>

namespace quennet::cli {

using Clock = std::chrono::steady_clock;

CliFrontEnd::CliFrontEnd(const CliOptions& options, std::FILE* out, std::FILE* err)
    : options_(options), out_(out), err_(err), uiThread_(std::this_thread::get_id()) {
    sizeBounds_.Set(options.Size);
}

void CliFrontEnd::RunOnUiThread(const std::function<void()>& step) {
    if (std::this_thread::get_id() == uiThread_) {
        step();
        return;
    }
    std::promise<void> done;
    PostToUiThread([&] {
        try {
            step();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    done.get_future().get();
}

void CliFrontEnd::PostToUiThread(std::function<void()> step) {
    bool wasEmpty;
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        wasEmpty = queue_.empty();
        queue_.push_back(std::move(step));
    }
    // The main thread takes the whole queue when it wakes, so only the first step wakes it.
    if (wasEmpty)
        queueSignal_.notify_one();
}

std::size_t CliFrontEnd::ServeQueue(Clock::time_point until) {
    std::unique_lock<std::mutex> lock(queueMutex_);
    queueSignal_.wait_until(lock, until, [this] { return !queue_.empty(); });
    // Take the whole batch at once, so a busy worker costs one lock per batch, not per row.
    std::deque<std::function<void()>> batch;
    batch.swap(queue_);
    lock.unlock();
    for (auto& step : batch) {
        // A step that fails must not keep the others from running: the worker may wait for one.
        try {
            step();
        } catch (const std::exception&) {
            StepFailed();
        }
    }
    return batch.size();
}

void CliFrontEnd::StepFailed() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    } catch (const std::exception& e) {
        if (worker_)
            worker_->Terminate();
        exitStatus_ = kExitError;
        try {
            Complain(e.what());
        } catch (const std::exception&) {
            OutOfMemory();
        }
    }
}

void CliFrontEnd::OutOfMemory() {
    // Rows may be lost: the search is not worth going on with, and its status must say so.
    if (worker_)
        worker_->Terminate();
    exitStatus_ = kExitError;
    if (!outOfMemory_) {
        outOfMemory_ = true;
        Complain("Out of memory.");
    }
}

void CliFrontEnd::Status(const std::string& text) {
    if (options_.Progress)
        Complain(text);
}

void CliFrontEnd::Complain(const std::string& text) {
    err_.Write(text);
    err_.Write("\n");
    err_.Flush();
}

void CliFrontEnd::CheckOutput() {
    if (!out_.Failed() || outputLost_)
        return;
    outputLost_ = true;
    // Rows that cannot be written are not worth finding.
    if (worker_)
        worker_->Terminate();
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

std::optional<SearchRequest> CliFrontEnd::PrepareSearch() {
    PreparedSearch prepared = BuildSearchRequest(options_.Criteria);
    if (!prepared.Request) {
        Complain(prepared.Error);
        exitStatus_ = kExitBadInput;
        return std::nullopt;
    }
    // The walk compiles the pattern too, but by then the CSV header would be out: bad input
    // must leave stdout empty.
    try {
        TMask check(prepared.Request->NameMask);
    } catch (const EMaskException& e) {
        Complain(e.what());
        exitStatus_ = kExitBadInput;
        return std::nullopt;
    }
    searching_ = true;
    progress_.FilesFound = 0;
    elapsedSeconds_ = 0;
    if (options_.Csv) {
        std::string header;
        AppendListHeader(header, ListFormat::Csv);
        out_.Write(header);
    }
    Status("Searching...");
    Status("0 files found.");
    Status("Search took 0 seconds.");
    return prepared.Request;
}

void CliFrontEnd::AppendRow(const ResultRow& row) {
    if (outputLost_)
        return;
    if (options_.Csv) {
        std::string line;
        AppendListRow(line, ListFormat::Csv, row.Name, row.Folder, row.Size, row.MatchOffset);
        out_.Write(line);
        rowsUnflushed_ = true;
        CheckOutput();
        return;
    }
    if (options_.Columns) {
        out_.Write(row.Name);
        out_.Write("\t");
        out_.Write(row.Folder);
        out_.Write("\t");
        out_.Write(GetSize(row.Size));
        out_.Write("\t");
        out_.Write(std::to_string(row.MatchOffset));
    } else {
        out_.Write(row.Folder);
        out_.Write(row.Name);
    }
    out_.Write(options_.NulTerminated ? std::string_view("\0", 1) : std::string_view("\n"));
    rowsUnflushed_ = true;
    CheckOutput();
}

void CliFrontEnd::ReportSearchError(const SearchError& error) {
    if (error.Fault == SearchError::Kind::OutOfMemory) {
        OutOfMemory();
        return;
    }
    Complain(error.Message);
    if (exitStatus_ == kExitOk)
        exitStatus_ = error.Fault == SearchError::Kind::InvalidMask ? kExitBadInput : kExitError;
}

void CliFrontEnd::ReportUnread(const UnreadItem& item) {
    // As find does: the path and the reason on stderr, the search goes on, the status says so.
    Complain(item.Path + ": " + item.Reason);
    unread_ = true;
}

void CliFrontEnd::FinishSearch() {
    finished_ = true; // first: the texts below may find no memory
    if (searching_) {
        searching_ = false;
        ProgressTick();
    }
    Status("Done");
}

std::unique_ptr<TMyThread> CliFrontEnd::StartWorker() {
    return std::make_unique<TMyThread>(*this, options_.Roots, progress_, sizeBounds_, 0,
                                       static_cast<std::size_t>(options_.Threads));
}

int CliFrontEnd::Run(const std::atomic<bool>& interrupt) {
    for (const std::string& root : options_.Roots) {
        if (!IsValidLookInPath(root)) {
            Complain(kInvalidDirectoryMessage);
            return kExitBadInput;
        }
    }

    std::unique_ptr<TMyThread> worker;
    try {
        worker = StartWorker();
    } catch (const std::system_error& e) {
        Complain(std::string("Cannot start the search thread: ") + e.what());
        return kExitError;
    } catch (const std::bad_alloc&) {
        Complain("Out of memory.");
        return kExitError;
    }
    worker_ = worker.get();
    bool interrupted = false;
    auto nextProgress = Clock::now() + std::chrono::milliseconds(500);
    auto nextSecond = Clock::now() + std::chrono::seconds(1);
    // FinishSearch is the worker's last step; the thread ends right after it. Should there be
    // no memory even to ask for that step, the thread ends without it.
    while (!finished_ && !worker->Finished()) {
        try {
            // Wake at least every 100 ms to notice Ctrl+C.
            const auto until =
                std::min({nextProgress, nextSecond, Clock::now() + std::chrono::milliseconds(100)});
            const bool served = ServeQueue(until) > 0;
            // Rows reach a pipe or a terminal as each batch arrives, not when the search ends.
            if (rowsUnflushed_) {
                out_.Flush();
                rowsUnflushed_ = false;
                CheckOutput();
            }
            // After a batch, let the worker gather rows for a millisecond: waking for every row
            // would cost a thread switch per row.
            if (served && !finished_)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (interrupt.load() && !worker->Terminated()) {
                worker->Terminate();
                interrupted = true;
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
            // Leaving now would wait for a worker that waits for this thread.
            StepFailed();
        }
    }
    ServeQueue(Clock::now()); // what the worker queued before it ended without FinishSearch
    if (worker->FaultUntold())
        OutOfMemory();
    out_.Flush();
    CheckOutput();
    worker_ = nullptr;
    if (exitStatus_ != kExitOk)
        return exitStatus_;
    if (interrupted)
        return kExitInterrupted;
    return unread_ ? kExitError : kExitOk;
}

} // namespace quennet::cli

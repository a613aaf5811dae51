// Temporary folder trees for the walk and scanner tests, and a sink that records what the
// searcher pushes.
#pragma once

#include "search/FileFind.h"
#include "search/SearchWorker.h"

#include <filesystem>
#include <fstream>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <random>
#include <thread>
#include <string>
#include <vector>

namespace quennet::test {

class TempTree {
  public:
    TempTree() {
        std::random_device rd;
        root_ = std::filesystem::temp_directory_path() /
                ("quennet-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(root_);
    }
    ~TempTree() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root as the engine sees it, with its trailing separator.
    std::string Root() const { return root_.string() + kPathSeparator; }
    std::string Path(const std::string& relative) const { return (root_ / relative).string(); }

    void File(const std::string& relative, const std::string& content = "") const {
        const auto path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    void Folder(const std::string& relative) const { std::filesystem::create_directories(root_ / relative); }

  private:
    std::filesystem::path root_;
};

// Records what the searcher pushes, in order.
class RecordingSink : public SearchSink {
  public:
    std::function<void(const ResultRow&)> OnRow; // called after a row is recorded
    std::function<void()> OnBegin;               // called from Begin, on the searcher's thread

    // Set once the searcher exists; handlers use it to make stop requests.
    std::atomic<TMyThread*> Worker{nullptr};

    std::vector<ResultRow> Rows;
    std::vector<std::string> Errors;       // of faults that broke the search off, and failed checks
    std::vector<SearchError::Kind> Faults; // of faults that broke the search off, in order
    std::vector<std::string> Events;       // "begin", "row", "error", "finish" in order
    std::vector<SearchError> Unread;       // files and folders left out
    std::uint64_t LeftOutByFilters = 0;

    void Begin() override {
        while (!Worker.load())
            std::this_thread::yield();
        Events.push_back("begin");
        if (OnBegin)
            OnBegin();
    }
    void Row(const ResultRow& row) override {
        Events.push_back("row");
        Rows.push_back(row);
        if (OnRow)
            OnRow(row);
    }
    void Error(const SearchError& error) override {
        if (!error.BreaksOff()) {
            // Scanners report from their own threads.
            std::lock_guard<std::mutex> lock(unreadMutex_);
            Unread.push_back(error);
            return;
        }
        Events.push_back("error");
        Errors.push_back(error.Message);
        Faults.push_back(error.Fault);
    }
    void FilteredOut(std::uint64_t files) override { LeftOutByFilters = files; }
    void Finish() override { Events.push_back("finish"); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& row : Rows)
            names.push_back(row.Name);
        return names;
    }

  private:
    std::mutex unreadMutex_;
};

// Builds the request from Criteria as a front end does, runs one search to its end and
// returns when Finish has run. A failed check is recorded in Sink.Errors and starts nothing.
struct SearchRun {
    SearchCriteria Criteria;
    RecordingSink Sink;
    SearchProgress Progress;
    LiveSizeBounds Size;

    void Run(std::vector<std::string> roots, std::size_t chunkSize = 0, std::size_t threads = 0,
             ThreadStarter starter = {}) {
        PreparedSearch prepared = BuildSearchRequest(Criteria);
        if (!prepared.Request) {
            Sink.Errors.push_back(prepared.Error);
            return;
        }
        prepared.Request->Roots = std::move(roots);
        RunRequest(std::move(*prepared.Request), chunkSize, threads, std::move(starter));
    }
    // A request as given, checked or not.
    void RunRequest(SearchRequest request, std::size_t chunkSize = 0, std::size_t threads = 0,
                    ThreadStarter starter = {}) {
        TMyThread worker(std::move(request), Size, Sink, Progress, SearchOptions{chunkSize, threads, std::move(starter)});
        Sink.Worker = &worker;
        while (!worker.WaitForFinish(1000)) {
        }
        Sink.Worker = nullptr;
    }
};

} // namespace quennet::test

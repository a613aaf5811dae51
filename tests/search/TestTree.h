// Temporary folder trees for the walk and scanner tests, and a front end that records what
// the worker hands over.
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

// Runs every user-interface step at once on the calling thread and records what it saw.
class RecordingFrontEnd : public SearchFrontEnd {
  public:
    SearchCriteria Criteria;
    std::function<void(const ResultRow&)> OnRow; // called after a row is recorded
    std::function<void()> OnPrepare;             // called before the request is built

    // Set once the worker exists; handlers use it to make stop requests.
    std::atomic<TMyThread*> Worker{nullptr};

    std::vector<ResultRow> Rows;
    std::vector<std::string> Errors;
    std::vector<SearchError::Kind> Faults; // of ReportSearchError, in order
    std::vector<std::string> Events;       // "prepare", "row", "error", "finish" in order

    void RunOnUiThread(const std::function<void()>& step) override { step(); }
    void PostToUiThread(std::function<void()> step) override { step(); }

    std::optional<SearchRequest> PrepareSearch() override {
        while (!Worker.load())
            std::this_thread::yield();
        Events.push_back("prepare");
        if (OnPrepare)
            OnPrepare();
        PreparedSearch prepared = BuildSearchRequest(Criteria);
        if (!prepared.Request)
            Errors.push_back(prepared.Error);
        return prepared.Request;
    }
    void AppendRow(const ResultRow& row) override {
        Events.push_back("row");
        Rows.push_back(row);
        if (OnRow)
            OnRow(row);
    }
    void ReportSearchError(const SearchError& error) override {
        Events.push_back("error");
        Errors.push_back(error.Message);
        Faults.push_back(error.Fault);
    }
    void ReportUnread(const UnreadItem& item) override {
        // Scanners report from their own threads: steps run at once here.
        std::lock_guard<std::mutex> lock(unreadMutex_);
        Unread.push_back(item);
    }
    void FinishSearch() override { Events.push_back("finish"); }

    std::vector<UnreadItem> Unread;

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& row : Rows)
            names.push_back(row.Name);
        return names;
    }

  private:
    std::mutex unreadMutex_;
};

// Runs one search to its end and returns when FinishSearch has run.
struct SearchRun {
    RecordingFrontEnd FrontEnd;
    SearchProgress Progress;
    LiveSizeBounds Size;

    void Run(std::vector<std::string> roots, std::size_t chunkSize = 0, std::size_t threads = 0,
             ThreadStarter starter = {}) {
        TMyThread worker(FrontEnd, std::move(roots), Progress, Size, chunkSize, threads, std::move(starter));
        FrontEnd.Worker = &worker;
        while (!worker.WaitForFinish(1000)) {
        }
        FrontEnd.Worker = nullptr;
    }
};

} // namespace quennet::test

// The worker thread that carries out one search: it walks each root, tests every file by
// name, size and content, and hands accepted files to the user interface in walk order.
// It reaches the user interface only through SearchFrontEnd, so the window and the command
// line run the same worker.
#pragma once

#include "search/FileFind.h"
#include "search/SearchRequest.h"
#include "search/SizeBounds.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quennet {

class ContentScanner;
class FileReader;
class FolderChain;
class OpenFolder;
class OrderedScanPool;
class TMask;

struct ResultRow {
    std::string Name;
    std::string Folder; // with its trailing separator
    std::int64_t Size = 0;
    std::int64_t MatchOffset = 0; // first match; 0 without a content criterion
    std::int32_t MatchLength = 0; // bytes matched there: twice the phrase in a UTF-16 file
};

// Written by the worker, read by the user interface's progress display.
class SearchProgress {
  public:
    void SetCurrentFolder(const std::string& folder) {
        std::lock_guard<std::mutex> lock(mutex_);
        currentFolder_ = folder;
    }
    std::string CurrentFolder() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return currentFolder_;
    }

    std::atomic<std::int32_t> FilesFound{0};

  private:
    mutable std::mutex mutex_;
    std::string currentFolder_;
};

// A fault that broke off a search. The kind lets a front end react without reading the text:
// the command line gives a bad pattern the exit status of bad input.
struct SearchError {
    enum class Kind { InvalidMask, OutOfMemory, Other };
    Kind Fault = Kind::Other;
    std::string Message;
};

// A file or folder the search could not read for a reason other than "it is not there" or "this
// user may not read it" (a path too long, no descriptor or memory left, an I/O error). It is
// reported, never taken for "no match" or "an empty folder" in silence; the search goes on.
struct UnreadItem {
    std::string Path;
    std::string Reason;
};

// The window's note at the end of a search that left `count` items out, `first` the first of
// them; empty when nothing was left out.
std::string UnreadSummary(std::size_t count, const UnreadItem& first);

// Starts a thread running `body`; throws std::system_error when the system has none to give.
// Tests pass their own to see a pool with fewer threads than asked for.
using ThreadStarter = std::function<std::thread(std::function<void()>)>;

// The user-interface side of a search. The worker calls the first two from its own thread;
// it calls the others only through them, so they run on the user-interface thread.
class SearchFrontEnd {
  public:
    virtual ~SearchFrontEnd() = default;

    // Runs `step` on the user-interface thread and waits for it to finish.
    virtual void RunOnUiThread(const std::function<void()>& step) = 0;
    // Queues `step` for the user-interface thread, in order with RunOnUiThread steps.
    virtual void PostToUiThread(std::function<void()> step) = 0;

    // Clears the results, runs the checks and builds the request, locks the panel.
    // nullopt when a check failed (the front end has told the user).
    virtual std::optional<SearchRequest> PrepareSearch() = 0;
    virtual void AppendRow(const ResultRow& row) = 0;
    // A fault that broke off the walk (an invalid name pattern, no memory for the buffer).
    virtual void ReportSearchError(const SearchError& error) = 0;
    // A file or folder left out of the search, and why; the search goes on.
    virtual void ReportUnread(const UnreadItem& item) = 0;
    virtual void FinishSearch() = 0;

    // How many rows wait before the worker asks for a drain. 1: every row is handed over at
    // once. A front end that asks for more must call TMyThread::ServeRows now and then, so a
    // few rows of a slow walk are not left waiting.
    virtual std::size_t RowsPerWakeUp() const { return 1; }
};

class TMyThread {
  public:
    // Rows waiting for the user interface; the walk waits beyond this.
    static constexpr std::size_t kMaxRowsInFlight = 4096;

    static constexpr std::size_t kMaxThreads = 64;

    // Starts at once. `roots` is the worker's own copy. `threads`: content scanners, 0 (the
    // default) for one per logical processor; 1 scans on the walk's own thread, as a machine
    // with one processor does. `starter` starts the scanners.
    TMyThread(SearchFrontEnd& frontEnd, std::vector<std::string> roots, SearchProgress& progress,
              const LiveSizeBounds& sizeBounds, std::size_t chunkSize = 0, std::size_t threads = 0,
              ThreadStarter starter = {});

    // One per logical processor, within 1 to kMaxThreads.
    static std::size_t DefaultThreads();
    ~TMyThread(); // waits for the thread
    TMyThread(const TMyThread&) = delete;
    TMyThread& operator=(const TMyThread&) = delete;

    // The stop request: returns at once; the walk notices it at its next check point.
    void Terminate() { stopRequest_.store(true); }
    bool Terminated() const { return stopRequest_.load(); }

    // True once FinishSearch has run and the thread body has returned.
    bool Finished() const { return finished_.load(); }
    // Waits up to `milliseconds` for the end; a user-interface thread calls this between
    // serving its queued steps, so the worker's last step can still run.
    bool WaitForFinish(int milliseconds);

    // Any thread of the search (the walk, a scanner): tells the front end of a file or folder
    // left out, in a step of its own.
    void ReportUnread(UnreadItem item);

    // User-interface thread: appends the rows waiting now (see RowsPerWakeUp).
    void ServeRows() { DrainRows(); }

    // Once Finished(): a fault (no memory) broke off the search and the front end could not be
    // told of it, or FinishSearch could not be run, for want of memory for that step too.
    bool FaultUntold() const { return faultUntold_.load(); }

  private:
    void Execute();
    // The fault that broke off the walk, if one did.
    std::optional<SearchError> Walk(const SearchRequest& request);
    struct Subfolder {
        std::string Name;
        bool Linked = false;
    };
    // A folder the walk is inside: its subfolders, walked depth-first after its files.
    struct WalkLevel {
        std::vector<Subfolder> Subfolders;
        std::size_t Next = 0;
        bool InsideLink = false; // reached through a link, or inside a folder that was
    };
    void WalkRoot(const std::string& root);
    // Tests the files of the chain's innermost folder and gathers its subfolders.
    WalkLevel ListFolder(FolderChain& chain, bool insideLink);
    // Whether a folder was opened (`error` 0); a reason other than absence or denial is reported.
    bool Entered(std::uint32_t error, const std::string& path);
    // `openFolder`: the folder as the pool's scanners open its files, made on first need.
    void TestFile(const std::string& folder, TSearchRec& entry, std::shared_ptr<const OpenFolder>& openFolder);
    // Without a pool: opens a file to scan, waiting out a lack of descriptors; reports a file
    // that cannot be opened for a reason other than its absence or a denial.
    bool OpenToScan(FileReader& reader, const std::string& folder, const TSearchRec& entry);
    // Rows go to the user interface in batches: one posted step appends every row queued
    // since the last one, in walk order.
    void HandOff(ResultRow row);
    // At the end of the walk: asks for a drain of the rows still waiting below a batch.
    void HandOffRest();
    // Posts one drain unless one is pending; `lock` holds handOffMutex_ and is released.
    void PostDrain(std::unique_lock<std::mutex>& lock);
    void DrainRows();

    SearchFrontEnd& frontEnd_;
    const std::vector<std::string> roots_;
    SearchProgress& progress_;
    const LiveSizeBounds& sizeBounds_;
    const std::size_t chunkSize_;
    const std::size_t threads_;
    const ThreadStarter starter_;
    std::atomic<bool> stopRequest_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> faultUntold_{false};

    // Per search, set when the walk begins.
    std::unique_ptr<TMask> nameMask_;
    std::unique_ptr<ContentScanner> scanner_; // one scanner, on the walk's thread
    std::unique_ptr<OrderedScanPool> pool_;   // or a pool of them

    std::mutex handOffMutex_;
    std::condition_variable handOffDone_;
    std::vector<ResultRow> pendingRows_;
    bool drainPosted_ = false;
    std::size_t rowsPerWakeUp_ = 1;

    std::mutex finishMutex_;
    std::condition_variable finishedSignal_;

    std::thread thread_; // last: starts after every other member is ready
};

} // namespace quennet

// The searcher: the thread that carries out one search. It takes a request that its front end
// has built and checked, walks each root, tests every file by name, size and content, and
// pushes accepted files into the front end's sink in walk order. It knows nothing of windows
// or consoles, so the window, the command line and the tests run the same searcher.
#pragma once

#include "search/DescriptorWait.h"
#include "search/FileFind.h"
#include "search/MaskList.h"
#include "search/SearchProgress.h"
#include "search/SearchRequest.h"
#include "search/SearchSink.h"
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

// How a search reads, beside what it looks for.
struct SearchOptions {
    // Bytes read at once; 0 for the scanner's default.
    std::size_t ChunkSize = 0;
    // Content scanners, 0 (the default) for one per logical processor; 1 scans on the walk's
    // own thread, as a machine with one processor does.
    std::size_t Threads = 0;
    // Starts the scanners; empty for std::thread.
    ThreadStarter Starter;
};

class TMyThread {
  public:
    static constexpr std::size_t kMaxThreads = 64;

    // Starts at once. The request (its roots included) is the searcher's own copy; the size
    // bounds are read afresh for every file; `sink` and `progress` must outlive the thread.
    TMyThread(SearchRequest request, const LiveSizeBounds& sizeBounds, SearchSink& sink,
              SearchProgress& progress, SearchOptions options = {});

    // One per logical processor, within 1 to kMaxThreads.
    static std::size_t DefaultThreads();
    ~TMyThread(); // waits for the thread
    TMyThread(const TMyThread&) = delete;
    TMyThread& operator=(const TMyThread&) = delete;

    // The stop request: returns at once; the walk notices it at its next check point.
    void Terminate() { stopRequest_.store(true); }
    bool Terminated() const { return stopRequest_.load(); }

    // True once the sink's Finish has returned (or failed) and nothing more reaches the sink.
    bool Finished() const { return finished_.load(); }
    // Waits up to `milliseconds` for the end.
    bool WaitForFinish(int milliseconds);

    // Once Finished(): the sink failed to take the fault that broke the search off, or its
    // Finish (for want of memory, say); the front end must end the search itself.
    bool FaultUntold() const { return faultUntold_.load(); }

  private:
    void Execute();
    // The fault that broke off the walk, if one did.
    std::optional<SearchError> Walk();
    // Any thread of the search (the walk, a scanner): a file or folder left out.
    void ReportUnread(const std::string& path, const std::string& reason);
    // An accepted file, to the sink, then counted.
    void HandOff(const ResultRow& row);
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
    // `openFolder`: the folder as the pool's scanners open its files, made at its first file.
    void TestFile(FolderChain& chain, TSearchRec& entry, std::shared_ptr<const OpenFolder>& openFolder);
    // Without a pool: opens a file of the chain's innermost folder to scan. For want of a
    // descriptor the walk first hands back the chain's outer folders, then waits as a pool's
    // scanner does; reports a file that cannot be opened for a reason other than its absence
    // or a denial.
    bool OpenToScan(FileReader& reader, FolderChain& chain, const TSearchRec& entry);
    const SearchRequest request_;
    SearchSink& sink_;
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
    MaskList onlyMasks_;
    MaskList skipMasks_;
    MaskList skipFolders_;
    bool datesBound_ = false; // a last-write bound is set
    std::uint64_t filteredOut_ = 0; // files the masks or dates left out (the walk's thread)
    std::unique_ptr<ContentScanner> scanner_; // one scanner, on the walk's thread
    std::unique_ptr<OrderedScanPool> pool_;   // or a pool of them
    DescriptorWait descriptors_;              // for the one scanner

    std::mutex finishMutex_;
    std::condition_variable finishedSignal_;

    std::thread thread_; // last: starts after every other member is ready
};

} // namespace quennet

// Content tests on a pool of scanner threads, with the rows still in walk order.
//
// The walk (one thread) adds each file that passed the name and size tests; it gathers them in
// batches, and each batch is read by one scanner, file after file, so handing work between
// threads costs once per batch rather than once per small file. A scanner that finds a file
// longer than a few chunks keeps its first range and hands the others to the pool, each range
// reading on by the phrase's length minus one so an occurrence across a border is found by the
// range it starts in. The file is decided in range order, as a single scanner would: the
// earliest range that matches gives the offset, unless a range before it could not be read or
// gave up, which leaves the file not read. The reorder stage hands a row over as soon as every earlier file is decided,
// so rows still stream and come in exactly the order of the single-thread walk.
//
// Memory stays bounded: the walk waits while a window of batches (a few per scanner) is
// undecided, each scanner holds one chunk, and the chunks of all scanners together stay within
// the request's buffer size where it allows (never below a floor per scanner).
//
// So do descriptors, within the process's limit: each scanner holds one file open, and each
// folder whose files wait to be read holds one descriptor (files are opened by name in it, so
// no path is ever too long), up to a number the walk waits beyond. Should the process run out
// all the same, a scanner waits for descriptors to come back rather than take the file for one
// without the phrase; a file it cannot open for good is reported, never left out in silence.
#pragma once

#include "search/ContentScanner.h"
#include "search/DescriptorWait.h"
#include "search/FileReader.h"
#include "search/HandOverRule.h"
#include "search/SearchRequest.h"
#include "search/SearchSink.h"

#include <array>
#include <chrono>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quennet {

class OrderedScanPool {
  public:
    // Files a scanner reads in one go. A batch leaves the walk earlier for a scanner that has
    // nothing to do when HandOverRule finds it worth the wake-up, so a slow walk still keeps
    // every scanner fed and rows still stream.
    static constexpr std::size_t kFilesPerBatch = 32;
    // Batches undecided at once, per scanner. The walk, once it waits, is woken only when half
    // the window is free again, not for every batch decided.
    static constexpr std::size_t kBatchesPerThread = 4;
    // A scanner's chunk is never smaller than this, whatever the buffer size shared out.
    static constexpr std::size_t kSmallestChunk = 64 * 1024;
    // A file is split when it holds at least two ranges of this many chunks.
    static constexpr std::int64_t kChunksPerRange = 4;

    using Deliver = std::function<void(const ResultRow&)>;
    // A file that could not be read: its path and why.
    using Report = std::function<void(const std::string&, const std::string&)>;

    // `threads` scanners are asked for; those the system cannot give, or the descriptor limit
    // leaves no room for, are done without (Threads() tells how many there are; with none the
    // caller scans on its own). `deliver` is called with the accepted rows in walk order, one
    // call at a time, from whichever thread decides the earliest file; `report` with the files
    // that could not be read, from the scanners.
    OrderedScanPool(const SearchRequest& request, std::size_t threads, std::size_t chunkSize,
                    const std::atomic<bool>& stopRequest, Deliver deliver, Report report = {},
                    const ThreadStarter& starter = {});
    ~OrderedScanPool(); // ends and joins the scanners
    OrderedScanPool(const OrderedScanPool&) = delete;
    OrderedScanPool& operator=(const OrderedScanPool&) = delete;

    std::size_t Threads() const { return threads_.size(); }

    // Walk thread: the folder whose files are about to be added, `entry` being its enumeration's
    // current one. Waits while the pool holds as many folders as it may; null after a stop
    // request. Throws what broke a scanner.
    std::shared_ptr<const OpenFolder> HoldFolder(const std::string& path, const TSearchRec& entry);
    // Walk thread: a file that passed the name and size tests, in `folder` (held for its
    // files); `size` when the walk knows it without asking, else -1. Waits while the window is
    // full; does nothing after a stop request. Throws what broke a scanner (no memory for a chunk).
    void Add(const std::shared_ptr<const OpenFolder>& folder, const std::string& name, std::int64_t size);
    // Walk thread, between folders: the files gathered so far go to a scanner that is idle,
    // when they are worth waking it for (HandOverRule).
    void Offer();
    // Walk thread: waits until every file is decided and its row handed over, or a stop
    // request has been made. Throws what broke a scanner.
    void Finish();

  private:
    struct File {
        // Until the file is decided: it opens the file, and is given back then.
        std::shared_ptr<const OpenFolder> Folder;
        std::shared_ptr<const std::string> FolderPath; // for the row, the folder's one copy
        std::string Name;
        std::int64_t Size = -1;
        PhraseMatch Match;
        bool Accepted = false;
        // Split in ranges (set with mutex_ held by the scanner that found the file long):
        // what each range found, and how many are still being read.
        std::vector<PhraseMatch> RangeMatch;
        std::vector<bool> RangeFound;
        std::vector<std::string> RangeFault; // why a range could not be read, else empty
        std::size_t RangesLeft = 0;
        // The earliest range that matched or could not be read so far: later ranges give up.
        std::atomic<std::size_t> FirstDecisive{static_cast<std::size_t>(-1)};
        // Set last, once Match and Accepted hold the decision.
        std::atomic<bool> Decided{false};
        std::atomic<bool> Reported{false}; // as not read: once, whichever range failed
    };
    struct Batch {
        std::array<File, kFilesPerBatch> Files;
        std::size_t Count = 0;
        std::size_t Delivered = 0; // with deliverMutex_ held
    };
    struct Job {
        std::shared_ptr<Batch> Files;
        File* LongFile = nullptr; // null: the whole batch; else range `Range` of this file
        std::size_t Range = 0;
        std::int64_t Start = 0;
        std::int64_t End = 0;
    };

    void StopScanners(); // ends and joins them
    void Flush(); // walk thread: the batch gathered so far goes to the pool
    // Opens a file to scan, waiting out a lack of descriptors; reports one it cannot open.
    bool OpenFile(FileReader& reader, File& file);
    // After a pool's descriptor was closed: wakes whoever waits for one.
    void DescriptorReturned();
    void ReleaseFolder();
    void ReportUnread(File& file, const std::string& reason);
    void Scan(ContentScanner& scanner);
    void ScanBatch(ContentScanner& scanner, const std::shared_ptr<Batch>& batch);
    void ScanRange(ContentScanner& scanner, const Job& job);
    // Called by the scanner of a file found long: queues ranges 1.. and gives range 0's end.
    std::int64_t Split(const std::shared_ptr<Batch>& batch, File& file, std::int64_t size);
    // Why `scanner` could not read the file to its end, or empty.
    std::string FaultOf(const FileReader& reader, const ContentScanner& scanner) const;
    // A range of a split file is read (mutex_ held), `fault` saying why it could not be; true
    // when that decided the file, `unread` then why the file is not read (or empty).
    bool RangeDone(File& file, std::size_t index, bool found, PhraseMatch& match, std::string& fault,
                   std::string& unread);
    // After RangeDone: hands the file over once decided.
    void RangeDecided(File& file, bool decided, const std::string& unread);
    void DeliverDecided();
    void Fail(); // inside a catch block
    bool Stopped() const { return stopRequest_.load() || failed_.load(); }

    const std::atomic<bool>& stopRequest_;
    Deliver deliver_;
    Report report_;
    std::size_t chunkSize_ = 0;
    std::size_t windowSize_ = 0;
    std::int64_t rangeSize_ = 0;
    std::size_t maxRanges_ = 1;

    std::shared_ptr<Batch> gathering_; // the walk's own until flushed
    HandOverRule handOver_{0};          // whether it should go to an idle scanner now

    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable progress_; // a batch left the window, or a scanner failed
    std::deque<Job> jobs_;
    std::deque<std::shared_ptr<Batch>> window_; // walk order, the earliest first
    bool quit_ = false;
    bool walkWaiting_ = false;
    std::atomic<std::size_t> idleScanners_{0};
    std::atomic<bool> failed_{false};
    std::exception_ptr failure_;

    std::size_t folderSlots_ = 0; // folders the pool may hold at once
    std::atomic<std::size_t> foldersHeld_{0};
    std::condition_variable descriptorReturned_; // for a folder slot
    DescriptorWait descriptors_;                  // for a file to open

    std::mutex deliverMutex_; // held from taking decided rows off the window to handing them over

    std::vector<std::thread> threads_;
};

} // namespace quennet

// Content tests on a pool of scanner threads, with the rows still in walk order.
//
// The walk (one thread) adds each file that passed the name and size tests; the pool reads
// them side by side. A big file is split in ranges that scanners read side by side too, each
// range reading on by the phrase's length minus one so an occurrence across a border is found
// by the range it starts in; the earliest range that matches gives the offset, the one a single
// scanner finds. The reorder stage hands a row over as soon as every earlier candidate is
// decided, so rows still stream and come in exactly the order of the single-thread walk.
//
// Memory stays bounded: the walk waits while a window of candidates (a few times the pool's
// size) is undecided, each scanner holds one chunk, and the chunks of all scanners together
// stay within the request's buffer size where it allows (never below a floor per scanner).
#pragma once

#include "search/ContentScanner.h"
#include "search/SearchRequest.h"
#include "search/SearchWorker.h"

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
    // Candidates undecided at once, per scanner. The walk, once it waits, is woken only when
    // half the window is free again: waking it for every file decided cost a thread switch
    // per file, which made 40,000 small files slower than one thread.
    static constexpr std::size_t kWindowPerThread = 16;
    // A scanner's chunk is never smaller than this, whatever the buffer size shared out.
    static constexpr std::size_t kSmallestChunk = 64 * 1024;
    // A file is split when it holds at least two ranges of this many chunks.
    static constexpr std::int64_t kChunksPerRange = 4;

    using Deliver = std::function<void(ResultRow)>;

    // `threads` scanners are asked for; those the system cannot give are done without
    // (Threads() tells how many there are; with none the caller scans on its own).
    // `deliver` is called with the accepted rows in walk order, one call at a time, from
    // whichever thread decides the earliest candidate.
    OrderedScanPool(const SearchRequest& request, std::size_t threads, std::size_t chunkSize,
                    const std::atomic<bool>& stopRequest, Deliver deliver, const ThreadStarter& starter = {});
    ~OrderedScanPool(); // ends and joins the scanners
    OrderedScanPool(const OrderedScanPool&) = delete;
    OrderedScanPool& operator=(const OrderedScanPool&) = delete;

    std::size_t Threads() const { return threads_.size(); }

    // Walk thread: a file that passed the name and size tests. Waits while the window is full;
    // does nothing after a stop request. Throws what broke a scanner (no memory for a chunk).
    void Add(const std::string& folder, const std::string& name, std::int64_t size);
    // Walk thread: waits until every candidate is decided and its row handed over, or a stop
    // request has been made. Throws what broke a scanner.
    void Finish();

  private:
    struct Candidate {
        ResultRow Row;
        std::size_t Ranges = 1;
        std::vector<bool> RangeDone;
        std::vector<PhraseMatch> Found;
        std::vector<bool> RangeFound;
        // The earliest range that matched so far: later ranges give up.
        std::atomic<std::size_t> FirstMatch{static_cast<std::size_t>(-1)};
        bool Decided = false;
        bool Accepted = false;
    };
    struct Job {
        // Shared: a file is handed over at its earliest match while later ranges are still
        // queued or giving up.
        std::shared_ptr<Candidate> File;
        std::size_t Range = 0;
        std::int64_t Start = 0;
        std::int64_t End = 0;
    };

    void Scan(ContentScanner& scanner);
    void Decide(Candidate& file); // with mutex_ held
    void DeliverDecided();
    bool Stopped() const { return stopRequest_.load() || failed_.load(); }
    void RethrowFailure();

    const std::atomic<bool>& stopRequest_;
    Deliver deliver_;
    std::size_t chunkSize_ = 0;
    std::size_t windowSize_ = 0;
    std::int64_t rangeSize_ = 0;
    std::size_t maxRanges_ = 1;

    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable progress_; // a candidate decided, or a scanner failed
    std::deque<Job> jobs_;
    std::deque<std::shared_ptr<Candidate>> window_; // walk order, the earliest first
    bool quit_ = false;
    bool walkWaiting_ = false;
    std::size_t idleScanners_ = 0;
    std::atomic<bool> failed_{false};
    std::exception_ptr failure_;

    std::mutex deliverMutex_; // held from taking decided rows off the window to handing them over

    std::vector<std::thread> threads_;
};

} // namespace quennet

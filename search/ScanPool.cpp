#include "search/ScanPool.h"

#include "search/ContentScanner.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace quennet {

namespace {

// Waits on a condition that a stop request also ends: the user-interface thread sets the flag
// without notifying, so the wait looks again now and then.
constexpr auto kStopPoll = std::chrono::milliseconds(10);

} // namespace

OrderedScanPool::OrderedScanPool(const SearchRequest& request, std::size_t threads, std::size_t chunkSize,
                                 const std::atomic<bool>& stopRequest, Deliver deliver,
                                 const ThreadStarter& starter)
    : stopRequest_(stopRequest), deliver_(std::move(deliver)) {
    threads = std::max<std::size_t>(threads, 1);
    const std::size_t bufferSize = static_cast<std::size_t>(request.BufferSize);
    // The scanners share the buffer size the user chose, so the auto-adjust rule still bounds
    // what a search takes.
    chunkSize_ = std::min(chunkSize, std::max(bufferSize / threads, kSmallestChunk));
    chunkSize_ = std::max<std::size_t>(chunkSize_, 2);
    windowSize_ = kWindowPerThread * threads;
    // Ranges start at even offsets, on UTF-16 units.
    rangeSize_ = kChunksPerRange * static_cast<std::int64_t>(chunkSize_);
    rangeSize_ += rangeSize_ % 2;
    // More ranges than scanners, so a scanner that finishes early takes another.
    maxRanges_ = 2 * threads;

    threads_.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i) {
        // Each scanner's own: its chunk buffer and the carry between chunks are per file.
        auto scanner = std::make_shared<ContentScanner>(request.Phrase, request.WidePhrase, request.FoldCase,
                                                        bufferSize, stopRequest_, chunkSize_);
        auto body = [this, scanner] { Scan(*scanner); };
        try {
            threads_.push_back(starter ? starter(body) : std::thread(body));
        } catch (const std::system_error&) {
            break; // go on with the scanners there are
        }
    }
}

OrderedScanPool::~OrderedScanPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        jobs_.clear();
    }
    workReady_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void OrderedScanPool::RethrowFailure() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failure_)
        std::rethrow_exception(failure_);
}

void OrderedScanPool::Add(const std::string& folder, const std::string& name, std::int64_t size) {
    auto file = std::make_shared<Candidate>();
    file->Row = ResultRow{name, folder, size, 0, 0};
    // Ranges of whole chunks; the last one reads to the end, wherever that is by then.
    std::int64_t rangeSize = rangeSize_;
    if (size >= 2 * rangeSize_) {
        const std::int64_t wanted = std::min<std::int64_t>(size / rangeSize_, static_cast<std::int64_t>(maxRanges_));
        rangeSize = (size + wanted - 1) / wanted;
        rangeSize = (rangeSize + rangeSize_ - 1) / rangeSize_ * rangeSize_;
        file->Ranges = static_cast<std::size_t>((size + rangeSize - 1) / rangeSize);
    }
    file->RangeDone.assign(file->Ranges, false);
    file->RangeFound.assign(file->Ranges, false);
    file->Found.resize(file->Ranges);
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (window_.size() >= windowSize_) {
            walkWaiting_ = true;
            while (window_.size() > windowSize_ / 2 && !Stopped())
                progress_.wait_for(lock, kStopPoll);
            walkWaiting_ = false;
        }
        if (failure_)
            std::rethrow_exception(failure_);
        if (Stopped())
            return;
        for (std::size_t r = 0; r < file->Ranges; ++r) {
            const std::int64_t start = static_cast<std::int64_t>(r) * rangeSize;
            const bool last = r + 1 == file->Ranges;
            jobs_.push_back(Job{file, r, start, last ? ContentScanner::kToEnd : start + rangeSize});
        }
        const bool split = file->Ranges > 1;
        window_.push_back(std::move(file));
        if (idleScanners_ == 0)
            return; // a busy scanner takes the job when it is done
        if (!split) {
            lock.unlock();
            workReady_.notify_one();
            return;
        }
    }
    workReady_.notify_all();
}

void OrderedScanPool::Finish() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        walkWaiting_ = true;
        while (!window_.empty() && !Stopped())
            progress_.wait_for(lock, kStopPoll);
        walkWaiting_ = false;
    }
    RethrowFailure();
}

void OrderedScanPool::Scan(ContentScanner& scanner) {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            ++idleScanners_;
            workReady_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
            --idleScanners_;
            if (quit_)
                return;
            job = jobs_.front();
            jobs_.pop_front();
        }
        Candidate& file = *job.File;
        PhraseMatch match;
        bool found = false;
        const auto giveUp = [&file, &job] { return file.FirstMatch.load(std::memory_order_relaxed) < job.Range; };
        try {
            if (!giveUp() && !Stopped())
                found = scanner.RangeContainsPhrase(file.Row.Folder + file.Row.Name, job.Start, job.End, match,
                                                    giveUp);
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_)
                failure_ = std::current_exception();
            failed_.store(true);
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            file.RangeDone[job.Range] = true;
            if (found) {
                file.RangeFound[job.Range] = true;
                file.Found[job.Range] = match;
                std::size_t first = file.FirstMatch.load();
                while (job.Range < first && !file.FirstMatch.compare_exchange_weak(first, job.Range)) {
                }
            }
            Decide(file);
        }
        DeliverDecided();
    }
}

void OrderedScanPool::Decide(Candidate& file) {
    if (file.Decided)
        return;
    // Accepted at the earliest range that matched once every range before it has not.
    for (std::size_t r = 0; r < file.Ranges; ++r) {
        if (!file.RangeDone[r])
            return;
        if (file.RangeFound[r]) {
            file.Row.MatchOffset = file.Found[r].Offset;
            file.Row.MatchLength = file.Found[r].Length;
            file.Accepted = true;
            break;
        }
    }
    file.Decided = true;
}

void OrderedScanPool::DeliverDecided() {
    std::lock_guard<std::mutex> delivering(deliverMutex_);
    for (;;) {
        std::shared_ptr<Candidate> file;
        bool wakeWalk = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (window_.empty() || !window_.front()->Decided)
                break;
            file = std::move(window_.front());
            window_.pop_front();
            wakeWalk = walkWaiting_ && window_.size() <= windowSize_ / 2;
        }
        if (wakeWalk)
            progress_.notify_all();
        // After a stop, a decision may rest on a range that gave up: nothing more is listed.
        if (file->Accepted && !Stopped())
            deliver_(std::move(file->Row));
    }
}

} // namespace quennet

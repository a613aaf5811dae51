#include "search/ScanPool.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace quennet {

namespace {

// Waits on a condition that a stop request also ends: the user-interface thread sets the flag
// without notifying, so the wait looks again now and then.
constexpr auto kStopPoll = std::chrono::milliseconds(10);

// Memory that must be left over once a scanner is started, for the rest of the search.
constexpr std::size_t kRoomPerScanner = 4 * 1024 * 1024;

} // namespace

OrderedScanPool::OrderedScanPool(const SearchRequest& request, std::size_t threads, std::size_t chunkSize,
                                 const std::atomic<bool>& stopRequest, Deliver deliver, Report report,
                                 const ThreadStarter& starter)
    : stopRequest_(stopRequest), deliver_(std::move(deliver)), report_(std::move(report)) {
    // Each scanner holds one file open; the folders waiting to be read hold at least as many.
    const std::size_t spare = DescriptorsToSpare();
    threads = std::min(std::max<std::size_t>(threads, 1), spare / 2);
    if (threads == 0)
        return;
    folderSlots_ = spare - threads;
    const std::size_t bufferSize = static_cast<std::size_t>(request.BufferSize);
    // The scanners share the buffer size the user chose, so the auto-adjust rule still bounds
    // what a search takes.
    chunkSize_ = std::min(chunkSize, std::max(bufferSize / threads, kSmallestChunk));
    chunkSize_ = std::max<std::size_t>(chunkSize_, 2);
    windowSize_ = kBatchesPerThread * threads;
    // Ranges start at even offsets, on UTF-16 units; for a regular expression at the borders of
    // its blocks, so each block is searched whole by one scanner, its answer (a match, none, or
    // too much work) the same for every thread count.
    rangeSize_ = kChunksPerRange * static_cast<std::int64_t>(chunkSize_);
    rangeSize_ += rangeSize_ % 2;
    if (request.RegularExpression) {
        const auto block = static_cast<std::int64_t>(RegexFinder::kBlockBytes);
        rangeSize_ = (rangeSize_ + block - 1) / block * block;
    }
    handOver_ = HandOverRule(static_cast<std::int64_t>(chunkSize_));
    // More ranges than scanners, so a scanner that finishes early takes another.
    maxRanges_ = 2 * threads;

    threads_.reserve(threads); // so adding a started thread cannot fail
    for (std::size_t i = 0; i < threads; ++i) {
        try {
            // Each scanner's own: its chunk buffer and the carry between chunks are per file.
            auto scanner = std::make_shared<ContentScanner>(request.Phrase, request.WidePhrase, request.FoldCase,
                                                            bufferSize, stopRequest_, chunkSize_,
                                                            request.RegularExpression);
            scanner->ShowMatchAsHex(request.HexPhrase);
            // A scanner takes its chunk at the first file it reads; a reader with no file makes
            // it take it now, so a scanner memory cannot be found for is never started.
            FileReader noFile;
            PhraseMatch unused;
            scanner->FileContainsPhrase(noFile, unused);
            // Nor one that would take the last of it with its stack: the rows and batches
            // would then find none, and the search fail where fewer scanners succeed.
            const std::unique_ptr<char[]> room(new char[kRoomPerScanner]);
            auto body = [this, scanner] { Scan(*scanner); };
            threads_.push_back(starter ? starter(body) : std::thread(body));
        } catch (const std::system_error&) {
            break; // go on with the scanners there are
        } catch (const std::bad_alloc&) {
            break;
        } catch (...) {
            // The scanners started must end before they are destroyed.
            StopScanners();
            throw;
        }
    }
}

void OrderedScanPool::StopScanners() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true; // a scanner looks at it before it takes a job
    }
    workReady_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
    threads_.clear();
}

OrderedScanPool::~OrderedScanPool() {
    StopScanners();
    // Undecided files give their folders back through this pool: while its members still live,
    // and without mutex_ held.
    jobs_.clear();
    window_.clear();
    gathering_.reset();
}

std::shared_ptr<const OpenFolder> OrderedScanPool::HoldFolder(const std::string& path, const TSearchRec& entry) {
    // Only the walk adds to the count, so a count found below the limit stays below it.
    if (foldersHeld_.load() >= folderSlots_ || Stopped()) {
        // The files gathered so far hold folders too: they must reach the scanners first.
        Flush();
        std::unique_lock<std::mutex> lock(mutex_);
        while (foldersHeld_.load() >= folderSlots_ && !Stopped())
            descriptorReturned_.wait_for(lock, kStopPoll);
        if (failure_)
            std::rethrow_exception(failure_);
        if (Stopped())
            return nullptr;
    }
    foldersHeld_.fetch_add(1);
    std::unique_ptr<OpenFolder> folder;
    try {
        folder = std::make_unique<OpenFolder>(std::make_shared<const std::string>(path), entry);
    } catch (...) {
        ReleaseFolder();
        throw;
    }
    // Should the shared pointer find no memory, it deletes the folder, which gives the slot back.
    return std::shared_ptr<const OpenFolder>(folder.release(), [this](const OpenFolder* held) {
        delete held;
        ReleaseFolder();
    });
}

void OrderedScanPool::ReleaseFolder() {
    foldersHeld_.fetch_sub(1);
    DescriptorReturned();
}

void OrderedScanPool::DescriptorReturned() {
    descriptors_.Returned();
    descriptorReturned_.notify_all();
}

bool OrderedScanPool::OpenFile(FileReader& reader, File& file) {
    DescriptorWait::Waiter waiter = descriptors_.Begin();
    for (;;) {
        if (reader.Open(*file.Folder, file.Name))
            return true;
        if (reader.Fault() != ReadFault::NoDescriptor || !descriptors_.Wait(waiter) || Stopped())
            break;
    }
    if (reader.Fault() != ReadFault::Absent && !Stopped())
        ReportUnread(file, reader.FaultText());
    return false;
}

void OrderedScanPool::ReportUnread(File& file, const std::string& reason) {
    if (report_ && !file.Reported.exchange(true))
        report_(*file.FolderPath + file.Name, reason);
}

void OrderedScanPool::Add(const std::shared_ptr<const OpenFolder>& folder, const std::string& name,
                          std::int64_t size) {
    if (!gathering_) {
        gathering_ = std::make_shared<Batch>();
        handOver_.Begin(HandOverRule::Clock::now());
    }
    File& file = gathering_->Files[gathering_->Count++];
    file.Folder = folder;
    file.FolderPath = folder->SharedPath();
    file.Name = name;
    file.Size = size;
    handOver_.Add(size);
    if (gathering_->Count == kFilesPerBatch)
        Flush();
    else
        Offer();
}

void OrderedScanPool::Offer() {
    if (gathering_ && idleScanners_.load(std::memory_order_relaxed) > 0 &&
        handOver_.WorthAWakeUp(HandOverRule::Clock::now()))
        Flush();
}

void OrderedScanPool::Flush() {
    if (!gathering_)
        return;
    std::shared_ptr<Batch> batch = std::move(gathering_);
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
    window_.push_back(batch);
    jobs_.push_back(Job{std::move(batch)});
    const bool wake = idleScanners_.load() > 0; // else a busy scanner takes it when done
    lock.unlock();
    if (wake)
        workReady_.notify_one();
}

void OrderedScanPool::Finish() {
    Flush();
    std::unique_lock<std::mutex> lock(mutex_);
    walkWaiting_ = true;
    while (!window_.empty() && !Stopped())
        progress_.wait_for(lock, kStopPoll);
    walkWaiting_ = false;
    if (failure_)
        std::rethrow_exception(failure_);
}

void OrderedScanPool::Fail() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failure_)
            failure_ = std::current_exception();
        failed_.store(true);
    }
    progress_.notify_all();
}

void OrderedScanPool::Scan(ContentScanner& scanner) {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (jobs_.empty() && !quit_) {
                ++idleScanners_;
                workReady_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
                --idleScanners_;
            }
            if (quit_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        if (job.LongFile)
            ScanRange(scanner, job);
        else
            ScanBatch(scanner, job.Files);
    }
}

std::string OrderedScanPool::FaultOf(const FileReader& reader, const ContentScanner& scanner) const {
    if (Stopped())
        return {};
    if (reader.Fault() == ReadFault::Other)
        return reader.FaultText();
    return scanner.GaveUpReason();
}

void OrderedScanPool::ScanBatch(ContentScanner& scanner, const std::shared_ptr<Batch>& batch) {
    for (std::size_t i = 0; i < batch->Count; ++i) {
        // After a stop the rest stay undecided: nothing more is handed over.
        if (Stopped())
            return;
        File& file = batch->Files[i];
        try {
            PhraseMatch match;
            bool found = false;
            bool split = false;
            std::string fault;
            FileReader reader;
            if (OpenFile(reader, file)) {
                found = scanner.FileContainsPhrase(reader, match, [&](std::int64_t size) {
                    const std::int64_t end = Split(batch, file, size);
                    split = end < ContentScanner::kToEnd;
                    return end;
                });
                if (found && file.Size < 0)
                    file.Size = std::max<std::int64_t>(reader.Size(), 0);
                if (!found)
                    fault = FaultOf(reader, scanner);
                reader.Close();
                DescriptorReturned();
            }
            if (!split) {
                if (!fault.empty())
                    ReportUnread(file, fault);
                file.Match = std::move(match);
                file.Accepted = found;
                file.Folder.reset(); // its descriptor is not needed any more
                file.Decided.store(true, std::memory_order_release);
                if (found)
                    DeliverDecided();
                continue;
            }
            bool decided = false;
            std::string unread;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                decided = RangeDone(file, 0, found, match, fault, unread);
            }
            RangeDecided(file, decided, unread);
        } catch (...) {
            Fail();
            return;
        }
    }
    DeliverDecided();
}

std::int64_t OrderedScanPool::Split(const std::shared_ptr<Batch>& batch, File& file, std::int64_t size) {
    if (threads_.size() < 2 || size < 2 * rangeSize_)
        return ContentScanner::kToEnd;
    if (file.Size < 0)
        file.Size = size;
    // Ranges of whole chunks; the last one reads to the end, wherever that is by then.
    const std::int64_t wanted =
        std::min<std::int64_t>(size / rangeSize_, static_cast<std::int64_t>(maxRanges_));
    std::int64_t rangeSize = (size + wanted - 1) / wanted;
    rangeSize = (rangeSize + rangeSize_ - 1) / rangeSize_ * rangeSize_;
    const std::size_t ranges = static_cast<std::size_t>((size + rangeSize - 1) / rangeSize);
    if (ranges < 2)
        return ContentScanner::kToEnd;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        file.RangeMatch.assign(ranges, PhraseMatch{});
        file.RangeFound.assign(ranges, false);
        file.RangeFault.assign(ranges, std::string());
        file.RangesLeft = ranges;
        // At the front, the second range first: this file is the earliest undecided one.
        for (std::size_t r = ranges - 1; r >= 1; --r) {
            const std::int64_t start = static_cast<std::int64_t>(r) * rangeSize;
            const bool last = r + 1 == ranges;
            jobs_.push_front(Job{batch, &file, r, start, last ? ContentScanner::kToEnd : start + rangeSize});
        }
    }
    workReady_.notify_all();
    return rangeSize;
}

void OrderedScanPool::ScanRange(ContentScanner& scanner, const Job& job) {
    File& file = *job.LongFile;
    const auto giveUp = [&file, &job] { return file.FirstDecisive.load(std::memory_order_relaxed) < job.Range; };
    try {
        PhraseMatch match;
        bool found = false;
        std::string fault;
        FileReader reader;
        if (!giveUp() && !Stopped() && OpenFile(reader, file)) {
            found = scanner.RangeContainsPhrase(reader, job.Start, job.End, match, giveUp);
            if (!found)
                fault = FaultOf(reader, scanner);
            reader.Close();
            DescriptorReturned();
        }
        bool decided = false;
        std::string unread;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            decided = RangeDone(file, job.Range, found, match, fault, unread);
        }
        RangeDecided(file, decided, unread);
    } catch (...) {
        Fail();
    }
}

bool OrderedScanPool::RangeDone(File& file, std::size_t index, bool found, PhraseMatch& match, std::string& fault,
                                std::string& unread) {
    // Moved, not copied: nothing here needs memory.
    if (found) {
        file.RangeFound[index] = true;
        file.RangeMatch[index] = std::move(match);
    }
    file.RangeFault[index].swap(fault);
    if ((found || !file.RangeFault[index].empty()) && index < file.FirstDecisive.load())
        file.FirstDecisive.store(index);
    if (--file.RangesLeft > 0)
        return false;
    // Decided in range order: the earliest range that matched, unless one before it could not
    // be read (as one scanner reading the file in order would stop there).
    for (std::size_t r = 0; r < file.RangeFound.size(); ++r) {
        if (!file.RangeFault[r].empty()) {
            unread.swap(file.RangeFault[r]);
            break;
        }
        if (file.RangeFound[r]) {
            file.Match = std::move(file.RangeMatch[r]);
            file.Accepted = true;
            break;
        }
    }
    return true;
}

void OrderedScanPool::RangeDecided(File& file, bool decided, const std::string& unread) {
    if (!decided)
        return;
    if (!unread.empty())
        ReportUnread(file, unread);
    file.Folder.reset(); // no range opens it any more
    file.Decided.store(true, std::memory_order_release);
    DeliverDecided();
}

void OrderedScanPool::DeliverDecided() {
    std::lock_guard<std::mutex> delivering(deliverMutex_);
    for (;;) {
        std::shared_ptr<Batch> batch;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (window_.empty())
                return;
            batch = window_.front();
        }
        for (; batch->Delivered < batch->Count; ++batch->Delivered) {
            File& file = batch->Files[batch->Delivered];
            if (!file.Decided.load(std::memory_order_acquire))
                return;
            // After a stop, a decision may rest on a range that gave up: nothing more is listed.
            if (file.Accepted && !Stopped()) {
                try {
                    deliver_(ResultRow{file.Name, *file.FolderPath, file.Size, file.Match.Offset,
                                       file.Match.Length, std::move(file.Match.Line)});
                } catch (...) {
                    Fail(); // no memory to hand the row over: the search ends with that fault
                    return;
                }
            }
        }
        bool wakeWalk = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            window_.pop_front();
            wakeWalk = walkWaiting_ && window_.size() <= windowSize_ / 2;
        }
        if (wakeWalk)
            progress_.notify_all();
    }
}

} // namespace quennet

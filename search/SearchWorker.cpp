#include "search/SearchWorker.h"

#include <algorithm>

#include "search/ContentScanner.h"
#include "search/FileReader.h"
#include "search/FolderChain.h"
#include "search/Masks.h"
#include "search/ScanPool.h"

#include <chrono>
#include <exception>
#include <new>

namespace quennet {

namespace {

SearchError OutOfMemoryError() noexcept {
    return {SearchError::Kind::OutOfMemory, "Out of memory."}; // short enough to need no memory
}

// Called inside a catch block: the error the front end is told of. Should even the copy of
// its text find no memory, it is that.
SearchError CurrentSearchError() noexcept {
    try {
        try {
            throw;
        } catch (const EMaskException& e) {
            return {SearchError::Kind::InvalidMask, e.what()};
        } catch (const std::bad_alloc&) {
            return OutOfMemoryError();
        } catch (const std::exception& e) {
            return {SearchError::Kind::Other, e.what()};
        }
    } catch (...) {
    }
    return OutOfMemoryError();
}

} // namespace

std::string UnreadSummary(std::size_t count, const UnreadItem& first) {
    if (count == 0)
        return {};
    const std::string what = first.Path + " (" + first.Reason + ")";
    if (count == 1)
        return "Not read: " + what;
    return std::to_string(count) + " files or folders not read, the first: " + what;
}

TMyThread::TMyThread(SearchFrontEnd& frontEnd, std::vector<std::string> roots, SearchProgress& progress,
                     const LiveSizeBounds& sizeBounds, std::size_t chunkSize, std::size_t threads,
                     ThreadStarter starter)
    : frontEnd_(frontEnd), roots_(std::move(roots)), progress_(progress), sizeBounds_(sizeBounds),
      chunkSize_(chunkSize == 0 ? ContentScanner::kDefaultChunkSize : chunkSize),
      threads_(threads == 0 ? DefaultThreads() : std::min(threads, kMaxThreads)), starter_(std::move(starter)),
      thread_([this] { Execute(); }) {}

std::size_t TMyThread::DefaultThreads() {
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMaxThreads);
}

TMyThread::~TMyThread() {
    if (thread_.joinable())
        thread_.join();
}

bool TMyThread::WaitForFinish(int milliseconds) {
    std::unique_lock<std::mutex> lock(finishMutex_);
    return finishedSignal_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                    [this] { return finished_.load(); });
}

void TMyThread::Execute() {
    rowsPerWakeUp_ = std::clamp<std::size_t>(frontEnd_.RowsPerWakeUp(), 1, kMaxRowsInFlight);
    // Every step may find no memory; whatever fails, the thread goes on to FinishSearch, so the
    // window never stays in the searching state and the command line never waits for ever.
    std::optional<SearchError> error;
    std::optional<SearchRequest> request;
    try {
        frontEnd_.RunOnUiThread([&] { request = frontEnd_.PrepareSearch(); });
    } catch (const std::exception&) {
        request.reset();
        error = CurrentSearchError();
    }
    if (request)
        error = Walk(*request);
    else
        Terminate();
    request.reset();

    try {
        // Steps run in the order they were queued, so every row is appended before the end shows.
        HandOffRest();
    } catch (const std::exception&) {
        if (!error)
            error = CurrentSearchError();
    }
    if (error) {
        Terminate();
        try {
            frontEnd_.RunOnUiThread([&] { frontEnd_.ReportSearchError(*error); });
        } catch (const std::exception&) {
            faultUntold_.store(true);
        }
    }
    try {
        frontEnd_.RunOnUiThread([&] { frontEnd_.FinishSearch(); });
    } catch (const std::exception&) {
        faultUntold_.store(true);
    }
    {
        std::lock_guard<std::mutex> lock(finishMutex_);
        finished_.store(true);
    }
    finishedSignal_.notify_all();
}

std::optional<SearchError> TMyThread::Walk(const SearchRequest& request) {
    std::optional<SearchError> error;
    try {
        nameMask_ = std::make_unique<TMask>(request.NameMask);
        // Without a phrase a file is decided by its entry alone: nothing for a pool to do.
        if (!request.Phrase.empty() && threads_ > 1) {
            try {
                pool_ = std::make_unique<OrderedScanPool>(
                    request, threads_, chunkSize_, stopRequest_,
                    [this](ResultRow row) { HandOff(std::move(row)); },
                    [this](UnreadItem item) { ReportUnread(std::move(item)); }, starter_);
            } catch (const std::bad_alloc&) {
                // As with threads the system cannot give: the walk's own thread reads.
            }
            if (pool_ && pool_->Threads() == 0)
                pool_.reset();
        }
        if (!request.Phrase.empty() && !pool_)
            scanner_ = std::make_unique<ContentScanner>(request.Phrase, request.WidePhrase, request.FoldCase,
                                                        static_cast<std::size_t>(request.BufferSize),
                                                        stopRequest_, chunkSize_);
        const std::size_t rootCount = roots_.size();
        for (std::size_t i = 0; i < rootCount; ++i) {
            if (Terminated())
                break;
            WalkRoot(roots_[i]);
        }
        if (pool_)
            pool_->Finish();
    } catch (const std::exception&) {
        error = CurrentSearchError();
        Terminate();
    }
    pool_.reset(); // joins the scanners: no row is handed over after this
    scanner_.reset();
    return error;
}

void TMyThread::WalkRoot(const std::string& root) {
    // Iterative, one entry per folder the walk is inside: a chain of folders many thousands
    // deep must not take a thread's stack with it.
    FolderChain chain;
    std::vector<WalkLevel> levels;
    if (Entered(chain.EnterRoot(root), root))
        levels.push_back(ListFolder(chain, false));
    while (!levels.empty()) {
        if (Terminated())
            return;
        WalkLevel& level = levels.back();
        if (level.Next == level.Subfolders.size()) {
            levels.pop_back();
            chain.Leave();
            continue;
        }
        const Subfolder sub = level.Subfolders[level.Next++];
        // Behind a link any folder may be one the walk is inside (a link to ".." brings the
        // walk back to the root through ordinary folders), so from there on every folder is
        // checked, as find -L does; a tree without links is spared the look-ups.
        const bool insideLink = level.InsideLink || sub.Linked;
        FolderIdentity identity;
        if (insideLink && (!chain.IdentityOf(sub.Name, identity) || chain.Contains(identity)))
            continue;
        const std::uint32_t error = chain.Enter(sub.Name, insideLink ? &identity : nullptr);
        if (Entered(error, error == 0 ? std::string() : chain.Path() + sub.Name))
            levels.push_back(ListFolder(chain, insideLink));
    }
}

bool TMyThread::Entered(std::uint32_t error, const std::string& path) {
    if (error == 0)
        return true;
    if (!IsAbsenceOrDenial(error))
        ReportUnread({path, SystemErrorText(error)});
    return false;
}

TMyThread::WalkLevel TMyThread::ListFolder(FolderChain& chain, bool insideLink) {
    const std::string& path = chain.Path();
    progress_.SetCurrentFolder(path);
    WalkLevel level;
    level.InsideLink = insideLink;
    {
        std::shared_ptr<const OpenFolder> openFolder; // for the pool, made at the first candidate
        TSearchRec entry;
        std::uint32_t status = chain.FindFirst(faAnyFile, entry);
        while (status == 0) {
            if (Terminated())
                return level;
            if (entry.Attr & faDirectory) {
                if (entry.Name.empty() || entry.Name[0] != '.')
                    level.Subfolders.push_back({entry.Name, (entry.Attr & faSymLink) != 0});
            } else {
                TestFile(path, entry, openFolder);
            }
            status = FindNextEntry(entry);
        }
        chain.EndListing(entry);
        // A listing that breaks off (no memory, an I/O error) is not an empty folder.
        if (status != kNoMoreFiles && !IsAbsenceOrDenial(status))
            ReportUnread({path, SystemErrorText(status)});
    } // the enumeration is closed before the subfolders are walked
    if (pool_)
        pool_->Offer();
    return level;
}

void TMyThread::TestFile(const std::string& folder, TSearchRec& entry,
                         std::shared_ptr<const OpenFolder>& openFolder) {
    if (!nameMask_->Matches(entry.Name))
        return;
    const SizeCriterion size = sizeBounds_.Get();
    if (size.Enabled && !size.Accepts(entry.Size()))
        return;
    if (pool_) {
        if (!openFolder)
            openFolder = pool_->HoldFolder(folder, entry);
        if (openFolder) // else a stop request
            pool_->Add(openFolder, entry.Name, entry.SizeIfKnown());
        return;
    }
    PhraseMatch match;
    if (scanner_) {
        FileReader reader;
        if (!OpenToScan(reader, folder, entry))
            return;
        if (!scanner_->FileContainsPhrase(reader, match)) {
            if (reader.Fault() == ReadFault::Other && !Terminated())
                ReportUnread({folder + entry.Name, reader.FaultText()});
            return;
        }
    }
    HandOff(ResultRow{entry.Name, folder, entry.Size(), match.Offset, match.Length});
}

bool TMyThread::OpenToScan(FileReader& reader, const std::string& folder, const TSearchRec& entry) {
    // Alone, the walk has no scanner to wait for: descriptors can only come back from the rest
    // of the process, so it tries a few times, a moment apart.
    constexpr int kTries = 100;
    for (int tried = 1;; ++tried) {
        if (reader.Open(folder + entry.Name, &entry))
            return true;
        if (reader.Fault() != ReadFault::NoDescriptor || tried == kTries || Terminated())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (reader.Fault() != ReadFault::Absent && !Terminated())
        ReportUnread({folder + entry.Name, reader.FaultText()});
    return false;
}

void TMyThread::ReportUnread(UnreadItem item) {
    frontEnd_.PostToUiThread([this, item = std::move(item)] { frontEnd_.ReportUnread(item); });
}

void TMyThread::HandOff(ResultRow row) {
    std::unique_lock<std::mutex> lock(handOffMutex_);
    handOffDone_.wait(lock, [this] { return pendingRows_.size() < kMaxRowsInFlight; });
    pendingRows_.push_back(std::move(row));
    // A window asks for larger batches: under Wine each wake-up of its thread is a server
    // call, and waking it for every few rows made a 200,000-row search half as fast again.
    if (pendingRows_.size() >= rowsPerWakeUp_)
        PostDrain(lock);
}

void TMyThread::HandOffRest() {
    std::unique_lock<std::mutex> lock(handOffMutex_);
    if (!pendingRows_.empty())
        PostDrain(lock);
}

void TMyThread::PostDrain(std::unique_lock<std::mutex>& lock) {
    if (drainPosted_)
        return; // the posted drain has not run yet and will take the new rows too
    drainPosted_ = true;
    lock.unlock();
    try {
        frontEnd_.PostToUiThread([this] { DrainRows(); });
    } catch (...) {
        // No memory to post it: the next hand-off tries again rather than wait for ever.
        lock.lock();
        drainPosted_ = false;
        throw;
    }
}

void TMyThread::DrainRows() {
    std::vector<ResultRow> rows;
    {
        std::lock_guard<std::mutex> lock(handOffMutex_);
        rows.swap(pendingRows_);
        drainPosted_ = false;
    }
    handOffDone_.notify_all();
    for (const ResultRow& row : rows) {
        frontEnd_.AppendRow(row);
        progress_.FilesFound.fetch_add(1);
    }
}

} // namespace quennet

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
    return {SearchError::Kind::OutOfMemory, "Out of memory.", {}}; // short enough to need no memory
}

// Called inside a catch block: the error the front end is told of. Should even the copy of
// its text find no memory, it is that.
SearchError CurrentSearchError() noexcept {
    try {
        try {
            throw;
        } catch (const EMaskException& e) {
            return {SearchError::Kind::InvalidMask, e.what(), {}};
        } catch (const std::bad_alloc&) {
            return OutOfMemoryError();
        } catch (const std::exception& e) {
            return {SearchError::Kind::Other, e.what(), {}};
        }
    } catch (...) {
    }
    return OutOfMemoryError();
}

} // namespace

std::string UnreadSummary(std::size_t count, const SearchError& first) {
    if (count == 0)
        return {};
    const std::string what = first.Path + " (" + first.Message + ")";
    if (count == 1)
        return "Not read: " + what;
    return std::to_string(count) + " files or folders not read, the first: " + what;
}

TMyThread::TMyThread(SearchRequest request, const LiveSizeBounds& sizeBounds, SearchSink& sink,
                     SearchProgress& progress, SearchOptions options)
    : request_(std::move(request)), sink_(sink), progress_(progress), sizeBounds_(sizeBounds),
      chunkSize_(options.ChunkSize == 0 ? ContentScanner::kDefaultChunkSize : options.ChunkSize),
      threads_(options.Threads == 0 ? DefaultThreads() : std::min(options.Threads, kMaxThreads)),
      starter_(std::move(options.Starter)), thread_([this] { Execute(); }) {}

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
    // Every step may find no memory; whatever fails, the thread goes on to the sink's Finish,
    // so the window never stays in the searching state and the command line never waits for ever.
    std::optional<SearchError> error;
    try {
        sink_.Begin();
    } catch (const std::exception&) {
        error = CurrentSearchError();
    }
    if (!error)
        error = Walk();
    if (error) {
        Terminate();
        try {
            sink_.Error(*error);
        } catch (const std::exception&) {
            faultUntold_.store(true);
        }
    }
    try {
        if (filteredOut_ > 0)
            sink_.FilteredOut(filteredOut_);
        sink_.Finish();
    } catch (const std::exception&) {
        faultUntold_.store(true);
    }
    {
        std::lock_guard<std::mutex> lock(finishMutex_);
        finished_.store(true);
    }
    finishedSignal_.notify_all();
}

std::optional<SearchError> TMyThread::Walk() {
    const SearchRequest& request = request_;
    std::optional<SearchError> error;
    try {
        nameMask_ = std::make_unique<TMask>(request.NameMask);
        onlyMasks_ = MaskList(request.OnlyMasks);
        skipMasks_ = MaskList(request.SkipMasks);
        skipFolders_ = MaskList(request.SkipFolderMasks);
        datesBound_ = request.ChangedAfter || request.ChangedBefore;
        // Without a phrase a file is decided by its entry alone: nothing for a pool to do.
        if (!request.Phrase.empty() && threads_ > 1) {
            try {
                pool_ = std::make_unique<OrderedScanPool>(
                    request, threads_, chunkSize_, stopRequest_,
                    [this](const ResultRow& row) { HandOff(row); },
                    [this](const std::string& path, const std::string& reason) { ReportUnread(path, reason); },
                    starter_);
            } catch (const std::bad_alloc&) {
                // As with threads the system cannot give: the walk's own thread reads.
            }
            if (pool_ && pool_->Threads() == 0)
                pool_.reset();
        }
        if (!request.Phrase.empty() && !pool_) {
            scanner_ = std::make_unique<ContentScanner>(request.Phrase, request.WidePhrase, request.FoldCase,
                                                        static_cast<std::size_t>(request.BufferSize),
                                                        stopRequest_, chunkSize_, request.RegularExpression);
            scanner_->ShowMatchAsHex(request.HexPhrase);
        }
        for (const std::string& root : request.Roots) {
            if (Terminated())
                break;
            WalkRoot(root);
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
        if (insideLink) {
            if (!chain.IdentityOf(sub.Name, identity))
                continue;
            const std::size_t again = chain.LevelOf(identity);
            if (again != FolderChain::kNotInside) {
                // A link to "." or ".." ends where it began, as a walk expects; a loop through
                // links elsewhere (a/to-b -> b, b/to-a -> a) is told of, as find -L does.
                if (!chain.InnermostIsInside(again))
                    ReportUnread(chain.Path() + sub.Name, "a loop of folder links back to " + chain.PathOf(again));
                continue;
            }
        }
        const std::uint32_t error = chain.Enter(sub.Name, insideLink ? &identity : nullptr);
        if (Entered(error, error == 0 ? std::string() : chain.Path() + sub.Name))
            levels.push_back(ListFolder(chain, insideLink));
    }
}

bool TMyThread::Entered(std::uint32_t error, const std::string& path) {
    if (error == 0)
        return true;
    if (!IsAbsenceOrDenial(error))
        ReportUnread(path, SystemErrorText(error));
    return false;
}

TMyThread::WalkLevel TMyThread::ListFolder(FolderChain& chain, bool insideLink) {
    const std::string& path = chain.Path();
    progress_.SetCurrentFolder(path);
    WalkLevel level;
    level.InsideLink = insideLink;
    {
        std::shared_ptr<const OpenFolder> openFolder; // for the pool, at the first file
        std::size_t listed = 0;
        TSearchRec entry;
        std::uint32_t status = chain.FindFirst(faAnyFile, entry);
        while (status == 0) {
            if (Terminated())
                return level;
            if (entry.LinkFault != 0) {
                ReportUnread(path + entry.Name, SystemErrorText(entry.LinkFault));
            } else if (entry.Attr & faDirectory) {
                // A skipped folder is not entered at all: skipping makes a search faster.
                if ((entry.Name.empty() || entry.Name[0] != '.') &&
                    (skipFolders_.Empty() || !skipFolders_.MatchesAny(entry.Name)))
                    level.Subfolders.push_back({entry.Name, (entry.Attr & faSymLink) != 0});
            } else {
                TestFile(chain, entry, openFolder);
            }
            // A long listing must not keep the files gathered before it from the scanners.
            if (pool_ && (++listed & 255) == 0)
                pool_->Offer();
            status = FindNextEntry(entry);
        }
        chain.EndListing(entry);
        // A listing that breaks off (no memory, an I/O error) is not an empty folder.
        if (status != kNoMoreFiles && !IsAbsenceOrDenial(status))
            ReportUnread(path, SystemErrorText(status));
    } // the enumeration is closed before the subfolders are walked
    if (pool_)
        pool_->Offer();
    return level;
}

void TMyThread::TestFile(FolderChain& chain, TSearchRec& entry, std::shared_ptr<const OpenFolder>& openFolder) {
    const std::string& folder = chain.Path();
    if (!nameMask_->Matches(entry.Name))
        return;
    if ((!onlyMasks_.Empty() && !onlyMasks_.MatchesAny(entry.Name)) ||
        (!skipMasks_.Empty() && skipMasks_.MatchesAny(entry.Name))) {
        ++filteredOut_;
        return;
    }
    const SizeCriterion size = sizeBounds_.Get();
    if (size.Enabled && !size.Accepts(entry.Size()))
        return;
    if (datesBound_) {
        const std::int64_t written = entry.LastWriteTime();
        if ((request_.ChangedAfter && written < *request_.ChangedAfter) ||
            (request_.ChangedBefore && written > *request_.ChangedBefore)) {
            ++filteredOut_;
            return;
        }
    }
    if (pool_) {
        // Held for the scanners: they open the file by name in it (on POSIX with the walk's
        // own descriptor, so holding costs no call), not by a path resolved again.
        if (!openFolder) {
            openFolder = pool_->HoldFolder(folder, entry);
            if (!openFolder)
                return; // a stop request
        }
        pool_->Add(openFolder, entry.Name, entry.SizeIfKnown());
        return;
    }
    PhraseMatch match;
    if (scanner_) {
        FileReader reader;
        if (!OpenToScan(reader, chain, entry))
            return;
        if (!scanner_->FileContainsPhrase(reader, match)) {
            if (reader.Fault() == ReadFault::Other && !Terminated())
                ReportUnread(folder + entry.Name, reader.FaultText());
            else if (!scanner_->GaveUpReason().empty() && !Terminated())
                ReportUnread(folder + entry.Name, scanner_->GaveUpReason());
            return;
        }
    }
    HandOff(ResultRow{entry.Name, folder, entry.Size(), match.Offset, match.Length, std::move(match.Line)});
}

bool TMyThread::OpenToScan(FileReader& reader, FolderChain& chain, const TSearchRec& entry) {
    const std::string& folder = chain.Path();
    DescriptorWait::Waiter waiter = descriptors_.Begin();
    for (;;) {
        if (reader.Open(folder + entry.Name, &entry))
            return true;
        if (reader.Fault() != ReadFault::NoDescriptor || Terminated())
            break;
        // Alone, the walk holds the only descriptors of the search: its outer folders, which
        // it can open again on the way back. Only then is there anything to wait for.
        if (chain.LetGoOuterFolders())
            continue;
        if (!descriptors_.Wait(waiter))
            break;
    }
    if (reader.Fault() != ReadFault::Absent && !Terminated())
        ReportUnread(folder + entry.Name, reader.FaultText());
    return false;
}

void TMyThread::ReportUnread(const std::string& path, const std::string& reason) {
    sink_.Error(SearchError{SearchError::Kind::NotRead, reason, path});
}

void TMyThread::HandOff(const ResultRow& row) {
    sink_.Row(row);
    progress_.FilesFound.fetch_add(1, std::memory_order_relaxed);
}

} // namespace quennet

#include "mainwindow/SearchControl.h"

#include "mainwindow/main.h"
#include "runtime/Application.h"
#include "runtime/MessageBoxes.h"
#include "search/FileFind.h"

namespace quennet {

SearchControl::SearchControl(TForm1& form) : form_(form) {
    NowSearchingInANDnrOfFilesFound.SetInterval(500);
    NowSearchingInANDnrOfFilesFound.OnTimer = [this](TTimer&) { NowSearchingInANDnrOfFilesFoundTimer(); };
    counter.SetInterval(1000);
    counter.OnTimer = [this](TTimer&) { counterTimer(); };
    showRows.SetInterval(100);
    showRows.OnTimer = [this](TTimer&) {
        if (ActiveWorker)
            ActiveWorker->ServeRows();
        ShowArrivedRows(true);
    };
}

namespace {
constexpr auto kShowRowsInterval = std::chrono::milliseconds(50);
} // namespace

void SearchControl::ShowArrivedRows(bool now) {
    const auto time = std::chrono::steady_clock::now();
    if (!now && time - rowsShown_ < kShowRowsInterval)
        return;
    rowsShown_ = time;
    form_.results.Commit();
}

SearchControl::~SearchControl() {
    StopAndWait();
}

bool SearchControl::BuildRoots() {
    Roots.clear();
    if (form_.lookIn.LocalDrivesSelected()) {
        Roots = form_.lookIn.LocalDriveRoots();
        return true;
    }
    const std::string path = form_.lookIn.Text();
    // Only drive paths: a network path such as \\server\share is refused.
    if (!IsExistingFolder(path) || path.size() < 2 || path[1] != ':') {
        ShowErrorBox(kInvalidDirectoryMessage);
        return false;
    }
    Roots.push_back(path);
    return true;
}

bool SearchControl::Stop() {
    if (!ActiveWorker)
        return false;
    if (stopPending_)
        return true;
    ActiveWorker->Terminate();
    stopPending_ = true;
    form_.search.SetCaption("Stopping...");
    form_.search.SetEnabled(false);
    return true;
}

void SearchControl::searchClick() {
    if (Stop())
        return;
    if (!BuildRoots())
        return;
    form_.results.Store().StopSortingByName();
    RefreshSizeBounds();
    // One scanner per logical processor: the rows still arrive in walk order, and a stop ends
    // within one chunk however large the file being read.
    ActiveWorker = std::make_shared<TMyThread>(*this, Roots, Progress, sizeBounds_, 0, 0);
    // On already, should the worker find no memory to run PrepareSearch (see counterTimer).
    counter.SetEnabled(true);
}

void SearchControl::StopAndWait() {
    std::shared_ptr<TMyThread> worker = ActiveWorker;
    if (!worker)
        return;
    worker->Terminate();
    while (!worker->WaitForFinish(10))
        Application().CheckSynchronize();
}

void SearchControl::RefreshSizeBounds() {
    SizeCriterion criterion;
    criterion.Enabled = form_.SpecSize.Checked();
    criterion.MinKb = form_.MinSize.Value();
    criterion.MaxKb = form_.MaxSize.Value();
    sizeBounds_.Set(criterion);
}

void SearchControl::RunOnUiThread(const std::function<void()>& step) {
    // An exception out of a step would come out on the worker's thread and end the process:
    // it is shown here, and the worker goes on to its end (FinishSearch).
    Application().Synchronize([&step] {
        try {
            step();
        } catch (const std::exception& error) {
            ShowErrorBox(error.what());
        }
    });
}

void SearchControl::PostToUiThread(std::function<void()> step) {
    // A posted step hands over a batch of rows; the list shows what arrived with one count
    // update now and then.
    Application().Queue([this, step = std::move(step)] {
        step();
        ShowArrivedRows(false);
    });
}

std::optional<SearchRequest> SearchControl::PrepareSearch() {
    form_.results.Clear();
    // The boxes show the numbers this search uses (a number beyond a bound counts as the bound).
    for (TSpinEdit* box : {&form_.maxbuf, &form_.MinSize, &form_.MaxSize})
        box->ShowValueInUse();
    SearchCriteria criteria;
    criteria.NameFragment = form_.fname.Text();
    criteria.PhraseText = form_.ss.Text();
    criteria.HexNotation = form_.typeHEX.Checked();
    criteria.CaseSensitive = form_.CaseSensitive.Checked();
    criteria.BufferMegabytes = form_.maxbuf.Value();
    criteria.MinSizeKb = form_.MinSize.Value();
    criteria.MaxSizeKb = form_.MaxSize.Value();
    PreparedSearch prepared = BuildSearchRequest(criteria);
    if (!prepared.Request) {
        ShowErrorBox(prepared.Error);
        return std::nullopt;
    }
    prepared.Request->Roots = Roots;
    searched_ = prepared.Request->Searched();

    // Locking the panel takes the focus from a locked control; the search's end gives it back.
    focusAtStart_ = form_.ActiveControl();
    form_.CaseSensitive.SetEnabled(false);
    NowSearchingInANDnrOfFilesFound.SetEnabled(true);
    form_.autoadjust.SetEnabled(false);
    for (TWinControl* control :
         std::initializer_list<TWinControl*>{&form_.maxbuf, &form_.selfadj, &form_.typeText, &form_.typeHEX,
                                             &form_.fname, &form_.ss, &form_.pathlist})
        control->SetEnabled(false);
    form_.StatusBar.SetPanelText(0, "Searching...");
    counter.SetEnabled(true);
    form_.search.SetCaption("Stop");
    form_.StatusBar.SetPanelText(1, "0 files found.");
    Progress.FilesFound.store(0);
    unreadCount_ = 0;
    started_ = std::chrono::steady_clock::now();
    timing_ = true;
    elapsedSeconds_ = 0;
    form_.StatusBar.SetPanelText(3, "Search took 0 seconds.");
    rowsShown_ = std::chrono::steady_clock::now();
    showRows.SetEnabled(true);
    return prepared.Request;
}

void SearchControl::AppendRow(const ResultRow& row) {
    form_.results.Append(row);
}

void SearchControl::ReportSearchError(const SearchError& error) {
    ShowErrorBox(error.Message);
}

void SearchControl::ReportUnread(const UnreadItem& item) {
    if (unreadCount_++ == 0)
        firstUnread_ = item;
}

void SearchControl::FinishSearch() {
    try {
        FinishSteps();
    } catch (...) {
        // Whatever failed, the window leaves the searching state and the worker is let go.
        UnlockPanel();
        ReleaseWorker();
        throw;
    }
    ReleaseWorker();
}

void SearchControl::UnlockPanel() {
    timing_ = false;
    NowSearchingInANDnrOfFilesFound.SetEnabled(false);
    counter.SetEnabled(false);
    showRows.SetEnabled(false);
    for (TWinControl* control :
         std::initializer_list<TWinControl*>{&form_.maxbuf, &form_.selfadj, &form_.typeText, &form_.typeHEX,
                                             &form_.fname, &form_.ss, &form_.pathlist})
        control->SetEnabled(true);
    form_.CaseSensitive.SetEnabled(form_.typeText.Checked());
    form_.autoadjust.SetEnabled(true); // its tick changes the buffer only when selfadj is ticked
    form_.search.SetCaption("Search");
    form_.search.SetEnabled(true);
    GiveBackFocus();
}

void SearchControl::GiveBackFocus() {
    TWinControl* target = focusAtStart_;
    focusAtStart_ = nullptr;
    // Only a focus that went with a locked control: one the user has put elsewhere stays, and
    // a window in the background does not take the focus from the one in front.
    const HWND focus = GetFocus();
    if (GetActiveWindow() != form_.HandleOrNull() || (focus && focus != form_.HandleOrNull()))
        return;
    if (!target || !target->CanFocus())
        target = &form_.fname;
    if (target->CanFocus())
        target->SetFocus();
}

void SearchControl::ReleaseWorker() {
    // The worker waits in this step, so its object is released later, once it has ended.
    std::shared_ptr<TMyThread> ended = std::move(ActiveWorker);
    stopPending_ = false;
    Application().Queue([ended] {});
}

void SearchControl::FinishSteps() {
    showRows.SetEnabled(false);
    ShowArrivedRows(true);
    NowSearchingInANDnrOfFilesFound.SetEnabled(false);
    NowSearchingInANDnrOfFilesFoundTimer();
    counter.SetEnabled(false);
    if (timing_) // the whole search; after a failed check the last search's text stays
        ShowElapsedSeconds();
    form_.StatusBar.SetPanelText(0, "Done");
    form_.StatusBar.SetPanelText(2, UnreadSummary(unreadCount_, firstUnread_));
    UnlockPanel();
}

void SearchControl::NowSearchingInANDnrOfFilesFoundTimer() {
    form_.StatusBar.SetPanelText(2, "Now searching in: " + Progress.CurrentFolder());
    form_.StatusBar.SetPanelText(1, std::to_string(Progress.FilesFound.load()) + " files found.");
}

void SearchControl::counterTimer() {
    // A worker that ended without its last step (no memory left even to queue it) would leave
    // the window searching for ever: the window finishes the search itself and says why.
    if (ActiveWorker && ActiveWorker->Finished()) {
        if (ActiveWorker->FaultUntold())
            ShowErrorBox("Out of memory.");
        FinishSearch();
        return;
    }
    ShowElapsedSeconds();
}

std::int32_t SearchControl::ElapsedSeconds() const {
    if (!timing_)
        return elapsedSeconds_;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started_);
    return static_cast<std::int32_t>(seconds.count());
}

void SearchControl::ShowElapsedSeconds() {
    elapsedSeconds_ = ElapsedSeconds();
    form_.StatusBar.SetPanelText(3, "Search took " + std::to_string(elapsedSeconds_) + " seconds.");
}

} // namespace quennet

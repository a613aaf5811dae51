#include "mainwindow/SearchControl.h"

#include "mainwindow/StatusTexts.h"
#include "mainwindow/main.h"
#include "runtime/Application.h"
#include "runtime/MessageBoxes.h"
#include "search/FileFind.h"

#include <exception>

namespace quennet {

namespace {

constexpr auto kShowRowsInterval = std::chrono::milliseconds(50);

// A filter's message says which box it is about, as the name box's own message names the name.
std::string FieldPrefix(CriterionField field) {
    switch (field) {
    case CriterionField::Only:
        return "Only files: ";
    case CriterionField::Skip:
        return "Skip files: ";
    case CriterionField::SkipFolders:
        return "Skip folders: ";
    default:
        return std::string();
    }
}

} // namespace

SearchControl::SearchControl(TForm1& form)
    : form_(form), sink_([this] { Application().Queue([this] { TakeFromSearch(); }); }) {
    NowSearchingInANDnrOfFilesFound.SetInterval(500);
    NowSearchingInANDnrOfFilesFound.OnTimer = [this](TTimer&) { NowSearchingInANDnrOfFilesFoundTimer(); };
    counter.SetInterval(1000);
    counter.OnTimer = [this](TTimer&) { counterTimer(); };
    showRows.SetInterval(100);
    showRows.OnTimer = [this](TTimer&) {
        TakeFromSearch();
        ShowArrivedRows(true);
    };
}

SearchControl::~SearchControl() {
    StopAndWait();
}

void SearchControl::ShowArrivedRows(bool now) {
    const auto time = std::chrono::steady_clock::now();
    if (!now && time - rowsShown_ < kShowRowsInterval)
        return;
    rowsShown_ = time;
    form_.results.Commit();
}

bool SearchControl::BuildRoots(std::vector<std::string>& roots) {
    if (form_.lookIn.LocalDrivesSelected()) {
        roots = form_.lookIn.LocalDriveRoots();
        return true;
    }
    const std::string path = form_.lookIn.Text();
    if (!IsValidLookInPath(path)) {
        ShowErrorBox(kInvalidDirectoryMessage);
        return false;
    }
    roots.push_back(path);
    return true;
}

void SearchControl::ApplyPhase() {
    const bool enabled = phase_.CriteriaEnabled();
    for (TWinControl* control : std::initializer_list<TWinControl*>{
             &form_.maxbuf, &form_.selfadj, &form_.typeText, &form_.typeHEX, &form_.typeRegex, &form_.fname, &form_.ss,
             &form_.pathlist, &form_.OnlyFiles, &form_.SkipFiles, &form_.SkipFolders,
             &form_.ModifiedAfterCheck, &form_.ModifiedBeforeCheck})
        control->SetEnabled(enabled);
    form_.ModifiedCheckClick(); // the days: usable when idle and ticked
    form_.CaseSensitive.SetEnabled(phase_.CaseSensitiveEnabled(form_.typeHEX.Checked()));
    // Its tick changes the buffer only when selfadj is ticked.
    form_.autoadjust.SetEnabled(phase_.AutoAdjustEnabled());
    form_.search.SetCaption(phase_.Caption());
    form_.search.SetEnabled(phase_.ButtonEnabled());
}

bool SearchControl::Stop() {
    switch (phase_.Now()) {
    case SearchPhase::State::Idle:
        return false;
    case SearchPhase::State::Stopping:
        return true;
    case SearchPhase::State::Running:
        break;
    }
    if (ActiveWorker)
        ActiveWorker->Terminate();
    phase_.StopAsked();
    ApplyPhase();
    return true;
}

void SearchControl::searchClick() {
    if (phase_.Pressed() != SearchPhase::Press::Start) {
        Stop();
        return;
    }
    std::vector<std::string> roots;
    if (!BuildRoots(roots))
        return;
    form_.results.Store().StopSortingByName();
    std::optional<SearchRequest> request = PrepareSearch(std::move(roots));
    if (!request) {
        FinishSearch(); // a failed check ends as a search does
        return;
    }
    try {
        // One scanner per logical processor: the rows still arrive in walk order, and a stop
        // ends within one chunk however large the file being read.
        ActiveWorker = std::make_shared<TMyThread>(std::move(*request), sizeBounds_, sink_, Progress);
    } catch (...) {
        FinishSearch(); // no thread to be had: the box says why, the panel is usable again
        throw;
    }
}

void SearchControl::StopAndWait() {
    std::shared_ptr<TMyThread> worker = ActiveWorker;
    if (!worker)
        return;
    worker->Terminate();
    while (!worker->WaitForFinish(10)) {
        TakeFromSearch(); // a searcher waiting for room in the queue must get it
        Application().CheckSynchronize();
    }
    if (ActiveWorker == worker)
        TakeFromSearch(); // its end, should the wake-up not have run yet
}

void SearchControl::RefreshSizeBounds() {
    SizeCriterion criterion;
    criterion.Enabled = form_.SpecSize.Checked();
    criterion.MinKb = form_.MinSize.Value();
    criterion.MaxKb = form_.MaxSize.Value();
    sizeBounds_.Set(criterion);
}

std::optional<SearchRequest> SearchControl::PrepareSearch(std::vector<std::string> roots) {
    form_.results.Clear();
    sink_.Reset(); // a failed check must not show the last search's files left out
    // The boxes show the numbers this search uses (a number beyond a bound counts as the bound).
    for (TSpinEdit* box : {&form_.maxbuf, &form_.MinSize, &form_.MaxSize})
        box->ShowValueInUse();
    RefreshSizeBounds();
    SearchCriteria criteria;
    criteria.NameFragment = form_.fname.Text();
    criteria.PhraseText = form_.ss.Text();
    criteria.HexNotation = form_.typeHEX.Checked();
    criteria.RegularExpression = form_.typeRegex.Checked();
    criteria.CaseSensitive = form_.CaseSensitive.Checked();
    criteria.BufferMegabytes = form_.maxbuf.Value();
    criteria.Size = sizeBounds_.Get();
    form_.FillFilters(criteria);
    PreparedSearch prepared = BuildSearchRequest(criteria);
    if (!prepared.Request) {
        ShowErrorBox(FieldPrefix(prepared.Field) + prepared.Error);
        return std::nullopt;
    }
    form_.RememberSearch();
    prepared.Request->Roots = std::move(roots);
    searched_ = prepared.Request->Searched();

    // Locking the panel takes the focus from a locked control; the search's end gives it back.
    focusAtStart_ = form_.ActiveControl();
    phase_.Started();
    ApplyPhase();
    NowSearchingInANDnrOfFilesFound.SetEnabled(true);
    form_.StatusBar.SetPanelText(0, "Searching...");
    counter.SetEnabled(true);
    form_.StatusBar.SetPanelText(1, "0 files found.");
    Progress.FilesFound.store(0);
    started_ = std::chrono::steady_clock::now();
    timing_ = true;
    elapsedSeconds_ = 0;
    form_.StatusBar.SetPanelText(3, "Search took 0 seconds.");
    rowsShown_ = std::chrono::steady_clock::now();
    showRows.SetEnabled(true);
    return prepared.Request;
}

void SearchControl::TakeFromSearch() {
    WindowSink::Taken taken = sink_.Take();
    std::exception_ptr failure;
    try {
        for (const ResultRow& row : taken.Rows)
            form_.results.Append(row);
        ShowArrivedRows(false);
    } catch (...) {
        // Rows that find no room are lost: the search is not worth going on with.
        failure = std::current_exception();
        if (ActiveWorker)
            ActiveWorker->Terminate();
    }
    if (taken.Finished) {
        if (taken.Fault)
            ShowErrorBox(taken.Fault->Message);
        FinishSearch();
    }
    if (failure)
        std::rethrow_exception(failure);
}

void SearchControl::FinishSearch() {
    try {
        FinishSteps();
    } catch (...) {
        // Whatever failed, the window leaves the searching state and the searcher is let go.
        UnlockPanel();
        ActiveWorker.reset();
        throw;
    }
    ActiveWorker.reset(); // its thread has made its last call: the join is at once
}

void SearchControl::UnlockPanel() {
    timing_ = false;
    NowSearchingInANDnrOfFilesFound.SetEnabled(false);
    counter.SetEnabled(false);
    showRows.SetEnabled(false);
    phase_.Ended();
    ApplyPhase();
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

void SearchControl::FinishSteps() {
    showRows.SetEnabled(false);
    ShowArrivedRows(true);
    NowSearchingInANDnrOfFilesFound.SetEnabled(false);
    NowSearchingInANDnrOfFilesFoundTimer();
    counter.SetEnabled(false);
    if (timing_) // the whole search; after a failed check the last search's text stays
        ShowElapsedSeconds();
    form_.StatusBar.SetPanelText(0, "Done");
    form_.StatusBar.SetPanelText(
        2, EndOfSearchNote(sink_.FilteredOutCount(), UnreadSummary(sink_.NotReadCount(), sink_.FirstNotRead())));
    UnlockPanel();
}

void SearchControl::NowSearchingInANDnrOfFilesFoundTimer() {
    form_.StatusBar.SetPanelText(2, "Now searching in: " + Progress.CurrentFolder());
    form_.StatusBar.SetPanelText(1, std::to_string(Progress.FilesFound.load()) + " files found.");
}

void SearchControl::counterTimer() {
    // A searcher whose end found no memory to post its wake-up would leave the window
    // searching for ever: the end is taken here.
    if (ActiveWorker && ActiveWorker->Finished()) {
        TakeFromSearch();
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

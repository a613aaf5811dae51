#include "mainwindow/main.h"

#include "dialogs/folderpick.h"
#include "dialogs/hexview.h"
#include "mainwindow/BufferAdjust.h"
#include "mainwindow/FilterDates.h"
#include "mainwindow/ShellIntegration.h"
#include "runtime/Application.h"
#include "runtime/Dpi.h"
#include "runtime/MessageBoxes.h"
#include "search/SearchRequest.h"

#include <algorithm>

namespace quennet {

namespace {

constexpr TColor kSplitterColor = 0xA6CAF0; // RGB(240,202,166)
// Taller than the first design by the filters' block, so that every control shows at first.
constexpr int kDesignLeft = 298, kDesignTop = 89, kDesignWidth = 817, kDesignHeight = 614 + kFiltersHeight;
constexpr int kSplitterMinSize = 155;
// Below this width the panel's scroll bar would cover its controls.
constexpr int kPanelWidthWithScrollBar = 167;
// Tall enough to show the largest group of the panel (the phrase's frame) whole.
constexpr int kLeastPanelHeight = 140;
constexpr int kStatusPanelWidths[] = {146, 100, 405, 50};

// The design's place and size in pixels at `dpi`, within the work area: a screen too small
// for it (a 768-pixel laptop, or a high scale) gets a window that fits, whose panel scrolls.
// The height is never less than the design before the filters where the screen has room.
RECT DesignBoundsOnThisScreen(int dpi) {
    const int width = ScaleDesignUnits(kDesignWidth, dpi);
    const int full = ScaleDesignUnits(kDesignHeight, dpi);
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        return RECT{kDesignLeft, kDesignTop, kDesignLeft + width, kDesignTop + full};
    const int room = static_cast<int>(work.bottom) - kDesignTop;
    const int least = std::min(ScaleDesignUnits(kDesignHeight - kFiltersHeight, dpi), room);
    const int height = std::clamp(room, least, full);
    const int fitWidth = std::min<int>(width, work.right - work.left);
    const int left = std::max<int>(work.left, std::min<int>(kDesignLeft, work.right - fitWidth));
    return RECT{left, kDesignTop, left + fitWidth, kDesignTop + height};
}

} // namespace

TForm1::TForm1(const std::string& lookInFolder)
    : CriteriaPanel(static_cast<TWinControl&>(*this)), Splitter1(Add<TSplitter>()), files(Add<TListView>()),
      StatusBar(Add<TStatusBar>()), results(files), lookIn(pathlist), searchControl(*this) {
    SetCaption(std::string("Quennet by Ketrel --- Visit ") + kMakerWebAddress);
    // The controls were placed in design units; the screen's scale turns them into pixels.
    ScaleTo(WindowDpi(nullptr));
    const RECT design = DesignBoundsOnThisScreen(Dpi());
    SetBounds(design.left, design.top, design.right - design.left, design.bottom - design.top);
    SetColor(clBtnFace);

    Splitter1.SetBeveled(true);
    Splitter1.SetColor(kSplitterColor);
    Splitter1.SetParentColor(false);

    files.SetAlign(alClient);
    files.SetTabOrder(0);
    files.SetParentColor(false);
    files.SetColor(clWindow);
    DpiScaled(Dpi(), Dpi()); // the status bar's panels
    StatusBar.SetPanelFitsText(1); // a count of seven digits would be cut off
    StatusBar.SetTabStop(false);

    autoadjust.SetInterval(1000);
    autoadjust.OnTimer = [this](TTimer&) { autoadjustTimer(); };
    SetActiveControl(&fname);
    WireEvents();
    FormCreate(lookInFolder);
}

TForm1::~TForm1() {
    // A window destroyed without closing still lets its search end first.
    searchControl.StopAndWait();
}

void TForm1::SetDestinationDialog(TFormChooseDestination* dialog) {
    files.SetPopupMenu(nullptr);
    menu.reset();
    if (!dialog)
        return;
    menu = std::make_unique<TResultsMenu>(
        results, *dialog,
        ResultsMenuCallbacks{[this](const ChosenRow& row) { ViewRowInHex(row); }, [this] { SaveListAs(); },
                             [this] { ShowFilesNotRead(); }, [this] { return searchControl.NotReadCount() > 0; }});
    files.SetPopupMenu(&menu->PopupMenu1);
}

void TForm1::WireEvents() {
    auto enterStartsSearch = [this](TWinControl&, WORD& key, TShiftState) { fnameKeyDown(key); };
    for (TWinControl* control : std::initializer_list<TWinControl*>{&fname, &ss, &pathlist, &MinSize,
                                                                    &MaxSize, &maxbuf, &typeText, &typeHEX,
                                                                    &typeRegex})
        control->OnKeyDown = enterStartsSearch;
    for (TWinControl* control : std::initializer_list<TWinControl*>{&OnlyFiles, &SkipFiles, &SkipFolders,
                                                                    &ModifiedAfter, &ModifiedBefore})
        control->OnKeyDown = enterStartsSearch;
    for (TGlyphCheck* box : {&ModifiedAfterCheck, &ModifiedBeforeCheck}) {
        box->OnClick = [this](TWinControl&) { ModifiedCheckClick(); };
        box->OnKeyDown = [this, box](TWinControl&, WORD& key, TShiftState) {
            ModifiedCheckKeyDown(*box, key);
        };
    }
    // An edit beeps at an Enter it has no use for; here Enter is the search key.
    auto swallowEnter = [](TWinControl&, char& key) {
        if (key == '\r')
            key = 0;
    };
    for (TWinControl* box :
         std::initializer_list<TWinControl*>{&fname, &ss, &OnlyFiles, &SkipFiles, &SkipFolders})
        box->OnKeyPress = swallowEnter;
    fname.OnDeleteItem = [this](TComboBox&, int index) {
        nameHistory_.Remove(static_cast<std::size_t>(index));
    };
    ss.OnDeleteItem = [this](TComboBox&, int index) {
        phraseHistory_.Remove(static_cast<std::size_t>(index));
    };

    typeText.OnClick = [this](TWinControl&) { typeTextClick(); };
    typeHEX.OnClick = [this](TWinControl&) { typeTextClick(); };
    typeRegex.OnClick = [this](TWinControl&) { typeTextClick(); };
    CaseSensitive.OnKeyDown = [this](TWinControl&, WORD& key, TShiftState) {
        CaseSensitiveKeyDown(CaseSensitive, key);
    };
    selfadj.OnClick = [this](TWinControl&) { selfadjClick(); };
    selfadj.OnKeyDown = [this](TWinControl&, WORD& key, TShiftState) { selfadjKeyDown(key); };
    SpecSize.OnClick = [this](TWinControl&) { SpecSizeClick(); };
    SpecSize.OnKeyDown = [this](TWinControl&, WORD& key, TShiftState) { SpecSizeKeyDown(key); };
    IntegrateIntoShell.OnMouseDown = [this](TWinControl&, TMouseButton button, TShiftState, int, int) {
        if (button == mbLeft)
            IntegrateIntoShellMouseDown(IntegrateIntoShell);
    };
    IntegrateIntoShell.OnKeyDown = [this](TWinControl&, WORD& key, TShiftState) {
        IntegrateIntoShellKeyDown(key);
    };
    MinSize.OnChange = [this](TWinControl&) { searchControl.RefreshSizeBounds(); };
    MaxSize.OnChange = [this](TWinControl&) { searchControl.RefreshSizeBounds(); };
    pathlist.OnClick = [this](TWinControl&) { pathlistClick(); };
    search.OnClick = [this](TWinControl&) { searchClick(); };
    BufferHelpButton.OnClick = [this](TWinControl&) { BufferHelpButtonClick(); };
    AboutButton.OnClick = [this](TWinControl&) { AboutButtonClick(); };
    files.OnDblClick = [this](TWinControl&) { filesDblClick(); };
    StatusBar.OnMouseDown = [this](TWinControl&, TMouseButton button, TShiftState, int, int) {
        if (button == mbLeft)
            ShowFilesNotRead();
    };
    for (TEdit* box : {&OnlyFiles, &SkipFiles, &SkipFolders})
        box->OnChange = [this](TWinControl&) { ShowFiltersInUse(); };
    files.SetWantReturn(true);
    files.OnKeyDown = [this](TWinControl&, WORD& key, TShiftState shift) { filesKeyDown(key, shift); };
}

void TForm1::FormCreate(const std::string& lookInFolder) {
    FormResize();
    lookIn.Fill();
    if (RefreshShellVerb())
        IntegrateIntoShell.SetChecked(true);
    StoredSettings settings = CaptureSettings();
    ReadSettings(settings);
    ApplySettings(settings);
    StoredFilters filters;
    ReadFilters(filters);
    ApplyFilters(filters);
    if (!lookInFolder.empty())
        lookIn.SelectOrAddFolder(lookInFolder); // after the folders searched before
    if (selfadj.Checked())
        autoadjustTimer();
    autoadjust.SetEnabled(selfadj.Checked());
}

StoredSettings TForm1::CaptureSettings() const {
    StoredSettings s{};
    s.CaseSensitive = CaseSensitive.Checked();
    s.SelfAdjustBuffer = selfadj.Checked();
    s.Buffer = maxbuf.Value();
    // A minimised or maximised window keeps its normal place; a minimised one stands at
    // about -32000,-32000, where the next start would put it out of sight.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (HandleAllocated() && GetWindowPlacement(HandleOrNull(), &placement) &&
        (IsIconic(HandleOrNull()) || IsZoomed(HandleOrNull()))) {
        const RECT& normal = placement.rcNormalPosition;
        s.Maximized = IsZoomed(HandleOrNull()) || (placement.flags & WPF_RESTORETOMAXIMIZED) ? 1 : 0;
        s.PositionLeft = normal.left;
        s.PositionTop = normal.top;
        s.SizeWidth = Unscaled(normal.right - normal.left);
        s.SizeHeight = Unscaled(normal.bottom - normal.top);
    } else {
        s.Maximized = Maximized();
        s.PositionLeft = Left();
        s.PositionTop = Top();
        s.SizeWidth = Unscaled(Width());
        s.SizeHeight = Unscaled(Height());
    }
    // Sizes are stored in design units, so that they read back right at any scale; the place
    // stays in screen pixels.
    s.SplitterPosition = Unscaled(Panel2.Width());
    s.Column1Width = Unscaled(files.ColumnWidth(0));
    s.Column2Width = Unscaled(files.ColumnWidth(1));
    s.Column3Width = Unscaled(files.ColumnWidth(2));
    s.Column4Width = Unscaled(files.ColumnWidth(3));
    return s;
}

// A stored size in pixels; one that names the current size keeps its pixels, which the trip
// through design units could round one off at some scales.
int TForm1::Pixels(int stored, int current) const {
    return Unscaled(current) == stored ? current : Scaled(stored);
}

void TForm1::ApplySettings(const StoredSettings& s) {
    CaseSensitive.SetChecked(s.CaseSensitive != 0);
    selfadj.SetChecked(s.SelfAdjustBuffer != 0);
    maxbuf.SetValue(s.Buffer); // the box's own bounds apply
    SetMaximized(s.Maximized != 0);
    if (!Maximized())
        SetBounds(s.PositionLeft, s.PositionTop, Pixels(s.SizeWidth, Width()), Pixels(s.SizeHeight, Height()));
    KeepOnAMonitor();
    Panel2.SetWidth(Pixels(s.SplitterPosition, Panel2.Width()));
    Realign();
    files.SetColumnWidth(0, Pixels(s.Column1Width, files.ColumnWidth(0)));
    files.SetColumnWidth(1, Pixels(s.Column2Width, files.ColumnWidth(1)));
    files.SetColumnWidth(2, Pixels(s.Column3Width, files.ColumnWidth(2)));
    files.SetColumnWidth(3, Pixels(s.Column4Width, files.ColumnWidth(3)));
}

namespace {

std::optional<CalendarDay> DayOf(const TGlyphCheck& counts, const TDateTimePicker& picker) {
    if (!counts.Checked())
        return std::nullopt;
    const SYSTEMTIME date = picker.Date();
    return CalendarDay{date.wYear, date.wMonth, date.wDay};
}

std::string StoredDayOf(const TGlyphCheck& counts, const TDateTimePicker& picker) {
    const std::optional<CalendarDay> day = DayOf(counts, picker);
    return day ? FormatStoredDay(*day) : std::string();
}

// A damaged stored day leaves the box unticked on today.
void ShowStoredDay(TGlyphCheck& counts, TDateTimePicker& picker, const std::string& stored) {
    const std::optional<CalendarDay> day = ParseStoredDay(stored);
    counts.SetChecked(day.has_value());
    if (!day)
        return;
    SYSTEMTIME date{};
    date.wYear = static_cast<WORD>(day->Year);
    date.wMonth = static_cast<WORD>(day->Month);
    date.wDay = static_cast<WORD>(day->Day);
    picker.SetDate(date);
}

} // namespace

StoredFilters TForm1::CaptureFilters() const {
    StoredFilters f;
    f.OnlyFiles = OnlyFiles.Text();
    f.SkipFiles = SkipFiles.Text();
    f.SkipFolders = SkipFolders.Text();
    f.ModifiedAfter = StoredDayOf(ModifiedAfterCheck, ModifiedAfter);
    f.ModifiedBefore = StoredDayOf(ModifiedBeforeCheck, ModifiedBefore);
    f.NameHistory = nameHistory_.Stored();
    f.PhraseHistory = phraseHistory_.Stored();
    f.FolderHistory = folderHistory_.Stored();
    return f;
}

void TForm1::ApplyFilters(const StoredFilters& f) {
    OnlyFiles.SetText(f.OnlyFiles);
    SkipFiles.SetText(f.SkipFiles);
    SkipFolders.SetText(f.SkipFolders);
    ShowStoredDay(ModifiedAfterCheck, ModifiedAfter, f.ModifiedAfter);
    ShowStoredDay(ModifiedBeforeCheck, ModifiedBefore, f.ModifiedBefore);
    ModifiedCheckClick();
    nameHistory_.Restore(f.NameHistory);
    phraseHistory_.Restore(f.PhraseHistory);
    folderHistory_.Restore(f.FolderHistory);
    // The folder searched last comes first, next to the fixed entries.
    lookIn.AddFolders(folderHistory_.Entries());
    ShowHistories();
}

void TForm1::ShowHistories() {
    fname.SetItems(nameHistory_.Entries());
    ss.SetItems(phraseHistory_.Entries());
}

void TForm1::FillFilters(SearchCriteria& criteria) const {
    criteria.OnlyMasks = OnlyFiles.Text();
    criteria.SkipMasks = SkipFiles.Text();
    criteria.SkipFolderMasks = SkipFolders.Text();
    if (const std::optional<CalendarDay> after = DayOf(ModifiedAfterCheck, ModifiedAfter))
        criteria.ChangedAfter = LocalDayStart(*after);
    if (const std::optional<CalendarDay> before = DayOf(ModifiedBeforeCheck, ModifiedBefore))
        criteria.ChangedBefore = LocalDayEnd(*before);
}

void TForm1::RememberSearch() {
    nameHistory_.Add(fname.Text());
    phraseHistory_.Add(ss.Text());
    if (!lookIn.LocalDrivesSelected()) {
        // A typed folder becomes an entry; a folder listed already is kept as its entry spells
        // it, so that the history holds it once.
        lookIn.SelectOrAddFolder(lookIn.Text());
        folderHistory_.Add(lookIn.Text());
    }
    ShowHistories();
}

void TForm1::KeepOnAMonitor() {
    const RECT stored{Left(), Top(), Left() + Width(), Top() + Height()};
    if (MonitorFromRect(&stored, MONITOR_DEFAULTTONULL))
        return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& area = monitor.rcWork;
    // Inside the work area where it fits; a window larger than it keeps its top left corner
    // (and with it the caption) on the screen.
    const int left = std::max<int>(area.left, std::min<int>(stored.left, area.right - Width()));
    const int top = std::max<int>(area.top, std::min<int>(stored.top, area.bottom - Height()));
    SetBounds(left, top, Width(), Height());
}

void TForm1::DpiScaled(int to, int from) {
    for (int column = 0; column < files.ColumnCount(); ++column)
        files.SetColumnWidth(column, MulDiv(files.ColumnWidth(column), to, from));
    std::vector<int> panels;
    for (int width : kStatusPanelWidths)
        panels.push_back(ScaleDesignUnits(width, to));
    StatusBar.SetPanelWidths(panels);
    Splitter1.SetMinSize(ScaleDesignUnits(kSplitterMinSize, to));
}

void TForm1::Resize() {
    TForm::Resize();
    FormResize();
}

void TForm1::FormResize() {
    if (ClientHeight() > Scaled(kAboutDesignTop + 24))
        AboutButton.SetTop(Panel2.Height() - Scaled(35));
    if (!Panel2.HandleAllocated())
        return;
    Panel2.UpdateScrollRange();
    const bool scrollBar = (GetWindowLongA(Panel2.HandleOrNull(), GWL_STYLE) & WS_VSCROLL) != 0;
    if (scrollBar && Panel2.Width() < Scaled(kPanelWidthWithScrollBar)) {
        Panel2.SetWidth(Panel2.Width() + Scaled(10)); // the bar must not cover the controls
        Realign();
    }
}

// The panel can always be scrolled to any of its controls, and the list keeps the splitter's
// least width, where its header's columns can still be reached and resized.
SIZE TForm1::MinClientSize() const {
    const int panel = std::max(Panel2.Width(), Scaled(kPanelWidthWithScrollBar));
    return SIZE{panel + Splitter1.Width() + Scaled(kSplitterMinSize), Scaled(kLeastPanelHeight) + StatusBar.Height()};
}

void TForm1::DoShow() {
    TForm::DoShow();
    fname.SetFocus();
}

void TForm1::DoClose(TCloseAction& action) {
    // The worker's last step updates this window, so it runs during the wait.
    searchControl.StopAndWait();
    listSaver.Finish(); // a list half written is not left behind under a temporary name
    WriteSettings(CaptureSettings());
    WriteFilters(CaptureFilters());
    TForm::DoClose(action);
}

void TForm1::SpecSizeClick() {
    MinSize.SetEnabled(SpecSize.Checked());
    MaxSize.SetEnabled(SpecSize.Checked());
    searchControl.RefreshSizeBounds();
}

void TForm1::SetPhraseNotation(bool hex) {
    hexNotation_ = hex;
    if (hex) {
        Label3.SetCaption("HEX String:");
        CaseSensitive.SetEnabled(false);
        CaseSensitive.SetChecked(true);
        ss.SetText(TextToHexNotation(ss.Text()));
    } else {
        Label3.SetCaption("A word or phrase in the file:");
        CaseSensitive.SetEnabled(true);
        ss.SetText(HexToTextNotation(ss.Text()));
    }
}

void TForm1::typeTextClick() {
    // Every button runs this; the text is converted only to or from HEX: Text and a regular
    // expression keep what was typed.
    const bool hex = typeHEX.Checked();
    if (hex != hexNotation_)
        SetPhraseNotation(hex);
    if (!hex)
        Label3.SetCaption(typeRegex.Checked() ? "Regular expression:" : "A word or phrase in the file:");
    // The group keeps one tab stop, on its checked button.
    typeText.SetTabStop(typeText.Checked());
    typeHEX.SetTabStop(hex);
    typeRegex.SetTabStop(typeRegex.Checked());
}

void TForm1::selfadjClick() {
    autoadjust.SetEnabled(selfadj.Checked());
    if (selfadj.Checked())
        autoadjustTimer();
}

void TForm1::autoadjustTimer() {
    if (selfadj.Checked()) {
        MEMORYSTATUS status{};
        status.dwLength = sizeof status;
        GlobalMemoryStatus(&status);
        const auto available = static_cast<std::uint32_t>(
            std::min<unsigned long long>(status.dwAvailPhys, 0xFFFFFFFFull)); // a 32-bit count
        maxbuf.SetValue(AdjustedBufferMegabytes(available));
    }
    // Only a number above the bound is capped: an emptied box may be in the middle of typing.
    std::int64_t typed = 0;
    if (TryTextToNumber(maxbuf.Text(), typed) && typed > kMaxBufferMegabytes)
        maxbuf.SetValue(kMaxBufferMegabytes);
}

void TForm1::BufferHelpButtonClick() {
    ShowInformationBox(kBufferHelpText);
}

void TForm1::AboutButtonClick() {
    ShowInformationBox(std::string("Quennet - by Ketrel, ") + kMakerWebAddress);
}

void TForm1::pathlistClick() {
    if (Form3 && Form3->Visible())
        return; // a change while the picker is open
    if (!lookIn.BrowseSelected())
        return;
    if (!Form3)
        Form3 = std::make_unique<TForm3>();
    if (Form3->ShowModal() == mrOk)
        lookIn.SelectOrAddFolder(Form3->SelectedPath());
}

void TForm1::filesDblClick() {
    const int row = results.FirstSelected();
    if (row >= 0)
        ViewRowInHex(results.RowAt(row));
}

void TForm1::filesKeyDown(WORD& Key, TShiftState Shift) {
    const bool ctrl = Shift.Has(ssCtrl) && !Shift.Has(ssAlt) && !Shift.Has(ssShift);
    if (Key == VK_RETURN && !Shift.Has(ssCtrl) && !Shift.Has(ssAlt)) {
        const int row = files.FocusedIndex();
        if (row >= 0 && row < results.Count())
            ViewRowInHex(results.RowAt(row));
    } else if (Key == VK_DELETE && !Shift.Has(ssCtrl) && !Shift.Has(ssAlt) && !Shift.Has(ssShift)) {
        if (menu)
            menu->Delete1Click();
    } else if (ctrl && Key == 'A') {
        results.SelectAll();
    } else if (ctrl && (Key == 'C' || Key == VK_INSERT)) {
        results.CopySelectedPaths();
    } else {
        return;
    }
    Key = 0;
}

void TForm1::ViewRowInHex(const ChosenRow& row) {
    if (!viewer_)
        return;
    try {
        viewer_->SetSearchPhrase(searchControl.Searched());
        viewer_->Open(row.Folder, row.Name, row.MatchOffset, row.MatchLength);
    } catch (const std::exception& error) {
        Application().ShowException(error.what());
    }
}

bool TForm1::DialogKey(WORD key, TShiftState shift) {
    if (key == VK_ESCAPE && shift.Empty() && searchControl.Stop())
        return true;
    return TForm::DialogKey(key, shift);
}

void TForm1::ShowFilesNotRead() {
    if (searchControl.NotReadCount() == 0 || searchControl.Searching())
        return;
    if (!notRead)
        notRead = std::make_unique<TFormNotRead>();
    notRead->SetLines(searchControl.NotReadText());
    notRead->ShowModal();
}

void TForm1::ShowFiltersInUse() {
    auto holdsAMask = [](const TEdit& box) { return box.Text().find_first_not_of(" ;,") != std::string::npos; };
    const bool inUse = holdsAMask(OnlyFiles) || holdsAMask(SkipFiles) || holdsAMask(SkipFolders) ||
                       ModifiedAfterCheck.Checked() || ModifiedBeforeCheck.Checked();
    FiltersLabel.SetCaption(inUse ? "Filters (in use)" : "Filters");
}

void TForm1::SaveListAs() {
    listSaver.SaveAs(HandleOrNull(), [this] { return results.Store().Snapshot(); });
}

void TForm1::fnameKeyDown(WORD& Key) {
    if (Key == VK_RETURN)
        searchClick();
}

void TForm1::CaseSensitiveKeyDown(TGlyphCheck& Sender, WORD& Key) {
    if (Key == VK_SPACE)
        Sender.SetChecked(!Sender.Checked());
    fnameKeyDown(Key);
}

void TForm1::selfadjKeyDown(WORD& Key) {
    if (Key == VK_SPACE)
        selfadj.SetChecked(!selfadj.Checked());
    selfadjClick();
    fnameKeyDown(Key);
}

void TForm1::SpecSizeKeyDown(WORD& Key) {
    if (Key == VK_SPACE)
        SpecSize.SetChecked(!SpecSize.Checked());
    SpecSizeClick();
    fnameKeyDown(Key);
}

void TForm1::ModifiedCheckClick() {
    const bool idle = !searchControl.Searching();
    ModifiedAfter.SetEnabled(idle && ModifiedAfterCheck.Checked());
    ModifiedBefore.SetEnabled(idle && ModifiedBeforeCheck.Checked());
    ShowFiltersInUse();
}

void TForm1::ModifiedCheckKeyDown(TGlyphCheck& Sender, WORD& Key) {
    if (Key == VK_SPACE)
        Sender.SetChecked(!Sender.Checked());
    ModifiedCheckClick();
    fnameKeyDown(Key);
}

void TForm1::IntegrateIntoShellKeyDown(WORD& Key) {
    quennet::IntegrateIntoShellKeyDown(IntegrateIntoShell, Key);
    fnameKeyDown(Key);
}

} // namespace quennet

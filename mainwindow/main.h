// TForm1: the main window (Form1). The criteria panel on the left, the results list on the
// right, the status bar below; it wires the panel's handlers, the search control, the look-in
// list, the settings and the buffer auto-adjustment together.
#pragma once

#include "mainwindow/CriteriaPanel.h"
#include "mainwindow/ListSaver.h"
#include "mainwindow/LookInList.h"
#include "mainwindow/NotReadWindow.h"
#include "mainwindow/ResultsList.h"
#include "mainwindow/ResultsMenu.h"
#include "mainwindow/SearchHistory.h"
#include "mainwindow/SearchControl.h"
#include "mainwindow/Settings.h"
#include "runtime/Form.h"
#include "runtime/ListView.h"
#include "runtime/StatusBar.h"
#include "runtime/Timer.h"

#include <memory>
#include <string>

class TForm3;
class TForm4;

namespace quennet {

inline constexpr const char* kApplicationTitle = "Quennet - by Ketrel";
inline constexpr const char* kMakerWebAddress = "www.morvane.com";

class TForm1 : public TForm, public CriteriaPanel {
  public:
    // `lookInFolder`: the program's first argument (empty when none).
    explicit TForm1(const std::string& lookInFolder = std::string());
    ~TForm1() override;

    // The windows made after this one at start-up.
    void SetViewer(TForm4* viewer) { viewer_ = viewer; }
    void SetDestinationDialog(TFormChooseDestination* dialog);

    TSplitter& Splitter1;
    TListView& files;
    TStatusBar& StatusBar;
    TTimer autoadjust;
    ResultsList results;
    LookInList lookIn;
    SearchControl searchControl;
    ListSaver listSaver;
    std::unique_ptr<TResultsMenu> menu; // once the destination dialog exists
    std::unique_ptr<TForm3> Form3;      // the folder picker, made on first use
    std::unique_ptr<TFormNotRead> notRead; // made on first use

    // Handlers, named after their control and event.
    void FormResize();
    void searchClick() { searchControl.searchClick(); }
    void SpecSizeClick();
    void typeTextClick();
    void selfadjClick();
    void autoadjustTimer();
    void BufferHelpButtonClick();
    void AboutButtonClick();
    void pathlistClick();
    void filesDblClick();
    // Enter views the focused row, Delete deletes, Ctrl+A selects all, Ctrl+C copies paths.
    void filesKeyDown(WORD& Key, TShiftState Shift);
    void fnameKeyDown(WORD& Key);
    void CaseSensitiveKeyDown(TGlyphCheck& Sender, WORD& Key);
    void selfadjKeyDown(WORD& Key);
    void SpecSizeKeyDown(WORD& Key);
    void IntegrateIntoShellKeyDown(WORD& Key);
    // The day beside a ticked "After" or "Before" counts; an unticked one is greyed.
    void ModifiedCheckClick();
    void ModifiedCheckKeyDown(TGlyphCheck& Sender, WORD& Key);

    // Escape stops a running search wherever the focus is in the window.
    bool DialogKey(WORD key, TShiftState shift) override;

    StoredSettings CaptureSettings() const;
    void ApplySettings(const StoredSettings& settings);
    StoredFilters CaptureFilters() const;
    void ApplyFilters(const StoredFilters& filters);

    // The filters as the search request takes them: masks as typed, days as local bounds.
    void FillFilters(SearchCriteria& criteria) const;
    // A search is starting: its name, phrase and folder join the boxes' histories.
    void RememberSearch();

  protected:
    void Resize() override;
    SIZE MinClientSize() const override;
    void DpiScaled(int to, int from) override;
    void DoShow() override;
    void DoClose(TCloseAction& action) override;

  private:
    void FormCreate(const std::string& lookInFolder);
    void WireEvents();
    void SetPhraseNotation(bool hex);
    // Moves a window that lies on no monitor (a stored place that is now off-screen) onto
    // the nearest one.
    void KeepOnAMonitor();

    // What a double click on a row, Enter and the menu's "View in HEX" do.
    void ViewRowInHex(const ChosenRow& row);
    void SaveListAs(); // every row, to a file the user chooses
    void ShowFilesNotRead();
    // "Filters (in use)" while any of them would leave a file out.
    void ShowFiltersInUse();

    void ShowHistories();
    int Pixels(int stored, int current) const;

    TForm4* viewer_ = nullptr;
    SearchHistory nameHistory_;
    SearchHistory phraseHistory_;
    SearchHistory folderHistory_{SearchHistory::Sameness::IgnoreCase};
    bool hexNotation_ = false; // the notation the phrase field holds now
};

} // namespace quennet

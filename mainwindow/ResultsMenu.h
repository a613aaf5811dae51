#pragma once
// PopupMenu1, the results list's context menu: its items, the rules that enable them and
// the actions on the selected rows. The main window owns it, attaches PopupMenu1 to its
// list (files.SetPopupMenu(&menu.PopupMenu1)) and answers for the list through
// ResultsListAccess.
//
// An action takes the selected rows when the user chooses it, and keeps to those files: the
// dialogs it shows run a message loop in which a search goes on adding rows and the list may
// re-sort, so rows are named by their keys, never by their positions.
#include "dialogs/destinationForm.h"
#include "mainwindow/ResultStore.h"
#include "mainwindow/RowPath.h"
#include "runtime/PopupMenu.h"

#include <windows.h>

#include <string>
#include <vector>

// A row as the user chose it.
struct ChosenRow {
    quennet::RowKey Key;
    std::string Name;
    std::string Folder; // ends with a backslash
    std::int64_t MatchOffset = 0;
    std::int32_t MatchLength = 0; // bytes to select in the viewer
    std::string Path() const { return quennet::RowPath(Folder, Name); }
    // Empty when Path() reaches this very file; otherwise why not, for the user.
    std::string WhyNotItself() const { return quennet::WhyPathIsNotItself(Folder, Name); }
};

// The results list as the menu sees it; implemented by the main window.
class ResultsListAccess {
  public:
    virtual ~ResultsListAccess() = default;
    virtual int SelectedCount() const = 0;
    virtual std::vector<ChosenRow> SelectedRows() const = 0; // in list order
    virtual void RemoveRows(const std::vector<quennet::RowKey>& rows) = 0; // those still listed
    virtual HWND ListHandle() const = 0;                    // owner of the shell's dialogs
    virtual void ViewRowInHex(const ChosenRow& row) = 0;    // what a double click on the row does
    virtual int RowCount() const = 0;
    virtual void CopySelectedPaths() = 0; // what Ctrl+C in the list does
    virtual void SaveListAs() = 0;        // every row, to a file the user chooses
};

class TResultsMenu {
  public:
    TResultsMenu(ResultsListAccess& list, TFormChooseDestination& destination);

    quennet::TPopupMenu PopupMenu1; // OnPopup runs PopupMenu1Popup

    // Item indexes in PopupMenu1.
    static constexpr int OpenwithNotepad1 = 0;
    static constexpr int aaaa = 1; // "View in &HEX"
    static constexpr int N1 = 2;
    static constexpr int Move1 = 3;
    static constexpr int Copy1 = 4;
    static constexpr int Delete1 = 5;
    static constexpr int N2 = 6;
    static constexpr int Opencontainingfolder1 = 7;
    static constexpr int N3 = 8;
    static constexpr int Copyfullpaths1 = 9;
    static constexpr int Savelistas1 = 10;

    void PopupMenu1Popup(); // the enabled states for the current selection
    void OpenwithNotepad1Click();
    void aaaaClick();
    void Move1Click(int Sender); // Sender: Move1 or Copy1, the item that was chosen
    void Delete1Click();
    void Opencontainingfolder1Click();
    void Copyfullpaths1Click();
    void Savelistas1Click();

  private:
    ResultsListAccess& list_;
    TFormChooseDestination& destination_;
};

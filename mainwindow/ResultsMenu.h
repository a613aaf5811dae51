#pragma once
// PopupMenu1, the results list's context menu: its items, the rules that enable them and
// the actions on the selected rows. Items and handlers keep their design names: aaaa is
// "View in HEX", and Move1Click serves both Move1 and Copy1. The main window owns the menu
// and attaches PopupMenu1 to its list (files.SetPopupMenu(&menu.PopupMenu1)); what only the
// window can do (its hex viewer, its list saver) the menu asks for through
// ResultsMenuCallbacks.
//
// An action takes the selected rows when the user chooses it, and keeps to those files: the
// dialogs it shows run a message loop in which a search goes on adding rows and the list may
// re-sort, so rows are named by their keys, never by their positions.
#include "dialogs/destinationForm.h"
#include "mainwindow/ResultsList.h"
#include "runtime/PopupMenu.h"

#include <functional>

// What the window that owns the list does for the menu.
struct ResultsMenuCallbacks {
    std::function<void(const quennet::ChosenRow&)> ViewInHex; // what a double click on the row does
    std::function<void()> SaveListAs;                          // every row, to a file the user chooses
    std::function<void()> ShowNotRead;                         // the files the search could not read
    std::function<bool()> AnyNotRead;
};

class TResultsMenu {
  public:
    TResultsMenu(quennet::ResultsList& list, TFormChooseDestination& destination, ResultsMenuCallbacks callbacks);

    quennet::TPopupMenu PopupMenu1; // OnPopup runs PopupMenu1Popup

    // Item indexes in PopupMenu1; the separators between them count too.
    static constexpr int OpenwithNotepad1 = 0;
    static constexpr int aaaa = 1; // "View in &HEX"
    static constexpr int Move1 = 3;
    static constexpr int Copy1 = 4;
    static constexpr int Delete1 = 5;
    static constexpr int Opencontainingfolder1 = 7;
    static constexpr int Copyfullpaths1 = 9;
    static constexpr int Savelistas1 = 10;
    static constexpr int Filesnotread1 = 11;

    void PopupMenu1Popup(); // the enabled states for the current selection
    void OpenwithNotepad1Click();
    void aaaaClick();
    void Move1Click(int moveOrCopy); // Move1 or Copy1, the item chosen: the files are moved or copied
    void Delete1Click();
    void Opencontainingfolder1Click();
    void Copyfullpaths1Click();
    void Savelistas1Click();
    void Filesnotread1Click();

  private:
    quennet::ResultsList& list_;
    TFormChooseDestination& destination_;
    ResultsMenuCallbacks callbacks_;
};

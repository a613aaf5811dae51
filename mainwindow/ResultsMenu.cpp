#include "mainwindow/ResultsMenu.h"

#include "mainwindow/FileActions.h"
#include "runtime/MessageBoxes.h"
#include "search/FileFind.h"

using namespace quennet;

namespace {
std::string RowPath(const ResultsListAccess& list, int row) {
    return list.RowFolder(row) + list.RowName(row);
}
} // namespace

TResultsMenu::TResultsMenu(ResultsListAccess& list, TFormChooseDestination& destination)
    : list_(list), destination_(destination) {
    PopupMenu1.Add("Open with &Notepad", [this] { OpenwithNotepad1Click(); });
    PopupMenu1.Add("View in &HEX", [this] { aaaaClick(); });
    PopupMenu1.AddSeparator();
    PopupMenu1.Add("&Move", [this] { Move1Click(Move1); });
    PopupMenu1.Add("&Copy", [this] { Move1Click(Copy1); });
    PopupMenu1.Add("&Delete", [this] { Delete1Click(); });
    PopupMenu1.AddSeparator();
    PopupMenu1.Add("Open containing &folder", [this] { Opencontainingfolder1Click(); });
    PopupMenu1.OnPopup = [this](TPopupMenu&) { PopupMenu1Popup(); };
}

void TResultsMenu::PopupMenu1Popup() {
    // "&Copy" is left as it is: it stays enabled, and does nothing without a selection.
    const size_t selected = list_.SelectedRows().size();
    const bool one = selected == 1;
    PopupMenu1.SetEnabled(aaaa, one);
    PopupMenu1.SetEnabled(OpenwithNotepad1, one);
    PopupMenu1.SetEnabled(Opencontainingfolder1, one);
    PopupMenu1.SetEnabled(Delete1, selected >= 1);
    PopupMenu1.SetEnabled(Move1, selected >= 1);
}

void TResultsMenu::OpenwithNotepad1Click() {
    const std::vector<int> rows = list_.SelectedRows();
    if (!rows.empty())
        OpenWithNotepad(RowPath(list_, rows.front()));
}

void TResultsMenu::aaaaClick() {
    const std::vector<int> rows = list_.SelectedRows();
    if (!rows.empty())
        list_.ViewRowInHex(rows.front());
}

void TResultsMenu::Opencontainingfolder1Click() {
    const std::vector<int> rows = list_.SelectedRows();
    if (!rows.empty())
        OpenFolderInExplorer(list_.RowFolder(rows.front()));
}

void TResultsMenu::Move1Click(int Sender) {
    const std::vector<int> rows = list_.SelectedRows();
    if (rows.empty())
        return;
    destination_.SetDestination(list_.RowFolder(rows.front()));
    if (destination_.ShowModal() != mrOk)
        return;
    const std::string destination = destination_.Destination();
    if (!IsExistingFolder(destination)) {
        ShowErrorBox("Invalid directory");
        return;
    }
    const TFileOperation operation = Sender == Copy1 ? TFileOperation::Copy : TFileOperation::Move;
    // From the last row up, so removing a row leaves the rows still to visit where they are.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const int result = RunFileOperation(list_.ListHandle(), operation, RowPath(list_, *row), destination);
        if (result == 0 && operation == TFileOperation::Move)
            list_.RemoveRow(*row);
    }
}

void TResultsMenu::Delete1Click() {
    const std::vector<int> rows = list_.SelectedRows();
    if (rows.empty())
        return;
    if (!ConfirmYesCancel("Are you sure you wish to delete the selected file(s)?"))
        return;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        if (RunFileOperation(list_.ListHandle(), TFileOperation::Delete, RowPath(list_, *row)) == 0)
            list_.RemoveRow(*row);
}

#include "mainwindow/ResultsMenu.h"

#include "mainwindow/FileActions.h"
#include "runtime/MessageBoxes.h"
#include "search/FileFind.h"
#include "base/WidePath.h"

using namespace quennet;

namespace {

// The files an action could not handle, told once for the whole action.
class FailureList {
  public:
    explicit FailureList(std::string heading) : heading_(std::move(heading)) {}
    void Add(const ChosenRow& row, const std::string& reason) { lines_ += "\r\n" + row.Path() + ": " + reason + "."; }
    void ShowIfAny() const {
        if (!lines_.empty())
            ShowErrorBox(heading_ + lines_);
    }

  private:
    std::string heading_;
    std::string lines_;
};

// Files land in the destination by name: two of one name would replace each other.
bool SameFileName(const std::string& a, const std::string& b) {
    return CompareStringOrdinal(Utf8ToWide(a).c_str(), -1, Utf8ToWide(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace

TResultsMenu::TResultsMenu(ResultsList& list, TFormChooseDestination& destination, ResultsMenuCallbacks callbacks)
    : list_(list), destination_(destination), callbacks_(std::move(callbacks)) {
    PopupMenu1.Add("Open with &Notepad", [this] { OpenwithNotepad1Click(); });
    PopupMenu1.Add("View in &HEX", [this] { aaaaClick(); });
    PopupMenu1.AddSeparator();
    PopupMenu1.Add("&Move", [this] { Move1Click(Move1); });
    PopupMenu1.Add("&Copy", [this] { Move1Click(Copy1); });
    PopupMenu1.Add("&Delete", [this] { Delete1Click(); });
    PopupMenu1.AddSeparator();
    PopupMenu1.Add("Open containing &folder", [this] { Opencontainingfolder1Click(); });
    PopupMenu1.AddSeparator();
    PopupMenu1.Add("Copy full &paths", [this] { Copyfullpaths1Click(); });
    PopupMenu1.Add("&Save list as...", [this] { Savelistas1Click(); });
    PopupMenu1.Add("Files not &read...", [this] { Filesnotread1Click(); });
    PopupMenu1.OnPopup = [this](TPopupMenu&) { PopupMenu1Popup(); };
}

void TResultsMenu::PopupMenu1Popup() {
    // "&Copy" is left as it is: it stays enabled, and does nothing without a selection.
    const int selected = list_.SelectedCount();
    const bool one = selected == 1;
    PopupMenu1.SetEnabled(aaaa, one);
    PopupMenu1.SetEnabled(OpenwithNotepad1, one);
    PopupMenu1.SetEnabled(Opencontainingfolder1, one);
    PopupMenu1.SetEnabled(Delete1, selected >= 1);
    PopupMenu1.SetEnabled(Move1, selected >= 1);
    PopupMenu1.SetEnabled(Copyfullpaths1, selected >= 1);
    PopupMenu1.SetEnabled(Savelistas1, list_.Count() > 0);
    PopupMenu1.SetEnabled(Filesnotread1, callbacks_.AnyNotRead && callbacks_.AnyNotRead());
}

void TResultsMenu::Copyfullpaths1Click() {
    list_.CopySelectedPaths();
}

void TResultsMenu::Savelistas1Click() {
    if (callbacks_.SaveListAs)
        callbacks_.SaveListAs();
}

void TResultsMenu::Filesnotread1Click() {
    if (callbacks_.ShowNotRead)
        callbacks_.ShowNotRead();
}

void TResultsMenu::OpenwithNotepad1Click() {
    const std::vector<ChosenRow> rows = list_.SelectedRows();
    if (rows.empty())
        return;
    const std::string why = rows.front().WhyNotItself();
    if (!why.empty()) {
        FailureList refused("This file was not opened:");
        refused.Add(rows.front(), why);
        refused.ShowIfAny();
        return;
    }
    OpenWithNotepad(rows.front().Path());
}

void TResultsMenu::aaaaClick() {
    const std::vector<ChosenRow> rows = list_.SelectedRows();
    if (!rows.empty() && callbacks_.ViewInHex)
        callbacks_.ViewInHex(rows.front());
}

void TResultsMenu::Opencontainingfolder1Click() {
    const std::vector<ChosenRow> rows = list_.SelectedRows();
    if (rows.empty())
        return;
    const std::string why = WhyFolderIsNotItself(rows.front().Folder);
    if (!why.empty()) {
        ShowErrorBox("This folder was not opened:\r\n" + rows.front().Folder + ": " + why + ".");
        return;
    }
    OpenFolderInExplorer(rows.front().Folder);
}

void TResultsMenu::Move1Click(int moveOrCopy) {
    const std::vector<ChosenRow> rows = list_.SelectedRows();
    if (rows.empty())
        return;
    const bool copy = moveOrCopy == Copy1;
    destination_.SetDestination(rows.front().Folder);
    destination_.SetCopying(copy);
    if (destination_.ShowModal() != mrOk)
        return;
    const std::string destination = destination_.Destination();
    if (!IsExistingFolder(destination)) {
        ShowErrorBox("Invalid directory");
        return;
    }
    const TFileOperation operation = copy ? TFileOperation::Copy : TFileOperation::Move;
    FailureList failures(copy ? "These files could not be copied:" : "These files could not be moved:");
    FailureList doneWithNote(copy ? "These files were copied, but:" : "These files were moved, but:");
    std::vector<RowKey> moved;
    std::vector<std::string> namesSent;
    for (const ChosenRow& row : rows) {
        const std::string why = row.WhyNotItself();
        if (!why.empty()) {
            failures.Add(row, why);
            continue;
        }
        bool nameTaken = false;
        for (const std::string& name : namesSent)
            nameTaken = nameTaken || SameFileName(name, row.Name);
        if (nameTaken) {
            failures.Add(row, "a file of the same name goes to that folder first");
            continue;
        }
        const TFileOperationResult result = RunFileOperation(list_.Handle(), operation, row.Path(), destination);
        if (result.Done()) {
            namesSent.push_back(row.Name);
            if (!copy)
                moved.push_back(row.Key);
        }
        const std::string report = FileOperationReport(result);
        if (!report.empty())
            (result.Done() ? doneWithNote : failures).Add(row, report);
    }
    list_.RemoveRows(moved);
    failures.ShowIfAny();
    doneWithNote.ShowIfAny();
}

void TResultsMenu::Delete1Click() {
    const std::vector<ChosenRow> rows = list_.SelectedRows();
    if (rows.empty())
        return;
    // Refused before the question: a "Yes" must not be asked for files that stay whatever the
    // answer.
    FailureList refused("These files were not deleted:");
    std::vector<ChosenRow> deletable;
    for (const ChosenRow& row : rows) {
        const std::string why = row.WhyNotItself();
        if (why.empty())
            deletable.push_back(row);
        else
            refused.Add(row, why);
    }
    refused.ShowIfAny();
    if (deletable.empty() || !ConfirmYesCancel("Are you sure you wish to delete the selected file(s)?"))
        return;
    FailureList failures("These files were not deleted:");
    std::vector<RowKey> deleted;
    for (const ChosenRow& row : deletable) {
        const TFileOperationResult result = RunFileOperation(list_.Handle(), TFileOperation::Delete, row.Path());
        if (result.Done())
            deleted.push_back(row.Key);
        else
            failures.Add(row, FileOperationReport(result));
    }
    list_.RemoveRows(deleted);
    failures.ShowIfAny();
}
